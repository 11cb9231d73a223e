#include "SelectArchivesTypeForm.h"

#include "ArchiveTypeTree.h"

#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/QnChild.h"
#include "component/QnSetForm.h"
#include "component/QnTreeView.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

TSelectArchivesTypeForm::TSelectArchivesTypeForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SelectArchivesTypeForm"));
    setWindowTitle(QStringLiteral("档案类别选择窗口"));
    setFont(QnForms::windowFont());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    m_tree = new TQnTreeView(this);
    m_tree->setAccessibleName(QStringLiteral("档案类别"));
    QPalette p = m_tree->palette();
    p.setColor(QPalette::Base, AppContext::instance().WindowColor);
    m_tree->setPalette(p);
    layout->addWidget(m_tree, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("确定[F3]"), this);
    m_ok->setObjectName(QStringLiteral("Button_ok"));
    m_close = new QPushButton(QStringLiteral("关闭[F12]"), this);
    m_close->setObjectName(QStringLiteral("Button_Close"));
    for (QPushButton* b : {m_ok, m_close}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    resize(340, 460);

    connect(m_ok, &QPushButton::clicked, this, &TSelectArchivesTypeForm::Button_okClick);
    connect(m_close, &QPushButton::clicked, this, &TSelectArchivesTypeForm::Button_CloseClick);
    // A double click chooses the node as 确定 does (the root is refused the same way).
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item)
            Button_okClick();
    });
    ArchiveTypeTree::setUp(m_tree);
    m_tree->root()->setExpanded(true);
}

void TSelectArchivesTypeForm::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_F3:
            Button_okClick();
            return;
        case Qt::Key_F4:
        case Qt::Key_F12:
        case Qt::Key_Escape:
            Button_CloseClick();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

void TSelectArchivesTypeForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_accepted = false;
    m_tree->setFocus();
}

bool TSelectArchivesTypeForm::choose()
{
    exec();
    return m_accepted;
}

void TSelectArchivesTypeForm::Button_okClick()
{
    QTreeWidgetItem* node = m_tree->currentItem();
    if (!node || node == m_tree->root() || TQnTreeView::isPlaceholder(node)) {
        ShowWarning(QStringLiteral("必须选择一个档案类别节点"));
        return;
    }
    m_key = m_tree->NodeKey(node);
    m_name = m_tree->NodeName(node);
    m_accepted = true;
    accept();
}

void TSelectArchivesTypeForm::Button_CloseClick()
{
    m_accepted = false;
    reject();
}
