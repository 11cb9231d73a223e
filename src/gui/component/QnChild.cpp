#include "QnChild.h"

#include "MessageBoxes.h"
#include "QnComboEdit.h"
#include "QnEdit.h"
#include "QnMain.h"
#include "common/AppError.h"
#include "db/Database.h"
#include "query/QnQuery.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QWindowStateChangeEvent>

#include <cmath>

namespace {

int g_serial = 0;

bool isGrid(const QWidget* w)
{
    return qobject_cast<const QAbstractItemView*>(w) != nullptr;
}

bool isMemo(const QWidget* w)
{
    return qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

// The OnSelect of the input controls: true when the control took the Enter for itself.
bool selectOnEnter(QWidget* focus)
{
    if (auto* select = dynamic_cast<TQnEnterSelect*>(focus))
        return select->selectOnEnter();
    if (auto* edit = qobject_cast<TQnEdit*>(focus))
        return edit->selectOnEnter();
    if (auto* edit = qobject_cast<TQnMEdit*>(focus))
        return edit->selectOnEnter();
    if (auto* edit = qobject_cast<TQnCustomComboEdit*>(focus))
        return edit->selectOnEnter();
    if (auto* edit = qobject_cast<TQnLCustomComboEdit*>(focus))
        return edit->selectOnEnter();
    return false;
}

bool isDataSetOfWindow(const QObject* o)
{
    // Data sets tagged otherwise (look-up lists and the like) never hold the window open.
    const QVariant tag = o->property("tag");
    return !tag.isValid() || tag.toInt() == 0;
}

} // namespace

TQnChild::TQnChild(QWidget* window) : QObject(window), m_window(window)
{
    if (window) {
        for (QObject* o : window->children())
            if (o != this && qobject_cast<TQnChild*>(o))
                throw EInvalidOperation(QStringLiteral("TQnChild控件只能有一个"));
    }
    setObjectName(QStringLiteral("QnChild"));
    Attach();
}

TQnChild::~TQnChild()
{
    if (m_id > 0)
        reportClosed();
}

TQnChild* TQnChild::of(const QWidget* window)
{
    return window ? window->findChild<TQnChild*>(QStringLiteral("QnChild"), Qt::FindDirectChildrenOnly) : nullptr;
}

void TQnChild::Attach()
{
    const AppContext& ctx = AppContext::instance();
    m_dataBaseName = QString::fromLatin1(Database::ConnectionName);
    m_language = ctx.Language;
    m_color = ctx.WindowColor;
    m_labelColor = ctx.WindowLabelColor;
    m_editColor = ctx.WindowEditColor;
    m_colorOnFocus = ctx.WindowFocusColor;
    m_sqlType = ctx.SqlType;
    if (!m_window)
        return;
    m_window->installEventFilter(this);
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

int TQnChild::ShowChild(int placement)
{
    if (!m_window)
        return 0;
    TQnMain* controller = TQnMain::instance();
    QWidget* main = controller ? controller->owner() : nullptr;
    if (m_id <= 0)
        m_id = ++g_serial;
    if (!m_window->isVisible()) {
        // Program windows are windows of their own, kept above the main window (never above other
        // programs) unless told otherwise.
        if (!m_window->isWindow())
            m_window->setWindowFlag(Qt::Window, true);
        if (main && main != m_window && placement != 1 && !m_notTopShow && m_window->parentWidget() != main)
            m_window->setParent(main, m_window->windowFlags() | Qt::Window);
        m_window->show();
    }
    if (!m_window->isVisible()) {
        if (controller)
            controller->childClosed(m_id);
        m_id = -1;
        return 0;
    }
    const QRect frame = m_window->frameGeometry();
    QRect area = main ? main->frameGeometry() : m_window->screen()->availableGeometry();
    if (m_window->property("tag").toInt() == 10) {
        m_window->move(area.topLeft());
    } else {
        const int clientWidth = main ? main->width() : area.width();
        const int top = std::min(90, int(std::lround((area.height() - frame.height()) / 2.0 + 5)));
        const int left = std::max(2, int(std::lround((clientWidth - frame.width()) / 2.0 - 1)));
        m_window->move(area.left() + left, area.top() + std::max(0, top));
    }
    m_window->raise();
    m_window->activateWindow();
    if (controller)
        controller->childShown(m_id);
    return m_id;
}

bool TQnChild::GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                                const QString& userId) const
{
    return ::GetProgramRights(groupName, programName, rights, userId);
}

QString TQnChild::GetRight(const QString& userId, int groupId, int rightIndex, int programId) const
{
    return ::GetRight(userId, groupId, rightIndex, programId);
}

bool TQnChild::SetRight(const QString& userId, int groupId, const QString& value, int rightIndex, int programId) const
{
    if (m_dataBaseName.isEmpty()) {
        ShowWarning(QStringLiteral("DataBaseName必须有一个值"));
        return false;
    }
    return ::SetRight(userId, groupId, value, rightIndex, programId);
}

bool TQnChild::CanCloseDataSet(const QObject* dataSet) const
{
    if (const auto* query = qobject_cast<const TQnQuery*>(dataSet))
        return !query->isEditing();
    const auto* state = dynamic_cast<const TQnDataSetState*>(dataSet);
    return !state || !state->isEditing();
}

bool TQnChild::canCloseWindow() const
{
    if (!m_window)
        return true;
    bool ok = CanCloseDataSet(m_window);
    const QList<QObject*> all = m_window->findChildren<QObject*>();
    for (QObject* o : all)
        if (ok && isDataSetOfWindow(o) && !CanCloseDataSet(o))
            ok = false;
    if (!ok)
        ShowWarning(QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
    return ok;
}

void TQnChild::closeDataSets()
{
    if (!m_window)
        return;
    if (auto* own = dynamic_cast<TQnDataSetState*>(m_window.data()))
        own->closeDataSet();
    for (QObject* o : m_window->findChildren<QObject*>()) {
        if (auto* query = qobject_cast<TQnQuery*>(o))
            query->CloseQuery();
        else if (auto* state = dynamic_cast<TQnDataSetState*>(o))
            state->closeDataSet();
    }
}

void TQnChild::reportClosed()
{
    const int id = m_id;
    m_id = -1; // a second report cannot happen
    if (id > 0) {
        if (TQnMain* controller = TQnMain::instance())
            controller->childClosed(id);
    }
}

void TQnChild::moveFocus(bool forward)
{
    if (!m_window)
        return;
    QWidget* focus = m_window->focusWidget();
    QWidget* start = focus ? focus : m_window.data();
    QWidget* w = start;
    // Walk the focus chain of the window; controls that cannot take the focus by Tab are passed over.
    for (int guard = 0; guard < 10000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == start)
            return;
        if (w->window() != m_window || !w->isVisibleTo(m_window) || !w->isEnabled() ||
            !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
            continue;
        w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

bool TQnChild::handleKey(QWidget* focus, int key, Qt::KeyboardModifiers modifiers)
{
    if (!m_enterMove || (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)))
        return false;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((enter && (m_options & moEnter)) || (key == Qt::Key_Down && (m_options & moUpDn))) {
        // Grids and memos keep these keys for themselves.
        if (isGrid(focus) || isMemo(focus))
            return false;
        if (enter) {
            // A push button takes Enter as its click; check boxes and the like let it move on.
            if (auto* button = qobject_cast<QPushButton*>(focus)) {
                button->click();
                return true;
            }
            if (selectOnEnter(focus))
                return true;
        }
        moveFocus(true);
        return enter ? m_editNoBeep : true;
    }
    if (key == Qt::Key_Up && (m_options & moUpDn)) {
        if (isGrid(focus) || isMemo(focus))
            return false;
        moveFocus(false);
        return true;
    }
    return false;
}

bool TQnChild::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_window)
        return false;
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Close:
            if (!canCloseWindow()) {
                event->ignore();
                return true;
            }
            m_closeRequested = true;
            break;
        case QEvent::Hide:
            if (m_closeRequested && !m_window->isVisible()) {
                m_closeRequested = false;
                closeDataSets();
                reportClosed();
                emit windowClosed();
            }
            break;
        case QEvent::Show:
            m_closeRequested = false;
            break;
        case QEvent::WindowStateChange: {
            const bool minimised = m_window->windowState() & Qt::WindowMinimized;
            if (minimised != m_minimised && m_id > 0) {
                if (TQnMain* controller = TQnMain::instance()) {
                    if (minimised)
                        controller->childHidden(m_id);
                    else
                        controller->childShown(m_id);
                }
            }
            m_minimised = minimised;
            break;
        }
        default:
            break;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* focus = qobject_cast<QWidget*>(watched);
    if (!focus || focus != QApplication::focusWidget() || focus->window() != m_window)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return handleKey(focus, key->key(), key->modifiers());
}
