#include "QnBackupFile.h"

#include "BlockPipeline.h"
#include "common/Gbk.h"
#include "common/MessageSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>

#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

const char* const TQnBackupFile::FileListName = "FILE:LIST";

namespace {

const char Magic[4] = {'E', 'C', '2', 0};
const QByteArray NextDisk = QByteArrayLiteral("NEXT:DISK");
// No path (and no title) comes near these; a longer length field means a damaged or foreign archive, and
// it must never decide how much memory we take.
constexpr qint32 MaxNameBytes = 32767;
constexpr qint32 MaxTitleBytes = 65535;
constexpr int MaxVolume = 999;       // three digits name the volume files
constexpr qint64 EventInterval = 50; // ms between two turns of the event loop during long loops

void putInt32(char* p, qint32 v)
{
    const auto u = quint32(v);
    p[0] = char(u & 0xFF);
    p[1] = char((u >> 8) & 0xFF);
    p[2] = char((u >> 16) & 0xFF);
    p[3] = char((u >> 24) & 0xFF);
}

qint32 getInt32(const char* p)
{
    const auto b = reinterpret_cast<const unsigned char*>(p);
    return qint32(quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24));
}

// Linux knows no archive attribute. It stands for "changed since the last backup that cleared it": clearing
// records the file's time and size in an extended attribute, and the attribute counts as set again as soon
// as either differs (or the file system keeps no extended attributes).
const char ArchivedAttribute[] = "user.vuzazo.archived";

QByteArray archiveStamp(const QFileInfo& fi)
{
    return QByteArray::number(fi.lastModified().toMSecsSinceEpoch()) + ':' + QByteArray::number(fi.size());
}

bool archiveAttributeSet(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    char value[64];
    const ssize_t n = ::getxattr(name.constData(), ArchivedAttribute, value, sizeof value);
    if (n <= 0)
        return true;
    return QByteArray(value, int(n)) != archiveStamp(QFileInfo(path));
}

void clearArchiveAttribute(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray stamp = archiveStamp(QFileInfo(path));
    ::setxattr(name.constData(), ArchivedAttribute, stamp.constData(), size_t(stamp.size()), 0);
}

// A mask as the user knows it: "*" and "?" are wildcards, every other character stands for itself, and
// "*.*" takes names without an extension too.
bool hasWildcard(const QString& mask)
{
    return mask.contains(QLatin1Char('*')) || mask.contains(QLatin1Char('?'));
}

QRegularExpression maskExpression(const QString& mask)
{
    QString pattern;
    for (const QChar c : (mask == QLatin1String("*.*") ? QStringLiteral("*") : mask)) {
        if (c == QLatin1Char('*'))
            pattern += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('.');
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::DotMatchesEverythingOption);
}

// The file part of a stored name, whichever system wrote it ("c:\data\a.db", "/srv/data/a.db", "c:a.db").
QString storedFilePart(const QString& name)
{
    qsizetype cut = qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    if (cut < 0 && name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter())
        cut = 1;
    return name.mid(cut + 1);
}

// One archive volume being written: a temporary file beside its final name, renamed only when the whole
// archive is complete, so a failed or stopped backup leaves an earlier archive of the same name whole.
class VolumeOut
{
public:
    ~VolumeOut() { discard(); }

    bool create(const QString& finalPath)
    {
        m_final = finalPath;
        for (int attempt = 0; attempt < 20; ++attempt) {
            m_file.setFileName(
                finalPath +
                QStringLiteral(".%1.part").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
            if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                break;
            if (m_file.error() != QFileDevice::OpenError || !QFileInfo::exists(m_file.fileName()))
                return false;
        }
        if (!m_file.isOpen())
            return false;
        m_temp = m_file.fileName();
        m_buffer.resize(256 * 1024);
        m_used = 0;
        m_pos = 0;
        return true;
    }
    bool write(const char* data, qint64 size)
    {
        m_pos += size;
        if (m_used + size > m_buffer.size() && !flushBuffer())
            return false;
        if (size >= m_buffer.size())
            return m_file.write(data, size) == size;
        std::memcpy(m_buffer.data() + m_used, data, size_t(size));
        m_used += size;
        return true;
    }
    bool writeInt32(qint32 v)
    {
        char b[4];
        putInt32(b, v);
        return write(b, 4);
    }
    qint64 pos() const { return m_pos; }
    // Flushes, syncs and closes; the file keeps its temporary name until commit().
    bool finish()
    {
        const bool ok = flushBuffer() && ::fsync(m_file.handle()) == 0;
        m_file.close();
        return ok && m_file.error() == QFileDevice::NoError;
    }
    bool commit()
    {
        if (std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_final).constData()) != 0)
            return false;
        m_temp.clear();
        return true;
    }
    void discard()
    {
        if (m_file.isOpen())
            m_file.close();
        if (!m_temp.isEmpty())
            QFile::remove(m_temp);
        m_temp.clear();
    }

private:
    bool flushBuffer()
    {
        if (m_used > 0 && m_file.write(m_buffer.constData(), m_used) != m_used)
            return false;
        m_used = 0;
        return true;
    }

    QFile m_file;
    QString m_final;
    QString m_temp;
    QByteArray m_buffer;
    qint64 m_used = 0;
    qint64 m_pos = 0;
};

// An archive volume being read, through a buffer; every read says whether the bytes were there.
class VolumeIn
{
public:
    bool open(const QString& path)
    {
        m_file.close();
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;
        m_size = m_file.size();
        m_buffer.resize(256 * 1024);
        m_bufferStart = 0;
        m_bufferPos = 0;
        m_bufferLength = 0;
        return true;
    }
    void close() { m_file.close(); }
    qint64 remaining() const { return m_size - (m_bufferStart + m_bufferPos); }

    bool read(char* dst, qint64 n)
    {
        if (n < 0 || n > remaining())
            return false;
        while (n > 0) {
            if (m_bufferPos == m_bufferLength && !refill())
                return false;
            const qint64 take = qMin(n, m_bufferLength - m_bufferPos);
            std::memcpy(dst, m_buffer.constData() + m_bufferPos, size_t(take));
            m_bufferPos += take;
            dst += take;
            n -= take;
        }
        return true;
    }
    bool readInt32(qint32& v)
    {
        char b[4];
        if (!read(b, 4))
            return false;
        v = getInt32(b);
        return true;
    }
    bool skip(qint64 n)
    {
        if (n < 0 || n > remaining())
            return false;
        if (n <= m_bufferLength - m_bufferPos) {
            m_bufferPos += n;
            return true;
        }
        const qint64 target = m_bufferStart + m_bufferPos + n;
        if (!m_file.seek(target))
            return false;
        m_bufferStart = target;
        m_bufferPos = 0;
        m_bufferLength = 0;
        return true;
    }

private:
    bool refill()
    {
        m_bufferStart += m_bufferLength;
        m_bufferPos = 0;
        m_bufferLength = 0;
        const qint64 got = m_file.read(m_buffer.data(), m_buffer.size());
        if (got <= 0)
            return false;
        m_bufferLength = got;
        return true;
    }

    QFile m_file;
    qint64 m_size = 0;
    QByteArray m_buffer;
    qint64 m_bufferStart = 0;
    qint64 m_bufferPos = 0;
    qint64 m_bufferLength = 0;
};

// Reads up to BlockSize bytes, as many as the file still has: less only at its end. -1 on a read error.
int readBlock(QFile& file, char* dst)
{
    int got = 0;
    while (got < TQnBackupFile::BlockSize) {
        const qint64 n = file.read(dst + got, TQnBackupFile::BlockSize - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += int(n);
    }
    return got;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Backup

class TQnBackupFile::Writer
{
public:
    struct Item
    {
        QString path;      // the file to read
        QByteArray stored; // the name in the archive
    };

    Writer(TQnBackupFile& owner, const QString& destination)
        : m_owner(owner), m_destination(destination),
          m_pipeline(BlockPipeline::Work::Deflate, owner.zlibLevel(), owner.m_threads)
    {
    }

    bool run(const QList<Item>& items, qint64 total, qint32 fileCount);

private:
    bool writeFile(const Item& item);
    bool fill(QFile& in, bool& eof);
    bool openVolume();
    bool nextVolume();
    bool out(const char* data, qint64 size);
    bool outInt32(qint32 v);

    TQnBackupFile& m_owner;
    QString m_destination;
    BlockPipeline m_pipeline;
    std::vector<std::unique_ptr<VolumeOut>> m_volumes;
    int m_volume = 0;
    qint64 m_blocksInVolume = 0;
    bool m_continuation = false; // the current volume began in the middle of a file
    qint64 m_total = 0;
    qint64 m_done = 0;
};

bool TQnBackupFile::Writer::out(const char* data, qint64 size)
{
    if (m_owner.m_errorCode)
        return false;
    if (!m_volumes.back()->write(data, size)) {
        m_owner.setError(errWriteArchive);
        return false;
    }
    return true;
}

bool TQnBackupFile::Writer::outInt32(qint32 v)
{
    char b[4];
    putInt32(b, v);
    return out(b, 4);
}

bool TQnBackupFile::Writer::openVolume()
{
    auto volume = std::make_unique<VolumeOut>();
    const QString path = m_volume == 0 ? m_destination : VolumeName(m_destination, m_volume);
    if (!volume->create(path)) {
        m_owner.setError(errWriteArchive);
        return false;
    }
    m_volumes.push_back(std::move(volume));
    m_blocksInVolume = 0;
    return true;
}

bool TQnBackupFile::Writer::nextVolume()
{
    if (m_volume >= MaxVolume) {
        m_owner.setError(errWriteArchive);
        return false;
    }
    ++m_volume;
    const QByteArray record = NextDisk + VolumeDigits(m_volume).toLatin1();
    if (!outInt32(qint32(record.size())) || !out(record.constData(), record.size()))
        return false;
    if (!m_volumes.back()->finish()) {
        m_owner.setError(errWriteArchive);
        return false;
    }
    if (!m_owner.needDisk(m_volume))
        return false;
    if (!openVolume())
        return false;
    m_continuation = true;
    return true;
}

bool TQnBackupFile::Writer::fill(QFile& in, bool& eof)
{
    while (!eof && !m_pipeline.full()) {
        BlockPipeline::Slot* slot = m_pipeline.next();
        const int n = readBlock(in, slot->input);
        if (n < 0) {
            m_owner.setError(errReadFile);
            return false;
        }
        if (n < BlockSize)
            eof = true;
        if (n == 0)
            break;
        slot->inputLength = n;
        m_pipeline.submit(true);
    }
    return true;
}

bool TQnBackupFile::Writer::writeFile(const Item& item)
{
    const QFileInfo fi(item.path);
    if (!outInt32(qint32(item.stored.size())) || !out(item.stored.constData(), item.stored.size()))
        return false;
    QFile in(item.path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_owner.setError(errReadFile);
        return false;
    }
    if (!outInt32(DosDateTime(fi.lastModified())))
        return false;
    const QString display = item.stored == FileListName ? QString::fromLatin1(FileListName) : item.path;
    bool eof = false;
    if (!fill(in, eof))
        return false;
    for (;;) {
        if (!out(Magic, 4))
            return false;
        while (m_owner.m_running && !m_pipeline.empty()) {
            // Room for one more block, its end and the next-disk record; a volume that began in the middle
            // of a file always takes one block, so that even a tiny volume size makes progress.
            const qint64 maxSize = m_owner.m_maxSize;
            if (maxSize != 0 && m_volumes.back()->pos() >= maxSize - VolumeReserve &&
                !(m_continuation && m_blocksInVolume == 0))
                break;
            BlockPipeline::Slot* slot = m_pipeline.front();
            if (slot->result == BlockPipeline::Result::Failed) {
                m_owner.setError(errCompression);
                return false;
            }
            const qint32 length = slot->result == BlockPipeline::Result::Raw ? -slot->length() : slot->length();
            if (!outInt32(length) || !out(slot->data(), slot->length()))
                return false;
            ++m_blocksInVolume;
            m_done += slot->inputLength;
            m_pipeline.pop();
            m_owner.letEventsRun();
            if (!m_owner.progress(display, m_done, m_total))
                break;
            if (!fill(in, eof))
                return false;
        }
        if (!outInt32(0))
            return false;
        if (!m_owner.m_running || m_pipeline.empty())
            break;
        if (!nextVolume())
            return false;
    }
    return true;
}

bool TQnBackupFile::Writer::run(const QList<Item>& items, qint64 total, qint32 fileCount)
{
    m_total = total;
    if (!openVolume())
        return false;
    const QByteArray title = Gbk::encodeName(m_owner.m_backupTitle);
    // The header keeps 32 bits; beyond 2 GB it says "at least this much" while progress counts in 64 bits.
    const qint32 totalField = qint32(qMin<qint64>(total, std::numeric_limits<qint32>::max()));
    if (!outInt32(qint32(title.size())) || !out(title.constData(), title.size()) || !outInt32(totalField) ||
        !outInt32(fileCount))
        return false;

    bool ok = true;
    for (const Item& item : items) {
        if (!m_owner.m_running)
            break;
        if (!QFileInfo::exists(item.path))
            continue;
        ok = writeFile(item);
        if (m_owner.m_setArchiveFlag && item.stored != FileListName)
            clearArchiveAttribute(item.path);
        if (!ok)
            break;
        if (item.stored != FileListName)
            ++m_owner.m_fileCount;
    }
    if (!ok || !m_owner.m_running || m_owner.m_errorCode)
        return false;
    if (!outInt32(0) || !m_volumes.back()->finish()) {
        m_owner.setError(errWriteArchive);
        return false;
    }
    // Every volume is complete: only now do they take their names, the first one last.
    for (size_t i = m_volumes.size(); i-- > 0;) {
        if (!m_volumes[i]->commit()) {
            m_owner.setError(errWriteArchive);
            return false;
        }
    }
    for (size_t i = 0; i < m_volumes.size(); ++i)
        m_owner.m_volumeFiles << (i == 0 ? m_destination : VolumeName(m_destination, int(i)));
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Restore and list

class TQnBackupFile::Reader
{
public:
    enum class Mode
    {
        Restore,
        List
    };

    Reader(TQnBackupFile& owner, Mode mode)
        : m_owner(owner), m_mode(mode), m_pipeline(BlockPipeline::Work::Inflate, 0, owner.m_threads)
    {
    }
    ~Reader() { discardCurrent(); }

    bool run(const QString& source, const QString& destinationFolder, TArchiveInfo* info);

private:
    enum class Kind
    {
        None,
        Skip,
        Restore,
        Count
    };

    bool readHeader(TArchiveInfo* info);
    bool readSegment();
    bool consumeOne();
    bool drain();
    bool finishCurrent();
    void discardCurrent();
    bool changeVolume(const QByteArray& name);
    bool beginFile(const QByteArray& rawName);
    QString placeTarget(const QString& name) const;
    bool fail(int code)
    {
        m_owner.setError(code);
        return false;
    }

    TQnBackupFile& m_owner;
    Mode m_mode;
    BlockPipeline m_pipeline;
    VolumeIn m_in;
    QString m_source;
    QString m_folder;
    TArchiveInfo* m_info = nullptr;
    int m_volume = 0;
    qint64 m_total = 0;
    qint64 m_done = 0;

    // The file whose blocks are being read; it stays open across a volume change.
    Kind m_kind = Kind::None;
    QString m_target;
    qint32 m_fileDate = 0;
    std::unique_ptr<QSaveFile> m_out;
};

QString TQnBackupFile::Reader::placeTarget(const QString& name) const
{
    if (name.contains(QChar(0)))
        return {};
    if (!m_folder.isEmpty()) {
        // Only the file part is used, so no stored name can lead out of the folder.
        const QString part = storedFilePart(name);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
        return m_folder + part;
    }
    // The stored full path, when it is one here: absolute and without "." or ".." steps.
    if (!QDir::isAbsolutePath(name) || QDir::cleanPath(name) != name)
        return {};
    return name;
}

bool TQnBackupFile::Reader::readHeader(TArchiveInfo* info)
{
    qint32 titleLength = 0;
    if (!m_in.readInt32(titleLength) || titleLength < 0 || titleLength > MaxTitleBytes ||
        titleLength > m_in.remaining())
        return false;
    QByteArray title(titleLength, Qt::Uninitialized);
    qint32 totalSize = 0;
    qint32 fileCount = 0;
    if (!m_in.read(title.data(), titleLength) || !m_in.readInt32(totalSize) || !m_in.readInt32(fileCount))
        return false;
    m_total = totalSize > 0 ? totalSize : 0;
    if (info) {
        info->Title = Gbk::decodeName(title);
        info->TotalSize = totalSize;
        info->FileCount = fileCount;
    }
    return true;
}

bool TQnBackupFile::Reader::consumeOne()
{
    BlockPipeline::Slot* slot = m_pipeline.front();
    if (slot->result == BlockPipeline::Result::Failed) {
        m_pipeline.pop();
        return fail(errCompression);
    }
    const int length = slot->length();
    if (m_kind == Kind::Restore && m_out->write(slot->data(), length) != length) {
        m_pipeline.pop();
        return fail(errReadFile);
    }
    if (m_kind == Kind::Count && m_info && !m_info->Entries.isEmpty())
        m_info->Entries.last().Size += length;
    m_pipeline.pop();
    m_done += length;
    m_owner.letEventsRun();
    m_owner.progress(m_mode == Mode::List ? m_info->Entries.last().Name : m_target, m_done, m_total);
    return true;
}

bool TQnBackupFile::Reader::drain()
{
    while (!m_pipeline.empty()) {
        if (!m_owner.m_running || m_owner.m_errorCode) {
            m_pipeline.front();
            m_pipeline.pop();
            continue;
        }
        consumeOne();
    }
    return m_owner.m_running && !m_owner.m_errorCode;
}

bool TQnBackupFile::Reader::readSegment()
{
    char magic[4];
    if (!m_in.read(magic, 4))
        return fail(errReadArchive);
    if (std::memcmp(magic, Magic, 4) != 0)
        return fail(errInvalidArchive);
    for (;;) {
        qint32 length = 0;
        if (!m_in.readInt32(length))
            return fail(errReadArchive);
        if (length == 0)
            return true;
        // A block never holds more than BlockSize bytes, packed or raw.
        const qint64 size = length < 0 ? -qint64(length) : qint64(length);
        if (size > BlockSize)
            return fail(errInvalidArchive);
        if (m_kind == Kind::None || m_kind == Kind::Skip) {
            if (!m_in.skip(size))
                return fail(errReadArchive);
            m_owner.letEventsRun();
            continue;
        }
        BlockPipeline::Slot* slot = m_pipeline.next();
        if (!m_in.read(slot->input, size))
            return fail(errReadArchive);
        slot->inputLength = int(size);
        m_pipeline.submit(length > 0);
        if (m_pipeline.full() && !consumeOne())
            return false;
        if (!m_owner.m_running)
            return false;
    }
}

bool TQnBackupFile::Reader::finishCurrent()
{
    const bool ok = drain();
    if (m_kind == Kind::Restore && ok) {
        if (m_owner.OnFileRestored)
            m_owner.OnFileRestored(&m_owner, m_target, m_out.get());
        // Written and flushed before the date is set, so the date stays.
        m_out->flush();
        const QDateTime when = FromDosDateTime(m_fileDate);
        if (when.isValid())
            m_out->setFileTime(when, QFileDevice::FileModificationTime);
        if (!m_out->commit()) {
            m_out.reset();
            m_kind = Kind::None;
            return fail(errOverwrite);
        }
        m_out.reset();
    }
    if (!ok)
        discardCurrent();
    m_kind = Kind::None;
    return ok;
}

void TQnBackupFile::Reader::discardCurrent()
{
    if (m_out) {
        m_out->cancelWriting();
        m_out.reset(); // the temporary file goes; an earlier file of that name stays whole
    }
    m_kind = Kind::None;
}

bool TQnBackupFile::Reader::changeVolume(const QByteArray& name)
{
    // "NEXT:DISK" and three digits; volumes only go forward, so a damaged archive cannot loop.
    const QByteArray digits = name.mid(NextDisk.size());
    bool isNumber = digits.size() == 3;
    for (char c : digits)
        isNumber = isNumber && c >= '0' && c <= '9';
    const int volume = isNumber ? digits.toInt() : 0;
    if (name.size() != NextDisk.size() + 3 || !isNumber || volume <= m_volume)
        return fail(errInvalidArchive);
    if (!drain())
        return false;
    m_in.close();
    const QString path = VolumeName(m_source, volume);
    for (;;) {
        if (!m_owner.needDisk(volume))
            return false;
        if (QFileInfo(path).isFile())
            break;
    }
    if (!m_in.open(path))
        return fail(errReadArchive);
    m_volume = volume;
    if (m_info)
        m_info->Volumes = volume + 1;
    return readSegment();
}

bool TQnBackupFile::Reader::beginFile(const QByteArray& rawName)
{
    qint32 fileDate = 0;
    if (!m_in.readInt32(fileDate))
        return fail(errReadArchive);
    const QString name = Gbk::decodeName(rawName);
    m_fileDate = fileDate;
    m_kind = Kind::Skip;
    if (m_mode == Mode::List) {
        m_info->Entries.append({name, fileDate, 0});
        m_kind = Kind::Count;
        return readSegment();
    }
    if (rawName == FileListName)
        return readSegment();

    QString target = placeTarget(name);
    bool doRestore = false;
    if (!target.isEmpty()) {
        const QFileInfo fi(target);
        const bool exists = fi.exists();
        // DOS dates compare as unsigned, so years from 2044 on still count as later.
        const bool older = exists && quint32(DosDateTime(fi.lastModified())) < quint32(fileDate);
        switch (m_owner.m_restoreMode) {
        case rmAll:
            doRestore = true;
            break;
        case rmNoOverwrite:
            doRestore = !exists;
            break;
        case rmNewer:
            doRestore = !exists || older;
            break;
        case rmExisting:
            doRestore = exists;
            break;
        case rmExistingNewer:
            doRestore = older;
            break;
        }
        if (m_owner.OnRestoreFile)
            m_owner.OnRestoreFile(&m_owner, target, fileDate, doRestore);
    }
    if (target.isEmpty()) {
        m_owner.m_skippedFiles << name;
        return readSegment();
    }
    if (!doRestore)
        return readSegment();
    const QString folder = QFileInfo(target).absolutePath();
    QDir().mkpath(folder);
    if (!QFileInfo(folder).isDir()) {
        m_owner.m_skippedFiles << name;
        return readSegment();
    }
    m_out = std::make_unique<QSaveFile>(target);
    if (!m_out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        m_out.reset();
        return fail(errReadFile);
    }
    m_target = target;
    m_kind = Kind::Restore;
    return readSegment();
}

bool TQnBackupFile::Reader::run(const QString& source, const QString& destinationFolder, TArchiveInfo* info)
{
    m_source = source;
    m_info = info;
    m_folder = destinationFolder;
    if (!m_folder.isEmpty() && !m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    if (!m_in.open(source) || !readHeader(info))
        return fail(errReadArchive);
    QByteArray name;
    while (m_owner.m_running && !m_owner.m_errorCode) {
        qint32 nameLength = 0;
        if (!m_in.readInt32(nameLength))
            return fail(errReadArchive);
        if (nameLength == 0)
            return finishCurrent(); // EndMark
        if (nameLength < 0)
            continue;
        if (nameLength > MaxNameBytes)
            return fail(errInvalidArchive);
        if (nameLength > m_in.remaining())
            return fail(errReadArchive);
        name.resize(nameLength);
        if (!m_in.read(name.data(), nameLength))
            return fail(errReadArchive);
        if (name.startsWith(NextDisk)) {
            if (!changeVolume(name))
                return false;
            continue;
        }
        if (!finishCurrent())
            return false;
        if (!beginFile(name))
            return false;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------------

TQnBackupFile::TQnBackupFile(QObject* parent) : QObject(parent)
{
    // The main thread reads and writes; the zlib work goes to one worker per core.
    m_threads = qBound(1, QThread::idealThreadCount(), 8);
}

TQnBackupFile::~TQnBackupFile() = default;

void TQnBackupFile::setBackupMode(TBackupMode mode)
{
    m_backupMode = mode;
    if (mode == bmIncremental)
        m_setArchiveFlag = true;
}

int TQnBackupFile::zlibLevel() const
{
    switch (m_compressionLevel) {
    case clFastest:
        return 1;
    case clNone:
        return 0;
    case clDefault:
        return -1;
    case clMax:
        return 9;
    }
    return 1;
}

QString TQnBackupFile::ErrorText(int code)
{
    switch (code) {
    case errReadFile:
        return QStringLiteral("不能读文件");
    case errOverwrite:
        return QStringLiteral("覆盖文件失败");
    case errReadArchive:
        return QStringLiteral("不能读备份的文件");
    case errWriteArchive:
        return QStringLiteral("不能写备份的文件");
    case errInvalidArchive:
        return QStringLiteral("无效的备份文件");
    case errCompression:
        return QStringLiteral("压缩错误");
    case errFileIdTemp:
        return QStringLiteral("不能建立临时文件去保存文件标示");
    default:
        return {};
    }
}

QString TQnBackupFile::VolumeDigits(int volume)
{
    return (QStringLiteral("00") + QString::number(volume)).right(3);
}

QString TQnBackupFile::VolumeName(const QString& archive, int volume)
{
    // The extension is whatever follows the last dot of the file name ("… 10.30备份文件" ends in ".30备份文件").
    const qsizetype slash = archive.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = archive.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? archive.left(dot) : archive;
    return stem + QLatin1Char('.') + VolumeDigits(volume);
}

qint32 TQnBackupFile::DosDateTime(const QDateTime& when)
{
    QDateTime local = when.toLocalTime();
    const QDate first(1980, 1, 1);
    const QDate last(2107, 12, 31);
    if (!local.isValid() || local.date() < first)
        local = QDateTime(first, QTime(0, 0));
    else if (local.date() > last)
        local = QDateTime(last, QTime(23, 59, 58));
    const QDate d = local.date();
    const QTime t = local.time();
    const quint32 date = (quint32(d.year() - 1980) << 9) | (quint32(d.month()) << 5) | quint32(d.day());
    const quint32 time = (quint32(t.hour()) << 11) | (quint32(t.minute()) << 5) | quint32(t.second() / 2);
    return qint32((date << 16) | time);
}

QDateTime TQnBackupFile::FromDosDateTime(qint32 value)
{
    const quint32 u = quint32(value);
    const quint32 date = u >> 16;
    const quint32 time = u & 0xFFFF;
    const QDate d(int(1980 + (date >> 9)), int((date >> 5) & 15), int(date & 31));
    const QTime t(int(time >> 11), int((time >> 5) & 63), int((time & 31) * 2));
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t);
}

void TQnBackupFile::setError(int code)
{
    if (m_errorCode == 0)
        m_errorCode = code;
    m_running = false;
}

void TQnBackupFile::reportError()
{
    if (m_errorCode == 0)
        return;
    if (OnError)
        OnError(this, m_errorCode, ErrorText(m_errorCode));
    else
        ShowError(ErrorText(m_errorCode));
}

bool TQnBackupFile::progress(const QString& fileName, qint64 done, qint64 total)
{
    if (!OnProgress)
        return m_running;
    int percent = 0;
    if (total > 0)
        percent = int(qMin<qint64>(100, done * 100 / total));
    bool doContinue = true;
    OnProgress(this, fileName, percent, doContinue);
    if (!doContinue && m_running) {
        m_running = false;
        m_stopped = true;
    }
    return m_running;
}

void TQnBackupFile::finalProgress()
{
    // The closing call reports 100 %; there is nothing left for it to stop.
    if (!OnProgress)
        return;
    bool doContinue = true;
    OnProgress(this, QString(), 100, doContinue);
}

bool TQnBackupFile::needDisk(int volume)
{
    bool doContinue = true;
    if (OnNeedDisk)
        OnNeedDisk(this, volume, doContinue);
    else
        doContinue = AskOkCancel(QStringLiteral("请插入一个空白的磁盘%1并且按《确定》按钮继续。").arg(volume));
    if (!doContinue) {
        m_running = false;
        m_stopped = true;
    }
    return doContinue;
}

void TQnBackupFile::letEventsRun()
{
    // Window messages run now and then, not after every 16 KB block: the loop stays fast and the window
    // stays responsive.
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    const qint64 now = clock.elapsed();
    if (now - m_lastEvents < EventInterval)
        return;
    m_lastEvents = now;
    if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
        QCoreApplication::processEvents();
}

QStringList TQnBackupFile::SourceFiles(const QString& source, const QString& destination, bool wholeFolder,
                                       bool changedOnly)
{
    const QString destinationPath = QFileInfo(destination).absoluteFilePath();
    const QString destinationCanonical = QFileInfo(destination).canonicalFilePath();
    QStringList files;
    QSet<QString> seen;
    // Names keep their case: Linux file systems tell "a.db" from "A.DB".
    auto add = [&](const QFileInfo& fi) {
        const QString path = fi.absoluteFilePath();
        if (seen.contains(path) || path == destinationPath)
            return;
        if (!destinationCanonical.isEmpty() && fi.canonicalFilePath() == destinationCanonical)
            return;
        if (changedOnly && !archiveAttributeSet(path))
            return;
        seen.insert(path);
        files << path;
    };
    // Regular files and links to them, hidden ones too; devices, pipes and sockets are never read.
    const QDir::Filters fileFilter = QDir::Files | QDir::Hidden | QDir::CaseSensitive;
    std::function<void(const QString&)> expand = [&](const QString& spec) {
        QString mask = spec.trimmed();
        bool subfolders = false;
        if (mask.endsWith(QLatin1String(" /s"), Qt::CaseInsensitive)) {
            subfolders = true;
            mask = mask.left(mask.size() - 3).trimmed();
        }
        const QFileInfo fi(mask);
        const QDir folder = fi.absoluteDir();
        const QString pattern = fi.fileName();
        if (subfolders) {
            const QFileInfoList dirs =
                folder.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
            for (const QFileInfo& d : dirs)
                expand(d.absoluteFilePath() + QLatin1Char('/') + pattern + QStringLiteral(" /s"));
        }
        if (pattern.isEmpty())
            return;
        if (!hasWildcard(pattern)) {
            const QFileInfo one(folder.filePath(pattern));
            if (one.isFile() && QFile::exists(one.absoluteFilePath()))
                add(one);
            return;
        }
        const QRegularExpression match = maskExpression(pattern);
        for (const QFileInfo& f : folder.entryInfoList(fileFilter, QDir::Name)) {
            if (match.match(f.fileName()).hasMatch())
                add(f);
        }
    };
    if (wholeFolder) {
        for (const QFileInfo& f : QDir(source).entryInfoList(fileFilter, QDir::Name))
            add(f);
    } else {
        expand(source);
    }

    return files;
}

bool TQnBackupFile::Backup(const QString& source, const QString& destination, bool wholeFolder)
{
    m_running = true;
    m_stopped = false;
    m_errorCode = 0;
    m_fileCount = 0;
    m_volumeFiles.clear();
    m_skippedFiles.clear();

    const QString destinationPath = QFileInfo(destination).absoluteFilePath();
    const QStringList files = SourceFiles(source, destination, wholeFolder, m_backupMode == bmIncremental);

    progress(QString(), 0, 0);

    QList<Writer::Item> items;
    qint64 total = 0;
    qint32 fileCount = 0;
    QByteArray idList;
    for (const QString& path : std::as_const(files)) {
        const QFileInfo fi(path);
        if (!fi.exists())
            continue;
        total += fi.size();
        ++fileCount;
        items.append({path, Gbk::encodeName(path)});
        if (m_saveFileId)
            idList += Gbk::encodeName(
                QStringLiteral("%1\t%2=%3\r\n").arg(path).arg(DosDateTime(fi.lastModified())).arg(fi.size()));
    }
    QTemporaryFile idFile(QDir::temp().filePath(QStringLiteral("FIDXXXXXX")));
    if (m_saveFileId) {
        if (!idFile.open() || idFile.write(idList) != idList.size() || !idFile.flush()) {
            setError(errFileIdTemp);
        } else {
            idFile.close();
            items.prepend({idFile.fileName(), QByteArray(FileListName)});
            total += idList.size();
        }
    }

    bool ok = false;
    if (!m_errorCode) {
        Writer writer(*this, destinationPath);
        ok = writer.run(items, total, fileCount) && !m_errorCode;
    }
    finalProgress();
    reportError();
    return ok;
}

bool TQnBackupFile::Restore(const QString& source, const QString& destinationFolder)
{
    m_running = true;
    m_stopped = false;
    m_errorCode = 0;
    m_skippedFiles.clear();
    if (!QFileInfo(source).isFile())
        return false;
    bool ok = false;
    {
        Reader reader(*this, Reader::Mode::Restore);
        ok = reader.run(source, destinationFolder, nullptr);
    }
    finalProgress();
    reportError();
    return ok && !m_errorCode && !m_stopped;
}

bool TQnBackupFile::List(const QString& source, TArchiveInfo* info)
{
    m_running = true;
    m_stopped = false;
    m_errorCode = 0;
    TArchiveInfo local;
    if (!info)
        info = &local;
    *info = TArchiveInfo();
    if (!QFileInfo(source).isFile())
        return false;
    bool ok = false;
    {
        Reader reader(*this, Reader::Mode::List);
        ok = reader.run(source, QString(), info);
    }
    finalProgress();
    reportError();
    return ok && !m_errorCode && !m_stopped;
}
