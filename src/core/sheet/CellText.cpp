#include "CellText.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <cstring>

namespace CellText {

namespace {

// Largest serial a spreadsheet shows as a date: 9999-12-31.
constexpr double MaxSerial = 2958466.0;

void appendTwoDigits(QString& out, int v)
{
    out += QLatin1Char(char('0' + v / 10));
    out += QLatin1Char(char('0' + v % 10));
}

} // namespace

QString number(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    // Fifteen significant digits: what a spreadsheet keeps of a typed number, so binary noise such as
    // 0.30000000000000004 reads as the 0.3 that was typed.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    char digits[20];
    int nd = 0;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits[nd++] = *p;
    }
    int exponent = 0;
    std::from_chars(*p == 'e' ? (p[1] == '+' ? p + 2 : p + 1) : res.ptr, res.ptr, exponent);
    while (nd > 1 && digits[nd - 1] == '0')
        --nd;

    QString out;
    out.reserve(32);
    if (negative)
        out += QLatin1Char('-');
    if (exponent > 20 || exponent < -9) {
        out += QLatin1Char(digits[0]);
        if (nd > 1) {
            out += QLatin1Char('.');
            out += QLatin1StringView(digits + 1, nd - 1);
        }
        out += exponent < 0 ? QLatin1StringView("E-") : QLatin1StringView("E+");
        const int e = std::abs(exponent);
        if (e < 10)
            out += QLatin1Char('0');
        out += QString::number(e);
        return out;
    }
    if (exponent >= 0) {
        const int intDigits = exponent + 1;
        for (int i = 0; i < intDigits; ++i)
            out += QLatin1Char(i < nd ? digits[i] : '0');
        if (nd > intDigits) {
            out += QLatin1Char('.');
            out += QLatin1StringView(digits + intDigits, nd - intDigits);
        }
    } else {
        out += QLatin1StringView("0.");
        for (int i = 0; i < -exponent - 1; ++i)
            out += QLatin1Char('0');
        out += QLatin1StringView(digits, nd);
    }
    return out;
}

bool parseNumber(QByteArrayView stored, double* value)
{
    QByteArrayView v = stored.trimmed();
    if (v.startsWith('+'))
        v = v.sliced(1);
    if (v.isEmpty())
        return false;
    double d = 0;
    const auto res = std::from_chars(v.data(), v.data() + v.size(), d, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != v.data() + v.size() || !std::isfinite(d))
        return false;
    *value = d;
    return true;
}

QString numberFromStored(QByteArrayView stored)
{
    // Most stored numbers already are the typed text ("42", "1234.5"): keep them when they are plain
    // decimals of at most fifteen significant digits without padding zeros.
    const qsizetype n = stored.size();
    if (n > 0 && n <= 17) {
        qsizetype i = stored[0] == '-' ? 1 : 0;
        const qsizetype intStart = i;
        while (i < n && stored[i] >= '0' && stored[i] <= '9')
            ++i;
        const qsizetype intEnd = i;
        qsizetype fracStart = -1;
        if (i < n && stored[i] == '.') {
            fracStart = ++i;
            while (i < n && stored[i] >= '0' && stored[i] <= '9')
                ++i;
        }
        const qsizetype intLen = intEnd - intStart;
        const bool plain = i == n && intLen > 0 && !(intLen > 1 && stored[intStart] == '0') &&
                           (fracStart < 0 || (n > fracStart && stored[n - 1] != '0'));
        if (plain) {
            qsizetype significant = intLen + (fracStart < 0 ? 0 : n - fracStart);
            if (intLen == 1 && stored[intStart] == '0') {
                significant -= 1;
                if (fracStart >= 0) {
                    qsizetype k = fracStart;
                    while (k < n && stored[k] == '0') {
                        --significant;
                        ++k;
                    }
                }
            }
            const bool negativeZero = intStart == 1 && significant <= 0;
            if (significant <= 15 && !negativeZero)
                return QString::fromLatin1(stored.data(), n);
        }
    }
    double d = 0;
    if (!parseNumber(stored, &d))
        return QString();
    return number(d);
}

FormatKind builtinFormatKind(int id)
{
    switch (id) {
    case 14:
    case 15:
    case 16:
    case 17:
    case 27:
    case 28:
    case 29:
    case 30:
    case 31:
    case 36:
    case 50:
    case 51:
    case 52:
    case 53:
    case 54:
    case 57:
    case 58:
        return FormatKind::Date;
    case 22:
        return FormatKind::DateTime;
    case 18:
    case 19:
    case 20:
    case 21:
    case 45:
    case 47:
    case 32:
    case 33:
    case 34:
    case 35:
    case 55:
    case 56:
        return FormatKind::Time;
    case 46:
        return FormatKind::Duration;
    case 49:
        return FormatKind::Text;
    default:
        return FormatKind::General;
    }
}

FormatKind formatKind(const QString& code)
{
    bool date = false;
    bool time = false;
    bool elapsed = false;
    bool monthOrMinute = false;
    bool text = false;
    const qsizetype n = code.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = code.at(i).unicode();
        switch (c) {
        case u';':
            i = n; // only the first section decides
            continue;
        case u'"': {
            const qsizetype end = code.indexOf(QLatin1Char('"'), i + 1);
            i = end < 0 ? n : end;
            continue;
        }
        case u'\\':
        case u'_':
        case u'*':
            ++i; // the next character is a literal, a padding width or a fill
            continue;
        case u'[': {
            const qsizetype end = code.indexOf(QLatin1Char(']'), i + 1);
            const QString inside = code.mid(i + 1, (end < 0 ? n : end) - i - 1).toLower();
            if (!inside.isEmpty() && (inside.count(inside.at(0)) == inside.size()) &&
                (inside.at(0) == QLatin1Char('h') || inside.at(0) == QLatin1Char('m') ||
                 inside.at(0) == QLatin1Char('s'))) {
                time = true;
                elapsed = true;
            }
            i = end < 0 ? n : end;
            continue;
        }
        case u'@':
            text = true;
            continue;
        default:
            break;
        }
        const char16_t lower = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        if (lower == u'g' && code.mid(i, 7).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
            i += 6;
            continue;
        }
        if (lower == u'e' && i + 1 < n && (code.at(i + 1) == QLatin1Char('+') || code.at(i + 1) == QLatin1Char('-'))) {
            ++i; // scientific notation
            continue;
        }
        if (lower == u'a' && (code.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0 ||
                              code.mid(i, 3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0)) {
            time = true;
            i += code.at(i + 1) == QLatin1Char('/') ? 2 : 4;
            continue;
        }
        switch (lower) {
        case u'y':
        case u'd':
            date = true;
            break;
        case u'h':
        case u's':
            time = true;
            break;
        case u'm':
            monthOrMinute = true;
            break;
        default:
            break;
        }
    }
    if (date)
        return time ? FormatKind::DateTime : FormatKind::Date;
    if (time)
        return elapsed ? FormatKind::Duration : FormatKind::Time;
    if (monthOrMinute)
        return FormatKind::Date; // "mmm" or "mmmm": a month name
    return text ? FormatKind::Text : FormatKind::General;
}

QString serialText(double serial, FormatKind kind, bool date1904)
{
    if (kind == FormatKind::General || kind == FormatKind::Text || !std::isfinite(serial) || serial < 0 ||
        serial >= MaxSerial)
        return number(serial);
    double whole = std::floor(serial);
    qint64 seconds = std::llround((serial - whole) * 86400.0);
    if (seconds >= 86400) {
        whole += 1;
        seconds -= 86400;
    }
    const qint64 days = qint64(whole);

    QString out;
    out.reserve(20);
    if (kind == FormatKind::Date || kind == FormatKind::DateTime) {
        if (!date1904 && days == 60) {
            // The 1900 system counts a 29 February 1900 that never was; show it as the spreadsheet does.
            out = QStringLiteral("1900-02-29");
        } else if (!date1904 && days == 0) {
            out = QStringLiteral("1900-01-00");
        } else {
            QDate d;
            if (date1904)
                d = QDate(1904, 1, 1).addDays(days);
            else if (days < 60)
                d = QDate(1899, 12, 31).addDays(days);
            else
                d = QDate(1899, 12, 30).addDays(days);
            out = d.toString(QStringLiteral("yyyy-MM-dd"));
        }
        if (kind == FormatKind::Date)
            return out;
        out += QLatin1Char(' ');
    }
    qint64 hours = seconds / 3600;
    if (kind == FormatKind::Duration)
        hours += days * 24;
    if (hours < 10)
        out += QLatin1Char('0');
    out += QString::number(hours);
    out += QLatin1Char(':');
    appendTwoDigits(out, int(seconds / 60 % 60));
    out += QLatin1Char(':');
    appendTwoDigits(out, int(seconds % 60));
    return out;
}

QString unescapeXmlString(const QString& text)
{
    qsizetype at = text.indexOf(QLatin1StringView("_x"));
    if (at < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (at >= 0) {
        bool ok = at + 6 < text.size() && text.at(at + 6) == QLatin1Char('_');
        uint code = 0;
        for (qsizetype k = at + 2; ok && k < at + 6; ++k) {
            const char16_t c = text.at(k).unicode();
            if (c >= u'0' && c <= u'9')
                code = code * 16 + uint(c - u'0');
            else if ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'))
                code = code * 16 + uint((c | 0x20) - u'a' + 10);
            else
                ok = false;
        }
        if (ok) {
            out += QStringView(text).mid(from, at - from);
            out += QChar(char16_t(code));
            from = at + 7;
            at = text.indexOf(QLatin1StringView("_x"), from);
        } else {
            at = text.indexOf(QLatin1StringView("_x"), at + 2);
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace CellText
