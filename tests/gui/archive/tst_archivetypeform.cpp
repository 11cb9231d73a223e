#include "TestSupport.h"

#include "archive/ArchiveTypeForm.h"
#include "archive/SelectArchivesTypeForm.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "component/QnDBEdit.h"
#include "component/QnMain.h"
#include "component/QnTreeView.h"
#include "db/Sql.h"
#include "query/QnQuery.h"
#include "shell/MainForm.h"
#include "shell/Startup.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

// The archive-type window driven as a user drives it: keys and order numbers of new types, the five-level
// limit, every refusal, renaming, and the picker.
class TestArchiveTypeForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<RecordingSink> m_sink;

    static void type(const QString& key, const QString& parent, const QString& name, int order)
    {
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, PRIOR_ID, ARCHIVE_TYPE_NAME, "
                                     "ORDER_ID) VALUES (%1, %2, %3, %4)")
                          .arg(Sql::quote(key), Sql::quote(parent), Sql::quote(name))
                          .arg(order));
    }
    static void grant(const QString& add, const QString& browse = QStringLiteral("是"))
    {
        TestEnv::exec(
            QStringLiteral("INSERT INTO SYS_RIGHT_TABLE (USE_ID, COMPOSE_ID, PROGRAM_ID, ADD_RIGHT, EDIT_RIGHT, "
                           "DELETE_RIGHT, BROWSE_RIGHT, PRINT_RIGHT, VERIFY_RIGHT, CURRENCY_RIGHT) VALUES "
                           "('001', 1, 1, %1, %1, %1, %2, '是', '否', '否')")
                .arg(Sql::quote(add), Sql::quote(browse)));
    }
    static QString stored(const QString& sql) { return TestEnv::value(sql); }
    static int types() { return stored("SELECT COUNT(*) FROM QN_ARCHIVE_TYPE_TABLE").toInt(); }
    static void commit(QWidget* w, const QString& text)
    {
        w->setFocus();
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(w, &e);
    }
    static QTreeWidgetItem* node(TArchiveTypeForm& form, const QString& key)
    {
        const auto nodes = form.QnTreeView()->nodesWithKey(key);
        return nodes.isEmpty() ? nullptr : nodes.first();
    }
    static void select(TArchiveTypeForm& form, const QString& key)
    {
        QTreeWidgetItem* n = node(form, key);
        QVERIFY2(n, qPrintable(key));
        form.QnTreeView()->setCurrentItem(n);
    }
    // Adds a child of the selected node with this name, as the user does: F5, type the name, F8.
    static void addChild(TArchiveTypeForm& form, const QString& name)
    {
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(form.Query()->state(), TQnQuery::Insert);
        commit(form.EditName(), name);
        QTest::keyClick(&form, Qt::Key_F8);
    }
    // A double click as the window system delivers it: press, release, then the double click.
    static void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item)
    {
        const QPoint at = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
    static void grab(QWidget* w, const QString& name)
    {
        const QString dir = qEnvironmentVariable("VUZAZO_GRAB_DIR");
        if (!dir.isEmpty()) {
            QApplication::processEvents();
            w->grab().save(QDir(dir).filePath(name + ".png"));
        }
    }

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(9, 30)));
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        m_sink = std::make_unique<RecordingSink>();
        grant(QStringLiteral("是"));
    }
    void cleanup()
    {
        m_sink.reset();
        m_env.reset();
        Clock::clearFixed();
    }

    void keysAndOrderNumbers()
    {
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(form.currentNode() == form.QnTreeView()->root());
        QVERIFY(form.EditName()->text().isEmpty()); // the root has no row
        addChild(form, QStringLiteral("文书档案"));
        addChild(form, QStringLiteral("科技档案"));
        QCOMPARE(stored("SELECT group_concat(ARCHIVE_TYPE_ID || ':' || ORDER_ID || ':' || PRIOR_ID, ' ') FROM "
                        "(SELECT * FROM QN_ARCHIVE_TYPE_TABLE ORDER BY ARCHIVE_TYPE_ID)"),
                 QStringLiteral("001:1:G001 002:2:G001"));
        QCOMPARE(stored("SELECT CREATE_NAME || CREATE_DATE FROM QN_ARCHIVE_TYPE_TABLE WHERE ARCHIVE_TYPE_ID='001'"),
                 QStringLiteral("管理员2009-03-25"));
        // The new types are in the tree under the root.
        QVERIFY(form.QnTreeView()->root()->isExpanded());
        QCOMPARE(form.QnTreeView()->root()->childCount(), 2);
        QCOMPARE(form.QnTreeView()->root()->child(1)->text(0), QStringLiteral("科技档案"));
        select(form, QStringLiteral("002"));
        QCOMPARE(form.EditName()->text(), QStringLiteral("科技档案"));
        addChild(form, QStringLiteral("图纸"));
        QCOMPARE(stored("SELECT ORDER_ID || PRIOR_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE ARCHIVE_TYPE_ID='002001'"),
                 QStringLiteral("1002"));
        QVERIFY(node(form, QStringLiteral("002001")));
        grab(&form, "archive-type");
        QVERIFY2(m_sink->texts().isEmpty(), qPrintable(m_sink->texts().join('|')));
    }

    void gapsAreNeverFilled()
    {
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        type("001003", "001", "长期", 3);
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.QnTreeView()->root()->setExpanded(true);
        select(form, QStringLiteral("001"));
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(form.Query()->text("ARCHIVE_TYPE_ID"), QStringLiteral("001004"));
        QCOMPARE(form.EditOrder()->text(), QStringLiteral("4"));
        QTest::keyClick(&form, Qt::Key_F9);
        // After the highest sibling goes, the next key follows the new highest.
        node(form, "001")->setExpanded(true);
        select(form, QStringLiteral("001003"));
        m_sink->queueAnswer(true);
        QTest::keyClick(&form, Qt::Key_F7);
        QCOMPARE(types(), 2);
        QVERIFY(!node(form, QStringLiteral("001003")));
        select(form, QStringLiteral("001"));
        addChild(form, QStringLiteral("短期"));
        QCOMPARE(stored("SELECT ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_TYPE_TABLE WHERE ARCHIVE_TYPE_ID='001002'"),
                 QStringLiteral("短期"));
    }

    void fiveLevels()
    {
        type("001", "G001", "一级", 1);
        type("001001", "001", "二级", 1);
        type("001001001", "001001", "三级", 1);
        type("001001001001", "001001001", "四级", 1);
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.QnTreeView()->root()->setExpanded(true);
        for (const char* key : {"001", "001001", "001001001"}) {
            QVERIFY(TQnTreeView::holdsOnlyPlaceholder(node(form, key)));
            node(form, key)->setExpanded(true);
        }
        select(form, QStringLiteral("001001001001"));
        addChild(form, QStringLiteral("五级"));
        const QString fifth = QStringLiteral("001001001001001");
        QCOMPARE(stored("SELECT PRIOR_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE ARCHIVE_TYPE_ID='" + fifth + "'"),
                 QStringLiteral("001001001001"));
        // A fifth-level type shows no expansion mark and takes no children.
        type("0010010010019", fifth, "在表中", 1); // a child in the table is never looked for
        form.QnTreeView()->root()->setExpanded(false);
        QTreeWidgetItem* four = node(form, QStringLiteral("001001001001"));
        QVERIFY(four);
        QTreeWidgetItem* five = node(form, fifth);
        QVERIFY(five);
        QCOMPARE(five->childCount(), 0);
        QCOMPARE(TQnTreeView::level(five), 5);
        form.QnTreeView()->setCurrentItem(five);
        const int before = types();
        m_sink->clear();
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(m_sink->last(), QStringLiteral("挡案类别只能有5级"));
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
        QCOMPARE(types(), before);
        // Reading the level-4 children afresh gives no placeholder to the fifth level either.
        TArchiveTypeForm again;
        again.setAttribute(Qt::WA_DeleteOnClose, false);
        again.QnTreeView()->root()->setExpanded(true);
        for (const char* key : {"001", "001001", "001001001", "001001001001"})
            node(again, key)->setExpanded(true);
        QCOMPARE(node(again, fifth)->childCount(), 0);
    }

    void refusals()
    {
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        type("002", "G001", "会计档案", 2);
        TestEnv::exec("INSERT INTO QN_ARCHIVE_MASTER_TABLE (ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID, ARCHIVE_ID) VALUES "
                      "('A090325000001', '002', '2009000001')");
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        struct Case
        {
            QString key; // empty: no node selected
            Qt::Key fkey;
            QString message;
        };
        const QList<Case> cases = {
            {QString(), Qt::Key_F5, QStringLiteral("必须选择一个节点")},
            {QString(), Qt::Key_F6, QStringLiteral("必须选择一个节点")},
            {QString(), Qt::Key_F7, QStringLiteral("必须选择一个节点")},
            {QStringLiteral("G001"), Qt::Key_F7, QStringLiteral("根节点不能删除")},
            // 001 is not expanded: its placeholder stands for the child in the table.
            {QStringLiteral("001"), Qt::Key_F7, QStringLiteral("请先删除该挡案类别的下级档案类别")},
            {QStringLiteral("002"), Qt::Key_F7,
             QStringLiteral("档案数据库中有对该档案类别的档案记录，该档案类别不能删除")},
        };
        form.QnTreeView()->root()->setExpanded(true);
        for (const Case& c : cases) {
            if (c.key.isEmpty())
                form.QnTreeView()->setCurrentItem(nullptr);
            else
                select(form, c.key);
            m_sink->clear();
            QTest::keyClick(&form, c.fkey);
            QVERIFY2(m_sink->texts() == QStringList{c.message},
                     qPrintable(c.key + QLatin1Char(' ') + m_sink->texts().join('|')));
            QCOMPARE(form.Query()->state(), form.Query()->isOpen() ? TQnQuery::Browse : TQnQuery::Closed);
            QCOMPARE(types(), 3);
        }
        // Editing the root does nothing.
        select(form, QStringLiteral("G001"));
        m_sink->clear();
        QTest::keyClick(&form, Qt::Key_F6);
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
        QVERIFY(m_sink->texts().isEmpty());
    }

    void duplicateOrderNumber()
    {
        type("001", "G001", "文书档案", 1);
        type("002", "G001", "科技档案", 2);
        type("001001", "001", "永久", 1);
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.QnTreeView()->root()->setExpanded(true);
        select(form, QStringLiteral("002"));
        QTest::keyClick(&form, Qt::Key_F6);
        form.EditOrder()->setFocus();
        form.EditOrder()->selectAll();
        QTest::keyClicks(form.EditOrder(), "1");
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(m_sink->last(), QStringLiteral("序号重复"));
        QCOMPARE(form.Query()->state(), TQnQuery::Edit);
        QVERIFY(form.EditOrder()->hasFocus());
        QTest::keyClick(&form, Qt::Key_F9);
        // The same order number under another parent is allowed.
        node(form, "002")->setExpanded(true);
        select(form, QStringLiteral("002"));
        m_sink->clear();
        addChild(form, QStringLiteral("图纸"));
        QCOMPARE(stored("SELECT ORDER_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE ARCHIVE_TYPE_ID='002001'"),
                 QStringLiteral("1"));
        QVERIFY(m_sink->texts().isEmpty());
    }

    void renameFollowsTree()
    {
        type("001", "G001", "文书档案", 1);
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.QnTreeView()->root()->setExpanded(true);
        select(form, QStringLiteral("001"));
        QTest::keyClick(&form, Qt::Key_F6);
        QVERIFY(!form.QnTreeView()->parentWidget()->isEnabled()); // the tree rests while editing
        form.EditName()->selectAll();
        commit(form.EditName(), QStringLiteral("文书类"));
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(node(form, "001")->text(0), QStringLiteral("文书类"));
        QCOMPARE(stored("SELECT EDIT_NAME || EDIT_DATE FROM QN_ARCHIVE_TYPE_TABLE"),
                 QStringLiteral("管理员2009-03-25"));
        QVERIFY(form.QnTreeView()->parentWidget()->isEnabled());
        // A failed save leaves the tree as it was.
        QTest::keyClick(&form, Qt::Key_F6);
        form.EditName()->selectAll();
        QTest::keyClick(form.EditName(), Qt::Key_Delete);
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(m_sink->last(), QStringLiteral("档案类别必须有一个值"));
        QCOMPARE(node(form, "001")->text(0), QStringLiteral("文书类"));
        QTest::keyClick(&form, Qt::Key_F9);
    }

    void withoutAddRight()
    {
        TestEnv::exec("DELETE FROM SYS_RIGHT_TABLE");
        grant(QStringLiteral("否"));
        TArchiveTypeForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!form.button_add()->isEnabled());
        QVERIFY(!form.button_edit()->isEnabled());
        QVERIFY(!form.button_delete()->isEnabled());
        QVERIFY(form.button_print()->isEnabled()); // printing asks for the print right only
        QVERIFY(form.button_find()->isHidden());
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
    }

    void picker()
    {
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        TSelectArchivesTypeForm picker;
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        picker.QnTreeView()->setCurrentItem(picker.QnTreeView()->root());
        picker.Button_ok()->click();
        QCOMPARE(m_sink->last(), QStringLiteral("必须选择一个档案类别节点"));
        QVERIFY(picker.isVisible());
        QVERIFY(!picker.Accepted());
        // A double click on the root is refused the same way.
        m_sink->clear();
        TQnTreeView* tree = picker.QnTreeView();
        doubleClick(tree, tree->root());
        QCOMPARE(m_sink->texts(), QStringList{QStringLiteral("必须选择一个档案类别节点")});
        QVERIFY(picker.isVisible());
        tree->root()->setExpanded(true);
        QTreeWidgetItem* docs = tree->root()->child(0);
        docs->setExpanded(true);
        tree->setCurrentItem(docs->child(0));
        grab(&picker, "select-archive-type");
        QTest::keyClick(&picker, Qt::Key_F3);
        QVERIFY(picker.Accepted());
        QCOMPARE(picker.SelectedKey(), QStringLiteral("001001"));
        QCOMPARE(picker.SelectedName(), QStringLiteral("永久"));
        QVERIFY(!picker.isVisible());
        // Shown again it keeps the last selection; 关闭 accepts nothing.
        picker.show();
        QCOMPARE(picker.QnTreeView()->currentItem(), docs->child(0));
        picker.Button_Close()->click();
        QVERIFY(!picker.Accepted());
        // A double click on a type chooses it.
        picker.show();
        doubleClick(tree, docs);
        QVERIFY(picker.Accepted());
        QCOMPARE(picker.SelectedKey(), QStringLiteral("001"));
        QVERIFY(!picker.isVisible());
    }

    void openedFromTheMainMenu()
    {
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.show();
        QAction* entry = main.entry(QStringLiteral("action_ArchiveType"));
        QVERIFY(entry->isEnabled());
        entry->trigger();
        QWidget* form = main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm"));
        QVERIFY(qobject_cast<TArchiveTypeForm*>(form));
        QVERIFY(form->isVisible());
        entry->trigger(); // brought forward, not opened twice
        QCOMPARE(main.QnMain()->openWindowCount(), 1);
        form->close();
        QTRY_COMPARE(main.QnMain()->openWindowCount(), 0);
        // Without the browse right it does not open.
        TestEnv::exec("UPDATE SYS_RIGHT_TABLE SET BROWSE_RIGHT = '否'");
        entry->trigger();
        QCOMPARE(main.QnMain()->openWindowCount(), 0);
        QCOMPARE(m_sink->last(), QStringLiteral("您没有在程序\"档案类别资料录入编辑\"中的权限"));
    }
};

QTEST_MAIN(TestArchiveTypeForm)
#include "tst_archivetypeform.moc"
