#include "DesktopServices.h"

#include <QDesktopServices>
#include <QFileDialog>

namespace {

std::function<bool(const QUrl&)> g_opener;
QStringList g_answers;
bool g_answering = false;

} // namespace

namespace DesktopServices {

bool openUrl(const QUrl& url)
{
    if (g_opener)
        return g_opener(url);
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    g_opener = std::move(opener);
}

QString getSaveFileName(QWidget* parent, const QString& caption, const QString& preset, const QString& filter)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getSaveFileName(parent, caption, preset, filter);
}

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    if (g_answering)
        return g_answers.isEmpty() ? QString() : g_answers.takeFirst();
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

void queueDialogAnswer(const QString& path)
{
    g_answering = true;
    g_answers << path;
}

void clearDialogAnswers()
{
    g_answering = false;
    g_answers.clear();
}

} // namespace DesktopServices
