#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How core code speaks to the user. The GUI installs a sink that shows the standard boxes; tests install a
// RecordingSink; without either, messages go to stderr and questions are answered "no".
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // The question as the user reads it (without the trailing " ?", which the box adds).
    virtual bool askYesNo(const QString& text) = 0;
    // A request with 确定 and 取消 (insert the next disk…); true for 确定. A sink without such a box asks
    // it as a yes/no question.
    virtual bool askOkCancel(const QString& text) { return askYesNo(text); }

    static MessageSink* instance();
    // Installs a sink (not owned); nullptr restores the stderr sink.
    static void setInstance(MessageSink* sink);
};

// Records every message and answers questions from a queue (empty queue: "no").
class RecordingSink : public MessageSink
{
public:
    struct Entry
    {
        enum Kind
        {
            Warning,
            Error,
            Question
        } kind;
        QString text;
    };

    RecordingSink();
    ~RecordingSink() override;

    void warning(const QString& text) override;
    void error(const QString& text) override;
    bool askYesNo(const QString& text) override;

    void queueAnswer(bool yes) { m_answers.append(yes); }
    QList<Entry> entries() const { return m_entries; }
    QStringList texts() const;
    QString last() const { return m_entries.isEmpty() ? QString() : m_entries.last().text; }
    void clear() { m_entries.clear(); }

private:
    QList<Entry> m_entries;
    QList<bool> m_answers;
    MessageSink* m_previous;
};

// The standard boxes of the function library, routed through the installed sink.
void ShowWarning(const QString& text);
void ShowError(const QString& text);
bool AskYesNo(const QString& text);
bool AskOkCancel(const QString& text);
