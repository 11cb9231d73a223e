#pragma once

// Helpers shared by the shell's window tests (header only; each tst_*.cpp is its own program).

#include "common/Password.h"
#include "component/DesktopServices.h"
#include "component/MessageBoxes.h"
#include "db/Sql.h"
#include "shell/Startup.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

namespace ShellTest {

inline QList<QUrl>& openedUrls()
{
    static QList<QUrl> urls;
    return urls;
}

// The program's fonts, translations and boxes, with the boxes and the desktop's "open" recording instead
// of showing.
inline void setUp()
{
    Startup::setUpApplication(*qApp);
    Password::useMinimalCostForTests(true);
    GuiMessageSink::setTestMode(true);
    DesktopServices::setUrlOpener([](const QUrl& url) {
        openedUrls() << url;
        return true;
    });
}

inline QStringList messages()
{
    return GuiMessageSink::shownTexts();
}

// Forgets the texts shown and any answers not used.
inline void clearMessages()
{
    GuiMessageSink::setTestMode(true);
}

// Chinese text arrives from the input method as a commit.
inline void commitText(QWidget* w, const QString& text)
{
    w->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

// Runs action on the first visible top-level widget of type T, as soon as one is shown (for modal windows
// that block the caller).
template <class T> void whenShown(std::function<void(T*)> action, int timeoutMs = 5000)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, elapsed, timeoutMs] {
        *elapsed += 10;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(t);
                return;
            }
        }
        if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// Saves a picture of the window when VUZAZO_GRAB_DIR names a folder (to look at the windows).
inline void grab(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("VUZAZO_GRAB_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    QApplication::processEvents();
    w->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

inline void addUser(const QString& id, const QString& name, const QString& password, bool admin, bool active)
{
    TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_ID,USE_NAME,USE_PASSWORD,SYS_USER,STOP_RIGHT) "
                                 "VALUES(%1,%2,%3,%4,%5)")
                      .arg(Sql::quote(id), Sql::quote(name), Sql::quote(Password::hash(password)),
                           Sql::quote(admin ? QStringLiteral("是") : QStringLiteral("否")),
                           Sql::quote(active ? QStringLiteral("有效") : QStringLiteral("停用"))));
}

inline void grantAll(const QString& userId, int group, int program, const QString& browse = QStringLiteral("是"))
{
    TestEnv::exec(QStringLiteral("INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,ADD_RIGHT,EDIT_RIGHT,"
                                 "DELETE_RIGHT,BROWSE_RIGHT,PRINT_RIGHT,VERIFY_RIGHT,CURRENCY_RIGHT) "
                                 "VALUES(%1,%2,%3,'是','是','是',%4,'是','是','是')")
                      .arg(Sql::quote(userId))
                      .arg(group)
                      .arg(program)
                      .arg(Sql::quote(browse)));
}

} // namespace ShellTest
