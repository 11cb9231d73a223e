#include "QnEdit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace QnInput {

bool routeCommit(QLineEdit* edit, TEditTypes type, QInputMethodEvent* event)
{
    if (isTextType(type))
        return false;
    const QString commit = event->commitString();
    event->accept();
    for (const QChar c : commit) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &key);
    }
    return true;
}
} // namespace QnInput

TQnEdit::TQnEdit(QWidget* parent) : QLineEdit(parent), TQnFocusColor(this) {}

bool TQnEdit::selectOnEnter()
{
    if (!m_onSelect)
        return false;
    bool value = false;
    m_onSelect(value);
    return value;
}

void TQnEdit::keyPressEvent(QKeyEvent* event)
{
    if (QnInput::filterKey(this, m_editType, event)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TQnEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (QnInput::routeCommit(this, m_editType, event))
        return;
    QLineEdit::inputMethodEvent(event);
}

void TQnEdit::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        QnInput::enter(this, m_editType, &m_imeName);
    }
    QLineEdit::focusInEvent(event);
}

void TQnEdit::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        if (QnInput::isTextType(m_editType))
            QnInput::captureInputMethod();
    }
    QLineEdit::focusOutEvent(event);
}

TQnMEdit::TQnMEdit(QWidget* parent) : QLineEdit(parent), TQnFocusColor(this) {}

bool TQnMEdit::selectOnEnter()
{
    if (!m_onSelect)
        return false;
    bool value = false;
    m_onSelect(value);
    return value;
}

void TQnMEdit::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        QnInput::enterText(this, &m_imeName);
    }
    QLineEdit::focusInEvent(event);
}

void TQnMEdit::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        QnInput::captureInputMethod();
    }
    QLineEdit::focusOutEvent(event);
}
