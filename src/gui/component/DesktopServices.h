#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

// The desktop's "open" and the standard file dialogs, in one place so tests can stand in for them.
namespace DesktopServices {

// Opens a file or address with the desktop's program for it.
bool openUrl(const QUrl& url);
// Tests: record instead of open (nullptr restores the desktop).
void setUrlOpener(std::function<bool(const QUrl&)> opener);
// Opens a file with the program the desktop has for its type; false when no program is registered for it
// or none could be started. (The desktop's opener reports success as soon as it starts, even when it then
// finds nothing to open the file with.)
bool openDocument(const QString& path);
// Whether a desktop entry (an installed program's .desktop file, or an association in mimeapps.list) takes
// files of path's type.
bool hasApplicationFor(const QString& path);

// The save dialog; empty when cancelled.
QString getSaveFileName(QWidget* parent, const QString& caption, const QString& preset, const QString& filter);
QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);
QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir);
// Tests: the next dialogs answer these paths without showing ("" answers cancel).
void queueDialogAnswer(const QString& path);
void clearDialogAnswers();

} // namespace DesktopServices
