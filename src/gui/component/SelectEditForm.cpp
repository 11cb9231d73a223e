#include "SelectEditForm.h"

#include "InputMethod.h"
#include "QnDBEdit.h"
#include "QnDataSource.h"
#include "QnEdit.h"
#include "QnNDBGrid.h"
#include "SelectForm.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "db/Schema.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
const QString SearchPrompt = QStringLiteral("按回车键进行查找");
}

TSelectEditForm::TSelectEditForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectEditForm"));
    setWindowTitle(QStringLiteral("数据选择编辑窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const AppContext& ctx = AppContext::instance();

    m_query = new TQnQuery(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_ds = new TQnDataSource(this);
    m_ds->setObjectName(QStringLiteral("DS"));
    m_ds->setOwnerWindow(this);
    m_ds->setDataSet(m_query);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_lines = new QStackedWidget(this);
    m_search = new TQnEdit(m_lines);
    m_search->setObjectName(QStringLiteral("QnEdit1"));
    m_search->setProperty("tag", 4);
    m_search->setAccessibleName(QStringLiteral("查找"));
    m_value = new TQnDBEdit(m_lines);
    m_value->setObjectName(QStringLiteral("QnDBEdit1"));
    m_value->setDataSource(m_ds);
    m_value->setColor(ctx.WindowColor);
    m_value->setColorOnFocus(ctx.WindowFocusColor);
    m_lines->addWidget(m_search);
    m_lines->addWidget(m_value);
    m_label->setBuddy(m_search);

    m_grid = new TQnNDBGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid"));
    m_grid->setDataSource(m_ds);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setColor(ctx.WindowColor);
    m_grid->setAccessibleName(QStringLiteral("数据"));

    auto* buttons = new QGridLayout;
    const struct
    {
        const char* name;
        const char* caption;
        TQnDataSource::Link link;
    } defs[] = {
        {"button_add", "增加[F5]", TQnDataSource::Button_Add},
        {"button_edit", "编辑[F6]", TQnDataSource::Button_Edit},
        {"button_delete", "删除[F7]", TQnDataSource::Button_Delete},
        {"button_save", "保存[F8]", TQnDataSource::Button_Save},
        {"button_cancel", "取消[F9]", TQnDataSource::Button_Cancel},
        {"button_All", "全部数据", TQnDataSource::Button_Find},
        {"button_Ok", "确定[F3]", TQnDataSource::LinkCount},
        {"button_close", "关闭[F12]", TQnDataSource::Button_Close},
    };
    int i = 0;
    for (const auto& d : defs) {
        QPushButton* b = addButton(QString::fromLatin1(d.name), QString::fromUtf8(d.caption));
        if (d.link != TQnDataSource::LinkCount)
            m_ds->setButton(d.link, b);
        buttons->addWidget(b, i / 4, i % 4);
        ++i;
    }
    auto* line = new QHBoxLayout;
    line->addWidget(m_label);
    line->addWidget(m_lines, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(560, 460);

    connect(button(QStringLiteral("button_add")), &QPushButton::clicked, this, &TSelectEditForm::addRecord);
    connect(button(QStringLiteral("button_edit")), &QPushButton::clicked, this, &TSelectEditForm::editRecord);
    connect(button(QStringLiteral("button_delete")), &QPushButton::clicked, this, &TSelectEditForm::deleteRecord);
    connect(button(QStringLiteral("button_save")), &QPushButton::clicked, this, &TSelectEditForm::saveRecord);
    connect(button(QStringLiteral("button_cancel")), &QPushButton::clicked, this, &TSelectEditForm::cancelRecord);
    connect(button(QStringLiteral("button_All")), &QPushButton::clicked, this, &TSelectEditForm::allData);
    connect(button(QStringLiteral("button_Ok")), &QPushButton::clicked, this, &TSelectEditForm::confirm);
    connect(button(QStringLiteral("button_close")), &QPushButton::clicked, this, &TSelectEditForm::reject);
    connect(m_grid, &TQnNDBGrid::rowDoubleClicked, this, [this] {
        if (m_query->recordCount() > 0 && !m_query->isEditing())
            confirm();
    });
    connect(m_ds, &TQnDataSource::stateChange, this, &TSelectEditForm::stateChanged);
    connect(m_query, &TQnQuery::currentRowChanged, this, &TSelectEditForm::showCurrent);
    connect(m_query, &TQnQuery::recordSaved, this, &TSelectEditForm::showCurrent);
    connect(m_query, &TQnQuery::opened, this, &TSelectEditForm::showCurrent);
    // The value column is 60 characters wide (the grid sizes only lists of several columns itself).
    connect(m_query, &TQnQuery::opened, this, [this] {
        const int c = m_grid->columnOf(m_column);
        if (c >= 0)
            m_grid->setColumnWidth(c, m_grid->widthForCharacters(60));
    });
    m_search->installEventFilter(this);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->installEventFilter(this);
    m_grid->installEventFilter(this);
    m_value->installEventFilter(this);
    ApplyInputMethod(this, ctx.ImeName);
}

TSelectEditForm::~TSelectEditForm()
{
    m_query->CloseQuery();
}

QPushButton* TSelectEditForm::addButton(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPushButton* TSelectEditForm::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void TSelectEditForm::SetupList(const QString& column, const QString& caption, const QString& table)
{
    m_column = column.trimmed();
    m_caption = caption;
    m_table = table;
    // The list in the order users expect of Chinese text.
    m_listSql = QStringLiteral("SELECT *  FROM ") + table + QStringLiteral(" ORDER BY ") + Sql::orderByText(m_column);
    m_query->setTableName(table.trimmed());
    m_query->setSql(m_listSql);
    m_query->setKeyColumns({m_column});
    m_value->setDataField(m_column);
    // The lists of this installation hold the value alone; the audit columns are kept where a list has them.
    m_audit = Schema::column(table.trimmed(), QStringLiteral("CREATE_NAME")) != nullptr;
    TFieldsDataArray fields{TFieldsData(m_column, caption)};
    fields.first().displayWidth = 60;
    if (m_audit)
        fields << TFieldsData(QStringLiteral("CREATE_NAME"), QStringLiteral("建档人员"), QStringLiteral("C"))
               << TFieldsData(QStringLiteral("CREATE_DATE"), QStringLiteral("建档日期"), QStringLiteral("D"))
               << TFieldsData(QStringLiteral("EDIT_NAME"), QStringLiteral("修改人员"), QStringLiteral("C"))
               << TFieldsData(QStringLiteral("EDIT_DATE"), QStringLiteral("修改日期"), QStringLiteral("D"));
    m_query->SetFieldsData(fields);
    TCheckData check;
    TCheckFieldsData cond;
    cond.queryColumn = m_column;
    cond.tableColumn = m_column;
    cond.kind = QStringLiteral("C");
    check.conditions << cond;
    check.checkedColumn = m_column;
    check.head = QStringLiteral("SELECT ") + m_column + QStringLiteral(" FROM ") + table + QStringLiteral(" WHERE ");
    check.message = caption + QStringLiteral("重复");
    check.noRenumber = true;
    m_query->SetCheckData({check});
    m_label->setText(caption);
    setWindowTitle(caption + QStringLiteral("数据选择编辑窗口"));
}

void TSelectEditForm::showEvent(QShowEvent* event)
{
    const AppContext& ctx = AppContext::instance();
    TInsertData user;
    user.fieldName = QStringLiteral("CREATE_NAME");
    user.value = ctx.UserName;
    TInsertData date;
    date.fieldName = QStringLiteral("CREATE_DATE");
    date.value = ctx.LoginDate.isEmpty() ? Clock::todayText() : ctx.LoginDate;
    // An empty user name is no reason to refuse a new list entry.
    QList<TInsertData> inserts;
    if (m_audit) {
        if (!user.value.isEmpty())
            inserts << user;
        inserts << date;
        m_query->SetEditData({{QStringLiteral("EDIT_NAME"), QString(), ctx.UserName},
                              {QStringLiteral("EDIT_DATE"), QString(), date.value}});
    }
    m_query->SetInsertData(inserts);
    m_query->setColorOnFocus(ctx.WindowFocusColor);
    m_ds->setRightAdd(true);
    m_ds->setRightEdit(true);
    m_ds->setRightDelete(true);
    m_ds->setEditColor(ctx.WindowEditColor);
    m_ds->setBrowseColor(ctx.WindowColor);
    m_ds->setColorOnFocus(ctx.WindowFocusColor);
    m_ds->HookStateChange();
    m_ds->StateChanged();
    m_value->setImeName(ctx.ImeName);
    if (!m_query->isOpen())
        m_query->OpenQuery();
    QDialog::showEvent(event);
    stateChanged();
    showCurrent();
    raise();
    activateWindow();
    m_search->setFocus();
}

void TSelectEditForm::stateChanged()
{
    const bool editing = m_query->isEditing();
    m_label->setText(editing ? m_caption : SearchPrompt);
    m_lines->setCurrentWidget(editing ? static_cast<QWidget*>(m_value) : static_cast<QWidget*>(m_search));
    m_label->setBuddy(m_lines->currentWidget());
    m_value->setReadOnly(!editing);
    button(QStringLiteral("button_Ok"))->setEnabled(button(QStringLiteral("button_add"))->isEnabled());
}

void TSelectEditForm::showCurrent()
{
    if (m_query->isEditing())
        return;
    m_search->setText(m_query->isOpen() && m_query->currentRow() >= 0 ? m_query->text(m_column) : QString());
}

bool TSelectEditForm::reopen(const QString& sql)
{
    m_query->CloseQuery();
    m_query->setSql(sql);
    return m_query->OpenQuery();
}

void TSelectEditForm::search()
{
    const QString text = m_search->text().trimmed();
    reopen(QStringLiteral("SELECT * FROM ") + m_table + QStringLiteral(" WHERE ") +
           Sql::containsCondition(m_column, text) + QStringLiteral(" ORDER BY ") + Sql::orderByText(m_column));
    m_search->setFocus();
}

void TSelectEditForm::allData()
{
    reopen(m_listSql);
}

void TSelectEditForm::addRecord()
{
    if (!m_query->isOpen() || m_query->isEditing())
        return;
    if (m_query->AppendRecord())
        m_value->setFocus();
}

void TSelectEditForm::editRecord()
{
    if (!m_query->isOpen() || m_query->isEditing() || m_query->recordCount() == 0)
        return;
    if (m_query->EditRecord())
        m_value->setFocus();
}

void TSelectEditForm::deleteRecord()
{
    if (!m_query->isOpen() || m_query->isEditing() || m_query->recordCount() == 0)
        return;
    m_query->DeleteRecord();
    showCurrent();
}

void TSelectEditForm::saveRecord()
{
    if (!m_query->isEditing())
        return;
    m_query->setValue(m_column, m_value->text());
    if (m_query->SaveRecord())
        m_grid->setFocus();
}

void TSelectEditForm::cancelRecord()
{
    if (!m_query->isEditing())
        return;
    m_query->CancelRecord();
    m_grid->setFocus();
    showCurrent();
}

void TSelectEditForm::confirm()
{
    if (m_query->isEditing())
        return;
    if (!m_query->isOpen() || m_query->recordCount() == 0 || m_query->currentRow() < 0) {
        ShowWarning(QStringLiteral("必须选择一个记录"));
        return;
    }
    accept();
}

QString TSelectEditForm::chosenValue() const
{
    return m_query->isOpen() && m_query->currentRow() >= 0 ? m_query->text(m_column) : QString();
}

void TSelectEditForm::keyPressEvent(QKeyEvent* event)
{
    auto press = [this](const char* name) {
        QPushButton* b = button(QString::fromLatin1(name));
        if (b && b->isEnabled())
            b->click();
    };
    switch (event->key()) {
    case Qt::Key_F5:
        press("button_add");
        return;
    case Qt::Key_F6:
        press("button_edit");
        return;
    case Qt::Key_F7:
        press("button_delete");
        return;
    case Qt::Key_F8:
        press("button_save");
        return;
    case Qt::Key_F9:
        press("button_cancel");
        return;
    case Qt::Key_F3:
        if (!m_query->isEditing())
            press("button_Ok");
        return;
    case Qt::Key_F12:
        press("button_close");
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return; // never a default button
    default:
        QDialog::keyPressEvent(event);
    }
}

// The window sees the keys first (key preview); Enter in the search line searches.
bool TSelectEditForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == m_search && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            search();
            return true;
        }
        switch (key->key()) {
        case Qt::Key_F3:
        case Qt::Key_F5:
        case Qt::Key_F6:
        case Qt::Key_F7:
        case Qt::Key_F8:
        case Qt::Key_F9:
        case Qt::Key_F12:
            keyPressEvent(key);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSelectEditForm::closeEvent(QCloseEvent* event)
{
    if (m_query->isEditing()) {
        ShowWarning(QStringLiteral("必须保存或取消新增、修改的数据"));
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TSelectEditForm::reject()
{
    if (m_query->isEditing()) {
        ShowWarning(QStringLiteral("必须保存或取消新增、修改的数据"));
        return;
    }
    QDialog::reject();
}

bool EditValueList(const QString& column, const QString& caption, QString* value, QWidget* parent)
{
    const QString table = ValueListTable(column);
    if (table.isEmpty())
        return false;
    TSelectEditForm form(parent);
    // The lending name list is handed over with blanks around its name, as its callers always did.
    form.SetupList(column, caption,
                   column.trimmed().toUpper() == QLatin1String("LEND_NAME")
                       ? QLatin1Char(' ') + table + QLatin1Char(' ')
                       : table + QLatin1Char(' '));
    form.Query()->OpenQuery();
    if (form.exec() != QDialog::Accepted)
        return false;
    if (value)
        *value = form.chosenValue();
    return true;
}
