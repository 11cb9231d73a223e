#include "QnDBComboBox.h"

#include "query/QnQuery.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

TQnDBComboBox::TQnDBComboBox(QWidget* parent) : TQnComboBox(parent), m_link(new TQnDataLink(this))
{
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnDBComboBox::showValue);
    connect(m_link, &TQnDataLink::editingChanged, this, &TQnDBComboBox::applyReadOnly);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_showing && !isReadOnly())
            m_link->write(text);
    });
    applyReadOnly();
}

void TQnDBComboBox::setReadOnly(bool on)
{
    m_readOnly = on;
    applyReadOnly();
}

bool TQnDBComboBox::isReadOnly() const
{
    return m_readOnly || !m_link->editing();
}

void TQnDBComboBox::applyReadOnly()
{
    if (lineEdit())
        lineEdit()->setReadOnly(isReadOnly());
}

void TQnDBComboBox::showValue()
{
    m_showing = true;
    if (count() == 0 && m_link->query()) {
        if (const TFieldsData* f = m_link->query()->fieldData(m_link->DataField()); f && !f->pickList.isEmpty())
            addItems(f->pickList.split(u';', Qt::SkipEmptyParts));
    }
    const QString t = m_link->text();
    if (currentText() != t)
        setEditText(t);
    m_showing = false;
}

void TQnDBComboBox::showPopup()
{
    if (isReadOnly())
        return;
    TQnComboBox::showPopup();
}

void TQnDBComboBox::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly() &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp ||
         event->key() == Qt::Key_PageDown || event->key() == Qt::Key_Home || event->key() == Qt::Key_End)) {
        event->ignore();
        return;
    }
    TQnComboBox::keyPressEvent(event);
}

void TQnDBComboBox::wheelEvent(QWheelEvent* event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    TQnComboBox::wheelEvent(event);
}
