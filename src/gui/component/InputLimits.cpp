#include "InputLimits.h"

#include "common/Gbk.h"

#include <QLineEdit>

namespace InputLimits {

void limitGbkBytes(QLineEdit* edit, int maxBytes)
{
    edit->setMaxLength(maxBytes);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, maxBytes](const QString& text) {
        if (Gbk::byteLength(text) <= maxBytes)
            return;
        const int cursor = edit->cursorPosition();
        const QString cut = Gbk::truncated(text, maxBytes);
        edit->setText(cut);
        edit->setCursorPosition(qMin(cursor, int(cut.size())));
    });
}

void upperCase(QLineEdit* edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = edit->cursorPosition();
        edit->setText(upper);
        edit->setCursorPosition(cursor);
    });
}

} // namespace InputLimits
