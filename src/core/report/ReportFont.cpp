#include "ReportFont.h"

#include "common/Gbk.h"

#include <QStringList>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

namespace ReportFonts {

namespace {

// Song-style faces look for a serif CJK font, Hei-style faces for a sans one; WenQuanYi is the font every
// test machine has.
const QStringList& songFonts()
{
    static const QStringList list = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                                     QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei"),
                                     QStringLiteral("Noto Sans CJK SC")};
    return list;
}

const QStringList& heiFonts()
{
    static const QStringList list = {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                                     QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei")};
    return list;
}

const char* const SongFaces[] = {"宋体",
                                 "新宋体",
                                 "SimSun",
                                 "NSimSun",
                                 "仿宋",
                                 "仿宋_GB2312",
                                 "FangSong",
                                 "楷体",
                                 "楷体_GB2312",
                                 "KaiTi",
                                 "宋体-方正超大字符集",
                                 "隶书",
                                 "LiSu"};
const char* const HeiFaces[] = {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "幼圆", "YouYuan"};

} // namespace

void installSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* f : SongFaces)
            QFont::insertSubstitutions(QString::fromUtf8(f), songFonts());
        for (const char* f : HeiFaces)
            QFont::insertSubstitutions(QString::fromUtf8(f), heiFonts());
    });
}

QStringList fallbacks(const QString& face)
{
    for (const char* f : SongFaces)
        if (face.compare(QString::fromUtf8(f), Qt::CaseInsensitive) == 0)
            return songFonts();
    for (const char* f : HeiFaces)
        if (face.compare(QString::fromUtf8(f), Qt::CaseInsensitive) == 0)
            return heiFonts();
    return {};
}

int pointsToPixels(double points)
{
    return int(std::lround(points * ScreenDpi / 72.0));
}

double pixelsToPoints(int pixels)
{
    return pixels * 72.0 / ScreenDpi;
}

} // namespace ReportFonts

TLogFont::TLogFont() : height(-int(std::lround(ReportFonts::ScreenDpi * 120.0 / 720.0)))
{
    setFace(QStringLiteral("宋体"));
}

QString TLogFont::face() const
{
    const int end = int(faceName.indexOf('\0'));
    return Gbk::decode(end < 0 ? faceName : faceName.left(end));
}

void TLogFont::setFace(const QString& face)
{
    QByteArray bytes = Gbk::encode(Gbk::truncated(face, FaceSize - 1));
    bytes.resize(FaceSize, '\0');
    faceName = bytes;
}

int TLogFont::pixelSize() const
{
    if (height < 0)
        return height == std::numeric_limits<qint32>::min() ? 16 : qBound(1, -height, 2000);
    if (height > 0)
        return qBound(1, height, 2000);
    return 16;
}

double TLogFont::pointSize() const
{
    return ReportFonts::pixelsToPoints(pixelSize());
}

QFont TLogFont::toQFont() const
{
    ReportFonts::installSubstitutions();
    QString family = face().trimmed();
    if (family.isEmpty())
        family = QStringLiteral("宋体");
    QFont f(family);
    // The face's own stand-ins come right after it, whatever the program maps the name to for its windows.
    if (const QStringList more = ReportFonts::fallbacks(family); !more.isEmpty())
        f.setFamilies(QStringList{family} + more);
    f.setPixelSize(pixelSize());
    f.setWeight(QFont::Weight(qBound(1, weight <= 0 ? 400 : int(weight), 1000)));
    f.setItalic(italic != 0);
    f.setUnderline(underline != 0);
    f.setStrikeOut(strikeOut != 0);
    // Without hinting the glyph advances scale with the page, so what fits on the design page fits on paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void TLogFont::assign(const QFont& font)
{
    setFace(font.family());
    const int px = font.pixelSize() > 0 ? font.pixelSize() : ReportFonts::pointsToPixels(font.pointSizeF());
    height = -qMax(1, px);
    width = 0;
    weight = font.weight();
    italic = font.italic() ? 1 : 0;
    underline = font.underline() ? 1 : 0;
    strikeOut = font.strikeOut() ? 1 : 0;
}

QByteArray TLogFont::toBytes() const
{
    QByteArray out(RecordSize, '\0');
    char* p = out.data();
    qToLittleEndian<qint32>(height, p);
    qToLittleEndian<qint32>(width, p + 4);
    qToLittleEndian<qint32>(escapement, p + 8);
    qToLittleEndian<qint32>(orientation, p + 12);
    qToLittleEndian<qint32>(weight, p + 16);
    const quint8 bytes[8] = {italic,       underline,     strikeOut, charSet,
                             outPrecision, clipPrecision, quality,   pitchAndFamily};
    std::memcpy(p + 20, bytes, 8);
    std::memcpy(p + 28, faceName.constData(), size_t(qMin<qsizetype>(FaceSize, faceName.size())));
    return out;
}

TLogFont TLogFont::fromBytes(const char* p)
{
    TLogFont f;
    f.height = qFromLittleEndian<qint32>(p);
    f.width = qFromLittleEndian<qint32>(p + 4);
    f.escapement = qFromLittleEndian<qint32>(p + 8);
    f.orientation = qFromLittleEndian<qint32>(p + 12);
    f.weight = qFromLittleEndian<qint32>(p + 16);
    f.italic = quint8(p[20]);
    f.underline = quint8(p[21]);
    f.strikeOut = quint8(p[22]);
    f.charSet = quint8(p[23]);
    f.outPrecision = quint8(p[24]);
    f.clipPrecision = quint8(p[25]);
    f.quality = quint8(p[26]);
    f.pitchAndFamily = quint8(p[27]);
    f.faceName = QByteArray(p + 28, FaceSize);
    return f;
}

bool TLogFont::operator==(const TLogFont& o) const
{
    return height == o.height && width == o.width && escapement == o.escapement && orientation == o.orientation &&
           weight == o.weight && italic == o.italic && underline == o.underline && strikeOut == o.strikeOut &&
           charSet == o.charSet && outPrecision == o.outPrecision && clipPrecision == o.clipPrecision &&
           quality == o.quality && pitchAndFamily == o.pitchAndFamily && faceName == o.faceName;
}
