#include "TestSupport.h"

#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

// The editable query on a real database: checks, composed save and delete, the model after changes.
class TestQnQuery : public QObject
{
    Q_OBJECT

    static void addUser(const QString& id, const QString& name, const QString& note = QString())
    {
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE (USE_ID, USE_NAME, NOTE) VALUES (%1, %2, %3)")
                          .arg(Sql::quote(id), Sql::quote(name), Sql::quote(note)));
    }

    // The user screen's query: number, name, duplicate check on the number, stamps.
    static std::unique_ptr<TQnQuery> userQuery()
    {
        auto q = std::make_unique<TQnQuery>();
        q->setObjectName(QStringLiteral("Query"));
        q->setTableName(QStringLiteral("SYS_USER_TABLE.DB"));
        q->setSql(QStringLiteral("SELECT  *  FROM  SYS_USER_TABLE ORDER BY USE_ID"));
        TFieldsData id;
        id.fieldName = QStringLiteral("USE_ID");
        id.caption = QStringLiteral("用户编号");
        id.required = true;
        TFieldsData name;
        name.fieldName = QStringLiteral("USE_NAME");
        name.caption = QStringLiteral("用户名称");
        name.required = true;
        TFieldsData created;
        created.fieldName = QStringLiteral("CREATE_DATE");
        created.caption = QStringLiteral("建档日期");
        created.valueKind = QStringLiteral("D");
        TFieldsData note;
        note.fieldName = QStringLiteral("NOTE");
        note.caption = QStringLiteral("备注");
        q->SetFieldsData({id, name, created, note});
        TCheckData dup;
        dup.checkedColumn = QStringLiteral("USE_ID");
        dup.head = QStringLiteral("SELECT USE_ID FROM SYS_USER_TABLE WHERE ");
        dup.message = QStringLiteral("用户编号重复");
        dup.conditions = {TCheckFieldsData{QStringLiteral("USE_ID"), QStringLiteral("USE_ID"), {}, {}, "C"}};
        q->SetCheckData({dup});
        const AppContext& ctx = AppContext::instance();
        TInsertData by{
            QStringLiteral("CREATE_NAME"), QStringLiteral("建档人员"), {}, 0, ctx.UserName, nullptr, "A", {}};
        TInsertData on{
            QStringLiteral("CREATE_DATE"), QStringLiteral("建档日期"), {}, 0, ctx.LoginDate, nullptr, "A", {}};
        q->SetInsertData({by, on});
        q->SetEditData({{QStringLiteral("EDIT_NAME"), QStringLiteral("修改人员"), ctx.UserName},
                        {QStringLiteral("EDIT_DATE"), QStringLiteral("修改日期"), ctx.LoginDate}});
        return q;
    }

private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(10, 11, 12))); }
    void cleanup() { Clock::clearFixed(); }

    void opensAndBrowses()
    {
        TestEnv env;
        QVERIFY(env.ok());
        addUser("002", "李四");
        addUser("001", "张三");
        auto q = userQuery();
        QSignalSpy states(q.get(), &TQnQuery::stateChanged);
        QVERIFY(q->OpenQuery());
        QCOMPARE(q->state(), TQnQuery::Browse);
        QCOMPARE(states.size(), 1);
        QCOMPARE(q->recordCount(), 2);
        QCOMPARE(q->currentRow(), 0);
        QCOMPARE(q->text("use_name"), QStringLiteral("张三"));
        QVERIFY(q->Next());
        QCOMPARE(q->text("USE_ID"), QStringLiteral("002"));
        QVERIFY(!q->Next());
        QVERIFY(q->isLast());
        QCOMPARE(q->headerData(q->columnIndex("USE_NAME"), Qt::Horizontal).toString(), QStringLiteral("用户名称"));
        QVERIFY(q->columnVisible(q->columnIndex("USE_NAME")));
        QVERIFY(!q->columnVisible(q->columnIndex("USE_PASSWORD"))); // no descriptor: hidden
        QCOMPARE(q->columnDisplayWidth(q->columnIndex("CREATE_DATE")), 10);
        QCOMPARE(q->data(q->index(1, q->columnIndex("USE_NAME"))).toString(), QStringLiteral("李四"));
        q->CloseQuery();
        QCOMPARE(q->state(), TQnQuery::Closed);
        QCOMPARE(q->rowCount(), 0);
    }

    void badStatement()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        TQnQuery q;
        q.setSql(QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
        QVERIFY(!q.OpenQuery());
        QCOMPARE(q.state(), TQnQuery::Closed);
        QCOMPARE(sink.texts(), QStringList{"数据库操作过程发生错误"});
    }

    void appendAndSave()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        q->setActiveControl(QStringLiteral("QnEdit1"));
        QSignalSpy focus(q.get(), &TQnQuery::focusControlRequested);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        QCOMPARE(q->state(), TQnQuery::Insert);
        QCOMPARE(q->rowCount(), 2);
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(focus.value(0).value(0).toString(), QStringLiteral("QnEdit1"));
        QCOMPARE(q->text("CREATE_NAME"), QStringLiteral("管理员"));
        QCOMPARE(q->text("CREATE_DATE"), QStringLiteral("2009-03-25"));
        QVERIFY(q->setValue("USE_ID", "000"));
        QVERIFY(q->setValue("USE_NAME", "' OR '1'='1"));
        QVERIFY(q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList());
        QCOMPARE(q->state(), TQnQuery::Browse);
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '000'"),
                 QStringLiteral("' OR '1'='1"));
        QCOMPARE(TestEnv::value("SELECT CREATE_DATE FROM SYS_USER_TABLE WHERE USE_ID = '000'"),
                 QStringLiteral("2009-03-25"));
        // The grid shows the row at once, where it was added.
        QCOMPARE(q->rowCount(), 2);
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(q->data(q->index(1, q->columnIndex("USE_ID"))).toString(), QStringLiteral("000"));
        QCOMPARE(q->data(q->index(0, q->columnIndex("USE_ID"))).toString(), QStringLiteral("001"));
        // A reopened list has it in its sorted place.
        QVERIFY(q->Refresh());
        QCOMPARE(q->valueAt(0, "USE_ID").toString(), QStringLiteral("000"));
    }

    void editAndSave()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->setCurrentRow(1));
        QVERIFY(q->EditRecord());
        QCOMPARE(q->text("EDIT_NAME"), QStringLiteral("管理员"));
        QVERIFY(q->setValue("USE_NAME", "王五"));
        QVERIFY(q->setValue("CREATE_DATE", "2009/3/5"));
        QVERIFY(q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList());
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '002'"), QStringLiteral("王五"));
        QCOMPARE(TestEnv::value("SELECT CREATE_DATE FROM SYS_USER_TABLE WHERE USE_ID = '002'"),
                 QStringLiteral("2009-03-05"));
        QCOMPARE(TestEnv::value("SELECT EDIT_DATE FROM SYS_USER_TABLE WHERE USE_ID = '002'"),
                 QStringLiteral("2009-03-25"));
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"), QStringLiteral("张三"));
        QCOMPARE(q->data(q->index(1, q->columnIndex("USE_NAME"))).toString(), QStringLiteral("王五"));
        QCOMPARE(q->rowCount(), 2);

        // NotEdit: one edit without stamps.
        TestEnv::exec("UPDATE SYS_USER_TABLE SET EDIT_NAME = NULL");
        QVERIFY(q->Refresh());
        q->setNotEdit(true);
        QVERIFY(q->EditRecord());
        QCOMPARE(q->text("EDIT_NAME"), QString());
        q->CancelRecord();
        QVERIFY(q->EditRecord());
        QCOMPARE(q->text("EDIT_NAME"), QStringLiteral("管理员"));
        q->CancelRecord();
    }

    void vanishedRow()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        QVERIFY(q->setValue("USE_NAME", "赵六"));
        TestEnv::exec("DELETE FROM SYS_USER_TABLE"); // another window deleted it
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"该记录已被其它用户删除或在其它窗口被删除"});
        QCOMPARE(q->state(), TQnQuery::Edit);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("0"));
        q->CancelRecord();
        QCOMPARE(q->state(), TQnQuery::Browse);
        QCOMPARE(q->text("USE_NAME"), QStringLiteral("张三"));
    }

    void duplicateNumber_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::newRow("adding") << true;
        QTest::newRow("editing") << false;
    }
    void duplicateNumber()
    {
        QFETCH(bool, adding);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        QSignalSpy focus(q.get(), &TQnQuery::focusColumnRequested);
        QVERIFY(q->OpenQuery());
        if (adding) {
            QVERIFY(q->AppendRecord());
            q->setValue("USE_NAME", "王五");
        } else {
            QVERIFY(q->setCurrentRow(1));
            QVERIFY(q->EditRecord());
        }
        q->setValue("USE_ID", "001");
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"用户编号重复"});
        QCOMPARE(q->state(), adding ? TQnQuery::Insert : TQnQuery::Edit);
        QCOMPARE(focus.value(0).value(0).toString(), QStringLiteral("USE_ID"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("2"));
        // Corrected, it saves.
        q->setValue("USE_ID", "003");
        QVERIFY(q->SaveRecord());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE WHERE USE_ID = '003'"), QStringLiteral("1"));
    }

    // An unchanged number is not checked against itself when editing.
    void editKeepsItsOwnNumber()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        q->setValue("NOTE", "备注");
        QVERIFY(q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList());
    }

    void validation_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("required") << "USE_NAME"
                                  << ""
                                  << "用户名称必须有一个值";
        QTest::newRow("bad date") << "CREATE_DATE"
                                  << "2009-13-45"
                                  << "建档日期是错误的数据";
        QTest::newRow("too wide") << "USE_NAME"
                                  << "一二三四五六七八九十一"
                                  << "数据太大,不能保存数据";
        QTest::newRow("too wide, ascii") << "USE_ID"
                                         << "1234567"
                                         << "数据太大,不能保存数据";
        QTest::newRow("bad date without descriptor") << "EDIT_DATE"
                                                     << "yesterday"
                                                     << "EDIT_DATE是错误的数据";
    }
    void validation()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, message);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        QSignalSpy focus(q.get(), &TQnQuery::focusColumnRequested);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        q->setValue(column, value);
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{message});
        QCOMPARE(q->state(), TQnQuery::Edit);
        QCOMPARE(focus.value(0).value(0).toString(), column);
        QCOMPARE(q->text(column), value); // what was typed is kept
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE"), QStringLiteral("张三"));
    }

    void tenChineseCharactersFit()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        q->setValue("USE_NAME", "一二三四五六七八九十");
        QVERIFY(q->SaveRecord());
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE"), QStringLiteral("一二三四五六七八九十"));
    }

    // The engine's own refusal (here a unique index) leaves the record being edited.
    void engineRefusal()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        q->setValue("USE_NAME", "李四"); // USE_NAME is unique
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"数据库主键重复"});
        QCOMPARE(q->state(), TQnQuery::Edit);
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"), QStringLiteral("张三"));
    }

    void deleteRecord_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("noConfirm");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("yes") << QList<bool>{true} << false << true << QStringList{"请确认是否删除"};
        QTest::newRow("no") << QList<bool>{false} << false << false << QStringList{"请确认是否删除"};
        QTest::newRow("without asking") << QList<bool>{} << true << true << QStringList{};
    }
    void deleteRecord()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, noConfirm);
        QFETCH(bool, deleted);
        QFETCH(QStringList, messages);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        for (bool a : answers)
            sink.queueAnswer(a);
        addUser("001", "张三");
        addUser("002", "李四");
        addUser("003", "王五");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->setCurrentRow(1));
        q->setNoDeleteConfirm(noConfirm);
        QCOMPARE(q->DeleteRecord(), deleted);
        QCOMPARE(sink.texts(), messages);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE WHERE USE_ID = '002'"),
                 deleted ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(q->rowCount(), deleted ? 2 : 3);
        QCOMPARE(q->text("USE_ID"), deleted ? QStringLiteral("003") : QStringLiteral("002"));
        QCOMPARE(q->valueAt(0, "USE_ID").toString(), QStringLiteral("001"));
        // The switch holds for one delete only.
        sink.clear();
        QVERIFY(!q->DeleteRecord());
        QCOMPARE(sink.texts(), QStringList{"请确认是否删除"});
    }

    void deleteHookAbandons()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        TestEnv::exec("INSERT INTO SYS_RIGHT_TABLE (USE_ID, COMPOSE_ID, PROGRAM_ID) VALUES ('001', 1, 1)");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        bool refuse = true;
        q->setBeforeDelete([&] {
            TestEnv::exec("DELETE FROM SYS_RIGHT_TABLE WHERE USE_ID = '001'");
            if (refuse)
                ShowWarning(QStringLiteral("删除过程发生错误"));
            return !refuse;
        });
        q->setNoDeleteConfirm(true);
        QVERIFY(!q->DeleteRecord());
        // The cascade ran in the delete's transaction and is undone with it.
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_RIGHT_TABLE"), QStringLiteral("1"));
        QCOMPARE(q->rowCount(), 1);
        refuse = false;
        q->setNoDeleteConfirm(true);
        QVERIFY(q->DeleteRecord());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_RIGHT_TABLE"), QStringLiteral("0"));
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("0"));
        QVERIFY(q->isEmpty());
    }

    void cancelAppend()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->setCurrentRow(1));
        QVERIFY(q->AppendRecord());
        QCOMPARE(q->rowCount(), 3);
        q->setSilent(true);
        q->CancelRecord();
        QVERIFY(!q->isSilent());
        QCOMPARE(q->rowCount(), 2);
        QCOMPARE(q->currentRow(), 1);
        QCOMPARE(q->state(), TQnQuery::Browse);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("2"));
    }

    void askCheck_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes saves") << true;
        QTest::newRow("no keeps editing") << false;
    }
    void askCheck()
    {
        QFETCH(bool, answer);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        sink.queueAnswer(answer);
        addUser("001", "张三", "同名");
        auto q = userQuery();
        TCheckData same;
        same.checkedColumn = QStringLiteral("NOTE");
        same.head = QStringLiteral("SELECT USE_ID FROM SYS_USER_TABLE WHERE ");
        same.message = QStringLiteral("备注重复,是否保存");
        same.ask = true;
        same.conditions = {TCheckFieldsData{QStringLiteral("NOTE"), QStringLiteral("NOTE"), {}, {}, "C"}};
        q->checkData().append(same);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "002");
        q->setValue("USE_NAME", "李四");
        q->setValue("NOTE", "同名");
        QCOMPARE(q->SaveRecord(), answer);
        QCOMPARE(sink.texts(), QStringList{"备注重复,是否保存"});
        QCOMPARE(q->state(), answer ? TQnQuery::Browse : TQnQuery::Insert);
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"),
                 answer ? QStringLiteral("2") : QStringLiteral("1"));
    }

    // A question answered yes is not asked again when the save is repeated.
    void askedOnce()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        sink.queueAnswer(true);
        addUser("001", "张三", "同名");
        auto q = userQuery();
        TCheckData same;
        same.checkedColumn = QStringLiteral("NOTE");
        same.head = QStringLiteral("SELECT USE_ID FROM SYS_USER_TABLE WHERE ");
        same.message = QStringLiteral("备注重复,是否保存");
        same.ask = true;
        same.conditions = {TCheckFieldsData{QStringLiteral("NOTE"), QStringLiteral("NOTE"), {}, {}, "C"}};
        q->checkData().prepend(same);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "001"); // fails the number check after the question
        q->setValue("USE_NAME", "李四");
        q->setValue("NOTE", "同名");
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), (QStringList{"备注重复,是否保存", "用户编号重复"}));
        q->setValue("USE_ID", "002");
        QVERIFY(q->SaveRecord());
        QCOMPARE(sink.texts().size(), 2);
    }

    void lookupCheck_data()
    {
        QTest::addColumn<QString>("typeId");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("copied");
        QTest::newRow("found, copies") << "001" << true << "文书";
        QTest::newRow("missing refuses") << "009" << false << "";
        QTest::newRow("empty skipped") << "" << true << "";
    }
    void lookupCheck()
    {
        QFETCH(QString, typeId);
        QFETCH(bool, saved);
        QFETCH(QString, copied);
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        TestEnv::exec("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, ARCHIVE_TYPE_NAME, PRIOR_ID) "
                      "VALUES ('001', '文书', 'G001')");
        TQnQuery q;
        q.setTableName("QN_ARCHIVE_MASTER_TABLE");
        q.setSql("SELECT M.*, (SELECT ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_TYPE_TABLE T WHERE T.ARCHIVE_TYPE_ID = "
                 "M.ARCHIVE_TYPE_ID) AS ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_MASTER_TABLE M ORDER BY ARCHIVE_ID");
        TCheckData type;
        type.lookup = true;
        type.skipWhenEmpty = true;
        type.checkedColumn = QStringLiteral("ARCHIVE_TYPE_ID");
        type.head = QStringLiteral("SELECT ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_TYPE_TABLE WHERE ");
        type.message = QStringLiteral("档案类别不存在");
        type.copyColumns = QStringLiteral("ARCHIVE_TYPE_NAME");
        type.conditions = {
            TCheckFieldsData{QStringLiteral("ARCHIVE_TYPE_ID"), QStringLiteral("ARCHIVE_TYPE_ID"), {}, {}, "C"}};
        q.SetCheckData({type});
        TInsertData key{"ARCHIVE_RECORD_ID", "记录编号", {}, 0, {}, nullptr, "T", "A"};
        q.SetInsertData({key});
        QVERIFY(q.OpenQuery());
        QVERIFY(q.AppendRecord());
        q.setValue("ARCHIVE_TYPE_ID", typeId);
        q.setValue("ARCHIVE_ID", "2009000001");
        QCOMPARE(q.SaveRecord(), saved);
        QCOMPARE(sink.texts(), saved ? QStringList() : QStringList{"档案类别不存在"});
        if (saved) {
            QCOMPARE(q.text("ARCHIVE_TYPE_NAME"), copied);
            QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_ARCHIVE_MASTER_TABLE"), QStringLiteral("1"));
        }
    }

    // A generated number taken meanwhile is drawn again instead of refusing the save.
    void renumberOnClash()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        auto q = userQuery();
        TInsertData number{"USE_ID", "用户编号", {}, 3, {}, nullptr, "C", {}};
        q->insertData().append(number);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        QCOMPARE(q->text("USE_ID"), QStringLiteral("001"));
        q->setValue("USE_NAME", "张三");
        addUser("001", "别的窗口");
        QVERIFY(q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList());
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '002'"), QStringLiteral("张三"));

        // Not for a check that forbids it.
        q->checkData()[0].noRenumber = true;
        QVERIFY(q->AppendRecord());
        QCOMPARE(q->text("USE_ID"), QStringLiteral("003"));
        q->setValue("USE_NAME", "李四");
        addUser("003", "又一个窗口");
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"用户编号重复"});
    }

    void collectMode()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        q->setCollectMessages(true);
        QVERIFY(q->OpenQuery());
        for (int i = 0; i < 2; ++i) {
            QVERIFY(q->AppendRecord());
            q->setValue("USE_ID", "001");
            q->setValue("USE_NAME", QStringLiteral("某%1").arg(i));
            QVERIFY(!q->SaveRecord());
            q->CancelRecord();
        }
        QCOMPARE(sink.texts(), QStringList());
        QCOMPARE(q->collectedMessages(), QStringList{"用户编号重复"});
    }

    void localMode()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        q->setLocalMode(true);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->EditRecord());
        q->setValue("USE_NAME", "改了");
        QVERIFY(q->SaveRecord());
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "003");
        q->setValue("USE_NAME", "新的");
        QVERIFY(q->SaveRecord());
        QVERIFY(q->setCurrentRow(1));
        q->setNoDeleteConfirm(true);
        QVERIFY(q->DeleteRecord());
        QCOMPARE(q->rowCount(), 2);
        QCOMPARE(q->valueAt(0, "USE_NAME").toString(), QStringLiteral("改了"));
        QCOMPARE(q->valueAt(1, "USE_NAME").toString(), QStringLiteral("新的"));
        QCOMPARE(
            TestEnv::value("SELECT GROUP_CONCAT(USE_NAME) FROM (SELECT USE_NAME FROM SYS_USER_TABLE ORDER BY USE_ID)"),
            QStringLiteral("张三,李四"));
        QCOMPARE(sink.texts(), QStringList());
    }

    void silentModeSkipsChecks()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        QSignalSpy focus(q.get(), &TQnQuery::focusColumnRequested);
        QVERIFY(q->OpenQuery());
        q->setSilent(true);
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "002"); // no name: the required check is off
        QVERIFY(q->SaveRecord());
        QVERIFY(q->isSilent()); // left on until cancelled or switched off
        QVERIFY(q->EditRecord());
        q->setValue("NOTE", QString(31, QLatin1Char('x'))); // but nothing the table cannot hold
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"数据太大,不能保存数据"});
        QCOMPARE(focus.size(), 0);
        q->CancelRecord();
        QVERIFY(!q->isSilent());
    }

    // A row being added is saved silently, then edited again and saved (attachments do this).
    void saveThenEditAgain()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        auto q = userQuery();
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "001");
        q->setValue("USE_NAME", "张三");
        QVERIFY(q->SaveRecord());
        QVERIFY(q->EditRecord());
        q->setValue("NOTE", "有附件");
        QVERIFY(q->SaveRecord());
        QCOMPARE(TestEnv::value("SELECT NOTE FROM SYS_USER_TABLE WHERE USE_ID = '001'"), QStringLiteral("有附件"));
        QCOMPARE(q->rowCount(), 1);
        q->setNoDeleteConfirm(true);
        QVERIFY(q->DeleteRecord());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_USER_TABLE"), QStringLiteral("0"));
        QCOMPARE(q->rowCount(), 0);
        QVERIFY(q->isEmpty());
    }

    // A new record never overwrites another row that holds its key.
    void appendNeverOverwrites()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        auto q = userQuery();
        q->SetCheckData({});
        QVERIFY(q->OpenQuery());
        QVERIFY(q->AppendRecord());
        q->setValue("USE_ID", "001");
        q->setValue("USE_NAME", "李四");
        QVERIFY(!q->SaveRecord());
        QCOMPARE(sink.texts(), QStringList{"数据库主键重复"});
        QCOMPARE(TestEnv::value("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = '001'"), QStringLiteral("张三"));
    }

    void footers()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        for (int i = 1; i <= 10; ++i)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, "
                                         "ARCHIVE_ID, NUMBER_FIELD1) VALUES ('R%1', '%2', '%1', %3)")
                              .arg(i)
                              .arg(i <= 6 ? "001001" : "002")
                              .arg(i * 1.5));
        TQnQuery q;
        q.setTableName("QN_ARCHIVE_MASTER_TABLE");
        q.setSql("SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE " + Sql::prefixCondition("ARCHIVE_TYPE_ID", "001") +
                 " ORDER BY ARCHIVE_ID");
        TFieldsData id{"ARCHIVE_ID", "档案编号"};
        id.footerKind = "@Count";
        TFieldsData n{"NUMBER_FIELD1", "数量"};
        n.valueKind = "N";
        n.footerKind = "@Sum";
        TFieldsData type{"ARCHIVE_TYPE_ID", "类别"};
        type.footerKind = "合计";
        q.SetFieldsData({id, n, type});
        QVERIFY(q.OpenQuery());
        QCOMPARE(q.footerText("ARCHIVE_ID"), QStringLiteral("6"));
        QCOMPARE(q.footerText("NUMBER_FIELD1"), QStringLiteral("31.5"));
        QCOMPARE(q.footerText("ARCHIVE_TYPE_ID"), QStringLiteral("合计"));
        QCOMPARE(q.footerText("ARCHIVE_NAME"), QString());
        QVERIFY(q.setCurrentRow(2));
        QVERIFY(q.EditRecord());
        q.setValue("NUMBER_FIELD1", "100");
        QVERIFY(q.SaveRecord());
        QCOMPARE(q.footerText("NUMBER_FIELD1"), QStringLiteral("127"));
        QCOMPARE(q.data(q.index(2, q.columnIndex("NUMBER_FIELD1"))).toString(), QStringLiteral("100"));
        QVERIFY(q.setCurrentRow(0));
        q.setNoDeleteConfirm(true);
        QVERIFY(q.DeleteRecord());
        QCOMPARE(q.footerText("ARCHIVE_ID"), QStringLiteral("5"));
        QCOMPARE(q.footerText("NUMBER_FIELD1"), QStringLiteral("125.5"));
        QVERIFY(q.AppendRecord());
        q.setValue("ARCHIVE_RECORD_ID", "R99");
        q.setValue("ARCHIVE_TYPE_ID", "001");
        q.setValue("NUMBER_FIELD1", "0.25");
        QVERIFY(q.SaveRecord());
        QCOMPARE(q.footerText("ARCHIVE_ID"), QStringLiteral("6"));
        QCOMPARE(q.footerText("NUMBER_FIELD1"), QStringLiteral("125.75"));
        // The same figures from a fresh reading.
        QVERIFY(q.Refresh());
        QCOMPARE(q.footerText("ARCHIVE_ID"), QStringLiteral("6"));
        QCOMPARE(q.footerText("NUMBER_FIELD1"), QStringLiteral("125.75"));
    }

    void masterAndDetail()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        TestEnv::exec(
            "INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_ID) VALUES ('M1', '1'), ('M2', '2'), "
            "('M3', '3')");
        TestEnv::exec("INSERT INTO QN_ARCHIVE_DETAIL_TABLE (ARCHIVE_RECORD_ID, DETAIL_RECORD_ID, DETAIL_ARCHIVE_ID) "
                      "VALUES ('M1', 'D1', '0001'), ('M1', 'D2', '0002'), ('M2', 'D3', '0001')");
        TQnQuery master, detail;
        master.setTableName("QN_ARCHIVE_MASTER_TABLE");
        master.setSql("SELECT * FROM QN_ARCHIVE_MASTER_TABLE ORDER BY ARCHIVE_ID");
        detail.setTableName("QN_ARCHIVE_DETAIL_TABLE");
        detail.setMaster(&master, {TLinkData{"ARCHIVE_RECORD_ID", "ARCHIVE_RECORD_ID", "C"}},
                         "SELECT * FROM QN_ARCHIVE_DETAIL_TABLE", " ORDER BY DETAIL_ARCHIVE_ID");
        QCOMPARE(master.QyDetail(), &detail);
        QCOMPARE(detail.QyMaster(), &master);
        QVERIFY(master.OpenQuery());
        QVERIFY(detail.isOpen());
        QCOMPARE(detail.recordCount(), 2);
        QVERIFY(master.Next());
        QCOMPARE(detail.recordCount(), 1);
        QCOMPARE(detail.text("DETAIL_RECORD_ID"), QStringLiteral("D3"));
        QVERIFY(master.Next());
        QCOMPARE(detail.recordCount(), 0);
        // A new detail belongs to the master's row.
        QVERIFY(detail.AppendRecord());
        QCOMPARE(detail.text("ARCHIVE_RECORD_ID"), QStringLiteral("M3"));
        QVERIFY(!master.setCurrentRow(0)); // not while the detail is being edited
        detail.setValue("DETAIL_RECORD_ID", "D4");
        QVERIFY(detail.SaveRecord());
        QVERIFY(master.First());
        QCOMPARE(detail.recordCount(), 2);

        // No master row: no detail row can be added.
        master.setSql("SELECT * FROM QN_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_ID = 'none'");
        QVERIFY(!detail.isOpen());
        QVERIFY(master.OpenQuery());
        QVERIFY(detail.isOpen());
        QCOMPARE(detail.recordCount(), 0);
        QVERIFY(!detail.AppendRecord());
        QCOMPARE(sink.texts(), QStringList{"主数据库页面没有数据纪录，从数据页面不能有新的纪录"});
    }

    // A table without a key: the row id tells identical rows apart.
    void tableWithoutKey()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        for (int i = 0; i < 2; ++i)
            TestEnv::exec("INSERT INTO SYS_ARCHIVE_DBGRID_TABLE (USE_ID, FORM_NAME, DBGRID_NAME, FIELD_NAME, "
                          "FIELD_WIDTH) VALUES ('001', 'ArchiveForm', 'DBGrid1', 'ARCHIVE_ID', 80)");
        TQnQuery q;
        q.setTableName("SYS_ARCHIVE_DBGRID_TABLE");
        QVERIFY(q.keyColumns().isEmpty());
        QVERIFY(q.OpenQuery());
        QCOMPARE(q.recordCount(), 2);
        QVERIFY(q.EditRecord());
        q.setValue("FIELD_WIDTH", 120);
        QVERIFY(q.SaveRecord());
        QCOMPARE(
            TestEnv::value("SELECT GROUP_CONCAT(FIELD_WIDTH) FROM (SELECT FIELD_WIDTH FROM SYS_ARCHIVE_DBGRID_TABLE "
                           "ORDER BY FIELD_WIDTH)"),
            QStringLiteral("80,120"));
        QVERIFY(q.AppendRecord());
        q.setValue("USE_ID", "001");
        q.setValue("FIELD_WIDTH", 80);
        QVERIFY(q.SaveRecord());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_ARCHIVE_DBGRID_TABLE"), QStringLiteral("3"));
        QVERIFY(q.setCurrentRow(1));
        q.setNoDeleteConfirm(true);
        QVERIFY(q.DeleteRecord());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_ARCHIVE_DBGRID_TABLE"), QStringLiteral("2"));
        QCOMPARE(sink.texts(), QStringList());
    }

    void stampsFromTheContext()
    {
        TestEnv env;
        QVERIFY(env.ok());
        TQnQuery q;
        q.stampFromContext();
        QCOMPARE(q.yearMonth(), QStringLiteral("200903")); // the working date's month
        QCOMPARE(q.today(), QStringLiteral("20090325"));
        QCOMPARE(q.colorOnFocus(), AppContext::instance().WindowFocusColor);
    }

    void signals_()
    {
        TestEnv env;
        QVERIFY(env.ok());
        RecordingSink sink;
        addUser("001", "张三");
        addUser("002", "李四");
        auto q = userQuery();
        QSignalSpy states(q.get(), &TQnQuery::stateChanged);
        QSignalSpy rows(q.get(), &TQnQuery::currentRowChanged);
        QSignalSpy fields(q.get(), &TQnQuery::fieldValueChanged);
        QVERIFY(q->OpenQuery());
        QVERIFY(q->Next());
        QCOMPARE(rows.last().value(0).toInt(), 1);
        QVERIFY(q->EditRecord());
        QCOMPARE(states.last().value(0).value<TQnQuery::State>(), TQnQuery::Edit);
        fields.clear();
        q->setValue("NOTE", "x");
        QCOMPARE(fields.size(), 1);
        QCOMPARE(fields.value(0).value(0).toString(), QStringLiteral("NOTE"));
        QVERIFY(!q->setCurrentRow(0)); // the record is saved or cancelled first
        QVERIFY(q->SaveRecord());
        QCOMPARE(states.last().value(0).value<TQnQuery::State>(), TQnQuery::Browse);
        QVERIFY(!q->setValue("NOTE", "y")); // not while browsing
    }
};

QTEST_GUILESS_MAIN(TestQnQuery)
#include "tst_qnquery.moc"
