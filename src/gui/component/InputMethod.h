#pragma once

#include <QString>

class QObject;
class QWidget;

// Hands the current input-method name to the input controls of a window: every control that keeps one
// (edits, combo edits, combo and list boxes, lookup boxes and their data-aware kinds) and the grids.
// ApplyInputMethod does the same and also reaches the window's find dialogs; controls tagged 100 keep
// their own.
void ApplyImeToControls(QWidget* form, const QString& imeName);
void ApplyInputMethod(QWidget* window, const QString& imeName);
// The name a control or grid was given ("" when none).
QString controlImeName(const QObject* control);
