#pragma once

class QLineEdit;

// Column widths count GBK bytes (a Chinese character takes two): these keep a typed text within one.
namespace InputLimits {

// Text longer than maxBytes GBK bytes is cut back as it is typed.
void limitGbkBytes(QLineEdit* edit, int maxBytes);
// Letters become upper case as they are typed.
void upperCase(QLineEdit* edit);

} // namespace InputLimits
