#include "ShellTestSupport.h"

#include "common/AppError.h"
#include "component/MessageForm.h"
#include "db/Database.h"
#include "shell/QnApplication.h"

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>
#include <stdexcept>

// Errors that reach the application's handler become the fixed messages; the message window saves its lines.
class TestErrorReport : public QObject
{
    Q_OBJECT

    static QSqlError failing(const QString& sql)
    {
        QSqlQuery q(Database::db());
        if (q.exec(sql))
            return QSqlError();
        return q.lastError();
    }

private slots:
    void initTestCase() { ShellTest::setUp(); }
    void init() { ShellTest::clearMessages(); }

    void engineErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("messages"); // an entry ending in "…" is compared as a prefix
        QTest::newRow("duplicate key") << "INSERT INTO SYS_ID_TABLE(NAME_ID,AUTO_ID) VALUES('k','1'),('k','2')"
                                       << QStringList{"数据库主键重复"};
        QTest::newRow("value too large") << "INSERT INTO SYS_ID_TABLE(NAME_ID) VALUES('" +
                                                QString(41, QLatin1Char('x')) + "')"
                                         << QStringList{"数据太大,不能保存数据"};
        QTest::newRow("unknown engine error")
            << "SELEC 1"
            << QStringList{"数据库操作错误",
                           "EDBEngineError:ErrorCode: (1,1,0,0)near \"SELEC\": syntax error\r\t数据库操作错误"};
    }
    void engineErrors()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, messages);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        const QSqlError error = failing(sql);
        QVERIFY(error.isValid());
        ReportException(EDBEngineError(error));
        QCOMPARE(ShellTest::messages(), messages);
    }

    void otherErrors_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("date typed wrongly") << 0 << QStringList{"请按格式YYYY-MM-DD 输入日期"};
        QTest::newRow("format mismatch") << 1 << QStringList{"指定的格式与参数类型不匹配!"};
        QTest::newRow("other conversion") << 2 << QStringList{"'abc' is not a number"};
        QTest::newRow("abandoned") << 3 << QStringList{};
        QTest::newRow("range") << 4 << QStringList{"ERangeError:列表索引越界"};
        QTest::newRow("database") << 5 << QStringList{"EDatabaseError:数据集没有打开"};
        QTest::newRow("standard") << 6 << QStringList{"std::runtime_error:boom"};
    }
    void otherErrors()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, messages);
        switch (kind) {
        case 0:
            ReportException(EConvertError::invalidDate(QStringLiteral("2009-13-45")));
            break;
        case 1:
            ReportException(EConvertError(QStringLiteral("Format '%d' invalid or incompatible with argument")));
            break;
        case 2:
            ReportException(EConvertError(QStringLiteral("'abc' is not a number")));
            break;
        case 3:
            ReportException(EAbort());
            break;
        case 4:
            ReportException(ERangeError(QStringLiteral("列表索引越界")));
            break;
        case 5:
            ReportException(EDatabaseError(QStringLiteral("数据集没有打开")));
            break;
        default:
            ReportException(std::runtime_error("boom"));
            break;
        }
        QCOMPARE(ShellTest::messages(), messages);
    }

    void errorsInEventHandlersAreReported()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QPushButton button(QStringLiteral("保存"));
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&clicks] {
            ++clicks;
            const QSqlError error = failing(QStringLiteral("INSERT INTO SYS_ID_TABLE(NAME_ID) VALUES('a'),('a')"));
            throw EDBEngineError(error);
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("数据库主键重复")});
        // The program goes on: the next click runs again.
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
    }

    void standardBoxes()
    {
        // The real boxes, once: captions, the " ?" of questions and Qt's Chinese button texts.
        GuiMessageSink::setTestMode(false);
        QStringList seen;
        ShellTest::whenShown<QMessageBox>([&seen](QMessageBox* box) {
            ShellTest::grab(box, QStringLiteral("question-box"));
            seen << box->windowTitle() << box->text();
            for (QAbstractButton* b : box->buttons())
                seen << b->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)"))); // "是(&Y)" reads 是
            box->button(QMessageBox::No)->click();
        });
        const bool answer = AskYesNo(QStringLiteral("是否备份数据"));
        ShellTest::whenShown<QMessageBox>([&seen](QMessageBox* box) {
            ShellTest::grab(box, QStringLiteral("error-box"));
            seen << box->windowTitle() << box->text() << box->buttons().first()->text();
            box->accept();
        });
        ShowError(QStringLiteral("EDBEngineError:ErrorCode:"));
        GuiMessageSink::setTestMode(true);
        QVERIFY(!answer);
        QCOMPARE(seen, (QStringList{"提示信息", "是否备份数据 ?", "是", "否", "错误信息",
                                    "EDBEngineError:ErrorCode:", "确定"}));
    }

    void messageWindowSaves()
    {
        QTemporaryDir dir;
        TMessageForm form;
        form.setLines({QStringLiteral("QN_ARCHIVE_MASTER_TABLE 数据文件正常"), QStringLiteral("---")});
        form.addLine(QStringLiteral("共检查 1 个数据文件"));
        form.setFileName(QStringLiteral("数据修复报告"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("信息显示窗口"));
        QCOMPARE(form.findChild<QPlainTextEdit*>(QStringLiteral("Memo"))->toPlainText(),
                 QStringLiteral("QN_ARCHIVE_MASTER_TABLE 数据文件正常\n---\n共检查 1 个数据文件"));
        ShellTest::grab(&form, QStringLiteral("message-form"));

        const QString path = dir.filePath(QStringLiteral("报告"));
        DesktopServices::queueDialogAnswer(path);
        form.findChild<QPushButton*>(QStringLiteral("button_Save"))->click();
        QFile file(path + QStringLiteral(".txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QStringLiteral("QN_ARCHIVE_MASTER_TABLE 数据文件正常\n---\n共检查 1 个数据文件\n"));

        // Cancelling the save dialog writes nothing.
        DesktopServices::queueDialogAnswer(QString());
        form.findChild<QPushButton*>(QStringLiteral("button_Save"))->click();
        DesktopServices::clearDialogAnswers();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
        form.findChild<QPushButton*>(QStringLiteral("button_Close"))->click();
        QVERIFY(!form.isVisible());
    }
};

int main(int argc, char** argv)
{
    TQnApplication app(argc, argv);
    TestErrorReport test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_errorreport.moc"
