#pragma once

#include "QnChild.h"
#include "query/QnQuery.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

// The state machine behind a data screen's commands. It ties a TQnQuery to the window's buttons and input
// controls: whenever the query changes state the linked buttons are enabled for browsing (add, edit, delete,
// find, navigation, print, close) or for editing (save, cancel), as far as the rights allow, and the window's
// input controls switch between read-only browsing in BrowseColor and editing in EditColor (ColorOnFocus on
// entry). Rights never enable a button; they only keep one disabled.
//
// Controls are treated by their tag (the "tag" property):
//   whole-window mode (IS_MASTER_CHANGE and IS_DETAIL_CHANGE off): tag 100 is left alone, tags 5 and 30
//   are enabled only while browsing; master mode: tags above 499 are left alone; detail mode: tags below 500
//   are left alone and 500 is taken off the others. Then tag 2 is display-only on edits (always usable on
//   list and lookup boxes), tags 3 and 4 are display-only edits out of the tab order, tags 6 and 7 give combo
//   edits a button that works only while browsing.
class TQnDataSource : public QObject, public TQnDataSetState
{
    Q_OBJECT
public:
    // The buttons a data source can drive: the tool bar set, the push-button set, five speed buttons.
    enum Link
    {
        ButtonNew,
        ButtonAdd,
        ButtonEdit,
        ButtonPrint,
        ButtonCheck,
        ButtonDelete,
        ButtonCancel,
        ButtonSave,
        ButtonFind,
        ButtonOther,
        ButtonPrior,
        ButtonNext,
        ButtonFirst,
        ButtonLast,
        Button_Add,
        Button_New,
        Button_Edit,
        Button_Delete,
        Button_Find,
        Button_Prior,
        Button_Next,
        Button_First,
        Button_Last,
        Button_Check,
        Button_Print,
        Button_Save,
        Button_Cancel,
        Button_Close,
        SpeedButton1,
        SpeedButton2,
        SpeedButton3,
        SpeedButton4,
        SpeedButton5,
        LinkCount
    };

    // owner: the window whose controls the data source governs (the parent when it is a widget).
    explicit TQnDataSource(QObject* parent = nullptr);

    TQnQuery* DataSet() const { return m_dataSet; }
    void setDataSet(TQnQuery* query);
    QWidget* ownerWindow() const;
    void setOwnerWindow(QWidget* window) { m_owner = window; }

    QColor BrowseColor() const { return m_browseColor; }
    void setBrowseColor(const QColor& c) { m_browseColor = c; }
    QColor EditColor() const { return m_editColor; }
    void setEditColor(const QColor& c) { m_editColor = c; }
    QColor ColorOnFocus() const { return m_colorOnFocus; }
    void setColorOnFocus(const QColor& c) { m_colorOnFocus = c; }
    bool ActiveColor() const { return m_activeColor; }
    void setActiveColor(bool on) { m_activeColor = on; }

    bool RightAdd() const { return m_rightAdd; }
    void setRightAdd(bool on) { m_rightAdd = on; }
    bool RightEdit() const { return m_rightEdit; }
    void setRightEdit(bool on) { m_rightEdit = on; }
    bool RightDelete() const { return m_rightDelete; }
    void setRightDelete(bool on) { m_rightDelete = on; }
    bool RightPrint() const { return m_rightPrint; }
    void setRightPrint(bool on) { m_rightPrint = on; }
    bool RightCheck() const { return m_rightCheck; }
    void setRightCheck(bool on) { m_rightCheck = on; }

    bool IS_MASTER_CHANGE() const { return m_masterChange; }
    void setIS_MASTER_CHANGE(bool on) { m_masterChange = on; }
    bool IS_DETAIL_CHANGE() const { return m_detailChange; }
    void setIS_DETAIL_CHANGE(bool on) { m_detailChange = on; }

    void setButton(Link link, QAbstractButton* button);
    QAbstractButton* button(Link link) const;

    // Once only: runs StateChanged on every state change of the data set, and once at once.
    void HookStateChange();
    bool isHooked() const { return m_hooked; }
    // Buttons and controls for the data set's state now (see the class comment); then stateChange().
    void StateChanged();
    // Keeps buttons disabled that the rights do not allow; never enables one.
    void ApplyRights();
    // Read-only state and colours of the owner window's input controls for the data set's state now.
    void RefreshControls();

    // Inserting or editing a record: the window may not close (its TQnChild asks this of every data source
    // tagged 0).
    bool isEditing() const override { return m_dataSet && m_dataSet->isEditing(); }
    // The window has closed: its own query is closed (a query handed over by another window is left open).
    void closeDataSet() override;
    bool browsing() const { return !isEditing(); }

    // The input control of the owner window bound to a column (by the descriptor's edit control, else by a
    // data-aware control's DataField), or null.
    QWidget* controlFor(const QString& column) const;

signals:
    // After the data source's own work on a state change: the screen's own handler goes here.
    void stateChange();
    // The data set was replaced (data-aware controls reconnect).
    void dataSetChanged();

private:
    void connectDataSet();
    void focusControl(QWidget* w);

    QPointer<TQnQuery> m_dataSet;
    QPointer<QWidget> m_owner;
    QList<QMetaObject::Connection> m_connections;
    QPointer<QAbstractButton> m_buttons[LinkCount];
    QColor m_browseColor;
    QColor m_editColor = Qt::white;
    QColor m_colorOnFocus;
    bool m_activeColor = true;
    bool m_rightAdd = true;
    bool m_rightEdit = true;
    bool m_rightDelete = true;
    bool m_rightPrint = true;
    bool m_rightCheck = true;
    bool m_masterChange = false;
    bool m_detailChange = false;
    bool m_hooked = false;
};
