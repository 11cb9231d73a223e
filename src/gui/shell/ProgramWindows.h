#pragma once

#include <QString>

#include <functional>

class QWidget;
class TMainForm;

// A condition handed to a program window that opens on a reminder instead of asking for one.
struct ProgramPreset
{
    QString condition;        // SQL condition, e.g. "((NOT(DATE_FIELD1 IS NULL)) AND (DATE_FIELD1 <= '2009-03-25'))"
    QString conditionCaption; // the condition as the user reads it
    bool isSet() const { return !condition.isEmpty(); }
};

// What the entries of the main menu do, by the entry's objectName ("action_ArchiveType", …). An entry that
// has nothing here is shown disabled. A screen joins the menu by adding its line to the table in
// ProgramWindows.cpp:
//     {"action_ArchiveType", {"ArchiveTypeForm", [](TMainForm& m, const ProgramPreset&) {
//          return new TArchiveTypeForm(&m); }, {}}},
namespace ProgramWindows {

struct Entry
{
    // Form name of the program window, the key of the open-window list ("ArchiveTypeForm").
    QString formName;
    // Creates the program window (a top-level window with a TQnChild that deletes itself when closed). The
    // main window opens it by the protocol: brought forward when open, else rights, create, show, register.
    std::function<QWidget*(TMainForm& main, const ProgramPreset& preset)> create;
    // Or runs a procedure or a modal window (backup, restore, repair...) when there is no program window.
    std::function<void(TMainForm& main)> run;

    bool isValid() const { return bool(create) || bool(run); }
};

// The entry for a menu entry name, or null.
const Entry* find(const QString& entryName);
// Adds or replaces an entry (the table's lines, and tests).
void set(const QString& entryName, const Entry& entry);
void remove(const QString& entryName);

// Hooks of the first showing that arrive with other screens: "startup_Backup" (the backup offered at start).
inline constexpr auto StartupBackup = "startup_Backup";

} // namespace ProgramWindows
