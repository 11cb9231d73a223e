#pragma once

#include "QnDataSource.h"
#include "query/QnQuery.h"

#include <QColor>
#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

class TQnNDBGrid;

// Called before a data cell is drawn so a screen can colour it (overdue lendings and the like).
using TApplyCellAttrEvent =
    std::function<void(TQnNDBGrid* grid, const QString& field, int row, QStyleOptionViewItem& option)>;

// The row below the data that shows the footers: "@Sum" and "@Count" totals and fixed texts.
class TQnGridFooter : public QWidget
{
    Q_OBJECT
public:
    explicit TQnGridFooter(TQnNDBGrid* grid);
    // Text of the footer of a column (empty when it has none).
    QString text(int logicalColumn) const;
    bool hasFooters() const;
    // The "@Sum" totals are drawn (after opening they follow the first rows a moment later).
    bool sumsShown() const { return m_sumsShown || !hasSums(); }
    void deferSums() { m_sumsShown = false; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool hasSums() const;

    TQnNDBGrid* m_grid;
    bool m_sumsShown = true;
    bool m_sumsPending = false;
};

// The data grid of the list screens, on a TQnQuery. It takes captions, widths, visibility and footers from
// the query's field set, and keeps each user's column widths (and with SaveOrder the column order) per
// window and grid in a layout table:
//   - when the query opens, the user's rows are read: a width w gives the column w × 0.16 characters; a
//     column narrowed to nothing is hidden and its row deleted (unless it carries a sum or count footer);
//     once any row exists, columns without a row stay hidden;
//   - while the grid has the focus, the user's width changes (and moves) are recorded;
//   - when the window closes (SaveLayout) the changed columns are written back.
// The model is lazy: a grid over a million rows opens at once and reads only the rows it shows.
class TQnNDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TQnNDBGrid(QWidget* parent = nullptr);
    ~TQnNDBGrid() override;

    TQnDataSource* DataSource() const { return m_source; }
    void setDataSource(TQnDataSource* source);
    TQnQuery* query() const { return m_query; }

    QColor ColorOnFocus() const { return m_colorOnFocus; }
    void setColorOnFocus(const QColor& c) { m_colorOnFocus = c; }
    bool FocusColorChange() const { return m_focusColorChange; }
    void setFocusColorChange(bool on) { m_focusColorChange = on; }
    QColor Color() const;
    void setColor(const QColor& c);
    bool SetColWidthChange() const { return m_setColWidthChange; }
    void setSetColWidthChange(bool on) { m_setColWidthChange = on; }
    void setOnApplyCellAttr(TApplyCellAttrEvent handler) { m_applyCellAttr = std::move(handler); }
    const TApplyCellAttrEvent& OnApplyCellAttr() const { return m_applyCellAttr; }

    // Layout persistence, set by the screen when it is created.
    QString LayoutFormName() const { return m_formName; }
    void setLayoutFormName(const QString& name) { m_formName = name; }
    QString LayoutUserId() const { return m_userId; }
    void setLayoutUserId(const QString& id) { m_userId = id; }
    QString LayoutDatabase() const { return m_database; }
    void setLayoutDatabase(const QString& name) { m_database = name; }
    QString LayoutTable() const { return m_table; }
    void setLayoutTable(const QString& table) { m_table = table; }
    bool SaveOrder() const { return m_saveOrder; }
    void setSaveOrder(bool on) { m_saveOrder = on; }
    // The right mouse button offers to restore the default layout.
    void setRightClickRestores(bool on) { m_rightClickRestores = on; }

    void LoadLayout();
    void ApplyLayout();
    void SaveLayout();
    void RestoreDefaults();
    void ResetLayoutAllUsers();
    bool DeleteLayoutRow(const QString& fieldName);

    bool layoutApplied() const { return m_layoutApplied; }
    bool layoutReset() const { return m_layoutReset; }
    void setKeepLists(bool on) { m_keepLists = on; }
    // Column of a field (-1 when the query has none).
    int columnOf(const QString& field) const;
    QString fieldOf(int column) const;
    // The remembered layout: current width (and order) of each remembered column, by field name.
    struct Remembered
    {
        QString name;
        int width = 0;
        int order = 0;
        QString loadedName; // "1" for a column that had no row
        int loadedWidth = 1;
        int loadedOrder = 1;
    };
    const QList<Remembered>& remembered() const { return m_lists; }
    bool hasLists() const { return m_listsExist; }
    // Pixel width of a column shown with n characters.
    int widthForCharacters(int n) const;

    TQnGridFooter* footer() const { return m_footer; }

signals:
    // A double click on a data row (screens open their editor).
    void rowDoubleClicked(int row);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void attachQuery(TQnQuery* query);
    void queryAboutToOpen();
    void queryOpened();
    void queryClosed();
    void showQueryRow(int row);
    void recordWidths();
    void recordOrder();
    int rememberedIndex(const QString& name) const;
    void appendRemembered(int column);
    void readLists(bool byOrder);
    QString layoutWhere() const;
    void clearLists();
    int footerHeight() const;

    QPointer<TQnDataSource> m_source;
    QPointer<TQnQuery> m_query;
    QList<QMetaObject::Connection> m_queryConnections;
    TQnGridFooter* m_footer;
    QColor m_colorOnFocus;
    bool m_focusColorChange = false;
    bool m_setColWidthChange = false;
    TApplyCellAttrEvent m_applyCellAttr;

    QString m_formName;
    QString m_userId;
    QString m_database;
    QString m_table;
    bool m_saveOrder = false;
    bool m_rightClickRestores = false;

    QList<Remembered> m_lists;
    bool m_listsExist = false;
    bool m_layoutApplied = false;
    bool m_layoutReset = false;
    bool m_keepLists = false;
    bool m_applying = false;
    bool m_syncing = false;
    bool m_inGeometries = false;
    QColor m_restoreColor;
};

// The narrow row header of the grid: a mark at the current row instead of row numbers.
class TQnGridIndicator : public QHeaderView
{
    Q_OBJECT
public:
    explicit TQnGridIndicator(TQnNDBGrid* grid);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TQnNDBGrid* m_grid;
};

// Draws the cells through the screen's OnApplyCellAttr.
class TQnGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TQnGridDelegate(TQnNDBGrid* grid);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    TQnNDBGrid* m_grid;
};
