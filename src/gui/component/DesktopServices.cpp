#include "DesktopServices.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

namespace {

std::function<bool(const QUrl&)> g_opener;
QStringList g_answers;
bool g_answering = false;

// The MIME types a program for path must name: the type the file's name gives, with its aliases, and the
// workbook types by extension (a system without the shared MIME database still knows those).
QSet<QString> typesFor(const QString& path)
{
    QSet<QString> types;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault()) {
        types << type.name();
        for (const QString& alias : type.aliases())
            types << alias;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        types << QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    else if (suffix == QLatin1String("xls"))
        types << QStringLiteral("application/vnd.ms-excel");
    return types;
}

// The entries of a desktop file's "MimeType=" line (or of one key of a mimeapps.list group).
QStringList listValue(const QString& line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QStringList() : line.mid(eq + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QStringList applicationDirs()
{
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

bool desktopEntryExists(const QString& id)
{
    // "org-foo-bar.desktop" may live as org/foo/bar.desktop below an applications folder.
    for (const QString& dir : applicationDirs()) {
        if (QFileInfo::exists(QDir(dir).filePath(id)))
            return true;
        QString nested = id;
        if (QFileInfo::exists(QDir(dir).filePath(nested.replace(QLatin1Char('-'), QLatin1Char('/')))))
            return true;
    }
    return false;
}

// A desktop file that is meant to be used and lists one of the types.
bool desktopFileTakes(const QString& file, const QSet<QString>& types)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&f);
    bool inEntry = false;
    bool takes = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        if (line.startsWith(QLatin1String("Hidden=")) && line.endsWith(QLatin1String("true")))
            return false;
        if (line.startsWith(QLatin1String("MimeType="))) {
            for (const QString& t : listValue(line))
                if (types.contains(t.trimmed()))
                    takes = true;
        }
    }
    return takes;
}

// Associations the user or the system made in mimeapps.list files.
bool associated(const QSet<QString>& types)
{
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        files << QDir(dir).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& dir : applicationDirs())
        files << QDir(dir).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& file : files) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        QTextStream in(&f);
        bool inGroup = false;
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (line.startsWith(QLatin1Char('['))) {
                inGroup =
                    line == QLatin1String("[Default Applications]") || line == QLatin1String("[Added Associations]");
                continue;
            }
            const int eq = line.indexOf(QLatin1Char('='));
            if (!inGroup || eq < 0 || !types.contains(line.left(eq).trimmed()))
                continue;
            for (const QString& id : listValue(line))
                if (desktopEntryExists(id.trimmed()))
                    return true;
        }
    }
    return false;
}

} // namespace

namespace DesktopServices {

bool hasApplicationFor(const QString& path)
{
    const QSet<QString> types = typesFor(path);
    if (types.isEmpty())
        return false;
    if (associated(types))
        return true;
    for (const QString& dir : applicationDirs()) {
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (desktopFileTakes(it.next(), types))
                return true;
    }
    return false;
}

bool openDocument(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    if (g_opener)
        return g_opener(url);
    return hasApplicationFor(path) && QDesktopServices::openUrl(url);
}

bool openUrl(const QUrl& url)
{
    if (g_opener)
        return g_opener(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    g_opener = std::move(opener);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& preset, const QString& filter)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, preset, filter);
}

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

void queueDialogAnswer(const QString& path)
{
    g_answering = true;
    g_answers << path;
}

void clearDialogAnswers()
{
    g_answering = false;
    g_answers.clear();
}

} // namespace DesktopServices
