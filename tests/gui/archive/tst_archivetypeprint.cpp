#include "TestSupport.h"

#include "archive/ArchiveTypeForm.h"
#include "archive/PickTypeCondition.h"
#include "archive/SelectArchivesTypeForm.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "component/PrevForm.h"
#include "component/QnMain.h"
#include "component/QnTreeView.h"
#include "db/FunLib.h"
#include "db/Sql.h"
#include "shell/MainForm.h"
#include "shell/Startup.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The type list printed as a user reaches it (main menu, archive type window, 打印F11, the choice, the
// preview), and the type choice that searches use.
class TestArchiveTypePrint : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<RecordingSink> m_sink;

    static void type(const QString& key, const QString& parent, const QString& name, int order)
    {
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE (ARCHIVE_TYPE_ID, PRIOR_ID, ARCHIVE_TYPE_NAME, "
                                     "ORDER_ID, NOTE) VALUES (%1, %2, %3, %4, '备注')")
                          .arg(Sql::quote(key), Sql::quote(parent), Sql::quote(name))
                          .arg(order));
    }
    static void grant(const QString& print)
    {
        TestEnv::exec(
            QStringLiteral("INSERT INTO SYS_RIGHT_TABLE (USE_ID, COMPOSE_ID, PROGRAM_ID, ADD_RIGHT, EDIT_RIGHT, "
                           "DELETE_RIGHT, BROWSE_RIGHT, PRINT_RIGHT, VERIFY_RIGHT, CURRENCY_RIGHT) VALUES "
                           "('001', 1, 1, '是', '是', '是', '是', %1, '否', '否')")
                .arg(Sql::quote(print)));
    }
    // A picture for a person to look at, when VUZAZO_SHOTS names a folder.
    static void shoot(QWidget* w, const QString& name)
    {
        const QString dir = qEnvironmentVariable("VUZAZO_SHOTS");
        if (!dir.isEmpty()) {
            QApplication::processEvents();
            w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        }
    }
    // Runs action on the next modal window from within its own loop (gives up after a few seconds).
    static void onNextModal(std::function<void(QWidget*)> action)
    {
        QWidget* before = QApplication::activeModalWidget();
        auto* timer = new QTimer;
        auto* waited = new int(0);
        QObject::connect(timer, &QTimer::timeout, [=] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal != before && modal->isVisible()) {
                timer->stop();
                timer->deleteLater();
                delete waited;
                action(modal);
            } else if (++*waited > 500) {
                timer->stop();
                timer->deleteLater();
                delete waited;
                if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    d->reject();
            }
        });
        timer->start(10);
    }

private slots:
    void initTestCase() { Startup::setUpApplication(*qApp); }
    void init()
    {
        Clock::setFixed(QDateTime(QDate(2009, 3, 25), QTime(9, 30)));
        m_env = std::make_unique<TestEnv>();
        QVERIFY2(m_env->ok(), qPrintable(m_env->error()));
        m_sink = std::make_unique<RecordingSink>();
        type("001", "G001", "文书档案", 1);
        type("001001", "001", "永久", 1);
        type("001002", "001", "长期", 2);
        type("002", "G001", "会计档案", 2);
    }
    void cleanup()
    {
        m_sink.reset();
        m_env.reset();
        Clock::clearFixed();
    }

    void printFromTheMainMenu_data()
    {
        QTest::addColumn<int>("choice");
        QTest::newRow("outline numbers") << 1;
        QTest::newRow("row numbers") << 2;
    }
    void printFromTheMainMenu()
    {
        QFETCH(int, choice);
        grant(QStringLiteral("是"));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.show();
        main.entry(QStringLiteral("action_ArchiveType"))->trigger();
        auto* form = qobject_cast<TArchiveTypeForm*>(main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm")));
        QVERIFY(form);
        QTRY_VERIFY(form->isVisible());
        // From the type 文书档案: its own row first, then its children indented.
        TQnTreeView* tree = form->QnTreeView();
        tree->root()->setExpanded(true);
        const auto nodes = tree->nodesWithKey(QStringLiteral("001"));
        QVERIFY(!nodes.isEmpty());
        tree->setCurrentItem(nodes.first());
        QVERIFY(form->button_print()->isEnabled());
        QCOMPARE(form->button_print()->text(), QStringLiteral("打印F11"));
        shoot(form, QStringLiteral("archivetypeform"));

        QString title;
        onNextModal([&](QWidget* m) {
            title = m->windowTitle();
            shoot(m, QStringLiteral("typelist-choice"));
            m->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(choice))->setChecked(true);
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QTest::keyClick(form, Qt::Key_F11);
        QCOMPARE(title, QStringLiteral("打印选择窗口"));
        QPointer<TPrevForm> prev = TPrevForm::current();
        QVERIFY(prev);
        QCOMPARE(prev->windowTitle(), QStringLiteral("打印预览窗口"));
        QCOMPARE(prev->statusText(), QStringLiteral("总共1页,第1页"));
        QVERIFY(prev->button(QStringLiteral("Button_Excel"))->isVisible());
        QVERIFY(prev->button(QStringLiteral("Button_Pdf"))->isVisible());
        QCOMPARE(prev->rowNumbers(), choice == 2);
        QVERIFY(m_sink->texts().isEmpty());
        shoot(prev, QStringLiteral("typelist-preview-%1").arg(choice));
        prev->close();
        QTRY_VERIFY(prev.isNull());

        // Closing the choice prints nothing.
        onNextModal([](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_Close"))->click(); });
        QTest::keyClick(form, Qt::Key_F11);
        QVERIFY(!TPrevForm::current());
        form->close();
        QTRY_COMPARE(main.QnMain()->openWindowCount(), 0);
    }

    void noPrintRight()
    {
        grant(QStringLiteral("否"));
        TMainForm main;
        main.setFirstShowingEnabled(false);
        main.show();
        main.entry(QStringLiteral("action_ArchiveType"))->trigger();
        auto* form = qobject_cast<TArchiveTypeForm*>(main.QnMain()->openWindow(QStringLiteral("ArchiveTypeForm")));
        QVERIFY(form);
        QVERIFY(!form->button_print()->isEnabled());
        form->close();
        QTRY_COMPARE(main.QnMain()->openWindowCount(), 0);
    }

    void pickTypeCondition_data()
    {
        QTest::addColumn<QString>("alias");
        QTest::addColumn<QString>("rows");
        QTest::newRow("no alias") << QString() << "A1,A2";
        QTest::newRow("alias") << QStringLiteral("M") << "A1,A2";
    }
    void pickTypeCondition()
    {
        QFETCH(QString, alias);
        QFETCH(QString, rows);
        TestEnv::exec("INSERT INTO QN_ARCHIVE_MASTER_TABLE(ARCHIVE_RECORD_ID, ARCHIVE_TYPE_ID) VALUES "
                      "('A1', '001'), ('A2', '001002'), ('A3', '002')");
        TSelectArchivesTypeForm window;
        QString name = QStringLiteral("before");
        QString condition = QStringLiteral("before");
        // Closed without a choice: true, and nothing handed back.
        onNextModal([](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_Close"))->click(); });
        QVERIFY(PickTypeCondition(&window, &name, &condition, alias));
        QCOMPARE(name, QStringLiteral("before"));

        onNextModal([](QWidget* m) {
            auto* tree = m->findChild<TQnTreeView*>();
            tree->root()->setExpanded(true);
            tree->setCurrentItem(tree->nodesWithKey(QStringLiteral("001")).first());
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QVERIFY(!PickTypeCondition(&window, &name, &condition, alias));
        QCOMPARE(name, QStringLiteral("文书档案"));
        QVERIFY(condition.contains(alias.isEmpty() ? QStringLiteral("ARCHIVE_TYPE_ID") : QStringLiteral("M.")));
        auto q = OpenSql(QStringLiteral("SELECT ARCHIVE_RECORD_ID FROM QN_ARCHIVE_MASTER_TABLE ") +
                         (alias.isEmpty() ? QString() : alias) + QStringLiteral(" WHERE") + condition +
                         QStringLiteral(" ORDER BY ARCHIVE_RECORD_ID"));
        QVERIFY(q);
        QStringList got;
        while (q->next())
            got << q->value(0).toString();
        QCOMPARE(got.join(','), rows);
    }
};

QTEST_MAIN(TestArchiveTypePrint)
#include "tst_archivetypeprint.moc"
