#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QPushButton;
class QRadioButton;

// A group of option buttons: the items, the chosen one (−1 none) and the number of columns.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    void setItems(const QStringList& items);
    QStringList items() const { return m_items; }
    int itemIndex() const;
    void setItemIndex(int index);
    void setColumns(int columns);
    int columns() const { return m_columns; }
    QRadioButton* button(int index) const;

signals:
    void itemChosen(int index);

private:
    void rebuild();

    QStringList m_items;
    QList<QRadioButton*> m_buttons;
    QButtonGroup* m_group;
    QGridLayout* m_layout;
    int m_columns = 1;
};

// The option chooser ("打印选择窗口" unless the caller titles it): one option group and 确定; the query
// variant adds 关闭 and stays on top. The result is the chosen option's number, counted from 1.
class TSelectItemForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectItemForm(QWidget* parent = nullptr) : TSelectItemForm(false, parent) {}

    TRadioGroup* RadioGroup() const { return m_group; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CloseButton() const { return m_closeButton; }
    // The chosen option from 1; 0 before 确定.
    int chosen() const { return m_chosen; }

    // Heights of the option group by the number of options (2: 89, 3: 113, 4: 129), else as designed.
    static int groupHeight(int options, int designed);

protected:
    TSelectItemForm(bool query, QWidget* parent);
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void confirm();

    TRadioGroup* m_group;
    QPushButton* m_ok;
    QPushButton* m_closeButton = nullptr;
    int m_chosen = 0;
};

class TSelectItemQueryForm : public TSelectItemForm
{
    Q_OBJECT
public:
    explicit TSelectItemQueryForm(QWidget* parent = nullptr) : TSelectItemForm(true, parent) {}
};

// The choice dialogs: the 1-based number of the chosen option, 0 when the window was closed.
int ChooseOne4(const QString& a, const QString& b, const QString& c, const QString& d, const QString& title,
               QWidget* parent = nullptr);
int ChooseOne2(int preselect, const QString& a, const QString& b, const QString& title, QWidget* parent = nullptr);
int ChooseQuery2(const QString& a, const QString& b, const QString& title, QWidget* parent = nullptr);
int ChooseQuery2Pre(int preselect, const QString& a, const QString& b, const QString& title, QWidget* parent = nullptr);
// One option "按" + caption + "排序" per column (at most 12); on 确定 orderBy is " ORDER BY " [alias "."] column
// and the result true; otherwise orderBy is empty.
bool ChooseSortOrder(const QStringList& columns, const QStringList& captions, const QString& alias, QString* orderBy,
                     const QString& title, QWidget* parent = nullptr);
