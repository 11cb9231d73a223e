#include "QnPanel.h"

#include "QnColor.h"

#include <QApplication>
#include <QPainter>

TQnPanel::TQnPanel(QWidget* parent)
    : QWidget(parent), m_color(palette().color(QPalette::Window)), m_high(winColor(0xE0E8E8)),
      m_low(winColor(0x688DA2)), m_face(palette().color(QPalette::Button)), m_shadow(winColor(0x808080))
{
    resize(185, 41);
    updateMargins();
}

void TQnPanel::setCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TQnPanel::setBorderLine(TBorderLine line)
{
    m_borderLine = line;
    updateMargins();
    update();
}

void TQnPanel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void TQnPanel::setColor_High(const QColor& color)
{
    m_high = color;
    update();
}

void TQnPanel::setColor_Low(const QColor& color)
{
    m_low = color;
    update();
}

void TQnPanel::setFaceColor(const QColor& color)
{
    m_face = color;
    update();
}

void TQnPanel::setShadowColor(const QColor& color)
{
    m_shadow = color;
    update();
}

void TQnPanel::setShadowWidth(int width)
{
    m_shadowWidth = std::max(0, width);
    updateMargins();
    update();
}

void TQnPanel::setTextStyle(TTextStyle style)
{
    m_textStyle = style;
    update();
}

QRect TQnPanel::faceRect() const
{
    const int half = m_shadowWidth / 2;
    QRect shadow = rect().adjusted(half, half, -half, -half).translated(half, half);
    return shadow.translated(-m_shadowWidth, -m_shadowWidth).intersected(rect());
}

void TQnPanel::updateMargins()
{
    // Children sit inside the face: the border line takes one pixel, the shadow its width.
    const int line = m_borderLine == blNone ? 0 : 1;
    setContentsMargins(line, line, m_shadowWidth + line, m_shadowWidth + line);
}

void TQnPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    const int half = m_shadowWidth / 2;
    const QRect shadow = rect().adjusted(half, half, -half, -half).translated(half, half);
    p.fillRect(shadow, m_shadow);
    const QRect face = faceRect();
    p.fillRect(face, m_face);
    if (m_borderLine != blNone) {
        const QColor topLeft = m_borderLine == blRaised ? m_high : m_low;
        const QColor bottomRight = m_borderLine == blRaised ? m_low : m_high;
        p.setPen(topLeft);
        p.drawLine(face.topLeft(), face.topRight());
        p.drawLine(face.topLeft(), face.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(face.bottomLeft(), face.bottomRight());
        p.drawLine(face.topRight(), face.bottomRight());
    }
    if (m_caption.isEmpty())
        return;
    p.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (m_textStyle != txNone) {
        p.setPen(m_high);
        p.drawText(face.translated(m_textStyle == txRaised ? QPoint(-1, -1) : QPoint(1, 1)), flags, m_caption);
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(face, flags, m_caption);
}

TCustomExtLabel::TCustomExtLabel(QWidget* parent) : TCustomExtLabel(QString(), parent) {}

TCustomExtLabel::TCustomExtLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_light(Qt::white), m_dark(Qt::gray)
{
}

void TCustomExtLabel::setLightColor(const QColor& color)
{
    m_light = color;
    update();
}

void TCustomExtLabel::setDarkColor(const QColor& color)
{
    m_dark = color;
    update();
}

void TCustomExtLabel::setDrawType(TDrawType type)
{
    m_drawType = type;
    updateGeometry();
    update();
}

void TCustomExtLabel::setShadowIndent(int indent)
{
    m_shadowIndent = indent;
    updateGeometry();
    update();
}

void TCustomExtLabel::setTransparent(bool on)
{
    m_transparent = on;
    setAutoFillBackground(!on);
    update();
}

QSize TCustomExtLabel::sizeHint() const
{
    const QString t = text().isEmpty() ? QStringLiteral(" ") : text();
    QSize s = fontMetrics().size(Qt::TextSingleLine, t);
    const int extra = m_drawType == dtShadow ? std::abs(m_shadowIndent) : (m_drawType == dtNone ? 0 : 2);
    return s + QSize(extra + contentsMargins().left() + contentsMargins().right(),
                     extra + contentsMargins().top() + contentsMargins().bottom());
}

void TCustomExtLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_transparent)
        p.fillRect(rect(), palette().color(QPalette::Window));
    p.setFont(font());
    const QString t = text().isEmpty() ? QStringLiteral(" ") : text();
    const QRect r = contentsRect();
    const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (!isEnabled()) {
        p.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(r, flags, t);
        return;
    }
    auto copy = [&](const QColor& c, int dx, int dy) {
        p.setPen(c);
        p.drawText(r.translated(dx, dy), flags, t);
    };
    switch (m_drawType) {
    case dtNone:
        break;
    case dtShadow:
        copy(m_dark, m_shadowIndent, m_shadowIndent);
        break;
    case dtLightRaised:
        copy(m_light, -1, -1);
        break;
    case dtHeavyRaised:
        copy(m_light, -1, -1);
        copy(m_dark, 1, 1);
        break;
    case dtLightInsert:
        copy(m_light, 1, 1);
        break;
    case dtHeavyInsert:
        copy(m_light, 1, 1);
        copy(m_dark, -1, -1);
        break;
    }
    copy(palette().color(QPalette::WindowText), 0, 0);
}
