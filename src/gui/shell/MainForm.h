#pragma once

#include "ProgramWindows.h"

#include <QHash>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class TAboutForm;
class TQnMain;

// The main window: the menu from which every screen is opened, the tool bar, the panel of large pictures
// that repeat the most used entries, and the status bar with the date.
//
// Menu entries are QActions named "action_…" (see entryNames()); an entry whose screen is not part of the
// program yet is disabled. Entries tagged 100 (the archive entry) and 300 (numbering settings) are locked
// by setEntriesLocked while an archive browser is open.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TQnMain* QnMain() const { return m_qnMain; }
    QToolBar* mainToolBar() const { return m_toolBar; }
    QAction* entry(const QString& name) const;
    static QStringList entryNames();

    // Opens a program window by the protocol: brought to the front when open; otherwise the browse right
    // of program in group (no look-up when group is empty), create, show through its TQnChild, list under
    // "打开的窗口" with caption, where choosing it runs handler. Returns the window, or null.
    QWidget* OpenProgram(const QString& formName, const QString& group, const QString& program, const QString& caption,
                         const std::function<QWidget*()>& create, const std::function<void()>& handler);

    // Runs a menu entry as a click would, with a preset condition for the window it opens.
    void openEntry(const QString& name, const ProgramPreset& preset = ProgramPreset());

    // Disables (locked) or restores the entries and tool buttons tagged 100 or 300 (the same as
    // QnMain()->setEntriesLocked, which the window framework calls).
    Q_INVOKABLE void setEntriesLocked(bool locked);
    bool entriesLocked() const;
    // Enables each entry that the program can serve (after ProgramWindows changed).
    void refreshEntries();

    // The first showing: the backup offer and the two reminders. Runs once, after the window is first shown;
    // setFirstShowingEnabled(false) keeps it from running by itself (tests run it themselves).
    void runFirstShowing();
    void setFirstShowingEnabled(bool on) { m_firstShowingEnabled = on; }

    // Re-reads the organisation name into the caption.
    void refreshCaption();
    QString detailEntryCaption() const;

    void showHelp();
    void showAbout();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildClient();
    void buildStatusBar();
    void readSettings();
    void dateReminder();
    void overdueReminder();
    void pictureActivated(const QString& entryName);
    void arrangePictures(int columns);

    TQnMain* m_qnMain;
    QToolBar* m_toolBar = nullptr;
    QWidget* m_client = nullptr;
    QWidget* m_picturePanel = nullptr;
    QList<QWidget*> m_tiles;
    int m_pictureColumns = 0;
    QLabel* m_productPanel = nullptr;
    QLabel* m_datePanel = nullptr;
    QHash<QString, QAction*> m_entries;
    QList<QPair<QAction*, QString>> m_toolActions; // tool button, entry it clicks
    QPointer<TAboutForm> m_about;
    bool m_shownOnce = false;
    bool m_firstShowingEnabled = true;
};
