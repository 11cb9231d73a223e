#include "TestSupport.h"

#include "archive/CompanyForm.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "component/QnDBEdit.h"
#include "component/QnDataSource.h"
#include "component/QnMain.h"
#include "db/Sql.h"
#include "query/QnQuery.h"
#include "shell/MainForm.h"
#include "shell/Startup.h"

#include <QDir>
#include <QInputMethodEvent>
#include <QTest>
#include <QToolButton>

// The organisation window: one record only, a new name shows in the main window's caption at once.
class TestCompanyForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<RecordingSink> m_sink;

    static void commit(QWidget* w, const QString& text)
    {
        w->setFocus();
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(w, &e);
    }
    static void enrolled()
    {
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_COMPANY_TABLE (COMPANY_ID, COMPANY_NAME) VALUES ('000001', %1)")
                          .arg(Sql::quote(QStringLiteral("市档案馆"))));
    }
    static QString stored(const QString& column)
    {
        return TestEnv::value(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM SYS_COMPANY_TABLE"));
    }

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(9, 30)));
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        m_sink = std::make_unique<RecordingSink>();
        TestEnv::exec(
            "INSERT INTO SYS_RIGHT_TABLE (USE_ID, COMPOSE_ID, PROGRAM_ID, ADD_RIGHT, EDIT_RIGHT, DELETE_RIGHT, "
            "BROWSE_RIGHT, PRINT_RIGHT, VERIFY_RIGHT, CURRENCY_RIGHT) VALUES ('001', 1, 6, '是', '是', '是', "
            "'是', '是', '否', '否')");
    }
    void cleanup()
    {
        m_sink.reset();
        m_env.reset();
        Clock::clearFixed();
    }

    void onlyOneRecord()
    {
        enrolled();
        TCompanyForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QCOMPARE(form.size(), QSize(500, 300));
        QCOMPARE(form.EditName()->text(), QStringLiteral("市档案馆"));
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(m_sink->last(), QStringLiteral("单位名称只能有一个"));
        QCOMPARE(form.Query()->state(), TQnQuery::Browse);
        // Delete, find and print are not there, and their keys do nothing.
        for (QToolButton* b : {form.button_delete(), form.button_find(), form.button_print()})
            QVERIFY(b->isHidden());
        m_sink->clear();
        for (int key : {Qt::Key_F7, Qt::Key_F10, Qt::Key_F11})
            QTest::keyClick(&form, key);
        QVERIFY(m_sink->texts().isEmpty());
        QCOMPARE(TestEnv::value("SELECT COUNT(*) FROM SYS_COMPANY_TABLE"), QStringLiteral("1"));
    }

    void firstRecordNumbered()
    {
        TCompanyForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QTest::keyClick(&form, Qt::Key_F5);
        QCOMPARE(form.Query()->state(), TQnQuery::Insert);
        QCOMPARE(form.Query()->text("COMPANY_ID"), QStringLiteral("000001"));
        QTRY_VERIFY(form.EditName()->hasFocus());
        QCOMPARE(form.EditName()->shownColor(), form.DS()->ColorOnFocus());
        QCOMPARE(form.EditAddress()->shownColor(), QColor(0, 255, 0)); // lime while editing
        commit(form.EditName(), QStringLiteral("县档案局"));
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(stored("COMPANY_ID || COMPANY_NAME || CREATE_NAME"), QStringLiteral("000001县档案局管理员"));
        // Address, post code, telephone and note may stay empty.
        QVERIFY(stored("COMPANY_ADDRESS").isEmpty());
        QVERIFY(m_sink->texts().isEmpty());
    }

    void newNameInTheCaption()
    {
        enrolled();
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshCaption();
        main.show();
        QCOMPARE(main.windowTitle(), QStringLiteral("市档案馆vuzazo"));
        QAction* entry = main.entry(QStringLiteral("action_Company"));
        QVERIFY(entry->isEnabled());
        entry->trigger();
        auto* form = qobject_cast<TCompanyForm*>(main.QnMain()->openWindow(QStringLiteral("CompanyForm")));
        QVERIFY(form);
        QTest::keyClick(form, Qt::Key_F6);
        QCOMPARE(form->Query()->state(), TQnQuery::Edit);
        // An empty name refuses the save; the caption keeps the old name.
        form->EditName()->setFocus();
        form->EditName()->selectAll();
        QTest::keyClick(form->EditName(), Qt::Key_Delete);
        QTest::keyClick(form, Qt::Key_F8);
        QCOMPARE(m_sink->last(), QStringLiteral("单位名称必须有一个值"));
        QCOMPARE(main.windowTitle(), QStringLiteral("市档案馆vuzazo"));
        QCOMPARE(AppContext::instance().CompanyName, QStringLiteral("市档案馆"));
        QTRY_VERIFY(form->EditName()->hasFocus());
        commit(form->EditName(), QStringLiteral("省档案馆"));
        form->EditPhone()->setFocus();
        QTest::keyClicks(form->EditPhone(), "0571-88888888");
        QTest::keyClick(form, Qt::Key_F8);
        QCOMPARE(form->Query()->state(), TQnQuery::Browse);
        QCOMPARE(stored("COMPANY_NAME || '/' || COMPANY_PHONE || '/' || EDIT_NAME"),
                 QStringLiteral("省档案馆/0571-88888888/管理员"));
        QCOMPARE(main.windowTitle(), QStringLiteral("省档案馆vuzazo"));
        QCOMPARE(AppContext::instance().CompanyName, QStringLiteral("省档案馆"));
        const QString dir = qEnvironmentVariable("VUZAZO_GRAB_DIR");
        if (!dir.isEmpty())
            form->grab().save(QDir(dir).filePath("company.png"));
        // The window cannot close while editing.
        QTest::keyClick(form, Qt::Key_F6);
        m_sink->clear();
        QTest::keyClick(form, Qt::Key_F12);
        QCOMPARE(m_sink->last(), QStringLiteral("必须先保存或取消新增的数据或修改后的数据"));
        QVERIFY(form->isVisible());
        QTest::keyClick(form, Qt::Key_F9);
        QTest::keyClick(form, Qt::Key_F12);
        QTRY_COMPARE(main.QnMain()->openWindowCount(), 0);
    }

    void nameTooLongIsCut()
    {
        enrolled();
        TCompanyForm form;
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        QTest::keyClick(&form, Qt::Key_F6);
        form.EditName()->selectAll();
        commit(form.EditName(), QString(30, QChar(0x6863))); // 30 × 档 = 60 GBK bytes
        QTest::keyClick(&form, Qt::Key_F8);
        QCOMPARE(stored("COMPANY_NAME"), QString(20, QChar(0x6863)));
    }
};

QTEST_MAIN(TestCompanyForm)
#include "tst_companyform.moc"
