#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>

// Fonts of report templates. A template stores each cell's font as a Windows logical font record; the
// design page is laid out at the screen resolution those records were made for.
namespace ReportFonts {

// Resolution of the design page: font heights in templates are pixels at this resolution.
inline constexpr int ScreenDpi = 96;

// Maps the Windows face names templates carry ("宋体", "黑体", "楷体_GB2312", …) onto the CJK fonts installed
// here, so a template made on another machine draws with a proper Song or Hei face. Safe to call often.
void installSubstitutions();
// The installed fonts that stand in for a Windows face name (empty for faces not known here).
QStringList fallbacks(const QString& face);

// Design pixels of a point size and back, at ScreenDpi.
int pointsToPixels(double points);
double pixelsToPoints(int pixels);

} // namespace ReportFonts

// The 60-byte logical font record of a template cell: five 32-bit values, eight bytes and a 32-byte face
// name in the code page. The face bytes are kept as stored so that a template saves back unchanged.
struct TLogFont
{
    static constexpr int RecordSize = 60;
    static constexpr int FaceSize = 32;

    qint32 height;
    qint32 width = 0;
    qint32 escapement = 0;
    qint32 orientation = 0;
    qint32 weight = 400;
    quint8 italic = 0;
    quint8 underline = 0;
    quint8 strikeOut = 0;
    quint8 charSet = 1; // DEFAULT_CHARSET
    quint8 outPrecision = 0;
    quint8 clipPrecision = 0;
    quint8 quality = 0;
    quint8 pitchAndFamily = 0;
    QByteArray faceName; // exactly FaceSize bytes

    // "宋体", 12 points at the screen resolution (height −16).
    TLogFont();

    QString face() const;
    void setFace(const QString& face);
    // The em size in design pixels (a positive height is a cell height; it serves as em size as well).
    int pixelSize() const;
    double pointSize() const;

    // The font to lay out and draw with, sized in design pixels.
    QFont toQFont() const;
    // Takes face, size, weight, italic, underline and strike-out from font; the other bytes are kept.
    void assign(const QFont& font);

    QByteArray toBytes() const;
    // Reads RecordSize bytes at data.
    static TLogFont fromBytes(const char* data);

    bool operator==(const TLogFont& other) const;
    bool operator!=(const TLogFont& other) const { return !(*this == other); }
};
