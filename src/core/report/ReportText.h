#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

// Text of report cells: wrapped into a width, lines at a fixed pitch derived from the em size (as the
// Song faces templates are made with: a 16-pixel font takes 18-pixel lines), so that the height the layout
// pass measures is exactly the height the text is drawn in, on screen and on paper.
namespace ReportText {

// Line pitch of font in design pixels.
int lineHeight(const QFont& font);
// Height of text wrapped into width (at least one line). A text ending with a line break does not get an
// extra line here; the caller adds one where the layout asks for it.
int measureHeight(const QFont& font, const QString& text, int width);
// Draws text wrapped into rect's width from rect's top; hAlign 0 left, 1 centre, 2 right.
void draw(QPainter& painter, const QFont& font, const QRect& rect, int hAlign, const QString& text);
// "\r\n" and lone "\r" become "\n".
QString normalized(const QString& text);

} // namespace ReportText
