// Backs up a folder and restores it with the zlib work on one core and on all of them, and checks that
// both writers give the same archive. Prints one line per run: "name seconds bytes".
#include "backup/QnBackupFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    QCryptographicHash h(QCryptographicHash::Sha1);
    if (f.open(QIODevice::ReadOnly))
        h.addData(&f);
    return h.result().toHex();
}

void line(const char* name, qint64 ms, qint64 bytes)
{
    std::printf("%s %.3f %lld\n", name, ms / 1000.0, static_cast<long long>(bytes));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_backup FOLDER WORKDIR\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString work = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(work);
    qint64 input = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
        input += f.size();

    const QString oneCore = QDir(work).filePath(QStringLiteral("one-core.bak"));
    const QString allCores = QDir(work).filePath(QStringLiteral("all-cores.bak"));
    QElapsedTimer timer;
    for (const bool parallel : {false, true}) {
        TQnBackupFile file;
        if (!parallel)
            file.setThreadCount(0);
        timer.start();
        if (!file.Backup(folder, parallel ? allCores : oneCore, true))
            return 1;
        line(parallel ? "backup-all-cores" : "backup-one-core", timer.elapsed(), input);
    }
    const bool same = digest(oneCore) == digest(allCores);
    std::printf("same-archive %s %lld\n", same ? "yes" : "NO", static_cast<long long>(QFileInfo(allCores).size()));
    for (const bool parallel : {false, true}) {
        TQnBackupFile file;
        if (!parallel)
            file.setThreadCount(0);
        const QString out = QDir(work).filePath(parallel ? QStringLiteral("out-all") : QStringLiteral("out-one"));
        timer.start();
        if (!file.Restore(allCores, out))
            return 1;
        line(parallel ? "restore-all-cores" : "restore-one-core", timer.elapsed(), input);
        QDir(out).removeRecursively();
    }
    QFile::remove(oneCore);
    QFile::remove(allCores);
    return same ? 0 : 1;
}
