#include "MachineSettings.h"

#include "MessageSink.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QNSOFTWARE"),
                     QStringLiteral("vuzazo"));
}

} // namespace

namespace MachineSettings {

QString filePath()
{
    return settings().fileName();
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
