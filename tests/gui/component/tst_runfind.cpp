#include "ComponentTestSupport.h"

#include "TestSupport.h"
#include "common/MessageSink.h"
#include "component/RunFind.h"
#include "query/QnQuery.h"

// A search run under the progress window ends with the number of records found.
class TestRunFind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }

    void counts()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_ID, USE_NAME) VALUES ('001', '张三'), "
                                     "('002', '李四'), ('003', '王五')"));
        TQnQuery query;
        query.setSql(QStringLiteral("SELECT * FROM SYS_USER_TABLE"));
        QVERIFY(query.OpenQuery());
        QVERIFY(RunFind(&query, QStringLiteral("SELECT * FROM SYS_USER_TABLE WHERE USE_ID >= '002'")));
        QCOMPARE(query.recordCount(), 2);
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("共找到 2 个符合条件的纪录")}));
        sink.clear();
        QVERIFY(RunFind(&query, QStringLiteral("SELECT * FROM SYS_USER_TABLE WHERE USE_ID = 'x'")));
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("没有找到符合条件的纪录")}));
        QVERIFY(!QApplication::overrideCursor());
        // A statement the database refuses: the query says so, no count follows.
        sink.clear();
        QVERIFY(!RunFind(&query, QStringLiteral("SELECT * FROM NO_SUCH_TABLE")));
        QVERIFY(!sink.texts().contains(QStringLiteral("没有找到符合条件的纪录")));
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestRunFind)
#include "tst_runfind.moc"
