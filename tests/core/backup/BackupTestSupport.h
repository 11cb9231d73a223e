#pragma once

// Fixtures for the backup archive tests: files with chosen bytes and dates, and an archive writer and parser
// written straight from the archive layout (one thread, zlib's compress2), so that the component's archives
// can be compared byte for byte with an independent one.

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QStringEncoder>

#include <zlib.h>

namespace BackupTest {

inline QByteArray int32(qint32 v)
{
    QByteArray b(4, '\0');
    const auto u = quint32(v);
    for (int i = 0; i < 4; ++i)
        b[i] = char((u >> (8 * i)) & 0xFF);
    return b;
}

inline qint32 int32At(const QByteArray& b, qsizetype pos)
{
    quint32 u = 0;
    for (int i = 0; i < 4; ++i)
        u |= quint32(quint8(b.at(pos + i))) << (8 * i);
    return qint32(u);
}

inline QByteArray gbk(const QString& text)
{
    QStringEncoder enc("GBK");
    return enc.encode(text);
}

// Text that compresses like table data: words, numbers and Chinese names in rows.
inline QByteArray textLike(qsizetype size, quint32 seed)
{
    QRandomGenerator rng(seed);
    static const char* const words[] = {"档案", "明细", "借阅", "归还", "ARCHIVE",  "2009-03-25", "张伟", "王芳",
                                        "卷宗", "文书", "科技", "会计", "保管期限", "永久",       "长期", "短期"};
    QByteArray out;
    out.reserve(size + 64);
    while (out.size() < size) {
        out += words[rng.bounded(16)];
        out += rng.bounded(4) == 0 ? "\n" : "\t";
        if (rng.bounded(3) == 0)
            out += QByteArray::number(rng.bounded(100000));
    }
    out.truncate(size);
    return out;
}

inline QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(rng.generate() & 0xFF);
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& data, const QDateTime& when = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        return false;
    f.flush();
    if (when.isValid() && !f.setFileTime(when, QFileDevice::FileModificationTime))
        return false;
    return true;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

// DOS date and time written out by hand (date high word: years since 1980, month, day; time: hour, minute,
// seconds / 2).
inline qint32 dosDate(const QDateTime& when)
{
    const QDateTime t = when.toLocalTime();
    const quint32 date =
        (quint32(t.date().year() - 1980) << 9) | (quint32(t.date().month()) << 5) | quint32(t.date().day());
    const quint32 time =
        (quint32(t.time().hour()) << 11) | (quint32(t.time().minute()) << 5) | quint32(t.time().second() / 2);
    return qint32((date << 16) | time);
}

struct RefFile
{
    QByteArray name;
    qint32 date = 0;
    QByteArray data;
};

// The archive as the layout describes it, volume by volume.
inline QList<QByteArray> referenceArchive(const QByteArray& title, qint64 total, qint32 count,
                                          const QList<RefFile>& files, int level, qint64 maxSize = 0)
{
    QList<QByteArray> volumes{QByteArray()};
    int volume = 0;
    auto cur = [&]() -> QByteArray& { return volumes.last(); };
    cur() += int32(qint32(title.size())) + title + int32(qint32(qMin<qint64>(total, 0x7FFFFFFF))) + int32(count);
    for (const RefFile& f : files) {
        cur() += int32(qint32(f.name.size())) + f.name + int32(f.date);
        qsizetype pos = 0;
        for (;;) {
            cur() += QByteArray("EC2\0", 4);
            while (pos < f.data.size()) {
                if (maxSize != 0 && cur().size() >= maxSize - 16484)
                    break;
                const QByteArray in = f.data.mid(pos, 16384);
                QByteArray out(16384, '\0');
                uLongf outLen = 16384;
                const int rc = compress2(reinterpret_cast<Bytef*>(out.data()), &outLen,
                                         reinterpret_cast<const Bytef*>(in.constData()), uLong(in.size()), level);
                if (rc == Z_OK)
                    cur() += int32(qint32(outLen)) + out.left(qsizetype(outLen));
                else
                    cur() += int32(-qint32(in.size())) + in;
                pos += in.size();
            }
            cur() += int32(0);
            if (pos >= f.data.size())
                break;
            ++volume;
            const QByteArray next = "NEXT:DISK" + (QByteArray("00") + QByteArray::number(volume)).right(3);
            cur() += int32(qint32(next.size())) + next;
            volumes.append(QByteArray());
        }
    }
    cur() += int32(0);
    return volumes;
}

// The records of a one-volume archive, for looking at single fields.
struct ParsedRecord
{
    QByteArray name;
    qint32 date = 0;
    QByteArray magic;
    QList<qint32> lengths;
    QList<qsizetype> offsets; // where each length field is
};
struct ParsedArchive
{
    QByteArray title;
    qint32 total = 0;
    qint32 count = 0;
    QList<ParsedRecord> records;
    bool endMark = false;
};

inline ParsedArchive parseArchive(const QByteArray& a)
{
    ParsedArchive p;
    qsizetype pos = 0;
    const qint32 tl = int32At(a, pos);
    p.title = a.mid(pos + 4, tl);
    pos += 4 + tl;
    p.total = int32At(a, pos);
    p.count = int32At(a, pos + 4);
    pos += 8;
    while (pos + 4 <= a.size()) {
        const qint32 nl = int32At(a, pos);
        pos += 4;
        if (nl == 0) {
            p.endMark = true;
            break;
        }
        ParsedRecord r;
        r.name = a.mid(pos, nl);
        pos += nl;
        if (r.name.startsWith("NEXT:DISK")) {
            p.records.append(r);
            break;
        }
        r.date = int32At(a, pos);
        r.magic = a.mid(pos + 4, 4);
        pos += 8;
        for (;;) {
            const qint32 l = int32At(a, pos);
            r.offsets << pos;
            r.lengths << l;
            pos += 4;
            if (l == 0)
                break;
            pos += l < 0 ? -qsizetype(l) : qsizetype(l);
        }
        p.records.append(r);
    }
    return p;
}

} // namespace BackupTest
