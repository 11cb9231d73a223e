#pragma once

#include "db/Rights.h"

#include <QDialog>
#include <QHash>

class QPushButton;
class TQnChild;
class TQnDataSource;
class TQnNDBGrid;
class TQnQuery;

// The pop-up list window used as a chooser or a small list editor: Panel3 on top for the window's filter
// controls, the grid DBGrid on DS/Query, and Panel2 with the push buttons. Shown modally; closing only
// hides it (the caller reads the result and frees it). 确定 needs a record; the window cannot close while
// Query is adding or editing.
class TQnAppPopForm : public QDialog
{
    Q_OBJECT
public:
    explicit TQnAppPopForm(QWidget* parent = nullptr);

    TQnChild* QnChild() const { return m_child; }
    TQnQuery* Query() const { return m_query; }
    TQnDataSource* DS() const { return m_ds; }
    TQnNDBGrid* DBGrid() const { return m_grid; }
    QWidget* Panel3() const { return m_panel3; }
    QWidget* Panel1000() const { return m_panel1000; }
    QWidget* Panel2() const { return m_panel2; }
    QPushButton* button_add() const { return m_add; }
    QPushButton* button_edit() const { return m_edit; }
    QPushButton* button_delete() const { return m_delete; }
    QPushButton* button_find() const { return m_find; }
    QPushButton* button_save() const { return m_save; }
    QPushButton* button_cancel() const { return m_cancel; }
    QPushButton* Button_Print() const { return m_print; }
    QPushButton* button_Ok() const { return m_ok; }
    QPushButton* button_close() const { return m_close; }

    QString ComposeName() const { return m_composeName; }
    void setComposeName(const QString& name) { m_composeName = name; }
    QString ProgramName() const { return m_programName; }
    void setProgramName(const QString& name) { m_programName = name; }
    bool EditRight() const { return m_editRight; }
    void setEditRight(bool on) { m_editRight = on; }
    bool PrintRight() const { return m_printRight; }
    void setPrintRight(bool on) { m_printRight = on; }
    bool CheckRight() const { return m_checkRight; }
    void setCheckRight(bool on) { m_checkRight = on; }

    void PrepareDataSource(TQnDataSource* ds);

public slots:
    virtual void button_addClick();
    virtual void button_editClick();
    virtual void button_deleteClick();
    virtual void button_findClick() {}
    virtual void button_saveClick();
    virtual void button_cancelClick();
    virtual void Button_PrintClick() {}
    virtual void button_OkClick();
    virtual void button_closeClick();

protected:
    virtual void FormShow();
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void bindKey(int key, QPushButton* button);
    QHash<int, QPushButton*> m_keys;
    // Buttons laid out in Panel2 in this order (subclasses may add their own before showing).
    QList<QPushButton*> m_buttonOrder;

    bool m_editRight = true;
    bool m_printRight = false;
    bool m_checkRight = false;

private:
    TQnChild* m_child;
    TQnQuery* m_query;
    TQnDataSource* m_ds;
    TQnNDBGrid* m_grid;
    QWidget* m_panel3;
    QWidget* m_panel1000;
    QWidget* m_panel2;
    QPushButton *m_add, *m_edit, *m_delete, *m_find, *m_save, *m_cancel, *m_print, *m_ok, *m_close;
    QString m_composeName;
    QString m_programName;
    bool m_created = false;
};
