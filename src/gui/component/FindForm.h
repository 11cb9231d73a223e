#pragma once

#include "common/AppContext.h"
#include "find/FindCondition.h"
#include "query/QnQuery.h"

#include <QColor>
#include <QDialog>
#include <QObject>
#include <QPointer>

#include <functional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class TQnComboBox;
class TQnComboEdit;
class TQnEdit;
class TQnListBox;

// The screen's pop-up window for a field: called with the value text and an empty ID; a non-empty ID on
// return means the user picked Value (ID is the key, or for BS/LBS/BF the condition or its template).
using TFindPopupEvent = std::function<void(QString& value, QString& id, const QString& fieldName)>;
// Fills the value list of a field of kind "S" (value holds the field name).
using TFindSelectSqlEvent = std::function<void(QString& value, QComboBox* comboBox)>;

// The find window "查找窗口": a field, a relation and a value make one condition; the multi-condition
// window collects several joined by 并且/或者 in its list, the simple one (TQnFindSimpleForm) keeps one.
class TQnFindForm : public QDialog
{
    Q_OBJECT
public:
    explicit TQnFindForm(bool simple = false, QWidget* parent = nullptr);

    bool isSimple() const { return m_simple; }

    void setFields(const TFieldsDataArray& fields);
    const TFieldsDataArray& fields() const { return m_fields; }
    void setRelations(const TRelationArray& relations);
    const TRelationArray& relations() const { return m_relations; }
    void setPopupWindow(TFindPopupEvent handler) { m_popup = std::move(handler); }
    void setSelectSql(TFindSelectSqlEvent handler) { m_selectSql = std::move(handler); }
    void setShowAllData(bool on) { m_showAllData = on; }
    void setCalendarColor(const QColor& color) { m_calendarColor = color; }
    void setPickerFont(const QFont& font)
    {
        m_pickerFont = font;
        m_pickerFontSet = true;
    }

    // Empties the lists, the value controls, the display list and the conditions; the lists are refilled
    // at the next showing.
    void clear();
    // The lists for the field set (when due), the preselections, the title; then the focus to the field list.
    void prepare(const QString& caption, int fieldIndex, int connectionIndex);

    // Results.
    const TFindConditionList& conditionList() const { return m_list; }
    QStringList conditions() const { return m_list.conditions(); }
    QString displayText() const { return m_list.displayText(); }
    QString condition() const { return m_condition; }
    bool allData() const { return m_allData; }

    // The controls (also found by objectName).
    QComboBox* ComboBox1() const;
    QComboBox* ComboBox2() const;
    TQnEdit* TextEdit() const { return m_textEdit; }
    TQnEdit* YearEdit() const { return m_yearEdit; }
    TQnEdit* MonthEdit() const { return m_monthEdit; }
    TQnComboEdit* DateEdit() const { return m_dateEdit; }
    TQnComboBox* ComboBox3() const { return m_comboBox3; }
    QRadioButton* AndButton() const { return m_and; }
    QRadioButton* OrButton() const { return m_or; }
    QPushButton* DownButton() const { return m_down; }
    QPushButton* ClearButton() const { return m_clearButton; }
    QPushButton* SureButton() const { return m_sure; }
    QPushButton* CloseButton() const { return m_close; }
    QPushButton* AllDataButton() const { return m_allDataButton; }
    TQnListBox* ListBox1() const { return m_listBox; }

    // The commands.
    void fieldChanged();
    void popup();
    void addCondition();
    void clearCondition();
    void sure();
    void allDataClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    const TFieldsData* currentField() const;
    void fillLists();
    void clearValues();
    void setRelationFixedEqual(bool disable);
    void removeLike();
    // The entry of the controls for the chosen field; false (with the message shown) when a check fails.
    bool buildCurrent(QString* condition);
    void focusFor(FindCondition::Focus focus);
    void refreshButtons();
    void setValueColor(const QColor& color);

    bool m_simple;
    TFieldsDataArray m_fields;
    TRelationArray m_relations;
    TFindPopupEvent m_popup;
    TFindSelectSqlEvent m_selectSql;
    bool m_showAllData = false;
    bool m_needsFill = true;
    QColor m_calendarColor = Qt::white;
    QFont m_pickerFont;
    bool m_pickerFontSet = false;

    TFindConditionList m_list;
    QString m_condition;
    QString m_code;
    QString m_fieldName;
    QString m_key;
    QString m_keyValue;
    bool m_allData = false;

    TQnComboBox* m_fieldBox;
    TQnComboBox* m_relationBox;
    QLabel* m_valueLabel;
    QLabel* m_yearLabel;
    QLabel* m_monthLabel;
    TQnEdit* m_textEdit;
    TQnEdit* m_yearEdit;
    TQnEdit* m_monthEdit;
    TQnComboEdit* m_dateEdit;
    TQnComboBox* m_comboBox3;
    QLabel* m_logicLabel;
    QRadioButton* m_and;
    QRadioButton* m_or;
    QPushButton* m_down;
    QPushButton* m_clearButton;
    QPushButton* m_sure;
    QPushButton* m_close;
    QPushButton* m_allDataButton;
    TQnListBox* m_listBox;
};

class TQnFindSimpleForm : public TQnFindForm
{
    Q_OBJECT
public:
    explicit TQnFindSimpleForm(QWidget* parent = nullptr) : TQnFindForm(true, parent) {}
};

enum class TLanguage
{
    GB,
    BIG5
};

// The component a list screen places to offer 查找 (F10): it keeps its window for its lifetime, so the
// conditions of the last search stay until the screen calls Clear or SetFields.
//     find.SetFields(fields); if (find.Execute()) { where = find.AllData() ? "" : find.Conditions().join(""); }
class TFindFormDialog : public QObject
{
    Q_OBJECT
public:
    explicit TFindFormDialog(QObject* parent = nullptr) : TFindFormDialog(false, parent) {}
    ~TFindFormDialog() override;

    void SetFields(const TFieldsDataArray& fields);
    void SetRelations(const TRelationArray& relations);
    void Clear();
    // Shows the window modally; true after 确定 or 全部数据.
    bool Execute();
    // The steps of Execute before the modal showing (tests show the window themselves).
    void prepare();

    QStringList Conditions() const;
    QString DisplayText() const;
    bool AllData() const;

    // Published settings.
    TFindPopupEvent PopupWindow;
    TFindSelectSqlEvent SelectSQL;
    TSqlType SqlType = TSqlType::urStandard;
    QColor ColorNotOnFocus = Qt::white;
    QColor ColorOnFocus = QColor(199, 247, 248);
    QColor Color = Qt::white;
    TLanguage Language = TLanguage::GB;
    QString Caption;
    QString ImeName;
    int FieldIndex = -1;
    int ConnectionIndex = -1;
    // Shows "全部数据".
    bool ShowAllDataButton = false;

    TQnFindForm* form();

protected:
    TFindFormDialog(bool simple, QObject* parent);
    bool m_simple;
    TFieldsDataArray m_fields;
    TRelationArray m_relations;
    QPointer<TQnFindForm> m_form;
};

// The one-condition variant (the user management screen).
class TFindSimpleFormDialog : public TFindFormDialog
{
    Q_OBJECT
public:
    explicit TFindSimpleFormDialog(QObject* parent = nullptr) : TFindFormDialog(true, parent) {}
    QString Condition() const;
};

// "状态选择窗口": 已归还 or 未归还.
class TFindStatusForm : public QDialog
{
    Q_OBJECT
public:
    explicit TFindStatusForm(QWidget* parent = nullptr);
    TQnComboBox* comboBox() const { return m_combo; }
    QString state() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TQnComboBox* m_combo;
};

// The lending-state filter: true on 确定 with the chosen state and its condition piece (ending in "@"),
// false when the window was closed.
bool PickLendState(QString* state, QString* condition, const QString& alias = QString(), QWidget* parent = nullptr);
