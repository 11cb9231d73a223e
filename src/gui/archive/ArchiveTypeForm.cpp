#include "ArchiveTypeForm.h"

#include "ArchiveTypePrint.h"
#include "ArchiveTypeTree.h"

#include "archive/ArchiveTypeKeys.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/InputLimits.h"
#include "component/QnColor.h"
#include "component/QnDBEdit.h"
#include "component/QnDataSource.h"
#include "component/QnTreeView.h"
#include "db/Schema.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString Table = QStringLiteral("QN_ARCHIVE_TYPE_TABLE");

TFieldsData field(const char* name, const char* caption, const char* kind, bool required, const char* find = "")
{
    TFieldsData f;
    f.fieldName = QString::fromLatin1(name);
    f.caption = QString::fromUtf8(caption);
    f.valueKind = QString::fromLatin1(kind);
    f.required = required;
    f.findKind = QString::fromLatin1(find);
    f.visible = true;
    return f;
}

} // namespace

TArchiveTypeForm::TArchiveTypeForm(QWidget* parent) : TQnDForm(parent)
{
    setObjectName(QStringLiteral("ArchiveTypeForm"));
    setWindowTitle(QStringLiteral("档案类别录入编辑窗口"));
    setComposeName(QStringLiteral("档案管理"));
    setProgramName(QStringLiteral("档案类别资料录入编辑"));
    setButtonShown(button_find(), false);

    auto* layout = new QVBoxLayout(Panel1());
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    m_note_label = new QLabel(
        QStringLiteral("一级档案分类可以定义档案的字段名称和数量，不同类别的档案可以有不同的字段。"), Panel1());
    m_note_label->setObjectName(QStringLiteral("LabelNote"));
    m_note_label->setStyleSheet(QStringLiteral("color: red;"));
    setQnTag(m_note_label, 1);
    layout->addWidget(m_note_label);

    auto* body = new QHBoxLayout;
    body->setSpacing(10);
    layout->addLayout(body, 1);

    m_treePanel = new QWidget(Panel1());
    m_treePanel->setObjectName(QStringLiteral("Panel2"));
    auto* treeLayout = new QVBoxLayout(m_treePanel);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    m_tree = new TQnTreeView(m_treePanel);
    m_tree->setAccessibleName(QStringLiteral("档案类别"));
    treeLayout->addWidget(m_tree);
    m_treePanel->setFixedWidth(300);
    body->addWidget(m_treePanel);

    auto* box = new QGroupBox(QStringLiteral("档案类别资料"), Panel1());
    box->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(14, 16, 14, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    m_order = addField(grid, 0, QStringLiteral("EditOrder"), QStringLiteral("序号"), QStringLiteral("ORDER_ID"), 0);
    m_order->setEditType(etInteger);
    m_order->setMaximumWidth(90);
    m_name = addField(grid, 1, QStringLiteral("EditName"), QStringLiteral("档案类别"),
                      QStringLiteral("ARCHIVE_TYPE_NAME"), 0);
    m_note = addField(grid, 2, QStringLiteral("EditNote"), QStringLiteral("备注"), QStringLiteral("NOTE"), 0);
    InputLimits::limitGbkBytes(m_name, Schema::textWidth(Table, QStringLiteral("ARCHIVE_TYPE_NAME")));
    InputLimits::limitGbkBytes(m_note, Schema::textWidth(Table, QStringLiteral("NOTE")));
    auto* line = new QFrame(box);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    grid->addWidget(line, 3, 0, 1, 2);
    addField(grid, 4, QStringLiteral("EditCreateName"), QStringLiteral("建档人员"), QStringLiteral("CREATE_NAME"), 3);
    addField(grid, 5, QStringLiteral("EditCreateDate"), QStringLiteral("建档日期"), QStringLiteral("CREATE_DATE"), 3);
    addField(grid, 6, QStringLiteral("EditEditName"), QStringLiteral("修改人员"), QStringLiteral("EDIT_NAME"), 3);
    addField(grid, 7, QStringLiteral("EditEditDate"), QStringLiteral("修改日期"), QStringLiteral("EDIT_DATE"), 3);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(1, 1);
    body->addWidget(box, 1);

    // The query and its declarations.
    Query()->setTableName(Table);
    Query()->setKeyColumns({QStringLiteral("ARCHIVE_TYPE_ID")});
    Query()->setActiveControl(QStringLiteral("EditOrder"));
    Query()->SetFieldsData({field("ORDER_ID", "序号", "C", true), field("ARCHIVE_TYPE_ID", "记录编号", "C", false),
                            field("ARCHIVE_TYPE_NAME", "档案类别", "C", true, "T"), field("NOTE", "备注", "C", false),
                            field("CREATE_NAME", "建档人员", "C", false), field("CREATE_DATE", "建档日期", "D", false),
                            field("EDIT_NAME", "修改人员", "C", false), field("EDIT_DATE", "修改日期", "D", false)});
    TCheckData order;
    order.head = QStringLiteral("SELECT ARCHIVE_TYPE_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE ");
    order.conditions = {TCheckFieldsData::same(QStringLiteral("PRIOR_ID")),
                        TCheckFieldsData::same(QStringLiteral("ORDER_ID"))};
    order.checkedColumn = QStringLiteral("ORDER_ID");
    order.message = QStringLiteral("序号重复");
    order.noRenumber = true; // a clash is always reported, never renumbered
    Query()->SetCheckData({order});

    ArchiveTypeTree::setUp(m_tree);
    connect(m_tree, &TQnTreeView::nodeChanged, this, &TArchiveTypeForm::QnTreeViewChange);
    connect(DS(), &TQnDataSource::stateChange, this, [this] { m_treePanel->setEnabled(!DS()->isEditing()); });
    QnTreeViewChange(m_tree->currentItem());
    resize(MinWidth, MinHeight);
}

TQnDBEdit* TArchiveTypeForm::addField(QGridLayout* grid, int row, const QString& name, const QString& caption,
                                      const QString& column, int tag)
{
    auto* label = new QLabel(caption, grid->parentWidget());
    auto* edit = new TQnDBEdit(grid->parentWidget());
    edit->setObjectName(name);
    edit->setDataSource(DS());
    edit->setDataField(column);
    edit->setAccessibleName(caption);
    label->setBuddy(edit);
    setQnTag(edit, tag);
    if (tag == 3)
        edit->setMaximumWidth(160);
    grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(edit, row, 1);
    return edit;
}

void TArchiveTypeForm::FormShow()
{
    TQnDForm::FormShow();
    const AppContext& ctx = AppContext::instance();
    TEditData editName{QStringLiteral("EDIT_NAME"), QStringLiteral("修改人员"), ctx.UserName};
    TEditData editDate{QStringLiteral("EDIT_DATE"), QStringLiteral("修改日期"), ctx.LoginDate};
    Query()->SetEditData({editName, editDate});
}

void TArchiveTypeForm::QnTreeViewChange(QTreeWidgetItem* node)
{
    m_node = node;
    m_parentKey = node ? m_tree->NodeKey(node) : ArchiveTypeKeys::RootKey;
    if (!node) {
        Query()->CloseQuery();
        return;
    }
    showNodeRow(false);
}

void TArchiveTypeForm::showNodeRow(bool force)
{
    if (Query()->isEditing() || !m_node)
        return;
    const QString key = m_tree->NodeKey(m_node);
    if (!force && Query()->isOpen() && Query()->text(QStringLiteral("ARCHIVE_TYPE_ID")) == key && !Query()->isEmpty())
        return;
    Query()->CloseQuery();
    Query()->setSql(QStringLiteral("SELECT  *  FROM  QN_ARCHIVE_TYPE_TABLE WHERE  ARCHIVE_TYPE_ID = ") +
                    Sql::quote(key) + QStringLiteral(" ORDER BY ORDER_ID"));
    Query()->OpenQuery();
}

void TArchiveTypeForm::button_addClick()
{
    if (!m_node) {
        ShowWarning(QStringLiteral("必须选择一个节点"));
        return;
    }
    if (TQnTreeView::level(m_node) >= ArchiveTypeKeys::MaxLevel) {
        ShowWarning(QStringLiteral("挡案类别只能有5级"));
        return;
    }
    const AppContext& ctx = AppContext::instance();
    const QString key = m_tree->NodeKey(m_node);
    TInsertData id;
    id.fieldName = QStringLiteral("ARCHIVE_TYPE_ID");
    id.caption = QStringLiteral("记录编号");
    id.kind = QStringLiteral("C");
    id.width = ArchiveTypeKeys::DigitsPerLevel;
    id.prefix = ArchiveTypeKeys::childPrefix(key);
    id.condition = ArchiveTypeKeys::childCondition(key);
    TInsertData createName =
        TInsertData::assign(QStringLiteral("CREATE_NAME"), QStringLiteral("建档人员"), ctx.UserName);
    TInsertData createDate =
        TInsertData::assign(QStringLiteral("CREATE_DATE"), QStringLiteral("建档日期"), ctx.LoginDate);
    TInsertData order;
    order.fieldName = QStringLiteral("ORDER_ID");
    order.caption = QStringLiteral("序号");
    order.kind = QStringLiteral("C");
    order.condition = id.condition;
    TInsertData prior = TInsertData::assign(QStringLiteral("PRIOR_ID"), QStringLiteral("PRIOR_ID"), key);
    Query()->SetInsertData({id, createName, createDate, order, prior});
    TQnDForm::button_addClick();
}

void TArchiveTypeForm::button_editClick()
{
    if (!m_node) {
        ShowWarning(QStringLiteral("必须选择一个节点"));
        return;
    }
    if (m_node == m_tree->root())
        return;
    TQnDForm::button_editClick();
}

void TArchiveTypeForm::button_deleteClick()
{
    if (!m_node) {
        ShowWarning(QStringLiteral("必须选择一个节点"));
        return;
    }
    if (m_node == m_tree->root()) {
        ShowWarning(QStringLiteral("根节点不能删除"));
        return;
    }
    // An unexpanded type counts its placeholder: children in the table that are not shown still count.
    if (m_node->childCount() > 0) {
        ShowWarning(QStringLiteral("请先删除该挡案类别的下级档案类别"));
        return;
    }
    const QString key = m_tree->NodeKey(m_node);
    if (ArchiveTypeKeys::archiveCount(key) > 0) {
        ShowWarning(QStringLiteral("档案数据库中有对该档案类别的档案记录，该档案类别不能删除"));
        return;
    }
    if (!Query()->isOpen() || Query()->isEmpty())
        return;
    if (!Query()->DeleteRecord())
        return;
    QTreeWidgetItem* gone = m_node;
    QTreeWidgetItem* parent = gone->parent();
    m_node = nullptr;
    m_tree->DeleteNode(gone, false);
    m_tree->setCurrentItem(parent);
    QnTreeViewChange(m_tree->currentItem());
}

void TArchiveTypeForm::button_saveClick()
{
    const bool inserting = Query()->state() == TQnQuery::Insert;
    const bool editing = Query()->state() == TQnQuery::Edit;
    TQnDForm::button_saveClick();
    if (!(inserting || editing) || Query()->isEditing())
        return; // nothing to save, or the save failed: the tree stays as it was
    const QString name = Query()->text(QStringLiteral("ARCHIVE_TYPE_NAME"));
    const QString savedKey = Query()->text(QStringLiteral("ARCHIVE_TYPE_ID"));
    showNodeRow(true);
    if (!m_node)
        return;
    if (inserting) {
        // A node whose children are not read yet shows the new one with the others when it opens.
        if (!TQnTreeView::holdsOnlyPlaceholder(m_node))
            m_tree->AddNode(m_node, name, savedKey);
        m_node->setExpanded(true);
    } else if (savedKey == m_tree->NodeKey(m_node)) {
        m_tree->SetNodeName(m_node, name);
    } else {
        m_tree->RenameByKey(savedKey, name);
    }
}

void TArchiveTypeForm::button_printClick()
{
    if (!m_node)
        return;
    PrintArchiveTypeList(this, m_tree->NodeKey(m_node));
}
