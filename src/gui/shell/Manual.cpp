#include "Manual.h"

#include "common/AppContext.h"
#include "component/DesktopServices.h"
#include "db/FunLib.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace Manual {

QString extract()
{
    QString base = AppContext::instance().TempDir;
    if (base.isEmpty())
        base = TempFolder();
    const QDir target(QDir(base).filePath(QStringLiteral("vuzazo单机版说明")));
    if (!QDir().mkpath(target.path()))
        return {};
    QDirIterator it(QStringLiteral(":/manual"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(QStringLiteral(":/manual/").size());
        const QString path = target.filePath(relative);
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = in.readAll();
        QFile current(path);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
            continue;
        current.close();
        QDir().mkpath(QFileInfo(path).path());
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return {};
    }
    const QString index = target.filePath(QStringLiteral("index.html"));
    return QFile::exists(index) ? index : QString();
}

bool open(QString* page)
{
    const QString index = extract();
    if (page)
        *page = index;
    return !index.isEmpty() && DesktopServices::openDocument(index);
}

} // namespace Manual
