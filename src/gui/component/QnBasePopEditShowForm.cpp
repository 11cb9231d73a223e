#include "QnBasePopEditShowForm.h"

#include "QnChild.h"
#include "QnColor.h"
#include "QnDataSource.h"

#include "common/MessageSink.h"
#include "db/Lookups.h"
#include "query/QnQuery.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* pushButton(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TQnBasePopEditShowForm::TQnBasePopEditShowForm(QWidget* parent) : TQnBaseForm(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    m_ds = new TQnDataSource(this);
    m_ds->setObjectName(QStringLiteral("DS"));
    // The caller's query is watched by the window's own close check (its own message), not by QnChild's.
    setQnTag(m_ds, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    m_panel1 = new QWidget(this);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    layout->addWidget(m_panel1, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    m_panel2 = new QWidget(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_panel2);

    m_first = pushButton(m_panel2, "button1_first", "首条");
    m_prior = pushButton(m_panel2, "button1_prior", "前条");
    m_next = pushButton(m_panel2, "button1_next", "下条");
    m_last = pushButton(m_panel2, "button1_last", "末条");
    m_add = pushButton(m_panel2, "Button_add", "增加[F5]");
    m_edit = pushButton(m_panel2, "button_edit", "编辑[F6]");
    m_delete = pushButton(m_panel2, "button_delete", "删除[F7]");
    m_save = pushButton(m_panel2, "button_save", "保存[F8]");
    m_cancel = pushButton(m_panel2, "button_cancel", "取消[F9]");
    m_print = pushButton(m_panel2, "Button_Print", "打印[F11]");
    m_ok = pushButton(m_panel2, "button_Ok", "确定[F3]");
    m_close = pushButton(m_panel2, "button_close", "关闭[F12]");
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    auto* bar = new QHBoxLayout(m_panel2);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(4);
    for (QPushButton* b : {m_first, m_prior, m_next, m_last})
        bar->addWidget(b);
    bar->addSpacing(12);
    bar->addStretch();
    for (QPushButton* b : {m_add, m_edit, m_delete, m_save, m_cancel, m_print, m_ok, m_close})
        bar->addWidget(b);

    using L = TQnDataSource;
    m_ds->setButton(L::Button_Add, m_add);
    m_ds->setButton(L::Button_Find, m_add);
    m_ds->setButton(L::Button_Edit, m_edit);
    m_ds->setButton(L::Button_Delete, m_delete);
    m_ds->setButton(L::Button_Save, m_save);
    m_ds->setButton(L::Button_Cancel, m_cancel);
    m_ds->setButton(L::Button_Print, m_print);
    m_ds->setButton(L::Button_Close, m_close);
    m_ds->setButton(L::Button_First, m_first);
    m_ds->setButton(L::Button_Prior, m_prior);
    m_ds->setButton(L::Button_Next, m_next);
    m_ds->setButton(L::Button_Last, m_last);
    // 确定 takes the record only while browsing.
    connect(m_ds, &TQnDataSource::stateChange, this, [this] { m_ok->setEnabled(!m_ds->isEditing()); });

    connect(m_add, &QPushButton::clicked, this, [this] { Button_addClick(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { button_editClick(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { button_deleteClick(); });
    connect(m_save, &QPushButton::clicked, this, [this] { button_saveClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { button_cancelClick(); });
    connect(m_print, &QPushButton::clicked, this, [this] { Button_PrintClick(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { button_OkClick(); });
    connect(m_close, &QPushButton::clicked, this, [this] { button_closeClick(); });
    connect(m_first, &QPushButton::clicked, this, [this] { button1_firstClick(); });
    connect(m_prior, &QPushButton::clicked, this, [this] { button1_priorClick(); });
    connect(m_next, &QPushButton::clicked, this, [this] { button1_nextClick(); });
    connect(m_last, &QPushButton::clicked, this, [this] { button1_lastClick(); });

    bindKey(Qt::Key_F3, m_ok);
    bindKey(Qt::Key_F5, m_add);
    bindKey(Qt::Key_F6, m_edit);
    bindKey(Qt::Key_F7, m_delete);
    bindKey(Qt::Key_F8, m_save);
    bindKey(Qt::Key_F9, m_cancel);
    bindKey(Qt::Key_F11, m_print);
    bindKey(Qt::Key_F12, m_close);
}

void TQnBasePopEditShowForm::addBarButton(QPushButton* button, int beforeIndex)
{
    auto* bar = static_cast<QHBoxLayout*>(m_panel2->layout());
    button->setParent(m_panel2);
    button->setAutoDefault(false);
    const int closeAt = bar->indexOf(m_close);
    bar->insertWidget(beforeIndex < 0 ? closeAt : beforeIndex, button);
}

void TQnBasePopEditShowForm::FormShow()
{
    TQnBaseForm::FormShow();
    LookupRights();
    m_add->setEnabled(m_editRight);
    m_edit->setEnabled(m_editRight);
    m_delete->setEnabled(m_editRight);
    m_print->setEnabled(m_printRight);
    m_ds->setDataSet(m_editSet);
    PrepareDataSource(m_ds);
    m_ds->RefreshControls();
}

void TQnBasePopEditShowForm::changeEvent(QEvent* event)
{
    TQnBaseForm::changeEvent(event);
    // Activated while the caller's record is being edited from elsewhere: that edit is dropped.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_editSet && m_editSet->isEditing() &&
        !m_save->isEnabled())
        m_editSet->CancelRecord();
}

void TQnBasePopEditShowForm::Button_addClick()
{
    if (!m_editSet || !m_editSet->isOpen())
        return;
    RefreshLoginDate();
    m_editSet->AppendRecord();
    m_added = true;
}

void TQnBasePopEditShowForm::button_editClick()
{
    if (!m_editSet || !m_editSet->isOpen() || m_editSet->isEmpty())
        return;
    RefreshLoginDate();
    m_editSet->EditRecord();
}

void TQnBasePopEditShowForm::button_deleteClick()
{
    if (!m_editSet || !m_editSet->isOpen() || m_editSet->isEmpty())
        return;
    m_editSet->DeleteRecord();
}

void TQnBasePopEditShowForm::button_saveClick()
{
    m_panel2->setFocus(Qt::OtherFocusReason);
    if (m_editSet && m_editSet->isEditing())
        m_editSet->SaveRecord();
}

void TQnBasePopEditShowForm::button_cancelClick()
{
    if (m_editSet && m_editSet->isOpen())
        m_editSet->CancelRecord();
}

void TQnBasePopEditShowForm::button_OkClick()
{
    if (!m_editSet || m_editSet->isEmpty()) {
        ShowWarning(QStringLiteral("必须选择一个记录"));
        return;
    }
    if (m_editSet->isEditing()) {
        ShowWarning(QStringLiteral("必须先按“保存”或“取消”按钮后才能关闭窗口"));
        return;
    }
    accept();
}

void TQnBasePopEditShowForm::button_closeClick()
{
    close();
}

void TQnBasePopEditShowForm::closeEvent(QCloseEvent* event)
{
    if (m_editSet && m_editSet->isEditing()) {
        ShowWarning(QStringLiteral("必须先按“保存”或“取消”按钮后才能关闭窗口"));
        event->ignore();
        return;
    }
    TQnBaseForm::closeEvent(event);
}

void TQnBasePopEditShowForm::button1_firstClick()
{
    if (!m_editSet || m_editSet->isEmpty())
        return;
    m_editSet->First();
}

void TQnBasePopEditShowForm::button1_lastClick()
{
    if (!m_editSet || m_editSet->isEmpty())
        return;
    m_editSet->Last();
}

void TQnBasePopEditShowForm::button1_priorClick()
{
    if (!m_editSet || m_editSet->isEmpty())
        return;
    m_editSet->Prior();
    if (m_editSet->isFirst())
        ShowWarning(QStringLiteral("已到第一个纪录"));
}

void TQnBasePopEditShowForm::button1_nextClick()
{
    if (!m_editSet || m_editSet->isEmpty())
        return;
    m_editSet->Next();
    if (m_editSet->isLast())
        ShowWarning(QStringLiteral("已到最后一个纪录"));
}
