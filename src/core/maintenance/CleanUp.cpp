#include "CleanUp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A file that starts like an SQLite database is kept whatever its name: it may be someone's data.
bool looksLikeDatabase(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return true; // unreadable: better kept
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

namespace CleanUp {

QStringList leftoverNames()
{
    return {QStringLiteral("VERIFY.DB"), QStringLiteral("Rebuild.DB"), QStringLiteral("Backup.Db"),
            QStringLiteral("KEYVIOL.DB"), QStringLiteral("PROBLEM.DB")};
}

QStringList CleanInstallFolder(const QString& folder)
{
    QStringList removed;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return removed;
    const QStringList names = leftoverNames();
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!names.contains(info.fileName()) || info.isSymLink())
            continue;
        if (looksLikeDatabase(info.filePath()))
            continue;
        if (QFile::remove(info.filePath()))
            removed << info.fileName();
    }
    return removed;
}

} // namespace CleanUp
