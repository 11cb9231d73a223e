#pragma once

#include <QString>
#include <QStringList>

// The start-up clean-up of the installation folder. It removes only work files that this program itself
// leaves behind when a repair is interrupted, by their exact names, and never a file that holds a database.
namespace CleanUp {

// The names of those work files.
QStringList leftoverNames();

// Removes the leftovers found directly in folder; returns the names removed. A folder that cannot be
// listed is left alone.
QStringList CleanInstallFolder(const QString& folder);

} // namespace CleanUp
