#include "QnThread.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

const QString WindowCaption = QStringLiteral("提示窗口");

void drawFolder(QPainter& p, const QRect& r, const QColor& body)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 6);
    path.lineTo(r.left() + r.width() / 3, r.top() + 6);
    path.lineTo(r.left() + r.width() / 3 + 4, r.top() + 2);
    path.lineTo(r.left() + r.width() / 3 + 16, r.top() + 2);
    path.lineTo(r.left() + r.width() / 3 + 20, r.top() + 6);
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawPath(path);
    p.setBrush(body.lighter(115));
    p.drawRect(r.left(), r.top() + 12, r.width(), r.height() - 12);
}

void drawSheet(QPainter& p, const QPointF& centre, qreal angle)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(-8, -10, 16, 20));
    p.setPen(QColor(120, 140, 190));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(-5, -6 + i * 4), QPointF(5, -6 + i * 4));
    p.restore();
}

void drawBin(QPainter& p, const QRect& r)
{
    p.setPen(QPen(QColor(70, 80, 90), 1));
    p.setBrush(QColor(190, 200, 210));
    QPolygon body;
    body << QPoint(r.left() + 3, r.top() + 8) << QPoint(r.right() - 3, r.top() + 8) << QPoint(r.right() - 6, r.bottom())
         << QPoint(r.left() + 6, r.bottom());
    p.drawPolygon(body);
    p.drawRect(r.left(), r.top() + 3, r.width(), 5);
    for (int i = 1; i < 4; ++i) {
        const int x = r.left() + 6 + i * (r.width() - 12) / 4;
        p.drawLine(x, r.top() + 12, x, r.bottom() - 3);
    }
}

} // namespace

TQnAnimate::TQnAnimate(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(60);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % 40;
        update();
    });
}

void TQnAnimate::setKind(TOptionKind kind)
{
    m_kind = kind;
    update();
}

void TQnAnimate::start()
{
    m_timer->start();
}

void TQnAnimate::stop()
{
    m_timer->stop();
}

bool TQnAnimate::isRunning() const
{
    return m_timer->isActive();
}

void TQnAnimate::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int h = height();
    // The folders stand at the foot of the area; the sheet's arc uses the room above them.
    const QRect left(16, std::max(2, h - 44), 52, 38);
    const QRect right(width() - 68, left.top(), 52, 38);
    const qreal lift = std::clamp(left.top() - 9.0, 0.0, 22.0);
    const qreal t = m_frame / 40.0;
    switch (m_kind) {
    case crCopy:
    case crDelete: {
        drawFolder(p, left, QColor(245, 205, 95));
        if (m_kind == crCopy)
            drawFolder(p, right, QColor(245, 205, 95));
        else
            drawBin(p, QRect(right.left() + 10, right.top() - 2, 34, 42));
        const qreal x = left.center().x() + t * (right.center().x() - left.center().x());
        const qreal arc = 4.0 * t * (1.0 - t);
        const qreal y = left.top() + 4 - arc * lift;
        drawSheet(p, QPointF(x, y), t * 360.0 / 2);
        break;
    }
    case crFind: {
        drawFolder(p, QRect(width() / 2 - 40, left.top(), 80, 38), QColor(245, 205, 95));
        const qreal phase = t * 2 * 3.14159265;
        const QPointF c(width() / 2 + 40 * std::cos(phase), left.top() + 22 + 10 * std::sin(phase));
        p.setPen(QPen(QColor(60, 60, 70), 3));
        p.drawLine(c + QPointF(7, 7), c + QPointF(16, 16));
        p.setPen(QPen(QColor(60, 60, 70), 2));
        p.setBrush(QColor(200, 230, 255, 170));
        p.drawEllipse(c, 10, 10);
        break;
    }
    }
}

TThreadForm::TThreadForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ThreadForm"));
    setWindowTitle(WindowCaption);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(TQnThread::Width, TQnThread::HeightWithStop);

    m_animate = new TQnAnimate(this);
    m_animate->setObjectName(QStringLiteral("Animate1"));
    m_animate->setGeometry(40, 6, 275, 62);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("Label1"));
    m_caption->setGeometry(16, 70, 323, 20);
    m_caption->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < 3; ++i) {
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("ProgressBar%1").arg(i + 1));
        bar->setTextVisible(false);
        bar->hide();
        m_bars[i] = bar;
    }
    layoutBars();

    m_stop = new QPushButton(QStringLiteral("停止"), this);
    m_stop->setObjectName(QStringLiteral("button_close"));
    m_stop->setGeometry((TQnThread::Width - 88) / 2, 158, 88, 28);
    m_stop->setAutoDefault(false);
    m_stop->setCursor(Qt::ArrowCursor);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_stopped = true; });
}

void TThreadForm::layoutBars()
{
    // Bar 3 above bar 2 above bar 1, the lowest just above 停止; the caption sits over the highest bar shown
    // and the animation takes the rest, so a single bar leaves no hole in the window.
    constexpr int BarHeight = 14;
    constexpr int Step = 19;
    int bottom = 146;
    int highest = bottom;
    for (QProgressBar* bar : m_bars) {
        if (bar->isHidden())
            continue;
        bar->setGeometry(16, bottom - BarHeight, 323, BarHeight);
        highest = bottom - BarHeight;
        bottom -= Step;
    }
    m_caption->setGeometry(16, highest - 24, 323, 20);
    m_animate->setGeometry(40, 6, 275, std::max(40, highest - 24 - 10));
}

void TThreadForm::keyPressEvent(QKeyEvent* event)
{
    // Escape does not close the window; only the loop does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TThreadForm::closeEvent(QCloseEvent* event)
{
    if (!m_closing) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

TQnThread::TQnThread(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QnThread"));
}

TQnThread::~TQnThread()
{
    HideWindow();
}

void TQnThread::setCaption(const QString& caption)
{
    m_caption = caption;
    if (m_form) {
        m_form->setWindowTitle(caption.isEmpty() ? WindowCaption : caption);
        m_form->CaptionLabel()->setText(caption);
    }
}

void TQnThread::setActive(bool on)
{
    if (on)
        ShowWindow();
    else
        HideWindow();
}

void TQnThread::setBarShown(int bar, bool on)
{
    if (bar < 1 || bar > 3)
        return;
    m_showBar[bar - 1] = on;
    if (m_form) {
        m_form->bar(bar)->setVisible(on);
        m_form->layoutBars();
    }
}

void TQnThread::setBarMax(int bar, int n)
{
    if (bar < 1 || bar > 3)
        return;
    m_max[bar - 1] = n;
    if (m_form) {
        m_form->bar(bar)->setMaximum(std::max(0, n));
        m_form->bar(bar)->setValue(0);
    }
}

void TQnThread::setBarPosition(int bar, int n)
{
    if (bar < 1 || bar > 3 || !m_form)
        return;
    m_form->bar(bar)->setValue(n);
}

void TQnThread::ShowWindow()
{
    if (m_active && m_form)
        return;
    QWidget* owner = QApplication::activeWindow();
    auto* form = new TThreadForm(owner);
    form->setAttribute(Qt::WA_DeleteOnClose, false);
    for (int i = 1; i <= 3; ++i) {
        form->bar(i)->setVisible(m_showBar[i - 1]);
        form->bar(i)->setMaximum(std::max(0, m_max[i - 1]));
        form->bar(i)->setValue(0);
    }
    form->layoutBars();
    form->setWindowTitle(m_caption.isEmpty() ? WindowCaption : m_caption);
    form->CaptionLabel()->setText(m_caption);
    form->setFixedSize(Width, m_showStop ? HeightWithStop : HeightWithoutStop);
    form->Animate()->setKind(m_kind);
    form->Animate()->start();
    form->resetStop();
    if (owner) {
        const QRect g = owner->frameGeometry();
        form->move(g.center() - QPoint(Width / 2, form->height() / 2));
    }
    form->show();
    if (!form->isVisible()) {
        delete form;
        m_active = false;
        return;
    }
    m_form = form;
    m_active = true;
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    QApplication::processEvents();
}

void TQnThread::HideWindow()
{
    if (m_form) {
        m_form->Animate()->stop();
        m_form->allowClose();
        m_form->hide();
        delete m_form.data();
    }
    m_active = false;
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}

bool TQnThread::Stopped()
{
    if (!m_form)
        return false;
    QApplication::processEvents();
    return m_form && m_form->stopPressed();
}
