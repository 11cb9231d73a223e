#include "QnComboBox.h"

#include "QnEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

TQnComboBox::TQnComboBox(QWidget* parent) : QComboBox(parent), TQnFocusColor(this)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void TQnComboBox::keyPressEvent(QKeyEvent* event)
{
    if (lineEdit() && QnInput::filterKey(lineEdit(), m_editType, event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TQnComboBox::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        if (lineEdit())
            QnInput::enter(lineEdit(), m_editType, &m_imeName);
        if (QnInput::isTextType(m_editType))
            QnInput::enterText(this, &m_imeName);
        else
            QnInput::enterNoText(this, &m_imeName, m_editType);
    }
    QComboBox::focusInEvent(event);
}

void TQnComboBox::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        if (QnInput::isTextType(m_editType))
            QnInput::captureInputMethod();
    }
    QComboBox::focusOutEvent(event);
}

TQnListBox::TQnListBox(QWidget* parent) : QListWidget(parent), TQnFocusColor(this) {}

void TQnListBox::focusInEvent(QFocusEvent* event)
{
    fieldEntered(event);
    QListWidget::focusInEvent(event);
}

void TQnListBox::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        QnInput::captureInputMethod();
    }
    QListWidget::focusOutEvent(event);
}
