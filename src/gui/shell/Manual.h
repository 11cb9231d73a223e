#pragma once

#include <QString>

// The manual "vuzazo单机版说明": HTML pages shipped inside the program, copied to the temporary folder and
// opened with the desktop's browser.
namespace Manual {

// Copies the pages (only those that changed) and returns the path of the first page; empty on failure.
QString extract();
// Opens the manual; false when it could not be copied or opened.
bool open();

} // namespace Manual
