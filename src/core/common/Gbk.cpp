#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <QList>

#include <array>
#include <memory>
#include <mutex>

namespace Gbk {

int byteLength(const QString& text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            n += 1;
        } else {
            n += 2;
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
                ++i;
        }
    }
    return n;
}

int byteLengthUtf8(const char* utf8, int size)
{
    int n = 0;
    for (int i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80)
            n += 1;
        else if ((b & 0xC0) != 0x80) // lead byte of a multi-byte character
            n += 2;
    }
    return n;
}

QByteArray encode(const QString& text)
{
    QStringEncoder enc("GBK");
    if (!enc.isValid()) {
        enc = QStringEncoder("GB18030");
    }
    return enc.encode(text);
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder dec("GBK");
    if (!dec.isValid()) {
        dec = QStringDecoder("GB18030");
    }
    return dec.decode(bytes);
}

QByteArray encodeName(const QString& text)
{
    QStringEncoder enc("GBK");
    if (enc.isValid()) {
        const QByteArray bytes = enc.encode(text);
        if (!enc.hasError())
            return bytes;
    }
    QStringEncoder wide("GB18030");
    return wide.encode(text);
}

QString decodeName(const QByteArray& bytes)
{
    QStringDecoder dec("GBK");
    if (dec.isValid()) {
        const QString text = dec.decode(bytes);
        if (!dec.hasError())
            return text;
    }
    QStringDecoder wide("GB18030");
    return wide.decode(bytes);
}

QString truncated(const QString& text, int maxBytes)
{
    int n = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        const bool pair = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const int w = c.unicode() < 0x80 ? 1 : 2;
        if (n + w > maxBytes)
            break;
        n += w;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

namespace {

// GBK code of every BMP character, built once; characters outside GBK sort after all of it by code point.
const std::array<quint32, 65536>& gbkTable()
{
    static std::unique_ptr<std::array<quint32, 65536>> table;
    static std::once_flag once;
    std::call_once(once, [] {
        table = std::make_unique<std::array<quint32, 65536>>();
        for (quint32 u = 0; u < 65536; ++u)
            (*table)[u] = u < 0x80 ? u : 0x10000u + u;
        // Mapped characters take exactly two bytes with a lead byte of 0x81 or more; an unmapped one comes
        // out as a one-byte substitute.
        QStringEncoder enc("GBK");
        if (!enc.isValid())
            return;
        for (quint32 u = 0x80; u < 65536; ++u) {
            if (u >= 0xD800 && u < 0xE000)
                continue;
            const QChar ch(static_cast<char16_t>(u));
            const QByteArray b = enc.encode(QStringView(&ch, 1));
            if (b.size() == 2 && static_cast<quint8>(b[0]) >= 0x81)
                (*table)[u] = (quint32(static_cast<quint8>(b[0])) << 8) | static_cast<quint8>(b[1]);
        }
    });
    return *table;
}

quint32 keyOf(char32_t cp)
{
    if (cp < 65536)
        return gbkTable()[cp];
    return 0x10000u + cp;
}

// Decodes one UTF-8 character; malformed bytes come out as themselves.
char32_t nextUtf8(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char b = *p++;
    if (b < 0x80)
        return b;
    int extra = (b >= 0xF0) ? 3 : (b >= 0xE0) ? 2 : (b >= 0xC0) ? 1 : 0;
    char32_t cp = b & (0x3F >> extra);
    while (extra-- > 0 && p < end && (*p & 0xC0) == 0x80)
        cp = (cp << 6) | (*p++ & 0x3F);
    return cp;
}

} // namespace

int compareUtf8(const char* a, int aSize, const char* b, int bSize)
{
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const auto ea = pa + aSize;
    const auto eb = pb + bSize;
    while (pa < ea && pb < eb) {
        const quint32 ka = keyOf(nextUtf8(pa, ea));
        const quint32 kb = keyOf(nextUtf8(pb, eb));
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

int compare(const QString& a, const QString& b)
{
    const QByteArray ua = a.toUtf8();
    const QByteArray ub = b.toUtf8();
    return compareUtf8(ua.constData(), int(ua.size()), ub.constData(), int(ub.size()));
}

} // namespace Gbk
