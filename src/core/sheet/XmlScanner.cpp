#include "XmlScanner.h"

#include <cstring>

namespace {

constexpr qsizetype ChunkSize = 256 * 1024;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

QByteArrayView localName(QByteArrayView qualified)
{
    const char* b = qualified.data();
    for (const char* p = b + qualified.size(); p > b; --p) {
        if (p[-1] == ':')
            return QByteArrayView(p, b + qualified.size() - p);
    }
    return qualified;
}

void appendUtf8(QByteArray& out, uint cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

} // namespace

XmlScanner::XmlScanner(ReadFunction read) : m_read(std::move(read))
{
    m_buf.resize(2 * ChunkSize);
}

bool XmlScanner::fill()
{
    if (m_eof)
        return false;
    if (m_pos > 0) {
        std::memmove(m_buf.data(), m_buf.constData() + m_pos, size_t(m_end - m_pos));
        m_end -= m_pos;
        m_pos = 0;
    }
    if (m_buf.size() - m_end < ChunkSize) {
        if (m_end > MaxTokenSize) {
            m_error = QStringLiteral("XML 内容过长");
            m_eof = true;
            return false;
        }
        m_buf.resize(m_buf.size() * 2);
    }
    const qint64 n = m_read(m_buf.data() + m_end, m_buf.size() - m_end);
    if (n <= 0) {
        if (n < 0 && m_error.isEmpty())
            m_error = QStringLiteral("数据读取中断");
        m_eof = true;
        return false;
    }
    m_end += qsizetype(n);
    return true;
}

XmlScanner::Token XmlScanner::fail(const QString& why)
{
    if (m_error.isEmpty())
        m_error = why;
    m_name = {};
    m_text = {};
    return m_token = Invalid;
}

qsizetype XmlScanner::find(QByteArrayView needle, qsizetype from)
{
    for (;;) {
        const char* base = m_buf.constData() + m_pos;
        const qsizetype size = m_end - m_pos;
        if (from < size) {
            if (needle.size() == 1) {
                const void* hit = std::memchr(base + from, needle[0], size_t(size - from));
                if (hit)
                    return static_cast<const char*>(hit) - base;
            } else {
                const qsizetype hit = QByteArrayView(base, size).indexOf(needle, from);
                if (hit >= 0)
                    return hit;
            }
        }
        from = qMax<qsizetype>(from, size - needle.size() + 1);
        if (!fill())
            return -1;
    }
}

XmlScanner::Token XmlScanner::next()
{
    if (m_token == Invalid || m_token == EndDocument)
        return m_token;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        return m_token = EndElement;
    }
    for (;;) {
        if (m_pos >= m_end && !fill()) {
            if (!m_error.isEmpty())
                return fail(m_error);
            m_name = {};
            m_text = {};
            return m_token = EndDocument;
        }
        if (m_buf.at(m_pos) != '<')
            return scanText();
        const Token t = scanMarkup();
        if (t != EndDocument) // comments and processing instructions come back as EndDocument: skip them
            return t;
    }
}

XmlScanner::Token XmlScanner::scanText()
{
    // Text between tags is mostly short: one pass finds its end and whether it needs decoding.
    qsizetype i = 0;
    for (;;) {
        const char* b = m_buf.constData() + m_pos;
        const qsizetype n = m_end - m_pos;
        const void* lt = i < n ? std::memchr(b + i, '<', size_t(n - i)) : nullptr;
        if (lt) {
            i = static_cast<const char*>(lt) - b;
            break;
        }
        i = n;
        if (!fill()) {
            if (!m_error.isEmpty())
                return fail(m_error);
            break; // text after the last element: return it, the end comes next
        }
    }
    const char* begin = m_buf.constData() + m_pos;
    const bool plain = !std::memchr(begin, '&', size_t(i)) && !std::memchr(begin, '\r', size_t(i));
    if (plain)
        m_text = QByteArrayView(begin, i);
    else if (!resolveReferences(begin, begin + i))
        return fail(QStringLiteral("XML 字符引用错误"));
    m_pos += i;
    return m_token = Characters;
}

bool XmlScanner::readSimpleText()
{
    if (m_token != StartElement)
        return false;
    if (m_pendingEnd) { // <v/>: empty text, and the end comes at once
        m_pendingEnd = false;
        m_text = {};
        m_token = EndElement;
        return true;
    }
    // The text ends at the next '<'; reading more may move the buffer, so the name is kept aside.
    const char* nameAt = m_name.data();
    const qsizetype nameSize = m_name.size();
    qsizetype i = 0;
    bool moved = false;
    bool plain = true;
    for (;;) {
        const char* b = m_buf.constData() + m_pos;
        const qsizetype n = m_end - m_pos;
        // Values are short: one pass finds the '<' and whether the text needs decoding.
        while (i < n && b[i] != '<') {
            if (b[i] == '&' || b[i] == '\r')
                plain = false;
            ++i;
        }
        // The end tag "</name>" must be whole in the buffer too.
        if (i < n && n - i >= nameSize + 3)
            break;
        if (!moved) {
            m_heldName = QByteArray(nameAt, nameSize);
            moved = true;
        }
        if (!fill()) {
            m_name = m_heldName;
            return false; // the normal scan reports the end or the error
        }
    }
    if (moved)
        m_name = m_heldName;
    const char* b = m_buf.constData() + m_pos;
    const char* tag = b + i;
    if (tag[1] != '/')
        return false;
    const char* close = nullptr;
    if (std::memcmp(tag + 2, m_name.data(), size_t(nameSize)) == 0 && tag[2 + nameSize] == '>') {
        close = tag + 2 + nameSize; // "</v>": the usual end tag, without a prefix
    } else {
        // The end tag's name may carry a prefix the start tag's local name does not show.
        close = static_cast<const char*>(std::memchr(tag + 2, '>', size_t(m_end - m_pos - i - 2)));
        if (!close || localName(QByteArrayView(tag + 2, close - tag - 2)) != m_name)
            return false;
    }
    const QByteArrayView endName(close - nameSize, nameSize);
    if (plain)
        m_text = QByteArrayView(b, i);
    else if (!resolveReferences(b, b + i)) {
        fail(QStringLiteral("XML 字符引用错误"));
        return false;
    }
    m_name = endName;
    m_pos = (close + 1) - m_buf.constData();
    m_token = EndElement;
    return true;
}

XmlScanner::Token XmlScanner::scanMarkup()
{
    while (m_end - m_pos < 9 && !m_eof && fill()) {
    }
    const char* p = m_buf.constData() + m_pos;
    const qsizetype avail = m_end - m_pos;
    auto startsWith = [&](const char* s, qsizetype n) { return avail >= n && std::memcmp(p, s, size_t(n)) == 0; };
    if (avail >= 2 && p[1] == '/') {
        qsizetype close = 2;
        for (;;) {
            const char* b = m_buf.constData() + m_pos;
            const qsizetype n = m_end - m_pos;
            const void* gt = close < n ? std::memchr(b + close, '>', size_t(n - close)) : nullptr;
            if (gt) {
                close = static_cast<const char*>(gt) - b;
                break;
            }
            close = n;
            if (!fill())
                return fail(m_error.isEmpty() ? QStringLiteral("XML 意外结束") : m_error);
        }
        const char* b = m_buf.constData() + m_pos;
        qsizetype nameEnd = close;
        while (nameEnd > 2 && isSpace(b[nameEnd - 1]))
            --nameEnd;
        m_name = localName(QByteArrayView(b + 2, nameEnd - 2));
        m_pos += close + 1;
        return m_token = EndElement;
    }
    if (startsWith("<?", 2)) {
        const qsizetype close = find("?>", 2);
        if (close < 0)
            return fail(m_error.isEmpty() ? QStringLiteral("XML 意外结束") : m_error);
        m_pos += close + 2;
        return EndDocument; // skipped by next()
    }
    if (startsWith("<!--", 4)) {
        const qsizetype close = find("-->", 4);
        if (close < 0)
            return fail(m_error.isEmpty() ? QStringLiteral("XML 意外结束") : m_error);
        m_pos += close + 3;
        return EndDocument;
    }
    if (startsWith("<![CDATA[", 9)) {
        const qsizetype close = find("]]>", 9);
        if (close < 0)
            return fail(m_error.isEmpty() ? QStringLiteral("XML 意外结束") : m_error);
        m_text = QByteArrayView(m_buf.constData() + m_pos + 9, close - 9);
        m_pos += close + 3;
        return m_token = Characters;
    }
    if (startsWith("<!", 2))
        return fail(QStringLiteral("不接受带文档类型声明的 XML"));

    // A start tag, parsed in one pass; when the buffer ends inside it, more is read and it is parsed again.
    for (;;) {
        const qsizetype length = parseStartTag(m_buf.constData() + m_pos + 1, m_buf.constData() + m_end);
        if (length > 0) {
            m_pos += length + 1;
            return m_token = StartElement;
        }
        if (length < 0)
            return fail(QStringLiteral("XML 标记错误"));
        if (!fill())
            return fail(m_error.isEmpty() ? QStringLiteral("XML 意外结束") : m_error);
    }
}

qsizetype XmlScanner::parseStartTag(const char* begin, const char* limit)
{
    m_attributeCount = 0;
    const char* p = begin;
    while (p < limit && !isSpace(*p) && *p != '>' && *p != '/')
        ++p;
    if (p == limit)
        return 0;
    if (p == begin)
        return -1;
    m_name = localName(QByteArrayView(begin, p - begin));
    for (;;) {
        while (p < limit && isSpace(*p))
            ++p;
        if (p == limit)
            return 0;
        if (*p == '>') {
            m_pendingEnd = false;
            return p + 1 - begin;
        }
        if (*p == '/') {
            if (p + 1 == limit)
                return 0;
            if (p[1] != '>')
                return -1;
            m_pendingEnd = true;
            return p + 2 - begin;
        }
        const char* nameBegin = p;
        while (p < limit && *p != '=' && !isSpace(*p) && *p != '>' && *p != '/')
            ++p;
        const QByteArrayView attrName(nameBegin, p - nameBegin);
        while (p < limit && isSpace(*p))
            ++p;
        if (p == limit)
            return 0;
        if (*p != '=' || attrName.isEmpty())
            return -1;
        ++p;
        while (p < limit && isSpace(*p))
            ++p;
        if (p == limit)
            return 0;
        if (*p != '"' && *p != '\'')
            return -1;
        const char quote = *p++;
        const char* valueBegin = p;
        while (p < limit && *p != quote)
            ++p;
        if (p == limit)
            return 0;
        // Namespace declarations are no attributes of the element ("xmlns:r" must not pass for "r").
        const bool declaration = attrName.size() >= 5 && std::memcmp(attrName.data(), "xmlns", 5) == 0;
        if (!declaration && m_attributeCount < MaxAttributes)
            m_attributes[m_attributeCount++] = {localName(attrName), QByteArrayView(valueBegin, p - valueBegin)};
        ++p;
    }
}

bool XmlScanner::resolveReferences(const char* begin, const char* end)
{
    m_decoded.resize(0);
    for (const char* p = begin; p < end; ++p) {
        if (*p == '\r') {
            m_decoded += '\n';
            if (p + 1 < end && p[1] == '\n')
                ++p;
            continue;
        }
        if (*p != '&') {
            m_decoded += *p;
            continue;
        }
        const char* semi = static_cast<const char*>(std::memchr(p, ';', size_t(end - p)));
        if (!semi || semi - p > 12)
            return false;
        const QByteArrayView ref(p + 1, semi - p - 1);
        if (ref == "lt")
            m_decoded += '<';
        else if (ref == "gt")
            m_decoded += '>';
        else if (ref == "amp")
            m_decoded += '&';
        else if (ref == "quot")
            m_decoded += '"';
        else if (ref == "apos")
            m_decoded += '\'';
        else if (ref.startsWith('#')) {
            bool ok = false;
            const uint cp = ref.startsWith("#x") ? ref.sliced(2).toUInt(&ok, 16) : ref.sliced(1).toUInt(&ok, 10);
            if (!ok || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
                return false;
            appendUtf8(m_decoded, cp);
        } else {
            return false;
        }
        p = semi;
    }
    m_text = m_decoded;
    return true;
}

QByteArrayView XmlScanner::attribute(QByteArrayView localName) const
{
    for (int i = 0; i < m_attributeCount; ++i) {
        if (m_attributes[i].name == localName)
            return m_attributes[i].value;
    }
    return {};
}

bool XmlScanner::hasAttribute(QByteArrayView localName) const
{
    for (int i = 0; i < m_attributeCount; ++i) {
        if (m_attributes[i].name == localName)
            return true;
    }
    return false;
}
