#pragma once

#include <QColor>
#include <QString>

#include <functional>

class QFocusEvent;
class QKeyEvent;
class QLineEdit;
class QWidget;

// The kind of value a field takes; it decides which keys the field lets through and whether the input
// method is on in it.
enum TEditTypes
{
    etString,
    etInteger,
    etFloat,
    etDate,
    etTime,
    etPhone
};

// Shared behaviour of the input controls: the focus colour, the key filter of the edit types with their
// maximum lengths, and the input-method memory (the input method last used in a text field comes back in
// the next text field and is off in numeric and date fields).
namespace QnInput {

// Text fields (string, time, phone) use the input method; integer, decimal and date fields do not.
bool isTextType(TEditTypes type);

// Filters one typed key for an edit of the given type. True when the key was handled here (refused, or
// replaced by the decimal point); the control then does not pass it on.
bool filterKey(QLineEdit* edit, TEditTypes type, QKeyEvent* event);

// Focus entry of an edit: maximum lengths of the type (decimal 16 when unlimited, date always 10) and the
// input method (on with the current name for text types, off for numeric and date types). imeName receives
// the name the control now uses.
void enter(QLineEdit* edit, TEditTypes type, QString* imeName);
// Input method only (list boxes, lookup boxes, always-text controls).
void enterText(QWidget* control, QString* imeName);
void enterNoText(QWidget* control, QString* imeName, TEditTypes type);
// Focus exit of a text control: the input method active now becomes the current one (AppContext.ImeName).
void captureInputMethod();

// The name of the input method active at this moment, empty when it cannot be told. Tests install their own.
QString activeInputMethod();
void setActiveInputMethodProvider(std::function<QString()> provider);

// The background colour a control shows (Base of its palette; Button too for combo boxes).
QColor backgroundOf(const QWidget* control);
void setBackground(QWidget* control, const QColor& color);

bool unlimited(const QLineEdit* edit);

} // namespace QnInput

// The focus colour every input control carries: while focused (and FocusColorChange is on) the control shows
// ColorOnFocus and remembers the colour it had, which comes back when it loses the focus.
class TQnFocusColor
{
public:
    virtual ~TQnFocusColor() = default;

    QColor Color() const { return m_color; }
    // Sets the colour; a focused control remembers it and keeps showing its focus colour.
    void setColor(const QColor& color);
    QColor ColorOnFocus() const { return m_colorOnFocus; }
    void setColorOnFocus(const QColor& color);
    bool FocusColorChange() const { return m_focusColorChange; }
    void setFocusColorChange(bool on) { m_focusColorChange = on; }
    QColor rememberedColor() const { return m_remembered; }
    void setRememberedColor(const QColor& color) { m_remembered = color; }
    // The colour on the screen now.
    QColor shownColor() const;

    // The input-method name the control uses (empty: none).
    QString ImeName() const { return m_imeName; }
    void setImeName(const QString& name) { m_imeName = name; }

protected:
    explicit TQnFocusColor(QWidget* self);
    // Focus changes of the control: true when the field was entered (or left) by the user's moving the
    // focus; popups, and leaving and coming back to the window, neither enter nor leave the field. The
    // focus colour is applied here.
    bool fieldEntered(const QFocusEvent* event);
    bool fieldLeft(const QFocusEvent* event);
    void focusEntered();
    void focusLeft();
    // Where the colour goes; combo boxes and list boxes paint more than one role.
    virtual void paintColor(const QColor& color);

    QWidget* m_self;
    QString m_imeName;

private:
    QColor m_color;
    QColor m_colorOnFocus;
    QColor m_remembered;
    bool m_focusColorChange = true;
    bool m_focused = false;
};
