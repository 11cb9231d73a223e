#include "CliCommand.h"

#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Installation.h"
#include "db/Sql.h"
#include "report/DeliveredTemplates.h"
#include "report/ReportControl.h"
#include "report/ReportJson.h"
#include "report/ReportRowSource.h"
#include "report/ReportRunTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool readTemplate(const QString& path, TReportControl& report)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        cliErr(QStringLiteral("不能打开报表文件: %1\n").arg(path));
        return false;
    }
    switch (report.read(f, 0)) {
    case TReportControl::ReadResult::Ok:
        return true;
    case TReportControl::ReadResult::BadVersion:
    case TReportControl::ReadResult::Malformed:
        break;
    }
    cliErr(QStringLiteral("格式不正确: %1\n").arg(path));
    return false;
}

int runTemplate(const QStringList& argsIn)
{
    QStringList args = argsIn;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    if (sub == QLatin1String("show") && args.size() == 1) {
        TReportControl report;
        if (!readTemplate(args[0], report))
            return 1;
        cliOut(QString::fromUtf8(QJsonDocument(TemplateToJson(report)).toJson(QJsonDocument::Indented)));
        return 0;
    }
    if (sub == QLatin1String("convert") && args.size() == 2) {
        TReportControl report;
        if (!readTemplate(args[0], report))
            return 1;
        QString error;
        if (!report.saveToFile(args[1], &error)) {
            cliErr(QStringLiteral("不能写入报表文件: %1 (%2)\n").arg(args[1], error));
            return 1;
        }
        return 0;
    }
    if (sub == QLatin1String("delivered") && args.size() == 1) {
        // Writes the delivered templates (their designs live in the code) into a folder.
        QDir().mkpath(args[0]);
        for (const DeliveredTemplates::Entry& e : DeliveredTemplates::entries()) {
            TReportControl report;
            DeliveredTemplates::build(e.printId, report);
            QString error;
            const QString path = QDir(args[0]).filePath(e.printId);
            if (!report.saveToFile(path, &error)) {
                cliErr(QStringLiteral("不能写入报表文件: %1 (%2)\n").arg(path, error));
                return 1;
            }
            cliOut(QStringLiteral("%1  %2  %3  %4\n").arg(e.printId, e.printIndex, e.printType, e.printName));
        }
        return 0;
    }
    cliErr(QStringLiteral("用法: vuzazo-cli template show FILE | template convert IN OUT | template delivered DIR\n"));
    return 2;
}

// Captions the screens offer for the columns they print, so that the delivered templates ({档案编号},
// [借阅人员] …) bind to a query's columns by name.
QList<QPair<QString, QString>> knownCaptions()
{
    QList<QPair<QString, QString>> out;
    for (const char* table : {"SYS_ARCHIVE_FIELD_TABLE", "SYS_ARCHIVE_DETAIL_FIELD_TABLE"}) {
        QSqlQuery q(Database::db());
        if (q.exec(QStringLiteral("SELECT FIELD_NAME, FIELD_DISPLAY_NAME FROM %1 ORDER BY FIELD_ORDER")
                       .arg(QString::fromLatin1(table))))
            while (q.next())
                out.append({q.value(0).toString(), q.value(1).toString()});
    }
    // Then the captions of the default configuration (a database whose screens never ran has none stored)
    // and of the fixed columns.
    const char* fixed[][2] = {{"ARCHIVE_ID", "档案编号"},
                              {"ARCHIVE_NAME", "档案名称"},
                              {"DATE_FIELD1", "档案日期"},
                              {"TEXT_FIELD1", "保密等级"},
                              {"TEXT_FIELD2", "存放位置"},
                              {"TEXT_NOTE", "档案备注"},
                              {"DETAIL_ARCHIVE_ID", "资料编号"},
                              {"DETAIL_ARCHIVE_NAME", "资料名称"},
                              {"DETAIL_TEXT_NOTE", "备注"},
                              {"ARCHIVE_TYPE_NAME", "档案类别"},
                              {"CREATE_NAME", "建档人员"},
                              {"CREATE_DATE", "建档日期"},
                              {"EDIT_NAME", "修改人员"},
                              {"EDIT_DATE", "修改日期"},
                              {"LEND_ID", "借阅编号"},
                              {"LEND_DATE", "借阅日期"},
                              {"LEND_NAME", "借阅人员"},
                              {"RETURN_LIMIT_DATE", "归还期限"},
                              {"RETURN_DATE", "归还日期"},
                              {"NOTE", "借阅备注"},
                              {"NOTE", "备注"}};
    for (auto& f : fixed)
        out.append({QString::fromLatin1(f[0]), QString::fromUtf8(f[1])});
    return out;
}

int runReport(const QStringList& argsIn)
{
    QStringList args = argsIn;
    QString dir = CliArgs::take(args, QStringLiteral("--install-dir"));
    const QString sql = CliArgs::take(args, QStringLiteral("--sql"));
    const QString pdf = CliArgs::take(args, QStringLiteral("--pdf"));
    const QString title = CliArgs::take(args, QStringLiteral("--title"));
    const QStringList vars = CliArgs::takeAll(args, QStringLiteral("--var"));
    const bool addSpace = CliArgs::flag(args, QStringLiteral("--add-space"));
    if (args.size() != 1 || sql.isEmpty() || pdf.isEmpty()) {
        cliErr(QStringLiteral("用法: vuzazo-cli report FILE --install-dir DIR --sql \"SELECT …\" --pdf OUT "
                              "[--var NAME=VALUE]… [--title TITLE] [--add-space]\n"));
        return 2;
    }
    if (dir.isEmpty())
        dir = Installation::defaultInstallDir();
    const QString dbDir = Installation::databaseDir(dir);
    // A template named by its identifier lies in the database folder.
    QString file = args[0];
    if (!QFileInfo::exists(file) && QFileInfo::exists(QDir(dbDir).filePath(file)))
        file = QDir(dbDir).filePath(file);
    if (!QFileInfo(file).isFile()) {
        cliErr(QStringLiteral("报表文件不存在: %1\n").arg(args[0]));
        return 1;
    }

    QString error;
    if (Database::open(dbDir, &error) != Database::OpenResult::Ok) {
        cliErr(error + QLatin1Char('\n'));
        return 1;
    }
    int status = 0;
    {
        // The statement only reads: the connection refuses writes while the report runs.
        QSqlQuery(Database::db()).exec(QStringLiteral("PRAGMA query_only = ON"));
        SqlQueryRowSource rows(Database::db(), sql);
        if (!rows.isOpen()) {
            cliErr(QStringLiteral("查询不能执行: %1\n").arg(rows.error().isEmpty() ? sql : rows.error()));
            status = 1;
        } else {
            TPrintFieldsArray fields;
            for (int i = 0; i < rows.fieldCount(); ++i)
                fields.append({rows.fieldName(i), rows.fieldName(i), QStringLiteral("M"), true, true});
            for (const auto& [name, caption] : knownCaptions())
                if (rows.fieldIndex(name) >= 0)
                    fields.append({rows.fieldName(rows.fieldIndex(name)), caption, QStringLiteral("M"), true, true});
            TReportRunTime rt;
            rt.setPrintFields(fields);
            rt.SetVarValue(
                QStringLiteral("单位名称"),
                LookupText(QStringLiteral("SELECT COMPANY_NAME FROM SYS_COMPANY_TABLE ORDER BY COMPANY_ID")));
            for (const QString& v : vars) {
                const qsizetype eq = v.indexOf(QLatin1Char('='));
                if (eq <= 0) {
                    cliErr(QStringLiteral("--var 要写成 名称=值: %1\n").arg(v));
                    status = 2;
                    break;
                }
                rt.SetVarValue(v.left(eq), v.mid(eq + 1));
            }
            rt.setTitle(title.isEmpty() ? QFileInfo(file).fileName() : title);
            rt.setAddSpace(addSpace);
            rt.setDefaultDataSet(&rows);
            if (status == 0 && !rt.setReportFile(file))
                status = 1;
            if (status == 0) {
                if (rt.writePdf(pdf, &error)) {
                    cliOut(QStringLiteral("已生成 %1 页: %2\n").arg(rt.pageCount()).arg(pdf));
                } else {
                    cliErr(error + QLatin1Char('\n'));
                    status = 1;
                }
            }
        }
        QSqlQuery(Database::db()).exec(QStringLiteral("PRAGMA query_only = OFF"));
    }
    Database::close();
    return status;
}

CliCommand::Registrar
    regTemplate({QStringLiteral("template"), QStringLiteral("show FILE | convert IN OUT | delivered DIR"),
                 QStringLiteral("以 JSON 显示报表模板,或读入后重新保存,或写出随程序提供的模板"), runTemplate});
CliCommand::Registrar
    regReport({QStringLiteral("report"),
               QStringLiteral(
                   "FILE --install-dir DIR --sql \"SELECT …\" --pdf OUT [--var NAME=VALUE]… [--title T] [--add-space]"),
               QStringLiteral("用查询结果填充报表模板,把各页写成 PDF"), runReport});

} // namespace
