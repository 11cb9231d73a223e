#pragma once

#include "QnBaseForm.h"

class QFrame;
class QToolBar;
class QToolButton;
class QVBoxLayout;

// A program window with the tool bar of command buttons (captions with their function keys, our own
// pictures) and the function keys F5 to F12. Buttons are found by their objectName (button_add …).
class TQnAppForm : public TQnBaseForm
{
    Q_OBJECT
public:
    explicit TQnAppForm(QWidget* parent = nullptr);

    QFrame* CoolBar1() const { return m_coolBar; }
    QToolBar* ToolBar1() const { return m_toolBar; }
    QToolButton* button_add() const { return m_buttons[0]; }
    QToolButton* button_edit() const { return m_buttons[1]; }
    QToolButton* button_delete() const { return m_buttons[2]; }
    QToolButton* button_save() const { return m_buttons[3]; }
    QToolButton* button_cancel() const { return m_buttons[4]; }
    QToolButton* button_find() const { return m_buttons[5]; }
    QToolButton* button_First() const { return m_buttons[6]; }
    QToolButton* button_Prior() const { return m_buttons[7]; }
    QToolButton* button_next() const { return m_buttons[8]; }
    QToolButton* button_Last() const { return m_buttons[9]; }
    QToolButton* Button_Other() const { return m_buttons[10]; }
    QToolButton* button_check() const { return m_buttons[11]; }
    QToolButton* button_print() const { return m_buttons[12]; }
    QToolButton* button_close() const { return m_buttons[13]; }
    QList<QToolButton*> toolButtons() const;

    // The area below the tool bar for the window's own controls.
    QWidget* clientArea() const { return m_client; }

    // Shows or hides a tool button (the bar closes up around hidden ones).
    static void setButtonShown(QToolButton* button, bool shown);

protected:
    void FormShow() override;

private:
    QFrame* m_coolBar;
    QToolBar* m_toolBar;
    QToolButton* m_buttons[14];
    QWidget* m_client;
};
