#pragma once

#include "common/AppContext.h"
#include "db/Rights.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class TQnMain;

// A data set that can hold unsaved input besides TQnQuery (which the child knows by itself): a program window
// refuses to close while one of its data sets (QObjects under the window whose "tag" property is 0 or unset)
// is inserting or editing. A screen's own editor, or the window itself, may implement it.
class TQnDataSetState
{
public:
    virtual ~TQnDataSetState() = default;
    // Inserting or editing a record.
    virtual bool isEditing() const = 0;
    // The window is closing: drop the result (cancelled edits are impossible here, see isEditing).
    virtual void closeDataSet() {}
};

// A control that takes Enter for itself like the OnSelect of TQnEdit, TQnMEdit and the combo edits (which the
// child knows by themselves): when it answers true the focus stays in the control.
class TQnEnterSelect
{
public:
    virtual ~TQnEnterSelect() = default;
    virtual bool selectOnEnter() = 0;
};

// The component that every program window carries once (objectName "QnChild"): it reports the window's
// showing, minimising and closing to the application controller, places it over the main window, moves the
// focus with Enter and the arrow keys, and refuses to close the window while a data set is being edited.
// Dialogs may carry one for the key handling alone; a window is reported only after ShowChild.
class TQnChild : public QObject
{
    Q_OBJECT
public:
    enum MoveOption
    {
        moEnter = 0x1,
        moUpDn = 0x2
    };
    Q_DECLARE_FLAGS(MoveOptions, MoveOption)

    // A second TQnChild on one window throws EInvalidOperation("TQnChild控件只能有一个").
    explicit TQnChild(QWidget* window);
    ~TQnChild() override;

    static TQnChild* of(const QWidget* window);
    QWidget* window() const { return m_window; }

    // Settings (the documented properties).
    bool EnterMove() const { return m_enterMove; }
    void setEnterMove(bool on) { m_enterMove = on; }
    MoveOptions Options() const { return m_options; }
    void setOptions(MoveOptions options) { m_options = options; }
    bool EditNoBeep() const { return m_editNoBeep; }
    void setEditNoBeep(bool on) { m_editNoBeep = on; }
    bool NotTopShow() const { return m_notTopShow; }
    void setNotTopShow(bool on) { m_notTopShow = on; }
    QString DataBaseName() const { return m_dataBaseName; }
    void setDataBaseName(const QString& name) { m_dataBaseName = name; }
    QString Language() const { return m_language; }
    QColor Color() const { return m_color; }
    QColor LabelColor() const { return m_labelColor; }
    QColor EditColor() const { return m_editColor; }
    QColor ColorOnFocus() const { return m_colorOnFocus; }
    TSqlType SqlType() const { return m_sqlType; }

    // Takes language, colours, database name and dialect from the login context and hooks the window
    // (keys, close, show, minimise). The constructor calls it; calling it again refreshes the settings.
    void Attach();

    // Shows and places the window over the main window and reports it to the controller. placement 1
    // keeps it from staying above the main window. Returns the window's identifier (0 when showing failed).
    int ShowChild(int placement);
    // The identifier while reported (-1 once the close was reported, 0 before ShowChild).
    int identifier() const { return m_id; }

    // Rights through the window's own data access (the same lookups as TQnMain).
    bool GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                          const QString& userId) const;
    QString GetRight(const QString& userId, int groupId, int rightIndex, int programId) const;
    bool SetRight(const QString& userId, int groupId, const QString& value, int rightIndex, int programId) const;

    // False while dataSet (a TQnDataSetState) is inserting or editing.
    bool CanCloseDataSet(const QObject* dataSet) const;
    // Every data set of the window may close; otherwise shows "必须先保存或取消新增的数据或修改后的数据".
    bool canCloseWindow() const;

    // Moves the focus to the next (forward) or previous control of the window, in tab order.
    void moveFocus(bool forward);

signals:
    // The window has closed: grids save their layouts, data sets have been closed.
    void windowClosed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QWidget* focus, int key, Qt::KeyboardModifiers modifiers);
    void reportClosed();
    void closeDataSets();

    QPointer<QWidget> m_window;
    int m_id = 0;
    bool m_enterMove = true;
    MoveOptions m_options = MoveOptions(moEnter | moUpDn);
    bool m_editNoBeep = true;
    bool m_notTopShow = false;
    bool m_closeRequested = false;
    bool m_minimised = false;
    QString m_dataBaseName;
    QString m_language;
    QColor m_color, m_labelColor, m_editColor, m_colorOnFocus;
    TSqlType m_sqlType = TSqlType::urStandard;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TQnChild::MoveOptions)
