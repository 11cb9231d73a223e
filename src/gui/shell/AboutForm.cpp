#include "AboutForm.h"

#include "SplashForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

class TitlePicture : public QWidget
{
public:
    explicit TitlePicture(QWidget* parent) : QWidget(parent) { setFixedSize(420, 170); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        PaintTitlePicture(p, rect(), 34);
    }
};

} // namespace

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("Label_About"));
    text->setTextFormat(Qt::RichText);
    text->setText(QStringLiteral("<p><b>vuzazo 档案管理系统 单机版</b>　版本 %1</p>"
                                 "<p>档案类别、档案及明细资料、电子文档和图片、借阅登记、查询、报表打印、"
                                 "EXCEL资料导入导出、用户权限、数据备份与恢复。</p>"
                                 "<p>出品：vuzazo 开发组<br>"
                                 "使用中的问题请先按 F1 查看《vuzazo单机版说明》。</p>")
                      .arg(QStringLiteral(VUZAZO_VERSION)));
    text->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("button_Ok"));
    ok->setMinimumWidth(90);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(new TitlePicture(this), 0, Qt::AlignHCenter);
    layout->addWidget(text);
    layout->addLayout(buttons);
    setFixedWidth(452);
    setFixedHeight(sizeHint().height());
}
