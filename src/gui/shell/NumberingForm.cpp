#include "NumberingForm.h"

#include "ShellStyle.h"
#include "common/AppContext.h"
#include "db/Lookups.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Yes = QStringLiteral("是");
const QString No = QStringLiteral("否");

} // namespace

TNumberingForm::TNumberingForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("NumberingForm"));
    setWindowTitle(QStringLiteral("编号方式设置窗口"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto box = [this](const QString& name, const QString& caption, bool checked) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(name);
        b->setChecked(checked);
        return b;
    };
    const QString detailName = AppContext::instance().DetailName;
    m_archiveId = box(QStringLiteral("CheckBox_ArchiveId"), QStringLiteral("系统自动填写档案编号"),
                      SettingIsOn(QStringLiteral("档案编号")));
    m_detailId =
        box(QStringLiteral("CheckBox_DetailId"), QStringLiteral("系统自动填写") + detailName + QStringLiteral("编号"),
            SettingIsOn(QStringLiteral("档案明细编号")));
    m_lendId = box(QStringLiteral("CheckBox_LendId"), QStringLiteral("系统自动填写档案借阅编号"),
                   SettingIsOn(QStringLiteral("档案借阅编号")));
    m_overdue = box(QStringLiteral("CheckBox_Overdue"), QStringLiteral("启动借阅档案过期未还提醒"),
                    SettingIsOn(QStringLiteral("过期未还提醒")));
    // The box says "back up", the setting says "do not back up".
    m_backup = box(QStringLiteral("CheckBox_Backup"), QStringLiteral("系统自动备份数据"),
                   !SettingIsOn(QStringLiteral("不自动数据备份")));

    auto* group = new QGroupBox(QStringLiteral("档案编号方式及重复检查设置"), this);
    group->setObjectName(QStringLiteral("RadioGroup_Scheme"));
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(24);
    m_scheme = new QButtonGroup(this);
    const char* captions[] = {"统一档案编号", "按一级档案类别编号", "按档案类别编号", "不检查重复编号"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(captions[i]), group);
        radio->setObjectName(QStringLiteral("RadioButton_Scheme%1").arg(i));
        m_scheme->addButton(radio, i);
        grid->addWidget(radio, i / 2, i % 2);
    }
    const int scheme = std::clamp(LoadNumberingScheme(), 0, 3);
    m_scheme->button(scheme)->setChecked(true);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("button_Ok"));
    m_ok->setAutoDefault(false);
    m_ok->setMinimumWidth(90);

    auto* boxes = new QVBoxLayout;
    boxes->setSpacing(8);
    for (QCheckBox* b : {m_archiveId, m_detailId, m_lendId, m_overdue, m_backup})
        boxes->addWidget(b);

    auto* body = new QHBoxLayout;
    body->setSpacing(18);
    body->addWidget(ShellStyle::pictureLabel(QStringLiteral(":/icons/numbering.svg"), 48, this), 0, Qt::AlignTop);
    body->addLayout(boxes, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(14);
    layout->addLayout(body);
    layout->addWidget(group);
    layout->addLayout(buttons);
    ShellStyle::applyEntryColours(this);

    connect(m_ok, &QPushButton::clicked, this, &TNumberingForm::confirm);
    setFixedSize(sizeHint());
}

void TNumberingForm::keyPressEvent(QKeyEvent* event)
{
    // Esc means 确定 here: the window has nothing to cancel.
    if (event->key() == Qt::Key_Escape) {
        confirm();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TNumberingForm::confirm()
{
    auto flag = [](bool on) { return on ? Yes : No; };
    WriteSetting(QStringLiteral("档案编号"), flag(m_archiveId->isChecked()));
    WriteSetting(QStringLiteral("档案明细编号"), flag(m_detailId->isChecked()));
    WriteSetting(QStringLiteral("档案借阅编号"), flag(m_lendId->isChecked()));
    WriteSetting(QStringLiteral("过期未还提醒"), flag(m_overdue->isChecked()));
    WriteSetting(QStringLiteral("不自动数据备份"), flag(!m_backup->isChecked()));
    const int scheme = std::max(0, m_scheme->checkedId());
    WriteSetting(QStringLiteral("分类编号"), QString::number(scheme));
    AppContext::instance().NumberingScheme = scheme;
    accept();
}
