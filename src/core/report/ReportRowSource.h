#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// The rows a report is filled from: a data set with a current record that can be moved. The report run
// time and the worksheet writer read through this interface, so a screen's query, a QSqlQuery or a list
// held in memory can feed them alike.
class ReportRowSource
{
public:
    enum class FieldKind
    {
        Text,
        Integer,
        Float,
        Date,
        Boolean,
        Blob
    };

    virtual ~ReportRowSource() = default;

    virtual bool isOpen() const = 0;
    // Opens a closed data set; true when it is open afterwards.
    virtual bool open() { return isOpen(); }
    virtual int recordCount() = 0;
    // The current record (0-based), -1 when there is none.
    virtual int position() const = 0;
    // Makes row the current record; false (and no record) when it does not exist.
    virtual bool seek(int row) = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int field) const = 0;
    virtual FieldKind fieldKind(int field) const = 0;
    // The field's value in the current record (null when empty or when there is no record).
    virtual QVariant value(int field) const = 0;
    // The text a grid shows for the value.
    virtual QString displayText(int field) const;

    // A screen's data set stops updating its controls while a report walks it.
    virtual void disableControls() {}
    virtual void enableControls() {}

    // Case-insensitive field lookup, -1 when missing.
    int fieldIndex(const QString& name) const;
    bool isNumeric(int field) const;
    bool isNull(int field) const;
    // Plain text of a number as a grid shows it (up to 15 significant digits, no exponent for ordinary
    // magnitudes).
    static QString numberText(double value);
};

// A QSqlQuery as row source, standing on its first record like any open data set. The query is run
// scrollable so that a report can walk it and come back.
class SqlQueryRowSource : public ReportRowSource
{
public:
    // Takes an executed, scrollable query.
    explicit SqlQueryRowSource(QSqlQuery query);
    // Runs sql on the connection; check isOpen() and error().
    SqlQueryRowSource(const QSqlDatabase& db, const QString& sql);

    QString error() const { return m_error; }
    QSqlQuery& query() { return m_query; }

    bool isOpen() const override;
    int recordCount() override;
    int position() const override;
    bool seek(int row) override;
    int fieldCount() const override;
    QString fieldName(int field) const override;
    FieldKind fieldKind(int field) const override;
    QVariant value(int field) const override;

private:
    QSqlQuery m_query;
    QString m_error;
    int m_count = -1;
    QList<FieldKind> m_kinds;
    QStringList m_names;
    void readFields();
};

// Rows held in memory (tests, small lists built by code).
class MemoryRowSource : public ReportRowSource
{
public:
    struct Field
    {
        QString name;
        FieldKind kind = FieldKind::Text;
    };

    MemoryRowSource() = default;
    MemoryRowSource(QList<Field> fields, QList<QVariantList> rows);

    void setFields(QList<Field> fields) { m_fields = std::move(fields); }
    void appendRow(QVariantList row)
    {
        m_rows.append(std::move(row));
        if (m_pos < 0)
            m_pos = 0;
    }
    void setOpen(bool open) { m_open = open; }
    int controlsDisabled() const { return m_disabled; }

    bool isOpen() const override { return m_open; }
    bool open() override
    {
        m_open = true;
        return true;
    }
    int recordCount() override { return m_open ? int(m_rows.size()) : 0; }
    int position() const override { return m_pos; }
    bool seek(int row) override;
    int fieldCount() const override { return int(m_fields.size()); }
    QString fieldName(int field) const override { return m_fields.value(field).name; }
    FieldKind fieldKind(int field) const override { return m_fields.value(field).kind; }
    QVariant value(int field) const override;
    void disableControls() override { ++m_disabled; }
    void enableControls() override { --m_disabled; }

private:
    QList<Field> m_fields;
    QList<QVariantList> m_rows;
    int m_pos = -1;
    bool m_open = true;
    int m_disabled = 0;
};
