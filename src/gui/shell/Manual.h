#pragma once

#include <QString>

// The manual "vuzazo单机版说明": HTML pages shipped inside the program, copied to the temporary folder and
// opened with the desktop's browser.
namespace Manual {

// Copies the pages (only those that changed) and returns the path of the first page; empty on failure.
QString extract();
// Opens the manual with the desktop's browser; false when it could not be copied or no program takes it.
// page receives the first page's path (empty when it could not be copied).
bool open(QString* page = nullptr);

} // namespace Manual
