// The template stream: little-endian, no padding, strings as a 32-bit byte count and GBK bytes.
#include "ReportControl.h"

#include "common/Gbk.h"
#include "common/MessageSink.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QtEndian>

namespace {

// Limits that no real template comes near; a stream beyond them is damaged, and refusing it keeps the
// layout arithmetic and the allocations bounded.
constexpr qint32 MaxCoordinate = 1000000;
constexpr qint32 MaxPenWidth = 1000;
// Smallest line and cell records (without strings, picture and merge list), to check counts against the data.
constexpr qint64 LineRecordSize = 32;
constexpr qint64 MinCellRecordSize = 176;

class Reader
{
public:
    Reader(const char* data, qsizetype size) : m_p(reinterpret_cast<const uchar*>(data)), m_size(size) {}

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }
    qsizetype pos() const { return m_pos; }
    qint64 remaining() const { return m_size - m_pos; }

    bool need(qint64 n)
    {
        if (!m_ok || n < 0 || remaining() < n)
            m_ok = false;
        return m_ok;
    }
    quint8 u8()
    {
        if (!need(1))
            return 0;
        return m_p[m_pos++];
    }
    quint16 u16()
    {
        if (!need(2))
            return 0;
        const quint16 v = qFromLittleEndian<quint16>(m_p + m_pos);
        m_pos += 2;
        return v;
    }
    qint32 i32()
    {
        if (!need(4))
            return 0;
        const qint32 v = qFromLittleEndian<qint32>(m_p + m_pos);
        m_pos += 4;
        return v;
    }
    // A value that must lie within [lo, hi].
    qint32 i32(qint32 lo, qint32 hi)
    {
        const qint32 v = i32();
        if (v < lo || v > hi)
            m_ok = false;
        return v;
    }
    QByteArray bytes(qint64 n)
    {
        if (!need(n))
            return {};
        QByteArray b(reinterpret_cast<const char*>(m_p + m_pos), qsizetype(n));
        m_pos += qsizetype(n);
        return b;
    }
    const char* peek(qint64 n)
    {
        if (!need(n))
            return nullptr;
        return reinterpret_cast<const char*>(m_p + m_pos);
    }
    QString string()
    {
        const qint32 n = i32();
        if (n < 0 || n > MaxCellTextBytes) {
            m_ok = false;
            return {};
        }
        return Gbk::decode(bytes(n));
    }

private:
    const uchar* m_p;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

class Writer
{
public:
    explicit Writer(QByteArray& out) : m_out(out) {}
    void u8(quint8 v) { m_out.append(char(v)); }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_out.append(b, 2);
    }
    void i32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_out.append(b, 4);
    }
    void rect(const TReportRect& r)
    {
        i32(r.left);
        i32(r.top);
        i32(r.right);
        i32(r.bottom);
    }
    bool string(const QString& s)
    {
        const QByteArray b = Gbk::encode(s);
        if (b.size() > MaxCellTextBytes)
            return false;
        i32(qint32(b.size()));
        m_out.append(b);
        return true;
    }
    void raw(const QByteArray& b) { m_out.append(b); }

private:
    QByteArray& m_out;
};

TReportRect readRect(Reader& r)
{
    TReportRect rc;
    rc.left = r.i32();
    rc.top = r.i32();
    rc.right = r.i32();
    rc.bottom = r.i32();
    return rc;
}

} // namespace

struct ReportStreamIo
{
    struct CellRef
    {
        qint32 line;
        qint32 cell;
    };

    static TReportControl::ReadResult read(TReportControl& target, const char* data, qsizetype size,
                                           qsizetype* consumed)
    {
        using R = TReportControl::ReadResult;
        Reader r(data, size);
        const quint16 mark = r.u16();
        if (!r.ok())
            return R::Malformed;
        if (mark != TReportControl::VersionAA55 && mark != TReportControl::VersionAA56 &&
            mark != TReportControl::VersionAA57)
            return R::BadVersion;
        const bool hasFormat = mark != TReportControl::VersionAA55;
        const bool hasPicture = mark == TReportControl::VersionAA57;

        TReportControl tmp;
        r.i32(); // zoom: always 100 in a stored template
        const qint32 pageW = r.i32(0, MaxCoordinate);
        const qint32 pageH = r.i32(0, MaxCoordinate);
        qint32 m[8];
        for (qint32& v : m)
            v = r.i32(-MaxCoordinate, MaxCoordinate);
        const quint8 reservedByte = r.u8();
        const qint32 reserved1 = r.i32();
        const qint32 reserved2 = r.i32();
        const qint32 lineCount = r.i32();
        if (!r.ok() || lineCount < 0 || qint64(lineCount) * (4 + LineRecordSize) > r.remaining())
            return R::Malformed;
        QList<qint32> counts;
        qint64 totalCells = 0;
        for (qint32 i = 0; i < lineCount; ++i) {
            const qint32 n = r.i32();
            if (n < 0)
                r.fail();
            counts.append(n);
            totalCells += n;
        }
        if (!r.ok() || qint64(lineCount) * LineRecordSize + totalCells * MinCellRecordSize + 20 > r.remaining())
            return R::Malformed;
        tmp.setPageSize(pageW, pageH);
        tmp.setMargins(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7]);
        tmp.setReserved(reservedByte, reserved1, reserved2);

        // Lines and cells exist before any record is read, so a merge may name any of them.
        for (qint32 i = 0; i < lineCount; ++i) {
            TReportLine* line = tmp.appendNewLine();
            for (qint32 k = 0; k < counts[i]; ++k)
                line->appendCell();
        }
        QHash<TReportCell*, CellRef> owners;
        QHash<TReportCell*, QList<CellRef>> covered;
        for (qint32 li = 0; li < lineCount && r.ok(); ++li) {
            TReportLine* line = tmp.line(li);
            r.i32(); // index: renumbered by the layout pass
            line->m_neededHeight = r.i32();
            line->m_setHeight = r.i32(0, MaxCoordinate);
            line->m_top = r.i32();
            line->m_lineRect = readRect(r);
            for (qint32 ci = 0; ci < counts[li] && r.ok(); ++ci) {
                TReportCell* c = line->cell(ci);
                c->m_textMargin = r.i32(0, MaxCoordinate);
                r.i32(); // index in line
                c->m_left = r.i32();
                c->m_width = r.i32(0, MaxCoordinate);
                c->m_cellRect = readRect(r);
                c->m_textRect = readRect(r);
                c->m_setHeight = r.i32(0, MaxCoordinate);
                c->m_requiredHeight = r.i32();
                c->m_mergedTextHeight = r.i32();
                for (TCellBorder& b : c->m_borders) {
                    b.drawn = r.u8();
                    b.width = r.i32(0, MaxPenWidth);
                }
                c->m_diagonal = quint32(r.i32());
                c->m_textColor = quint32(r.i32());
                c->m_backColor = quint32(r.i32());
                c->m_horzAlign = r.i32();
                c->m_vertAlign = r.i32();
                c->m_text = r.string();
                if (hasFormat)
                    c->m_displayFormat = r.string();
                if (hasPicture) {
                    c->m_pictureFlag = r.u8();
                    if (c->m_pictureFlag != 0) {
                        // The bitmap's own file header tells its length.
                        const char* head = r.peek(14);
                        const qint64 len = head ? qint64(qFromLittleEndian<quint32>(head + 2)) : 0;
                        if (len < 14)
                            r.fail();
                        c->m_bitmap = r.bytes(len);
                    }
                }
                const char* font = r.peek(TLogFont::RecordSize);
                if (font) {
                    c->m_logFont = TLogFont::fromBytes(font);
                    r.bytes(TLogFont::RecordSize);
                }
                const CellRef owner{r.i32(), r.i32()};
                if (!(owner.line == -1 && owner.cell == -1)) {
                    if (!valid(owner, counts))
                        r.fail();
                    owners.insert(c, owner);
                }
                const qint32 k = r.i32();
                if (k < 0 || qint64(k) * 8 > r.remaining())
                    r.fail();
                for (qint32 i = 0; i < k && r.ok(); ++i) {
                    const CellRef ref{r.i32(), r.i32()};
                    if (!valid(ref, counts))
                        r.fail();
                    covered[c].append(ref);
                }
            }
        }
        int paper[5];
        for (int& v : paper)
            v = r.i32();
        if (!r.ok())
            return R::Malformed;
        tmp.setPaper(paper[0], paper[1], paper[2], paper[3]);
        tmp.setDataLineIndex(paper[4]);

        // Merge links: both sides must agree, no cell covers itself, and an owner is not covered.
        for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
            TReportCell* c = it.key();
            TReportCell* owner = tmp.line(it->line)->cell(it->cell);
            if (owner == c)
                return R::Malformed;
            c->m_ownerCell = owner;
        }
        for (auto it = covered.cbegin(); it != covered.cend(); ++it) {
            TReportCell* owner = it.key();
            for (const CellRef& ref : it.value()) {
                TReportCell* c = tmp.line(ref.line)->cell(ref.cell);
                if (c->m_ownerCell != owner || owner->m_cellsList.contains(c)) {
                    tmp.clear();
                    return R::Malformed;
                }
                owner->m_cellsList.append(c);
            }
        }
        for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
            TReportCell* c = it.key();
            if (!c->m_ownerCell->m_cellsList.contains(c) || c->m_ownerCell->m_ownerCell || c->isOwner()) {
                tmp.clear();
                return R::Malformed;
            }
        }

        emit target.aboutToReload();
        target.clear();
        target.copyPageFrom(tmp);
        target.m_zoom = 100;
        target.m_streamVersion = mark;
        for (auto& l : tmp.m_lines)
            l->m_control = &target;
        target.m_lines = std::move(tmp.m_lines);
        tmp.m_lines.clear();
        target.layout();
        if (consumed)
            *consumed = r.pos();
        emit target.repaintNeeded(QRect(0, 0, target.m_pageWidth, target.m_pageHeight));
        return R::Ok;
    }

    static bool valid(const CellRef& ref, const QList<qint32>& counts)
    {
        return ref.line >= 0 && ref.line < counts.size() && ref.cell >= 0 && ref.cell < counts[ref.line];
    }

    static bool write(const TReportControl& c, QByteArray& out, QString* error)
    {
        Writer w(out);
        w.u16(TReportControl::VersionAA57);
        w.i32(100);
        w.i32(c.m_pageWidth);
        w.i32(c.m_pageHeight);
        for (int v : {c.m_leftMargin, c.m_topMargin, c.m_rightMargin, c.m_bottomMargin, c.m_leftMarginMm,
                      c.m_topMarginMm, c.m_rightMarginMm, c.m_bottomMarginMm})
            w.i32(v);
        w.u8(c.m_reservedByte);
        w.i32(c.m_reservedInt1);
        w.i32(c.m_reservedInt2);
        w.i32(c.lineCount());
        for (auto& l : c.m_lines)
            w.i32(l->cellCount());
        for (auto& l : c.m_lines) {
            w.i32(l->m_index);
            w.i32(l->m_neededHeight);
            w.i32(l->m_setHeight);
            w.i32(l->m_top);
            w.rect(l->m_lineRect);
            for (auto& cell : l->m_cells) {
                w.i32(cell->m_textMargin);
                w.i32(cell->m_index);
                w.i32(cell->m_left);
                w.i32(cell->m_width);
                w.rect(cell->m_cellRect);
                w.rect(cell->m_textRect);
                w.i32(cell->m_setHeight);
                w.i32(cell->m_requiredHeight);
                w.i32(cell->m_mergedTextHeight);
                for (const TCellBorder& b : cell->m_borders) {
                    w.u8(b.drawn);
                    w.i32(b.width);
                }
                w.i32(qint32(cell->m_diagonal));
                w.i32(qint32(cell->m_textColor));
                w.i32(qint32(cell->m_backColor));
                w.i32(cell->m_horzAlign);
                w.i32(cell->m_vertAlign);
                if (!w.string(cell->m_text) || !w.string(cell->m_displayFormat)) {
                    if (error)
                        *error = QStringLiteral("单元格文字超过%1字节,报表模板不能保存").arg(MaxCellTextBytes);
                    return false;
                }
                const bool picture = cell->m_pictureFlag != 0 && !cell->m_bitmap.isEmpty();
                w.u8(picture ? cell->m_pictureFlag : 0);
                if (picture)
                    w.raw(cell->m_bitmap);
                w.raw(cell->m_logFont.toBytes());
                if (TReportCell* owner = cell->m_ownerCell) {
                    w.i32(c.indexOf(owner->line()));
                    w.i32(owner->line()->indexOf(owner));
                } else {
                    w.i32(-1);
                    w.i32(-1);
                }
                w.i32(qint32(cell->m_cellsList.size()));
                for (const TReportCell* m : cell->m_cellsList) {
                    w.i32(c.indexOf(m->line()));
                    w.i32(m->line()->indexOf(m));
                }
            }
        }
        w.i32(c.m_paperSize);
        w.i32(c.m_orientation);
        w.i32(c.m_paperLength);
        w.i32(c.m_paperWidth);
        w.i32(c.m_dataLineIndex);
        return true;
    }
};

TReportControl::ReadResult TReportControl::read(QIODevice& device, qint64 start)
{
    if (!device.isOpen() || !device.seek(start))
        return ReadResult::Malformed;
    const QByteArray bytes = device.readAll();
    qsizetype consumed = 0;
    const ReadResult result = ReportStreamIo::read(*this, bytes.constData(), bytes.size(), &consumed);
    if (result == ReadResult::Ok)
        device.seek(start + consumed);
    return result;
}

TReportControl::ReadResult TReportControl::read(const QByteArray& bytes)
{
    return ReportStreamIo::read(*this, bytes.constData(), bytes.size(), nullptr);
}

bool TReportControl::load(QIODevice& device, qint64 start)
{
    if (read(device, start) != ReadResult::Ok) {
        ShowWarning(QStringLiteral("格式不正确"));
        return false;
    }
    return true;
}

bool TReportControl::loadFromFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ShowWarning(QStringLiteral("格式不正确"));
        return false;
    }
    return load(f, 0);
}

bool TReportControl::save(QIODevice& device, qint64 start, QString* error)
{
    m_zoom = 100;
    QByteArray bytes;
    if (!ReportStreamIo::write(*this, bytes, error))
        return false;
    if (!device.seek(start) || device.write(bytes) != bytes.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

QByteArray TReportControl::saveToBytes(QString* error)
{
    m_zoom = 100;
    QByteArray bytes;
    if (!ReportStreamIo::write(*this, bytes, error))
        return {};
    return bytes;
}

bool TReportControl::saveToFile(const QString& path, QString* error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    if (!save(f, 0, error)) {
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}
