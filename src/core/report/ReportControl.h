#pragma once

#include "ReportLine.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <memory>
#include <vector>

class QIODevice;
class QPainter;

// A report template: a page-sized grid of lines of cells, in pixels of the design page. The designer draws
// and edits it, the run time fills a copy of it with data, and it is stored as the template stream.
class TReportControl : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool CreportEdit READ CreportEdit WRITE setCreportEdit)

public:
    // The design page of an A4 sheet and the millimetre conversions of the design page.
    static constexpr int DefaultPageWidth = 758;
    static constexpr int DefaultPageHeight = 1037;
    static constexpr double PixelsPerMmX = 758.0 / 210.0;
    static constexpr double PixelsPerMmY = 1037.0 / 297.0;

    // Stream version marks; the newest is written.
    static constexpr quint16 VersionAA55 = 0xAA55; // cells without display format and picture
    static constexpr quint16 VersionAA56 = 0xAA56; // cells with display format
    static constexpr quint16 VersionAA57 = 0xAA57; // cells with display format and picture
    // Header up to the line count and the trailer: the size of an empty template.
    static constexpr int EmptyStreamSize = 79;

    enum class ReadResult
    {
        Ok,
        BadVersion,
        Malformed
    };
    // The version mark of the last stream read (a new template: the one it will be written with).
    quint16 streamVersion() const { return m_streamVersion; }

    explicit TReportControl(QObject* parent = nullptr);
    ~TReportControl() override;

    // Page.
    int zoom() const { return m_zoom; }
    void setZoom(int percent) { m_zoom = qBound(10, percent, 1000); }
    int pageWidth() const { return m_pageWidth; }
    int pageHeight() const { return m_pageHeight; }
    void setPageSize(int width, int height);
    int leftMargin() const { return m_leftMargin; }
    int topMargin() const { return m_topMargin; }
    int rightMargin() const { return m_rightMargin; }
    int bottomMargin() const { return m_bottomMargin; }
    int leftMarginMm() const { return m_leftMarginMm; }
    int topMarginMm() const { return m_topMarginMm; }
    int rightMarginMm() const { return m_rightMarginMm; }
    int bottomMarginMm() const { return m_bottomMarginMm; }
    // Margins as typed in millimetres; the pixel margins follow (mm × screen DPI / 25, rounded).
    void setMarginsMm(int left, int top, int right, int bottom);
    // Both kinds as stored (used when copying a template's page).
    void setMargins(int leftPx, int topPx, int rightPx, int bottomPx, int leftMm, int topMm, int rightMm, int bottomMm);
    static int marginPixels(int mm);

    quint8 reservedByte() const { return m_reservedByte; }
    qint32 reservedInt1() const { return m_reservedInt1; }
    qint32 reservedInt2() const { return m_reservedInt2; }
    void setReserved(quint8 b, qint32 i1, qint32 i2);

    // Printer paper: Windows paper code (256 = user-defined), 1 portrait / 2 landscape, length and width in
    // tenths of a millimetre.
    int paperSize() const { return m_paperSize; }
    int orientation() const { return m_orientation; }
    int paperLength() const { return m_paperLength; }
    int paperWidth() const { return m_paperWidth; }
    void setPaper(int size, int orientation, int length, int width);
    int dataLineIndex() const { return m_dataLineIndex; }
    void setDataLineIndex(int index) { m_dataLineIndex = index; }
    // Copies page size, margins, reserved values and paper settings from another template.
    void copyPageFrom(const TReportControl& other);

    bool CreportEdit() const { return m_editMode; }
    void setCreportEdit(bool on);

    // Lines.
    int lineCount() const { return int(m_lines.size()); }
    TReportLine* line(int i) const { return m_lines[size_t(i)].get(); }
    int indexOf(const TReportLine* line) const;
    TReportLine* appendNewLine();
    TReportLine* insertNewLine(int at);
    // Adds a line made elsewhere (its cells must point at this control through the line).
    TReportLine* adoptLine(std::unique_ptr<TReportLine> line);
    std::unique_ptr<TReportLine> takeLastLine();
    // Removes every line (and the selection).
    void clear();

    // Layout pass: needed heights, cell positions, line tops, rectangles.
    void layout();
    // Height of all lines.
    int contentHeight() const;

    // Draws every line (editMode from CreportEdit unless printing).
    void draw(QPainter& painter, bool printing) const;
    // A finished page on paper: pictures first, then the cells without guide lines.
    void drawPrinted(QPainter& painter) const;

    // Hit testing for the designer: the drawn cell under p (an owner for its covered cells).
    enum class Zone
    {
        None,
        Text,
        RightEdge,
        BottomEdge
    };
    TReportCell* cellAt(const QPoint& p) const;
    Zone hitTest(const QPoint& p, TReportCell** cell = nullptr) const;

    // Selection (not stored).
    const QList<TReportCell*>& selectedCells() const { return m_selection; }
    bool isSelected(const TReportCell* cell) const { return m_selection.contains(const_cast<TReportCell*>(cell)); }
    void selectCell(TReportCell* cell, bool add = true);
    void unselectCell(TReportCell* cell);
    void clearSelection();
    // Selects the drawn cells that meet rect.
    void selectRect(const QRect& rect);
    TReportCell* focusCell() const { return m_focusCell; }
    void setFocusCell(TReportCell* cell);

    // Editing operations of the designer. Each checks its precondition (false: nothing changed), then runs
    // the layout pass and asks for a repaint.
    bool newTable(int columns, int rows);
    bool addLine();    // 添加行: append a copy of the last line
    bool insertLine(); // 插入行: insert a copy of the selected cell's line before it
    bool deleteLines();
    bool addCell();    // 添加单元格: append a copy of the line's last cell
    bool insertCell(); // 插入单元格: insert a copy of the selected cell before it
    bool deleteCells();
    bool mergeCells();
    bool splitMergedCell();
    bool splitCell(int pieces);
    bool setBorders(const TCellBorder& left, const TCellBorder& top, const TCellBorder& right,
                    const TCellBorder& bottom);
    bool setDiagonal(quint32 flags);
    bool setColors(quint32 textColor, quint32 backColor);
    bool setCellFont(const QFont& font, std::optional<quint32> textColor = std::nullopt);
    bool setAlignment(int horz, int vert);
    bool setDisplayFormat(const QString& format);
    bool setCellText(const QString& text);
    // The focus cell's picture ("填图片", "清图片").
    bool setPicture(const QImage& image);
    bool clearPicture();
    // Dragging: the right edge of cell to x (cells merged with it follow), the bottom of line to y.
    bool dragCellRight(TReportCell* cell, int x);
    bool dragLineBottom(TReportLine* line, int y);

    // Template stream.
    // Reads a template at start of device. BadVersion and Malformed leave the control unchanged.
    ReadResult read(QIODevice& device, qint64 start = 0);
    ReadResult read(const QByteArray& bytes);
    // read(), showing "格式不正确" when the stream is refused.
    bool load(QIODevice& device, qint64 start = 0);
    bool loadFromFile(const QString& path);
    // Writes the template (version 0xAA57, zoom 100) at start. False (with a message in error) when a text
    // is too long for the stream or the device fails.
    bool save(QIODevice& device, qint64 start = 0, QString* error = nullptr);
    QByteArray saveToBytes(QString* error = nullptr);
    // Written to a temporary name and renamed when complete.
    bool saveToFile(const QString& path, QString* error = nullptr);

signals:
    // Something in rect (design pixels) has to be drawn again.
    void repaintNeeded(const QRect& rect);
    // The lines are about to be replaced (an in-place editor must go).
    void aboutToReload();

private:
    friend struct ReportStreamIo;

    void removeLineAt(int index);
    void dissolveMerge(TReportCell* owner);
    void unlinkCell(TReportCell* cell);
    void forgetCell(TReportCell* cell);
    void editDone();
    void drawLines(QPainter& painter, bool editMode, bool pictures) const;

    int m_zoom = 100;
    int m_pageWidth = DefaultPageWidth;
    int m_pageHeight = DefaultPageHeight;
    int m_leftMargin = 0;
    int m_topMargin = 0;
    int m_rightMargin = 0;
    int m_bottomMargin = 0;
    int m_leftMarginMm = 20;
    int m_topMarginMm = 10;
    int m_rightMarginMm = 20;
    int m_bottomMarginMm = 15;
    quint8 m_reservedByte = 1;
    qint32 m_reservedInt1 = 2000;
    qint32 m_reservedInt2 = 1;
    std::vector<std::unique_ptr<TReportLine>> m_lines;
    int m_paperSize = 0;
    int m_orientation = 0;
    int m_paperLength = 0;
    int m_paperWidth = 0;
    int m_dataLineIndex = 0;
    QList<TReportCell*> m_selection;
    TReportCell* m_focusCell = nullptr;
    bool m_editMode = false;
    quint16 m_streamVersion = VersionAA57;
};
