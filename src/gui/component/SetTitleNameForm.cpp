#include "SetTitleNameForm.h"

#include "QnEdit.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "db/Lookups.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString Suffix = QStringLiteral("查询管理");
}

TSetTitleNameForm::TSetTitleNameForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SetTitleNameForm"));
    setWindowTitle(QStringLiteral("标题编辑修改窗口"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    m_edit = new TQnEdit(this);
    m_edit->setObjectName(QStringLiteral("QnEdit1"));
    m_edit->setMaxLength(18);
    m_edit->setColor(AppContext::instance().WindowEditColor);
    m_edit->setColorOnFocus(AppContext::instance().WindowFocusColor);
    auto* caption = new QLabel(QStringLiteral("标题"), this);
    caption->setBuddy(m_edit);
    m_edit->setAccessibleName(QStringLiteral("标题"));
    m_ok = new QPushButton(QStringLiteral("保存"), this);
    m_ok->setObjectName(QStringLiteral("Button_ok"));
    m_ok->setDefault(true);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    m_close->setObjectName(QStringLiteral("Button_Close"));
    m_close->setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(m_edit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    resize(320, 100);
    connect(m_ok, &QPushButton::clicked, this, &TSetTitleNameForm::save);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetTitleNameForm::showEvent(QShowEvent* event)
{
    m_edit->setText(AppContext::instance().DetailName);
    QDialog::showEvent(event);
    raise();
    activateWindow();
    m_edit->setFocus();
}

void TSetTitleNameForm::save()
{
    const QString text = m_edit->text().trimmed();
    if (text.isEmpty()) {
        ShowWarning(QStringLiteral("必须输入标题"));
        m_edit->setFocus();
        return;
    }
    if (RenameProgram(text, 1, 3, Suffix)) {
        AppContext::instance().DetailName = text;
        applyDetailName(text);
    }
    accept();
}

void TSetTitleNameForm::applyDetailName(const QString& name)
{
    // The main window names its detail query entry "action_DetailQuery" and the tool button
    // "tool_DetailQuery"; any top-level window carrying them follows the new name.
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* entry = top->findChild<QAction*>(QStringLiteral("action_DetailQuery")))
            entry->setText(name + Suffix);
        if (auto* tool = top->findChild<QAction*>(QStringLiteral("tool_DetailQuery")))
            tool->setToolTip(name + Suffix);
    }
}
