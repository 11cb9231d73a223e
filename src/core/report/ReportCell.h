#pragma once

#include "ReportFont.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

class QPainter;
class TReportLine;
class TReportControl;

// A rectangle as templates store it: right and bottom are the first pixels outside.
struct TReportRect
{
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;

    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const TReportRect& o) const = default;
};

// One edge of a cell: drawn or not (the stored byte is kept as read) and the pen width in pixels.
struct TCellBorder
{
    quint8 drawn = 1;
    qint32 width = 1;

    bool isOn() const { return drawn != 0; }
    bool operator==(const TCellBorder& o) const = default;
};

// Diagonal flags of a cell.
namespace CellDiagonal {
inline constexpr quint32 Left1 = 0x0001;  // "左斜线1": top-left to bottom-right
inline constexpr quint32 Left2 = 0x0002;  // "左斜线2": top-left to middle of the right edge
inline constexpr quint32 Left3 = 0x0004;  // "左斜线3": top-left to middle of the bottom edge
inline constexpr quint32 Right1 = 0x0100; // "右斜线1": top-right to bottom-left
inline constexpr quint32 Right2 = 0x0200; // "右斜线2": top-right to middle of the left edge
inline constexpr quint32 Right3 = 0x0400; // "右斜线3": top-right to middle of the bottom edge
} // namespace CellDiagonal

// The longest text or display format a template holds, in code-page bytes.
inline constexpr int MaxCellTextBytes = 3000;

// One cell of a template line. Geometry (left, rectangles, needed heights) is computed by the control's
// layout pass; everything else is stored in the template stream as it is.
class TReportCell
{
public:
    static constexpr quint32 NoFill = 0x00FFFFFF; // back colour that means "no fill"

    explicit TReportCell(TReportLine* line);
    TReportCell(const TReportCell&) = delete;
    TReportCell& operator=(const TReportCell&) = delete;

    TReportLine* line() const { return m_line; }
    TReportControl* control() const;
    int index() const { return m_index; }

    // Merging: a cell merged into a cell above it names that owner; an owner lists the cells it covers.
    TReportCell* ownerCell() const { return m_ownerCell; }
    const QList<TReportCell*>& cellsList() const { return m_cellsList; }
    bool isOwner() const { return !m_cellsList.isEmpty(); }
    bool isMerged() const { return m_ownerCell != nullptr; }
    // Links this cell under owner (nullptr: out of its merge). The layout pass is the caller's.
    void setOwnerCell(TReportCell* owner);

    // Stored properties.
    int textMargin() const { return m_textMargin; }
    void setTextMargin(int margin) { m_textMargin = margin; }
    int left() const { return m_left; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = qMax(10, width); }
    int setHeight() const { return m_setHeight; }
    void setSetHeight(int height) { m_setHeight = height; }
    TCellBorder border(int edge) const { return m_borders[edge]; } // 0 left, 1 top, 2 right, 3 bottom
    void setBorder(int edge, TCellBorder b) { m_borders[edge] = b; }
    TCellBorder leftLine() const { return m_borders[0]; }
    TCellBorder topLine() const { return m_borders[1]; }
    TCellBorder rightLine() const { return m_borders[2]; }
    TCellBorder bottomLine() const { return m_borders[3]; }
    quint32 diagonal() const { return m_diagonal; }
    void setDiagonal(quint32 flags) { m_diagonal = flags; }
    quint32 textColor() const { return m_textColor; } // Windows colour 0x00BBGGRR
    void setTextColor(quint32 c) { m_textColor = c; }
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 c) { m_backColor = c; }
    int horzAlign() const { return m_horzAlign; } // 0 left, 1 centre, 2 right
    void setHorzAlign(int a) { m_horzAlign = a; }
    int vertAlign() const { return m_vertAlign; } // 0 top, 1 centre, 2 bottom
    void setVertAlign(int a) { m_vertAlign = a; }
    const QString& text() const { return m_text; }
    // Texts are cut at MaxCellTextBytes code-page bytes.
    void setText(const QString& text);
    const QString& displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(const QString& format);
    const TLogFont& logFont() const { return m_logFont; }
    void setLogFont(const TLogFont& font);
    void setFont(const QFont& font);
    QFont font() const;

    // The picture as a complete Windows bitmap file image, kept byte for byte.
    bool hasPicture() const { return m_pictureFlag != 0 && !m_bitmap.isEmpty(); }
    const QByteArray& bitmap() const { return m_bitmap; }
    quint8 pictureFlag() const { return m_pictureFlag; }
    // Bitmap bytes as read from a template (flag kept as stored).
    void setBitmap(const QByteArray& bmp, quint8 flag = 1);
    // Any picture, stored as a bitmap; a null image removes the picture.
    void setPicture(const QImage& image);
    void clearPicture();
    QImage picture() const;

    // Computed by the layout pass (stored in the stream as they were last computed).
    const TReportRect& cellRect() const { return m_cellRect; }
    const TReportRect& textRect() const { return m_textRect; }
    int requiredHeight() const { return m_requiredHeight; }     // needed text height
    int mergedTextHeight() const { return m_mergedTextHeight; } // owner: text height over covered lines
    int right() const { return m_left + m_width; }

    // Copies every stored property but text and picture (and no merge).
    void copyFormatFrom(const TReportCell& other);
    // Copies every stored property including text and picture (and no merge).
    void copyFrom(const TReportCell& other);

    // Draws the cell (nothing for a cell merged into an owner). editMode draws guide lines for borders
    // that are off.
    void draw(QPainter& painter, bool editMode) const;
    // The three layers of draw(): fills of all cells go below all lines, guide lines below borders.
    enum class Part
    {
        Background,
        Guides,
        Content
    };
    void drawPart(QPainter& painter, Part part, bool editMode) const;
    // The picture, centred horizontally, 3 pixels below the top (or centred when the cell is lower).
    void drawPicture(QPainter& painter) const;

private:
    friend class TReportLine;
    friend class TReportControl;
    friend struct ReportStreamIo;

    // Needed text height of text in this cell's width (the layout rule, without borders).
    int measureText(const QString& text) const;
    void computeRequiredHeight();
    void computeRects(int lineTop, int lineHeight, int coveredHeight);

    TReportLine* m_line;
    TReportCell* m_ownerCell = nullptr;
    QList<TReportCell*> m_cellsList;
    int m_index = -1;
    int m_textMargin = 5;
    int m_left = 0;
    int m_width = 0;
    TReportRect m_cellRect;
    TReportRect m_textRect;
    int m_setHeight = 0;
    int m_requiredHeight = 0;
    int m_mergedTextHeight = 0;
    TCellBorder m_borders[4];
    quint32 m_diagonal = 0;
    quint32 m_textColor = 0;
    quint32 m_backColor = NoFill;
    int m_horzAlign = 0;
    int m_vertAlign = 1;
    QString m_text;
    QString m_displayFormat;
    quint8 m_pictureFlag = 0;
    QByteArray m_bitmap;
    TLogFont m_logFont;
    mutable std::optional<QFont> m_font;
    mutable std::optional<QImage> m_image;
};

// Windows colour value (0x00BBGGRR) to QColor and back.
QColor colorFromWin(quint32 c);
quint32 colorToWin(const QColor& c);
