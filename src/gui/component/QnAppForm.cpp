#include "QnAppForm.h"

#include "QnColor.h"

#include <QAction>
#include <QFrame>
#include <QIcon>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct ButtonDef
{
    const char* name;
    const char* caption;
    const char* icon;
    bool visible;
    int tag;
};

const ButtonDef Buttons[14] = {
    {"button_add", "增加F5", "add", true, 0},       {"button_edit", "编辑F6", "edit", true, 0},
    {"button_delete", "删除F7", "delete", true, 0}, {"button_save", "保存F8", "save", true, 0},
    {"button_cancel", "取消F9", "cancel", true, 0}, {"button_find", "查找F10", "find", true, 0},
    {"button_First", "头一条", "first", false, 0},  {"button_Prior", "前一条 ", "prior", false, 0},
    {"button_next", "下一条", "next", false, 0},    {"button_Last", "末一条", "last", false, 0},
    {"Button_Other", "补充", "other", false, 0},    {"button_check", "确认", "check", true, 1},
    {"button_print", "打印F11", "print", true, 0},  {"button_close", "关闭F12", "close", true, 1},
};

} // namespace

TQnAppForm::TQnAppForm(QWidget* parent) : TQnBaseForm(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_coolBar = new QFrame(this);
    m_coolBar->setObjectName(QStringLiteral("CoolBar1"));
    m_coolBar->setFrameShape(QFrame::StyledPanel);
    m_coolBar->setFrameShadow(QFrame::Raised);
    auto* coolLayout = new QHBoxLayout(m_coolBar);
    coolLayout->setContentsMargins(2, 1, 2, 1);
    m_toolBar = new QToolBar(m_coolBar);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setFocusPolicy(Qt::ClickFocus);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    coolLayout->addWidget(m_toolBar);
    coolLayout->addStretch();
    layout->addWidget(m_coolBar);

    for (int i = 0; i < 14; ++i) {
        const ButtonDef& d = Buttons[i];
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setText(QString::fromUtf8(d.caption));
        b->setAccessibleName(QString::fromUtf8(d.caption).trimmed());
        b->setIcon(QIcon(QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(d.icon))));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(49, 51);
        setQnTag(b, d.tag);
        QAction* holder = m_toolBar->addWidget(b);
        holder->setObjectName(QString::fromLatin1(d.name) + QStringLiteral("_item"));
        holder->setVisible(d.visible);
        m_buttons[i] = b;
    }

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    layout->addWidget(m_client, 1);

    bindKey(Qt::Key_F5, button_add());
    bindKey(Qt::Key_F6, button_edit());
    bindKey(Qt::Key_F7, button_delete());
    bindKey(Qt::Key_F8, button_save());
    bindKey(Qt::Key_F9, button_cancel());
    bindKey(Qt::Key_F10, button_find());
    bindKey(Qt::Key_F11, button_print());
    bindKey(Qt::Key_F12, button_close());
}

QList<QToolButton*> TQnAppForm::toolButtons() const
{
    return QList<QToolButton*>(std::begin(m_buttons), std::end(m_buttons));
}

void TQnAppForm::setButtonShown(QToolButton* button, bool shown)
{
    auto* bar = qobject_cast<QToolBar*>(button ? button->parentWidget() : nullptr);
    if (!bar)
        return;
    for (QAction* a : bar->actions())
        if (bar->widgetForAction(a) == button)
            a->setVisible(shown);
}

void TQnAppForm::FormShow()
{
    TQnBaseForm::FormShow();
    if (m_coolBar->isVisible())
        m_toolBar->setFocus(Qt::OtherFocusReason);
}
