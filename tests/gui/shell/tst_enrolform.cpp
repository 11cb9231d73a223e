#include "ShellTestSupport.h"

#include "common/AppContext.h"
#include "common/MachineSettings.h"
#include "shell/EnrolForm.h"
#include "shell/NumberingForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// The first-run enrolment: its checks, the rows it writes, and the numbering settings window it opens.
class TestEnrolForm : public QObject
{
    Q_OBJECT

    struct Fields
    {
        QLineEdit* company;
        QLineEdit* id;
        QLineEdit* name;
        QLineEdit* password;
        QLineEdit* confirm;
        QPushButton* ok;
    };

    static Fields fieldsOf(TEnrolForm& form)
    {
        return {form.findChild<QLineEdit*>(QStringLiteral("Edit_Company")),
                form.findChild<QLineEdit*>(QStringLiteral("Edit_UserId")),
                form.findChild<QLineEdit*>(QStringLiteral("Edit_UserName")),
                form.findChild<QLineEdit*>(QStringLiteral("Edit_Password")),
                form.findChild<QLineEdit*>(QStringLiteral("Edit_Confirm")),
                form.findChild<QPushButton*>(QStringLiteral("button_Ok"))};
    }

    // Fills the form and confirms; the numbering window that follows is confirmed unchanged.
    static void enrol(TEnrolForm& form, const QString& company, const QString& id, const QString& name,
                      const QString& password)
    {
        Fields f = fieldsOf(form);
        ShellTest::commitText(f.company, company);
        f.id->setFocus();
        QTest::keyClicks(f.id, id);
        ShellTest::commitText(f.name, name);
        f.password->setFocus();
        QTest::keyClicks(f.password, password);
        f.confirm->setFocus();
        QTest::keyClicks(f.confirm, password);
        ShellTest::whenShown<TNumberingForm>([](TNumberingForm* n) {
            ShellTest::grab(n, QStringLiteral("numbering-form"));
            QTest::keyClick(n, Qt::Key_Escape); // Esc confirms too
        });
        QTest::keyClick(f.ok, Qt::Key_F3);
    }

private slots:
    void initTestCase() { ShellTest::setUp(); }
    void init()
    {
        ShellTest::clearMessages();
        ShellTest::openedUrls().clear();
    }

    void checks_data()
    {
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no organisation") << "  "
                                         << "A1"
                                         << "张三"
                                         << "1"
                                         << "1"
                                         << "必须输入单位名称"
                                         << "Edit_Company";
        QTest::newRow("no number") << "档案室"
                                   << " "
                                   << "张三"
                                   << "1"
                                   << "1"
                                   << "必须输入用户编号"
                                   << "Edit_UserId";
        QTest::newRow("no name") << "档案室"
                                 << "A1"
                                 << ""
                                 << "1"
                                 << "1"
                                 << "必须输入用户姓名"
                                 << "Edit_UserName";
        QTest::newRow("no password") << "档案室"
                                     << "A1"
                                     << "张三"
                                     << "  "
                                     << "1"
                                     << "必须输入用户口令"
                                     << "Edit_Password";
        QTest::newRow("no confirmation") << "档案室"
                                         << "A1"
                                         << "张三"
                                         << "1"
                                         << ""
                                         << "必须确认用户口令"
                                         << "Edit_Confirm";
        QTest::newRow("mismatch") << "档案室"
                                  << "A1"
                                  << "张三"
                                  << "abc"
                                  << "abd"
                                  << "口令确认错误"
                                  << "Edit_Password";
    }
    void checks()
    {
        QFETCH(QString, company);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TEnrolForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        Fields f = fieldsOf(form);
        QCOMPARE(QApplication::focusWidget(), f.company);
        f.company->setText(company);
        f.id->setText(id);
        f.name->setText(name);
        f.password->setText(password);
        f.confirm->setText(confirm);
        f.ok->click();
        QCOMPARE(ShellTest::messages(), QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(form.isVisible());
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM SYS_USER_TABLE")), QStringLiteral("0"));
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM SYS_COMPANY_TABLE")), QStringLiteral("0"));
    }

    void enrolWritesRows()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        // Another user's rights must not survive the enrolment.
        ShellTest::grantAll(QStringLiteral("OLD"), 1, 1);
        TEnrolForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        ShellTest::grab(&form, QStringLiteral("enrol-form"));
        enrol(form, QStringLiteral("第一档案馆"), QStringLiteral("a01"), QStringLiteral("王小明"),
              QStringLiteral(" pass1 "));
        QTRY_COMPARE(form.result(), int(QDialog::Accepted));

        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COMPANY_NAME FROM SYS_COMPANY_TABLE WHERE COMPANY_ID='000001'")),
                 QStringLiteral("第一档案馆"));
        // The number is upper case; the password is kept only as a hash of the trimmed text.
        QCOMPARE(
            TestEnv::value(QStringLiteral("SELECT USE_NAME || '|' || SYS_USER || '|' || STOP_RIGHT || '|' || "
                                          "CREATE_NAME || '|' || CREATE_DATE FROM SYS_USER_TABLE WHERE USE_ID='A01'")),
            QStringLiteral("王小明|是|有效|王小明|2009-03-25"));
        const QString stored = TestEnv::value(QStringLiteral("SELECT USE_PASSWORD FROM SYS_USER_TABLE"));
        QVERIFY(stored.startsWith(QStringLiteral("$argon2id$")));
        QVERIFY(!stored.contains(QStringLiteral("pass1")));
        QVERIFY(Password::verify(stored, QStringLiteral("pass1")));
        QVERIFY(!Password::verify(stored, QStringLiteral("pass2")));

        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM SYS_RIGHT_TABLE")), QStringLiteral("9"));
        QCOMPARE(TestEnv::value(QStringLiteral(
                     "SELECT COUNT(*) FROM SYS_RIGHT_TABLE WHERE USE_ID='A01' AND ADD_RIGHT='是' AND EDIT_RIGHT='是' "
                     "AND DELETE_RIGHT='是' AND BROWSE_RIGHT='是' AND PRINT_RIGHT='是' AND VERIFY_RIGHT='是' AND "
                     "CURRENCY_RIGHT='是' AND ((COMPOSE_ID=1 AND PROGRAM_ID BETWEEN 1 AND 7) OR "
                     "(COMPOSE_ID=2 AND PROGRAM_ID IN (1,2)))")),
                 QStringLiteral("9"));

        QCOMPARE(
            TestEnv::value(QStringLiteral("SELECT group_concat(PRINT_ID || ':' || PRINT_INDEX || ':' || PRINT_NAME "
                                          "|| ':' || PRINT_TYPE, ';') FROM (SELECT * FROM SYS_PRINT_NAME_TABLE "
                                          "ORDER BY PRINT_ID)")),
            QStringLiteral("200700000007:ArchiveForm:档案资料:M;"
                           "200700000008:QueryArchiveDetail:档案明细资料查询报表:M;"
                           "200700000009:SelectArchivesDetailForm:档案明细资料报表:MD;"
                           "200700000010:SelectArchivesLend:档案借阅单:MD;"
                           "200700000011:QueryArchiveLendForm:档案借阅资料查询报表:M"));

        // The numbering window wrote every setting (unchanged defaults: numbers by hand, backup on).
        QCOMPARE(
            TestEnv::value(QStringLiteral("SELECT group_concat(NAME_ID || '=' || AUTO_ID, ';') FROM "
                                          "(SELECT * FROM SYS_ID_TABLE ORDER BY NAME_ID)")),
            QStringLiteral("不自动数据备份=否;分类编号=0;档案借阅编号=否;档案明细编号=否;档案编号=否;过期未还提醒=否"));

        const AppContext& ctx = AppContext::instance();
        QCOMPARE(ctx.UserId, QStringLiteral("A01"));
        QCOMPARE(ctx.UserName, QStringLiteral("王小明"));
        QVERIFY(ctx.IsAdmin);
        QVERIFY(ctx.JustEnrolled);
        QCOMPARE(ctx.CompanyName, QStringLiteral("第一档案馆"));
        QCOMPARE(ShellTest::messages(),
                 QStringList{QStringLiteral("您的用户名称是：王小明\n用户编号是：A01\n您的口令是： pass1        ")});
        QCOMPARE(ShellTest::openedUrls().size(), 1);
        QVERIFY(ShellTest::openedUrls().first().toLocalFile().endsWith(QStringLiteral("/index.html")));
    }

    void enrolRenamesEveryOrganisation()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','旧名'),"
                                     "('000002','分部')"));
        TEnrolForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        enrol(form, QStringLiteral("新名称"), QStringLiteral("9"), QStringLiteral("李四"), QStringLiteral("x"));
        QTRY_COMPARE(form.result(), int(QDialog::Accepted));
        qDebug() << ShellTest::messages();
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT group_concat(COMPANY_ID || COMPANY_NAME) FROM "
                                               "(SELECT * FROM SYS_COMPANY_TABLE ORDER BY COMPANY_ID)")),
                 QStringLiteral("000001新名称,000002新名称"));
    }

    void limitsFollowTheColumns()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TEnrolForm form;
        Fields f = fieldsOf(form);
        // A Chinese character takes two of the organisation name's 40 bytes.
        ShellTest::commitText(f.company, QString(30, QChar(0x6863)));
        QCOMPARE(f.company->text().size(), 20);
        f.id->setFocus();
        QTest::keyClicks(f.id, QStringLiteral("abcdefgh"));
        QCOMPARE(f.id->text(), QStringLiteral("ABCDEF"));
        f.password->setFocus();
        QTest::keyClicks(f.password, QStringLiteral("0123456789abc"));
        QCOMPARE(f.password->text(), QStringLiteral("0123456789"));
    }

    void enterMovesToTheNextField()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TEnrolForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const QStringList order{"Edit_Company", "Edit_UserId", "Edit_UserName", "Edit_Password", "Edit_Confirm"};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QCOMPARE(QApplication::focusWidget()->objectName(), order.at(i));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget()->objectName(), order.last());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.at(order.size() - 2));
    }

    void numberingWindowWritesSettings()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        AppContext::instance().DetailName = QStringLiteral("卷内文件");
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ID_TABLE VALUES('不自动数据备份','是'),('分类编号','2'),"
                                     "('档案编号','是')"));
        TNumberingForm form;
        form.show();
        auto* backup = form.findChild<QCheckBox*>(QStringLiteral("CheckBox_Backup"));
        auto* archive = form.findChild<QCheckBox*>(QStringLiteral("CheckBox_ArchiveId"));
        auto* detail = form.findChild<QCheckBox*>(QStringLiteral("CheckBox_DetailId"));
        QCOMPARE(detail->text(), QStringLiteral("系统自动填写卷内文件编号"));
        QVERIFY(!backup->isChecked());
        QVERIFY(archive->isChecked());
        QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("RadioButton_Scheme2"))->isChecked());
        backup->setChecked(true);
        detail->setChecked(true);
        form.findChild<QRadioButton*>(QStringLiteral("RadioButton_Scheme3"))->setChecked(true);
        form.findChild<QPushButton*>(QStringLiteral("button_Ok"))->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(
            TestEnv::value(QStringLiteral("SELECT group_concat(NAME_ID || '=' || AUTO_ID, ';') FROM "
                                          "(SELECT * FROM SYS_ID_TABLE ORDER BY NAME_ID)")),
            QStringLiteral("不自动数据备份=否;分类编号=3;档案借阅编号=否;档案明细编号=是;档案编号=是;过期未还提醒=否"));
        QCOMPARE(AppContext::instance().NumberingScheme, 3);
    }

    void numberingWindowWithoutRowsShowsBackupOn()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        TNumberingForm form;
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("CheckBox_Backup"))->isChecked());
        QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("RadioButton_Scheme0"))->isChecked());
    }
};

QTEST_MAIN(TestEnrolForm)
#include "tst_enrolform.moc"
