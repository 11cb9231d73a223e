#include "QnDataLink.h"

#include "QnDataSource.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

TQnDataLink::TQnDataLink(QObject* parent) : QObject(parent) {}

void TQnDataLink::setDataSource(TQnDataSource* source)
{
    if (m_source == source)
        return;
    if (m_sourceConnection)
        disconnect(m_sourceConnection);
    m_source = source;
    if (source)
        m_sourceConnection = connect(source, &TQnDataSource::dataSetChanged, this, &TQnDataLink::reconnect);
    reconnect();
}

void TQnDataLink::setDataField(const QString& field)
{
    m_field = field;
    emit valueChanged();
}

TQnQuery* TQnDataLink::query() const
{
    return m_source ? m_source->DataSet() : nullptr;
}

bool TQnDataLink::active() const
{
    TQnQuery* q = query();
    return q && q->isOpen() && q->hasColumn(m_field);
}

bool TQnDataLink::editing() const
{
    TQnQuery* q = query();
    return q && q->isEditing();
}

QVariant TQnDataLink::value() const
{
    return active() ? query()->value(m_field) : QVariant();
}

QString TQnDataLink::text() const
{
    return active() ? query()->text(m_field) : QString();
}

bool TQnDataLink::write(const QVariant& value)
{
    if (!active() || !editing())
        return false;
    return query()->setValue(m_field, value);
}

QString TQnDataLink::valueKind() const
{
    TQnQuery* q = query();
    const TFieldsData* f = q ? q->fieldData(m_field) : nullptr;
    return f ? f->valueKind : QString();
}

bool TQnDataLink::acceptsChar(QChar c) const
{
    if (valueKind() != QLatin1String("N"))
        return true;
    return (c.isDigit() && c.unicode() < 128) || c == u'-' || c == u'+' || c == u'.' || c == u',' || c == u'e' ||
           c == u'E';
}

void TQnDataLink::reconnect()
{
    for (const auto& c : m_connections)
        disconnect(c);
    m_connections.clear();
    TQnQuery* q = query();
    if (q) {
        auto changed = [this] { emit valueChanged(); };
        m_connections << connect(q, &TQnQuery::currentRowChanged, this, changed);
        m_connections << connect(q, &TQnQuery::modelReset, this, changed);
        m_connections << connect(q, &TQnQuery::closed, this, changed);
        m_connections << connect(q, &TQnQuery::fieldValueChanged, this, [this](const QString& column) {
            if (column.isEmpty() || column.compare(m_field, Qt::CaseInsensitive) == 0)
                emit valueChanged();
        });
        m_connections << connect(q, &TQnQuery::stateChanged, this, [this] {
            const bool now = editing();
            emit valueChanged();
            if (now != m_wasEditing) {
                m_wasEditing = now;
                emit editingChanged();
            }
        });
    }
    m_wasEditing = editing();
    emit valueChanged();
    emit editingChanged();
}

void TQnDataLink::bindLineEdit(QLineEdit* edit)
{
    m_edit = edit;
    connect(this, &TQnDataLink::valueChanged, edit, [this] { showInLineEdit(); });
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing && !m_edit->isReadOnly())
            write(text);
    });
}

void TQnDataLink::showInLineEdit()
{
    const QString t = text();
    if (!m_edit || t == m_edit->text())
        return;
    m_showing = true;
    m_edit->setText(t);
    m_showing = false;
    if (!m_edit->hasFocus())
        m_edit->setCursorPosition(0);
}

bool TQnDataLink::lineEditKey(QKeyEvent* event)
{
    if (!m_edit || m_edit->isReadOnly())
        return false;
    if (event->key() == Qt::Key_Escape && editing()) {
        write(m_entryValue);
        showInLineEdit();
        m_edit->selectAll();
        event->accept();
        return true;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).unicode() >= 32 &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !acceptsChar(typed.at(0))) {
        QApplication::beep();
        event->accept();
        return true;
    }
    return false;
}
