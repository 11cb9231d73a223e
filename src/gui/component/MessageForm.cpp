#include "MessageForm.h"

#include "DesktopServices.h"
#include "common/MessageSink.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QVBoxLayout>

TMessageForm::TMessageForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("MessageForm"));
    setWindowTitle(QStringLiteral("信息显示窗口"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinMaxButtonsHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setSizeGripEnabled(true);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Memo"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setAccessibleName(QStringLiteral("信息"));

    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("button_Close"));
    auto* save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("button_Save"));
    for (QPushButton* b : {save, close}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
    }
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(save, &QPushButton::clicked, this, &TMessageForm::save);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);

    resize(640, 460);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TMessageForm::setLines(const QStringList& lines)
{
    m_lines = lines;
    m_text->setPlainText(lines.join(QLatin1Char('\n')));
}

void TMessageForm::addLine(const QString& line)
{
    m_lines << line;
    m_text->appendPlainText(line);
}

bool TMessageForm::saveTo(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const QString& line : m_lines)
        file.write((line + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

void TMessageForm::save()
{
    QString path =
        DesktopServices::getSaveFileName(this, QStringLiteral("保存"), m_fileName, QStringLiteral("txt (*.txt)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    if (!saveTo(path))
        ShowWarning(QStringLiteral("文件保存错误: ") + path);
}
