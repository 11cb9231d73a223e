#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A vuzazo-cli command. Each command's file registers itself with a static CliCommand::Registrar, so
// adding a command never touches main.cpp.
struct CliCommand
{
    QString name;
    QString usage;                                   // one line: arguments
    QString summary;                                 // one line: what it does
    std::function<int(const QStringList& args)> run; // args after the command name; returns the exit status

    struct Registrar
    {
        explicit Registrar(CliCommand command);
    };

    static const QList<CliCommand>& all();
};

// Small helpers for argument parsing shared by the commands.
namespace CliArgs {
// Value of "--name VALUE" or "--name=VALUE"; removes it from args. Empty when absent.
QString take(QStringList& args, const QString& name, bool* present = nullptr);
// True when "--name" is present (removed from args).
bool flag(QStringList& args, const QString& name);
// All values of a repeated option.
QStringList takeAll(QStringList& args, const QString& name);
} // namespace CliArgs

// The message for arguments a command did not take (an unknown one, or an option given without its value).
QString unexpectedArguments(const QStringList& args);

// Prints to stdout / stderr in UTF-8.
void cliOut(const QString& text);
void cliErr(const QString& text);
