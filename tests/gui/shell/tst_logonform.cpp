#include "ShellTestSupport.h"

#include "common/AppContext.h"
#include "common/MachineSettings.h"
#include "component/SingleInstance.h"
#include "db/Database.h"
#include "shell/EnrolForm.h"
#include "shell/LogonForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

// Logon by user number or name, the four attempts, and the start-up paths that end the program.
class TestLogonForm : public QObject
{
    Q_OBJECT

    static void addUsers()
    {
        ShellTest::addUser(QStringLiteral("A01"), QStringLiteral("张三"), QStringLiteral("abc"), true, true);
        ShellTest::addUser(QStringLiteral("B02"), QStringLiteral("李四"), QStringLiteral("123"), false, true);
        ShellTest::addUser(QStringLiteral("C03"), QStringLiteral("王五"), QStringLiteral("xyz"), false, false);
        // A user whose name is another user's number: the number wins.
        ShellTest::addUser(QStringLiteral("D04"), QStringLiteral("B02"), QStringLiteral("123"), false, true);
    }

    static void attempt(TLogonForm& form, const QString& user, const QString& password, bool byKey = true)
    {
        auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_User"));
        auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit_Password"));
        combo->setEditText(user);
        edit->setText(password);
        if (byKey)
            QTest::keyClick(edit, Qt::Key_F3);
        else
            form.findChild<QPushButton*>(QStringLiteral("button_Ok"))->click();
    }

private slots:
    void initTestCase() { ShellTest::setUp(); }
    void init()
    {
        ShellTest::clearMessages();
        AppContext::reset();
    }

    void logon_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("userId"); // empty: nobody logged on
        QTest::addColumn<bool>("admin");
        QTest::newRow("by number") << "A01"
                                   << "abc"
                                   << "A01" << true;
        QTest::newRow("by name") << "李四"
                                 << "123"
                                 << "B02" << false;
        QTest::newRow("blanks trimmed") << "  张三 "
                                        << " abc  "
                                        << "A01" << true;
        QTest::newRow("number before name") << "B02"
                                            << "123"
                                            << "B02" << false;
        QTest::newRow("wrong password") << "A01"
                                        << "abd"
                                        << "" << false;
        QTest::newRow("disabled user") << "王五"
                                       << "xyz"
                                       << "" << false;
        QTest::newRow("disabled by number") << "C03"
                                            << "xyz"
                                            << "" << false;
        QTest::newRow("unknown user") << "Z99"
                                      << "abc"
                                      << "" << false;
        QTest::newRow("empty") << ""
                               << ""
                               << "" << false;
        QTest::newRow("injection as user") << "' OR '1'='1"
                                           << "abc"
                                           << "" << false;
        QTest::newRow("injection as password") << "A01"
                                               << "' OR '1'='1"
                                               << "" << false;
        QTest::newRow("injection in both") << "' OR '1'='1"
                                           << "' OR '1'='1"
                                           << "" << false;
    }
    void logon()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, userId);
        QFETCH(bool, admin);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        addUsers();
        WriteRegValue(QString::fromLatin1(MachineSettings::KeyIme), QStringLiteral("拼音"));
        AppContext::instance().UserId.clear();
        AppContext::instance().UserName.clear();
        TLogonForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        attempt(form, user, password);
        const AppContext& ctx = AppContext::instance();
        if (userId.isEmpty()) {
            QCOMPARE(form.result(), int(QDialog::Rejected));
            QVERIFY(form.isVisible());
            QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("错误的用户编号或错误的口令")});
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ComboBox_User"));
            QVERIFY(ctx.UserId.isEmpty());
            return;
        }
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QVERIFY(ShellTest::messages().isEmpty());
        QCOMPARE(ctx.UserId, userId);
        QCOMPARE(ctx.IsAdmin, admin);
        QCOMPARE(ctx.UserName, TestEnv::value(QStringLiteral("SELECT USE_NAME FROM SYS_USER_TABLE WHERE USE_ID = ") +
                                              Sql::quote(userId)));
        QCOMPARE(ctx.ImeName, QStringLiteral("拼音"));
    }

    void listsActiveUsersOnly()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        addUsers();
        TLogonForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* combo = form.findChild<QComboBox*>(QStringLiteral("ComboBox_User"));
        QStringList names;
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        names.sort();
        QCOMPARE(names, (QStringList{QStringLiteral("B02"), QStringLiteral("张三"), QStringLiteral("李四")}));
        QCOMPARE(QApplication::focusWidget(), combo);
        // Enter moves from the user to the password and on to 确定[F3].
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit_Password"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("button_Ok"));
        ShellTest::grab(&form, QStringLiteral("logon-form"));
    }

    void fourthFailureEndsTheLogon()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        addUsers();
        TLogonForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        for (int i = 1; i <= 3; ++i) {
            attempt(form, QStringLiteral("A01"), QStringLiteral("wrong"));
            QVERIFY(form.isVisible());
            QCOMPARE(ShellTest::messages().size(), i);
            QCOMPARE(ShellTest::messages().last(), QStringLiteral("错误的用户编号或错误的口令"));
        }
        attempt(form, QStringLiteral("A01"), QStringLiteral("wrong"));
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(QDialog::Rejected));
        QCOMPARE(ShellTest::messages().last(), QStringLiteral("您可能是非法的用户,不能登陆系统"));
        QVERIFY(AppContext::instance().UserId.isEmpty() || AppContext::instance().UserId == QStringLiteral("001"));
    }

    void fourthFailureEndsTheProgram()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        addUsers();
        bool logonShown = false;
        ShellTest::whenShown<TLogonForm>([&logonShown](TLogonForm* form) {
            logonShown = true;
            for (int i = 0; i < 4; ++i)
                attempt(*form, QStringLiteral("A01"), QStringLiteral("wrong"), false);
        });
        const int rc = Startup::run(*qApp, Startup::Options{0});
        QVERIFY(logonShown);
        QCOMPARE(rc, 0);
        QCOMPARE(ShellTest::messages().size(), 4);
        QVERIFY(!Database::isOpen());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void disabledAdministratorsStillAskForLogon()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        ShellTest::addUser(QStringLiteral("A01"), QStringLiteral("张三"), QStringLiteral("abc"), true, false);
        QString shown;
        ShellTest::whenShown<QDialog>([&shown](QDialog* dialog) {
            shown = dialog->objectName();
            dialog->reject();
        });
        QCOMPARE(Startup::run(*qApp, Startup::Options{0}), 0);
        QCOMPARE(shown, QStringLiteral("LogonForm"));
    }

    void noAdministratorAsksForEnrolment()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        ShellTest::addUser(QStringLiteral("B02"), QStringLiteral("李四"), QStringLiteral("123"), false, true);
        QString shown;
        ShellTest::whenShown<QDialog>([&shown](QDialog* dialog) {
            shown = dialog->objectName();
            dialog->findChild<QPushButton*>(QStringLiteral("button_Close"))->click();
        });
        QCOMPARE(Startup::run(*qApp, Startup::Options{0}), 0);
        QCOMPARE(shown, QStringLiteral("EnrolForm"));
    }

    void missingAliasEndsTheProgram()
    {
        TestEnv env(false);
        QVERIFY2(env.ok(), qPrintable(env.error()));
        QCOMPARE(Startup::run(*qApp, Startup::Options{0}), 1);
        QCOMPARE(ShellTest::messages(), QStringList{Startup::missingAliasMessage()});
        QVERIFY(Startup::missingAliasMessage().contains(QStringLiteral("打勾,然后重新打开软件。\n2.如果打勾后")));
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }

    void secondInstanceIsRefused()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        addUsers();
        SingleInstance first;
        QVERIFY(first.claim());
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        QCOMPARE(Startup::run(*qApp, Startup::Options{0}), 0);
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("程序已经运行")});
        QTRY_COMPARE(raised.size(), 1);
        // The second start never touched the database the first one holds.
        QVERIFY(Database::isOpen());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestLogonForm)
#include "tst_logonform.moc"
