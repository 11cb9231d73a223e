#include "BackupTestSupport.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace BackupTest;

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VUZAZO_CLI), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

// vuzazo-cli backup, list and restore: exit status 0 only on success, the component's message otherwise.
class TestBackupCli : public QObject
{
    Q_OBJECT

private slots:
    void backupListRestore()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("Database"));
        QVERIFY(writeFile(QDir(src).filePath(QStringLiteral("vuzazo.db")), textLike(120000, 1)));
        QVERIFY(writeFile(QDir(src).filePath(QStringLiteral("图片.JPG")), randomBytes(30000, 2)));
        const QString archive = dir.filePath(QStringLiteral("备份文件"));
        Run r = cli({QStringLiteral("backup"), src, archive, QStringLiteral("--title"), QStringLiteral("单位"),
                     QStringLiteral("--level"), QStringLiteral("max"), QStringLiteral("--volume-size"),
                     QStringLiteral("40000"), QStringLiteral("--file-list")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("已备份 2 个文件")));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("备份文件.001"))));

        r = cli({QStringLiteral("list"), archive});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QStringLiteral("标题: 单位"));
        QVERIFY(lines[1].startsWith(QStringLiteral("FILE:LIST\t")));
        QVERIFY(lines[2].startsWith(QDir(src).filePath(QStringLiteral("vuzazo.db")) + QLatin1Char('\t')));
        QVERIFY(lines[2].endsWith(QStringLiteral("\t120000")));
        QVERIFY(lines[3].endsWith(QStringLiteral("\t30000")));

        const QString out = dir.filePath(QStringLiteral("out"));
        r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"), out});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(readFile(QDir(out).filePath(QStringLiteral("vuzazo.db"))) == textLike(120000, 1));
        QVERIFY(readFile(QDir(out).filePath(QStringLiteral("图片.JPG"))) == randomBytes(30000, 2));

        QVERIFY(writeFile(QDir(out).filePath(QStringLiteral("vuzazo.db")), QByteArray("mine")));
        r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"), out, QStringLiteral("--mode"),
                 QStringLiteral("no-overwrite")});
        QCOMPARE(r.status, 0);
        QCOMPARE(readFile(QDir(out).filePath(QStringLiteral("vuzazo.db"))), QByteArray("mine"));
    }

    void maskWithSubfolders()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("src/a.db")), QByteArray("a")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("src/sub/b.db")), QByteArray("b")));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("src/sub/c.txt")), QByteArray("c")));
        const QString archive = dir.filePath(QStringLiteral("a.bak"));
        Run r =
            cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src/*.db")), QStringLiteral("/s"), archive});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("已备份 2 个文件")));
        r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src/*.db /s")), archive});
        QVERIFY(r.out.contains(QStringLiteral("已备份 2 个文件")));
        r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src")), archive, QStringLiteral("/s")});
        QVERIFY(r.out.contains(QStringLiteral("已备份 3 个文件")));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing source") << "missing source" << 1 << "不能读文件";
        QTest::newRow("missing archive") << "missing archive" << 1 << "不能读备份的文件";
        QTest::newRow("foreign archive") << "foreign archive" << 1 << "不能读备份的文件";
        QTest::newRow("wrong magic") << "wrong magic" << 1 << "无效的备份文件";
        QTest::newRow("truncated") << "truncated" << 1 << "不能读备份的文件";
        QTest::newRow("missing volume") << "missing volume" << 1 << "不能读备份的文件";
        QTest::newRow("windows names without --to") << "windows names" << 1 << "--to";
        QTest::newRow("folder holding only folders") << "only folders" << 1 << "文件夹中没有文件";
        QTest::newRow("bad level") << "bad level" << 2 << "--level 只能是";
        QTest::newRow("bad mode") << "bad mode" << 2 << "--mode 只能是";
        QTest::newRow("option without its value") << "no value" << 2 << "选项 --to 后面缺少值";
        QTest::newRow("folder that cannot be made") << "bad folder" << 1 << "不能建立文件夹";
        QTest::newRow("one archive too many") << "two archives" << 2 << "不认识的参数: b.bak\n";
        QTest::newRow("no folder for the archive") << "no folder" << 1 << "不能写备份的文件";
    }
    void failures()
    {
        QFETCH(QString, what);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("src/a.txt")), textLike(100000, 3)));
        const QString archive = dir.filePath(QStringLiteral("a.bak"));
        QCOMPARE(cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src")), archive,
                      QStringLiteral("--volume-size"), QStringLiteral("30000")})
                     .status,
                 0);
        const QByteArray good = readFile(archive);
        const QString out = dir.filePath(QStringLiteral("out"));
        Run r;
        if (what == QLatin1String("missing source")) {
            r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("nothing*.db")), archive});
            QCOMPARE(readFile(archive), good); // the earlier archive stays
        } else if (what == QLatin1String("missing archive")) {
            r = cli({QStringLiteral("restore"), dir.filePath(QStringLiteral("none.bak")), QStringLiteral("--to"), out});
        } else if (what == QLatin1String("foreign archive")) {
            QVERIFY(writeFile(archive, QByteArray("PK\3\4 this is a zip file, not a backup")));
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"), out});
            QCOMPARE(cli({QStringLiteral("list"), archive}).out, QString()); // nothing read, nothing listed
        } else if (what == QLatin1String("wrong magic")) {
            QByteArray bad = good;
            const qsizetype at = bad.indexOf(QByteArray("EC2\0", 4));
            bad[at + 2] = '3';
            QVERIFY(writeFile(archive, bad));
            r = cli({QStringLiteral("list"), archive});
        } else if (what == QLatin1String("truncated")) {
            QVERIFY(writeFile(archive, good.left(good.size() / 2)));
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"), out});
        } else if (what == QLatin1String("missing volume")) {
            QVERIFY(QFile::remove(dir.filePath(QStringLiteral("a.001"))));
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"), out});
        } else if (what == QLatin1String("windows names")) {
            QVERIFY(writeFile(
                archive, referenceArchive({}, 1, 1, {{QByteArray("c:\\data\\A.DB"), 0x3A7953D6, "x"}}, 1).first()));
            r = cli({QStringLiteral("restore"), archive});
        } else if (what == QLatin1String("only folders")) {
            QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("tree/sub"))));
            QVERIFY(writeFile(dir.filePath(QStringLiteral("tree/sub/b.txt")), "b"));
            r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("tree")), archive});
            QCOMPARE(readFile(archive), good); // no empty archive in place of the earlier one
        } else if (what == QLatin1String("bad folder")) {
            QVERIFY(writeFile(dir.filePath(QStringLiteral("plain")), "a file, not a folder"));
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to"),
                     dir.filePath(QStringLiteral("plain/out"))});
        } else if (what == QLatin1String("two archives")) {
            r = cli({QStringLiteral("list"), archive, QStringLiteral("b.bak")});
        } else if (what == QLatin1String("no value")) {
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--to")});
        } else if (what == QLatin1String("bad level")) {
            r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src")), archive, QStringLiteral("--level"),
                     QStringLiteral("9")});
        } else if (what == QLatin1String("bad mode")) {
            r = cli({QStringLiteral("restore"), archive, QStringLiteral("--mode"), QStringLiteral("some")});
        } else if (what == QLatin1String("no folder")) {
            r = cli({QStringLiteral("backup"), dir.filePath(QStringLiteral("src")), dir.filePath("no/such/a.bak")});
        }
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(QDir(out).filePath(QStringLiteral("a.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestBackupCli)
#include "tst_backupcli.moc"
