#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstring>
#include <functional>

// A small pull scanner for the large parts of a workbook (the sheet data and the shared strings), which
// are read at the speed of inflating them. It reads UTF-8 XML from a stream in chunks, never holding more
// than the current token, resolves the predefined and numeric character references, skips comments and
// processing instructions, and refuses document type declarations (so no entity can expand). Element
// names come without their namespace prefix.
class XmlScanner
{
public:
    // Reads up to max bytes into data: the count, 0 at the end of the input, -1 on a read error.
    using ReadFunction = std::function<qint64(char* data, qint64 max)>;
    enum Token
    {
        StartElement,
        EndElement,
        Characters,
        EndDocument,
        Invalid
    };

    explicit XmlScanner(ReadFunction read);

    Token next();
    Token token() const { return m_token; }
    // The element's local name (StartElement, EndElement); valid until the next call of next().
    QByteArrayView name() const { return m_name; }
    // True when the element's local name is the literal (a cheap test for the scanning loops).
    template <qsizetype N> bool nameIs(const char (&literal)[N]) const
    {
        return m_name.size() == N - 1 && std::memcmp(m_name.data(), literal, N - 1) == 0;
    }
    // The attribute's value as written (references not resolved); empty when absent.
    QByteArrayView attribute(QByteArrayView localName) const;
    bool hasAttribute(QByteArrayView localName) const;
    template <qsizetype N> QByteArrayView attribute(const char (&literal)[N]) const
    {
        for (int i = 0; i < m_attributeCount; ++i) {
            const Attribute& a = m_attributes[i];
            if (a.name.size() == N - 1 && std::memcmp(a.name.data(), literal, N - 1) == 0)
                return a.value;
        }
        return {};
    }
    // Characters: the text with references resolved, UTF-8.
    QByteArrayView text() const { return m_text; }
    // Right after a StartElement: when the element holds nothing but text (or nothing at all), reads the
    // text and the end tag in one step — text() gives the text and the token becomes the EndElement.
    // Otherwise nothing is consumed and false comes back. Spares the token loop the common <v>1</v>.
    bool readSimpleText();
    QString errorString() const { return m_error; }
    bool hasError() const { return m_token == Invalid; }

    // The longest single token accepted; a longer one is taken for a damaged file.
    static constexpr qsizetype MaxTokenSize = 64 * 1024 * 1024;

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
    };

    bool fill();
    Token fail(const QString& why);
    Token scanMarkup();
    Token scanText();
    qsizetype find(QByteArrayView needle, qsizetype from);
    // Length of the start tag from begin to after its '>', 0 when limit comes first, -1 when malformed.
    qsizetype parseStartTag(const char* begin, const char* limit);
    bool resolveReferences(const char* begin, const char* end);

    ReadFunction m_read;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    bool m_eof = false;
    bool m_pendingEnd = false;
    Token m_token = Characters;
    QByteArrayView m_name;
    QByteArrayView m_text;
    QByteArray m_decoded;
    QByteArray m_heldName;                   // the start tag's name while readSimpleText may move the buffer
    static constexpr int MaxAttributes = 32; // more are ignored; no element read here has that many
    Attribute m_attributes[MaxAttributes];
    int m_attributeCount = 0;
    QString m_error;
};
