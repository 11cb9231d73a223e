#include "ShowPictureForm.h"

#include "common/MessageSink.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <cmath>

TShowPictureForm::TShowPictureForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ShowPictureForm"));
    setWindowTitle(QStringLiteral("图片浏览"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setAutoFillBackground(true);
    QPalette p = m_panel->palette();
    p.setColor(QPalette::Window, Qt::white);
    m_panel->setPalette(p);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);

    m_image = new QLabel(m_panel);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setScaledContents(true);
    m_image->hide();
    // A transparent label over the whole panel takes the mouse, so dragging works wherever it starts.
    m_overlay = new QLabel(m_panel);
    m_overlay->setObjectName(QStringLiteral("Label1"));
    m_overlay->setAttribute(Qt::WA_TranslucentBackground);
    m_overlay->setMouseTracking(true);
    m_overlay->installEventFilter(this);
    m_panel->installEventFilter(this);
    resize(800, 600);
    setWindowState(Qt::WindowMaximized);
}

bool TShowPictureForm::hasPicture() const
{
    return !m_pictureSize.isEmpty();
}

bool TShowPictureForm::LoadPicture(const QString& file, const QString& name)
{
    const QString ext = QFileInfo(name).suffix().toUpper();
    QByteArray format;
    if (ext == QLatin1String("BMP"))
        format = "BMP";
    else if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
        format = "JPEG";
    else
        return true;
    QImageReader reader(file, format);
    const QImage image = reader.read();
    if (image.isNull()) {
        ShowWarning(QStringLiteral("图形文件装载过程发生错误"));
        return false;
    }
    m_image->setPixmap(QPixmap::fromImage(image));
    m_pictureSize = image.size();
    m_image->resize(m_pictureSize);
    m_image->show();
    m_overlay->raise();
    return true;
}

QRect TShowPictureForm::fitRect(const QSize& picture, const QSize& panel)
{
    int w = picture.width();
    int h = picture.height();
    const int pw = panel.width();
    const int ph = panel.height();
    if (w > pw || h > ph - 30) {
        if (w > pw - 30 && w > 0) {
            const int nh = int(std::lround(double(h) * pw / w));
            if (pw > 0 && nh > 0) {
                h = nh;
                w = pw;
            }
        }
        if (h > ph - 30 && h > 0) {
            const int nw = int(std::lround(double(w) * (ph - 30) / h));
            if (ph - 30 > 0 && nw > 0) {
                w = nw;
                h = ph - 30;
            }
        }
    }
    int left = int(std::lround((pw - w) / 2.0));
    if (left <= 0)
        left = 0;
    const int top = ph - h > 30 ? int(std::lround((ph - h - 30) / 2.0)) : 0;
    return QRect(left, top, w, h);
}

void TShowPictureForm::fitPicture()
{
    m_overlay->setGeometry(m_panel->rect());
    if (!hasPicture())
        return;
    m_image->setGeometry(fitRect(m_pictureSize, m_panel->size()));
}

void TShowPictureForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
    m_dragged = false;
    fitPicture();
}

void TShowPictureForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The maximised size arrives after the showing; the picture follows until the user moves it.
    if (!m_dragged)
        fitPicture();
    else
        m_overlay->setGeometry(m_panel->rect());
}

bool TShowPictureForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_panel && event->type() == QEvent::Resize) {
        if (!m_dragged)
            fitPicture();
        else
            m_overlay->setGeometry(m_panel->rect());
        return false;
    }
    if (watched != m_overlay)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton && m_image->isVisible() && m_image->geometry().contains(e->pos())) {
            m_dragging = true;
            m_dragged = true;
            m_pressed = e->pos();
            m_startPos = m_image->pos();
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_dragging)
            m_image->move(m_startPos + (e->pos() - m_pressed));
        m_overlay->setCursor(m_image->isVisible() && m_image->geometry().contains(e->pos()) ? Qt::OpenHandCursor
                                                                                            : Qt::ArrowCursor);
        return m_dragging;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void ShowPicture(const QString& title, const QString& file, const QString& kind, QWidget* parent)
{
    TShowPictureForm form(parent);
    form.setWindowTitle(title);
    if (!form.LoadPicture(file, kind)) {
        ShowWarning(QStringLiteral("图片文件打开错误"));
        return;
    }
    form.raise();
    form.exec();
}
