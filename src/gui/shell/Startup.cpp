#include "Startup.h"

#include "EnrolForm.h"
#include "LogonForm.h"
#include "MainForm.h"
#include "SplashForm.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/Logon.h"
#include "common/MessageSink.h"
#include "component/MessageBoxes.h"
#include "component/QnMain.h"
#include "component/SingleInstance.h"
#include "db/Database.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Startup {

QString missingAliasMessage()
{
    return QStringLiteral(
               "1.没有找到软件设置的数据库连接参数，如果操作系统是Window7 或 以上的操作系统，用鼠标右键点桌面软件图标，"
               "在弹出的菜单里点属性，点兼容方式，把 以管理员身份运行此软件 打勾,然后重新打开软件。") +
           QLatin1Char('\n') +
           QStringLiteral(
               "2.如果打勾后还提示此信息，或者是XP操作系统提示此信息，就要重新安装软件，如果有录入的数据，"
               "不要卸载和删除以前装的软件，换个盘重新安装，不要覆盖以前的软件，安装好后用最新的数据备份恢复数据");
}

void setUpApplication(QApplication& app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("QNSOFTWARE"));
    QCoreApplication::setApplicationName(QStringLiteral("vuzazo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VUZAZO_VERSION));

    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Noto Serif CJK SC")});
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(10);
    app.setFont(font);

    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    static QTranslator* qtbase = nullptr;
    if (!qtbase) {
        qtbase = new QTranslator(&app);
        if (qtbase->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qtbase);
    }

    static GuiMessageSink sink;
    MessageSink::setInstance(&sink);
}

bool openDatabase()
{
    QString error;
    switch (Database::openFromAlias(&error)) {
    case Database::OpenResult::Ok:
        return true;
    case Database::OpenResult::MissingAlias:
        ShowWarning(missingAliasMessage());
        return false;
    case Database::OpenResult::Locked:
        ShowWarning(QStringLiteral("数据库正被另一个程序独占使用,不能打开"));
        return false;
    case Database::OpenResult::Failed:
        ShowWarning(QStringLiteral("数据库打开过程发生错误") + QLatin1Char('\n') + error);
        return false;
    }
    return false;
}

bool logOnOrEnrol(TMainForm& main)
{
    if (Logon::administratorCount() > 0) {
        TLogonForm logon(&main);
        return logon.exec() == QDialog::Accepted;
    }
    TEnrolForm enrol(&main);
    return enrol.exec() == QDialog::Accepted;
}

int run(QApplication& app, const Options& options)
{
    // A second start must find the first before it touches the database, which the first holds.
    SingleInstance guard;
    if (!guard.claim()) {
        ShowWarning(QStringLiteral("程序已经运行"));
        return 0;
    }

    {
        TSplashForm splash;
        AppContext::instance().LoginDate = Clock::todayText();
        splash.showFor(options.splashMilliseconds);
    }
    if (!openDatabase())
        return 1;

    int rc = 0;
    {
        TMainForm main;
        main.QnMain()->Start(&guard);
        if (logOnOrEnrol(main)) {
            main.refreshCaption();
            main.show();
            rc = app.exec();
        }
    }
    Database::close();
    return rc;
}

} // namespace Startup
