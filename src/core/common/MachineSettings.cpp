#include "MachineSettings.h"

#include "MessageSink.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>

namespace {

// The file is located afresh on every use: Qt's own user-scope path is fixed at first use, and tests give
// each case its own XDG_CONFIG_HOME.
QString settingsFile()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir(base).filePath(QStringLiteral("QNSOFTWARE/vuzazo.ini"));
}

QSettings settings()
{
    return QSettings(settingsFile(), QSettings::IniFormat);
}

} // namespace

namespace MachineSettings {

QString filePath()
{
    return settingsFile();
}

} // namespace MachineSettings

bool WriteRegValue(const QString& name, const QString& value)
{
    QSettings s = settings();
    s.setValue(name, value);
    s.sync();
    if (s.status() != QSettings::NoError || !s.isWritable()) {
        ShowWarning(QStringLiteral("注册表打开错误"));
        return false;
    }
    return true;
}

QString ReadRegValue(const QString& name)
{
    QSettings s = settings();
    if (s.status() != QSettings::NoError) {
        ShowWarning(QStringLiteral("注册表打开错误"));
        return {};
    }
    return s.value(name).toString();
}

QString ReadRegInt(const QString& name)
{
    const QString v = ReadRegValue(name).trimmed();
    static const QRegularExpression whole(QStringLiteral("^[-+]?\\d+$"));
    return whole.match(v).hasMatch() ? v : QString();
}
