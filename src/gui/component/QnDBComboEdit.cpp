#include "QnDBComboEdit.h"

#include <QKeyEvent>

TQnDBComboEdit::TQnDBComboEdit(QWidget* parent) : TQnCustomComboEdit(parent), m_link(new TQnDataLink(this))
{
    m_link->bindLineEdit(this);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnDBComboEdit::applyReadOnly);
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
    m_link->showInLineEdit();
    return true;
}

void TQnDBComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_link->lineEditKey(event))
        return;
    TQnCustomComboEdit::keyPressEvent(event);
}

void TQnDBComboEdit::focusInEvent(QFocusEvent* event)
{
    m_link->lineEditFocused();
    TQnCustomComboEdit::focusInEvent(event);
}

TQnLDBComboEdit::TQnLDBComboEdit(QWidget* parent) : TQnLCustomComboEdit(parent), m_link(new TQnDataLink(this))
{
    m_link->bindLineEdit(this);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnLDBComboEdit::applyReadOnly);
    applyReadOnly();
}

bool TQnLDBComboEdit::textReadOnly() const
{
    return TQnLCustomComboEdit::textReadOnly() || !m_link->editing();
}

void TQnLDBComboEdit::keyPressEvent(QKeyEvent* event)
{
    if (m_link->lineEditKey(event))
        return;
    TQnLCustomComboEdit::keyPressEvent(event);
}

void TQnLDBComboEdit::focusInEvent(QFocusEvent* event)
{
    m_link->lineEditFocused();
    TQnLCustomComboEdit::focusInEvent(event);
}
