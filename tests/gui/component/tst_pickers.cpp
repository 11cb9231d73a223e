#include "ComponentTestSupport.h"

#include "TestSupport.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "component/DateForm.h"
#include "component/OpenDirDialog.h"
#include "component/QnEdit.h"
#include "component/SelectItemForm.h"
#include "component/SetTitleNameForm.h"
#include "component/ShowPictureForm.h"
#include "db/Lookups.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

// The small shared windows: the date window, the option choosers, the sort chooser, the folder picker, the
// picture viewer and the detail title editor.
class TestPickers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }
    void init() { Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(10, 0))); }
    void cleanup() { Clock::clearFixed(); }

    void pickDateStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<QDate>("date");
        QTest::newRow("date") << "2008-11-05"
                              << "" << QDate(2008, 11, 5);
        QTest::newRow("with time") << "2008-11-05 10:30"
                                   << "" << QDate(2008, 11, 5);
        QTest::newRow("fallback") << ""
                                  << "2001-02-03" << QDate(2001, 2, 3);
        QTest::newRow("nothing") << "abc"
                                 << "" << QDate(2009, 3, 25);
    }
    void pickDateStart()
    {
        QFETCH(QString, text);
        QFETCH(QString, fallback);
        QFETCH(QDate, date);
        QCOMPARE(PickDateStart(text, fallback), date);
    }

    void pickDate()
    {
        QString title, label;
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TDateForm*>(m);
            QVERIFY(form);
            title = form->windowTitle();
            label = form->TitleLabel()->text();
            form->findChild<QAbstractButton*>(QStringLiteral("button_PriorYear"))->click();
            form->findChild<QAbstractButton*>(QStringLiteral("button_PriorMonth"))->click();
            QCOMPARE(form->TitleLabel()->text(), QStringLiteral("2007-10-05"));
            QTest::keyClick(form, Qt::Key_F3);
        });
        QCOMPARE(PickDate(QStringLiteral("2008-11-05"), QString()), QStringLiteral("2007/10/05"));
        QCOMPARE(title, QStringLiteral("日期选择窗口"));
        QCOMPARE(label, QStringLiteral("2008-11-05"));
        ComponentTest::onNextModal([](QWidget* m) { QTest::keyClick(m, Qt::Key_F4); });
        QVERIFY(PickDate(QString(), QString()).isEmpty());
    }

    void choosers_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("height");
        QTest::newRow("two") << 2 << 89;
        QTest::newRow("three") << 3 << 113;
        QTest::newRow("four") << 4 << 129;
    }
    void choosers()
    {
        QFETCH(int, options);
        QFETCH(int, height);
        TSelectItemForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("打印选择窗口"));
        QStringList items;
        for (int i = 0; i < options; ++i)
            items << QStringLiteral("选项%1").arg(i + 1);
        form.RadioGroup()->setItems(items);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.RadioGroup()->height(), height);
        QCOMPARE(form.RadioGroup()->itemIndex(), 0);
        ComponentTest::shoot(&form, QStringLiteral("chooser-%1").arg(options));
        form.OkButton()->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.chosen(), 1);
    }

    void chooseFunctions()
    {
        ComponentTest::onNextModal([](QWidget* m) {
            QCOMPARE(m->windowTitle(), QStringLiteral("选择"));
            m->findChild<QRadioButton*>(QStringLiteral("RadioButton3"))->setChecked(true);
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QCOMPARE(ChooseOne4("a", "b", "c", "d", QStringLiteral("选择")), 3);

        ComponentTest::onNextModal([](QWidget* m) {
            QVERIFY(m->findChild<QRadioButton*>(QStringLiteral("RadioButton2"))->isChecked());
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QCOMPARE(ChooseOne2(2, "a", "b", "t"), 2);

        ComponentTest::onNextModal([](QWidget* m) {
            QVERIFY(m->windowFlags() & Qt::WindowStaysOnTopHint);
            m->findChild<QPushButton*>(QStringLiteral("Button_Close"))->click();
        });
        QCOMPARE(ChooseQuery2("a", "b", "t"), 0);

        ComponentTest::onNextModal(
            [](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click(); });
        QCOMPARE(ChooseQuery2Pre(2, "a", "b", "t"), 2);
    }

    void noOptions()
    {
        RecordingSink sink;
        TSelectItemForm form;
        form.show();
        form.OkButton()->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须选择一个选项")}));
        QVERIFY(form.isVisible());
    }

    void sortOrder()
    {
        const QStringList columns = {"ARCHIVE_ID",  "ARCHIVE_NAME", "DATE_FIELD1", "TEXT_FIELD1", "TEXT_FIELD2",
                                     "TEXT_FIELD3", "TEXT_FIELD4",  "TEXT_FIELD5", "TEXT_FIELD6"};
        const QStringList captions = {"档案编号", "档案名称", "归档日期", "a", "b", "c", "d", "e", "f"};
        QString orderBy;
        int windowHeight = 0, groupHeight = 0;
        QString first;
        ComponentTest::onNextModal([&](QWidget* m) {
            windowHeight = m->height();
            groupHeight = m->findChild<QWidget*>(QStringLiteral("RadioGroup"))->height();
            first = m->findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->text();
            ComponentTest::shoot(m, QStringLiteral("sortorder"));
            m->findChild<QRadioButton*>(QStringLiteral("RadioButton3"))->setChecked(true);
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QVERIFY(ChooseSortOrder(columns, captions, QStringLiteral("M"), &orderBy, QStringLiteral("排序")));
        QCOMPARE(first, QStringLiteral("按档案编号排序"));
        QCOMPARE(windowHeight, 252);
        QCOMPARE(groupHeight, 166);
        QCOMPARE(orderBy, QStringLiteral(" ORDER BY M.DATE_FIELD1"));

        ComponentTest::onNextModal(
            [](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click(); });
        QVERIFY(ChooseSortOrder({"ARCHIVE_ID"}, {"档案编号"}, QString(), &orderBy, QString()));
        QCOMPARE(orderBy, QStringLiteral(" ORDER BY ARCHIVE_ID"));

        ComponentTest::onNextModal(
            [](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_Close"))->click(); });
        QVERIFY(!ChooseSortOrder({"ARCHIVE_ID"}, {"档案编号"}, QString(), &orderBy, QString()));
        QVERIFY(orderBy.isEmpty());
    }

    void fitRect_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("panel");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("small, centred") << QSize(100, 50) << QSize(400, 300) << QRect(150, 110, 100, 50);
        QTest::newRow("twice as wide") << QSize(800, 100) << QSize(400, 300) << QRect(0, 110, 400, 50);
        QTest::newRow("too tall") << QSize(100, 600) << QSize(400, 300) << QRect(178, 0, 45, 270);
        QTest::newRow("both") << QSize(800, 1200) << QSize(400, 300) << QRect(110, 0, 180, 270);
        QTest::newRow("nearly fits") << QSize(390, 50) << QSize(400, 300) << QRect(5, 110, 390, 50);
    }
    void fitRect()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, panel);
        QFETCH(QRect, rect);
        QCOMPARE(TShowPictureForm::fitRect(picture, panel), rect);
    }

    void pictureViewer()
    {
        RecordingSink sink;
        QTemporaryDir dir;
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(QColor(30, 120, 200));
        const QString jpg = dir.filePath(QStringLiteral("a.stored"));
        QVERIFY(image.save(jpg, "JPEG"));
        TShowPictureForm form;
        QVERIFY(form.LoadPicture(jpg, QStringLiteral("照片.JpG")));
        QVERIFY(form.hasPicture());
        form.setWindowState(Qt::WindowNoState);
        form.resize(640, 480);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.fitPicture();
        const QPoint before = form.Image1()->pos();
        QCOMPARE(form.Image1()->size(), QSize(300, 200));
        ComponentTest::shoot(&form, QStringLiteral("picture"));
        // Dragging moves the picture by the mouse's way.
        const QPoint start = form.Image1()->geometry().center();
        QTest::mousePress(form.Label1(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(30, 20)), QPointF(start + QPoint(30, 20)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.Label1(), &move);
        QTest::mouseRelease(form.Label1(), Qt::LeftButton, {}, start + QPoint(30, 20));
        QCOMPARE(form.Image1()->pos(), before + QPoint(30, 20));
        QVERIFY(sink.texts().isEmpty());

        TShowPictureForm other;
        QVERIFY(other.LoadPicture(jpg, QStringLiteral("a.png")));
        QVERIFY(!other.hasPicture());
        QVERIFY(sink.texts().isEmpty());

        const QString broken = dir.filePath(QStringLiteral("broken"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.close();
        ShowPicture(QStringLiteral("照片"), broken, QStringLiteral("x.bmp"));
        QCOMPARE(sink.texts(),
                 QStringList({QStringLiteral("图形文件装载过程发生错误"), QStringLiteral("图片文件打开错误")}));
    }

    void titleEditor()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        // The main window names its detail query entry and tool button after the detail name.
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.show();
        QCOMPARE(AppContext::instance().DetailName, QStringLiteral("档案明细资料"));
        QAction* entry = main.entry(QStringLiteral("action_DetailQuery"));
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("档案明细资料查询管理"));
        auto* tool = main.findChild<QAction*>(QStringLiteral("tool_DetailQuery"));
        QVERIFY(tool);

        TSetTitleNameForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("标题编辑修改窗口"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.QnEdit1()->text(), QStringLiteral("档案明细资料"));
        QCOMPARE(form.QnEdit1()->maxLength(), 18);
        form.QnEdit1()->setText(QStringLiteral("  "));
        form.OkButton()->click();
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("必须输入标题")}));
        QVERIFY(form.isVisible());
        ComponentTest::commitText(form.QnEdit1(), QStringLiteral("卷内文件"));
        form.QnEdit1()->setText(QStringLiteral("卷内文件"));
        ComponentTest::shoot(&form, QStringLiteral("titleform"));
        form.OkButton()->click();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(ReadProgramName(1, 3, QStringLiteral("查询管理")), QStringLiteral("卷内文件"));
        QCOMPARE(AppContext::instance().DetailName, QStringLiteral("卷内文件"));
        QCOMPARE(entry->text(), QStringLiteral("卷内文件查询管理"));
        QCOMPARE(tool->toolTip(), QStringLiteral("卷内文件查询管理"));
    }

    void folderPicker()
    {
        RecordingSink sink;
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("备份/a")));
        const QString folder = QDir(dir.path()).filePath(QStringLiteral("备份"));
        TOpenDirDialog dialog;
        dialog.DialogType = TOpenDirDialog::Save;
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TDirOpenForm*>(m);
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("选择要存放的目录"));
            form->selectFolder(folder);
            QCOMPARE(form->Edit1()->text(), folder);
            ComponentTest::shoot(form, QStringLiteral("dirform"));
            form->OkButton()->click();
        });
        QVERIFY(dialog.Execute());
        QCOMPARE(dialog.FolderName(), folder + QLatin1Char('/'));

        // The second showing starts where the first ended; the root keeps its one "/".
        ComponentTest::onNextModal([&](QWidget* m) {
            auto* form = qobject_cast<TDirOpenForm*>(m);
            QCOMPARE(form->windowTitle(), QStringLiteral("选择要存放的目录"));
            QCOMPARE(form->Edit1()->text(), folder);
            form->selectFolder(QStringLiteral("/"));
            form->OkButton()->click();
        });
        QVERIFY(dialog.Execute());
        QCOMPARE(dialog.FolderName(), QStringLiteral("/"));

        dialog.DialogType = TOpenDirDialog::Open;
        ComponentTest::onNextModal([&](QWidget* m) {
            QCOMPARE(m->windowTitle(), QStringLiteral("选择要保存的目录"));
            m->findChild<QPushButton*>(QStringLiteral("button_close"))->click();
        });
        QVERIFY(!dialog.Execute());
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
