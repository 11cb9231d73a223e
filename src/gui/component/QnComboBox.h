#pragma once

#include "QnInput.h"

#include <QComboBox>
#include <QListWidget>

// The combo box of the data screens (editable unless told otherwise): focus colour, the key filter of its
// EditType on the typed text, input-method memory.
class TQnComboBox : public QComboBox, public TQnFocusColor
{
    Q_OBJECT
public:
    explicit TQnComboBox(QWidget* parent = nullptr);

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TEditTypes m_editType = etString;
};

// The list box: focus colour; leaving it records the input method in use.
class TQnListBox : public QListWidget, public TQnFocusColor
{
    Q_OBJECT
public:
    explicit TQnListBox(QWidget* parent = nullptr);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
