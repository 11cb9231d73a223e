#include "QnAppPopForm.h"

#include "QnChild.h"
#include "QnDataSource.h"
#include "QnNDBGrid.h"
#include "QnSetForm.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "query/QnQuery.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* pushButton(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setMinimumWidth(78);
    return b;
}

} // namespace

TQnAppPopForm::TQnAppPopForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_child(new TQnChild(this))
{
    setFont(QnForms::windowFont());
    m_query = new TQnQuery(this);
    m_query->setObjectName(QStringLiteral("Query"));
    m_ds = new TQnDataSource(this);
    m_ds->setObjectName(QStringLiteral("DS"));
    m_ds->setDataSet(m_query);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    m_panel3 = new QWidget(this);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    layout->addWidget(m_panel3);
    m_panel1000 = new QWidget(this);
    m_panel1000->setObjectName(QStringLiteral("Panel1000"));
    auto* gridLayout = new QVBoxLayout(m_panel1000);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    m_grid = new TQnNDBGrid(m_panel1000);
    m_grid->setObjectName(QStringLiteral("DBGrid"));
    m_grid->setDataSource(m_ds);
    gridLayout->addWidget(m_grid);
    layout->addWidget(m_panel1000, 1);
    m_panel2 = new QWidget(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setFocusPolicy(Qt::ClickFocus);
    layout->addWidget(m_panel2);

    m_add = pushButton(m_panel2, "button_add", "新增[F5]");
    m_edit = pushButton(m_panel2, "button_edit", "编辑[F6]");
    m_delete = pushButton(m_panel2, "button_delete", "删除[F7]");
    m_find = pushButton(m_panel2, "button_find", "查找[F10]");
    m_save = pushButton(m_panel2, "button_save", "保存[F8]");
    m_cancel = pushButton(m_panel2, "button_cancel", "取消[F9]");
    m_print = pushButton(m_panel2, "Button_Print", "打印[F11]");
    m_ok = pushButton(m_panel2, "button_Ok", "确定[F3]");
    m_close = pushButton(m_panel2, "button_close", "关闭[F12]");
    m_save->setEnabled(false);
    m_cancel->setEnabled(false);
    m_buttonOrder = {m_add, m_edit, m_delete, m_find, m_save, m_cancel, m_print, m_ok, m_close};

    using L = TQnDataSource;
    m_ds->setButton(L::Button_Add, m_add);
    m_ds->setButton(L::Button_Edit, m_edit);
    m_ds->setButton(L::Button_Delete, m_delete);
    m_ds->setButton(L::Button_Find, m_find);
    m_ds->setButton(L::Button_Save, m_save);
    m_ds->setButton(L::Button_Cancel, m_cancel);
    m_ds->setButton(L::Button_Print, m_print);
    m_ds->setButton(L::Button_Close, m_close);
    // 确定 takes a record only while browsing.
    connect(m_ds, &TQnDataSource::stateChange, this, [this] { m_ok->setEnabled(!m_ds->isEditing()); });

    connect(m_add, &QPushButton::clicked, this, [this] { button_addClick(); });
    connect(m_edit, &QPushButton::clicked, this, [this] { button_editClick(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { button_deleteClick(); });
    connect(m_find, &QPushButton::clicked, this, [this] { button_findClick(); });
    connect(m_save, &QPushButton::clicked, this, [this] { button_saveClick(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { button_cancelClick(); });
    connect(m_print, &QPushButton::clicked, this, [this] { Button_PrintClick(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { button_OkClick(); });
    connect(m_close, &QPushButton::clicked, this, [this] { button_closeClick(); });
    connect(m_grid, &TQnNDBGrid::rowDoubleClicked, this, [this] {
        if (m_ok->isVisible() && m_ok->isEnabled())
            button_OkClick();
    });

    bindKey(Qt::Key_F3, m_ok);
    bindKey(Qt::Key_F5, m_add);
    bindKey(Qt::Key_F6, m_edit);
    bindKey(Qt::Key_F7, m_delete);
    bindKey(Qt::Key_F8, m_save);
    bindKey(Qt::Key_F9, m_cancel);
    bindKey(Qt::Key_F10, m_find);
    bindKey(Qt::Key_F11, m_print);
    bindKey(Qt::Key_F12, m_close);

    // The working date is today's (the only dialect here is the desktop one).
    AppContext::instance().LoginDate = Clock::todayText();
}

void TQnAppPopForm::bindKey(int key, QPushButton* button)
{
    m_keys.insert(key, button);
}

void TQnAppPopForm::PrepareDataSource(TQnDataSource* ds)
{
    QnForms::prepareDataSource(ds, m_editRight, m_printRight, m_checkRight);
    m_add->setEnabled(m_editRight && m_add->isEnabled());
    m_edit->setEnabled(m_editRight && m_edit->isEnabled());
    m_delete->setEnabled(m_editRight && m_delete->isEnabled());
}

void TQnAppPopForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_created) {
        m_created = true;
        auto* buttons = new QHBoxLayout(m_panel2);
        buttons->setContentsMargins(0, 0, 0, 0);
        buttons->addStretch();
        for (QPushButton* b : std::as_const(m_buttonOrder))
            buttons->addWidget(b);
        buttons->addStretch();
        QnForms::applyColourScheme(this, m_child);
    }
    FormShow();
}

void TQnAppPopForm::FormShow()
{
    if (!m_composeName.isEmpty() && !m_programName.isEmpty()) {
        ProgramRights rights;
        m_child->GetProgramRights(m_composeName, m_programName, rights, AppContext::instance().UserId);
        m_editRight = rights.add;
        m_printRight = rights.print;
        m_checkRight = rights.verify;
    }
    m_add->setEnabled(m_editRight);
    m_edit->setEnabled(m_editRight);
    m_delete->setEnabled(m_editRight);
    m_print->setEnabled(m_printRight);
    QnForms::prepareQuery(m_query);
    PrepareDataSource(m_ds);
    m_ds->RefreshControls();
    m_grid->setFocus(Qt::OtherFocusReason);
}

void TQnAppPopForm::button_addClick()
{
    if (!m_query->isOpen())
        return;
    m_query->AppendRecord();
}

void TQnAppPopForm::button_editClick()
{
    if (!m_query->isOpen() || m_query->isEmpty())
        return;
    m_query->EditRecord();
}

void TQnAppPopForm::button_deleteClick()
{
    if (!m_query->isOpen() || m_query->isEmpty())
        return;
    m_query->DeleteRecord();
}

void TQnAppPopForm::button_saveClick()
{
    m_panel2->setFocus(Qt::OtherFocusReason);
    if (m_query->isEditing())
        m_query->SaveRecord();
}

void TQnAppPopForm::button_cancelClick()
{
    if (m_query->isOpen())
        m_query->CancelRecord();
}

void TQnAppPopForm::button_OkClick()
{
    if (m_query->isEmpty()) {
        ShowWarning(QStringLiteral("必须选择一个记录"));
        return;
    }
    if (m_query->isEditing())
        return;
    accept();
}

void TQnAppPopForm::button_closeClick()
{
    if (!m_child->canCloseWindow())
        return;
    reject();
}

void TQnAppPopForm::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
}

void TQnAppPopForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) &&
        m_keys.contains(event->key())) {
        QPushButton* button = m_keys.value(event->key());
        if (button->isEnabled() && !button->isHidden())
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
