#include "MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool g_testMode = false;
QList<bool> g_answers;
QStringList g_shown;

QWidget* ownerOf(QWidget* parent)
{
    if (parent)
        return parent->window();
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
}

int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, caption, text, buttons, ownerOf(parent));
    box.setDefaultButton(defaultButton);
    box.setObjectName(QStringLiteral("QnMessageBox"));
    // The boxes stay above the program's own stay-on-top windows.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return box.exec();
}

} // namespace

namespace QnMessageBox {

void warning(QWidget* parent, const QString& text)
{
    if (g_testMode) {
        g_shown << text;
        return;
    }
    showBox(parent, QMessageBox::Warning, WarningCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

void error(QWidget* parent, const QString& text)
{
    if (g_testMode) {
        g_shown << text;
        return;
    }
    showBox(parent, QMessageBox::Critical, ErrorCaption, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool askYesNo(QWidget* parent, const QString& text)
{
    if (g_testMode) {
        g_shown << text;
        return g_answers.isEmpty() ? false : g_answers.takeFirst();
    }
    return showBox(parent, QMessageBox::Question, WarningCaption, text + QStringLiteral(" ?"),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

bool askOkCancel(QWidget* parent, const QString& text)
{
    if (g_testMode) {
        g_shown << text;
        return g_answers.isEmpty() ? false : g_answers.takeFirst();
    }
    return showBox(parent, QMessageBox::Information, WarningCaption, text, QMessageBox::Ok | QMessageBox::Cancel,
                   QMessageBox::Ok) == QMessageBox::Ok;
}

} // namespace QnMessageBox

void GuiMessageSink::warning(const QString& text)
{
    QnMessageBox::warning(nullptr, text);
}

void GuiMessageSink::error(const QString& text)
{
    QnMessageBox::error(nullptr, text);
}

bool GuiMessageSink::askYesNo(const QString& text)
{
    return QnMessageBox::askYesNo(nullptr, text);
}

bool GuiMessageSink::askOkCancel(const QString& text)
{
    return QnMessageBox::askOkCancel(nullptr, text);
}

void GuiMessageSink::setTestMode(bool on)
{
    g_testMode = on;
    g_answers.clear();
    g_shown.clear();
}

bool GuiMessageSink::testMode()
{
    return g_testMode;
}

void GuiMessageSink::setNextAnswer(bool yes)
{
    g_answers << yes;
}

QStringList GuiMessageSink::shownTexts()
{
    return g_shown;
}

void GuiMessageSink::clearShown()
{
    g_shown.clear();
}
