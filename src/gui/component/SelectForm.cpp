#include "SelectForm.h"

#include "QnDataSource.h"
#include "QnNDBGrid.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "db/Schema.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

TSelectForm::TSelectForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectForm"));
    setWindowTitle(QStringLiteral("数据选择窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_query = new TQnQuery(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_ds = new TQnDataSource(this);
    m_ds->setObjectName(QStringLiteral("DS"));
    m_ds->setDataSet(m_query);
    m_grid = new TQnNDBGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid"));
    m_grid->setDataSource(m_ds);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setColor(AppContext::instance().WindowColor);
    m_grid->setAccessibleName(QStringLiteral("数据"));
    m_ok = new QPushButton(QStringLiteral("确认[F3]"), this);
    m_ok->setObjectName(QStringLiteral("Button_OK"));
    m_ok->setAutoDefault(false);
    m_cancel = new QPushButton(QStringLiteral("关闭[F12]"), this);
    m_cancel->setObjectName(QStringLiteral("Button_Cancel"));
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(640, 420);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_grid, &TQnNDBGrid::rowDoubleClicked, this, [this] {
        if (m_query->recordCount() > 0)
            accept();
    });
    m_grid->installEventFilter(this);
}

TSelectForm::~TSelectForm()
{
    m_query->CloseQuery();
}

QList<int> TSelectForm::fitWidths(const QList<int>& widths)
{
    QList<int> out = widths;
    const int n = int(widths.size());
    if (n == 0)
        return out;
    int w = 0;
    for (int d : widths)
        w += d;
    if (w > 101) {
        const int a = int(std::lround(double(w - 102) / n - 1));
        if (a <= 0) // a few characters over: narrowing by nothing (or widening) would not help
            return out;
        for (int& d : out) {
            if (10 * a < d)
                d -= 4 * a;
            else if (8 * a < d)
                d -= 3 * a;
            else if (6 * a < d)
                d -= 2 * a;
            else if (3 * a < d)
                d -= a;
        }
    } else {
        const int grow = int(std::lround(double(102 - w) / n - 1));
        for (int& d : out)
            d += qMax(0, grow);
    }
    return out;
}

void TSelectForm::fitColumns()
{
    QList<int> columns, widths;
    for (int c = 0; c < m_query->columnCount(); ++c) {
        if (m_grid->isColumnHidden(c))
            continue;
        int d = m_query->columnDisplayWidth(c);
        if (d <= 0) {
            const int bytes = Schema::textWidth(m_query->tableName(), m_query->columnNames().value(c));
            d = bytes > 0 ? qMin(bytes, 60) : 10;
        }
        columns << c;
        widths << d;
    }
    const QList<int> fitted = fitWidths(widths);
    for (int i = 0; i < columns.size(); ++i)
        m_grid->setColumnWidth(columns.at(i), m_grid->widthForCharacters(fitted.at(i)));
}

void TSelectForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitColumns();
    raise();
    activateWindow();
    m_grid->setFocus();
}

void TSelectForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F3:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_ok->click();
        return;
    case Qt::Key_F12:
        m_cancel->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TSelectForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F3 || key == Qt::Key_F12 || key == Qt::Key_Return || key == Qt::Key_Enter) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString ValueListTable(const QString& column)
{
    for (const auto& [table, col] : Schema::valueListTables())
        if (col.compare(column.trimmed(), Qt::CaseInsensitive) == 0)
            return table;
    return {};
}

bool PickListValue(const QString& column, QString* text, QString* flag, const QString& caption, QWidget* parent)
{
    const QString table = ValueListTable(column);
    if (table.isEmpty() || !text)
        return false;
    const QString col = column.trimmed().toUpper();
    TSelectForm form(parent);
    TQnQuery* q = form.Query();
    q->setTableName(table);
    q->setSql(QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                  .arg(col, table, Sql::containsCondition(col, text->trimmed()), Sql::orderByText(col)));
    q->SetFieldsData({TFieldsData(col, caption)});
    if (!q->OpenQuery())
        return false;
    if (q->recordCount() == 0) {
        ShowWarning(QStringLiteral("不能找到符合查找条件的") + caption);
        return false;
    }
    form.raise();
    if (form.exec() != QDialog::Accepted || q->currentRow() < 0)
        return false;
    *text = q->text(col);
    if (flag)
        *flag = QStringLiteral("0");
    return true;
}
