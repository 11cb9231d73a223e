#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;
class TQnDataSource;
class TQnDBEdit;
class TQnEdit;
class TQnNDBGrid;
class TQnQuery;

// "数据选择编辑窗口": the list of earlier values of a text column, in which the user picks a value and keeps
// the list (增加, 编辑, 删除, 保存, 取消). Browsing, the line above the list searches it (Enter); adding or
// editing, it holds the value being typed.
//     TSelectEditForm form(this);
//     form.SetupList("TEXT_FIELD1", caption, "QN_TEXT_FIELD1_TABLE ");
//     form.Query()->OpenQuery();
//     if (form.exec() == QDialog::Accepted) value = form.chosenValue();
class TSelectEditForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectEditForm(QWidget* parent = nullptr);
    ~TSelectEditForm() override;

    // The column, its caption and the table as handed over (blanks included).
    void SetupList(const QString& column, const QString& caption, const QString& table);
    QString listStatement() const { return m_listSql; }
    QString chosenValue() const;

    TQnQuery* Query() const { return m_query; }
    TQnDataSource* DS() const { return m_ds; }
    TQnNDBGrid* DBGrid() const { return m_grid; }
    TQnEdit* QnEdit1() const { return m_search; }
    TQnDBEdit* QnDBEdit1() const { return m_value; }
    QLabel* Label1() const { return m_label; }
    QPushButton* button(const QString& name) const;

    // Commands.
    void search();
    void allData();
    void addRecord();
    void editRecord();
    void deleteRecord();
    void saveRecord();
    void cancelRecord();
    void confirm();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void stateChanged();
    void showCurrent();
    bool reopen(const QString& sql);
    QPushButton* addButton(const QString& name, const QString& caption);

    QString m_column;
    QString m_caption;
    QString m_table;
    QString m_listSql;
    bool m_audit = false; // the list table has CREATE_NAME, CREATE_DATE, EDIT_NAME, EDIT_DATE
    TQnQuery* m_query;
    TQnDataSource* m_ds;
    TQnNDBGrid* m_grid;
    QLabel* m_label;
    QStackedWidget* m_lines;
    TQnEdit* m_search;
    TQnDBEdit* m_value;
};

// Opens the list editor for a value-list column while the caller's record is being added or edited;
// true with the chosen value.
bool EditValueList(const QString& column, const QString& caption, QString* value, QWidget* parent = nullptr);
