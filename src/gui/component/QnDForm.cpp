#include "QnDForm.h"

#include "QnDataSource.h"

#include "common/MessageSink.h"
#include "db/Lookups.h"
#include "query/QnQuery.h"

#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString NoRecords = QStringLiteral("没有数据记录");
}

TQnDForm::TQnDForm(QWidget* parent) : TQnAppForm(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_query = new TQnQuery(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_query->setSql(QStringLiteral("SELECT  *  FROM  "));
    m_ds = new TQnDataSource(this);
    m_ds->setObjectName(QStringLiteral("DS"));
    m_ds->setDataSet(m_query);
    m_activeQuery = m_query;
    m_navigation = m_query;

    auto* clientLayout = new QVBoxLayout(clientArea());
    clientLayout->setContentsMargins(0, 0, 0, 0);
    m_panel = new QWidget(clientArea());
    m_panel->setObjectName(QStringLiteral("Panel1"));
    clientLayout->addWidget(m_panel);

    using L = TQnDataSource;
    m_ds->setButton(L::ButtonAdd, button_add());
    m_ds->setButton(L::ButtonEdit, button_edit());
    m_ds->setButton(L::ButtonDelete, button_delete());
    m_ds->setButton(L::ButtonSave, button_save());
    m_ds->setButton(L::ButtonCancel, button_cancel());
    m_ds->setButton(L::ButtonFind, button_find());
    m_ds->setButton(L::ButtonFirst, button_First());
    m_ds->setButton(L::ButtonPrior, button_Prior());
    m_ds->setButton(L::ButtonNext, button_next());
    m_ds->setButton(L::ButtonLast, button_Last());
    m_ds->setButton(L::ButtonPrint, button_print());
    m_ds->setButton(L::ButtonCheck, button_check());
    button_save()->setEnabled(false);
    button_cancel()->setEnabled(false);
    setButtonShown(button_check(), false);

    connect(button_add(), &QToolButton::clicked, this, [this] { button_addClick(); });
    connect(button_edit(), &QToolButton::clicked, this, [this] { button_editClick(); });
    connect(button_delete(), &QToolButton::clicked, this, [this] { button_deleteClick(); });
    connect(button_save(), &QToolButton::clicked, this, [this] { button_saveClick(); });
    connect(button_cancel(), &QToolButton::clicked, this, [this] { button_cancelClick(); });
    connect(button_find(), &QToolButton::clicked, this, [this] { button_findClick(); });
    connect(button_First(), &QToolButton::clicked, this, [this] { button_FirstClick(); });
    connect(button_Prior(), &QToolButton::clicked, this, [this] { button_PriorClick(); });
    connect(button_next(), &QToolButton::clicked, this, [this] { button_nextClick(); });
    connect(button_Last(), &QToolButton::clicked, this, [this] { button_LastClick(); });
    connect(Button_Other(), &QToolButton::clicked, this, [this] { Button_OtherClick(); });
    connect(button_check(), &QToolButton::clicked, this, [this] { button_checkClick(); });
    connect(button_print(), &QToolButton::clicked, this, [this] { button_printClick(); });
    connect(button_close(), &QToolButton::clicked, this, [this] { button_closeClick(); });

    setMinimumSize(MinWidth, MinHeight);
    setMaximumSize(MaxWidth, MaxHeight);
    resize(MinWidth, MinHeight);
}

void TQnDForm::FormShow()
{
    TQnAppForm::FormShow();
    if (LookupRights()) {
        button_add()->setEnabled(m_editRight);
        button_edit()->setEnabled(m_editRight);
        button_delete()->setEnabled(m_editRight);
        button_print()->setEnabled(m_printRight);
        button_check()->setEnabled(m_checkRight);
    } else {
        m_editRight = true;
        button_add()->setEnabled(true);
        button_edit()->setEnabled(true);
        button_delete()->setEnabled(true);
    }
    PrepareQuery(m_query);
    PrepareDataSource(m_ds);
    m_ds->RefreshControls();
}

void TQnDForm::button_addClick()
{
    if (!m_activeQuery || !m_activeQuery->isOpen())
        return;
    RefreshLoginDate();
    m_activeQuery->AppendRecord();
    m_adding = true;
    m_editing = false;
}

void TQnDForm::button_editClick()
{
    if (!m_activeQuery || !m_activeQuery->isOpen() || m_activeQuery->isEmpty())
        return;
    RefreshLoginDate();
    m_activeQuery->EditRecord();
    m_adding = false;
    m_editing = true;
}

void TQnDForm::button_deleteClick()
{
    if (!m_activeQuery || !m_activeQuery->isOpen() || m_activeQuery->isEmpty())
        return;
    m_activeQuery->DeleteRecord();
}

void TQnDForm::button_saveClick()
{
    // The field being typed in gives up the focus first, so everything typed is in the record.
    ToolBar1()->setFocus(Qt::OtherFocusReason);
    if (!m_activeQuery || !m_activeQuery->isOpen())
        return;
    if (m_activeQuery->isEditing())
        m_activeQuery->SaveRecord();
}

void TQnDForm::button_cancelClick()
{
    if (!m_activeQuery || !m_activeQuery->isOpen())
        return;
    m_activeQuery->CancelRecord();
}

void TQnDForm::button_FirstClick()
{
    if (!m_navigation || m_navigation->isEmpty()) {
        ShowWarning(NoRecords);
        return;
    }
    m_navigation->First();
}

void TQnDForm::button_LastClick()
{
    if (!m_navigation || m_navigation->isEmpty()) {
        ShowWarning(NoRecords);
        return;
    }
    m_navigation->Last();
}

void TQnDForm::button_PriorClick()
{
    if (!m_navigation || m_navigation->isEmpty()) {
        ShowWarning(NoRecords);
        return;
    }
    m_navigation->Prior();
    if (m_navigation->isFirst())
        ShowWarning(QStringLiteral("已到第一个纪录"));
}

void TQnDForm::button_nextClick()
{
    if (!m_navigation || m_navigation->isEmpty()) {
        ShowWarning(NoRecords);
        return;
    }
    m_navigation->Next();
    if (m_navigation->isLast())
        ShowWarning(QStringLiteral("已到最后一个纪录"));
}

void TQnDForm::button_checkClick()
{
    if (m_query->isEmpty())
        return;
    m_adding = false;
    m_editing = false;
}

void TQnDForm::button_closeClick()
{
    close();
}
