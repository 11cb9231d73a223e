#include "TestSupport.h"

#include "component/QnDataSource.h"
#include "component/QnNDBGrid.h"

#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/FunLib.h"
#include "db/Sql.h"

#include <QHeaderView>
#include <QSqlQuery>
#include <QTest>

// The list grid over TQnQuery: captions, widths and footers from the field set, and each user's column
// layout kept in the layout table with its rules.
class TestQnNDBGrid : public QObject
{
    Q_OBJECT

    static constexpr auto Table = "SYS_ARCHIVE_LEND_TABLE";

    // A window with one query on the lending table and its grid, as a list screen has.
    struct Screen
    {
        QWidget window;
        TQnQuery* query;
        TQnDataSource* ds;
        TQnNDBGrid* grid;

        explicit Screen(const QString& user, bool saveOrder = false, const TFieldsDataArray& fields = defaults())
        {
            query = new TQnQuery(&window);
            query->setObjectName(QStringLiteral("Query"));
            query->setTableName(QStringLiteral("QN_ARCHIVE_LEND_TABLE"));
            query->setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_LEND_TABLE ORDER BY LEND_ID"));
            query->SetFieldsData(fields);
            ds = new TQnDataSource(&window);
            ds->setDataSet(query);
            grid = new TQnNDBGrid(&window);
            grid->setObjectName(QStringLiteral("DBGrid"));
            grid->setLayoutFormName(QStringLiteral("SelectArchivesLendForm"));
            grid->setLayoutUserId(user);
            grid->setLayoutDatabase(QString::fromLatin1(Database::ConnectionName));
            grid->setLayoutTable(QString::fromLatin1(Table));
            grid->setSaveOrder(saveOrder);
            grid->setDataSource(ds);
            grid->setGeometry(0, 0, 700, 300);
            window.resize(700, 300);
            window.show();
            query->OpenQuery();
        }
        ~Screen() { grid->SaveLayout(); }
        int width(const QString& field) const { return grid->columnWidth(grid->columnOf(field)); }
        bool hidden(const QString& field) const { return grid->isColumnHidden(grid->columnOf(field)); }
        int visual(const QString& field) const { return grid->horizontalHeader()->visualIndex(grid->columnOf(field)); }
        // The user drags a column border (the grid has the focus, as it does when its titles are pressed).
        void drag(const QString& field, int width)
        {
            grid->setFocus();
            QTRY_VERIFY(grid->hasFocus());
            grid->horizontalHeader()->resizeSection(grid->columnOf(field), width);
        }
    };

    static TFieldsData field(const QString& name, const QString& caption, int width = 0, const QString& kind = "C",
                             const QString& footer = {})
    {
        TFieldsData f;
        f.fieldName = name;
        f.caption = caption;
        f.displayWidth = width;
        f.valueKind = kind;
        f.footerKind = footer;
        return f;
    }
    static TFieldsDataArray defaults()
    {
        return {field("LEND_ID", "借阅编号", 0, "C", "@Count"), field("LEND_NAME", "借阅人员", 12),
                field("LEND_DATE", "借阅日期", 0, "D"), field("NOTE", "备注", 20, "C", "合计")};
    }
    static int rows(const QString& where = QStringLiteral("1 = 1"))
    {
        return TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM ") + Table + QStringLiteral(" WHERE ") + where)
            .toInt();
    }
    static QString stored(const QString& user, const QString& field, const QString& column = "FIELD_WIDTH")
    {
        return TestEnv::value(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ") + Table +
                              QStringLiteral(" WHERE USE_ID = ") + Sql::quote(user) +
                              QStringLiteral(" AND FIELD_NAME = ") + Sql::quote(field));
    }
    static void fill()
    {
        for (int i = 1; i <= 5; ++i)
            TestEnv::exec(
                QStringLiteral("INSERT INTO QN_ARCHIVE_LEND_TABLE (LEND_ID, ARCHIVE_RECORD_ID, LEND_NAME, "
                               "LEND_DATE, NOTE) VALUES (%1, 'A1', %2, '2009-03-0%3', %4)")
                    .arg(Sql::quote(QStringLiteral("L%1").arg(i)), Sql::quote(QStringLiteral("张三%1").arg(i)))
                    .arg(i)
                    .arg(Sql::quote(QStringLiteral("备注%1").arg(i))));
    }
    static void insertRow(const QString& user, const QString& field, int width, int order)
    {
        TestEnv::exec(QStringLiteral("INSERT INTO ") + Table +
                      QStringLiteral(" (USE_ID, FORM_NAME, DBGRID_NAME, FIELD_NAME, FIELD_WIDTH, FIELD_ORDER) VALUES "
                                     "(%1, 'SelectArchivesLendForm', 'DBGrid', %2, %3, %4)")
                          .arg(Sql::quote(user), Sql::quote(field))
                          .arg(width)
                          .arg(order));
    }

private slots:
    void captionsWidthsAndFooters()
    {
        TestEnv env;
        fill();
        RecordingSink sink;
        Screen s(QStringLiteral("001"));
        QCOMPARE(s.query->headerData(s.grid->columnOf("LEND_NAME"), Qt::Horizontal).toString(),
                 QStringLiteral("借阅人员"));
        QCOMPARE(s.width("LEND_NAME"), s.grid->widthForCharacters(12));
        // Columns without a descriptor are not shown.
        QVERIFY(s.hidden("ARCHIVE_RECORD_ID"));
        QVERIFY(!s.hidden("NOTE"));
        QCOMPARE(s.grid->footer()->text(s.grid->columnOf("LEND_ID")), QStringLiteral("5"));
        QCOMPARE(s.grid->footer()->text(s.grid->columnOf("NOTE")), QStringLiteral("合计"));
        QVERIFY(s.grid->footer()->isVisible());
        if (qEnvironmentVariableIsSet("VUZAZO_GRAB_DIR"))
            s.window.grab().save(qEnvironmentVariable("VUZAZO_GRAB_DIR") + "/grid.png");
        QVERIFY(sink.texts().isEmpty());
    }

    void savedForOneUserOnly_data()
    {
        QTest::addColumn<bool>("saveOrder");
        QTest::newRow("widths") << false;
        QTest::newRow("widths and order") << true;
    }
    void savedForOneUserOnly()
    {
        QFETCH(bool, saveOrder);
        TestEnv env;
        fill();
        RecordingSink sink;
        int defaultWidth = 0;
        {
            Screen s(QStringLiteral("001"), saveOrder);
            defaultWidth = s.width("LEND_NAME");
            QCOMPARE(rows(), 0);
            s.drag("LEND_NAME", 180);
        }
        // Every shown column of the grid is written, so the untouched ones stay shown next time.
        QCOMPARE(stored("001", "LEND_NAME"), QStringLiteral("180"));
        QCOMPARE(rows(), 4);
        QCOMPARE(rows("USE_ID <> '001'"), 0);
        QCOMPARE(stored("001", "LEND_ID", "FIELD_ORDER").isEmpty(), !saveOrder);
        {
            Screen s(QStringLiteral("001"), saveOrder);
            QCOMPARE(s.width("LEND_NAME"), 180);
            QVERIFY(!s.hidden("NOTE"));
            // Closing without a change writes nothing.
        }
        QCOMPARE(rows(), 4);
        {
            Screen other(QStringLiteral("002"), saveOrder);
            QCOMPARE(other.width("LEND_NAME"), defaultWidth);
        }
        QCOMPARE(rows("USE_ID = '002'"), 0);
    }

    void widthChangesOnlyWhileFocused()
    {
        TestEnv env;
        fill();
        {
            Screen s(QStringLiteral("001"));
            s.grid->clearFocus();
            s.grid->setSetColWidthChange(false);
            s.grid->horizontalHeader()->resizeSection(s.grid->columnOf("NOTE"), 300);
        }
        QCOMPARE(rows(), 0);
    }

    void narrowedColumnIsHidden()
    {
        TestEnv env;
        fill();
        RecordingSink sink;
        TFieldsDataArray fields = defaults();
        fields << field("RETURN_DATE", "归还日期", 0, "D");
        {
            Screen s(QStringLiteral("001"), false, fields);
            s.drag("LEND_NAME", 8);
            s.drag("LEND_ID", 6);
            s.drag("RETURN_DATE", 10);
        }
        QCOMPARE(stored("001", "LEND_NAME"), QStringLiteral("8"));
        {
            Screen s(QStringLiteral("001"), false, fields);
            QVERIFY(s.hidden("LEND_NAME"));
            // A column with a count or sum footer stays, so its total shows.
            QVERIFY(!s.hidden("LEND_ID"));
            QVERIFY(s.width("LEND_ID") > 0);
            // Width 10 keeps its descriptor (10 × 0.16 rounds to 2) but the grid does not show it.
            QVERIFY(s.hidden("RETURN_DATE"));
            QVERIFY(!s.hidden("NOTE"));
        }
        QCOMPARE(rows("FIELD_NAME = 'LEND_NAME'"), 0);
        QCOMPARE(rows("FIELD_NAME = 'LEND_ID'"), 1);
        QVERIFY(sink.texts().isEmpty());
    }

    void columnsWithoutRowsStayHidden()
    {
        TestEnv env;
        fill();
        insertRow("001", "LEND_ID", 90, 0);
        insertRow("001", "NOTE", 150, 1);
        Screen s(QStringLiteral("001"));
        QVERIFY(!s.hidden("LEND_ID"));
        QVERIFY(!s.hidden("NOTE"));
        QVERIFY(s.hidden("LEND_NAME"));
        QVERIFY(s.hidden("LEND_DATE"));
        QCOMPARE(s.width("NOTE"), 150);
    }

    void savedOrder()
    {
        TestEnv env;
        fill();
        insertRow("001", "LEND_ID", 80, 2);
        insertRow("001", "LEND_NAME", 80, 0);
        insertRow("001", "LEND_DATE", 80, 1);
        insertRow("001", "NOTE", 80, 3);
        {
            Screen s(QStringLiteral("001"), true);
            QVERIFY(s.visual("LEND_NAME") < s.visual("LEND_DATE"));
            QVERIFY(s.visual("LEND_DATE") < s.visual("LEND_ID"));
            QVERIFY(s.visual("LEND_ID") < s.visual("NOTE"));
            // The user moves NOTE to the front.
            s.grid->setFocus();
            QHeaderView* h = s.grid->horizontalHeader();
            h->moveSection(s.visual("NOTE"), h->visualIndex(s.grid->columnOf("LEND_NAME")));
        }
        {
            Screen s(QStringLiteral("001"), true);
            QVERIFY(s.visual("NOTE") < s.visual("LEND_NAME"));
            QVERIFY(s.visual("LEND_NAME") < s.visual("LEND_DATE"));
            QVERIFY(s.visual("LEND_DATE") < s.visual("LEND_ID"));
        }
    }

    void restoreDefaults()
    {
        TestEnv env;
        fill();
        insertRow("001", "LEND_ID", 90, 0);
        insertRow("001", "LEND_NAME", 200, 0);
        insertRow("002", "LEND_NAME", 220, 0);
        RecordingSink sink;
        {
            Screen s(QStringLiteral("001"));
            s.grid->setRightClickRestores(true);
            sink.queueAnswer(true);
            QTest::mouseClick(s.grid->viewport(), Qt::RightButton, {}, QPoint(20, 10));
            QCOMPARE(sink.texts(),
                     QStringList({QStringLiteral("是否恢复默认显示设置"), QStringLiteral("请关闭窗口后再重新打开")}));
            QCOMPARE(rows("USE_ID = '001'"), 0);
            // Changes after restoring are not written back.
            s.drag("LEND_NAME", 250);
        }
        QCOMPARE(rows("USE_ID = '001'"), 0);
        QCOMPARE(rows("USE_ID = '002'"), 1);
        {
            Screen s(QStringLiteral("001"));
            QVERIFY(!s.hidden("LEND_DATE"));
        }
        sink.clear();
        {
            // Answering no changes nothing.
            Screen s(QStringLiteral("002"));
            s.grid->RestoreDefaults();
            QCOMPARE(rows("USE_ID = '002'"), 1);
        }
    }

    void resetForAllUsers()
    {
        TestEnv env;
        insertRow("001", "LEND_NAME", 200, 0);
        insertRow("002", "LEND_NAME", 220, 0);
        insertRow("002", "NOTE", 220, 0);
        Screen s(QStringLiteral("001"));
        s.grid->ResetLayoutAllUsers();
        QCOMPARE(rows(), 0);
        QVERIFY(s.grid->layoutReset());
        QVERIFY(!s.grid->hasLists());
    }

    void deleteLayoutRow()
    {
        TestEnv env;
        insertRow("001", "LEND_NAME", 200, 0);
        insertRow("001", "NOTE", 200, 0);
        insertRow("00'1", "NOTE", 200, 0);
        Screen s(QStringLiteral("00'1"));
        QVERIFY(s.grid->DeleteLayoutRow(QStringLiteral("NOTE")));
        QCOMPARE(rows("FIELD_NAME = 'NOTE'"), 1);
        QCOMPARE(rows(), 2);
    }

    void currentRowFollowsQuery()
    {
        TestEnv env;
        fill();
        Screen s(QStringLiteral("001"));
        QCOMPARE(s.grid->currentIndex().row(), 0);
        s.query->setCurrentRow(3);
        QCOMPARE(s.grid->currentIndex().row(), 3);
        s.grid->setFocus();
        QTest::keyClick(s.grid, Qt::Key_Up);
        QCOMPARE(s.query->currentRow(), 2);
    }
};

QTEST_MAIN(TestQnNDBGrid)
#include "tst_qnndbgrid.moc"
