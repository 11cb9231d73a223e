#pragma once

#include <QColor>
#include <QObject>
#include <QString>

class QWidget;
class TQnChild;
class TQnDataSource;
class TQnQuery;

// The input-method reset of a window's controls (objectName "QnSetForm"): at creation every input control
// and grid, except the windowed controls tagged 100, forgets its input-method name; the text controls take
// the user's current one again when they get the focus.
class TQnSetForm : public QObject
{
    Q_OBJECT
public:
    explicit TQnSetForm(QWidget* window);

    int ScreenWidth() const { return m_screenWidth; }
    void setScreenWidth(int w) { m_screenWidth = w; }
    QString DataBaseName() const { return m_dataBaseName; }
    void setDataBaseName(const QString& name) { m_dataBaseName = name; }
    QColor EditColor() const { return m_editColor; }
    void setEditColor(const QColor& c) { m_editColor = c; }
    QColor ColorOnFocus() const { return m_colorOnFocus; }
    void setColorOnFocus(const QColor& c) { m_colorOnFocus = c; }

    void ResetInputMethod();

private:
    QWidget* m_window;
    int m_screenWidth = 0;
    QString m_dataBaseName;
    QColor m_editColor;
    QColor m_colorOnFocus;
};

// What the window bases share: the colour scheme and fonts given to a window's controls when it is
// created, and the stamping of queries and data sources from the login context.
namespace QnForms {

// Colours (window colour, label colour for tag 3, edit colour for tag 100 with the focus colour) and fonts
// ("宋体" 10 points for input controls, list and tree views; 9 points for labels tagged 0) of every control.
void applyColourScheme(QWidget* window, const TQnChild* child);
// The values of the login context a query works with: year and month, today, user, working date, focus colour.
void prepareQuery(TQnQuery* query);
// Rights into the data source, then its colours from the login context.
void prepareDataSource(TQnDataSource* ds, bool editRight, bool printRight, bool checkRight);
// The window font of the data screens.
QFont windowFont();

} // namespace QnForms
