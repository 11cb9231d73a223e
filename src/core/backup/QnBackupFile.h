#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QFileDevice;

// Packs a set of files into one compressed backup archive, optionally split over volumes, and unpacks it
// again. The archive layout (all integers 32-bit signed little-endian, texts as GBK bytes):
//   TitleLength, Title, TotalSize, FileCount, file records…, EndMark 0
//   file record: NameLength, Name, FileDate (DOS), Magic "EC2\0", blocks…, BlockEnd 0
//   block: L > 0 a zlib stream of at most 16384 input bytes; L < 0: -L bytes stored raw
// A volume that fills in the middle of a file ends the file's blocks with 0 and a "NEXT:DISK" + "001"…
// record; the next volume (the archive's name with the extension ".001", ".002" …) starts with the Magic
// and the rest of the blocks.
class TQnBackupFile : public QObject
{
    Q_OBJECT
public:
    enum TBackupMode
    {
        bmAll,
        bmIncremental
    };
    enum TCompressionLevel
    {
        clFastest,
        clNone,
        clDefault,
        clMax
    };
    enum TRestoreMode
    {
        rmAll,
        rmNoOverwrite,
        rmNewer,
        rmExisting,
        rmExistingNewer
    };
    // The error codes of the component; ErrorText gives each its message.
    enum TBackupError
    {
        errNone = 0,
        errReadFile = 1,       // "不能读文件"
        errOverwrite = 2,      // "覆盖文件失败"
        errReadArchive = 3,    // "不能读备份的文件"
        errWriteArchive = 4,   // "不能写备份的文件"
        errInvalidArchive = 5, // "无效的备份文件"
        errCompression = 6,    // "压缩错误"
        errFileIdTemp = 7      // "不能建立临时文件去保存文件标示"
    };

    static constexpr int BlockSize = 16384;
    // Room kept free at the end of a volume for one more block, its BlockEnd and the "NEXT:DISK" record.
    static constexpr int VolumeReserve = 16484;
    static const char* const FileListName; // "FILE:LIST"

    // One entry as List reads it back.
    struct TArchiveEntry
    {
        QString Name;
        qint32 FileDate = 0;
        qint64 Size = 0;
    };
    struct TArchiveInfo
    {
        QString Title;
        qint32 TotalSize = 0;
        qint32 FileCount = 0;
        int Volumes = 1;
        QList<TArchiveEntry> Entries;
    };

    explicit TQnBackupFile(QObject* parent = nullptr);
    ~TQnBackupFile() override;

    // Published properties.
    QString Version() const { return QStringLiteral("5.00"); }
    void setVersion(const QString&) {} // read-only: assignments are ignored
    QString BackupTitle() const { return m_backupTitle; }
    void setBackupTitle(const QString& title) { m_backupTitle = title; }
    TBackupMode BackupMode() const { return m_backupMode; }
    void setBackupMode(TBackupMode mode);
    TCompressionLevel CompressionLevel() const { return m_compressionLevel; }
    void setCompressionLevel(TCompressionLevel level) { m_compressionLevel = level; }
    TRestoreMode RestoreMode() const { return m_restoreMode; }
    void setRestoreMode(TRestoreMode mode) { m_restoreMode = mode; }
    qint64 MaxSize() const { return m_maxSize; }
    void setMaxSize(qint64 bytes) { m_maxSize = bytes < 0 ? 0 : bytes; }
    bool SetArchiveFlag() const { return m_setArchiveFlag; }
    void setSetArchiveFlag(bool on) { m_setArchiveFlag = on; }
    bool SaveFileID() const { return m_saveFileId; }
    void setSaveFileID(bool on) { m_saveFileId = on; }

    // Events. Continue / DoRestore come in true; a handler sets them false to stop / skip.
    std::function<void(TQnBackupFile* sender, const QString& fileName, int percent, bool& doContinue)> OnProgress;
    std::function<void(TQnBackupFile* sender, int diskId, bool& doContinue)> OnNeedDisk;
    std::function<void(TQnBackupFile* sender, QString& fileName, qint32 fileDate, bool& doRestore)> OnRestoreFile;
    std::function<void(TQnBackupFile* sender, QString& fileName, QFileDevice* stream)> OnFileRestored;
    std::function<void(TQnBackupFile* sender, int error, const QString& errString)> OnError;

    // Writes an archive of every file named by source to destination. wholeFolder: source is a folder and
    // every file directly in it is taken; otherwise source is a file name or a mask, and a trailing " /s"
    // takes the mask in every subfolder too. True when the archive was completed.
    bool Backup(const QString& source, const QString& destination, bool wholeFolder);
    // Restores every file of the archive: into destinationFolder under its own file name, or to its stored
    // full path when destinationFolder is empty. True when no error occurred and nothing stopped it.
    bool Restore(const QString& source, const QString& destinationFolder);
    // Reads the whole archive (every block unpacked and checked) and lists what it holds.
    bool List(const QString& source, TArchiveInfo* info);

    // After an operation: the error code (0 none) and whether it was stopped by a handler or the user.
    int ErrorCode() const { return m_errorCode; }
    QString ErrorString() const { return ErrorText(m_errorCode); }
    bool Stopped() const { return m_stopped; }
    // After Backup: the files stored (not counting the file-ID list) and the volume files written.
    int FileCount() const { return m_fileCount; }
    QStringList VolumeFiles() const { return m_volumeFiles; }
    // After Restore: stored names that could not be placed (no folder for them), so nothing was written.
    QStringList SkippedFiles() const { return m_skippedFiles; }

    // The files a backup takes, in the order it stores them: the source expanded as Backup describes,
    // without the destination itself; changedOnly keeps the files whose archive attribute is set.
    static QStringList SourceFiles(const QString& source, const QString& destination, bool wholeFolder,
                                   bool changedOnly = false);
    static QString ErrorText(int code);
    // Volume n (1, 2 …) of an archive: its extension replaced by "." and the last three digits of "00" + n.
    static QString VolumeName(const QString& archive, int volume);
    static QString VolumeDigits(int volume);
    // DOS date and time (date in the high word, two-second steps) in local time, and back.
    static qint32 DosDateTime(const QDateTime& when);
    static QDateTime FromDosDateTime(qint32 value);

    // Worker threads for the zlib work (0: all in the calling thread). The archive is the same either way.
    void setThreadCount(int threads) { m_threads = threads < 0 ? 0 : threads; }
    int threadCount() const { return m_threads; }

private:
    class Writer;
    class Reader;
    friend class Writer;
    friend class Reader;

    void setError(int code);
    void reportError();
    bool progress(const QString& fileName, qint64 done, qint64 total);
    void finalProgress();
    bool needDisk(int volume);
    void letEventsRun();
    int zlibLevel() const;

    QString m_backupTitle;
    TBackupMode m_backupMode = bmAll;
    TCompressionLevel m_compressionLevel = clFastest;
    TRestoreMode m_restoreMode = rmAll;
    qint64 m_maxSize = 0;
    bool m_setArchiveFlag = false;
    bool m_saveFileId = false;
    int m_threads;

    bool m_running = false;
    bool m_stopped = false;
    int m_errorCode = 0;
    int m_fileCount = 0;
    QStringList m_volumeFiles;
    QStringList m_skippedFiles;
    qint64 m_lastEvents = 0;
};
