#include "RunFind.h"

#include "QnThread.h"
#include "common/MessageSink.h"
#include "query/QnQuery.h"

#include <QApplication>

bool RunFind(TQnQuery* query, const QString& sql)
{
    if (!query)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TQnThread thread;
    thread.setCaption(QStringLiteral("正在读取数据，请稍候....."));
    thread.setKind(crFind);
    thread.ShowWindow();
    query->CloseQuery();
    query->setSql(sql);
    const bool opened = query->OpenQuery();
    thread.HideWindow();
    QApplication::restoreOverrideCursor();
    if (!opened)
        return false;
    const int n = query->recordCount();
    if (n > 0)
        ShowWarning(QStringLiteral("共找到 ") + QString::number(n) + QStringLiteral(" 个符合条件的纪录"));
    else
        ShowWarning(QStringLiteral("没有找到符合条件的纪录"));
    return true;
}
