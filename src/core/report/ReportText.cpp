#include "ReportText.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace ReportText {

namespace {

// Ideographs fill the em box from about 0.88 em above the baseline to 0.12 em below it; the em box sits in
// the middle of the line.
double baselineOffset(const QFont& font, int pitch)
{
    const double em = font.pixelSize() > 0 ? font.pixelSize() : QFontMetricsF(font).height();
    return (pitch - em) / 2.0 + em * 0.88;
}

QTextOption wrapOption(int hAlign)
{
    QTextOption opt;
    // A word wider than the cell is broken rather than cut off: a printed report never hides characters.
    opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    opt.setAlignment(hAlign == 1 ? Qt::AlignHCenter : hAlign == 2 ? Qt::AlignRight : Qt::AlignLeft);
    return opt;
}

bool fitsOnOneLine(const QFont& font, const QString& text, int width, double* advance)
{
    if (text.contains(QLatin1Char('\n')))
        return false;
    const double w = QFontMetricsF(font).horizontalAdvance(text);
    if (advance)
        *advance = w;
    return w <= width;
}

// Measuring is the hot path of a long report: the same values recur (dates, names, codes), so heights
// are remembered per font, width and text.
struct Key
{
    QString font;
    int width;
    QString text;
    bool operator==(const Key& o) const { return width == o.width && text == o.text && font == o.font; }
};

size_t qHash(const Key& k, size_t seed = 0)
{
    return qHashMulti(seed, k.font, k.width, k.text);
}

} // namespace

QString normalized(const QString& text)
{
    QString t = text;
    if (t.contains(QLatin1Char('\r'))) {
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    // A closing line break opens no line of its own.
    if (t.endsWith(QLatin1Char('\n')))
        t.chop(1);
    return t;
}

int lineHeight(const QFont& font)
{
    const int em = font.pixelSize() > 0 ? font.pixelSize() : int(std::ceil(QFontMetricsF(font).height()));
    return int(std::lround(em * 1.125));
}

int measureHeight(const QFont& font, const QString& textIn, int width)
{
    const QString text = normalized(textIn);
    const int pitch = lineHeight(font);
    width = qMax(1, width);
    if (fitsOnOneLine(font, text, width, nullptr))
        return pitch;

    static QHash<Key, int> cache;
    Key key{font.key(), width, text};
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return it.value();

    QString laid = text;
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laid, font);
    layout.setTextOption(wrapOption(0));
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    const int h = qMax(1, lines) * pitch;
    if (cache.size() > 50000)
        cache.clear();
    cache.insert(key, h);
    return h;
}

void draw(QPainter& painter, const QFont& font, const QRect& rect, int hAlign, const QString& textIn)
{
    if (textIn.isEmpty())
        return;
    const QString text = normalized(textIn);
    const int pitch = lineHeight(font);
    const double base = baselineOffset(font, pitch);
    const int width = qMax(1, rect.width());
    painter.setFont(font);
    double advance = 0;
    if (fitsOnOneLine(font, text, width, &advance)) {
        double x = rect.left();
        if (hAlign == 1)
            x += (width - advance) / 2.0;
        else if (hAlign == 2)
            x += width - advance;
        painter.drawText(QPointF(x, rect.top() + base), text);
        return;
    }
    QString laid = text;
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laid, font);
    layout.setTextOption(wrapOption(hAlign));
    layout.beginLayout();
    int y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y + base - line.ascent()));
        y += pitch;
    }
    layout.endLayout();
    layout.draw(&painter, QPointF(rect.left(), rect.top()));
}

} // namespace ReportText
