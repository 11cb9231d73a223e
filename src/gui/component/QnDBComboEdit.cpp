#include "QnDBComboEdit.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// Escape and characters the column refuses; true when the key was handled.
template <typename Edit> bool dataKey(Edit* edit, TQnDataLink* link, const QVariant& entryValue, QKeyEvent* event)
{
    if (edit->isReadOnly())
        return false;
    if (event->key() == Qt::Key_Escape && link->editing()) {
        link->write(entryValue);
        edit->setText(link->text());
        edit->selectAll();
        event->accept();
        return true;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).unicode() >= 32 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !link->acceptsChar(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return true;
    }
    return false;
}

} // namespace

TQnDBComboEdit::TQnDBComboEdit(QWidget* parent) : TQnCustomComboEdit(parent), m_link(new TQnDataLink(this))
{
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnDBComboEdit::showValue);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnDBComboEdit::applyReadOnly);
    // Every change of the text that is not the field being shown goes into the record (typing, pasting,
    // the length limit cutting it back).
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing && !isReadOnly())
            m_link->write(text);
    });
    applyReadOnly();
}

bool TQnDBComboEdit::textReadOnly() const
{
    return TQnCustomComboEdit::textReadOnly() || !m_link->editing();
}

bool TQnDBComboEdit::pick(const QString& value)
{
    if (!m_link->write(value))
        return false;
    showValue();
    return true;
}

void TQnDBComboEdit::showValue()
{
    const QString t = m_link->text();
    if (t == text())
        return;
    m_showing = true;
    setText(t);
    m_showing = false;
    if (!hasFocus())
        setCursorPosition(0);
}

void TQnDBComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (dataKey(this, m_link, m_entryValue, event))
        return;
    TQnCustomComboEdit::keyPressEvent(event);
}

void TQnDBComboEdit::focusInEvent(QFocusEvent* event)
{
    m_entryValue = m_link->value();
    TQnCustomComboEdit::focusInEvent(event);
}

TQnLDBComboEdit::TQnLDBComboEdit(QWidget* parent) : TQnLCustomComboEdit(parent), m_link(new TQnDataLink(this))
{
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnLDBComboEdit::showValue);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnLDBComboEdit::applyReadOnly);
    // Every change of the text that is not the field being shown goes into the record (typing, pasting,
    // the length limit cutting it back).
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing && !isReadOnly())
            m_link->write(text);
    });
    applyReadOnly();
}

bool TQnLDBComboEdit::textReadOnly() const
{
    return TQnLCustomComboEdit::textReadOnly() || !m_link->editing();
}

void TQnLDBComboEdit::showValue()
{
    const QString t = m_link->text();
    if (t == text())
        return;
    m_showing = true;
    setText(t);
    m_showing = false;
    if (!hasFocus())
        setCursorPosition(0);
}

void TQnLDBComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (dataKey(this, m_link, m_entryValue, event))
        return;
    TQnLCustomComboEdit::keyPressEvent(event);
}

void TQnLDBComboEdit::focusInEvent(QFocusEvent* event)
{
    m_entryValue = m_link->value();
    TQnLCustomComboEdit::focusInEvent(event);
}
