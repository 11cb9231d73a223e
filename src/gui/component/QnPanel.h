#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

// A panel with a drop shadow, a raised or lowered border line and a raised or lowered caption. Child
// controls are laid out within the face, not the shadow.
class TQnPanel : public QWidget
{
    Q_OBJECT
public:
    enum TBorderLine
    {
        blNone,
        blRaised,
        blLowered
    };
    enum TTextStyle
    {
        txNone,
        txLowered,
        txRaised
    };

    explicit TQnPanel(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    TBorderLine BorderLine() const { return m_borderLine; }
    void setBorderLine(TBorderLine line);
    QColor Color() const { return m_color; }
    void setColor(const QColor& color);
    QColor Color_High() const { return m_high; }
    void setColor_High(const QColor& color);
    QColor Color_Low() const { return m_low; }
    void setColor_Low(const QColor& color);
    QColor FaceColor() const { return m_face; }
    void setFaceColor(const QColor& color);
    QColor ShadowColor() const { return m_shadow; }
    void setShadowColor(const QColor& color);
    int ShadowWidth() const { return m_shadowWidth; }
    void setShadowWidth(int width);
    TTextStyle TextStyle() const { return m_textStyle; }
    void setTextStyle(TTextStyle style);

    // The face rectangle (the panel less its shadow).
    QRect faceRect() const;

    QSize sizeHint() const override { return QSize(185, 41); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateMargins();

    QString m_caption;
    TBorderLine m_borderLine = blRaised;
    QColor m_color;
    QColor m_high;
    QColor m_low;
    QColor m_face;
    QColor m_shadow;
    int m_shadowWidth = 2;
    TTextStyle m_textStyle = txRaised;
};

// A label drawn with a light and/or dark copy behind its text, for captions that stand out of the window.
class TCustomExtLabel : public QLabel
{
    Q_OBJECT
public:
    enum TDrawType
    {
        dtNone,
        dtShadow,
        dtLightRaised,
        dtHeavyRaised,
        dtLightInsert,
        dtHeavyInsert
    };

    explicit TCustomExtLabel(QWidget* parent = nullptr);
    explicit TCustomExtLabel(const QString& text, QWidget* parent = nullptr);

    QColor LightColor() const { return m_light; }
    void setLightColor(const QColor& color);
    QColor DarkColor() const { return m_dark; }
    void setDarkColor(const QColor& color);
    TDrawType DrawType() const { return m_drawType; }
    void setDrawType(TDrawType type);
    int ShadowIndent() const { return m_shadowIndent; }
    void setShadowIndent(int indent);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_light;
    QColor m_dark;
    TDrawType m_drawType = dtNone;
    int m_shadowIndent = 2;
    bool m_transparent = true;
};

class TQn3DLabel : public TCustomExtLabel
{
    Q_OBJECT
public:
    explicit TQn3DLabel(QWidget* parent = nullptr) : TCustomExtLabel(parent) {}
    explicit TQn3DLabel(const QString& text, QWidget* parent = nullptr) : TCustomExtLabel(text, parent) {}
};
