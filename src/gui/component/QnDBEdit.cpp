#include "QnDBEdit.h"

#include <QApplication>
#include <QKeyEvent>

TQnDBEdit::TQnDBEdit(QWidget* parent) : TQnEdit(parent), m_link(new TQnDataLink(this))
{
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnDBEdit::showValue);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnDBEdit::applyReadOnly);
    // Every change of the text that is not the field being shown goes into the record (typing, pasting,
    // the length limit cutting it back).
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing && !isReadOnly())
            m_link->write(text);
    });
    applyReadOnly();
}

void TQnDBEdit::setReadOnly(bool on)
{
    m_readOnly = on;
    applyReadOnly();
}

void TQnDBEdit::applyReadOnly()
{
    QLineEdit::setReadOnly(m_readOnly || !m_link->editing());
}

void TQnDBEdit::showValue()
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

void TQnDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_link->editing() && !isReadOnly()) {
        m_link->write(m_entryValue);
        showValue();
        selectAll();
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!isReadOnly() && typed.size() == 1 && typed.at(0).unicode() >= 32 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !m_link->acceptsChar(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return;
    }
    TQnEdit::keyPressEvent(event);
}

void TQnDBEdit::focusInEvent(QFocusEvent* event)
{
    m_entryValue = m_link->value();
    TQnEdit::focusInEvent(event);
}
