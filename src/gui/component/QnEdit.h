#pragma once

#include "QnChild.h"
#include "QnInput.h"

#include <QLineEdit>

#include <functional>

// Enter in a field with an OnSelect handler: the handler is called with value false and may set it true to
// keep the focus (it consumed the Enter, e.g. by opening a picker).
using TQnSelectEvent = std::function<void(bool& value)>;

// The plain edit of the data screens: focus colour, the key filter of its EditType and input-method memory.
class TQnEdit : public QLineEdit, public TQnFocusColor, public TQnEnterSelect
{
    Q_OBJECT
public:
    explicit TQnEdit(QWidget* parent = nullptr);

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }

    void setOnSelect(TQnSelectEvent handler) { m_onSelect = std::move(handler); }
    bool hasOnSelect() const { return bool(m_onSelect); }
    // Called by the window's key handling for Enter; true keeps the focus here.
    bool selectOnEnter() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    TEditTypes m_editType = etString;
    TQnSelectEvent m_onSelect;
};

// The masked edit: always a text field (input method on), focus colour, OnSelect. The mask is Qt's input mask.
class TQnMEdit : public QLineEdit, public TQnFocusColor, public TQnEnterSelect
{
    Q_OBJECT
public:
    explicit TQnMEdit(QWidget* parent = nullptr);

    void setOnSelect(TQnSelectEvent handler) { m_onSelect = std::move(handler); }
    bool hasOnSelect() const { return bool(m_onSelect); }
    bool selectOnEnter() override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TQnSelectEvent m_onSelect;
};

namespace QnInput {
// Text committed by an input method into a numeric or date field goes through the key filter character by
// character (typed through keyPress); true when the event was handled that way.
bool routeCommit(QLineEdit* edit, TEditTypes type, QInputMethodEvent* event);
} // namespace QnInput
