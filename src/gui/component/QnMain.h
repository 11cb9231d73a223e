#pragma once

#include "db/Rights.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
#include <QMenuBar>
class QWidget;
class SingleInstance;
class TQnChild;

// The application controller that sits once on the main window: rights look-ups, the list of open program
// windows with its menu "打开的窗口", the refusal to close the main window while program windows are open,
// and the single running instance.
//
// Opening a program window (what every menu handler does):
//     if (controller->ActivateIfOpen("ArchiveTypeForm")) return;
//     if (!controller->HasProgramRight(group, program, ctx.UserId)) { ShowWarning(NoRightMessage(program)); return; }
//     auto* form = new TArchiveTypeForm(mainWindow);            // carries a TQnChild, deletes itself on close
//     const int id = TQnChild::of(form)->ShowChild(ctx.WindowPlacement);
//     controller->RegisterChild("ArchiveTypeForm", form, handler, caption);
// TMainForm::OpenProgram does exactly this.
class TQnMain : public QObject
{
    Q_OBJECT
public:
    // A second controller on the same window throws EInvalidOperation("TQnMain").
    explicit TQnMain(QMainWindow* owner);
    ~TQnMain() override;

    // The controller of the process (null before the main window exists).
    static TQnMain* instance();
    QMainWindow* owner() const { return m_owner; }

    // Settings (the documented properties).
    bool HideToolBar() const { return m_hideToolBar; }
    void setHideToolBar(bool on) { m_hideToolBar = on; }
    bool IsHidePanel() const { return m_isHidePanel; }
    void setIsHidePanel(bool on) { m_isHidePanel = on; }
    QString DataBaseName() const { return m_dataBaseName; }
    void setDataBaseName(const QString& name) { m_dataBaseName = name; }
    QMenuBar* MainMenu() const { return m_mainMenu; }
    void setMainMenu(QMenuBar* menu) { m_mainMenu = menu; }
    int MainMenuIndex() const { return m_mainMenuIndex; }
    void setMainMenuIndex(int index) { m_mainMenuIndex = index; }
    QString ImageFile() const { return m_imageFile; }
    void setImageFile(const QString& valueName) { m_imageFile = valueName; }

    // The browse right: may the user open the program at all.
    bool HasProgramRight(const QString& groupName, const QString& programName, const QString& userId) const;
    bool GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                          const QString& userId) const;

    // True when a window of that form name is open; it is brought to the front. A listed window that no
    // longer exists is dropped from the list (and its menu item removed).
    bool ActivateIfOpen(const QString& formName);
    // Lists an opened window under "打开的窗口": choosing the item runs handler (the menu entry's own
    // handler, which brings the open window forward).
    void RegisterChild(const QString& formName, QWidget* window, std::function<void()> handler, const QString& caption);
    void RegisterChild(const QString& formName, QWidget* window, std::function<void()> handler, const QString& caption,
                       TQnChild* child);

    // Starts the controller once the main window exists. guard: the single-instance guard claimed at start
    // (null: claim one now). False when another instance runs: "程序已经运行" has been shown, that
    // instance was asked to come forward, and this process must end.
    bool Start(SingleInstance* guard = nullptr);

    // The background picture path of the machine setting named by ImageFile, empty unless the file exists.
    QString ReadBackgroundPicture() const;

    // Open program windows (maintenance commands run only when there are none).
    int openWindowCount() const;
    bool hasOpenWindows() const { return openWindowCount() > 0; }
    QWidget* openWindow(const QString& formName) const;
    QStringList openFormNames() const;
    // The menu "打开的窗口" (the top-level menu at MainMenuIndex).
    QMenu* windowsMenu() const;

    // Reports of the program windows (TQnChild).
    void childShown(int id);
    void childHidden(int id);
    void childClosed(int id);

    // Brings the main window (restored) to the front.
    void bringToFront();

    // The main-window lock of the window framework: while locked, the main menu's entries and tool buttons
    // tagged 100 or 300 are disabled (the main window applies it).
    void setEntriesLocked(bool locked);
    bool entriesLocked() const { return m_entriesLocked; }

signals:
    void openWindowsChanged();
    void entriesLockChanged(bool locked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry
    {
        int id = 0;
        QString formName;
        QPointer<QWidget> window;
        QPointer<QAction> menuItem;
        bool active = false;
    };

    QAction* windowsMenuAction() const;
    void removeEntry(int index);
    void updatePanels();
    void setPanelsVisible(bool visible);
    static void raiseWindow(QWidget* w);

    QPointer<QMainWindow> m_owner;
    QList<Entry> m_entries; // newest first
    bool m_hideToolBar = false;
    bool m_isHidePanel = true;
    QString m_dataBaseName;
    QPointer<QMenuBar> m_mainMenu;
    int m_mainMenuIndex = 3;
    QString m_imageFile = QStringLiteral("QnArchives");
    SingleInstance* m_guard = nullptr;
    bool m_panelsHidden = false;
    bool m_entriesLocked = false;
};
