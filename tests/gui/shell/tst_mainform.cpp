#include "ShellTestSupport.h"

#include "common/AppContext.h"
#include "common/AppError.h"
#include "common/Clock.h"
#include "common/MachineSettings.h"
#include "component/QnChild.h"
#include "component/QnMain.h"
#include "component/SingleInstance.h"
#include "db/Database.h"
#include "db/Lookups.h"
#include "maintenance/CleanUp.h"
#include "shell/AboutForm.h"
#include "shell/MainForm.h"
#include "shell/NumberingForm.h"
#include "shell/SplashForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// A program window as the later screens build them: a TQnChild, fields, and a data set that may be editing.
class TTestProgramForm : public QWidget, public TQnDataSetState
{
public:
    // Created as a plain child of the main window: showing it makes it a window of its own.
    explicit TTestProgramForm(QWidget* parent = nullptr) : QWidget(parent)
    {
        setObjectName(QStringLiteral("TestProgramForm"));
        setWindowTitle(QStringLiteral("测试窗口"));
        auto* layout = new QVBoxLayout(this);
        for (int i = 0; i < 3; ++i) {
            auto* e = new QLineEdit(this);
            e->setObjectName(QStringLiteral("Edit%1").arg(i));
            layout->addWidget(e);
        }
        resize(400, 200);
        new TQnChild(this);
        ++s_created;
    }
    ~TTestProgramForm() override { ++s_destroyed; }
    bool isEditing() const override { return editing; }
    void closeDataSet() override { ++s_closedDataSets; }

    bool editing = false;
    static inline int s_created = 0;
    static inline int s_destroyed = 0;
    static inline int s_closedDataSets = 0;
};

ProgramWindows::Entry testEntry(const QString& formName, ProgramPreset* lastPreset = nullptr)
{
    ProgramWindows::Entry e;
    e.formName = formName;
    e.create = [lastPreset](TMainForm& main, const ProgramPreset& preset) -> QWidget* {
        if (lastPreset)
            *lastPreset = preset;
        return new TTestProgramForm(&main);
    };
    return e;
}

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    return texts;
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;

    static void logOnAs(const QString& id, bool admin)
    {
        AppContext& ctx = AppContext::instance();
        ctx.UserId = id;
        ctx.UserName = id;
        ctx.IsAdmin = admin;
    }

private slots:
    void initTestCase() { ShellTest::setUp(); }
    void init()
    {
        ShellTest::clearMessages();
        ShellTest::openedUrls().clear();
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(9, 30)));
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        ShellTest::addUser(QStringLiteral("A01"), QStringLiteral("张三"), QStringLiteral("abc"), true, true);
        for (int p = 1; p <= 7; ++p)
            ShellTest::grantAll(QStringLiteral("A01"), 1, p);
        TestEnv::exec(
            QStringLiteral("INSERT INTO SYS_COMPANY_TABLE(COMPANY_ID,COMPANY_NAME) VALUES('000001','市档案馆')"));
        logOnAs(QStringLiteral("A01"), true);
    }
    void cleanup()
    {
        for (const char* name : {"action_ArchiveType", "action_Archive", "action_LendQuery", "startup_Backup"})
            ProgramWindows::remove(QString::fromLatin1(name));
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TMainForm*>(w))
                delete w;
        m_env.reset();
        Clock::clearFixed();
    }

    void menusInOrder()
    {
        TMainForm main;
        main.setFirstShowingEnabled(false);
        const QList<QAction*> top = main.menuBar()->actions();
        QCOMPARE(top.size(), 4);
        QCOMPARE(top.at(0)->text(), QStringLiteral("档案管理"));
        QCOMPARE(top.at(1)->text(), QStringLiteral("系统管理"));
        QCOMPARE(top.at(2)->text(), QStringLiteral("帮助[F1]"));
        QCOMPARE(top.at(3)->text(), QStringLiteral(" "));
        QVERIFY(!top.at(3)->isVisible());
        QCOMPARE(menuTexts(top.at(0)->menu()),
                 (QStringList{"档案类别资料录入编辑", "档案资料录入编辑管理", "档案明细资料查询管理",
                              "档案借阅记录查询管理", "EXCEL资料导入管理", "单位名称录入编辑"}));
        QCOMPARE(menuTexts(top.at(1)->menu()),
                 (QStringList{"用户管理", "用户口令修改", "数据备份管理", "数据恢复管理", "过时数据删除",
                              "数据修复管理", "编号方式设置修改", "退出[T]"}));
        QCOMPARE(menuTexts(top.at(2)->menu()), (QStringList{"帮助", "关于"}));
        QCOMPARE(main.entry(QStringLiteral("action_Archive"))->property("tag").toInt(), 100);
        QCOMPARE(main.entry(QStringLiteral("action_Numbering"))->property("tag").toInt(), 300);
        QCOMPARE(main.entry(QStringLiteral("action_Exit"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(main.entry(QStringLiteral("action_Help"))->shortcut(), QKeySequence(Qt::Key_F1));

        // Screens that are not part of the program yet are shown disabled; the numbering settings are here.
        QVERIFY(!main.entry(QStringLiteral("action_LendQuery"))->isEnabled());
        QVERIFY(!main.entry(QStringLiteral("action_Backup"))->isEnabled());
        QVERIFY(main.entry(QStringLiteral("action_Numbering"))->isEnabled());
        QVERIFY(main.entry(QStringLiteral("action_Help"))->isEnabled());
        QCOMPARE(main.mainToolBar()->actions().size(), 6); // five buttons and a separator
    }

    void captionDateAndDetailName()
    {
        TestEnv::exec(
            QStringLiteral("UPDATE SYS_PROGRAM_TABLE SET PROGRAM_NAME='卷内文件查询管理' WHERE COMPOSE_ID=1 AND "
                           "PROGRAM_ID=3"));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        QCOMPARE(main.windowTitle(), QStringLiteral("市档案馆vuzazo"));
        QCOMPARE(AppContext::instance().CompanyName, QStringLiteral("市档案馆"));
        QCOMPARE(AppContext::instance().DetailName, QStringLiteral("卷内文件"));
        QCOMPARE(main.entry(QStringLiteral("action_DetailQuery"))->text(), QStringLiteral("卷内文件查询管理"));
        QCOMPARE(main.findChild<QAction*>(QStringLiteral("tool_DetailQuery"))->toolTip(),
                 QStringLiteral("卷内文件查询管理"));
        QCOMPARE(main.findChild<QLabel*>(QStringLiteral("StatusPanel_Date"))->text().trimmed(),
                 QStringLiteral("2009年03月25日"));
        QCOMPARE(AppContext::instance().InstallDir, QDir(m_env->installDir()).absolutePath());
    }

    void emptyProgramNameGivesTheDefaultDetailName()
    {
        TestEnv::exec(
            QStringLiteral("UPDATE SYS_PROGRAM_TABLE SET PROGRAM_NAME='' WHERE COMPOSE_ID=1 AND PROGRAM_ID=3"));
        TMainForm main;
        QCOMPARE(AppContext::instance().DetailName, QStringLiteral("档案明细资料"));
        QCOMPARE(main.entry(QStringLiteral("action_DetailQuery"))->text(), QStringLiteral("档案明细资料查询管理"));
    }

    void programOpenedTwiceGetsOneMenuEntry()
    {
        ProgramWindows::set(QStringLiteral("action_ArchiveType"), testEntry(QStringLiteral("ArchiveTypeForm")));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QAction* entry = main.entry(QStringLiteral("action_ArchiveType"));
        QVERIFY(entry->isEnabled());
        const int created = TTestProgramForm::s_created;
        entry->trigger();
        entry->trigger();
        QCOMPARE(TTestProgramForm::s_created, created + 1);
        QVERIFY(main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm"))->isWindow());
        QMenu* windows = main.QnMain()->windowsMenu();
        QCOMPARE(menuTexts(windows), QStringList{QStringLiteral("档案类别资料录入编辑")});
        QCOMPARE(windows->menuAction()->text(), QStringLiteral("打开的窗口"));
        QVERIFY(windows->menuAction()->isVisible());
        QCOMPARE(main.QnMain()->openFormNames(), QStringList{QStringLiteral("ArchiveTypeForm")});
        ShellTest::grab(&main, QStringLiteral("main-form-open-window"));

        // Choosing the listed window brings it forward and creates nothing.
        windows->actions().first()->trigger();
        QCOMPARE(TTestProgramForm::s_created, created + 1);

        // The main window refuses to close while the program window is open.
        QVERIFY(!main.close());
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("请先关闭打开的全部子程序后,才能退出系统")});

        // Closing the program window removes its entry and hides the menu again.
        QWidget* form = main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm"));
        QVERIFY(form);
        const int destroyed = TTestProgramForm::s_destroyed;
        QVERIFY(form->close());
        QTRY_COMPARE(TTestProgramForm::s_destroyed, destroyed + 1);
        QVERIFY(windows->actions().isEmpty());
        QVERIFY(!windows->menuAction()->isVisible());
        QVERIFY(!main.QnMain()->hasOpenWindows());
        QVERIFY(main.close());
    }

    void windowRefusesToCloseWhileEditing()
    {
        ProgramWindows::set(QStringLiteral("action_ArchiveType"), testEntry(QStringLiteral("ArchiveTypeForm")));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        main.show();
        main.entry(QStringLiteral("action_ArchiveType"))->trigger();
        auto* form = dynamic_cast<TTestProgramForm*>(main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm")));
        QVERIFY(form);
        form->editing = true;
        QVERIFY(!form->close());
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("必须先保存或取消新增的数据或修改后的数据")});
        QVERIFY(form->isVisible());
        QCOMPARE(main.QnMain()->openWindowCount(), 1);
        form->editing = false;
        const int closed = TTestProgramForm::s_closedDataSets;
        QVERIFY(form->close());
        QCOMPARE(TTestProgramForm::s_closedDataSets, closed + 1);
        QTRY_VERIFY(!main.QnMain()->hasOpenWindows());
    }

    void enterAndArrowsMoveBetweenFields()
    {
        TTestProgramForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.findChild<QLineEdit*>(QStringLiteral("Edit0"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // the last field wraps to the first
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit0"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit2"));
        TQnChild::of(&form)->setOptions(TQnChild::moEnter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit2"));
    }

    void secondChildOnOneWindowIsRefused()
    {
        TTestProgramForm form;
        QVERIFY_THROWS_EXCEPTION(EInvalidOperation, new TQnChild(&form));
    }

    void rightsRefusal_data()
    {
        QTest::addColumn<QString>("browse"); // the user's browse flag; empty: no rights row
        QTest::newRow("browse no") << "否";
        QTest::newRow("no rights row") << "";
    }
    void rightsRefusal()
    {
        QFETCH(QString, browse);
        ShellTest::addUser(QStringLiteral("B02"), QStringLiteral("李四"), QStringLiteral("1"), false, true);
        if (!browse.isEmpty())
            ShellTest::grantAll(QStringLiteral("B02"), 1, 1, browse);
        logOnAs(QStringLiteral("B02"), false);
        ProgramWindows::set(QStringLiteral("action_ArchiveType"), testEntry(QStringLiteral("ArchiveTypeForm")));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        const int created = TTestProgramForm::s_created;
        main.entry(QStringLiteral("action_ArchiveType"))->trigger();
        QCOMPARE(TTestProgramForm::s_created, created);
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("您没有在程序\"档案类别资料录入编辑\"中的权限")});
        QVERIFY(!main.QnMain()->windowsMenu()->menuAction()->isVisible());
    }

    void rightsLookupMessages()
    {
        ProgramRights rights;
        QVERIFY(!GetProgramRights(QStringLiteral("不存在"), QStringLiteral("档案资料录入编辑管理"), rights,
                                  QStringLiteral("A01")));
        QVERIFY(!GetProgramRights(QStringLiteral("档案管理"), QStringLiteral("不存在"), rights, QStringLiteral("A01")));
        QCOMPARE(ShellTest::messages(), (QStringList{"不存在程序组找不到", "档案管理程序找不到"}));
        QVERIFY(GetProgramRights(QStringLiteral("档案管理"), QStringLiteral("档案资料录入编辑管理"), rights,
                                 QStringLiteral("A01")));
        QVERIFY(rights.add && rights.browse && rights.documents);
        QVERIFY(!HasProgramRight(QStringLiteral("档案管理"), QStringLiteral("档案资料录入编辑管理"),
                                 QStringLiteral("' OR '1'='1")));

        TTestProgramForm form;
        TQnChild* child = TQnChild::of(&form);
        QCOMPARE(child->GetRight(QStringLiteral("NEW"), 2, 3, 1), QStringLiteral("否"));
        QVERIFY(child->SetRight(QStringLiteral("NEW"), 2, QStringLiteral("是"), 3, 1));
        QCOMPARE(child->GetRight(QStringLiteral("NEW"), 2, 3, 1), QStringLiteral("是"));
        QCOMPARE(child->GetRight(QStringLiteral("NEW"), 2, 0, 1), QStringLiteral("否"));
        QVERIFY(child->SetRight(QStringLiteral("NEW"), 2, QStringLiteral("否"), 3, 1));
        QCOMPARE(
            TestEnv::value(QStringLiteral("SELECT COUNT(*) || BROWSE_RIGHT FROM SYS_RIGHT_TABLE WHERE USE_ID='NEW'")),
            QStringLiteral("1否"));
    }

    void numberingEntryGates()
    {
        logOnAs(QStringLiteral("A01"), false);
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.entry(QStringLiteral("action_Numbering"))->trigger();
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("只有系统管理员才能有设置修改编号方式的权限")});

        ShellTest::clearMessages();
        logOnAs(QStringLiteral("A01"), true);
        ProgramWindows::set(QStringLiteral("action_ArchiveType"), testEntry(QStringLiteral("ArchiveTypeForm")));
        main.refreshEntries();
        main.show();
        main.entry(QStringLiteral("action_ArchiveType"))->trigger();
        main.entry(QStringLiteral("action_Numbering"))->trigger();
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("请先关闭其它的窗口")});
        main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm"))->close();
        QTRY_VERIFY(!main.QnMain()->hasOpenWindows());

        bool shown = false;
        ShellTest::whenShown<TNumberingForm>([&shown](TNumberingForm* form) {
            shown = true;
            form->confirm();
        });
        main.entry(QStringLiteral("action_Numbering"))->trigger();
        QVERIFY(shown);
        QCOMPARE(ReadSetting(QStringLiteral("分类编号")), QStringLiteral("0"));
    }

    void lockedPictureTellsToCloseWindows()
    {
        ProgramWindows::set(QStringLiteral("action_Archive"), testEntry(QStringLiteral("ArchiveForm")));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        main.QnMain()->setEntriesLocked(true);
        QVERIFY(!main.entry(QStringLiteral("action_Archive"))->isEnabled());
        QVERIFY(!main.entry(QStringLiteral("action_Numbering"))->isEnabled());
        QVERIFY(!main.findChild<QAction*>(QStringLiteral("tool_Archive"))->isEnabled());
        QWidget* picture = main.findChild<QWidget*>(QStringLiteral("Picture_Archive"));
        QVERIFY(picture);
        QTest::mouseDClick(picture, Qt::LeftButton);
        QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("请先关闭打开的其它窗口")});
        main.QnMain()->setEntriesLocked(false);
        QVERIFY(main.entry(QStringLiteral("action_Archive"))->isEnabled());
        const int created = TTestProgramForm::s_created;
        QTest::mouseDClick(picture, Qt::LeftButton);
        QCOMPARE(TTestProgramForm::s_created, created + 1);
        main.QnMain()->openWindow(QStringLiteral("ArchiveForm"))->close();
    }

    void dateReminder()
    {
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ID_TABLE VALUES('提醒字段','DATE_FIELD2'),('提醒天数','10')"));
        TestEnv::exec(QStringLiteral("DELETE FROM SYS_ARCHIVE_FIELD_TABLE"));
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ARCHIVE_FIELD_TABLE(FIELD_NAME,FIELD_DISPLAY_NAME) "
                                     "VALUES('DATE_FIELD2','到期日期')"));
        // 2009-03-15 is today minus ten days: due; the 16th is not yet; NULL never.
        TestEnv::exec(
            QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID,DATE_FIELD2) "
                           "VALUES('A1','001','2009-03-15'),('A2','001','2008-01-01'),('A3','001','2009-03-16'),"
                           "('A4','001',NULL)"));
        {
            // Without the archive window the count is told, no question asked.
            TMainForm bare;
            bare.setFirstShowingEnabled(false);
            bare.runFirstShowing();
            QCOMPARE(ShellTest::messages(), QStringList{QStringLiteral("有 2 个档案的到期日期到了设定的提醒日")});
            ShellTest::clearMessages();
        }
        ProgramPreset preset;
        ProgramWindows::set(QStringLiteral("action_Archive"), testEntry(QStringLiteral("ArchiveForm"), &preset));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        GuiMessageSink::setNextAnswer(true);
        main.runFirstShowing();
        QCOMPARE(ShellTest::messages(),
                 QStringList{QStringLiteral("有 2 个档案的到期日期到了设定的提醒日\n是否去看看这些档案")});
        QCOMPARE(preset.condition, QStringLiteral("((NOT(DATE_FIELD2 IS NULL)) AND (DATE_FIELD2 <= '2009-03-15'))"));
        QCOMPARE(preset.conditionCaption, QStringLiteral("查找条件：(到期日期 - 2009年03月25日) 小于等于 10"));
        QCOMPARE(menuTexts(main.QnMain()->windowsMenu()), QStringList{QStringLiteral("档案资料录入编辑管理")});
        main.QnMain()->openWindow(QStringLiteral("ArchiveForm"))->close();
    }

    // A yes without the window to show would do nothing: the count is told, no question asked.
    void reminderWithoutItsWindowOnlyTells()
    {
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ID_TABLE VALUES('过期未还提醒','是')"));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID) "
                                     "VALUES('A1','001'),('A2','001')"));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_LEND_TABLE(ARCHIVE_RECORD_ID,LEND_ID,RETURN_LIMIT_DATE,"
                                     "RETURN_DATE) VALUES('A1','L1','2009-03-24',NULL),('A2','L2','2009-03-25',NULL),"
                                     "('A2','L3','2009-01-01','2009-02-01'),('GONE','L4','2009-01-01',NULL)"));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        GuiMessageSink::setNextAnswer(true);
        main.runFirstShowing();
        QCOMPARE(ShellTest::messages(),
                 QStringList{QStringLiteral("今天日期：2009年03月25日\n有 1 个借阅档案过借阅期限未归还")});
        QVERIFY(!main.QnMain()->hasOpenWindows());

        // With the window there, a yes opens it with the condition.
        ShellTest::clearMessages();
        ProgramPreset preset;
        ProgramWindows::set(QStringLiteral("action_LendQuery"),
                            testEntry(QStringLiteral("QueryArchiveLendForm"), &preset));
        main.refreshEntries();
        GuiMessageSink::setNextAnswer(true);
        main.runFirstShowing();
        QCOMPARE(ShellTest::messages(),
                 QStringList{QStringLiteral(
                     "今天日期：2009年03月25日\n有 1 个借阅档案过借阅期限未归还,是否显示这些借阅档案资料")});
        QCOMPARE(preset.condition, QStringLiteral("(A.RETURN_DATE IS NULL) AND (A.RETURN_LIMIT_DATE < '2009-03-25')"));
        QCOMPARE(menuTexts(main.QnMain()->windowsMenu()), QStringList{QStringLiteral("档案借阅记录查询管理")});
        main.QnMain()->openWindow(QStringLiteral("QueryArchiveLendForm"))->close();
    }

    void backupOffer_data()
    {
        QTest::addColumn<QString>("noBackup"); // the setting 不自动数据备份, empty: no row
        QTest::addColumn<bool>("justEnrolled");
        QTest::addColumn<bool>("asked");
        QTest::newRow("no setting") << "" << false << true;
        QTest::newRow("backup off") << "是" << false << false;
        QTest::newRow("backup on") << "否" << false << true;
        QTest::newRow("just enrolled") << "" << true << false;
    }
    void backupOffer()
    {
        QFETCH(QString, noBackup);
        QFETCH(bool, justEnrolled);
        QFETCH(bool, asked);
        if (!noBackup.isEmpty())
            WriteSetting(QStringLiteral("不自动数据备份"), noBackup);
        AppContext::instance().JustEnrolled = justEnrolled;
        int backups = 0;
        ProgramWindows::Entry backup;
        backup.run = [&backups](TMainForm&) { ++backups; };
        ProgramWindows::set(QString::fromLatin1(ProgramWindows::StartupBackup), backup);
        TMainForm main;
        main.setFirstShowingEnabled(false);
        GuiMessageSink::setNextAnswer(true);
        main.runFirstShowing();
        QCOMPARE(ShellTest::messages(), asked ? QStringList{QStringLiteral("是否备份数据")} : QStringList{});
        QCOMPARE(backups, asked ? 1 : 0);
    }

    void remindersNeedTheBrowseRight()
    {
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_ID_TABLE VALUES('过期未还提醒','是')"));
        TestEnv::exec(QStringLiteral(
            "INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID,ARCHIVE_TYPE_ID) VALUES('A1','001')"));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_LEND_TABLE(ARCHIVE_RECORD_ID,LEND_ID,RETURN_LIMIT_DATE) "
                                     "VALUES('A1','L1','2009-03-01')"));
        TestEnv::exec(QStringLiteral("UPDATE SYS_RIGHT_TABLE SET BROWSE_RIGHT='否' WHERE PROGRAM_ID=4"));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.runFirstShowing();
        QVERIFY(ShellTest::messages().isEmpty());
    }

    void backgroundFromMachineSettings()
    {
        const QString picture = m_env->path(QStringLiteral("wall.png"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(200, 10, 10));
        QVERIFY(image.save(picture));
        WriteRegValue(QStringLiteral("QnArchives"), picture);
        WriteRegValue(QStringLiteral("QnArchivesColor"),
                      QString::number(0x00336699)); // blue 0x33, green 0x66, red 0x99
        {
            TMainForm main;
            main.setFirstShowingEnabled(false);
            QCOMPARE(main.QnMain()->ReadBackgroundPicture(), picture);
            main.resize(800, 600);
            const QImage shot = main.centralWidget()->grab().toImage();
            QCOMPARE(shot.pixelColor(2, 2), QColor(200, 10, 10));
        }
        QFile::remove(picture);
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.resize(800, 600);
        QVERIFY(main.QnMain()->ReadBackgroundPicture().isEmpty());
        QCOMPARE(main.centralWidget()->grab().toImage().pixelColor(2, 2), QColor(0x99, 0x66, 0x33));
        QVERIFY(ShellTest::messages().isEmpty());
    }

    void helpOpensTheManual()
    {
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.entry(QStringLiteral("action_Help"))->trigger();
        QCOMPARE(ShellTest::openedUrls().size(), 1);
        const QString index = ShellTest::openedUrls().first().toLocalFile();
        QFile file(index);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("vuzazo单机版说明")));
        QVERIFY(QFile::exists(QFileInfo(index).dir().filePath(QStringLiteral("manual.css"))));
    }

    void helpWithoutBrowserSaysWhereTheManualIs()
    {
        DesktopServices::setUrlOpener([](const QUrl&) { return false; });
        TMainForm main;
        main.setFirstShowingEnabled(false);
        ShellTest::clearMessages();
        main.entry(QStringLiteral("action_Help"))->trigger();
        const QStringList shown = ShellTest::messages();
        ShellTest::setUp(); // the recording opener again for the cases that follow
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().startsWith(QStringLiteral("没有找到能打开说明文件的浏览器")));
        QVERIFY(shown.first().contains(QStringLiteral("index.html")));
    }

    void pictures()
    {
        // Not a check: pictures of the windows to look at (VUZAZO_GRAB_DIR).
        ProgramWindows::set(QStringLiteral("action_ArchiveType"), testEntry(QStringLiteral("ArchiveTypeForm")));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.refreshEntries();
        main.resize(1280, 800);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        ShellTest::grab(&main, QStringLiteral("main-form"));
        main.menuBar()->actions().at(1)->menu()->popup(main.mapToGlobal(QPoint(60, 20)));
        ShellTest::grab(main.menuBar()->actions().at(1)->menu(), QStringLiteral("main-menu-system"));
        main.menuBar()->actions().at(1)->menu()->hide();
        main.menuBar()->actions().at(0)->menu()->popup(main.mapToGlobal(QPoint(10, 20)));
        ShellTest::grab(main.menuBar()->actions().at(0)->menu(), QStringLiteral("main-menu-archive"));
        main.menuBar()->actions().at(0)->menu()->hide();
        TAboutForm about(&main);
        about.show();
        ShellTest::grab(&about, QStringLiteral("about-form"));
        TNumberingForm numbering(&main);
        numbering.show();
        ShellTest::grab(&numbering, QStringLiteral("numbering-form"));
        TSplashForm splash;
        splash.show();
        ShellTest::grab(&splash, QStringLiteral("splash-form"));
    }

    void startupCleanUp()
    {
        const QDir install(m_env->installDir());
        auto write = [&](const QString& name, const QByteArray& bytes) {
            QFile f(install.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        };
        write(QStringLiteral("VERIFY.DB"), "work table");
        write(QStringLiteral("PROBLEM.DB"), QByteArray("SQLite format 3\0 and more", 26)); // a database: kept
        write(QStringLiteral("KEYVIOL.DB"), "x");
        write(QStringLiteral("archive.db"), "someone's file");
        write(QStringLiteral("SYS_BACK_TABLE.DB"), "x");
        write(QStringLiteral("OTHER.MB"), "x");
        TMainForm main;
        QStringList left = install.entryList(QDir::Files);
        left.sort();
        QCOMPARE(left, (QStringList{"OTHER.MB", "PROBLEM.DB", "SYS_BACK_TABLE.DB", "archive.db"}));
        QVERIFY(QFile::exists(Database::databaseFile(m_env->databaseDir())));
    }

    void singleInstanceRaisesTheFirst()
    {
        TMainForm main;
        main.setFirstShowingEnabled(false);
        SingleInstance first(QStringLiteral("QNvuzazo-test-%1").arg(QCoreApplication::applicationPid()));
        QVERIFY(first.claim());
        QVERIFY(main.QnMain()->Start(&first));
        main.showMinimized();
        SingleInstance second(first.key());
        QVERIFY(!second.claim());
        QTRY_VERIFY(!(main.windowState() & Qt::WindowMinimized));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
