#pragma once

#include <QWidget>

class QPainter;

// The picture behind the splash and About windows: a soft blue field with shelves of archive boxes and the
// title "vuzazo" in raised lettering (light white above, dark black below).
void PaintTitlePicture(QPainter& painter, const QRect& rect, int titlePointSize);

// The borderless window shown for a moment while the program starts.
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Shows the window, lets the program run for milliseconds (the timer fires once) and closes it.
    void showFor(int milliseconds);

protected:
    void paintEvent(QPaintEvent* event) override;
};
