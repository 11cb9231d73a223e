#include "CliCommand.h"
#include "common/MessageSink.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {

QList<CliCommand>& registry()
{
    static QList<CliCommand> commands;
    return commands;
}

void usage()
{
    cliOut(QStringLiteral("vuzazo-cli — vuzazo 的管理命令\n\n用法: vuzazo-cli 命令 [参数]\n"));
    for (const CliCommand& c : CliCommand::all())
        cliOut(QStringLiteral("  %1 %2\n      %3\n").arg(c.name, c.usage, c.summary));
}

} // namespace

CliCommand::Registrar::Registrar(CliCommand command)
{
    registry().append(std::move(command));
}

const QList<CliCommand>& CliCommand::all()
{
    return registry();
}

QString CliArgs::take(QStringList& args, const QString& name, bool* present)
{
    if (present)
        *present = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size()) {
            const QString v = args[i + 1];
            args.remove(i, 2);
            if (present)
                *present = true;
            return v;
        }
        if (args[i].startsWith(name + QLatin1Char('='))) {
            const QString v = args[i].mid(name.size() + 1);
            args.removeAt(i);
            if (present)
                *present = true;
            return v;
        }
    }
    return {};
}

bool CliArgs::flag(QStringList& args, const QString& name)
{
    return args.removeAll(name) > 0;
}

QStringList CliArgs::takeAll(QStringList& args, const QString& name)
{
    QStringList out;
    bool present = true;
    while (true) {
        const QString v = take(args, name, &present);
        if (!present)
            break;
        out << v;
    }
    return out;
}

QString unexpectedArguments(const QStringList& args)
{
    // take() leaves an option that ends the line without its value: say which one.
    if (!args.isEmpty() && args.last().startsWith(QLatin1String("--")) && !args.last().contains(QLatin1Char('=')))
        return QStringLiteral("选项 %1 后面缺少值, 或者不认识这个选项\n").arg(args.last());
    return QStringLiteral("不认识的参数: %1\n").arg(args.join(QLatin1Char(' ')));
}

void cliOut(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

void cliErr(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
    std::fflush(stderr);
}

namespace {

QtMessageHandler s_qtHandler = nullptr;

// A script run from cron, sudo or a container has no XDG_RUNTIME_DIR; Qt then says so on every start
// although the command never uses that folder. Only that notice is dropped.
void quietRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    s_qtHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    s_qtHandler = qInstallMessageHandler(quietRuntimeDirNotice);
    // Drawing reports needs fonts and a paint device, never a window: run offscreen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QNSOFTWARE"));
    QCoreApplication::setApplicationName(QStringLiteral("vuzazo"));

    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("help") || args.first() == QLatin1String("--help")) {
        usage();
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const CliCommand& c : CliCommand::all()) {
        if (c.name == name)
            return c.run(args);
    }
    cliErr(QStringLiteral("没有这个命令: %1\n\n").arg(name));
    usage();
    return 2;
}
