#include "LogonForm.h"

#include "ShellStyle.h"
#include "common/Logon.h"
#include "common/MessageSink.h"
#include "common/Password.h"
#include "component/QnChild.h"
#include "component/QnComboBox.h"
#include "component/QnEdit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

TLogonForm::TLogonForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LogonForm"));
    setWindowTitle(QStringLiteral("用户登陆窗口"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_user = new TQnComboBox(this);
    m_user->setObjectName(QStringLiteral("ComboBox_User"));
    m_user->setEditable(true);
    m_user->setInsertPolicy(QComboBox::NoInsert);
    m_user->addItems(Logon::activeUserNames());
    m_user->setCurrentIndex(-1);
    m_user->setEditText(QString());
    m_user->setMinimumWidth(200);

    m_password = new TQnEdit(this);
    m_password->setObjectName(QStringLiteral("Edit_Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(Password::MaxLength);

    m_ok = new QPushButton(QStringLiteral("确定[F3]"), this);
    m_ok->setObjectName(QStringLiteral("button_Ok"));
    m_cancel = new QPushButton(QStringLiteral("取消[F4]"), this);
    m_cancel->setObjectName(QStringLiteral("button_Cancel"));
    for (QPushButton* b : {m_ok, m_cancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(12);
    auto* userLabel = new QLabel(QStringLiteral("用户名称"), this);
    userLabel->setBuddy(m_user);
    auto* passwordLabel = new QLabel(QStringLiteral("用户口令"), this);
    passwordLabel->setBuddy(m_password);
    m_user->setAccessibleName(userLabel->text());
    m_password->setAccessibleName(passwordLabel->text());
    form->addRow(userLabel, m_user);
    form->addRow(passwordLabel, m_password);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(ShellStyle::pictureLabel(QStringLiteral(":/icons/logon.svg"), 64, this), 0, Qt::AlignTop);
    body->addLayout(form, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 16);
    layout->setSpacing(18);
    layout->addWidget(ShellStyle::banner(QStringLiteral("请输入用户编号或用户名称和口令"), this));
    layout->addLayout(body);
    layout->addWidget(ShellStyle::separator(this));
    layout->addLayout(buttons);

    ShellStyle::applyEntryColours(this);
    new TQnChild(this); // Enter moves from field to field

    connect(m_ok, &QPushButton::clicked, this, &TLogonForm::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, m_ok, &QPushButton::click);
    auto* f4 = new QShortcut(QKeySequence(Qt::Key_F4), this);
    connect(f4, &QShortcut::activated, m_cancel, &QPushButton::click);

    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
    m_user->setFocus();
}

void TLogonForm::confirm()
{
    const auto user = Logon::findUser(m_user->currentText(), m_password->text());
    if (user) {
        Logon::apply(*user);
        accept();
        return;
    }
    ++m_failures;
    if (m_failures >= MaxFailures) {
        ShowWarning(QStringLiteral("您可能是非法的用户,不能登陆系统"));
        reject();
        return;
    }
    ShowWarning(QStringLiteral("错误的用户编号或错误的口令"));
    m_user->setFocus();
}
