#pragma once

#include "RowCache.h"
#include "common/AppContext.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QSqlRecord;

// One column the screen shows: caption, widths, kinds, footer and validation. The grid, the find dialog and
// the query share the array.
struct TFieldsData
{
    TFieldsData() = default;
    TFieldsData(const QString& field, const QString& label, const QString& kind = {}, bool shown = true)
        : fieldName(field), caption(label), visible(shown), valueKind(kind)
    {
    }

    QString fieldName;
    QString caption;      // display label, also used in messages
    int displayWidth = 0; // characters; 0 default, -1 present with width 0, -2 hidden
    bool visible = true;
    QString footerKind;   // "@Sum", "@Count", another text shown as it is, or empty
    QString footerField;  // "@Sum": the column to add up (empty: this column)
    QString footerFormat; // "@Count": format of the count
    QString valueKind;    // "N" number, "D" date, otherwise text ("C")
    QString editKind;     // "T" text, "B" pick list, "D" date, "C" code
    QString findKind;     // kind offered by the find dialog
    QString pickList;     // pick-list entries separated by ";"
    bool required = false;
    QString editControl;      // objectName of the window control bound to the column
    bool amountBoxes = false; // TQnDBGrid: draw the value in digit boxes
    int digitBoxes = 0;
    // The find dialogs: the second text of the find kind ("Y": the caption offered instead of the caption;
    // "B"/"BLS": the values offered, separated by ";"; "DS", "ES", "ESB", "ELS", "BS", "LBS": the column
    // compared; "DLS": the date column inside the sub-query the field name opens), the table prefix of the
    // compared column, and the sub-query of "DS" (col IN (SELECT subResult FROM subTable WHERE subWhere ...)).
    QString findText;
    QString tablePrefix;
    QString subTable;
    QString subResult;
    QString subWhere;
};
using TFieldsDataArray = QList<TFieldsData>;

// One condition of a check: the query's column compared with a table column.
struct TCheckFieldsData
{
    // The query's column compared with the table's column of the same name.
    static TCheckFieldsData same(const QString& column)
    {
        TCheckFieldsData c;
        c.queryColumn = column;
        c.tableColumn = column;
        return c;
    }

    QString queryColumn;
    QString tableColumn;
    QString oldValue;                   // remembered when editing starts
    QString fixedValue;                 // used instead of the query's value when not empty
    QString kind = QStringLiteral("C"); // "N" number, "C" text, "D" date
};

// A lookup run before saving: a duplicate check (a found row refuses) or a lookup check (a missing row
// refuses; a found row may hand columns to the record).
struct TCheckData
{
    QList<TCheckFieldsData> conditions; // at most 11
    QString checkedColumn;              // the check runs only when the query has it; focus and renumbering go to it
    QString head;                       // "SELECT USE_ID FROM SYS_USER_TABLE WHERE "
    QString tail;                       // appended after the conditions, e.g. " AND ARCHIVE_TYPE_ID = '001'"
    QString message;
    QString copyColumns; // comma-separated columns copied from the found row (lookup checks)
    bool lookup = false; // false: duplicate check
    bool skipWhenEmpty = false;
    bool ask = false;        // AskYesNo(message) instead of refusing
    bool noRenumber = false; // a clash of a generated number is reported instead of drawing the next one
};
using TCheckDataArray = QList<TCheckData>;

// A default or automatic number filled in when a record is added.
// Kinds: "A" value, "L" flag ("是"), "B" column `value` of `source` (this column when empty), "T" record key,
// "C" running number, "Y"/"M"/"D" running number within the year/month/day.
struct TInsertData
{
    // A default that puts value into the new record's column.
    static TInsertData assign(const QString& column, const QString& caption, const QString& value)
    {
        TInsertData d;
        d.fieldName = column;
        d.caption = caption;
        d.value = value;
        return d;
    }

    QString fieldName;
    QString caption;
    QString condition; // extra SQL condition of the numbering scope
    int width = 0;     // digits of period + counter
    QString value;
    class TQnQuery* source = nullptr;
    QString kind = QStringLiteral("A");
    QString prefix;
};
using TInsertDataArray = QList<TInsertData>;

// A value written into the record each time editing starts (EDIT_NAME, EDIT_DATE).
struct TEditData
{
    QString fieldName;
    QString caption;
    QString value;
};
using TEditDataArray = QList<TEditData>;

// A column linking a detail query to its master: detailColumn = master's masterColumn.
struct TLinkData
{
    QString masterColumn;
    QString detailColumn;
    QString kind = QStringLiteral("C"); // "N", "C", "D"
};

// The editable query every data screen uses: a live SQL query over one table (or a join) that is also the
// item model of the screen's grid. Rows are read lazily in segments around the rows shown; counts and footer
// sums come from SQL. Saving and deleting compose their own statements that find the row by its key.
class TQnQuery : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum State
    {
        Closed,
        Browse,
        Insert,
        Edit
    };
    Q_ENUM(State)

    // The stored value of a cell, for views that want it rather than the display text.
    static constexpr int RawValueRole = Qt::UserRole + 1;

    explicit TQnQuery(QObject* parent = nullptr);
    ~TQnQuery() override;

    // --- statement and table
    void setSql(const QString& sql);
    QString sql() const { return m_sql; }
    // The table saving and deleting write to ("SYS_USER_TABLE.DB" is taken as SYS_USER_TABLE). Setting a
    // different name also sets the statement to "SELECT  *  FROM  " + name.
    void setTableName(const QString& name);
    QString tableName() const { return m_tableName; }
    // Columns that find the row when saving and deleting (the condition of the update statement). Empty:
    // the table's primary key, else every column of the record.
    void setKeyColumns(const QStringList& columns) { m_keyColumns = columns; }
    QStringList keyColumns() const;
    void setActiveControl(const QString& name) { m_activeControl = name; }
    QString activeControl() const { return m_activeControl; }
    void setColorOnFocus(const QColor& c) { m_colorOnFocus = c; }
    QColor colorOnFocus() const { return m_colorOnFocus; }

    // Stamps of the window (PrepareQuery): "YYYYMM" of the working date and today as "YYYYMMDD" for the
    // numbers of the "Y", "M" and "D" kinds. Unset values come from AppContext.LoginDate and the clock.
    void setYearMonth(const QString& yyyymm) { m_yearMonth = yyyymm; }
    void setToday(const QString& yyyymmdd) { m_today = yyyymmdd; }
    void setLoginDate(const QString& date) { m_loginDate = date; }
    QString yearMonth() const;
    QString today() const;
    // All the stamps from AppContext and the clock at once (what PrepareQuery does).
    void stampFromContext();
    void setSqlType(TSqlType type) { m_sqlType = type; }
    TSqlType sqlType() const { return m_sqlType; }

    // --- descriptors
    void SetFieldsData(const TFieldsDataArray& fields);
    void SetCheckData(const TCheckDataArray& checks);
    void SetInsertData(const TInsertDataArray& inserts);
    void SetEditData(const TEditDataArray& edits);
    const TFieldsDataArray& fieldsData() const { return m_fields; }
    TCheckDataArray& checkData() { return m_checks; }
    TInsertDataArray& insertData() { return m_inserts; }
    TEditDataArray& editData() { return m_edits; }
    const TFieldsData* fieldData(const QString& column) const;

    // --- run-time switches
    void setSilent(bool on);
    bool isSilent() const { return m_silent; }
    void setNoDeleteConfirm(bool on) { m_noDeleteConfirm = on; } // one-shot: the next delete does not ask
    void setCollectMessages(bool on) { m_collect = on; }         // refusals are collected, not shown
    bool collectsMessages() const { return m_collect; }
    QStringList collectedMessages() const { return m_collected; }
    void clearCollectedMessages() { m_collected.clear(); }
    void setLocalMode(bool on) { m_local = on; } // saves and deletes stay in the query
    bool isLocalMode() const { return m_local; }
    void setNotEdit(bool on) { m_notEdit = on; } // one-shot: the next edit writes no edit stamps
    void setFillDefaultsOnAppend(bool on) { m_fillOnAppend = on; }
    // The text of the window control bound to a column (the GUI installs it); used by the required check.
    void setControlTextReader(std::function<QString(const QString& column)> reader)
    {
        m_controlText = std::move(reader);
    }
    // Runs inside the delete's transaction before the row goes (cascades); false abandons the delete.
    void setBeforeDelete(std::function<bool()> hook) { m_beforeDelete = std::move(hook); }

    // --- master and detail
    // Couples this query as the detail of master: after every scroll of the master it is reopened with
    // head + the link conditions + tail ("SELECT * FROM T WHERE " ... " ORDER BY X").
    void setMaster(TQnQuery* master, const QList<TLinkData>& links, const QString& head, const QString& tail = {});
    TQnQuery* QyMaster() const { return m_master; }
    TQnQuery* QyDetail() const { return m_detail; }

    // --- life cycle
    bool OpenQuery();
    void CloseQuery();
    // Reopens and keeps the position.
    bool Refresh();
    bool isOpen() const { return m_state != Closed; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == Insert || m_state == Edit; }

    bool AppendRecord();
    bool EditRecord();
    bool SaveRecord();
    void CancelRecord();
    bool DeleteRecord();
    bool FillDefaults();
    bool RenumberColumn(const QString& column);
    void FocusColumn(const QString& column);

    // --- rows
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int currentRow() const { return m_current; }
    bool setCurrentRow(int row);
    bool First() { return setCurrentRow(0); }
    bool Last() { return setCurrentRow(recordCount() - 1); }
    bool Next() { return setCurrentRow(m_current + 1); }
    bool Prior() { return setCurrentRow(m_current - 1); }
    bool isFirst() const { return m_current <= 0; }
    bool isLast() const { return m_current >= recordCount() - 1; }

    // --- fields of the current record (the edit buffer while adding or editing)
    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString& column) const;
    bool hasColumn(const QString& column) const { return columnIndex(column) >= 0; }
    QVariant value(const QString& column) const;
    QString text(const QString& column) const;
    // Only while adding or editing; false otherwise or for an unknown column.
    bool setValue(const QString& column, const QVariant& value);
    QVariant valueAt(int row, const QString& column) const;
    // Every column of the current record by name.
    QVariantMap record() const;
    // The first row whose column holds value (-1 when none); the search runs in SQL, not by reading rows.
    int locate(const QString& column, const QVariant& value);
    // The value the column had when editing started (the key of the row).
    QVariant oldValue(const QString& column) const;

    // --- footers (grid columns with "@Sum" or "@Count")
    QString footerText(const QString& column) const;
    QVariant footerValue(const QString& column) const;

    // --- presentation helpers for the grid
    bool columnVisible(int column) const;
    int columnDisplayWidth(int column) const;  // characters, 0 for the grid's default
    static QString formatNumber(double value); // "0.########"

    // --- QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Reads (tests and the benchmark).
    const RowCache& rowCache() const { return m_cache; }

signals:
    void aboutToOpen(); // the grid applies its saved layout to the descriptors
    void opened();      // the grid applies the descriptors to its columns
    void closed();      // the grid forgets its layout state
    void stateChanged(TQnQuery::State state);
    void currentRowChanged(int current, int previous); // after every scroll
    void fieldValueChanged(const QString& column);     // a value of the current record changed
    void footersChanged();
    void silentChanged(bool silent);
    void focusColumnRequested(const QString& column); // focus the control bound to the column
    void focusControlRequested(const QString& name);  // focus the ActiveControl
    void recordAppended();
    void editStarted();
    void recordSaved();
    void recordCancelled();
    void recordDeleted();

private:
    using Row = RowCache::Row; // [rowid or null, column values...]

    struct Pinned
    {
        int pos = 0;
        qint64 rowId = 0; // 0: a row not in the table (being added, or local)
        Row values;
    };

    struct TableColumn
    {
        QString name;
        char kind = 'T'; // 'T' text, 'D' date, 'N' number, 'B' blob
        int width = 0;   // GBK bytes
    };

    QString cleanTable() const;
    const TFieldsData* fieldAt(int column) const;
    void mapFields();
    bool detectRowId();
    QString baseSql() const;
    QString exclusion() const;
    bool fetchRows(int offset, int limit, QList<Row>* rows);
    bool countRows();
    bool computeBaseSums() const;
    void rebuildTableColumns();
    const TableColumn* tableColumn(const QString& name) const;
    const Row* rowAt(int row) const;
    int pinnedIndex(int row) const;
    int baseOffset(int row) const;
    Row readRowById(qint64 rowId);
    Row emptyRow() const;
    QVariant cell(const Row& r, int column) const;
    QString textOf(const QVariant& v) const;

    void setState(State s);
    void fail(const QString& message, const QString& column = {});
    bool validate();
    bool runChecks();
    bool runCheck(TCheckData& check, bool* refused);
    bool fillOne(const TInsertData& d);
    QString sqlValue(const QString& column, const QVariant& v) const;
    QString keyCondition(bool useOld) const;
    bool composedSave();
    void postRow(qint64 rowId, const Row& values);
    void detailReopen();
    void adjustSums(const Row& values, int sign);
    void recomputeFooters();
    void resetState();

    QString m_sql;
    QString m_tableName;
    QStringList m_keyColumns;
    QString m_activeControl;
    QColor m_colorOnFocus;
    QString m_yearMonth, m_today, m_loginDate;
    TSqlType m_sqlType = TSqlType::urStandard;

    TFieldsDataArray m_fields;
    TCheckDataArray m_checks;
    TInsertDataArray m_inserts;
    TEditDataArray m_edits;

    bool m_silent = false;
    bool m_noDeleteConfirm = false;
    bool m_collect = false;
    QStringList m_collected;
    bool m_local = false;
    bool m_notEdit = false;
    bool m_fillOnAppend = true;
    std::function<QString(const QString&)> m_controlText;
    std::function<bool()> m_beforeDelete;

    QPointer<TQnQuery> m_master;
    QPointer<TQnQuery> m_detail;
    QList<TLinkData> m_links;
    QString m_linkHead, m_linkTail;

    State m_state = Closed;
    QStringList m_columns;
    QHash<QString, int> m_columnIndex; // upper-case name -> column
    QList<int> m_fieldOf;              // column -> its descriptor, -1 for none
    QList<TableColumn> m_tableColumns;
    bool m_hasRowId = false;
    int m_baseCount = 0;
    mutable RowCache m_cache;
    QList<Pinned> m_pinned;   // sorted by pos
    QSet<qint64> m_dropped;   // rows deleted in local mode, hidden from the table's rows
    qint64 m_localSerial = 0; // negative ids of rows that exist only in local mode
    int m_current = -1;
    Row m_buffer;                              // the record being added or edited
    Row m_old;                                 // its values when editing started
    QSet<QString> m_accepted;                  // questions of checks already answered yes for this record
    mutable QHash<QString, double> m_baseSums; // footer sums over the result's rows (not the pinned ones)
    mutable bool m_sumsValid = false;
    QString m_select;        // the statement with the row id as its first column
    QString m_plainSelect;   // the same without its ORDER BY (counts, sums, rows read by id)
    qint64 m_savedRowId = 0; // row id written by the last composed save
    int m_beforeAppend = -1; // current row before AppendRecord, restored by CancelRecord
};
