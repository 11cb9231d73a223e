// The archive list grid on a demo database: how long TQnNDBGrid over TQnQuery takes to open, to jump to the
// last row, and to page through the list, and how much it reads (bench/grid.sh runs it).
#include "component/QnDataSource.h"
#include "component/QnNDBGrid.h"
#include "db/Database.h"
#include "db/Installation.h"
#include "query/QnQuery.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <sys/resource.h>

namespace {

double ms(QElapsedTimer& t)
{
    const double v = t.nsecsElapsed() / 1e6;
    t.restart();
    return v;
}

// CPU time of the process so far: on a busy machine it tells the work apart from the waiting.
double cpuMs()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

TFieldsData field(const char* name, const char* caption, const char* kind = "C", const char* footer = "")
{
    TFieldsData f;
    f.fieldName = QString::fromLatin1(name);
    f.caption = QString::fromUtf8(caption);
    f.valueKind = QString::fromLatin1(kind);
    f.footerKind = QString::fromLatin1(footer);
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_grid INSTALL_DIR\n");
        return 2;
    }
    QString error;
    if (Database::open(Installation::databaseDir(QString::fromLocal8Bit(argv[1])), &error) !=
        Database::OpenResult::Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QWidget window;
    window.resize(1000, 700);
    TQnQuery query(&window);
    query.setTableName(QStringLiteral("QN_ARCHIVE_MASTER_TABLE"));
    query.setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID"));
    query.SetFieldsData({field("ARCHIVE_ID", "档案编号", "C", "@Count"), field("ARCHIVE_NAME", "档案名称"),
                         field("DATE_FIELD1", "形成日期", "D"), field("TEXT_FIELD1", "保管期限"),
                         field("NUMBER_FIELD1", "页数", "N", "@Sum")});
    TQnDataSource ds(&window);
    ds.setDataSet(&query);
    auto* grid = new TQnNDBGrid(&window);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setGeometry(0, 0, 1000, 700);
    grid->setDataSource(&ds);
    window.show();
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    double cpu = cpuMs();
    auto cpuSpent = [&cpu] {
        const double now = cpuMs();
        const double v = now - cpu;
        cpu = now;
        return v;
    };
    query.OpenQuery();
    grid->repaint();
    std::printf("grid      %-34s %9.1f ms  (cpu %.1f ms; %d rows)\n", "open and first page drawn", ms(t), cpuSpent(),
                query.rowCount());
    // The footer works its sum out after the rows are shown, in the next turn of the event loop.
    while (!grid->footer()->sumsShown())
        QApplication::processEvents();
    grid->repaint();
    std::printf("grid      %-34s %9.1f ms  (cpu %.1f ms; footers %s / %s)\n", "then the footer totals drawn", ms(t),
                cpuSpent(), qPrintable(grid->footer()->text(query.columnIndex("ARCHIVE_ID"))),
                qPrintable(grid->footer()->text(query.columnIndex("NUMBER_FIELD1"))));
    QScrollBar* bar = grid->verticalScrollBar();
    bar->setValue(bar->maximum());
    grid->repaint();
    std::printf("grid      %-34s %9.1f ms\n", "jump to the last row, drawn", ms(t));
    bar->setValue(bar->maximum() / 2);
    grid->repaint();
    std::printf("grid      %-34s %9.1f ms\n", "jump to the middle, drawn", ms(t));
    const int pages = 200;
    for (int i = 0; i < pages; ++i) {
        bar->setValue(bar->value() + bar->pageStep());
        grid->repaint();
    }
    std::printf("grid      %-34s %9.2f ms  (%d pages of %d rows)\n", "page down, each page drawn", ms(t) / pages, pages,
                bar->pageStep());
    const int steps = 2000;
    for (int i = 0; i < steps; ++i) {
        bar->setValue(bar->value() - 1);
        grid->repaint();
    }
    std::printf("grid      %-34s %9.2f ms  (%d single rows upwards)\n", "scroll by one row, drawn", ms(t) / steps,
                steps);
    std::printf("reads of the row cache: %d, segments held: %d of %d rows each\n", query.rowCache().fetchCount(),
                query.rowCache().cachedSegments(), query.rowCache().segmentSize());
    query.CloseQuery();
    Database::close();
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory of the process: %.1f MB\n", ru.ru_maxrss / 1024.0);
    return 0;
}
