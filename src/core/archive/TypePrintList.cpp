#include "TypePrintList.h"

#include "db/FunLib.h"
#include "db/Sql.h"

#include <QSet>
#include <QSqlQuery>

namespace {

const QString Root = QStringLiteral("G001");

struct Child
{
    QString key, name, note;
};

QList<Child> children(const QString& key)
{
    QList<Child> list;
    auto q = OpenSql(QStringLiteral("SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,NOTE,ORDER_ID FROM QN_ARCHIVE_TYPE_TABLE "
                                    "WHERE PRIOR_ID = %1 ORDER BY ORDER_ID")
                         .arg(Sql::quote(key)));
    if (!q)
        return list;
    while (q->next())
        list << Child{q->value(0).toString(), q->value(1).toString(), q->value(2).toString()};
    return list;
}

void walk(const QString& key, const QString& indent, bool outline, QSet<QString>& seen, QList<TTypeListRow>& out)
{
    const QList<Child> list = children(key);
    for (int i = 0; i < list.size(); ++i) {
        const Child& c = list.at(i);
        if (seen.contains(c.key))
            continue;
        seen.insert(c.key);
        const QString number = outline ? OutlineNumber(i + 1, int(list.size())) : QString();
        out << TTypeListRow{indent + number + c.name, c.note};
        walk(c.key, indent + QStringLiteral("  "), outline, seen, out);
    }
}

} // namespace

QString OutlineNumber(int position, int siblings)
{
    QString s = QString::number(position) + QLatin1Char('.');
    const int digits = int(QString::number(siblings).size());
    if (digits == 2 && position < 10)
        s += QLatin1Char(' ');
    else if (digits == 3)
        s += QString(position < 10 ? 2 : position < 100 ? 1 : 0, QLatin1Char(' '));
    return s;
}

QList<TTypeListRow> BuildTypePrintList(const QString& typeKey, bool outlineNumbers)
{
    QList<TTypeListRow> rows;
    QSet<QString> seen;
    const QString key = typeKey.trimmed().isEmpty() ? Root : typeKey.trimmed();
    seen.insert(key);
    QString indent;
    if (key != Root) {
        auto q = OpenSql(QStringLiteral("SELECT ARCHIVE_TYPE_NAME,NOTE FROM QN_ARCHIVE_TYPE_TABLE WHERE "
                                        "ARCHIVE_TYPE_ID = %1")
                             .arg(Sql::quote(key)));
        if (!q || !q->next())
            return rows;
        rows << TTypeListRow{q->value(0).toString(), q->value(1).toString()};
        indent = QStringLiteral("  ");
    }
    walk(key, indent, outlineNumbers, seen, rows);
    return rows;
}
