#pragma once

#include <QString>

class TQnQuery;

// Runs a search: the query is reopened on sql under the progress window ("正在读取数据，请稍候....."), then
// the user reads how many records were found ("共找到 n 个符合条件的纪录", or "没有找到符合条件的纪录").
// False when the statement failed (the query reported it).
bool RunFind(TQnQuery* query, const QString& sql);
