#include "QnApplication.h"

#include "common/AppError.h"

TQnApplication::TQnApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQnApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportException(error);
    } catch (...) {
        ReportException(EQnError(QStringLiteral("Exception"), QStringLiteral("unknown error")));
    }
    return false;
}
