#include "QnExcel.h"

#include "DesktopServices.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "query/QnQuery.h"

#include <QDir>
#include <QFileInfo>

TQnExcel::TQnExcel(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("QnExcel"));
}

void TQnExcel::setDataSet(TQnQuery* query)
{
    m_query = query;
    m_rows = nullptr;
}

QString TQnExcel::exportFolder()
{
    const QString temp = AppContext::instance().TempDir;
    return !temp.isEmpty() && QFileInfo(temp).isDir() ? temp : QDir::tempPath();
}

QString TQnExcel::fileNameFor(const QString& reportName)
{
    QString name = reportName.trimmed();
    static const QString bad = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (bad.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return name.isEmpty() ? QStringLiteral("export") : name;
}

void TQnExcel::ExportToExcel(const TExcelFieldArray& columns, const TExcelFieldArray& headings,
                             const TExcelFieldArray& closings)
{
    m_lastFile.clear();
    QnQueryRows queryRows(m_query);
    ExportRows* rows = m_rows ? m_rows : (m_query ? static_cast<ExportRows*>(&queryRows) : nullptr);
    // Each export gets a workbook of its own, as a new spreadsheet window would be.
    const QString stamp = Clock::now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QDir folder(exportFolder());
    QString path = folder.filePath(fileNameFor(m_reportName) + QLatin1Char('-') + stamp + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(fileNameFor(m_reportName) + QLatin1Char('-') + stamp + QLatin1Char('-') +
                               QString::number(n) + QStringLiteral(".xlsx"));
    if (!SheetExport::ExportToXlsx(path, m_reportName, m_id, rows, columns, headings, closings))
        return;
    m_lastFile = path;
    if (!DesktopServices::openDocument(path))
        ShowWarning(QStringLiteral("没有找到能打开电子表格的程序，数据已导出到文件：") +
                    QDir::toNativeSeparators(path));
}

bool QnQueryRows::isOpen() const
{
    return m_query && m_query->isOpen();
}

int QnQueryRows::fieldIndex(const QString& name) const
{
    return m_query ? m_query->columnIndex(name) : -1;
}

bool QnQueryRows::first()
{
    return m_query && m_query->recordCount() > 0 && m_query->First();
}

bool QnQueryRows::next()
{
    return m_query && !m_query->isLast() && m_query->Next();
}

QString QnQueryRows::text(int field) const
{
    if (!m_query || field < 0 || field >= m_query->columnNames().size())
        return {};
    return SheetExport::valueText(m_query->value(m_query->columnNames().at(field)));
}
