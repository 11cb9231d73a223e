#include "TestSupport.h"

#include "component/QnAppPopForm.h"
#include "component/QnBasePopEditShowForm.h"
#include "component/QnComboBox.h"
#include "component/QnDBComboEdit.h"
#include "component/QnDBEdit.h"
#include "component/QnDForm.h"
#include "component/QnDataSource.h"
#include "component/QnNDBGrid.h"
#include "component/QnPageControl.h"

#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/QnColor.h"
#include "db/Sql.h"
#include "query/QnQuery.h"

#include <QGridLayout>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

// A data-entry window of the kind every screen is: a TQnDForm on the lending table with a few fields and
// a grid.
class LendForm : public TQnDForm
{
public:
    explicit LendForm(const QString& compose = {}, const QString& program = {}) : TQnDForm(nullptr)
    {
        setObjectName(QStringLiteral("LendForm"));
        setWindowTitle(QStringLiteral("借阅测试窗口"));
        setComposeName(compose);
        setProgramName(program);
        auto* grid = new QGridLayout(Panel1());
        id = field<TQnDBEdit>("EditLendId", "借阅编号", "LEND_ID", grid, 0);
        name = field<TQnDBEdit>("EditLendName", "借阅人员", "LEND_NAME", grid, 1);
        date = field<TQnDBComboEdit>("EditLendDate", "借阅日期", "LEND_DATE", grid, 2);
        date->setEditType(etDate);
        note = field<TQnDBEdit>("EditNote", "备注", "NOTE", grid, 3);
        setQnTag(note, 2); // display only
        list = new TQnNDBGrid(Panel1());
        list->setObjectName(QStringLiteral("DBGrid1"));
        list->setDataSource(DS());
        grid->addWidget(list, 4, 0, 1, 2);

        Query()->setTableName(QStringLiteral("QN_ARCHIVE_LEND_TABLE"));
        Query()->setSql(QStringLiteral("SELECT * FROM QN_ARCHIVE_LEND_TABLE ORDER BY LEND_ID"));
        TFieldsDataArray fields;
        for (const auto& [n, c, k] : {std::tuple{"LEND_ID", "借阅编号", "C"},
                                      {"LEND_NAME", "借阅人员", "C"},
                                      {"LEND_DATE", "借阅日期", "D"},
                                      {"NOTE", "备注", "C"}}) {
            TFieldsData f;
            f.fieldName = QString::fromLatin1(n);
            f.caption = QString::fromUtf8(c);
            f.valueKind = QString::fromLatin1(k);
            f.required = f.fieldName == QLatin1String("LEND_ID");
            fields << f;
        }
        Query()->SetFieldsData(fields);
        TInsertData key;
        key.fieldName = QStringLiteral("ARCHIVE_RECORD_ID");
        key.value = QStringLiteral("A1");
        Query()->SetInsertData({key});
        Query()->setActiveControl(QStringLiteral("EditLendId"));
        Query()->OpenQuery();
    }
    template <typename Control>
    Control* field(const char* name, const char* caption, const char* column, QGridLayout* grid, int row)
    {
        auto* label = new QLabel(QString::fromUtf8(caption), Panel1());
        auto* c = new Control(Panel1());
        c->setObjectName(QString::fromLatin1(name));
        c->setDataSource(DS());
        c->setDataField(QString::fromLatin1(column));
        label->setBuddy(c);
        c->setAccessibleName(QString::fromUtf8(caption));
        grid->addWidget(label, row, 0);
        grid->addWidget(c, row, 1);
        return c;
    }
    TQnDBEdit* id;
    TQnDBEdit* name;
    TQnDBComboEdit* date;
    TQnDBEdit* note;
    TQnNDBGrid* list;
};

void commit(QWidget* w, const QString& text)
{
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(w, &e);
}

int lendRows()
{
    return TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_LEND_TABLE")).toInt();
}

void grant(const QString& user, const QString& add, const QString& print = QStringLiteral("否"))
{
    TestEnv::exec(
        QStringLiteral("INSERT INTO SYS_RIGHT_TABLE (USE_ID, COMPOSE_ID, PROGRAM_ID, ADD_RIGHT, EDIT_RIGHT, "
                       "DELETE_RIGHT, BROWSE_RIGHT, PRINT_RIGHT, VERIFY_RIGHT, CURRENCY_RIGHT) VALUES (%1, 1, 1, "
                       "%2, %2, %2, '是', %3, '否', '否')")
            .arg(Sql::quote(user), Sql::quote(add), Sql::quote(print)));
}

bool enabled(QAbstractButton* b)
{
    return b->isEnabled();
}

} // namespace

// The window bases and their state machine, driven as a user drives them: function keys, typing, the
// close button.
class TestQnForms : public QObject
{
    Q_OBJECT

private slots:
    void addSaveCancelDelete()
    {
        TestEnv env;
        RecordingSink sink;
        auto* form = new LendForm;
        QPointer<LendForm> alive = form;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->width(), 758);
        // Without ComposeName: add, edit and delete on; print and confirm off; save and cancel off.
        QVERIFY(enabled(form->button_add()) && enabled(form->button_edit()) && enabled(form->button_delete()));
        QVERIFY(!enabled(form->button_print()));
        QVERIFY(!enabled(form->button_save()) && !enabled(form->button_cancel()));
        QVERIFY(form->button_check()->isHidden());
        const QColor browse = form->DS()->BrowseColor();
        QCOMPARE(form->name->shownColor(), browse);
        QVERIFY(form->name->isReadOnly());

        QTest::keyClick(form, Qt::Key_F5);
        QCOMPARE(form->Query()->state(), TQnQuery::Insert);
        QVERIFY(form->Adding());
        for (QToolButton* b : {form->button_add(), form->button_edit(), form->button_delete(), form->button_find()})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QVERIFY(form->button_save()->isEnabled() && form->button_cancel()->isEnabled());
        QVERIFY(form->button_close()->isEnabled()); // not linked
        QVERIFY(!form->list->isEnabled());
        // The query's ActiveControl has the focus, in the focus colour; the others show the edit colour.
        QTRY_VERIFY(form->id->hasFocus());
        QCOMPARE(form->id->shownColor(), form->DS()->ColorOnFocus());
        QCOMPARE(form->name->shownColor(), form->DS()->EditColor());
        QVERIFY(form->note->isReadOnly()); // tag 2
        QVERIFY(form->date->ButtonEnabled());

        QTest::keyClicks(form->id, "L0001");
        QTest::keyClick(form->id, Qt::Key_Return); // Enter moves on
        QTRY_VERIFY(form->name->hasFocus());
        commit(form->name, QStringLiteral("张三"));
        QTest::keyClick(form->name, Qt::Key_Return);
        QTRY_VERIFY(form->date->hasFocus());
        QTest::keyClicks(form->date, "2009x-03-05");
        QTest::keyClick(form, Qt::Key_F8);
        QCOMPARE(form->Query()->state(), TQnQuery::Browse);
        QCOMPARE(lendRows(), 1);
        QCOMPARE(TestEnv::value("SELECT LEND_NAME || '/' || LEND_DATE FROM QN_ARCHIVE_LEND_TABLE"),
                 QStringLiteral("张三/2009-03-05"));
        QVERIFY(form->list->isEnabled());
        QVERIFY(form->button_add()->isEnabled() && !form->button_save()->isEnabled());
        QCOMPARE(form->name->shownColor(), browse);
        QVERIFY(!form->date->ButtonEnabled());

        // Cancel drops the new record.
        QTest::keyClick(form, Qt::Key_F5);
        QTest::keyClicks(form->id, "L0002");
        QTest::keyClick(form, Qt::Key_F9);
        QCOMPARE(form->Query()->state(), TQnQuery::Browse);
        QCOMPARE(form->Query()->recordCount(), 1);
        QCOMPARE(lendRows(), 1);

        // Edit and save.
        QTest::keyClick(form, Qt::Key_F6);
        QCOMPARE(form->Query()->state(), TQnQuery::Edit);
        form->name->setFocus();
        form->name->selectAll();
        commit(form->name, QStringLiteral("李四"));
        QTest::keyClick(form, Qt::Key_F8);
        QCOMPARE(TestEnv::value("SELECT LEND_NAME FROM QN_ARCHIVE_LEND_TABLE"), QStringLiteral("李四"));

        // A required field refuses the save and keeps the record in edit.
        QTest::keyClick(form, Qt::Key_F5);
        QTest::keyClick(form, Qt::Key_F8);
        QCOMPARE(sink.last(), QStringLiteral("借阅编号必须有一个值"));
        QCOMPARE(form->Query()->state(), TQnQuery::Insert);
        // The window does not close while a record is being added.
        sink.clear();
        form->close();
        QVERIFY(alive && form->isVisible());
        QCOMPARE(sink.last(), QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
        QTest::keyClick(form, Qt::Key_F9);

        // Delete asks; "no" keeps the row.
        sink.queueAnswer(false);
        QTest::keyClick(form, Qt::Key_F7);
        QCOMPARE(lendRows(), 1);
        sink.queueAnswer(true);
        QTest::keyClick(form, Qt::Key_F7);
        QCOMPARE(lendRows(), 0);
        QCOMPARE(sink.texts().count(QStringLiteral("请确认是否删除")), 2);

        QTest::keyClick(form, Qt::Key_F12);
        QTRY_VERIFY(!alive);
    }

    void navigationMessages()
    {
        TestEnv env;
        RecordingSink sink;
        LendForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        // Empty: edit and delete do nothing, the navigation says so.
        QTest::keyClick(&form, Qt::Key_F6);
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
        for (QToolButton* b : {form.button_First(), form.button_Prior(), form.button_next(), form.button_Last()}) {
            sink.clear();
            b->click();
            QCOMPARE(sink.last(), QStringLiteral("没有数据记录"));
        }
        for (int i = 1; i <= 3; ++i)
            TestEnv::exec(
                QStringLiteral("INSERT INTO QN_ARCHIVE_LEND_TABLE (LEND_ID, ARCHIVE_RECORD_ID) VALUES ('L%1', 'A1')")
                    .arg(i));
        form.Query()->CloseQuery();
        form.Query()->OpenQuery();
        sink.clear();
        form.button_next()->click();
        QVERIFY(sink.texts().isEmpty());
        form.button_next()->click();
        QCOMPARE(sink.last(), QStringLiteral("已到最后一个纪录"));
        form.button_First()->click();
        form.button_next()->click();
        sink.clear();
        form.button_Prior()->click();
        QCOMPARE(sink.last(), QStringLiteral("已到第一个纪录"));
        // F6 does nothing when the edit button is hidden.
        TQnAppForm::setButtonShown(form.button_edit(), false);
        QTest::keyClick(&form, Qt::Key_F6);
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
    }

    void rights_data()
    {
        QTest::addColumn<QString>("add");
        QTest::addColumn<QString>("print");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<bool>("printing");
        QTest::newRow("full rights") << "是"
                                     << "是" << true << true;
        QTest::newRow("browse only") << "否"
                                     << "否" << false << false;
        QTest::newRow("print only") << "否"
                                    << "是" << false << true;
    }
    void rights()
    {
        QFETCH(QString, add);
        QFETCH(QString, print);
        QFETCH(bool, editing);
        QFETCH(bool, printing);
        TestEnv env;
        RecordingSink sink;
        grant(AppContext::instance().UserId, add, print);
        TestEnv::exec("INSERT INTO QN_ARCHIVE_LEND_TABLE (LEND_ID, ARCHIVE_RECORD_ID) VALUES ('L1', 'A1')");
        LendForm form(QStringLiteral("档案管理"), QStringLiteral("档案类别资料录入编辑"));
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QCOMPARE(form.EditRight(), editing);
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(form.button_add()->isEnabled(), editing);
            QCOMPARE(form.button_edit()->isEnabled(), editing);
            QCOMPARE(form.button_delete()->isEnabled(), editing);
            QCOMPARE(form.button_print()->isEnabled(), printing);
            QVERIFY(form.button_find()->isEnabled());
            // Rights never enable: the same after the data set went through edit and back.
            form.Query()->EditRecord();
            QVERIFY(!form.button_add()->isEnabled());
            form.Query()->CancelRecord();
        }
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(form.Query()->state() == TQnQuery::Insert, editing);
        form.Query()->CancelRecord();
        QVERIFY(sink.texts().isEmpty());
    }

    void enterAndOnSelect()
    {
        TestEnv env;
        LendForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_F5);
        QTRY_VERIFY(form.id->hasFocus());
        int selects = 0;
        form.name->setOnSelect([&](bool& value) {
            ++selects;
            value = true; // consumed: the focus stays
        });
        QTest::keyClick(form.id, Qt::Key_Down);
        QTRY_VERIFY(form.name->hasFocus());
        QTest::keyClick(form.name, Qt::Key_Return);
        QCOMPARE(selects, 1);
        QVERIFY(form.name->hasFocus());
        QTest::keyClick(form.name, Qt::Key_Up);
        QTRY_VERIFY(form.id->hasFocus());
        form.Query()->CancelRecord();
    }

    void mainWindowLock()
    {
        TestEnv env;
        QMainWindow main;
        QMenu* archive = main.menuBar()->addMenu(QStringLiteral("档案管理"));
        QAction* types = archive->addAction(QStringLiteral("档案类别资料录入编辑"));
        QAction* archives = archive->addAction(QStringLiteral("档案资料录入编辑管理"));
        setQnTag(archives, 100);
        QMenu* system = main.menuBar()->addMenu(QStringLiteral("系统管理"));
        QAction* numbering = system->addAction(QStringLiteral("编号方式设置修改"));
        setQnTag(numbering, 300);
        QPointer<LendForm> first = new LendForm;
        QPointer<LendForm> second = new LendForm;
        for (LendForm* f : {first.data(), second.data()}) {
            f->setLockMenu(main.menuBar());
            f->show();
        }
        QCOMPARE(TQnBaseForm::lockCount(), 2);
        QVERIFY(!archives->isEnabled() && !numbering->isEnabled());
        QVERIFY(types->isEnabled());
        first->close();
        QTRY_VERIFY(!first);
        QVERIFY(!archives->isEnabled() && !numbering->isEnabled());
        second->close();
        QTRY_VERIFY(!second);
        QCOMPARE(TQnBaseForm::lockCount(), 0);
        QVERIFY(archives->isEnabled() && numbering->isEnabled());
    }

    void masterAndDetailTags()
    {
        TestEnv env;
        QWidget window;
        TQnQuery query(&window);
        query.setTableName(QStringLiteral("QN_ARCHIVE_LEND_TABLE"));
        query.OpenQuery();
        TQnDataSource ds(&window);
        ds.setDataSet(&query);
        auto* plain = new TQnEdit(&window);
        auto* tag2 = new TQnEdit(&window);
        setQnTag(tag2, 2);
        auto* tag502 = new TQnEdit(&window);
        setQnTag(tag502, 502);
        auto* keep = new TQnEdit(&window);
        setQnTag(keep, 100);
        auto* list = new TQnComboBox(&window);
        ds.setIS_DETAIL_CHANGE(true);
        ds.HookStateChange();
        query.AppendRecord();
        // Detail mode: controls below 500 are left alone, 502 is a display-only detail field.
        QVERIFY(!tag2->isReadOnly());
        QVERIFY(tag502->isReadOnly());
        QVERIFY(list->isEnabled());
        query.CancelRecord();
        ds.setIS_DETAIL_CHANGE(false);
        query.AppendRecord();
        // Whole-window mode: tag 2 is display-only, 100 untouched, list boxes off while editing.
        QVERIFY(tag2->isReadOnly());
        QVERIFY(!plain->isReadOnly());
        QVERIFY(!keep->isReadOnly());
        QVERIFY(!list->isEnabled());
        query.CancelRecord();
        QVERIFY(plain->isReadOnly());
        QVERIFY(list->isEnabled());
    }

    void popListWindow()
    {
        TestEnv env;
        RecordingSink sink;
        TQnAppPopForm pop;
        pop.Query()->setTableName(QStringLiteral("QN_LEND_NAME_TABLE"));
        TFieldsData f;
        f.fieldName = QStringLiteral("LEND_NAME");
        f.caption = QStringLiteral("借阅人员");
        f.required = true;
        pop.Query()->SetFieldsData({f});
        pop.Query()->OpenQuery();
        pop.show();
        QTest::keyClick(&pop, Qt::Key_F3);
        QCOMPARE(sink.last(), QStringLiteral("必须选择一个记录"));
        QTest::keyClick(&pop, Qt::Key_F5);
        QCOMPARE(pop.Query()->state(), TQnQuery::Insert);
        QVERIFY(!pop.button_close()->isEnabled());
        QVERIFY(!pop.button_Ok()->isEnabled());
        sink.clear();
        pop.close();
        QVERIFY(pop.isVisible());
        QCOMPARE(sink.last(), QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
        pop.Query()->setValue(QStringLiteral("LEND_NAME"), QStringLiteral("王五"));
        QTest::keyClick(&pop, Qt::Key_F8);
        QCOMPARE(TestEnv::value("SELECT LEND_NAME FROM QN_LEND_NAME_TABLE"), QStringLiteral("王五"));
        QTest::keyClick(&pop, Qt::Key_F3);
        QCOMPARE(pop.result(), int(QDialog::Accepted));
        QVERIFY(!pop.isVisible());
    }

    void popEditor()
    {
        TestEnv env;
        RecordingSink sink;
        TQnQuery list; // the caller's list
        list.setTableName(QStringLiteral("QN_LEND_NAME_TABLE"));
        list.OpenQuery();
        TQnBasePopEditShowForm editor;
        auto* edit = new TQnDBEdit(editor.Panel1());
        edit->setObjectName(QStringLiteral("EditName"));
        edit->setDataSource(editor.DS());
        edit->setDataField(QStringLiteral("LEND_NAME"));
        editor.setEditSet(&list);
        editor.setEditRight(true);
        editor.show();
        QVERIFY(editor.Button_add()->isEnabled());
        QVERIFY(!editor.Button_Print()->isEnabled());
        // 确定 on an empty list chooses nothing.
        QTest::keyClick(&editor, Qt::Key_F3);
        QCOMPARE(sink.last(), QStringLiteral("必须选择一个记录"));
        QVERIFY(editor.isVisible());
        QTest::keyClick(&editor, Qt::Key_F5);
        QVERIFY(editor.Added());
        QCOMPARE(list.state(), TQnQuery::Insert);
        editor.close();
        QVERIFY(editor.isVisible());
        QCOMPARE(sink.last(), QStringLiteral("必须先按“保存”或“取消”按钮后才能关闭窗口"));
        edit->setFocus();
        QTest::keyClicks(edit, "Zhao");
        QTest::keyClick(&editor, Qt::Key_F8);
        QCOMPARE(list.recordCount(), 1);
        QCOMPARE(TestEnv::value("SELECT LEND_NAME FROM QN_LEND_NAME_TABLE"), QStringLiteral("Zhao"));
        // Navigation at the ends.
        sink.clear();
        editor.button1_next()->click();
        QCOMPARE(sink.last(), QStringLiteral("已到最后一个纪录"));
        QTest::keyClick(&editor, Qt::Key_F12);
        QVERIFY(!editor.isVisible());
        // The caller's list stays open after the editor closed.
        QVERIFY(list.isOpen());
    }

    void pageGuard()
    {
        TestEnv env;
        RecordingSink sink;
        TQnQuery master;
        master.setTableName(QStringLiteral("QN_LEND_NAME_TABLE"));
        master.OpenQuery();
        TQnDataSource ds;
        ds.setDataSet(&master);
        TQnPageControl pages;
        pages.addTab(new QWidget, QStringLiteral("主档"));
        pages.addTab(new QWidget, QStringLiteral("从档"));
        pages.setDataSource(1, &ds);
        pages.setQyMaster(&master);
        pages.show();
        QVERIFY(!pages.PageChanging(1));
        QCOMPARE(sink.last(), QStringLiteral("没有主档数据记录，不能改变页面"));
        master.AppendRecord();
        QVERIFY(!pages.PageChanging(1));
        QCOMPARE(sink.last(), QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
        master.setValue(QStringLiteral("LEND_NAME"), QStringLiteral("x"));
        master.SaveRecord();
        QVERIFY(pages.PageChanging(1));
        // A click on the tab that is refused keeps the page.
        master.AppendRecord();
        QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(1).center());
        QCOMPARE(pages.currentIndex(), 0);
        master.CancelRecord();
        QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(1).center());
        QCOMPARE(pages.currentIndex(), 1);
    }

    void grabWindows()
    {
        if (!qEnvironmentVariableIsSet("VUZAZO_GRAB_DIR"))
            QSKIP("set VUZAZO_GRAB_DIR to look at the windows");
        TestEnv env;
        TestEnv::exec("INSERT INTO QN_ARCHIVE_LEND_TABLE (LEND_ID, ARCHIVE_RECORD_ID, LEND_NAME, LEND_DATE, NOTE) "
                      "VALUES ('L1', 'A1', '张三', '2009-03-01', '按时归还')");
        LendForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QTest::qWait(50);
        form.grab().save(qEnvironmentVariable("VUZAZO_GRAB_DIR") + "/dform-browse.png");
        QTest::keyClick(&form, Qt::Key_F6);
        QTest::qWait(50);
        form.grab().save(qEnvironmentVariable("VUZAZO_GRAB_DIR") + "/dform-edit.png");
        form.Query()->CancelRecord();
        // The bare tool bar with all fourteen buttons shown.
        TQnAppForm app;
        app.setWindowTitle(QStringLiteral("工具栏"));
        for (QToolButton* b : app.toolButtons())
            TQnAppForm::setButtonShown(b, true);
        app.resize(758, 500);
        app.show();
        QTest::qWait(50);
        app.grab().save(qEnvironmentVariable("VUZAZO_GRAB_DIR") + "/appform-14-buttons.png");
    }
};

QTEST_MAIN(TestQnForms)
#include "tst_qnforms.moc"
