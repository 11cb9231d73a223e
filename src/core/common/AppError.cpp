#include "AppError.h"

#include "MessageSink.h"
#include "db/EngineError.h"

#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>

EQnError::EQnError(const QString& className, const QString& message)
    : m_className(className), m_message(message), m_what((className + QLatin1Char(':') + message).toUtf8())
{
}

EConvertError EConvertError::invalidDate(const QString& text)
{
    return EConvertError(QLatin1Char('\'') + text + QStringLiteral("' is not a valid date"));
}

QString DateFormatHint()
{
    return QStringLiteral("请按格式YYYY%1MM%1DD 输入日期").arg(QLatin1Char('-'));
}

namespace {

QString className(const std::exception& error)
{
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status);
    const QString text = QString::fromLatin1(status == 0 && name ? name : typeid(error).name());
    std::free(name);
    return text;
}

void reportConversion(const QString& message)
{
    if (message.contains(QLatin1String("is not a valid date")))
        ShowWarning(DateFormatHint());
    else if (message.contains(QLatin1String("Format '%d' invalid or incompatible with argument")))
        ShowWarning(QStringLiteral("指定的格式与参数类型不匹配!"));
    else
        ShowWarning(message);
}

} // namespace

void ReportException(const std::exception& error)
{
    try {
        if (dynamic_cast<const EAbort*>(&error))
            return;
        if (const auto* engine = dynamic_cast<const EDBEngineError*>(&error)) {
            ReportEngineError(engine->sqlError(), engine->className());
            return;
        }
        if (const auto* convert = dynamic_cast<const EConvertError*>(&error)) {
            reportConversion(convert->message());
            return;
        }
        if (const auto* known = dynamic_cast<const EQnError*>(&error)) {
            ShowError(known->className() + QLatin1Char(':') + known->message());
            return;
        }
        // A standard exception: its class as the compiler names it, and its text.
        ShowError(className(error) + QLatin1Char(':') + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        // The handler itself never raises; a failing box leaves the message unseen rather than end the program.
    }
}
