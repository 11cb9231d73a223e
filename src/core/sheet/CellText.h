#pragma once

#include <QByteArrayView>
#include <QString>

// How spreadsheet cell values become the text a person would have typed into them.
namespace CellText {

// What a cell's number format makes of a number.
enum class FormatKind : quint8
{
    General,
    Date,
    DateTime,
    Time,
    Duration,
    Text
};

// A number at the precision a spreadsheet keeps of what was typed (15 significant digits), written plainly:
// 1234.5, not 1234.4999999999998, 1234.50, 1,234.5 or 1.2345E3. Very large or very small magnitudes keep
// an exponent (1.5E+25), as the spreadsheet shows them.
QString number(double value);
// The same from a number's stored text ("1234.5", "1E+020", "0.30000000000000004"); nullptr-like empty
// QString when the text is no number.
QString numberFromStored(QByteArrayView stored);
// Parses a stored number; false when it is none.
bool parseNumber(QByteArrayView stored, double* value);

// The kind of a built-in number format id (0-163), including the East Asian date ids.
FormatKind builtinFormatKind(int id);
// The kind of a format code such as "yyyy/m/d;@", "[$-804]yyyy\"年\"m\"月\"d\"日\"", "hh:mm" or "0.00".
FormatKind formatKind(const QString& code);

// A date serial number as text: Date "YYYY-MM-DD", DateTime "YYYY-MM-DD HH:MM:SS", Time "HH:MM:SS" (the
// time of day), Duration "HH:MM:SS" counting hours past 24 ("[h]:mm"). date1904 chooses the 1904 date
// system. A serial outside the calendar a spreadsheet can show gives the plain number.
QString serialText(double serial, FormatKind kind, bool date1904);

// Undoes the _xHHHH_ escapes that spreadsheet XML uses for control characters ("_x000D_" is a carriage
// return, "_x005F_" an underscore).
QString unescapeXmlString(const QString& text);

} // namespace CellText
