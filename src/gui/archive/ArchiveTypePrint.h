#pragma once

#include <QString>

class QWidget;
class TPrevForm;

// 打印 of the archive type window: asks "不打印序号" or "打印序号" ("打印选择窗口"), lists the types from
// typeKey ("G001" for all) and shows the list "档案类别列表" in the preview window with its spreadsheet
// export. Returns the preview, or null when the user chose nothing or the list is empty ("没有数据").
TPrevForm* PrintArchiveTypeList(QWidget* owner, const QString& typeKey);
// The same without the question: outline numbers (the report without a 序号 column) or row numbers.
TPrevForm* PreviewArchiveTypeList(QWidget* owner, const QString& typeKey, bool outlineNumbers);
