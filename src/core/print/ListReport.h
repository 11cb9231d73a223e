#pragma once

#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// What the preview window and the printers need of a report: pages of one paper size, each drawn on
// request. Pages are drawn in tenths of a millimetre of the paper (A4 portrait is 2100 × 2970); the caller
// scales the painter to its device.
class TPageSource
{
public:
    virtual ~TPageSource() = default;
    virtual int pageCount() const = 0;
    // The paper in millimetres.
    virtual QSizeF paperSize() const { return QSizeF(210, 297); }
    virtual QPageLayout::Orientation orientation() const { return QPageLayout::Portrait; }
    // Draws page (from 1) with the painter set to tenths of a millimetre from the paper's top left corner.
    virtual void paintPage(QPainter* painter, int page) const = 0;
    virtual QString title() const { return {}; }

    // Scales painter so that the paper fills target (device pixels) and draws the page.
    void paintPageInto(QPainter* painter, int page, const QRectF& target) const;
    // Writes every page to a paged device (a PDF writer or a printer) whose page layout is set to the paper
    // with no margins; pages from..to (from 1, 0 = all). False when the device could not be painted on.
    bool render(QPagedPaintDevice* device, int from = 0, int to = 0) const;
    // Writes the pages as a PDF file, under a temporary name renamed when complete.
    bool writePdf(const QString& path, QString* error = nullptr) const;
};

// A banded list in the manner of the program's printed lists: on every page the title, the organisation
// at the left and "打印日期:" with the date at the right, the column headings, then up to rowsPerPage rows
// drawn in a ruled table, and the footer "第 n 页 共 m 页".
class TListReport : public TPageSource
{
public:
    struct Column
    {
        QString caption;
        double width = 30; // millimetres; the columns are stretched to the printable width
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    TListReport();

    void setTitle(const QString& title) { m_title = title; }
    QString title() const override { return m_title; }
    void setOrganisation(const QString& name) { m_organisation = name; }
    QString organisation() const { return m_organisation; }
    // "YYYY-MM-DD"; printed after "打印日期:".
    void setPrintDate(const QString& date) { m_printDate = date; }
    QString printDate() const { return m_printDate; }
    // A leading "序号" column with the running row number.
    void setRowNumbers(bool on) { m_rowNumbers = on; }
    bool rowNumbers() const { return m_rowNumbers; }
    void setColumns(const QList<Column>& columns) { m_columns = columns; }
    const QList<Column>& columns() const { return m_columns; }
    // The rows: each a list of texts in column order (without the row number).
    void setRows(const QList<QStringList>& rows);
    // Or rows read on demand (large lists): count and the texts of row i.
    void setRowSource(std::function<int()> count, std::function<QStringList(int)> row);
    int rowCount() const;
    QStringList row(int i) const;
    // At most this many rows on a page (fewer when the page cannot hold them).
    void setRowsPerPage(int n) { m_rowsPerPage = n; }
    int rowsPerPage() const;
    void setFont(const QFont& font) { m_font = font; }
    // Blanks are printed as wide as a digit, so indents and padded outline numbers line up.
    void setFigureSpaces(bool on) { m_figureSpaces = on; }

    int pageCount() const override;
    void paintPage(QPainter* painter, int page) const override;

    // The texts of the page header and footer, for tests and exports.
    static QString footerText(int page, int pages);
    QString dateText() const;

private:
    QList<double> columnWidths() const; // tenths of a millimetre, row-number column first when on

    QString m_title;
    QString m_organisation;
    QString m_printDate;
    bool m_rowNumbers = false;
    QList<Column> m_columns;
    QList<QStringList> m_rows;
    std::function<int()> m_count;
    std::function<QStringList(int)> m_row;
    int m_rowsPerPage = 35;
    QFont m_font;
    bool m_figureSpaces = false;
};
