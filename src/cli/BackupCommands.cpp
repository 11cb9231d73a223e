#include "CliCommand.h"

#include "backup/QnBackupFile.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

// vuzazo-cli backup, restore and list: the backup archive component for administrators and scripts.
// Exit status: 0 success, 1 failure (the component's message is printed), 2 wrong arguments.

namespace {

bool unexpected(const QStringList& args, int positional)
{
    if (args.size() == positional)
        return false;
    cliErr(unexpectedArguments(args.mid(positional)));
    return true;
}

// Progress on a terminal only; scripts get the results, not a running percentage.
void watchProgress(TQnBackupFile& file, const QString& verb)
{
    if (!::isatty(STDERR_FILENO))
        return;
    auto last = std::make_shared<int>(-1);
    file.OnProgress = [verb, last](TQnBackupFile*, const QString&, int percent, bool&) {
        if (percent == *last)
            return;
        *last = percent;
        cliErr(QStringLiteral("\r%1 %2%").arg(verb).arg(percent, 3));
        if (percent == 100)
            cliErr(QStringLiteral("\n"));
    };
}

void printErrors(TQnBackupFile& file)
{
    file.OnError = [](TQnBackupFile*, int, const QString& text) { cliErr(text + QLatin1Char('\n')); };
}

// The volumes of an archive lie beside it; a missing one ends the run with the reader's message.
void findVolumes(TQnBackupFile& file, const QString& archive)
{
    file.OnNeedDisk = [archive](TQnBackupFile*, int disk, bool& doContinue) {
        const QString volume = TQnBackupFile::VolumeName(archive, disk);
        doContinue = QFileInfo(volume).isFile();
        if (!doContinue)
            cliErr(QStringLiteral("%1: %2\n").arg(TQnBackupFile::ErrorText(TQnBackupFile::errReadArchive), volume));
    };
}

bool archiveExists(const QString& archive)
{
    if (QFileInfo(archive).isFile())
        return true;
    cliErr(QStringLiteral("%1: %2\n").arg(TQnBackupFile::ErrorText(TQnBackupFile::errReadArchive), archive));
    return false;
}

int runBackup(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString title = CliArgs::take(args, QStringLiteral("--title"));
    const QString level = CliArgs::take(args, QStringLiteral("--level"));
    bool sizeGiven = false;
    const QString volumeSize = CliArgs::take(args, QStringLiteral("--volume-size"), &sizeGiven);
    const bool fileList = CliArgs::flag(args, QStringLiteral("--file-list"));
    // "mask /s" may arrive as one argument or as two.
    bool subfolders = CliArgs::flag(args, QStringLiteral("/s")) || CliArgs::flag(args, QStringLiteral("/S"));
    if (args.size() < 2 || unexpected(args, 2)) {
        cliErr(QStringLiteral("用法: vuzazo-cli backup SOURCE ARCHIVE [--title T] [--level fastest|none|default|max] "
                              "[--volume-size BYTES] [--file-list]\n"));
        return 2;
    }
    QString source = args[0];
    if (source.endsWith(QLatin1String(" /s"), Qt::CaseInsensitive)) {
        source.chop(3);
        subfolders = true;
    }
    const QString archive = QFileInfo(args[1]).absoluteFilePath();

    TQnBackupFile file;
    static const QStringList levels = {QStringLiteral("fastest"), QStringLiteral("none"), QStringLiteral("default"),
                                       QStringLiteral("max")};
    if (!level.isEmpty()) {
        const qsizetype i = levels.indexOf(level);
        if (i < 0) {
            cliErr(QStringLiteral("--level 只能是 fastest、none、default 或 max\n"));
            return 2;
        }
        file.setCompressionLevel(TQnBackupFile::TCompressionLevel(i));
    }
    if (sizeGiven) {
        bool ok = false;
        const qint64 bytes = volumeSize.toLongLong(&ok);
        if (!ok || bytes < 0) {
            cliErr(QStringLiteral("--volume-size 要写每卷的字节数 (0: 只有一卷)\n"));
            return 2;
        }
        file.setMaxSize(bytes);
    }
    file.setBackupTitle(title);
    file.setSaveFileID(fileList);

    const bool wholeFolder = !subfolders && QFileInfo(source).isDir();
    if (subfolders)
        source =
            (QFileInfo(source).isDir() ? QDir(source).filePath(QStringLiteral("*")) : source) + QStringLiteral(" /s");
    // A mistyped name, or a folder that holds only folders, must not give an empty archive in place of a
    // good one, nor be called a backup.
    if (TQnBackupFile::SourceFiles(source, archive, wholeFolder).isEmpty()) {
        if (wholeFolder)
            cliErr(QStringLiteral("文件夹中没有文件: %1 (要备份下级文件夹请加 /s)\n").arg(source));
        else
            cliErr(QStringLiteral("%1: %2\n").arg(TQnBackupFile::ErrorText(TQnBackupFile::errReadFile), source));
        return 1;
    }

    printErrors(file);
    watchProgress(file, QStringLiteral("备份"));
    // Volumes go beside the archive: no disk to change, so the next one is simply begun.
    file.OnNeedDisk = [](TQnBackupFile*, int, bool& doContinue) { doContinue = true; };
    if (!file.Backup(source, archive, wholeFolder)) {
        if (file.ErrorCode() == 0)
            cliErr(QStringLiteral("备份已停止\n"));
        return 1;
    }
    cliOut(QStringLiteral("已备份 %1 个文件到 %2\n").arg(file.FileCount()).arg(archive));
    const QStringList volumes = file.VolumeFiles();
    for (qsizetype i = 1; i < volumes.size(); ++i)
        cliOut(QStringLiteral("  %1\n").arg(volumes[i]));
    return 0;
}

int runRestore(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString folder = CliArgs::take(args, QStringLiteral("--to"));
    const QString mode = CliArgs::take(args, QStringLiteral("--mode"));
    if (args.isEmpty() || unexpected(args, 1)) {
        cliErr(QStringLiteral("用法: vuzazo-cli restore ARCHIVE [--to FOLDER] "
                              "[--mode all|no-overwrite|newer|existing|existing-newer]\n"));
        return 2;
    }
    const QString archive = args[0];
    TQnBackupFile file;
    static const QStringList modes = {QStringLiteral("all"), QStringLiteral("no-overwrite"), QStringLiteral("newer"),
                                      QStringLiteral("existing"), QStringLiteral("existing-newer")};
    if (!mode.isEmpty()) {
        const qsizetype i = modes.indexOf(mode);
        if (i < 0) {
            cliErr(QStringLiteral("--mode 只能是 all、no-overwrite、newer、existing 或 existing-newer\n"));
            return 2;
        }
        file.setRestoreMode(TQnBackupFile::TRestoreMode(i));
    }
    if (!archiveExists(archive))
        return 1;
    printErrors(file);
    watchProgress(file, QStringLiteral("恢复"));
    findVolumes(file, archive);
    int restored = 0;
    file.OnFileRestored = [&restored](TQnBackupFile*, QString& name, QFileDevice*) {
        ++restored;
        cliOut(name + QLatin1Char('\n'));
    };
    const bool ok = file.Restore(archive, folder.isEmpty() ? QString() : QFileInfo(folder).absoluteFilePath());
    // A stored name that has no place here (another system's path, or one that would leave its folder) was
    // not written: say so, and do not call the restore a success.
    // With --to the folder itself could not be made.
    for (const QString& name : file.SkippedFiles())
        cliErr(folder.isEmpty() ? QStringLiteral("没有恢复 (请用 --to 指定文件夹): %1\n").arg(name)
                                : QStringLiteral("没有恢复 (不能建立文件夹 %1): %2\n").arg(folder, name));
    if (!ok)
        return 1;
    cliOut(QStringLiteral("已恢复 %1 个文件\n").arg(restored));
    return file.SkippedFiles().isEmpty() ? 0 : 1;
}

int runList(const QStringList& argsIn)
{
    QStringList args = argsIn;
    if (args.isEmpty() || unexpected(args, 1)) {
        cliErr(QStringLiteral("用法: vuzazo-cli list ARCHIVE\n"));
        return 2;
    }
    const QString archive = args[0];
    if (!archiveExists(archive))
        return 1;
    TQnBackupFile file;
    printErrors(file);
    findVolumes(file, archive);
    TQnBackupFile::TArchiveInfo info;
    const bool ok = file.List(archive, &info);
    // What could be read is shown even when the archive breaks off later; an archive that could not be
    // read at all has nothing to show beyond its message.
    if (!ok && info.Title.isEmpty() && info.Entries.isEmpty())
        return 1;
    cliOut(QStringLiteral("标题: %1\n").arg(info.Title));
    for (const TQnBackupFile::TArchiveEntry& e : std::as_const(info.Entries)) {
        const QDateTime when = TQnBackupFile::FromDosDateTime(e.FileDate);
        cliOut(QStringLiteral("%1\t%2\t%3\n")
                   .arg(e.Name, when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString())
                   .arg(e.Size));
    }
    return ok ? 0 : 1;
}

CliCommand::Registrar backupReg({QStringLiteral("backup"),
                                 QStringLiteral("SOURCE ARCHIVE [--title T] [--level fastest|none|default|max] "
                                                "[--volume-size BYTES] [--file-list]"),
                                 QStringLiteral("把文件夹、文件或通配符 (\"通配符 /s\": 含下级文件夹) 的文件"
                                                "打包成一个备份文件"),
                                 runBackup});
CliCommand::Registrar restoreReg({QStringLiteral("restore"),
                                  QStringLiteral("ARCHIVE [--to FOLDER] "
                                                 "[--mode all|no-overwrite|newer|existing|existing-newer]"),
                                  QStringLiteral("恢复备份文件 (到 FOLDER,或到备份时的位置)"), runRestore});
CliCommand::Registrar listReg({QStringLiteral("list"), QStringLiteral("ARCHIVE"),
                               QStringLiteral("列出备份文件中每个文件的名称、日期和大小"), runList});

} // namespace
