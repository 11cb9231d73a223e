#include "MarginForm.h"

#include "common/MessageSink.h"
#include "report/ReportRunTime.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TMarginForm::TMarginForm(TReportRunTime& runTime, QWidget* parent) : QDialog(parent), m_runTime(runTime)
{
    setObjectName(QStringLiteral("MarginForm"));
    setWindowTitle(QStringLiteral("报表属性设置"));
    const TReportControl& t = runTime.templateControl();
    m_paper = TReportRunTime::pageLayout(t);

    auto box = [this](const QString& name, const QString& caption, int value, QFormLayout* form) {
        auto* s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(0, 200);
        s->setValue(value);
        s->setAccessibleName(caption);
        form->addRow(caption, s);
        return s;
    };
    auto* form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("单位:毫米"), this));
    m_left = box(QStringLiteral("edit_left"), QStringLiteral("左边距:"), t.leftMarginMm(), form);
    m_top = box(QStringLiteral("edit_top"), QStringLiteral("上边距:"), t.topMarginMm(), form);
    m_right = box(QStringLiteral("edit_right"), QStringLiteral("右边距:"), t.rightMarginMm(), form);
    m_bottom = box(QStringLiteral("edit_bottom"), QStringLiteral("下边距:"), t.bottomMarginMm(), form);
    m_paperLabel = new QLabel(this);
    auto* setupButton = new QPushButton(QStringLiteral("Setup"), this);
    setupButton->setObjectName(QStringLiteral("button_setup"));
    auto* paperRow = new QHBoxLayout;
    paperRow->addWidget(m_paperLabel, 1);
    paperRow->addWidget(setupButton);
    form->addRow(QStringLiteral("打印纸:"), paperRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(setupButton, &QPushButton::clicked, this, &TMarginForm::setup);
    connect(buttons, &QDialogButtonBox::accepted, this, &TMarginForm::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showPaper();
}

void TMarginForm::showPaper()
{
    m_paperLabel->setText(
        m_paper.pageSize().name() + QStringLiteral(", ") +
        (m_paper.orientation() == QPageLayout::Landscape ? QStringLiteral("横向") : QStringLiteral("纵向")));
}

void TMarginForm::setup()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_paper);
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_paper = printer.pageLayout();
    showPaper();
}

void TMarginForm::accept()
{
    QString error;
    if (!m_runTime.changePageSetup(m_left->value(), m_top->value(), m_right->value(), m_bottom->value(), &m_paper,
                                   &error)) {
        ShowWarning(QStringLiteral("报表模板保存过程发生错误") +
                    (error.isEmpty() ? QString() : QLatin1Char('\n') + error));
        return;
    }
    QDialog::accept();
}
