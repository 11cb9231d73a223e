#include "DatasetToExcel.h"

#include "ReportRowSource.h"
#include "common/Gbk.h"
#include "common/MessageSink.h"

#include <QSaveFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

class Sheet
{
public:
    void record(quint16 type, const QByteArray& body)
    {
        u16(type);
        u16(quint16(body.size()));
        m_out.append(body);
    }
    void begin()
    {
        QByteArray b;
        put16(b, 0x0000);
        put16(b, 0x0010); // worksheet
        put16(b, 0x0000);
        put16(b, 0x0000);
        record(0x0809, b);
    }
    void end() { record(0x000A, {}); }
    void text(int row, int col, const QString& s)
    {
        // The byte count is 16 bits and the record length too: a longer text is cut.
        QByteArray g = Gbk::encode(Gbk::byteLength(s) > 0xFFFF - 8 ? Gbk::truncated(s, 0xFFFF - 8) : s);
        QByteArray b = cell(row, col, 0);
        put16(b, quint16(g.size()));
        b.append(g);
        record(0x0204, b);
    }
    void number(int row, int col, double v)
    {
        QByteArray b = cell(row, col, 0);
        char d[8];
        qToLittleEndian(v, d);
        b.append(d, 8);
        record(0x0203, b);
    }
    void integer(int row, int col, qint32 v)
    {
        QByteArray b = cell(row, col, 0);
        char d[4];
        qToLittleEndian<quint32>(quint32(v) * 4u + 2u, d);
        b.append(d, 4);
        record(0x027E, b);
    }
    void blank(int row, int col) { record(0x0201, cell(row, col, 23)); }
    QByteArray bytes() const { return m_out; }

private:
    static void put16(QByteArray& b, quint16 v)
    {
        char d[2];
        qToLittleEndian(v, d);
        b.append(d, 2);
    }
    static QByteArray cell(int row, int col, quint16 format)
    {
        QByteArray b;
        put16(b, quint16(row));
        put16(b, quint16(col));
        put16(b, format);
        return b;
    }
    void u16(quint16 v) { put16(m_out, v); }
    QByteArray m_out;
};

// An integer record holds 30 bits; larger values go as numbers.
bool fitsRk(qint64 v)
{
    return v >= -(qint64(1) << 29) && v < (qint64(1) << 29);
}

// Entries across a row, or caption above text when an entry has a caption. Returns the rows used.
int writeEntries(Sheet& s, int row, int firstCol, const QList<TDatasetToExcel::Entry>& entries)
{
    bool captions = false;
    for (const auto& e : entries)
        captions = captions || !e.caption.isEmpty();
    for (int i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        if (!e.caption.isEmpty()) {
            s.text(row, firstCol + i, e.caption);
            s.text(row + 1, firstCol + i, e.text);
        } else {
            s.text(row, firstCol + i, e.text);
        }
    }
    return entries.isEmpty() ? 0 : (captions ? 2 : 1);
}

} // namespace

QByteArray TDatasetToExcel::records(QString* error)
{
    if (!Dataset || !Dataset->isOpen()) {
        *error = QStringLiteral("没有数据源");
        return {};
    }
    const int count = Dataset->recordCount();
    if (count <= 0) {
        *error = QStringLiteral("没有数据");
        return {};
    }
    const int headRows = headings.isEmpty() ? 0 : 2;
    if (headRows + 1 + count + 2 > MaxRows) {
        *error = QStringLiteral("数据超过%1行,不能导出到Excel文件").arg(MaxRows);
        return {};
    }
    const int position = Dataset->position();
    Dataset->disableControls();
    Sheet s;
    s.begin();
    int row = writeEntries(s, 0, 0, headings);
    const int shift = ID ? 1 : 0;
    if (ID)
        s.text(row, 0, QStringLiteral("序号"));
    for (int j = 0; j < columns.size(); ++j)
        s.text(row, shift + j, columns[j].caption);
    ++row;
    QList<int> fields;
    for (const Entry& c : std::as_const(columns))
        fields.append(Dataset->fieldIndex(c.text));
    for (int r = 0; r < count && Dataset->seek(r); ++r, ++row) {
        if (ID)
            s.integer(row, 0, r + 1);
        for (int j = 0; j < fields.size(); ++j) {
            const int f = fields[j];
            const int col = shift + j;
            if (f < 0 || Dataset->isNull(f)) {
                s.blank(row, col);
                continue;
            }
            const QVariant v = Dataset->value(f);
            bool ok = false;
            switch (Dataset->fieldKind(f)) {
            case ReportRowSource::FieldKind::Integer: {
                const qint64 i = v.toLongLong(&ok);
                if (ok && fitsRk(i))
                    s.integer(row, col, qint32(i));
                else if (ok)
                    s.number(row, col, double(i));
                else
                    s.text(row, col, Dataset->displayText(f));
                break;
            }
            case ReportRowSource::FieldKind::Float: {
                const double d = v.toDouble(&ok);
                if (ok && std::isfinite(d))
                    s.number(row, col, d);
                else
                    s.text(row, col, Dataset->displayText(f));
                break;
            }
            case ReportRowSource::FieldKind::Blob:
                s.text(row, col, QString());
                break;
            default:
                s.text(row, col, Dataset->displayText(f));
                break;
            }
        }
    }
    writeEntries(s, row, shift, closings);
    s.end();
    if (position >= 0)
        Dataset->seek(position);
    Dataset->enableControls();
    return s.bytes();
}

bool TDatasetToExcel::writeFile(const QString& path)
{
    QString error;
    const QByteArray bytes = records(&error);
    if (bytes.isEmpty()) {
        ShowWarning(error);
        return false;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        ShowWarning(QStringLiteral("不能写入文件：") + path);
        return false;
    }
    ShowWarning(QStringLiteral("数据成功导出到：") + path);
    return true;
}
