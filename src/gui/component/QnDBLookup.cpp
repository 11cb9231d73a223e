#include "QnDBLookup.h"

#include "QnEdit.h"

#include "db/FunLib.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSqlQuery>
#include <QSqlRecord>

namespace QnLookup {
bool readList(const QString& sql, QList<QPair<QString, QString>>* out)
{
    out->clear();
    auto q = OpenSql(sql);
    if (!q)
        return false;
    const bool two = q->record().count() > 1;
    while (q->next())
        out->append({q->value(0).toString(), two ? q->value(1).toString() : q->value(0).toString()});
    return true;
}
} // namespace QnLookup

namespace {
bool isMoveKey(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown ||
           key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Space;
}
} // namespace

TQnDBLookupComboBox::TQnDBLookupComboBox(QWidget* parent)
    : QComboBox(parent), TQnFocusColor(this), m_link(new TQnDataLink(this))
{
    setEditable(false);
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnDBLookupComboBox::showValue);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_showing && !isReadOnly() && index >= 0)
            m_link->write(itemData(index).toString());
    });
}

bool TQnDBLookupComboBox::loadList(const QString& sql)
{
    QList<QPair<QString, QString>> items;
    const bool ok = QnLookup::readList(sql, &items);
    setListItems(items);
    return ok;
}

void TQnDBLookupComboBox::setListItems(const QList<QPair<QString, QString>>& keyAndText)
{
    m_showing = true;
    clear();
    for (const auto& [key, text] : keyAndText)
        addItem(text, key);
    m_showing = false;
    showValue();
}

QString TQnDBLookupComboBox::currentKey() const
{
    return currentIndex() >= 0 ? itemData(currentIndex()).toString() : QString();
}

void TQnDBLookupComboBox::showValue()
{
    m_showing = true;
    setCurrentIndex(findData(m_link->text()));
    m_showing = false;
}

void TQnDBLookupComboBox::showPopup()
{
    if (!isReadOnly())
        QComboBox::showPopup();
}

void TQnDBLookupComboBox::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly() && (isMoveKey(event->key()) || !event->text().isEmpty())) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TQnDBLookupComboBox::wheelEvent(QWheelEvent* event)
{
    if (isReadOnly()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

void TQnDBLookupComboBox::focusInEvent(QFocusEvent* event)
{
    if (fieldEntered(event)) {
        QnInput::enterText(this, &m_imeName);
    }
    QComboBox::focusInEvent(event);
}

void TQnDBLookupComboBox::focusOutEvent(QFocusEvent* event)
{
    fieldLeft(event);
    QComboBox::focusOutEvent(event);
}

TQnDBLookupListBox::TQnDBLookupListBox(QWidget* parent)
    : QListWidget(parent), TQnFocusColor(this), m_link(new TQnDataLink(this))
{
    connect(m_link, &TQnDataLink::valueChanged, this, &TQnDBLookupListBox::showValue);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showing && !isReadOnly() && row >= 0)
            m_link->write(item(row)->data(Qt::UserRole).toString());
    });
}

bool TQnDBLookupListBox::loadList(const QString& sql)
{
    QList<QPair<QString, QString>> items;
    const bool ok = QnLookup::readList(sql, &items);
    setListItems(items);
    return ok;
}

void TQnDBLookupListBox::setListItems(const QList<QPair<QString, QString>>& keyAndText)
{
    m_showing = true;
    clear();
    for (const auto& [key, text] : keyAndText) {
        auto* it = new QListWidgetItem(text, this);
        it->setData(Qt::UserRole, key);
    }
    m_showing = false;
    showValue();
}

QString TQnDBLookupListBox::currentKey() const
{
    return currentItem() ? currentItem()->data(Qt::UserRole).toString() : QString();
}

void TQnDBLookupListBox::showValue()
{
    m_showing = true;
    const QString key = m_link->text();
    int found = -1;
    for (int i = 0; i < count() && found < 0; ++i)
        if (item(i)->data(Qt::UserRole).toString() == key)
            found = i;
    setCurrentRow(found);
    m_showing = false;
}

void TQnDBLookupListBox::mousePressEvent(QMouseEvent* event)
{
    if (isReadOnly() && m_link->active()) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

void TQnDBLookupListBox::keyPressEvent(QKeyEvent* event)
{
    if (isReadOnly() && m_link->active() && (isMoveKey(event->key()) || !event->text().isEmpty())) {
        event->ignore();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TQnDBLookupListBox::focusInEvent(QFocusEvent* event)
{
    fieldEntered(event);
    QListWidget::focusInEvent(event);
}

void TQnDBLookupListBox::focusOutEvent(QFocusEvent* event)
{
    if (fieldLeft(event)) {
        QnInput::captureInputMethod();
    }
    QListWidget::focusOutEvent(event);
}
