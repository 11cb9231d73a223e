#pragma once

#include <QDialog>
#include <QList>

class QPushButton;
class TQnDataSource;
class TQnNDBGrid;
class TQnQuery;

// "数据选择窗口": a grid on a query that the caller fills; 确认[F3] (also Enter and a double click on a
// row) or 关闭[F12]. The caller reads the chosen row from Query() after OK.
class TSelectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectForm(QWidget* parent = nullptr);
    ~TSelectForm() override;

    TQnQuery* Query() const { return m_query; }
    TQnDataSource* DS() const { return m_ds; }
    TQnNDBGrid* DBGrid() const { return m_grid; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    // The widths (in characters) the columns get so that together they come to about 102 characters.
    static QList<int> fitWidths(const QList<int>& widths);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();

    TQnQuery* m_query;
    TQnDataSource* m_ds;
    TQnNDBGrid* m_grid;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

// The value-list picker of a text column (ARCHIVE_NAME, TEXT_FIELD1…12, their DETAIL_ kinds, LEND_NAME):
// the earlier values containing text, in the data selection window. On 确认 text becomes the chosen value
// and flag "0" (true). No value: "不能找到符合查找条件的" + caption, text unchanged (false).
bool PickListValue(const QString& column, QString* text, QString* flag, const QString& caption,
                   QWidget* parent = nullptr);
// The value-list table of a column ("" when the column has none).
QString ValueListTable(const QString& column);
