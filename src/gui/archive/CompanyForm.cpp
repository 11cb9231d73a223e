#include "CompanyForm.h"

#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/InputLimits.h"
#include "component/QnDBEdit.h"
#include "component/QnDataSource.h"
#include "component/QnMain.h"
#include "db/Schema.h"
#include "query/QnQuery.h"

#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>

namespace {

const QString Table = QStringLiteral("SYS_COMPANY_TABLE");

TFieldsData field(const char* name, const char* caption, const char* kind, bool required, bool visible,
                  const char* find = "")
{
    TFieldsData f;
    f.fieldName = QString::fromLatin1(name);
    f.caption = QString::fromUtf8(caption);
    f.valueKind = QString::fromLatin1(kind);
    f.required = required;
    f.visible = visible;
    f.findKind = QString::fromLatin1(find);
    return f;
}

} // namespace

TCompanyForm::TCompanyForm(QWidget* parent) : TQnDForm(parent)
{
    setObjectName(QStringLiteral("CompanyForm"));
    setWindowTitle(QStringLiteral("单位资料编辑窗口"));
    setComposeName(QStringLiteral("档案管理"));
    setProgramName(QStringLiteral("单位名称录入编辑"));
    for (QToolButton* b : {button_delete(), button_find(), button_print()})
        setButtonShown(b, false);

    auto* grid = new QGridLayout(Panel1());
    grid->setContentsMargins(16, 22, 16, 16);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(14);
    m_name = addField(QStringLiteral("EditName"), QStringLiteral("单位名称"), QStringLiteral("COMPANY_NAME"), 245);
    m_postcode =
        addField(QStringLiteral("EditPostcode"), QStringLiteral("邮编"), QStringLiteral("COMPANY_POSTCODE"), 124);
    m_address =
        addField(QStringLiteral("EditAddress"), QStringLiteral("单位地址"), QStringLiteral("COMPANY_ADDRESS"), 245);
    m_phone = addField(QStringLiteral("EditPhone"), QStringLiteral("电话"), QStringLiteral("COMPANY_PHONE"), 124);
    m_note = addField(QStringLiteral("EditNote"), QStringLiteral("备注"), QStringLiteral("NOTE"), 423);
    auto place = [&](TQnDBEdit* e, int row, int column, int span) {
        auto* label = qobject_cast<QLabel*>(e->property("captionLabel").value<QObject*>());
        grid->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
        if (span == 1)
            grid->addWidget(e, row, column + 1, 1, span, Qt::AlignLeft);
        else
            grid->addWidget(e, row, column + 1, 1, span); // the note lines up with the right column
    };
    place(m_name, 0, 0, 1);
    place(m_postcode, 0, 2, 1);
    place(m_address, 1, 0, 1);
    place(m_phone, 1, 2, 1);
    place(m_note, 2, 0, 3);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(4, 1);
    setTabOrder(m_name, m_postcode);
    setTabOrder(m_postcode, m_address);
    setTabOrder(m_address, m_phone);
    setTabOrder(m_phone, m_note);

    Query()->setTableName(Table);
    // A save finds the row by its previous number and name together.
    Query()->setKeyColumns({QStringLiteral("COMPANY_ID"), QStringLiteral("COMPANY_NAME")});
    Query()->setActiveControl(QStringLiteral("EditName"));
    Query()->SetFieldsData(
        {field("COMPANY_ID", "单位编号", "C", true, false), field("COMPANY_NAME", "单位名称", "C", true, true, "T"),
         field("COMPANY_ADDRESS", "单位地址", "C", false, true, "T"),
         field("COMPANY_POSTCODE", "邮编", "C", false, true, "T"),
         field("COMPANY_PHONE", "电话", "C", false, true, "T"), field("NOTE", "备注", "C", false, true),
         field("CREATE_NAME", "建档人员", "C", false, true), field("CREATE_DATE", "建档日期", "D", false, true),
         field("EDIT_NAME", "修改人员", "C", false, true), field("EDIT_DATE", "修改日期", "D", false, true)});
    TCheckData unique;
    unique.head = QStringLiteral("SELECT COMPANY_ID FROM SYS_COMPANY_TABLE WHERE ");
    unique.conditions = {TCheckFieldsData::same(QStringLiteral("COMPANY_ID"))};
    unique.checkedColumn = QStringLiteral("COMPANY_ID");
    unique.message = QStringLiteral("单位重复");
    Query()->SetCheckData({unique});
    Query()->OpenQuery();

    setMinimumSize(Width, Height);
    setMaximumSize(Width, Height);
    resize(Width, Height);
}

TQnDBEdit* TCompanyForm::addField(const QString& name, const QString& caption, const QString& column, int width)
{
    auto* label = new QLabel(caption, Panel1());
    auto* edit = new TQnDBEdit(Panel1());
    edit->setObjectName(name);
    edit->setDataSource(DS());
    edit->setDataField(column);
    edit->setAccessibleName(caption);
    // The note spans both columns and ends where the right column's edits end.
    if (column != QLatin1String("NOTE"))
        edit->setFixedWidth(width);
    edit->setProperty("captionLabel", QVariant::fromValue<QObject*>(label));
    label->setBuddy(edit);
    InputLimits::limitGbkBytes(edit, Schema::textWidth(Table, column));
    return edit;
}

void TCompanyForm::FormShow()
{
    TQnDForm::FormShow();
    DS()->setEditColor(QColor(0, 255, 0)); // lime while editing
    DS()->RefreshControls();
    const AppContext& ctx = AppContext::instance();
    TInsertData id;
    id.fieldName = QStringLiteral("COMPANY_ID");
    id.caption = QStringLiteral("单位编号");
    id.kind = QStringLiteral("C");
    id.width = 6;
    TInsertData createName =
        TInsertData::assign(QStringLiteral("CREATE_NAME"), QStringLiteral("建档人员"), ctx.UserName);
    TInsertData createDate =
        TInsertData::assign(QStringLiteral("CREATE_DATE"), QStringLiteral("建档日期"), ctx.LoginDate);
    Query()->SetInsertData({id, createName, createDate});
    Query()->SetEditData({{QStringLiteral("EDIT_NAME"), QStringLiteral("修改人员"), ctx.UserName},
                          {QStringLiteral("EDIT_DATE"), QStringLiteral("修改日期"), ctx.LoginDate}});
}

void TCompanyForm::button_addClick()
{
    if (Query()->isOpen() && !Query()->isEmpty()) {
        ShowWarning(QStringLiteral("单位名称只能有一个"));
        return;
    }
    TQnDForm::button_addClick();
}

void TCompanyForm::button_saveClick()
{
    const bool editing = Query()->isEditing();
    TQnDForm::button_saveClick();
    if (!editing || Query()->isEditing())
        return; // nothing saved: the name and the caption stay
    AppContext& ctx = AppContext::instance();
    ctx.CompanyName = Query()->text(QStringLiteral("COMPANY_NAME"));
    if (TQnMain* controller = TQnMain::instance())
        if (QMainWindow* main = controller->owner())
            main->setWindowTitle(ctx.CompanyName + QStringLiteral("vuzazo"));
}
