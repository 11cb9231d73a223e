#include "ShellStyle.h"

#include "common/AppContext.h"
#include "component/QnInput.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>

namespace ShellStyle {

QLabel* pictureLabel(const QString& resource, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    const qreal ratio = parent ? parent->devicePixelRatioF() : 1.0;
    QPixmap pixmap = QIcon(resource).pixmap(QSize(size, size), ratio);
    label->setPixmap(pixmap);
    label->setFixedSize(size, size);
    return label;
}

QLabel* banner(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Banner"));
    label->setStyleSheet(QStringLiteral("QLabel#Banner { color: #1f4e79; font-weight: bold; }"));
    return label;
}

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void applyEntryColours(QWidget* window)
{
    const AppContext& ctx = AppContext::instance();
    window->setStyleSheet(QStringLiteral("QDialog { background: %1; }"
                                         "QLineEdit:focus, QComboBox:focus { background: %2; }")
                              .arg(ctx.WindowColor.name(), ctx.WindowFocusColor.name()));
}

} // namespace ShellStyle
