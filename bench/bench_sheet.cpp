// Reading a large .xlsx: rows per second of SheetReader beside the time to inflate the sheet's XML alone.
// Usage: bench_sheet [FILE.xlsx] [--rows N] — without a file it writes one of N rows × 20 columns with
// SheetWriter first (into the temporary folder).
#include "sheet/SheetReader.h"
#include "sheet/SheetWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

// CPU seconds of the calling thread, or of the whole process (every thread): the reader inflates, scans
// and makes cell texts on three threads, so on a busy machine these tell work from waiting.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
double threadCpuSeconds()
{
    return cpuSeconds(RUSAGE_THREAD);
}

bool writeSample(const QString& path, int rows)
{
    SheetWriter writer;
    if (!writer.open(path, QStringLiteral("档案"))) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
        return false;
    }
    const QStringList names = {QStringLiteral("档案编号"), QStringLiteral("题名"), QStringLiteral("日期"),
                               QStringLiteral("金额"), QStringLiteral("数量")};
    for (int c = 0; c < 20; ++c)
        writer.writeText(0, c, c < names.size() ? names.at(c) : QStringLiteral("字段%1").arg(c + 1));
    for (int r = 1; r <= rows; ++r) {
        for (int c = 0; c < 20; ++c) {
            bool ok = true;
            switch (c % 5) {
            case 0: // a record number: text by the export's rule
                ok = writer.writeText(r, c, QStringLiteral("A%1").arg(90000000000LL + r * 20 + c), true);
                break;
            case 1:
                ok = writer.writeText(r, c, QStringLiteral("第%1号档案 关于文书整理的通知").arg(r));
                break;
            case 2:
                ok = writer.writeText(r, c,
                                      QStringLiteral("2009-%1-%2")
                                          .arg(1 + r % 12, 2, 10, QLatin1Char('0'))
                                          .arg(1 + r % 28, 2, 10, QLatin1Char('0')),
                                      true);
                break;
            case 3:
                ok = writer.writeNumber(r, c, r * 1.25 + c);
                break;
            default:
                ok = writer.writeNumber(r, c, r % 1000);
                break;
            }
            if (!ok) {
                std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
                return false;
            }
        }
    }
    if (!writer.commit()) {
        std::fprintf(stderr, "%s\n", qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int rows = 100000;
    if (const qsizetype i = args.indexOf(QStringLiteral("--rows")); i >= 0 && i + 1 < args.size()) {
        rows = args.at(i + 1).toInt();
        args.remove(i, 2);
    }
    QTemporaryDir tmp;
    QString path = args.value(0);
    QElapsedTimer timer;
    if (path.isEmpty()) {
        path = QDir(tmp.path()).filePath(QStringLiteral("bench.xlsx"));
        timer.start();
        if (!writeSample(path, rows))
            return 1;
        const double s = timer.nsecsElapsed() / 1e9;
        std::printf("write  %d rows x 20 columns with SheetWriter: %.2f s (%.0f rows/s), %.1f MB\n", rows, s, rows / s,
                    QFileInfo(path).size() / 1e6);
    }

    double floor = 1e9;
    double floorCpu = 1e9;
    qint64 xmlBytes = 0;
    for (int i = 0; i < 5; ++i) {
        QString error;
        const double cpu0 = threadCpuSeconds();
        timer.start();
        xmlBytes = SheetReader::inflateFirstSheet(path, &error);
        if (xmlBytes < 0) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        floor = qMin(floor, timer.nsecsElapsed() / 1e9);
        floorCpu = qMin(floorCpu, threadCpuSeconds() - cpu0);
    }
    std::printf("inflate the sheet XML alone (floor): %.3f s for %.1f MB (%.0f MB/s)\n", floor, xmlBytes / 1e6,
                xmlBytes / 1e6 / floor);

    double best = 1e9;
    double bestCpu = 1e9;
    double bestAllCpu = 1e9;
    qint64 count = 0;
    for (int i = 0; i < 5; ++i) {
        SheetReader reader;
        const double cpu0 = threadCpuSeconds();
        const double all0 = cpuSeconds(RUSAGE_SELF);
        timer.start();
        if (!reader.open(path)) {
            std::fprintf(stderr, "%s\n", qPrintable(reader.errorString()));
            return 1;
        }
        QStringList cells;
        count = 0;
        qint64 chars = 0;
        while (reader.readRow(&cells)) {
            ++count;
            chars += cells.constLast().size();
        }
        if (reader.hasError()) {
            std::fprintf(stderr, "%s\n", qPrintable(reader.errorString()));
            return 1;
        }
        best = qMin(best, timer.nsecsElapsed() / 1e9);
        bestCpu = qMin(bestCpu, threadCpuSeconds() - cpu0);
        bestAllCpu = qMin(bestAllCpu, cpuSeconds(RUSAGE_SELF) - all0);
        Q_UNUSED(chars);
    }
    std::printf("read   %lld rows with SheetReader: %.3f s (%.0f rows/s), %.2f x the floor\n", (long long)count, best,
                count / best, best / floor);
    std::printf("cpu    reading: %.3f s on all threads, %.3f s on the caller's; inflating alone %.3f s\n", bestAllCpu,
                bestCpu, floorCpu);
    std::printf("file %s\n", qPrintable(path));
    if (args.isEmpty() && qEnvironmentVariableIsSet("BENCH_SHEET_KEEP")) {
        const QString keep = qEnvironmentVariable("BENCH_SHEET_KEEP");
        QFile::remove(keep);
        QFile::copy(path, keep);
    }
    return 0;
}
