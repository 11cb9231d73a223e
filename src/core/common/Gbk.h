#pragma once

#include <QByteArray>
#include <QString>

// Text is Unicode in memory and UTF-8 in the database; column widths, template streams, backup names and
// worksheet records count or store GBK bytes. These helpers are the only place that knows the code page.
namespace Gbk {

// Bytes the text takes in GBK: ASCII counts 1, every other character 2.
int byteLength(const QString& text);
// The same measure taken straight from UTF-8 bytes (used by the SQL width checks).
int byteLengthUtf8(const char* utf8, int size);

QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// Names stored as bytes (backup archives): GBK where the name fits in it, otherwise GB18030, GBK's superset,
// so that a file name outside GBK still comes back as it went in.
QByteArray encodeName(const QString& text);
QString decodeName(const QByteArray& bytes);

// The longest prefix of text that fits in maxBytes GBK bytes (never splits a character).
QString truncated(const QString& text, int maxBytes);

// Compares two texts in GBK byte order (roughly pinyin order for common characters).
int compare(const QString& a, const QString& b);
int compareUtf8(const char* a, int aSize, const char* b, int bSize);

} // namespace Gbk
