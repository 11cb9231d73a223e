#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// "信息显示窗口": a long list of messages (repair and import reports) that the user reads and may save as a
// text file. The caller fills the lines, sets the proposed file name and shows it (modal or not).
class TMessageForm : public QDialog
{
    Q_OBJECT
public:
    explicit TMessageForm(QWidget* parent = nullptr);

    void setLines(const QStringList& lines);
    void addLine(const QString& line);
    QStringList lines() const { return m_lines; }
    // The name proposed by the save dialog.
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }

    // Writes the lines to path (UTF-8, one per line), replacing the file only when complete.
    bool saveTo(const QString& path) const;

public slots:
    // "保存": asks for a file (filter "txt|*.txt") and writes the lines there.
    void save();

private:
    QPlainTextEdit* m_text;
    QStringList m_lines;
    QString m_fileName;
};
