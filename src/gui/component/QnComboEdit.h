#pragma once

#include "QnEdit.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QPixmap>

class QLabel;
class QToolButton;

enum TGlyphKind
{
    gkCustom,
    gkDefault,
    gkDropDown,
    gkEllipsis
};

// An edit with a button at its right end that opens a picker (dates, value lists, files). The text never
// runs under the button; the button works even when the text cannot be typed (DirectInput off).
class TQnCustomComboEdit : public QLineEdit, public TQnFocusColor, public TQnEnterSelect
{
    Q_OBJECT
public:
    explicit TQnCustomComboEdit(QWidget* parent = nullptr);

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }

    bool ButtonEnabled() const { return m_buttonEnabled; }
    // Off also hides the button (its width becomes 0) while ButtonVisible is on; on brings it back.
    void setButtonEnabled(bool on);
    bool ButtonVisible() const { return m_buttonVisible; }
    void setButtonVisible(bool on);
    int ButtonWidth() const { return m_buttonWidth; }
    void setButtonWidth(int width);
    QString ButtonHint() const;
    void setButtonHint(const QString& hint);
    QString ButtonCaption() const;
    void setButtonCaption(const QString& caption);
    QPixmap Glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);
    TGlyphKind GlyphKind() const { return m_glyphKind; }
    void setGlyphKind(TGlyphKind kind);
    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int n) { m_numGlyphs = n; }
    QKeySequence ClickKey() const { return m_clickKey; }
    void setClickKey(const QKeySequence& key) { m_clickKey = key; }
    bool DirectInput() const { return m_directInput; }
    void setDirectInput(bool on);
    bool ReadOnly() const { return m_readOnly; }
    // The control's own read-only state; the text is read-only when this is on or DirectInput is off.
    void setReadOnly(bool on);

    void setOnSelect(TQnSelectEvent handler) { m_onSelect = std::move(handler); }
    bool hasOnSelect() const { return bool(m_onSelect); }
    bool selectOnEnter() override;

    QToolButton* button() const { return m_button; }
    // The width the button takes now (0 when hidden).
    int effectiveButtonWidth() const;
    // Clicks the button as the user would (only when it can be clicked).
    void clickButton();

signals:
    void buttonClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Read-only state as the data link sees it (the data-aware variant adds its own condition).
    virtual bool textReadOnly() const { return m_readOnly || !m_directInput; }
    void applyReadOnly();

    TEditTypes m_editType = etString;
    TQnSelectEvent m_onSelect;

private:
    void placeButton();
    void applyGlyph();

    QToolButton* m_button;
    bool m_buttonEnabled = true;
    bool m_buttonVisible = true;
    int m_buttonWidth = 21;
    int m_hiddenWidth = 0; // the width to restore when the button is enabled again
    QPixmap m_glyph;
    TGlyphKind m_glyphKind = gkCustom;
    int m_numGlyphs = 1;
    QKeySequence m_clickKey = QKeySequence(Qt::ALT | Qt::Key_Down);
    bool m_directInput = true;
    bool m_readOnly = false;
};

class TQnComboEdit : public TQnCustomComboEdit
{
    Q_OBJECT
public:
    explicit TQnComboEdit(QWidget* parent = nullptr) : TQnCustomComboEdit(parent) {}
};

// The variant whose "button" is a caption (a unit, a hint) at the right end of the edit; clicking it works
// as the button. It leaves the input method alone.
class TQnLCustomComboEdit : public QLineEdit, public TQnFocusColor, public TQnEnterSelect
{
    Q_OBJECT
public:
    explicit TQnLCustomComboEdit(QWidget* parent = nullptr);

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }
    QString ButtonCaption() const;
    void setButtonCaption(const QString& caption);
    QFont ButtonFont() const;
    void setButtonFont(const QFont& font);
    QColor ButtonColor() const { return m_buttonColor; }
    void setButtonColor(const QColor& color);
    QString ButtonHint() const;
    void setButtonHint(const QString& hint);
    int ButtonWidth() const { return m_buttonWidth; }
    void setButtonWidth(int width);
    QKeySequence ClickKey() const { return m_clickKey; }
    void setClickKey(const QKeySequence& key) { m_clickKey = key; }
    bool DirectInput() const { return m_directInput; }
    void setDirectInput(bool on);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);

    void setOnSelect(TQnSelectEvent handler) { m_onSelect = std::move(handler); }
    bool hasOnSelect() const { return bool(m_onSelect); }
    bool selectOnEnter() override;

    QLabel* captionLabel() const { return m_label; }

signals:
    void buttonClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    virtual bool textReadOnly() const { return m_readOnly || !m_directInput; }
    void applyReadOnly();

    TEditTypes m_editType = etString;
    TQnSelectEvent m_onSelect;

private:
    void placeLabel();

    QLabel* m_label;
    QColor m_buttonColor;
    int m_buttonWidth = 21;
    QKeySequence m_clickKey = QKeySequence(Qt::ALT | Qt::Key_Down);
    bool m_directInput = true;
    bool m_readOnly = false;
};

class TQnLComboEdit : public TQnLCustomComboEdit
{
    Q_OBJECT
public:
    explicit TQnLComboEdit(QWidget* parent = nullptr) : TQnLCustomComboEdit(parent) {}
};
