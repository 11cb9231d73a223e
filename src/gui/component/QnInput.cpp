#include "QnInput.h"

#include "common/AppContext.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace QnInput {

namespace {

std::function<QString()>& provider()
{
    static std::function<QString()> p;
    return p;
}

// '#', '$', '%' and the apostrophe have always been let through the numeric sets; the save's number check
// refuses them if they stay.
bool isPassChar(QChar c)
{
    return c == u'#' || c == u'$' || c == u'%' || c == u'\'';
}

void updateInputMethod(QWidget* control)
{
    if (control->hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

} // namespace

bool isTextType(TEditTypes type)
{
    return type == etString || type == etTime || type == etPhone;
}

bool unlimited(const QLineEdit* edit)
{
    return edit->maxLength() >= 32767 || edit->maxLength() <= 0;
}

bool filterKey(QLineEdit* edit, TEditTypes type, QKeyEvent* event)
{
    if (type == etString || type == etPhone)
        return false;
    // Shortcuts (copy, paste, select all) and control characters (Backspace, Enter, Escape) pass.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString typed = event->text();
    if (typed.isEmpty() || typed.at(0).unicode() < 32 || typed.at(0).unicode() == 127)
        return false;

    const QString text = edit->text();
    if (type == etInteger || type == etFloat) {
        // A selection from the first character is replaced by whatever is typed (the filter stays out).
        if (edit->hasSelectedText() && edit->selectionStart() == 0)
            return false;
    }
    for (const QChar c : typed) {
        switch (type) {
        case etInteger:
        case etFloat: {
            if (type == etInteger && (c == u'-' || text.contains(u'-')) && unlimited(edit))
                edit->setMaxLength(11);
            if (c == u'-') {
                if (text.contains(u'-'))
                    return true;
                continue;
            }
            if (type == etFloat && (c == u',' || c == u'.')) {
                if (text.contains(u',') || text.contains(u'.'))
                    return true;
                // The comma of the numeric pad becomes the decimal point.
                edit->insert(QStringLiteral("."));
                return true;
            }
            if (c.isDigit() && c.unicode() < 128)
                continue;
            if (isPassChar(c))
                continue;
            return true;
        }
        case etDate:
            if ((c.isDigit() && c.unicode() < 128) || c == u'-' || c == u'/' || isPassChar(c))
                continue;
            return true;
        case etTime:
            if ((c >= u'0' && c <= u':') || isPassChar(c))
                continue;
            return true;
        default:
            return false;
        }
    }
    return false;
}

void enterText(QWidget* control, QString* imeName)
{
    if (imeName)
        *imeName = AppContext::instance().ImeName;
    control->setAttribute(Qt::WA_InputMethodEnabled, true);
    control->setInputMethodHints(Qt::ImhNone);
    updateInputMethod(control);
}

void enterNoText(QWidget* control, QString* imeName, TEditTypes type)
{
    if (imeName)
        imeName->clear();
    control->setAttribute(Qt::WA_InputMethodEnabled, false);
    control->setInputMethodHints(type == etDate ? Qt::ImhDate | Qt::ImhPreferNumbers : Qt::ImhFormattedNumbersOnly);
    updateInputMethod(control);
}

void enter(QLineEdit* edit, TEditTypes type, QString* imeName)
{
    if (type == etFloat && unlimited(edit))
        edit->setMaxLength(16);
    else if (type == etDate)
        edit->setMaxLength(10);
    if (isTextType(type))
        enterText(edit, imeName);
    else
        enterNoText(edit, imeName, type);
}

void captureInputMethod()
{
    const QString name = activeInputMethod();
    if (!name.isEmpty())
        AppContext::instance().ImeName = name;
}

QString activeInputMethod()
{
    if (provider())
        return provider()();
    // The platform names its input-method framework here; there is no portable way to ask for more.
    return qEnvironmentVariable("QT_IM_MODULE");
}

void setActiveInputMethodProvider(std::function<QString()> p)
{
    provider() = std::move(p);
}

QColor backgroundOf(const QWidget* control)
{
    return control->palette().color(QPalette::Base);
}

void setBackground(QWidget* control, const QColor& color)
{
    if (!color.isValid())
        return;
    QPalette p = control->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        p.setColor(group, QPalette::Base, color);
    if (qobject_cast<QComboBox*>(control)) {
        for (auto group : {QPalette::Active, QPalette::Inactive})
            p.setColor(group, QPalette::Button, color);
    }
    control->setPalette(p);
    if (auto* view = qobject_cast<QAbstractItemView*>(control))
        view->viewport()->update();
}

} // namespace QnInput

TQnFocusColor::TQnFocusColor(QWidget* self) : m_self(self), m_colorOnFocus(QColor(0, 255, 255))
{
    m_color = QnInput::backgroundOf(self);
    m_remembered = m_color;
}

void TQnFocusColor::setColor(const QColor& color)
{
    m_color = color;
    if (m_focused && m_focusColorChange) {
        // Focused: the colour comes back when the focus leaves; meanwhile the focus colour shows.
        m_remembered = color;
        paintColor(m_colorOnFocus);
        return;
    }
    paintColor(color);
}

void TQnFocusColor::setColorOnFocus(const QColor& color)
{
    m_colorOnFocus = color;
    if (m_focused && m_focusColorChange)
        paintColor(color);
}

QColor TQnFocusColor::shownColor() const
{
    return QnInput::backgroundOf(m_self);
}

bool TQnFocusColor::fieldEntered(const QFocusEvent* event)
{
    if (event->reason() == Qt::PopupFocusReason || m_focused)
        return false;
    focusEntered();
    return true;
}

bool TQnFocusColor::fieldLeft(const QFocusEvent* event)
{
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason || !m_focused)
        return false;
    focusLeft();
    return true;
}

void TQnFocusColor::focusEntered()
{
    m_focused = true;
    if (!m_focusColorChange)
        return;
    m_remembered = m_color;
    paintColor(m_colorOnFocus);
}

void TQnFocusColor::focusLeft()
{
    m_focused = false;
    if (!m_focusColorChange)
        return;
    m_color = m_remembered;
    paintColor(m_remembered);
}

void TQnFocusColor::paintColor(const QColor& color)
{
    QnInput::setBackground(m_self, color);
}
