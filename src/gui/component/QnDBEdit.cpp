#include "QnDBEdit.h"

#include <QKeyEvent>

TQnDBEdit::TQnDBEdit(QWidget* parent) : TQnEdit(parent), m_link(new TQnDataLink(this))
{
    m_link->bindLineEdit(this);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnDBEdit::applyReadOnly);
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

void TQnDBEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_link->lineEditKey(event))
        return;
    TQnEdit::keyPressEvent(event);
}

void TQnDBEdit::focusInEvent(QFocusEvent* event)
{
    m_link->lineEditFocused();
    TQnEdit::focusInEvent(event);
}
