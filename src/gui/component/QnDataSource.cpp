#include "QnDataSource.h"

#include "QnColor.h"
#include "QnComboBox.h"
#include "QnComboEdit.h"
#include "QnDBComboBox.h"
#include "QnDBComboEdit.h"
#include "QnDBEdit.h"
#include "QnDBLookup.h"
#include "QnEdit.h"
#include "QnNDBGrid.h"

#include <QAbstractButton>
#include <QWidget>

namespace {

template <typename Control> void colour(Control* c, const QColor& colour, const QColor& focus)
{
    c->setColor(colour);
    c->setColorOnFocus(focus);
}

} // namespace

TQnDataSource::TQnDataSource(QObject* parent) : QObject(parent), m_browseColor(winColor(0xE2FCF8))
{
    setObjectName(QStringLiteral("DS"));
}

QWidget* TQnDataSource::ownerWindow() const
{
    if (m_owner)
        return m_owner;
    return qobject_cast<QWidget*>(parent());
}

void TQnDataSource::setDataSet(TQnQuery* query)
{
    if (m_dataSet == query)
        return;
    for (const auto& c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_dataSet = query;
    connectDataSet();
    emit dataSetChanged();
}

void TQnDataSource::connectDataSet()
{
    TQnQuery* q = m_dataSet;
    if (!q)
        return;
    if (m_hooked)
        m_connections << connect(q, &TQnQuery::stateChanged, this, &TQnDataSource::StateChanged);
    // Silent (batch) work changes no colours; when it ends the controls catch up.
    m_connections << connect(q, &TQnQuery::silentChanged, this, [this](bool silent) {
        if (!silent && m_hooked)
            StateChanged();
    });
    m_connections << connect(q, &TQnQuery::focusColumnRequested, this,
                             [this](const QString& column) { focusControl(controlFor(column)); });
    m_connections << connect(q, &TQnQuery::focusControlRequested, this, [this](const QString& name) {
        QWidget* owner = ownerWindow();
        focusControl(owner ? owner->findChild<QWidget*>(name) : nullptr);
    });
    q->setControlTextReader([this](const QString& column) -> QString {
        QWidget* w = controlFor(column);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            return e->text();
        if (auto* c = qobject_cast<QComboBox*>(w))
            return c->currentText();
        return {};
    });
}

void TQnDataSource::closeDataSet()
{
    QWidget* owner = ownerWindow();
    if (!m_dataSet || !owner)
        return;
    for (QObject* o = m_dataSet->parent(); o; o = o->parent())
        if (o == owner) {
            m_dataSet->CloseQuery();
            return;
        }
}

void TQnDataSource::focusControl(QWidget* w)
{
    if (!w || !w->isEnabled())
        return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->selectAll();
}

QWidget* TQnDataSource::controlFor(const QString& column) const
{
    QWidget* owner = ownerWindow();
    if (!owner || column.isEmpty())
        return nullptr;
    if (m_dataSet) {
        if (const TFieldsData* f = m_dataSet->fieldData(column); f && !f->editControl.isEmpty())
            if (QWidget* w = owner->findChild<QWidget*>(f->editControl))
                return w;
    }
    const QList<QWidget*> all = owner->findChildren<QWidget*>();
    for (QWidget* w : all) {
        TQnDataLink* link = nullptr;
        if (auto* e = dynamic_cast<TQnDBEdit*>(w))
            link = e->dataLink();
        else if (auto* ce = dynamic_cast<TQnDBComboEdit*>(w))
            link = ce->dataLink();
        else if (auto* le = dynamic_cast<TQnLDBComboEdit*>(w))
            link = le->dataLink();
        else if (auto* cb = dynamic_cast<TQnDBComboBox*>(w))
            link = cb->dataLink();
        else if (auto* lc = dynamic_cast<TQnDBLookupComboBox*>(w))
            link = lc->dataLink();
        else if (auto* ll = dynamic_cast<TQnDBLookupListBox*>(w))
            link = ll->dataLink();
        if (link && link->DataSource() == this && link->DataField().compare(column, Qt::CaseInsensitive) == 0)
            return w;
    }
    return nullptr;
}

void TQnDataSource::setButton(Link link, QAbstractButton* button)
{
    if (link >= 0 && link < LinkCount)
        m_buttons[link] = button;
}

QAbstractButton* TQnDataSource::button(Link link) const
{
    return link >= 0 && link < LinkCount ? m_buttons[link].data() : nullptr;
}

void TQnDataSource::HookStateChange()
{
    if (m_hooked)
        return;
    m_hooked = true;
    if (m_dataSet)
        m_connections << connect(m_dataSet, &TQnQuery::stateChanged, this, &TQnDataSource::StateChanged);
    StateChanged();
}

void TQnDataSource::StateChanged()
{
    const bool silent = m_dataSet && m_dataSet->isSilent();
    if (m_activeColor && !silent) {
        RefreshControls();
        const bool browsing = !isEditing();
        static const Link browseLinks[] = {Button_Add,   Button_New,   Button_Edit,  Button_Delete, Button_Prior,
                                           Button_Next,  Button_First, Button_Last,  Button_Print,  Button_Find,
                                           Button_Check, Button_Close, ButtonNew,    ButtonAdd,     ButtonEdit,
                                           ButtonPrint,  ButtonCheck,  ButtonFind,   ButtonOther,   ButtonDelete,
                                           ButtonPrior,  ButtonNext,   ButtonFirst,  ButtonLast,    SpeedButton1,
                                           SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5};
        for (Link l : browseLinks)
            if (QAbstractButton* b = m_buttons[l])
                b->setEnabled(browsing);
        for (Link l : {Button_Save, Button_Cancel, ButtonSave, ButtonCancel})
            if (QAbstractButton* b = m_buttons[l])
                b->setEnabled(!browsing);
        ApplyRights();
    }
    emit stateChange();
}

void TQnDataSource::ApplyRights()
{
    auto keep = [this](Link l, bool right) {
        if (QAbstractButton* b = m_buttons[l])
            b->setEnabled(right && b->isEnabled());
    };
    for (Link l : {ButtonNew, ButtonAdd, Button_New, Button_Add})
        keep(l, m_rightAdd);
    for (Link l : {ButtonEdit, Button_Edit})
        keep(l, m_rightEdit);
    for (Link l : {ButtonDelete, Button_Delete})
        keep(l, m_rightDelete);
    for (Link l : {ButtonPrint, Button_Print})
        keep(l, m_rightPrint);
    for (Link l : {ButtonCheck, Button_Check})
        keep(l, m_rightCheck);
}

void TQnDataSource::RefreshControls()
{
    QWidget* owner = ownerWindow();
    if (!owner)
        return;
    const bool browsing = !isEditing();
    const bool readOnly = browsing;
    const QColor colourNow = browsing ? m_browseColor : m_editColor;
    const QColor focusNow = browsing ? m_browseColor : m_colorOnFocus;
    const bool master = m_masterChange;
    const bool detail = !m_masterChange && m_detailChange;

    const QList<QWidget*> all = owner->findChildren<QWidget*>();
    for (QWidget* w : all) {
        int tag = qnTag(w);
        // Grids are frozen while a record is being edited.
        if (auto* grid = dynamic_cast<TQnNDBGrid*>(w)) {
            if (tag != 1)
                grid->setEnabled(browsing);
            continue;
        }
        if (master) {
            if (tag > 499)
                continue;
        } else if (detail) {
            if (tag < 500)
                continue;
            tag -= 500;
        } else {
            if (tag == 100)
                continue;
            if (tag == 5 || tag == 30) {
                w->setEnabled(browsing);
                continue;
            }
        }
        if (tag == 3 || tag == 4) {
            if (auto* e = dynamic_cast<TQnDBEdit*>(w)) {
                e->setReadOnly(true);
                e->setFocusPolicy(Qt::ClickFocus);
            }
            continue;
        }
        if (auto* e = dynamic_cast<TQnDBEdit*>(w)) {
            e->setReadOnly(tag == 2 || readOnly);
            colour(e, colourNow, focusNow);
        } else if (auto* cb = dynamic_cast<TQnDBComboBox*>(w)) {
            cb->setReadOnly(tag == 2 || readOnly);
            colour(cb, colourNow, focusNow);
        } else if (auto* e = dynamic_cast<TQnEdit*>(w)) {
            e->setReadOnly(tag == 2 || readOnly);
            colour(e, colourNow, focusNow);
        } else if (auto* ce = dynamic_cast<TQnCustomComboEdit*>(w)) {
            if (master && tag == 5)
                continue;
            if (!dynamic_cast<TQnComboEdit*>(w) && !dynamic_cast<TQnDBComboEdit*>(w))
                continue;
            const bool ro = tag == 2 || tag == 7 || readOnly;
            ce->setReadOnly(ro);
            colour(ce, colourNow, focusNow);
            if (tag == 6 || tag == 7)
                ce->setButtonEnabled(readOnly);
            else
                ce->setButtonEnabled(!ro);
        } else if (auto* le = dynamic_cast<TQnLCustomComboEdit*>(w)) {
            if (master && tag == 5)
                continue;
            le->setReadOnly(tag == 2 || tag == 7 || readOnly);
            colour(le, colourNow, focusNow);
        } else if (auto* ll = dynamic_cast<TQnDBLookupListBox*>(w)) {
            if (detail && tag == 2)
                ll->setReadOnly(true);
            else
                ll->setReadOnly(tag == 2 || tag == 200 ? false : readOnly);
            colour(ll, colourNow, focusNow);
        } else if (auto* lc = dynamic_cast<TQnDBLookupComboBox*>(w)) {
            lc->setReadOnly(tag == 2 || tag == 200 ? false : readOnly);
            colour(lc, colourNow, focusNow);
        } else if (auto* lb = dynamic_cast<TQnListBox*>(w)) {
            colour(lb, colourNow, focusNow);
            lb->setEnabled(tag == 2 || browsing);
        } else if (auto* cbx = dynamic_cast<TQnComboBox*>(w)) {
            colour(cbx, colourNow, focusNow);
            cbx->setEnabled(tag == 2 || browsing);
        }
    }
}
