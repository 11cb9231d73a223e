#include "CliCommand.h"

#include "db/Installation.h"

#include <QDir>

namespace {

int runInit(const QStringList& argsIn)
{
    QStringList args = argsIn;
    QString dir = CliArgs::take(args, QStringLiteral("--install-dir"));
    if (!args.isEmpty()) {
        cliErr(unexpectedArguments(args));
        return 2;
    }
    if (dir.isEmpty())
        dir = Installation::defaultInstallDir();
    dir = QDir(dir).absolutePath();
    QString error;
    if (!Installation::init(dir, &error)) {
        cliErr(error + QLatin1Char('\n'));
        return 1;
    }
    cliOut(QStringLiteral("已建立数据库: %1\n").arg(Installation::databaseDir(dir)));
    return 0;
}

CliCommand::Registrar reg({QStringLiteral("init"), QStringLiteral("[--install-dir DIR]"),
                           QStringLiteral("建立安装文件夹和空数据库"), runInit});

} // namespace
