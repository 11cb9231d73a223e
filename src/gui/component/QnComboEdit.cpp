#include "QnComboEdit.h"

#include <QBitmap>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace {

bool matches(const QKeySequence& key, const QKeyEvent* event)
{
    if (key.isEmpty())
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    return key[0] == QKeyCombination(mods, Qt::Key(event->key()));
}

// The built-in picture: a small list sheet.
QPixmap defaultGlyph()
{
    QPixmap pm(13, 13);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(60, 80, 110));
    p.setBrush(QColor(250, 250, 240));
    p.drawRect(1, 1, 10, 10);
    p.drawLine(3, 4, 9, 4);
    p.drawLine(3, 6, 9, 6);
    p.drawLine(3, 8, 7, 8);
    return pm;
}

// Three 2 x 2 black dots in a monochrome picture 4 pixels high.
QPixmap ellipsisGlyph()
{
    QBitmap bm(10, 4);
    bm.fill(Qt::color0);
    QPainter p(&bm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    for (int i = 0; i < 3; ++i)
        p.drawRect(i * 4, 1, 2, 2);
    p.end();
    QPixmap pm(10, 4);
    pm.fill(Qt::transparent);
    QPainter q(&pm);
    q.setPen(Qt::black);
    q.setBackgroundMode(Qt::TransparentMode);
    q.drawPixmap(0, 0, bm);
    return pm;
}

} // namespace

TQnCustomComboEdit::TQnCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), TQnFocusColor(this), m_button(new QToolButton(this))
{
    m_button->setObjectName(QStringLiteral("ComboButton"));
    m_button->setAutoRaise(true);
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(m_button, &QToolButton::clicked, this, &TQnCustomComboEdit::buttonClicked);
    placeButton();
}

void TQnCustomComboEdit::setButtonEnabled(bool on)
{
    m_buttonEnabled = on;
    m_button->setEnabled(on);
    if (m_buttonVisible) {
        if (on) {
            if (m_buttonWidth == 0 && m_hiddenWidth > 0)
                m_buttonWidth = m_hiddenWidth;
        } else if (m_buttonWidth > 0) {
            m_hiddenWidth = m_buttonWidth;
            m_buttonWidth = 0;
        }
    }
    placeButton();
}

void TQnCustomComboEdit::setButtonVisible(bool on)
{
    m_buttonVisible = on;
    placeButton();
}

void TQnCustomComboEdit::setButtonWidth(int width)
{
    m_buttonWidth = std::max(0, width);
    placeButton();
}

QString TQnCustomComboEdit::ButtonHint() const
{
    return m_button->toolTip();
}

void TQnCustomComboEdit::setButtonHint(const QString& hint)
{
    m_button->setToolTip(hint);
}

QString TQnCustomComboEdit::ButtonCaption() const
{
    return m_button->text();
}

void TQnCustomComboEdit::setButtonCaption(const QString& caption)
{
    m_button->setText(caption);
    m_button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

void TQnCustomComboEdit::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    applyGlyph();
}

void TQnCustomComboEdit::setGlyphKind(TGlyphKind kind)
{
    m_glyphKind = kind;
    applyGlyph();
}

void TQnCustomComboEdit::applyGlyph()
{
    m_button->setArrowType(Qt::NoArrow);
    switch (m_glyphKind) {
    case gkCustom:
        m_button->setIcon(m_glyph.isNull() ? QIcon() : QIcon(m_glyph));
        if (!m_glyph.isNull())
            m_button->setIconSize(m_glyph.size());
        break;
    case gkDefault: {
        const QPixmap pm = defaultGlyph();
        m_button->setIcon(QIcon(pm));
        m_button->setIconSize(pm.size());
        setButtonWidth(std::max(21, pm.width() + 8));
        return;
    }
    case gkDropDown:
        m_button->setIcon(QIcon());
        m_button->setArrowType(Qt::DownArrow);
        setButtonWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
        return;
    case gkEllipsis: {
        const QPixmap pm = ellipsisGlyph();
        m_button->setIcon(QIcon(pm));
        m_button->setIconSize(pm.size());
        break;
    }
    }
    placeButton();
}

void TQnCustomComboEdit::setDirectInput(bool on)
{
    m_directInput = on;
    applyReadOnly();
}

void TQnCustomComboEdit::setReadOnly(bool on)
{
    m_readOnly = on;
    applyReadOnly();
}

void TQnCustomComboEdit::applyReadOnly()
{
    QLineEdit::setReadOnly(textReadOnly());
}

bool TQnCustomComboEdit::selectOnEnter()
{
    if (!m_onSelect)
        return false;
    bool value = false;
    m_onSelect(value);
    return value;
}

int TQnCustomComboEdit::effectiveButtonWidth() const
{
    return m_buttonVisible ? m_buttonWidth : 0;
}

void TQnCustomComboEdit::clickButton()
{
    if (effectiveButtonWidth() > 0 && m_button->isEnabled() && isEnabled())
        m_button->click();
}

void TQnCustomComboEdit::placeButton()
{
    const int fw = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int w = effectiveButtonWidth();
    m_button->setGeometry(width() - fw - w, fw, w, std::max(0, height() - 2 * fw));
    m_button->setVisible(w > 0);
    setTextMargins(0, 0, w, 0);
}

void TQnCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (matches(m_clickKey, event) && effectiveButtonWidth() > 0) {
        clickButton();
        event->accept();
        return;
    }
    if (QnInput::filterKey(this, m_editType, event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TQnCustomComboEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (QnInput::routeCommit(this, m_editType, event))
        return;
    QLineEdit::inputMethodEvent(event);
}

void TQnCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        QnInput::enter(this, m_editType, &m_imeName);
    }
    QLineEdit::focusInEvent(event);
}

void TQnCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        if (QnInput::isTextType(m_editType))
            QnInput::captureInputMethod();
    }
    QLineEdit::focusOutEvent(event);
}

void TQnCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeButton();
}

void TQnCustomComboEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        placeButton();
}

TQnLCustomComboEdit::TQnLCustomComboEdit(QWidget* parent)
    : QLineEdit(parent), TQnFocusColor(this), m_label(new QLabel(this))
{
    m_label->setObjectName(QStringLiteral("ComboCaption"));
    m_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label->setContentsMargins(0, 2, 0, 0);
    m_label->setCursor(Qt::PointingHandCursor);
    m_label->installEventFilter(this);
    placeLabel();
}

QString TQnLCustomComboEdit::ButtonCaption() const
{
    return m_label->text();
}

void TQnLCustomComboEdit::setButtonCaption(const QString& caption)
{
    m_label->setText(caption);
}

QFont TQnLCustomComboEdit::ButtonFont() const
{
    return m_label->font();
}

void TQnLCustomComboEdit::setButtonFont(const QFont& font)
{
    m_label->setFont(font);
}

void TQnLCustomComboEdit::setButtonColor(const QColor& color)
{
    m_buttonColor = color;
    m_label->setAutoFillBackground(color.isValid());
    QPalette p = m_label->palette();
    p.setColor(QPalette::Window, color);
    m_label->setPalette(p);
}

QString TQnLCustomComboEdit::ButtonHint() const
{
    return m_label->toolTip();
}

void TQnLCustomComboEdit::setButtonHint(const QString& hint)
{
    m_label->setToolTip(hint);
}

void TQnLCustomComboEdit::setButtonWidth(int width)
{
    m_buttonWidth = std::max(0, width);
    placeLabel();
}

void TQnLCustomComboEdit::setDirectInput(bool on)
{
    m_directInput = on;
    applyReadOnly();
}

void TQnLCustomComboEdit::setReadOnly(bool on)
{
    m_readOnly = on;
    applyReadOnly();
}

void TQnLCustomComboEdit::applyReadOnly()
{
    QLineEdit::setReadOnly(textReadOnly());
}

bool TQnLCustomComboEdit::selectOnEnter()
{
    if (!m_onSelect)
        return false;
    bool value = false;
    m_onSelect(value);
    return value;
}

bool TQnLCustomComboEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label && event->type() == QEvent::MouseButtonRelease && isEnabled()) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && m_label->rect().contains(me->position().toPoint()))
            emit buttonClicked();
        return true;
    }
    return QLineEdit::eventFilter(watched, event);
}

void TQnLCustomComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (matches(m_clickKey, event) && m_buttonWidth > 0) {
        emit buttonClicked();
        event->accept();
        return;
    }
    if (QnInput::filterKey(this, m_editType, event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TQnLCustomComboEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (QnInput::routeCommit(this, m_editType, event))
        return;
    QLineEdit::inputMethodEvent(event);
}

void TQnLCustomComboEdit::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        if (m_editType == etFloat && QnInput::unlimited(this))
            setMaxLength(16);
        else if (m_editType == etDate)
            setMaxLength(10);
    }
    QLineEdit::focusInEvent(event);
}

void TQnLCustomComboEdit::focusOutEvent(QFocusEvent* event)
{
    fieldLeft(event);
    QLineEdit::focusOutEvent(event);
}

void TQnLCustomComboEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    placeLabel();
}

void TQnLCustomComboEdit::placeLabel()
{
    const int fw = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    m_label->setGeometry(width() - fw - m_buttonWidth, fw, m_buttonWidth, std::max(0, height() - 2 * fw));
    m_label->setVisible(m_buttonWidth > 0);
    setTextMargins(0, 0, m_buttonWidth, 0);
}
