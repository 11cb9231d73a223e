#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>

class QLabel;

// "图片浏览": a picture fitted into a white panel, keeping its proportions, which the user may drag about
// with the left mouse button. It opens maximised.
class TShowPictureForm : public QDialog
{
    Q_OBJECT
public:
    explicit TShowPictureForm(QWidget* parent = nullptr);

    // Loads file as a picture when name ends in .BMP, .JPG or .JPEG (any case); any other name loads
    // nothing and is no failure. False after the warning "图形文件装载过程发生错误" when it cannot be read.
    bool LoadPicture(const QString& file, const QString& name);
    bool hasPicture() const;

    QWidget* Panel() const { return m_panel; }
    QLabel* Image1() const { return m_image; }
    QLabel* Label1() const { return m_overlay; }

    // Where the picture goes in a panel: shrunk to fit (width first, then height less 30) and centred.
    static QRect fitRect(const QSize& picture, const QSize& panel);
    // Fits the picture into the panel as it is now.
    void fitPicture();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_panel;
    QLabel* m_image;
    QLabel* m_overlay;
    QSize m_pictureSize;
    bool m_dragging = false;
    bool m_dragged = false; // moved by the user: a resize no longer refits
    QPoint m_pressed;
    QPoint m_startPos;
};

// Shows a picture file in the viewer titled title; kind is the stored name whose extension says how to
// read the file. Warns "图片文件打开错误" when it could not be loaded.
void ShowPicture(const QString& title, const QString& file, const QString& kind, QWidget* parent = nullptr);
