#include "QnMain.h"

#include "QnChild.h"
#include "SingleInstance.h"
#include "common/AppError.h"
#include "common/MachineSettings.h"
#include "common/MessageSink.h"
#include "db/Database.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {
TQnMain* g_instance = nullptr;
}

TQnMain::TQnMain(QMainWindow* owner) : QObject(owner), m_owner(owner)
{
    if (owner) {
        for (QObject* o : owner->children())
            if (o != this && qobject_cast<TQnMain*>(o))
                throw EInvalidOperation(QStringLiteral("TQnMain"));
        owner->installEventFilter(this);
        m_mainMenu = owner->menuBar();
    }
    setObjectName(QStringLiteral("QnMain"));
    m_dataBaseName = QString::fromLatin1(Database::ConnectionName);
    g_instance = this;
}

TQnMain::~TQnMain()
{
    if (g_instance == this)
        g_instance = nullptr;
}

TQnMain* TQnMain::instance()
{
    return g_instance;
}

bool TQnMain::HasProgramRight(const QString& groupName, const QString& programName, const QString& userId) const
{
    return ::HasProgramRight(groupName, programName, userId);
}

bool TQnMain::GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                               const QString& userId) const
{
    return ::GetProgramRights(groupName, programName, rights, userId);
}

QAction* TQnMain::windowsMenuAction() const
{
    if (!m_mainMenu)
        return nullptr;
    const QList<QAction*> top = m_mainMenu->actions();
    return m_mainMenuIndex >= 0 && m_mainMenuIndex < top.size() ? top.at(m_mainMenuIndex) : nullptr;
}

QMenu* TQnMain::windowsMenu() const
{
    QAction* a = windowsMenuAction();
    return a ? a->menu() : nullptr;
}

void TQnMain::raiseWindow(QWidget* w)
{
    if (w->windowState() & Qt::WindowMinimized)
        w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->show();
    w->raise();
    w->activateWindow();
}

void TQnMain::bringToFront()
{
    if (m_owner)
        raiseWindow(m_owner);
}

bool TQnMain::ActivateIfOpen(const QString& formName)
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).formName != formName)
            continue;
        QWidget* w = m_entries.at(i).window;
        if (w && w->isVisible()) {
            raiseWindow(w);
            return true;
        }
        removeEntry(i);
        return false;
    }
    return false;
}

void TQnMain::RegisterChild(const QString& formName, QWidget* window, std::function<void()> handler,
                            const QString& caption)
{
    RegisterChild(formName, window, std::move(handler), caption, TQnChild::of(window));
}

void TQnMain::RegisterChild(const QString& formName, QWidget* window, std::function<void()> handler,
                            const QString& caption, TQnChild* child)
{
    QAction* top = windowsMenuAction();
    if (!top || !top->menu()) {
        ShowWarning(QStringLiteral("没有主菜单索引"));
        return;
    }
    Entry e;
    e.id = child ? child->identifier() : 0;
    e.formName = formName;
    e.window = window;
    e.active = window && window->isVisible() && !(window->windowState() & Qt::WindowMinimized);
    top->setText(QStringLiteral("打开的窗口"));
    top->setVisible(true);
    e.menuItem = top->menu()->addAction(caption);
    e.menuItem->setObjectName(QStringLiteral("window_") + formName);
    QObject::connect(e.menuItem, &QAction::triggered, this, [handler] {
        if (handler)
            handler();
    });
    m_entries.prepend(e);
    // A window deleted without a close report (a crash in its own code) must not stay listed.
    if (window) {
        QObject::connect(window, &QObject::destroyed, this, [this, window] {
            for (int i = 0; i < m_entries.size(); ++i)
                if (!m_entries.at(i).window || m_entries.at(i).window == window) {
                    removeEntry(i);
                    return;
                }
        });
    }
    updatePanels();
    emit openWindowsChanged();
}

void TQnMain::removeEntry(int index)
{
    Entry e = m_entries.takeAt(index);
    if (e.menuItem) {
        if (QMenu* menu = windowsMenu())
            menu->removeAction(e.menuItem);
        e.menuItem->deleteLater();
    }
    if (QAction* top = windowsMenuAction(); top && top->menu() && top->menu()->actions().isEmpty()) {
        top->setText(QStringLiteral(" "));
        top->setVisible(false);
    }
    updatePanels();
    emit openWindowsChanged();
}

void TQnMain::childShown(int id)
{
    for (Entry& e : m_entries)
        if (e.id == id && id > 0)
            e.active = true;
    updatePanels();
}

void TQnMain::childHidden(int id)
{
    for (Entry& e : m_entries)
        if (e.id == id && id > 0)
            e.active = false;
    updatePanels();
}

void TQnMain::childClosed(int id)
{
    if (id <= 0)
        return;
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries.at(i).id == id) {
            removeEntry(i);
            return;
        }
}

int TQnMain::openWindowCount() const
{
    int n = 0;
    for (const Entry& e : m_entries)
        if (e.window && e.window->isVisible())
            ++n;
    return n;
}

QWidget* TQnMain::openWindow(const QString& formName) const
{
    for (const Entry& e : m_entries)
        if (e.formName == formName && e.window && e.window->isVisible())
            return e.window;
    return nullptr;
}

QStringList TQnMain::openFormNames() const
{
    QStringList names;
    for (const Entry& e : m_entries)
        if (e.window && e.window->isVisible())
            names << e.formName;
    return names;
}

void TQnMain::updatePanels()
{
    bool anyActive = false;
    for (const Entry& e : m_entries)
        anyActive = anyActive || (e.active && e.window);
    if (anyActive != m_panelsHidden)
        setPanelsVisible(!anyActive);
    m_panelsHidden = anyActive;
}

void TQnMain::setPanelsVisible(bool visible)
{
    if (!m_owner)
        return;
    if (m_isHidePanel) {
        if (QWidget* panel = m_owner->findChild<QWidget*>(QStringLiteral("MainPanel")))
            panel->setVisible(visible);
    }
    if (m_hideToolBar) {
        for (QToolBar* bar : m_owner->findChildren<QToolBar*>())
            bar->setVisible(visible);
    }
}

void TQnMain::setEntriesLocked(bool locked)
{
    if (locked == m_entriesLocked)
        return;
    m_entriesLocked = locked;
    emit entriesLockChanged(locked);
}

bool TQnMain::Start(SingleInstance* guard)
{
    if (!guard) {
        guard = new SingleInstance(SingleInstance::defaultKey(), this);
        if (!guard->claim()) {
            ShowWarning(QStringLiteral("程序已经运行"));
            return false;
        }
    }
    m_guard = guard;
    connect(guard, &SingleInstance::activationRequested, this, &TQnMain::bringToFront);
    return true;
}

QString TQnMain::ReadBackgroundPicture() const
{
    const QString path = ReadRegValue(m_imageFile).trimmed();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

bool TQnMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && event->type() == QEvent::Close) {
        if (openWindowCount() > 0) {
            ShowWarning(QStringLiteral("请先关闭打开的全部子程序后,才能退出系统"));
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
