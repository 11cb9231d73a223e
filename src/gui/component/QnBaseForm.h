#pragma once

#include "db/Rights.h"

#include <QAbstractButton>
#include <QDialog>
#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

class TQnChild;
class TQnDataSource;
class TQnQuery;
class TQnSetForm;

// The base of every program window and pop-up editor. It carries the window's TQnChild (the controller's
// link, key handling, close check of unsaved data) and TQnSetForm, sets its controls up from the login
// context when it is first shown, looks up the user's rights for ComposeName/ProgramName, and takes the
// main-window lock while it is open when LockMenu is set.
//
// Subclasses build their controls in their constructor (the create handler), set ComposeName and
// ProgramName there, and extend FormShow (calling the base first).
class TQnBaseForm : public QDialog
{
    Q_OBJECT
public:
    explicit TQnBaseForm(QWidget* parent = nullptr);
    ~TQnBaseForm() override;

    TQnChild* QnChild() const { return m_child; }
    TQnSetForm* QnSetForm() const { return m_setForm; }

    QString ComposeName() const { return m_composeName; }
    void setComposeName(const QString& name) { m_composeName = name; }
    QString ProgramName() const { return m_programName; }
    void setProgramName(const QString& name) { m_programName = name; }
    const ProgramRights& Rights() const { return m_rights; }
    // The three rights the window bases use: EditRight (the add flag: add, edit and delete), PrintRight,
    // CheckRight (the verify flag). Callers of pop-up editors hand them over before showing.
    bool EditRight() const { return m_editRight; }
    void setEditRight(bool on) { m_editRight = on; }
    bool PrintRight() const { return m_printRight; }
    void setPrintRight(bool on) { m_printRight = on; }
    bool CheckRight() const { return m_checkRight; }
    void setCheckRight(bool on) { m_checkRight = on; }

    // The main window's tool bar and menu whose entries tagged 100 and 300 stay disabled while any window
    // with LockMenu set is open.
    QToolBar* LockToolBar() const { return m_lockToolBar; }
    void setLockToolBar(QToolBar* bar) { m_lockToolBar = bar; }
    QMenuBar* LockMenu() const { return m_lockMenu; }
    void setLockMenu(QMenuBar* menu) { m_lockMenu = menu; }
    // Windows holding the main-window lock now.
    static int lockCount();

    bool ForwardMessages() const { return m_forwardMessages; }
    bool Closing() const { return m_closing; }

    // Looks up the rights for ComposeName and ProgramName (false, rights untouched, when either is empty).
    bool LookupRights();
    void PrepareQuery(TQnQuery* query);
    void PrepareDataSource(TQnDataSource* ds);

protected:
    // Runs every time the window is shown (the first time after the creation set-up).
    virtual void FormShow();
    // The window has closed (the close check passed); Closing is set.
    virtual void FormClose() {}
    // The function key clicks the button when the button is enabled and visible (every button of the bases
    // has its handler connected).
    void bindKey(int key, QAbstractButton* button);
    // Runs the function key bound to the key; true when one is bound (whether or not it clicked).
    bool functionKey(QKeyEvent* event);
    static bool canClick(const QAbstractButton* button);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    bool m_editRight = false;
    bool m_printRight = false;
    bool m_checkRight = false;

private:
    void creation();
    void lockMainWindow(bool lock);

    TQnChild* m_child;
    TQnSetForm* m_setForm;
    QHash<int, QPointer<QAbstractButton>> m_keys;
    QString m_composeName;
    QString m_programName;
    ProgramRights m_rights;
    QPointer<QToolBar> m_lockToolBar;
    QPointer<QMenuBar> m_lockMenu;
    bool m_lockTaken = false;
    bool m_forwardMessages = false;
    bool m_closing = false;
    bool m_created = false;
    bool m_fontSet = false;
};
