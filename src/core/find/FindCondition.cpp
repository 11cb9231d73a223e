#include "FindCondition.h"

#include "db/FunLib.h"
#include "db/Sql.h"

#include <QDate>
#include <QRegularExpression>

namespace FindCondition {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

QString qualified(const QString& prefix, const QString& column)
{
    return prefix.trimmed().isEmpty() ? column : prefix.trimmed() + QLatin1Char('.') + column;
}

char kindOf(const TFieldsData& field)
{
    const QString k = field.valueKind.trimmed().toUpper();
    if (k == QLatin1String("N"))
        return 'N';
    if (k == QLatin1String("D"))
        return 'D';
    return 'C';
}

bool isLike(const QString& op)
{
    return op.trimmed().compare(LikeOp, Qt::CaseInsensitive) == 0;
}

// The comparison operators a relation may carry; anything else never reaches the SQL text.
bool validOperator(const QString& op)
{
    static const QStringList ops = {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("<="),
                                    QStringLiteral(">="), QStringLiteral("<"),  QStringLiteral(">")};
    return isLike(op) || ops.contains(op.trimmed());
}

Result fail(const QString& message, Focus focus)
{
    Result r;
    r.message = message;
    r.focus = focus;
    return r;
}

Result done(const QString& condition)
{
    Result r;
    r.ok = true;
    r.condition = condition;
    return r;
}

// A bound of a date range as stored text; past the year 9999 the next day has no 4-digit year, so the
// bound becomes a text that sorts after every value of that last day.
QString boundAfter(const QDate& lastDay)
{
    const QDate next = lastDay.addDays(1);
    if (next.year() > 9999)
        return Sql::quote(Sql::isoDate(lastDay) + QLatin1Char('~'));
    return Sql::quote(Sql::isoDate(next));
}

// col compared with the period [first, last] as a whole, as year*10000+month*100+day (or year*100+month)
// arithmetic would compare it: "=" inside, "<>" outside, "<=" up to the end, ">=" from the start.
QString periodCompare(const QString& col, const QString& op, const QDate& first, const QDate& last)
{
    const QString lo = Sql::quote(Sql::isoDate(first));
    const QString hi = boundAfter(last);
    const QString o = op.trimmed();
    if (o == QLatin1String("="))
        return QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(col, lo, hi);
    if (o == QLatin1String("<>"))
        return QStringLiteral("(%1 < %2 OR %1 >= %3)").arg(col, lo, hi);
    if (o == QLatin1String("<="))
        return QStringLiteral("%1 < %2").arg(col, hi);
    if (o == QLatin1String(">="))
        return QStringLiteral("%1 >= %2").arg(col, lo);
    if (o == QLatin1String("<"))
        return QStringLiteral("%1 < %2").arg(col, lo);
    return QStringLiteral("%1 >= %2").arg(col, hi); // ">"
}

QString startsWith(const QString& col, const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QStringLiteral("%1 LIKE %2 ESCAPE '\\'").arg(col, Sql::quote(t + QLatin1Char('%')));
}

QDate strictDate(const QString& text)
{
    if (text.size() != 10)
        return {};
    return QDate::fromString(text, DateFormat);
}

// col op value by the field's kind: text quoted, numbers checked and written as numbers, dates checked and
// compared by day. "Like" looks for the value anywhere in the column, its own % and _ taken literally.
bool compare(const QString& col, char kind, const QString& op, const QString& value, QString* out, Result* error)
{
    if (isLike(op)) {
        *out = Sql::containsCondition(col, value);
        return true;
    }
    if (kind == 'N') {
        if (!IsNumber(value)) {
            *error = fail(BadNumber, Focus::Value);
            return false;
        }
        *out = col + QLatin1Char(' ') + op.trimmed() + QLatin1Char(' ') + Sql::number(ParseNumber(value));
        return true;
    }
    if (kind == 'D') {
        const QDate d = Sql::parseDate(value);
        if (!d.isValid()) {
            *error = fail(BadDate, Focus::Value);
            return false;
        }
        *out = periodCompare(col, op, d, d);
        return true;
    }
    *out = col + QLatin1Char(' ') + op.trimmed() + QLatin1Char(' ') + Sql::quote(value);
    return true;
}

// The key of a pop-up as a condition or template: "@" ends it (what follows belongs to the pop-up).
QString keyBeforeAt(const QString& key)
{
    const int at = key.indexOf(QLatin1Char('@'));
    return at >= 0 ? key.left(at) : key;
}

} // namespace

TRelationArray defaultRelations()
{
    return {{LikeOp, LikeCaption},
            {QStringLiteral("="), EqualCaption},
            {QStringLiteral("<>"), QStringLiteral("不等于")},
            {QStringLiteral("<="), QStringLiteral("小于等于")},
            {QStringLiteral(">="), QStringLiteral("大于等于")}};
}

QString codeOf(const TFieldsData& field)
{
    return field.findKind.trimmed().toUpper();
}

CodeTraits traits(const QString& codeText, const QString& valueKind)
{
    const QString code = codeText.trimmed().toUpper();
    const bool numeric = valueKind.trimmed().toUpper() == QLatin1String("N");
    CodeTraits t;
    t.known = true;
    if (code == QLatin1String("T") || code == QLatin1String("LS") || code == QLatin1String("LT")) {
        t.decimal = numeric;
        t.noLike = numeric;
    } else if (code == QLatin1String("Y")) {
        t.control = ValueControl::YearMonth;
        t.noLike = true;
    } else if (code == QLatin1String("D") || code == QLatin1String("DLS")) {
        t.control = ValueControl::Date;
        t.datePicker = true;
        t.noLike = true;
    } else if (code == QLatin1String("DT") || code == QLatin1String("LDT")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.decimal = numeric;
        t.noLike = numeric;
    } else if (code == QLatin1String("DSF") || code == QLatin1String("DS")) {
        t.control = ValueControl::Date;
        t.popup = true;
    } else if (code == QLatin1String("B") || code == QLatin1String("BLS")) {
        t.control = ValueControl::List;
        t.noLike = true;
        t.listFromText = true;
    } else if (code == QLatin1String("S")) {
        t.control = ValueControl::List;
        t.listFromScreen = true;
    } else if (code == QLatin1String("ES") || code == QLatin1String("ELS")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.noLike = true;
        t.needsKey = true;
        t.tint = CodeTraits::Red;
    } else if (code == QLatin1String("ESB")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.noLike = true;
        t.needsKey = true;
        t.valueReadOnly = true;
        t.tint = CodeTraits::Blue;
    } else if (code == QLatin1String("BS") || code == QLatin1String("LBS")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.valueReadOnly = true;
        t.fixedEqual = true;
        t.tint = CodeTraits::Blue;
    } else if (code == QLatin1String("BF")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.valueReadOnly = true;
        t.preselectEqual = true;
        t.tint = CodeTraits::Blue;
    } else if (code == QLatin1String("BT")) {
        t.control = ValueControl::Date;
        t.popup = true;
        t.fixedEqual = true;
    } else {
        t.known = false;
    }
    return t;
}

bool isOffered(const TFieldsData& field)
{
    return !offeredCaption(field).isEmpty() && !codeOf(field).isEmpty();
}

QString offeredCaption(const TFieldsData& field)
{
    if (field.caption.isEmpty() || codeOf(field).isEmpty())
        return {};
    return codeOf(field) == QLatin1String("Y") ? field.findText : field.caption;
}

QString displayValue(const TFieldsData& field, const Entry& entry)
{
    if (codeOf(field) == QLatin1String("Y"))
        return entry.year + QStringLiteral("年") + entry.month + QStringLiteral("月");
    return entry.value;
}

Result build(const TFieldsData& field, const Entry& entry)
{
    const QString code = codeOf(field);
    const char kind = kindOf(field);
    const QString op = entry.op.trimmed();
    if (!validOperator(op))
        return fail(NoRelation, Focus::RelationList);
    const QString col = qualified(field.tablePrefix, field.fieldName);
    const QString second =
        qualified(field.tablePrefix, field.findText.trimmed().isEmpty() ? field.fieldName : field.findText.trimmed());
    QString piece;
    Result error;

    if (code == QLatin1String("Y")) {
        const QString year = entry.year.trimmed();
        const QString month = entry.month.trimmed();
        static const QRegularExpression digits(QStringLiteral("^\\d+$"));
        if (year.isEmpty())
            return fail(NoYear, Focus::Year);
        if (year.size() != 4 || !digits.match(year).hasMatch() || year.toInt() < 1)
            return fail(BadYear, Focus::Year);
        if (month.isEmpty())
            return fail(NoMonth, Focus::Month);
        if (month.size() != 2 || !digits.match(month).hasMatch() || month.toInt() < 1 || month.toInt() > 12)
            return fail(BadMonth, Focus::Month);
        const QString text = year + QStringLiteral("年") + month + QStringLiteral("月");
        if (kind == 'C') {
            if (isLike(op))
                return done(Sql::containsCondition(col, text));
            return done(col + QLatin1Char(' ') + op + QLatin1Char(' ') + Sql::quote(text));
        }
        const QDate first(year.toInt(), month.toInt(), 1);
        if (isLike(op))
            return done(Sql::containsCondition(col, first.toString(QStringLiteral("yyyy-MM"))));
        return done(periodCompare(col, op, first, first.addMonths(1).addDays(-1)));
    }

    if (code == QLatin1String("D") || code == QLatin1String("DLS")) {
        const QString value = entry.value.trimmed();
        if (value.isEmpty())
            return fail(NoDate, Focus::Value);
        const QDate d = strictDate(value);
        if (!d.isValid())
            return fail(BadDate, Focus::Value);
        if (code == QLatin1String("DLS")) {
            // The field name opens a sub-query; the date column inside it is the second text's.
            const QString inner = field.findText.trimmed().isEmpty() ? field.fieldName : field.findText.trimmed();
            const QString cmp =
                isLike(op) ? Sql::containsCondition(inner, Sql::isoDate(d)) : periodCompare(inner, op, d, d);
            return done(col + QLatin1Char(' ') + cmp + QLatin1Char(')'));
        }
        if (kind == 'D')
            return done(isLike(op) ? Sql::containsCondition(col, Sql::isoDate(d)) : periodCompare(col, op, d, d));
        if (isLike(op))
            return done(Sql::containsCondition(col, value));
        return done(col + QLatin1Char(' ') + op + QLatin1Char(' ') + Sql::quote(value));
    }

    const QString value = entry.value.trimmed();
    if (value.isEmpty())
        return fail(NoValue, Focus::Value);

    if (code == QLatin1String("ES") || code == QLatin1String("ESB") || code == QLatin1String("ELS")) {
        if (entry.key.isEmpty())
            return fail(NoKey, Focus::Value);
        if (entry.value != entry.keyValue && value != entry.keyValue.trimmed())
            return fail(KeyChanged, Focus::Value);
        if (isLike(op))
            piece = startsWith(second, entry.key);
        else if (!compare(second, kind, op, entry.key, &piece, &error))
            return error;
        return done(code == QLatin1String("ELS") ? piece + QLatin1Char(')') : piece);
    }

    if (code == QLatin1String("BS") || code == QLatin1String("LBS")) {
        const QString key = keyBeforeAt(entry.key).trimmed();
        if (key.isEmpty())
            return fail(NoKey, Focus::Value);
        if (code == QLatin1String("BS"))
            return done(key);
        return done(field.fieldName + key + QLatin1Char(')'));
    }

    if (code == QLatin1String("BT"))
        return done(Sql::containsCondition(col, value));

    if (code == QLatin1String("DS")) {
        if (!compare(field.subWhere, kind, op, value, &piece, &error))
            return error;
        return done(
            QStringLiteral("%1 IN (SELECT %2 FROM %3 WHERE %4)").arg(second, field.subResult, field.subTable, piece));
    }

    if (!compare(col, kind, op, value, &piece, &error))
        return error;

    if (code == QLatin1String("BF")) {
        const QString key = keyBeforeAt(entry.key).trimmed();
        if (key.isEmpty())
            return done(piece); // nothing picked: the typed value alone
        if (key.contains(QLatin1Char('*')))
            return done(QString(key).replace(QLatin1Char('*'), piece).trimmed());
        return done(key);
    }
    if (code == QLatin1String("LS") || code == QLatin1String("BLS"))
        return done(piece + QStringLiteral(") "));
    if (code == QLatin1String("LT") || code == QLatin1String("LDT"))
        return done(piece + QLatin1Char(')'));
    // T, DT, DSF, B, S and kinds the dialog does not know: the plain comparison.
    return done(piece);
}

} // namespace FindCondition

bool TFindConditionList::add(const QString& condition, const QString& caption, const QString& relationCaption,
                             const QString& valueText, bool relationFixed, Connector connector)
{
    const QString line = relationFixed ? caption + QStringLiteral(" 等于 ") + valueText
                                       : caption + QLatin1Char(' ') + relationCaption + QLatin1Char(' ') + valueText;
    if (m_pieces.isEmpty()) {
        m_pieces << condition;
        m_lines << QLatin1Char(' ') + line;
        return true;
    }
    if (connector == NoConnector)
        return false;
    const bool isAnd = connector == And;
    m_pieces << (isAnd ? QStringLiteral(" and ") : QStringLiteral(" or ")) + condition;
    const QString lead = isAnd ? QStringLiteral(" 并且 ") : QStringLiteral(" 或着 ");
    m_lines << lead + (relationFixed ? QStringLiteral(" ") : QString()) + line;
    return true;
}

void TFindConditionList::removeAt(int index)
{
    if (index < 0 || index >= m_pieces.size())
        return;
    m_pieces.removeAt(index);
    m_lines.removeAt(index);
}

void TFindConditionList::clear()
{
    m_pieces.clear();
    m_lines.clear();
}

QStringList TFindConditionList::conditions() const
{
    QStringList out = m_pieces;
    if (!out.isEmpty()) {
        QString& first = out.first();
        if (first.startsWith(QLatin1String(" or ")))
            first.remove(0, 4);
        else if (first.startsWith(QLatin1String(" and ")))
            first.remove(0, 5);
    }
    return out;
}
