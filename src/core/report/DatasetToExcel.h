#pragma once

#include <QList>
#include <QString>

class ReportRowSource;

// Writes the rows of a data set to a spreadsheet file made of little-endian worksheet records (the form
// every spreadsheet program opens as .XLS): heading entries, a row of column captions (led by "序号" when
// ID is set), one row per record and the closing entries.
class TDatasetToExcel
{
public:
    // A column names a field; a heading or closing entry holds its text. An entry with a caption puts the
    // caption in one row and the text in the row below it.
    struct Entry
    {
        QString text;
        QString caption;
    };

    ReportRowSource* Dataset = nullptr;
    bool ID = false;
    QList<Entry> headings;
    QList<Entry> columns;
    QList<Entry> closings;

    // Replaces path with the worksheet; reports "没有数据源", "没有数据" or "数据成功导出到：" + path.
    bool writeFile(const QString& path);
    // The worksheet records; empty (with the message in error) when there is nothing to write.
    QByteArray records(QString* error);

    // Rows a worksheet can address.
    static constexpr int MaxRows = 65536;
};
