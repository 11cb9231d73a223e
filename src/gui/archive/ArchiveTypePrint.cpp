#include "ArchiveTypePrint.h"

#include "archive/TypePrintList.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/PrevForm.h"
#include "component/SelectItemForm.h"
#include "db/FunLib.h"
#include "query/QnQuery.h"

#include <memory>

namespace {
const QString Title = QStringLiteral("档案类别列表");
}

TPrevForm* PrintArchiveTypeList(QWidget* owner, const QString& typeKey)
{
    const int choice =
        ChooseQuery2(QStringLiteral("不打印序号"), QStringLiteral("打印序号"), QStringLiteral("打印选择窗口"), owner);
    if (choice == 0)
        return nullptr;
    return PreviewArchiveTypeList(owner, typeKey, choice == 1);
}

TPrevForm* PreviewArchiveTypeList(QWidget* owner, const QString& typeKey, bool outlineNumbers)
{
    const QList<TTypeListRow> rows = BuildTypePrintList(typeKey, outlineNumbers);
    if (rows.isEmpty()) {
        ShowWarning(QStringLiteral("没有数据"));
        return nullptr;
    }

    auto report = std::make_shared<TListReport>();
    report->setTitle(Title);
    QString company = AppContext::instance().CompanyName;
    if (company.isEmpty())
        company = LookupText(QStringLiteral("SELECT COMPANY_NAME FROM SYS_COMPANY_TABLE"));
    report->setOrganisation(company);
    report->setPrintDate(AppContext::instance().LoginDate);
    report->setRowNumbers(!outlineNumbers);
    report->setColumns({{QStringLiteral("档案类别"), 110, Qt::AlignLeft | Qt::AlignVCenter},
                        {QStringLiteral("备注"), 70, Qt::AlignLeft | Qt::AlignVCenter}});
    QList<QStringList> lines;
    for (const TTypeListRow& r : rows)
        lines << QStringList{r.nodeName, r.note};
    report->setRows(lines);
    report->setRowsPerPage(35);
    report->setFigureSpaces(true);

    auto* prev = new TPrevForm(owner);
    // The rows for the export, shaped like QN_ARCHIVE_NODE_NAME_TABLE; they stay in the query and are
    // never written to the table.
    auto* print = new TQnQuery(prev);
    print->setObjectName(QStringLiteral("QyPrint"));
    print->setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_NODE_NAME_TABLE WHERE ORDER_ID = 0"));
    print->setLocalMode(true);
    print->setSilent(true);
    if (print->OpenQuery()) {
        for (const TTypeListRow& r : rows) {
            if (!print->AppendRecord())
                break;
            print->setValue(QStringLiteral("ORDER_ID"), 1);
            print->setValue(QStringLiteral("NODE_NAME"), r.nodeName);
            print->setValue(QStringLiteral("NOTE"), r.note);
            if (!print->SaveRecord())
                break;
        }
    }
    prev->setRowNumbers(!outlineNumbers);
    prev->QnExcel()->setDataSet(print);
    prev->QnExcel()->setReportName(Title);
    prev->excelColumns() << TExcelFieldName{QStringLiteral("NODE_NAME"), QString(), QStringLiteral("档案类别")}
                         << TExcelFieldName{QStringLiteral("NOTE"), QString(), QStringLiteral("备注")};
    prev->showExcelButton(true);
    prev->setReport(report);
    prev->show();
    return prev;
}
