#pragma once

#include "common/MessageSink.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The standard boxes of the program: warning "提示信息", error "错误信息", question "提示信息" with " ?"
// appended and 是/否. main() installs GuiMessageSink, so ShowWarning/ShowError/AskYesNo of the core end here.
class GuiMessageSink : public MessageSink
{
public:
    void warning(const QString& text) override;
    void error(const QString& text) override;
    bool askYesNo(const QString& text) override;
    bool askOkCancel(const QString& text) override;

    // Test hook: while on, no box is shown; every text is recorded and questions are answered from the
    // queue of setNextAnswer (an empty queue answers no).
    static void setTestMode(bool on);
    static bool testMode();
    static void setNextAnswer(bool yes);
    static QStringList shownTexts();
    static void clearShown();
};

namespace QnMessageBox {

inline const QString WarningCaption = QStringLiteral("提示信息");
inline const QString ErrorCaption = QStringLiteral("错误信息");

// The boxes themselves, over parent (the active window when null). They honour the test mode above.
void warning(QWidget* parent, const QString& text);
void error(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& text);
// A request with 确定 and 取消 (caption "提示信息"); true for 确定. Test mode answers it like a question.
bool askOkCancel(QWidget* parent, const QString& text);

} // namespace QnMessageBox
