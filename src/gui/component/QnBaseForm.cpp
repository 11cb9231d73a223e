#include "QnBaseForm.h"

#include "QnChild.h"
#include "QnColor.h"
#include "QnDataSource.h"
#include "QnSetForm.h"

#include "common/AppContext.h"
#include "db/Lookups.h"
#include "query/QnQuery.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QToolBar>

namespace {
int g_lockCount = 0;
}

TQnBaseForm::TQnBaseForm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_child(new TQnChild(this)), m_setForm(new TQnSetForm(this))
{
    setFont(QnForms::windowFont());
    setSizeGripEnabled(false);
}

TQnBaseForm::~TQnBaseForm()
{
    if (m_lockTaken && m_closing) {
        m_lockTaken = false;
        if (--g_lockCount == 0)
            lockMainWindow(false);
    }
}

int TQnBaseForm::lockCount()
{
    return g_lockCount;
}

void TQnBaseForm::creation()
{
    // The date format and two-digit-year window are fixed for the whole program (Sql::parseDate).
    m_setForm->setDataBaseName(m_child->DataBaseName());
    QnForms::applyColourScheme(this, m_child);
    m_setForm->ResetInputMethod();
    m_setForm->setScreenWidth(0);
    m_forwardMessages = true;
    RefreshLoginDate();
    m_closing = false;
}

void TQnBaseForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_created) {
        m_created = true;
        creation();
    }
    FormShow();
}

void TQnBaseForm::FormShow()
{
    if (m_lockMenu && !m_lockTaken) {
        if (g_lockCount == 0)
            lockMainWindow(true);
        ++g_lockCount;
        m_lockTaken = true;
    }
    if (!m_fontSet) {
        m_fontSet = true;
        setFont(QnForms::windowFont());
    }
}

void TQnBaseForm::lockMainWindow(bool lock)
{
    QWidget* main = m_lockMenu ? m_lockMenu->window() : (m_lockToolBar ? m_lockToolBar->window() : nullptr);
    // The main window keeps its entries' state itself when it can.
    if (main && main->metaObject()->indexOfMethod("setEntriesLocked(bool)") >= 0) {
        QMetaObject::invokeMethod(main, "setEntriesLocked", Q_ARG(bool, lock));
        return;
    }
    auto locked = [](const QObject* o) {
        const int tag = qnTag(o);
        return tag == 100 || tag == 300;
    };
    if (m_lockMenu) {
        for (QAction* top : m_lockMenu->actions())
            if (QMenu* menu = top->menu())
                for (QAction* a : menu->actions())
                    if (locked(a))
                        a->setEnabled(!lock);
    }
    if (m_lockToolBar) {
        for (QAction* a : m_lockToolBar->actions())
            if (locked(a))
                a->setEnabled(!lock);
    }
}

bool TQnBaseForm::LookupRights()
{
    if (m_composeName.isEmpty() || m_programName.isEmpty())
        return false;
    ProgramRights rights;
    m_child->GetProgramRights(m_composeName, m_programName, rights, AppContext::instance().UserId);
    m_rights = rights;
    m_editRight = rights.add;
    m_printRight = rights.print;
    m_checkRight = rights.verify;
    return true;
}

void TQnBaseForm::PrepareQuery(TQnQuery* query)
{
    QnForms::prepareQuery(query);
}

void TQnBaseForm::PrepareDataSource(TQnDataSource* ds)
{
    QnForms::prepareDataSource(ds, m_editRight, m_printRight, m_checkRight);
}

bool TQnBaseForm::canClick(const QAbstractButton* button)
{
    return button && button->isEnabled() && !button->isHidden();
}

void TQnBaseForm::bindKey(int key, QAbstractButton* button)
{
    m_keys.insert(key, button);
}

bool TQnBaseForm::functionKey(QKeyEvent* event)
{
    // The window sees every key its controls leave alone (key preview): function keys are never theirs.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))
        return false;
    auto it = m_keys.constFind(event->key());
    if (it == m_keys.constEnd())
        return false;

    if (canClick(it.value()))
        it.value()->click();
    return true;
}

void TQnBaseForm::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_forwardMessages = false;
    m_closing = true;
    FormClose();
}

void TQnBaseForm::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close a data window (F12 and the close button do, after the close check).
    if (event->key() == Qt::Key_Escape || functionKey(event)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
