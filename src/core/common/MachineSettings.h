#pragma once

#include <QString>

// Per-machine values (organisation "QNSOFTWARE"), kept in an INI file under $XDG_CONFIG_HOME.
namespace MachineSettings {

inline constexpr auto KeyArchivesLink = "ArchivesLink";   // the database folder
inline constexpr auto KeyPicture = "QnArchives";          // main window background picture
inline constexpr auto KeyColor = "QnArchivesColor";       // main window colour
inline constexpr auto KeyIme = "QnArchivesImes";          // input method name
inline constexpr auto KeyBackupFolder = "QnArchivesData"; // remembered backup folder

QString filePath();

} // namespace MachineSettings

// The machine-value functions of the function library. A settings file that cannot be written shows
// "注册表打开错误"; reads then give empty text.
bool WriteRegValue(const QString& name, const QString& value);
QString ReadRegValue(const QString& name);
// Only a whole number is returned; anything else reads as empty.
QString ReadRegInt(const QString& name);
