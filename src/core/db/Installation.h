#pragma once

#include <QString>

// The installation step: the installation folder with its database folder (an empty database with the
// delivered rows and report templates), the attachment folder, and the machine setting ArchivesLink.
namespace Installation {

// $XDG_DATA_HOME/vuzazo, i.e. ~/.local/share/vuzazo.
QString defaultInstallDir();
QString databaseDir(const QString& installDir);
QString attachmentDir(const QString& installDir);

// Creates everything; refuses (false, with a message) when a database already exists there.
bool init(const QString& installDir, QString* error);
// Writes a fresh database file (schema and delivered rows) at path; used by init and the rebuild.
bool createDatabaseFile(const QString& path, QString* error);
// Copies the delivered report templates into a database folder (existing files are kept).
bool installTemplates(const QString& databaseDir, QString* error);

} // namespace Installation
