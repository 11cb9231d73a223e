#include "EnrolForm.h"

#include "Manual.h"
#include "NumberingForm.h"
#include "ShellStyle.h"
#include "common/AppContext.h"
#include "common/Logon.h"
#include "common/MachineSettings.h"
#include "common/MessageSink.h"
#include "common/Password.h"
#include "component/InputLimits.h"
#include "component/QnChild.h"
#include "component/QnEdit.h"
#include "component/QnThread.h"
#include "db/Schema.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QLineEdit* field(QWidget* parent, const QString& name, QFormLayout* form, const QString& caption)
{
    auto* edit = new TQnEdit(parent);
    edit->setObjectName(name);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    edit->setAccessibleName(caption);
    form->addRow(label, edit);
    return edit;
}

} // namespace

TEnrolForm::TEnrolForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnrolForm"));
    setWindowTitle(QStringLiteral("注册窗口"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    m_company = field(this, QStringLiteral("Edit_Company"), form, QStringLiteral("单位名称"));
    m_userId = field(this, QStringLiteral("Edit_UserId"), form, QStringLiteral("用户编号"));
    m_userName = field(this, QStringLiteral("Edit_UserName"), form, QStringLiteral("用户姓名"));
    m_password = field(this, QStringLiteral("Edit_Password"), form, QStringLiteral("口令"));
    m_confirm = field(this, QStringLiteral("Edit_Confirm"), form, QStringLiteral("口令确认"));

    InputLimits::limitGbkBytes(m_company,
                               Schema::textWidth(QStringLiteral("SYS_COMPANY_TABLE"), QStringLiteral("COMPANY_NAME")));
    InputLimits::limitGbkBytes(m_userId, Schema::textWidth(QStringLiteral("SYS_USER_TABLE"), QStringLiteral("USE_ID")));
    InputLimits::upperCase(m_userId);
    InputLimits::limitGbkBytes(m_userName,
                               Schema::textWidth(QStringLiteral("SYS_USER_TABLE"), QStringLiteral("USE_NAME")));
    for (QLineEdit* e : {m_password, m_confirm}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(Password::MaxLength);
    }
    m_company->setMinimumWidth(300);

    auto* note = new QLabel(QStringLiteral("自己输入:单位名称、 用户编号、用户姓名、口令等！"), this);
    note->setObjectName(QStringLiteral("Label_Note"));
    note->setStyleSheet(QStringLiteral("color: #a0522d;"));

    m_ok = new QPushButton(QStringLiteral("确认F3"), this);
    m_ok->setObjectName(QStringLiteral("button_Ok"));
    m_close = new QPushButton(QStringLiteral("关闭F4"), this);
    m_close->setObjectName(QStringLiteral("button_Close"));
    for (QPushButton* b : {m_ok, m_close}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(ShellStyle::pictureLabel(QStringLiteral(":/icons/enrol.svg"), 64, this), 0, Qt::AlignTop);
    body->addLayout(form, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(note);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 22, 24, 16);
    layout->setSpacing(16);
    layout->addWidget(ShellStyle::banner(QStringLiteral("首次使用：请登记本单位名称和系统管理员"), this));
    layout->addLayout(body);
    layout->addWidget(ShellStyle::separator(this));
    layout->addLayout(buttons);

    ShellStyle::applyEntryColours(this);
    new TQnChild(this);

    connect(m_ok, &QPushButton::clicked, this, &TEnrolForm::confirm);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, m_ok, &QPushButton::click);
    connect(new QShortcut(QKeySequence(Qt::Key_F4), this), &QShortcut::activated, m_close, &QPushButton::click);

    setFixedSize(sizeHint());
    m_company->setFocus();
}

bool TEnrolForm::check()
{
    struct Check
    {
        bool failed;
        const char* message;
        QLineEdit* focus;
    };
    const Check checks[] = {
        {m_company->text().trimmed().isEmpty(), "必须输入单位名称", m_company},
        {m_userId->text().trimmed().isEmpty(), "必须输入用户编号", m_userId},
        {m_userName->text().trimmed().isEmpty(), "必须输入用户姓名", m_userName},
        {m_password->text().trimmed().isEmpty(), "必须输入用户口令", m_password},
        {m_confirm->text().trimmed().isEmpty(), "必须确认用户口令", m_confirm},
        {m_password->text().trimmed() != m_confirm->text().trimmed(), "口令确认错误", m_password},
    };
    for (const Check& c : checks) {
        if (c.failed) {
            ShowWarning(QString::fromUtf8(c.message));
            c.focus->setFocus();
            return false;
        }
    }
    return true;
}

void TEnrolForm::confirm()
{
    if (!check())
        return;
    const QString company = m_company->text().trimmed();
    const QString id = m_userId->text().trimmed();
    const QString name = m_userName->text().trimmed();
    switch (Logon::enrol(company, id, name, m_password->text())) {
    case Logon::EnrolResult::CompanyFailed:
        ShowWarning(QStringLiteral("单位名称注册错误"));
        return;
    case Logon::EnrolResult::UserFailed:
        ShowWarning(QStringLiteral("用户注册错误"));
        return;
    case Logon::EnrolResult::Ok:
        break;
    }

    AppContext& ctx = AppContext::instance();
    ctx.IsAdmin = true;
    ctx.UserName = name;
    ctx.UserId = id;
    // Nothing chooses an input method here: the context and the machine setting start empty.
    ctx.ImeName.clear();
    WriteRegValue(QString::fromLatin1(MachineSettings::KeyIme), QString());
    ctx.JustEnrolled = true;
    ctx.CompanyName = company;

    hide();
    TNumberingForm numbering(parentWidget());
    numbering.exec();

    ShowWarning(QStringLiteral("您的用户名称是：") + m_userName->text() + QLatin1Char('\n') +
                QStringLiteral("用户编号是：") + m_userId->text() + QLatin1Char('\n') + QStringLiteral("您的口令是：") +
                m_password->text() + QStringLiteral("       "));

    registerReports();
    accept();
    Manual::open();
}

void TEnrolForm::registerReports()
{
    TQnThread progress;
    progress.setCaption(QStringLiteral("正在建立报表数据......"));
    progress.setProgressBar1(true);
    progress.SetMax(int(std::size(Logon::DeliveredReports)));
    progress.ShowWindow();
    const bool ok = Logon::registerDeliveredReports([&progress](int n) { progress.SetPosition(n); });
    progress.HideWindow();
    if (!ok)
        ShowWarning(QStringLiteral("报表建立过程发生错误"));
}
