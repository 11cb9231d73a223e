#include "ComponentTestSupport.h"

#include "TestSupport.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/QnDBEdit.h"
#include "component/QnEdit.h"
#include "component/QnNDBGrid.h"
#include "component/SelectEditForm.h"
#include "component/SelectForm.h"
#include "db/Schema.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>

// The value lists: the picker that offers earlier values of a text column, and the list editor in which the
// user picks a value and keeps the list.
class TestValueLists : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;

    static void values(const QString& table, const QString& column, const QStringList& list)
    {
        TestEnv::exec(QStringLiteral("DELETE FROM ") + table);
        for (const QString& v : list)
            TestEnv::exec(QStringLiteral("INSERT INTO %1(%2) VALUES (%3)").arg(table, column, Sql::quote(v)));
    }
    static QStringList column(const QString& sql)
    {
        return TestEnv::value(sql).split(QLatin1Char(','), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        Startup::setUpApplication(*qApp);
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        AppContext::instance().UserName = QStringLiteral("管理员");
        AppContext::instance().LoginDate = QStringLiteral("2009-03-25");
    }
    void cleanupTestCase() { m_env.reset(); }

    void fitWidths_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<QList<int>>("fitted");
        QTest::newRow("one narrow column widens") << QList<int>{50} << QList<int>{101};
        QTest::newRow("two columns widen evenly") << QList<int>{20, 30} << QList<int>{45, 55};
        // w = 200, n = 2: a = round(98 / 2 - 1) = 48; 150 > 10a? no; > 8a? no; > 6a? no (288); > 3a (144): yes.
        QTest::newRow("wide columns narrow") << QList<int>{150, 50} << QList<int>{102, 50};
        QTest::newRow("just over") << QList<int>{103} << QList<int>{103};
    }
    void fitWidths()
    {
        QFETCH(QList<int>, widths);
        QFETCH(QList<int>, fitted);
        QCOMPARE(TSelectForm::fitWidths(widths), fitted);
    }

    void picker()
    {
        RecordingSink sink;
        values("QN_TEXT_FIELD1_TABLE", "TEXT_FIELD1", {"北京", "上海", "O'Brien街", "北京西"});
        QString text = QStringLiteral("北京"), flag;
        QStringList shown;
        QString title;
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TSelectForm*>(m);
            QVERIFY(form);
            title = form->windowTitle();
            for (int r = 0; r < form->Query()->recordCount(); ++r)
                shown << form->Query()->valueAt(r, "TEXT_FIELD1").toString();
            QCOMPARE(form->Query()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("地址"));
            ComponentTest::shoot(form, QStringLiteral("selectform"));
            form->Query()->setCurrentRow(1);
            QTest::keyClick(form->DBGrid(), Qt::Key_F3);
        });
        QVERIFY(PickListValue("TEXT_FIELD1", &text, &flag, QStringLiteral("地址")));
        QCOMPARE(title, QStringLiteral("数据选择窗口"));
        QCOMPARE(shown, QStringList({"北京", "北京西"}));
        QCOMPARE(text, QStringLiteral("北京西"));
        QCOMPARE(flag, QStringLiteral("0"));

        // A quote in the text finds its value and nothing else.
        text = QStringLiteral("'");
        ComponentTest::onNextModal([&](QWidget* m) {
            QCOMPARE(qobject_cast<TSelectForm*>(m)->Query()->recordCount(), 1);
            QTest::keyClick(m, Qt::Key_Return);
        });
        QVERIFY(PickListValue("TEXT_FIELD1", &text, &flag, QStringLiteral("地址")));
        QCOMPARE(text, QStringLiteral("O'Brien街"));

        // Empty text lists everything; 关闭 leaves the text.
        text.clear();
        flag.clear();
        int count = 0;
        ComponentTest::onNextModal([&](QWidget* m) {
            count = qobject_cast<TSelectForm*>(m)->Query()->recordCount();
            QTest::keyClick(m, Qt::Key_F12);
        });
        QVERIFY(!PickListValue("TEXT_FIELD1", &text, &flag, QStringLiteral("地址")));
        QCOMPARE(count, 4);
        QVERIFY(text.isEmpty());
        QVERIFY(flag.isEmpty());

        text = QStringLiteral("广州");
        QVERIFY(!PickListValue("TEXT_FIELD1", &text, &flag, QStringLiteral("地址")));
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("不能找到符合查找条件的地址")}));
        QCOMPARE(text, QStringLiteral("广州"));
    }

    void listStatement()
    {
        TSelectEditForm form;
        form.SetupList("LEND_NAME", QStringLiteral("借阅人员"), QStringLiteral(" QN_LEND_NAME_TABLE "));
        QVERIFY(
            form.listStatement().startsWith(QStringLiteral("SELECT *  FROM  QN_LEND_NAME_TABLE  ORDER BY LEND_NAME")));
        QCOMPARE(form.windowTitle(), QStringLiteral("借阅人员数据选择编辑窗口"));
        QVERIFY(form.Query()->OpenQuery());
    }

    void editor()
    {
        RecordingSink sink;
        values("QN_LEND_NAME_TABLE", "LEND_NAME", {"张三", "李四"});
        TSelectEditForm form;
        form.SetupList("LEND_NAME", QStringLiteral("借阅人员"), QStringLiteral(" QN_LEND_NAME_TABLE "));
        QVERIFY(form.Query()->OpenQuery());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Label1()->text(), QStringLiteral("按回车键进行查找"));
        QVERIFY(form.QnEdit1()->isVisible());
        QVERIFY(form.button("button_Ok")->isEnabled());
        QVERIFY(!form.button("button_save")->isEnabled());

        // Search.
        form.QnEdit1()->setText(QStringLiteral("张"));
        QTest::keyClick(form.QnEdit1(), Qt::Key_Return);
        QCOMPARE(form.Query()->recordCount(), 1);
        QCOMPARE(form.QnEdit1()->text(), QStringLiteral("张三"));
        form.button("button_All")->click();
        QCOMPARE(form.Query()->recordCount(), 2);

        // Add: the value line takes the typing; F3 does nothing meanwhile.
        QTest::keyClick(form.DBGrid(), Qt::Key_F5);
        QVERIFY(form.Query()->isEditing());
        QCOMPARE(form.Label1()->text(), QStringLiteral("借阅人员"));
        QVERIFY(form.QnDBEdit1()->isVisible());
        QVERIFY(!form.button("button_Ok")->isEnabled());
        ComponentTest::commitText(form.QnDBEdit1(), QStringLiteral("王五"));
        form.QnDBEdit1()->setText(QStringLiteral("王五"));
        QTest::keyClick(form.QnDBEdit1(), Qt::Key_F3);
        QVERIFY(form.isVisible());
        QVERIFY(form.Query()->isEditing());
        // 关闭 is off while adding, and closing otherwise is refused.
        QVERIFY(!form.button("button_close")->isEnabled());
        QTest::keyClick(form.QnDBEdit1(), Qt::Key_F12);
        QVERIFY(form.isVisible());
        QVERIFY(sink.texts().isEmpty());
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QVERIFY(!form.close());
        QCOMPARE(sink.texts(), QStringList(2, QStringLiteral("必须保存或取消新增、修改的数据")));
        ComponentTest::shoot(&form, QStringLiteral("selecteditform"));
        QTest::keyClick(form.QnDBEdit1(), Qt::Key_F8);
        QVERIFY(!form.Query()->isEditing());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_LEND_NAME_TABLE WHERE LEND_NAME = '王五'"),
                 QStringLiteral("1"));

        // A value already in the list is refused.
        sink.clear();
        form.button("button_add")->click();
        form.QnDBEdit1()->setText(QStringLiteral("张三"));
        form.button("button_save")->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("借阅人员重复")}));
        QVERIFY(form.Query()->isEditing());
        form.button("button_cancel")->click();
        QVERIFY(!form.Query()->isEditing());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM QN_LEND_NAME_TABLE"), QStringLiteral("3"));

        // Edit the current value.
        form.Query()->setCurrentRow(0);
        const QString before = form.Query()->text("LEND_NAME");
        form.button("button_edit")->click();
        form.QnDBEdit1()->setText(before + QStringLiteral("丙"));
        form.button("button_save")->click();
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_LEND_NAME_TABLE WHERE LEND_NAME = %1")
                                    .arg(Sql::quote(before + QStringLiteral("丙")))),
                 QStringLiteral("1"));
        QCOMPARE(
            TestEnv::value(
                QStringLiteral("SELECT COUNT(*) FROM QN_LEND_NAME_TABLE WHERE LEND_NAME = %1").arg(Sql::quote(before))),
            QStringLiteral("0"));

        // Choose.
        form.Query()->setCurrentRow(1);
        const QString chosen = form.Query()->text("LEND_NAME");
        QTest::keyClick(form.DBGrid(), Qt::Key_F3);
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.chosenValue(), chosen);
    }

    // Every value list of the installation works in the editor: a value typed, saved, found and chosen.
    void everyList_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        for (const auto& [table, column] : Schema::valueListTables())
            QTest::newRow(qPrintable(column)) << table << column;
        QCOMPARE(Schema::valueListTables().size(), 27);
    }
    void everyList()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        RecordingSink sink;
        values(table, column, {QStringLiteral("甲")});
        const QString value = QStringLiteral("乙'丙");
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TSelectEditForm*>(m);
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("字段数据选择编辑窗口"));
            QTest::keyClick(form->DBGrid(), Qt::Key_F5);
            form->QnDBEdit1()->setText(value);
            QTest::keyClick(form->QnDBEdit1(), Qt::Key_F8);
            QVERIFY(!form->Query()->isEditing());
            form->QnEdit1()->setText(QStringLiteral("'"));
            QTest::keyClick(form->QnEdit1(), Qt::Key_Return);
            QCOMPARE(form->Query()->recordCount(), 1);
            QTest::keyClick(form->DBGrid(), Qt::Key_F3);
        });
        QString chosen;
        QVERIFY(EditValueList(column, QStringLiteral("字段"), &chosen));
        QCOMPARE(chosen, value);
        QVERIFY2(sink.texts().isEmpty(), qPrintable(sink.texts().join('|')));
        QCOMPARE(TestEnv::value(
                     QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = %3").arg(table, column, Sql::quote(value))),
                 QStringLiteral("1"));
    }

    void emptyList()
    {
        RecordingSink sink;
        values("QN_DETAIL_TEXT_FIELD3_TABLE", "DETAIL_TEXT_FIELD3", {});
        TSelectEditForm form;
        form.SetupList("DETAIL_TEXT_FIELD3", QStringLiteral("存放地点"),
                       QStringLiteral("QN_DETAIL_TEXT_FIELD3_TABLE "));
        QVERIFY(form.Query()->OpenQuery());
        form.show();
        form.button("button_Ok")->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须选择一个记录")}));
        QVERIFY(form.isVisible());
        // Editing or deleting an empty list does nothing.
        form.button("button_edit")->click();
        form.button("button_delete")->click();
        QVERIFY(!form.Query()->isEditing());
    }

    void deleting()
    {
        RecordingSink sink;
        values("QN_ARCHIVE_NAME_TABLE", "ARCHIVE_NAME", {"合同", "会议"});
        QString value;
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TSelectEditForm*>(m);
            QVERIFY(form);
            form->Query()->setCurrentRow(0);
            const QString first = form->Query()->text("ARCHIVE_NAME");
            sink.queueAnswer(true);
            QTest::keyClick(form->DBGrid(), Qt::Key_F7);
            QCOMPARE(form->Query()->recordCount(), 1);
            QVERIFY(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_NAME_TABLE WHERE ARCHIVE_NAME = %1")
                                       .arg(Sql::quote(first))) == QStringLiteral("0"));
            form->button("button_Ok")->click();
        });
        QVERIFY(EditValueList("ARCHIVE_NAME", QStringLiteral("档案名称"), &value));
        QCOMPARE(TestEnv::value("SELECT ARCHIVE_NAME FROM QN_ARCHIVE_NAME_TABLE"), value);
    }
};

QTEST_MAIN(TestValueLists)
#include "tst_valuelists.moc"
