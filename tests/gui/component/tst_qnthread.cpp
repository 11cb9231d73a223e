#include "component/QnThread.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The progress window of long loops: one window however often it is shown, the stop flag polled by the loop,
// and no other window of the program taking input while it is up.
class TestQnThread : public QObject
{
    Q_OBJECT

private slots:
    void stoppedWithoutWindow()
    {
        TQnThread thread;
        QVERIFY(!thread.Stopped());
        QVERIFY(!thread.Active());
    }

    void showTwiceShowsOne()
    {
        TQnThread thread;
        thread.setCaption(QStringLiteral("正在备份数据....."));
        thread.ShowWindow();
        thread.ShowWindow();
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(),
                               [](QWidget* w) { return qobject_cast<TThreadForm*>(w) && w->isVisible(); }),
                 1);
        QVERIFY(thread.Active());
        QCOMPARE(thread.form()->windowTitle(), QStringLiteral("正在备份数据....."));
        QVERIFY(QApplication::overrideCursor());
        thread.HideWindow();
        QVERIFY(!thread.Active());
        QVERIFY(!thread.form());
        QVERIFY(!QApplication::overrideCursor());
    }

    void barsAndHeights_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::addColumn<int>("height");
        QTest::newRow("with stop") << true << 194;
        QTest::newRow("without stop") << false << 158;
    }
    void barsAndHeights()
    {
        QFETCH(bool, stop);
        QFETCH(int, height);
        TQnThread thread;
        thread.setShowStopButton(stop);
        thread.SetMax(40); // remembered before the window exists
        thread.setProgressBar1(true);
        thread.setKind(crDelete);
        thread.ShowWindow();
        TThreadForm* form = thread.form();
        QVERIFY(form);
        QCOMPARE(form->width(), 355);
        QCOMPARE(form->height(), height);
        QCOMPARE(form->ProgressBar1()->maximum(), 40);
        QVERIFY(form->ProgressBar1()->isVisible());
        QVERIFY(!form->ProgressBar2()->isVisible());
        QVERIFY(!form->ProgressBar3()->isVisible());
        QVERIFY(form->Animate()->isRunning());
        QCOMPARE(form->Animate()->kind(), crDelete);
        // Without the stop button it lies outside the visible area: the user cannot stop the loop.
        const bool reachable = form->StopButton()->geometry().bottom() < form->height();
        QCOMPARE(reachable, stop);
        thread.SetPosition(12);
        QCOMPARE(form->ProgressBar1()->value(), 12);
        thread.SetMax(10);
        QCOMPARE(form->ProgressBar1()->value(), 0);
        thread.HideWindow();
    }

    // The caption stands over the highest bar shown, the bars stack down to 停止, nothing overlaps.
    void barsStackUnderTheCaption_data()
    {
        QTest::addColumn<int>("bars");
        QTest::newRow("one bar") << 1;
        QTest::newRow("two bars") << 2;
        QTest::newRow("three bars") << 3;
    }
    void barsStackUnderTheCaption()
    {
        QFETCH(int, bars);
        TQnThread thread;
        thread.setShowStopButton(true);
        thread.setCaption(QStringLiteral("正在备份数据....."));
        for (int b = 1; b <= bars; ++b)
            thread.setBarShown(b, true);
        thread.ShowWindow();
        TThreadForm* form = thread.form();
        QCOMPARE(form->CaptionLabel()->text(), QStringLiteral("正在备份数据....."));
        QRect above = form->CaptionLabel()->geometry();
        QVERIFY(form->Animate()->geometry().bottom() < above.top());
        for (int b = bars; b >= 1; --b) {
            const QRect r = form->bar(b)->geometry();
            QVERIFY2(above.bottom() < r.top(), qPrintable(QString::number(b)));
            above = r;
        }
        QVERIFY(above.bottom() < form->StopButton()->geometry().top());
        if (qEnvironmentVariableIsSet("VUZAZO_GRAB_DIR")) {
            thread.SetPosition(40);
            form->grab().save(qEnvironmentVariable("VUZAZO_GRAB_DIR") + QStringLiteral("/thread-%1.png").arg(bars));
        }
        thread.HideWindow();
    }

    void stopPressedEndsLoop()
    {
        TQnThread thread;
        thread.setShowStopButton(true);
        thread.setCaption(QStringLiteral("正在删除....."));
        thread.SetMax(1000);
        thread.setProgressBar1(true);
        thread.ShowWindow();
        int done = 0;
        for (int i = 0; i < 1000; ++i) {
            if (thread.Stopped())
                break;
            thread.SetPosition(i + 1);
            ++done;
            if (i == 5)
                QTest::mouseClick(thread.form()->StopButton(), Qt::LeftButton);
        }
        QCOMPARE(done, 6);
        thread.HideWindow();
        // Showing again resets the flag.
        thread.ShowWindow();
        QVERIFY(!thread.Stopped());
        thread.HideWindow();
    }

    void otherWindowsTakeNoInput()
    {
        QWidget other;
        auto* button = new QPushButton(QStringLiteral("关闭F12"), &other);
        int clicks = 0;
        connect(button, &QPushButton::clicked, [&] { ++clicks; });
        button->setGeometry(10, 10, 100, 30);
        other.resize(200, 60);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        // Clicks go through the window system, where a modal window blocks the others.
        const auto click = [&] { QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 25)); };
        click();
        QCOMPARE(clicks, 1);

        TQnThread thread;
        thread.setShowStopButton(true);
        thread.ShowWindow();
        QCOMPARE(QApplication::activeModalWidget(), thread.form());
        click();
        QCOMPARE(clicks, 1);
        // Neither the user nor Escape closes it.
        thread.form()->close();
        QVERIFY(thread.form()->isVisible());
        QTest::keyClick(thread.form(), Qt::Key_Escape);
        QVERIFY(thread.form()->isVisible());
        thread.HideWindow();
        click();
        QCOMPARE(clicks, 2);
    }
};

QTEST_MAIN(TestQnThread)
#include "tst_qnthread.moc"
