#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <memory>

// The small function library through which screens run composed SQL. Statements run on the program's
// connection unless a connection name is given. Values reach the SQL text only through Sql::quote & co.

// Runs a statement; any error is swallowed and gives false.
bool ExecSql(const QString& sql);
bool ExecSql(const QString& connection, const QString& sql);
// Runs a statement; an error is reported through ReportEngineError and gives false.
bool ExecSqlReported(const QString& sql);

// Opens a result (forward-only off). Null on error, with the error in *error when given.
std::unique_ptr<QSqlQuery> OpenSql(const QString& sql, QSqlError* error = nullptr);
std::unique_ptr<QSqlQuery> OpenSql(const QString& connection, const QString& sql, QSqlError* error);

// First column of the first row as text; empty when there is no row or the statement fails.
QString LookupText(const QString& sql);
QString LookupText(const QString& connection, const QString& sql);
// First column of the first row as a number (ParseNumber); 0 when there is no row.
double LookupNumber(const QString& sql);
// As LookupNumber; a failing statement gives 0 (the same here: no error escapes either).
double LookupNumberChecked(const QString& sql);
// Every value of the first column.
QStringList LookupColumn(const QString& sql);

// Thousands separators removed, blanks trimmed; a valid decimal number or else 0.
double ParseNumber(const QString& text);
// As ParseNumber, telling whether the text was a number.
bool IsNumber(const QString& text);

QString GetAliasPath(const QString& alias);
QString TempFolder();
bool IsFolder(const QString& path);
// The n-th piece (0-based) of text split at separator; n = -1 gives the text after the first separator,
// or the whole text when there is none.
QString NthPart(const QString& text, const QString& separator, int n);
// The last n characters of "000000000" + text.
QString ZeroPad(const QString& text, int n);
// Copies a folder tree; existing files are replaced. False when anything could not be copied.
bool CopyFolder(const QString& from, const QString& to);
