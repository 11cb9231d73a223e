#pragma once

#include "QnBaseForm.h"

#include <QPointer>

class QPushButton;
class TQnDataSource;
class TQnQuery;

// The pop-up record editor on a data set handed over by the caller (EditSet: the list window's query), so
// a record saved or deleted here is at once saved in or gone from the caller's list. Panel1 holds the
// fields, Panel2 the push buttons. Shown modally; it cannot close while EditSet is adding or editing.
class TQnBasePopEditShowForm : public TQnBaseForm
{
    Q_OBJECT
public:
    explicit TQnBasePopEditShowForm(QWidget* parent = nullptr);

    TQnQuery* EditSet() const { return m_editSet; }
    void setEditSet(TQnQuery* set) { m_editSet = set; }
    bool Added() const { return m_added; }
    TQnDataSource* DS() const { return m_ds; }
    QWidget* Panel1() const { return m_panel1; }
    QWidget* Panel2() const { return m_panel2; }
    QPushButton* Button_add() const { return m_add; }
    QPushButton* button_edit() const { return m_edit; }
    QPushButton* button_delete() const { return m_delete; }
    QPushButton* button_save() const { return m_save; }
    QPushButton* button_cancel() const { return m_cancel; }
    QPushButton* Button_Print() const { return m_print; }
    QPushButton* button_Ok() const { return m_ok; }
    QPushButton* button_close() const { return m_close; }
    QPushButton* button1_first() const { return m_first; }
    QPushButton* button1_prior() const { return m_prior; }
    QPushButton* button1_next() const { return m_next; }
    QPushButton* button1_last() const { return m_last; }

public slots:
    virtual void Button_addClick();
    virtual void button_editClick();
    virtual void button_deleteClick();
    virtual void button_saveClick();
    virtual void button_cancelClick();
    virtual void Button_PrintClick() {}
    virtual void button_OkClick();
    virtual void button_closeClick();
    virtual void button1_firstClick();
    virtual void button1_priorClick();
    virtual void button1_nextClick();
    virtual void button1_lastClick();

protected:
    void FormShow() override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Adds a button to the bar (subclasses' own buttons go before 关闭).
    void addBarButton(QPushButton* button, int beforeIndex = -1);

    bool m_added = false;

private:
    QPointer<TQnQuery> m_editSet;
    TQnDataSource* m_ds;
    QWidget* m_panel1;
    QWidget* m_panel2;
    QPushButton *m_add, *m_edit, *m_delete, *m_save, *m_cancel, *m_print, *m_ok, *m_close;
    QPushButton *m_first, *m_prior, *m_next, *m_last;
};
