#pragma once

#include "QnDataSource.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class QKeyEvent;
class QLineEdit;

// The tie between a data-aware control and one column of the current record of a data source's query. The
// control shows the column and writes what the user types into the record; it can change the record only
// while the query is adding or editing (records are never put into editing by typing).
class TQnDataLink : public QObject
{
    Q_OBJECT
public:
    explicit TQnDataLink(QObject* parent = nullptr);

    TQnDataSource* DataSource() const { return m_source; }
    void setDataSource(TQnDataSource* source);
    QString DataField() const { return m_field; }
    void setDataField(const QString& field);

    TQnQuery* query() const;
    bool active() const;  // a query, open, with the column
    bool editing() const; // the query is adding or editing
    QVariant value() const;
    QString text() const; // the column as shown ("YYYY-MM-DD" for dates)
    bool write(const QVariant& value);
    // The column takes this character (numeric columns take digits, sign, point and exponent only).
    bool acceptsChar(QChar c) const;
    // "N", "D" or "C" from the query's descriptor of the column.
    QString valueKind() const;

    // For controls that edit the column as a line of text (the data-aware edit and combo edits): shows the
    // column in edit whenever it changes and writes every other change of the edit's text into the record
    // (typing, pasting, the length limit cutting it back). The control passes its key and focus events on.
    void bindLineEdit(QLineEdit* edit);
    // Shows the column in the bound edit (not written back).
    void showInLineEdit();
    // Remembers the value on entering the edit, for Escape.
    void lineEditFocused() { m_entryValue = value(); }
    // Escape puts the value back as it was on entering; a character the column refuses beeps. True when the
    // key was handled.
    bool lineEditKey(QKeyEvent* event);

signals:
    // The value shown may have changed (another row, another value, opened or closed).
    void valueChanged();
    // Adding or editing started or ended.
    void editingChanged();

private:
    void reconnect();

    QPointer<TQnDataSource> m_source;
    QString m_field;
    QList<QMetaObject::Connection> m_connections;
    QMetaObject::Connection m_sourceConnection;
    bool m_wasEditing = false;
    QLineEdit* m_edit = nullptr;
    bool m_showing = false;
    QVariant m_entryValue;
};
