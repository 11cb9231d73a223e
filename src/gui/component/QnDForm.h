#pragma once

#include "QnAppForm.h"

class TQnDataSource;
class TQnQuery;

// The single-query data-entry window: Query, its data source DS linked to the tool bar, and Panel1 for the
// window's controls. The commands act on ActiveQuery (Query unless the subclass points elsewhere); the
// navigation buttons move in NavigationDataSet. A subclass overrides the click handlers it changes and
// calls the base handler for the common part.
class TQnDForm : public TQnAppForm
{
    Q_OBJECT
public:
    explicit TQnDForm(QWidget* parent = nullptr);

    TQnQuery* Query() const { return m_query; }
    TQnDataSource* DS() const { return m_ds; }
    QWidget* Panel1() const { return m_panel; }
    TQnQuery* ActiveQuery() const { return m_activeQuery; }
    void setActiveQuery(TQnQuery* q) { m_activeQuery = q; }
    TQnQuery* NavigationDataSet() const { return m_navigation; }
    void setNavigationDataSet(TQnQuery* q) { m_navigation = q; }
    bool Adding() const { return m_adding; }
    bool Editing() const { return m_editing; }

    // Fixed window size range of the data-entry windows.
    static constexpr int MinWidth = 758, MaxWidth = 760, MinHeight = 500, MaxHeight = 505;

public slots:
    virtual void button_addClick();
    virtual void button_editClick();
    virtual void button_deleteClick();
    virtual void button_saveClick();
    virtual void button_cancelClick();
    virtual void button_findClick() {}
    virtual void button_FirstClick();
    virtual void button_PriorClick();
    virtual void button_nextClick();
    virtual void button_LastClick();
    virtual void Button_OtherClick() {}
    virtual void button_checkClick();
    virtual void button_printClick() {}
    virtual void button_closeClick();

protected:
    void FormShow() override;

    bool m_adding = false;
    bool m_editing = false;

private:
    TQnQuery* m_query;
    TQnDataSource* m_ds;
    QWidget* m_panel;
    TQnQuery* m_activeQuery;
    TQnQuery* m_navigation;
};
