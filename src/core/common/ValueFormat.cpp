#include "ValueFormat.h"

#include "MessageSink.h"
#include "db/FunLib.h"

#include <QStringList>

#include <cmath>
#include <cstdio>
#include <cstdlib>

QString FormatHalfUp(double value, int decimals)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // The shortest text that reads back as value decides the digits, so 2.675 rounds to 2.68 as a person
    // expects, not to 2.67 as its binary neighbour would.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(buf, sizeof buf, "%.*g", precision, value);
        if (std::strtod(buf, nullptr) == value)
            break;
    }
    QString exact = QString::fromLatin1(buf);
    bool negative = exact.startsWith(QLatin1Char('-'));
    if (negative)
        exact.remove(0, 1);
    // Expand an exponent form into plain digits.
    QString mantissa = exact;
    int exponent = 0;
    if (int e = int(exact.indexOf(QLatin1Char('e'))); e >= 0) {
        mantissa = exact.left(e);
        exponent = exact.mid(e + 1).toInt();
    }
    QString digits = mantissa;
    int point = int(digits.indexOf(QLatin1Char('.')));
    if (point < 0)
        point = int(digits.size());
    else
        digits.remove(point, 1);
    point += exponent;
    while (point <= 0) {
        digits.prepend(QLatin1Char('0'));
        ++point;
    }
    while (digits.size() < point)
        digits.append(QLatin1Char('0'));
    QString intPart = digits.left(point);
    QString frac = digits.mid(point);
    while (frac.size() < decimals + 1)
        frac.append(QLatin1Char('0'));
    const bool roundUp = frac.at(decimals) >= QLatin1Char('5');
    QString kept = intPart + frac.left(decimals);
    if (roundUp) {
        int i = int(kept.size()) - 1;
        while (i >= 0) {
            if (kept[i] == QLatin1Char('9')) {
                kept[i] = QLatin1Char('0');
                --i;
            } else {
                kept[i] = QChar(kept[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            kept.prepend(QLatin1Char('1'));
    }
    const int intDigits = int(kept.size()) - decimals;
    QString result = kept.left(intDigits);
    while (result.size() > 1 && result.startsWith(QLatin1Char('0')))
        result.remove(0, 1);
    if (result.isEmpty())
        result = QStringLiteral("0");
    if (decimals > 0)
        result += QLatin1Char('.') + kept.mid(intDigits);
    bool zero = true;
    for (QChar c : result)
        if (c.isDigit() && c != QLatin1Char('0'))
            zero = false;
    if (negative && !zero)
        result.prepend(QLatin1Char('-'));
    return result;
}

namespace {

const QString kDigits[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};

// One group of up to four digits; lower means the group follows a higher one.
QString group(const QString& g)
{
    static const QString units[] = {"", "拾", "佰", "仟"};
    const int n = int(g.size());
    bool allZero = true;
    for (QChar c : g)
        if (c != QLatin1Char('0'))
            allZero = false;
    if (allZero)
        return (n == 2 || n == 3) ? QStringLiteral("零") : QString();
    QString out;
    bool pendingZero = false;
    for (int i = 0; i < n; ++i) {
        const int d = g.at(i).digitValue();
        const int unit = n - 1 - i;
        if (d == 0) {
            pendingZero = true;
            continue;
        }
        if (pendingZero && (!out.isEmpty() || n == 4))
            out += QStringLiteral("零");
        pendingZero = false;
        out += kDigits[d] + units[unit];
    }
    return out;
}

} // namespace

QString MoneyToChinese(const QString& text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        t = QStringLiteral("0");
    QString sign;
    if (t.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("负");
        t.remove(0, 1);
    }
    const QString fixed = FormatHalfUp(ParseNumber(t), 2).trimmed();
    const int dot = int(fixed.indexOf(QLatin1Char('.')));
    QString intDigits = fixed.left(dot);
    if (intDigits.startsWith(QLatin1Char('-'))) { // a negative number without a leading "-" in the text
        sign = QStringLiteral("负");
        intDigits.remove(0, 1);
    }
    const QString dec = fixed.mid(dot + 1);

    QString intText;
    const int n = int(intDigits.size());
    if (n > 12) {
        ShowWarning(QStringLiteral("所处理数据超出范围!"));
    } else if (n <= 4) {
        intText = intDigits == QLatin1String("0") ? QString() : group(intDigits);
    } else if (n <= 8) {
        intText = group(intDigits.left(n - 4)) + QStringLiteral("万") + group(intDigits.right(4));
    } else {
        const QString middle = intDigits.mid(n - 8, 4);
        intText = group(intDigits.left(n - 8)) + QStringLiteral("亿") + group(middle);
        if (middle != QLatin1String("0000"))
            intText += QStringLiteral("万");
        intText += group(intDigits.right(4));
    }

    const int jiao = dec.at(0).digitValue();
    const int fen = dec.at(1).digitValue();
    QString decText;
    if (jiao == 0 && fen != 0)
        decText = QStringLiteral("零") + kDigits[fen] + QStringLiteral("分");
    else if (jiao != 0 && fen == 0)
        decText = kDigits[jiao] + QStringLiteral("角");
    else if (jiao != 0 && fen != 0)
        decText = kDigits[jiao] + QStringLiteral("角") + kDigits[fen] + QStringLiteral("分");

    if (dec == QLatin1String("00") && intDigits == QLatin1String("0"))
        return {};
    QString result = sign + intText + QStringLiteral("元") + decText;
    if (!result.contains(QStringLiteral("分")))
        result += QStringLiteral("整");
    if (result.startsWith(QStringLiteral("元")))
        result.remove(0, 1);
    return result;
}

QString RoundToText(int decimals, const QString& mode, double value)
{
    const int n = (decimals >= 1 && decimals <= 9) ? decimals : 0;
    int delta = 0;
    if (mode == QStringLiteral("五舍六入"))
        delta = -1;
    else if (mode == QStringLiteral("三舍四入"))
        delta = 1;
    else if (mode == QStringLiteral("二舍三入"))
        delta = 2;
    else if (mode == QStringLiteral("一舍二入"))
        delta = 3;
    QString out;
    if (delta == 0) {
        out = FormatHalfUp(value, n);
    } else {
        // Work in whole units of the dropped place, so the shift by delta is exact.
        QString y = FormatHalfUp(value, n + 1);
        const bool negative = y.startsWith(QLatin1Char('-'));
        if (negative)
            y.remove(0, 1);
        bool ok = false;
        qint64 units = QString(y).remove(QLatin1Char('.')).toLongLong(&ok);
        if (ok && units < (Q_INT64_C(1) << 60)) {
            units = negative ? -units + delta : units + delta;
            const bool neg = units < 0;
            qint64 mag = neg ? -units : units;
            qint64 kept = mag / 10 + ((mag % 10) >= 5 ? 1 : 0);
            QString digits = QString::number(kept);
            while (digits.size() <= n)
                digits.prepend(QLatin1Char('0'));
            out = n > 0 ? digits.left(digits.size() - n) + QLatin1Char('.') + digits.right(n) : digits;
            if (neg && kept != 0)
                out.prepend(QLatin1Char('-'));
        } else {
            out = FormatHalfUp(y.toDouble() * (negative ? -1 : 1) + delta * std::pow(10.0, -(n + 1)), n);
        }
    }
    out = out.trimmed();
    return out.isEmpty() ? QStringLiteral("0") : out;
}
