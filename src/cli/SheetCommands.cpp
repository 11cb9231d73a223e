#include "CliCommand.h"

#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/Installation.h"
#include "sheet/SheetExport.h"
#include "sheet/SheetReader.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

// Tabs and line breaks inside a cell would break the tab-separated layout: write them as \t, \n, \r.
QString escapeCell(const QString& text)
{
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        !text.contains(QLatin1Char('\\')))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out;
}

void appendLine(QByteArray& out, const QStringList& cells)
{
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += '\t';
        out += escapeCell(cells.at(i)).toUtf8();
    }
    out += '\n';
    if (out.size() > 1 << 16) {
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        out.clear();
    }
}

int runSheet(const QStringList& argsIn)
{
    if (argsIn.size() != 1) {
        cliErr(QStringLiteral("用法: vuzazo-cli sheet FILE\n"));
        return 2;
    }
    const QString path = argsIn.first();
    SheetReader reader;
    if (!reader.open(path)) {
        // Some of the reader's messages already name the file.
        const QString error = reader.errorString();
        cliErr((error.contains(path) ? error : QStringLiteral("%1: %2").arg(path, error)) + QLatin1Char('\n'));
        return 1;
    }
    if (reader.headings().isEmpty()) {
        cliErr(QStringLiteral("%1: 第一张工作表中没有资料\n").arg(path));
        return 0;
    }
    QByteArray out;
    appendLine(out, reader.headings());
    QStringList cells;
    while (reader.readRow(&cells))
        appendLine(out, cells);
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    if (reader.hasError()) {
        cliErr(QStringLiteral("%1: 第 %2 行: %3\n").arg(path).arg(reader.sheetRow() + 1).arg(reader.errorString()));
        return 1;
    }
    return 0;
}

int runExport(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString dir = CliArgs::take(args, QStringLiteral("--install-dir"));
    const QString sql = CliArgs::take(args, QStringLiteral("--sql"));
    const QString out = CliArgs::take(args, QStringLiteral("--xlsx"));
    bool titleGiven = false;
    QString title = CliArgs::take(args, QStringLiteral("--title"), &titleGiven);
    const bool rowNumbers = CliArgs::flag(args, QStringLiteral("--row-numbers"));
    if (!args.isEmpty() || dir.isEmpty() || sql.trimmed().isEmpty() || out.isEmpty()) {
        if (!args.isEmpty())
            cliErr(unexpectedArguments(args));
        cliErr(QStringLiteral("用法: vuzazo-cli export --install-dir DIR --sql \"SELECT …\" --xlsx OUT [--title NAME] "
                              "[--row-numbers]\n"));
        return 2;
    }
    // A workbook under another name would be opened by the wrong program, or not at all.
    if (QFileInfo(out).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) != 0) {
        cliErr(QStringLiteral("导出的文件名必须以 .xlsx 结尾: %1\n").arg(out));
        return 2;
    }
    if (!titleGiven)
        title = QFileInfo(out).completeBaseName();
    QString error;
    if (Database::open(Installation::databaseDir(QDir(dir).absolutePath()), &error) != Database::OpenResult::Ok) {
        cliErr(error + QLatin1Char('\n'));
        return 1;
    }
    bool ok = false;
    QStringList shown;
    {
        RecordingSink sink;
        ok = SheetExport::exportQuery(sql, out, title, rowNumbers, &error);
        shown = sink.texts();
    }
    Database::close();
    for (const QString& s : std::as_const(shown))
        cliErr(s + QLatin1Char('\n'));
    if (!ok) {
        if (!error.isEmpty() && !shown.contains(error))
            cliErr(error + QLatin1Char('\n'));
        return 1;
    }
    cliOut(QStringLiteral("数据成功导出到：%1\n").arg(QFileInfo(out).absoluteFilePath()));
    return 0;
}

CliCommand::Registrar
    sheetReg({QStringLiteral("sheet"), QStringLiteral("FILE"),
              QStringLiteral("以制表符分隔的文本输出 .xlsx、.xls 或 .csv 文件的第一个工作表,标题行在前 "
                             "(单元格中的制表符、换行和 \\ 写成 \\t、\\n、\\\\)"),
              runSheet});
CliCommand::Registrar exportReg({QStringLiteral("export"),
                                 QStringLiteral("--install-dir DIR --sql \"SELECT …\" --xlsx OUT [--title NAME] "
                                                "[--row-numbers]"),
                                 QStringLiteral("把一个只读 SELECT 查询的结果写入电子表格 (.xlsx)"), runExport});

} // namespace
