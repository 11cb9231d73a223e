#include "SplashForm.h"

#include <QEventLoop>

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <algorithm>

void PaintTitlePicture(QPainter& p, const QRect& r, int titlePointSize)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(0x2b, 0x6c, 0xb0));
    sky.setColorAt(1, QColor(0x0e, 0x3a, 0x66));
    p.fillRect(r, sky);

    // Shelves of archive boxes along the bottom, drawn faintly.
    const int shelfTop = r.top() + r.height() * 62 / 100;
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 2; ++row) {
        const int y = shelfTop + row * (r.height() * 17 / 100);
        const int h = r.height() * 13 / 100;
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRect(QRect(r.left(), y + h, r.width(), 4));
        int x = r.left() + 14 + row * 9;
        int n = 0;
        while (x < r.right() - 20) {
            const int w = 18 + (n * 7 % 3) * 4;
            const int bh = h - (n * 5 % 4) * 3;
            p.setBrush(QColor(255, 255, 255, 20 + (n % 3) * 10));
            p.drawRoundedRect(QRect(x, y + h - bh, w, bh), 2, 2);
            p.setBrush(QColor(255, 255, 255, 60));
            p.drawRect(QRect(x + w / 2 - 3, y + h - bh + 6, 6, 3));
            x += w + 4;
            ++n;
        }
    }

    QFont title(QStringLiteral("DejaVu Serif"), titlePointSize, QFont::Bold);
    title.setItalic(true);
    p.setFont(title);
    const QRect titleRect(r.left(), r.top() + r.height() * 10 / 100, r.width(), r.height() * 40 / 100);
    p.setPen(QColor(255, 255, 255));
    p.drawText(titleRect.translated(-2, -2), Qt::AlignCenter, QStringLiteral("vuzazo"));
    p.setPen(QColor(0, 0, 0));
    p.drawText(titleRect.translated(2, 2), Qt::AlignCenter, QStringLiteral("vuzazo"));
    p.setPen(QColor(0xf2, 0xc1, 0x4e));
    p.drawText(titleRect, Qt::AlignCenter, QStringLiteral("vuzazo"));
    p.restore();
}

TSplashForm::TSplashForm(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_TranslucentBackground, false);
    setFixedSize(520, 320);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::showFor(int milliseconds)
{
    show();
    raise();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::max(0, milliseconds));
    loop.exec();
    close();
}

void TSplashForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    PaintTitlePicture(p, rect(), 44);
    p.setPen(QColor(255, 255, 255, 230));
    QFont f = font();
    f.setPointSize(12);
    p.setFont(f);
    const QRect text(0, height() * 46 / 100, width(), 28);
    p.drawText(text, Qt::AlignCenter, QStringLiteral("档案管理系统 单机版"));
    f.setPointSize(9);
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawText(QRect(16, height() - 30, width() - 32, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("vuzazo 开发组"));
    p.drawText(QRect(16, height() - 30, width() - 32, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("版本 %1").arg(QStringLiteral(VUZAZO_VERSION)));
    p.setPen(QColor(255, 255, 255, 90));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
