#pragma once

// Helpers shared by the component window tests (header only; each tst_*.cpp is its own program).

#include "shell/Startup.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QInputMethodEvent>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace ComponentTest {

// Runs action on the next modal window that opens over the current one (a picker, a chooser), from within
// its own event loop. Gives up after a few seconds so a test that expected a window fails instead of
// hanging.
inline void onNextModal(std::function<void(QWidget*)> action)
{
    QWidget* before = QApplication::activeModalWidget();
    auto* timer = new QTimer;
    auto* started = new QElapsedTimer;
    started->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, started, before, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete started;
            action(modal);
            return;
        }
        if (started->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            delete started;
            if (QWidget* m = QApplication::activeModalWidget())
                if (auto* d = qobject_cast<QDialog*>(m))
                    d->reject();
        }
    });
    timer->start();
}

// Chinese text arrives from the input method as a commit.
inline void commitText(QWidget* w, const QString& text)
{
    w->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(w, &event);
}

// Saves a picture of a window for a person to look at (VUZAZO_SHOTS names the folder; default /tmp).
inline void shoot(QWidget* w, const QString& name)
{
    const QString dir = qEnvironmentVariable("VUZAZO_SHOTS", QDir::tempPath());
    w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace ComponentTest
