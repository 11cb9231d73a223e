#include "TestSupport.h"

#include "db/Database.h"
#include "report/ReportControl.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VUZAZO_CLI), args);
    Run r;
    if (!p.waitForFinished(120000))
        return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestReportCli : public QObject
{
    Q_OBJECT

private slots:
    void showAndConvert()
    {
        TestEnv env(false);
        TReportControl c;
        QVERIFY(c.newTable(3, 3));
        c.selectCell(c.line(0)->cell(2));
        c.selectCell(c.line(1)->cell(2));
        c.selectCell(c.line(2)->cell(2));
        QVERIFY(c.mergeCells());
        c.line(0)->cell(0)->setText(QStringLiteral("档案编号"));
        c.line(1)->cell(1)->setDiagonal(0x0101);
        const QString in = env.path(QStringLiteral("in.rep"));
        QVERIFY(c.saveToFile(in));

        const Run show = cli({QStringLiteral("template"), QStringLiteral("show"), in});
        QCOMPARE(show.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(show.out).object();
        QCOMPARE(json.value("version").toString(), QStringLiteral("0xAA57"));
        QCOMPARE(json.value("page").toObject().value("width").toInt(), 758);
        const QJsonArray lines = json.value("lines").toArray();
        QCOMPARE(lines.size(), 3);
        const QJsonObject first = lines[0].toObject().value("cells").toArray()[0].toObject();
        QCOMPARE(first.value("text").toString(), QStringLiteral("档案编号"));
        QCOMPARE(first.value("font").toObject().value("face").toString(), QStringLiteral("宋体"));
        const QJsonObject owner = lines[0].toObject().value("cells").toArray()[2].toObject();
        QCOMPARE(owner.value("merged").toArray().size(), 2);
        QCOMPARE(owner.value("merged").toArray()[1].toArray(), (QJsonArray{2, 2}));
        const QJsonObject covered = lines[2].toObject().value("cells").toArray()[2].toObject();
        QCOMPARE(covered.value("owner").toArray(), (QJsonArray{0, 2}));

        const QString out = env.path(QStringLiteral("out.rep"));
        QCOMPARE(cli({QStringLiteral("template"), QStringLiteral("convert"), in, out}).status, 0);
        QCOMPARE(readFile(out), readFile(in));

        QFile bad(env.path(QStringLiteral("bad.rep")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("\x55\xAA\x00");
        bad.close();
        const Run refused = cli({QStringLiteral("template"), QStringLiteral("show"), bad.fileName()});
        QCOMPARE(refused.status, 1);
        QVERIFY(QString::fromUtf8(refused.err).contains(QStringLiteral("格式不正确")));
    }

    void reportToPdf()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(
            QStringLiteral("INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','档案室')"));
        for (int i = 1; i <= 60; ++i)
            TestEnv::exec(
                QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_ID,ARCHIVE_NAME,"
                               "ARCHIVE_TYPE_ID) VALUES('A%1','2009%2','文件%1','001')")
                    .arg(i)
                    .arg(i, 6, 10, QLatin1Char('0')));
        const QString db = Database::databaseFile(env.databaseDir());
        Database::close(); // the command opens the database itself

        const QString pdf = env.path(QStringLiteral("list.pdf"));
        // The delivered archive list, named by its identifier; the columns bind by the captions the screens
        // use, so the template fills from a plain SELECT.
        const Run r = cli(
            {QStringLiteral("report"), QStringLiteral("200700000007"), QStringLiteral("--install-dir"),
             env.installDir(), QStringLiteral("--sql"),
             QStringLiteral("SELECT *, '文书' AS ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID"),
             QStringLiteral("--pdf"), pdf, QStringLiteral("--var"), QStringLiteral("单位名称=第二档案室")});
        QVERIFY2(r.status == 0, r.err.constData());
        QVERIFY2(QString::fromUtf8(r.out).contains(QStringLiteral("已生成 2 页")), r.out.constData());
        QCOMPARE(readFile(pdf).left(5), QByteArray("%PDF-"));

        // A statement that writes is refused and changes nothing.
        const Run w =
            cli({QStringLiteral("report"), QStringLiteral("200700000007"), QStringLiteral("--install-dir"),
                 env.installDir(), QStringLiteral("--sql"), QStringLiteral("DELETE FROM QN_ARCHIVE_MASTER_TABLE"),
                 QStringLiteral("--pdf"), env.path(QStringLiteral("x.pdf"))});
        QCOMPARE(w.status, 1);
        QVERIFY(Database::open(env.databaseDir()) == Database::OpenResult::Ok);
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE")), QStringLiteral("60"));
        Database::close();

        // A template that is not there is named.
        const Run m = cli({QStringLiteral("report"), QStringLiteral("nosuch.rpt"), QStringLiteral("--install-dir"),
                           env.installDir(), QStringLiteral("--sql"), QStringLiteral("SELECT 1"),
                           QStringLiteral("--pdf"), env.path(QStringLiteral("m.pdf"))});
        QCOMPARE(m.status, 1);
        QVERIFY2(QString::fromUtf8(m.err).contains(QStringLiteral("报表文件不存在: nosuch.rpt")), m.err.constData());
        Q_UNUSED(db);
    }
};

QTEST_MAIN(TestReportCli)
#include "tst_reportcli.moc"
