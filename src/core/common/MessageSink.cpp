#include "MessageSink.h"

#include <cstdio>

namespace {

class StderrSink : public MessageSink
{
public:
    void warning(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void error(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool askYesNo(const QString& text) override
    {
        std::fprintf(stderr, "%s ? (no)\n", qPrintable(text));
        return false;
    }
};

StderrSink g_stderr;
MessageSink* g_sink = nullptr;

} // namespace

MessageSink* MessageSink::instance()
{
    return g_sink ? g_sink : &g_stderr;
}

void MessageSink::setInstance(MessageSink* sink)
{
    g_sink = sink;
}

RecordingSink::RecordingSink() : m_previous(g_sink)
{
    setInstance(this);
}

RecordingSink::~RecordingSink()
{
    if (g_sink == this)
        setInstance(m_previous);
}

void RecordingSink::warning(const QString& text)
{
    m_entries.append({Entry::Warning, text});
}

void RecordingSink::error(const QString& text)
{
    m_entries.append({Entry::Error, text});
}

bool RecordingSink::askYesNo(const QString& text)
{
    m_entries.append({Entry::Question, text});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

QStringList RecordingSink::texts() const
{
    QStringList out;
    for (const auto& e : m_entries)
        out << e.text;
    return out;
}

void ShowWarning(const QString& text)
{
    MessageSink::instance()->warning(text);
}

void ShowError(const QString& text)
{
    MessageSink::instance()->error(text);
}

bool AskYesNo(const QString& text)
{
    return MessageSink::instance()->askYesNo(text);
}

bool AskOkCancel(const QString& text)
{
    return MessageSink::instance()->askOkCancel(text);
}
