#include "CliCommand.h"

#include "db/Database.h"
#include "db/DemoData.h"
#include "db/Installation.h"

#include <QDir>
#include <QElapsedTimer>

namespace {

int runDemo(const QStringList& argsIn)
{
    QStringList args = argsIn;
    QString dir = CliArgs::take(args, QStringLiteral("--install-dir"));
    const QString archives = CliArgs::take(args, QStringLiteral("--archives"));
    const QString details = CliArgs::take(args, QStringLiteral("--details"));
    if (!args.isEmpty()) {
        cliErr(unexpectedArguments(args));
        return 2;
    }
    if (dir.isEmpty())
        dir = Installation::defaultInstallDir();
    DemoData::Options o;
    bool ok = true;
    if (!archives.isEmpty())
        o.archives = archives.toLongLong(&ok);
    if (ok && !details.isEmpty())
        o.details = details.toLongLong(&ok);
    if (!ok || o.archives < 0 || o.details < 0 || (o.archives == 0 && o.details > 0)) {
        cliErr(QStringLiteral("--archives 和 --details 要写不小于 0 的整数 (有明细就要有档案)\n"));
        return 2;
    }
    QString error;
    if (Database::open(Installation::databaseDir(dir), &error) != Database::OpenResult::Ok) {
        cliErr(error + QLatin1Char('\n'));
        // The usual cause: the installation was never made.
        if (!Database::hasDatabase(Installation::databaseDir(dir)))
            cliErr(QStringLiteral("请先建立数据库: vuzazo-cli init --install-dir %1\n").arg(dir));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const bool filled = DemoData::fill(
        o, &error, [](qint64 done, qint64 total) { cliErr(QStringLiteral("\r%1 / %2").arg(done).arg(total)); });
    cliErr(QStringLiteral("\n"));
    Database::close();
    if (!filled) {
        cliErr(error + QLatin1Char('\n'));
        return 1;
    }
    cliOut(QStringLiteral("示范数据已填入 (%1 个档案, %2 条明细, %3 秒)\n%4\n")
               .arg(o.archives)
               .arg(o.details)
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
               .arg(DemoData::usersText()));
    return 0;
}

CliCommand::Registrar reg({QStringLiteral("demo"), QStringLiteral("[--install-dir DIR] [--archives N] [--details M]"),
                           QStringLiteral("在新数据库中填入演示用的档案资料"), runDemo});

} // namespace
