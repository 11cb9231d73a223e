#pragma once

#include <QString>

class QFrame;
class QLabel;
class QWidget;

// The common look of the shell's dialogs.
namespace ShellStyle {

// A picture from the resources drawn at size × size pixels.
QLabel* pictureLabel(const QString& resource, int size, QWidget* parent);
// A one-line heading over a dialog's fields.
QLabel* banner(const QString& text, QWidget* parent);
QFrame* separator(QWidget* parent);
// The entry colours: the window colour of the login context, and its focus colour on the input control
// (TQnEdit, TQnComboBox…) that has the focus.
void applyEntryColours(QWidget* window);

} // namespace ShellStyle
