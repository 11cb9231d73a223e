#include "TestSupport.h"

#include "component/QnTreeView.h"

#include "common/MessageSink.h"
#include "db/Sql.h"

#include <QTest>

// The lazily loaded tree: placeholders stand for unread children, expanding reads them, deleting refuses a
// node with children.
class TestQnTreeView : public QObject
{
    Q_OBJECT

    static void type(const QString& key, const QString& parent, const QString& name, int order)
    {
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, PRIOR_ID, ARCHIVE_TYPE_NAME, "
                                     "ORDER_ID) VALUES (%1, %2, %3, %4)")
                          .arg(Sql::quote(key), Sql::quote(parent), Sql::quote(name))
                          .arg(order));
    }
    static void configure(TQnTreeView& tree)
    {
        tree.setRootKey(QStringLiteral("G001"));
        tree.setRootCaption(QStringLiteral("档案类别"));
        tree.SetQuery(
            0,
            QStringLiteral(
                "SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME,ORDER_ID FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = "),
            0, QString(), QStringLiteral("C"), QStringLiteral(" ORDER BY ORDER_ID"));
        tree.SetQuery(1, QStringLiteral("SELECT Count(ARCHIVE_TYPE_ID) FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = "),
                      0, QString(), QStringLiteral("C"), QString());
    }

private slots:
    void buildNeedsRoot()
    {
        TestEnv env;
        RecordingSink sink;
        TQnTreeView tree;
        QVERIFY(!tree.AddNode(nullptr, QStringLiteral("x"), QStringLiteral("1")));
        QCOMPARE(sink.last(), QStringLiteral("必须有头节点数据及未节点数据"));
        QVERIFY(!tree.BuildTree());
        QCOMPARE(sink.last(), QStringLiteral("没有节点ID或没有节点名称，不能建立节点"));
    }

    void lazyChildren()
    {
        TestEnv env;
        type("001", "G001", "文书档案", 1);
        type("002", "G001", "科技档案", 2);
        type("001001", "001", "永久", 2);
        type("001002", "001", "长期", 1);
        TQnTreeView tree;
        configure(tree);
        QVERIFY(tree.BuildTree());
        QTreeWidgetItem* root = tree.root();
        QVERIFY(TQnTreeView::holdsOnlyPlaceholder(root));
        QCOMPARE(root->child(0)->text(0), QStringLiteral("temp"));
        int expanding = 0;
        connect(&tree, &TQnTreeView::expanding, [&] { ++expanding; });
        root->setExpanded(true);
        QCOMPARE(expanding, 1);
        QCOMPARE(root->childCount(), 2);
        QTreeWidgetItem* docs = root->child(0);
        QCOMPARE(tree.NodeKey(docs), QStringLiteral("001"));
        QCOMPARE(docs->text(0), QStringLiteral("文书档案"));
        // A type with children gets a placeholder; one without does not.
        QVERIFY(TQnTreeView::holdsOnlyPlaceholder(docs));
        QCOMPARE(root->child(1)->childCount(), 0);
        docs->setExpanded(true);
        QCOMPARE(docs->childCount(), 2);
        QCOMPARE(docs->child(0)->text(0), QStringLiteral("长期")); // by ORDER_ID
        QCOMPARE(TQnTreeView::level(docs->child(0)), 2);
        // Expanding again reads nothing.
        docs->setExpanded(false);
        docs->setExpanded(true);
        QCOMPARE(expanding, 2);
    }

    // Expanding everything at once loads every level while the view lays itself out.
    void expandAllLoadsEveryLevel()
    {
        TestEnv env;
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        type("001001001", "001001", "2009", 1);
        type("002", "G001", "科技档案", 2);
        TQnTreeView tree;
        configure(tree);
        QVERIFY(tree.BuildTree());
        tree.show();
        tree.expandAll();
        QApplication::processEvents();
        QTreeWidgetItem* docs = tree.root()->child(0);
        QCOMPARE(docs->child(0)->child(0)->text(0), QStringLiteral("2009"));
        QVERIFY(docs->child(0)->isExpanded());

        // To one level below: the types open, their children stay closed and unread.
        TQnTreeView shallow;
        configure(shallow);
        QVERIFY(shallow.BuildTree());
        shallow.show();
        shallow.expandRecursively(shallow.indexFromItem(shallow.root()), 1);
        QApplication::processEvents();
        QTreeWidgetItem* first = shallow.root()->child(0);
        QVERIFY(first->isExpanded());
        QVERIFY(!first->child(0)->isExpanded());
        QVERIFY(TQnTreeView::holdsOnlyPlaceholder(first->child(0)));
    }

    void deleteAndRename()
    {
        TestEnv env;
        RecordingSink sink;
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        TQnTreeView tree;
        configure(tree);
        tree.BuildTree();
        tree.root()->setExpanded(true);
        QTreeWidgetItem* docs = tree.root()->child(0);
        // An unexpanded node's placeholder counts as a child.
        QVERIFY(!tree.DeleteNode(docs, false));
        QCOMPARE(sink.last(), QStringLiteral("请先删除该节点的子节点"));
        QCOMPARE(tree.root()->childCount(), 1);
        QTreeWidgetItem* added = tree.AddNode(tree.root(), QStringLiteral("新类别"), QStringLiteral("002"));
        QCOMPARE(tree.root()->childCount(), 2);
        tree.RenameByKey(QStringLiteral("002"), QStringLiteral("改名"));
        QCOMPARE(added->text(0), QStringLiteral("改名"));
        QCOMPARE(tree.NodeName(added), QStringLiteral("改名"));
        QVERIFY(tree.DeleteNode(docs, true));
        QCOMPARE(tree.root()->childCount(), 1);
    }

    void selectionReportsUnlessSetColor()
    {
        TestEnv env;
        TQnTreeView tree;
        configure(tree);
        tree.BuildTree();
        tree.AddNode(tree.root(), QStringLiteral("a"), QStringLiteral("001"));
        int changes = 0;
        connect(&tree, &TQnTreeView::nodeChanged, [&] { ++changes; });
        tree.setCurrentItem(tree.root());
        QCOMPARE(changes, 1);
        tree.setSetColor(true);
        tree.setCurrentItem(tree.root()->child(1));
        QCOMPARE(changes, 1);
        QVERIFY(!tree.SetColor());
        tree.setCurrentItem(tree.root());
        QCOMPARE(changes, 2);
    }

    void padAndSuffix()
    {
        TestEnv env;
        type("001", "G001", "12", 1);
        TQnTreeView tree;
        configure(tree);
        tree.SetQuery(
            0, QStringLiteral("SELECT ARCHIVE_TYPE_ID,ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = "),
            4, QStringLiteral("号"), QStringLiteral("C"), QString());
        tree.BuildTree();
        tree.root()->setExpanded(true);
        QCOMPARE(tree.root()->child(0)->text(0), QStringLiteral("0012号"));
        QCOMPARE(tree.NodeName(tree.root()->child(0)), QStringLiteral("12"));
    }
};

QTEST_MAIN(TestQnTreeView)
#include "tst_qntreeview.moc"
