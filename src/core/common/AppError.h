#pragma once

#include <QByteArray>
#include <QSqlError>
#include <QString>

#include <exception>

// Errors that no screen handles end in ReportException. Code that has already shown its own message and
// only wants to stop throws EAbort, which is reported silently.
class EQnError : public std::exception
{
public:
    EQnError(const QString& className, const QString& message);
    const QString& className() const { return m_className; }
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    QString m_className;
    QString m_message;
    QByteArray m_what;
};

// The silent abandon: the user has been told already.
class EAbort : public EQnError
{
public:
    EAbort() : EQnError(QStringLiteral("EAbort"), QStringLiteral("Operation aborted")) {}
};

class EDatabaseError : public EQnError
{
public:
    explicit EDatabaseError(const QString& message, const QString& className = QStringLiteral("EDatabaseError"))
        : EQnError(className, message)
    {
    }
};

// An error the database engine reported; classified by classifyEngineError.
class EDBEngineError : public EDatabaseError
{
public:
    explicit EDBEngineError(const QSqlError& error)
        : EDatabaseError(error.text(), QStringLiteral("EDBEngineError")), m_error(error)
    {
    }
    const QSqlError& sqlError() const { return m_error; }

private:
    QSqlError m_error;
};

// A value that could not be converted (a date typed wrongly and the like).
class EConvertError : public EQnError
{
public:
    explicit EConvertError(const QString& message) : EQnError(QStringLiteral("EConvertError"), message) {}
    // The error for a text that is not a date ("'…' is not a valid date").
    static EConvertError invalidDate(const QString& text);
};

class ERangeError : public EQnError
{
public:
    explicit ERangeError(const QString& message) : EQnError(QStringLiteral("ERangeError"), message) {}
};

class EInvalidOperation : public EQnError
{
public:
    explicit EInvalidOperation(const QString& message) : EQnError(QStringLiteral("EInvalidOperation"), message) {}
};

// "请按格式YYYY-MM-DD 输入日期": the hint shown for a date typed wrongly.
QString DateFormatHint();

// The application's handler for every error that reached the event loop. Engine errors become their fixed
// Chinese messages (an unknown one is followed by the technical error box), conversion errors become input
// hints, an EAbort shows nothing, anything else shows the error box "class:message". Never throws.
void ReportException(const std::exception& error);
