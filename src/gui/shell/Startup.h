#pragma once

#include <QString>

class QApplication;
class TMainForm;

// The program's start, in the order the user sees it: the single running instance, the splash window, the
// database opened for this process alone, the main window, enrolment or logon, the message loop.
namespace Startup {

// The two-paragraph message for a machine without the database setting ArchivesLink.
QString missingAliasMessage();

// Names, fonts ("宋体" mapped onto the installed CJK fonts), Qt's Chinese translations (是/否, 确定/取消)
// and the message boxes.
void setUpApplication(QApplication& app);

struct Options
{
    int splashMilliseconds = 3000;
};

// Opens the database named by the machine settings; false after telling the user why not.
bool openDatabase();
// Enrolment when there is no administrator, logon otherwise; true when the user may go on.
bool logOnOrEnrol(TMainForm& main);

// The whole program; returns the process exit code.
int run(QApplication& app, const Options& options = Options());

} // namespace Startup
