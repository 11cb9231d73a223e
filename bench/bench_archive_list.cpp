// Opens the archive list of a type branch through TQnQuery on a demo database and prints the times beside
// the figures the sqlite3 shell gives for the same SQL (bench/archive_list.sh runs both).
#include "common/AppContext.h"
#include "db/Database.h"
#include "db/Installation.h"
#include "db/Lookups.h"
#include "query/QnQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

struct Case
{
    const char* name;
    QString sql;
    bool footers;
};

double runOnce(const Case& c, int rowsToRead, QString* summary)
{
    QElapsedTimer t;
    t.start();
    TQnQuery q;
    TFieldsDataArray fields;
    TFieldsData id;
    id.fieldName = QStringLiteral("ARCHIVE_ID");
    id.caption = QStringLiteral("档案编号");
    if (c.footers)
        id.footerKind = QStringLiteral("@Count");
    fields << id;
    TFieldsData pages;
    pages.fieldName = QStringLiteral("NUMBER_FIELD1");
    pages.caption = QStringLiteral("页数");
    pages.valueKind = QStringLiteral("N");
    if (c.footers)
        pages.footerKind = QStringLiteral("@Sum");
    fields << pages;
    TFieldsData name;
    name.fieldName = QStringLiteral("ARCHIVE_NAME");
    name.caption = QStringLiteral("档案名称");
    fields << name;
    q.SetFieldsData(fields);
    q.setSql(c.sql);
    if (!q.OpenQuery()) {
        std::fprintf(stderr, "open failed: %s\n", qPrintable(c.sql));
        return -1;
    }
    QString last;
    const int n = qMin(rowsToRead, q.rowCount());
    for (int r = 0; r < n; ++r)
        for (int col = 0; col < q.columnCount(); ++col)
            last = q.data(q.index(r, col)).toString();
    QString foot;
    if (c.footers)
        foot = q.footerText(QStringLiteral("ARCHIVE_ID")) + QLatin1Char('/') +
               q.footerText(QStringLiteral("NUMBER_FIELD1"));
    const double ms = t.nsecsElapsed() / 1e6;
    *summary = QStringLiteral("%1 rows%2")
                   .arg(q.rowCount())
                   .arg(foot.isEmpty() ? QString() : QStringLiteral(", footers ") + foot);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_archive_list INSTALL_DIR TYPE_ID\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString type = QString::fromLocal8Bit(argv[2]);
    QString error;
    if (Database::open(Installation::databaseDir(dir), &error) != Database::OpenResult::Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QString branch = TypeSubtreeCondition(type);
    const QString head = QStringLiteral("SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE ") + branch;
    const Case cases[] = {
        {"list sorted by ARCHIVE_ID", head + QStringLiteral(" ORDER BY ARCHIVE_ID"), false},
        {"list with LIKE on ARCHIVE_NAME", head + QStringLiteral(" AND ARCHIVE_NAME LIKE '%财务%' ORDER BY ARCHIVE_ID"),
         false},
        {"list with footer count and sum", head + QStringLiteral(" ORDER BY ARCHIVE_ID"), true},
    };
    for (const Case& c : cases) {
        double best = 1e300;
        QString summary;
        for (int i = 0; i < 3; ++i)
            best = qMin(best, runOnce(c, 50, &summary));
        std::printf("TQnQuery  %-32s %9.1f ms  (%s)\n", c.name, best, qPrintable(summary));
    }
    Database::close();
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("peak memory of the process: %.1f MB\n", ru.ru_maxrss / 1024.0);
    return 0;
}
