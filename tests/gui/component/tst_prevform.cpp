#include "ComponentTestSupport.h"

#include "TestSupport.h"
#include "archive/ArchiveTypePrint.h"
#include "common/AppContext.h"
#include "common/MessageSink.h"
#include "component/DesktopServices.h"
#include "component/PrevForm.h"
#include "db/Sql.h"
#include "query/QnQuery.h"
#include "sheet/SheetReader.h"

#include <QAbstractButton>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>

// The preview window: paging with its status text, zooming, keys, printing (through a stand-in for the
// system's print dialog, into a PDF), 导出PDF and 导到Excel; and the archive type list shown in it.
class TestPrevForm : public QObject
{
    Q_OBJECT

private:
    static std::shared_ptr<TListReport> report(int rows)
    {
        auto r = std::make_shared<TListReport>();
        r->setTitle(QStringLiteral("人员列表"));
        r->setOrganisation(QStringLiteral("测试档案馆"));
        r->setPrintDate(QStringLiteral("2009-03-25"));
        r->setColumns({{QStringLiteral("编号"), 30}, {QStringLiteral("姓名"), 60}});
        QList<QStringList> list;
        for (int i = 0; i < rows; ++i)
            list << QStringList{QString::number(i + 1), QStringLiteral("人员%1").arg(i + 1)};
        r->setRows(list);
        return r;
    }

    static QList<QStringList> readSheet(const QString& path)
    {
        SheetReader reader;
        QList<QStringList> rows;
        if (!reader.openGrid(path))
            return rows;
        QStringList cells;
        while (reader.readRow(&cells))
            rows << cells;
        return rows;
    }

    static QString pdfText(const QString& path)
    {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (tool.isEmpty())
            return {};
        QProcess p;
        p.start(tool, {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(20000);
        // pdftotext gives some characters as their Kangxi radicals (⽇ for 日); NFKC folds them back.
        // and a few simplified forms come as radical supplements (⻚ for 页).
        return QString::fromUtf8(p.readAllStandardOutput())
            .normalized(QString::NormalizationForm_KC)
            .replace(QChar(0x2EDA), QChar(0x9875))
            .remove(QLatin1Char(' '));
    }

    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        Startup::setUpApplication(*qApp);
        DesktopServices::setUrlOpener([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
    }

    void paging()
    {
        auto* prev = new TPrevForm;
        QPointer<TPrevForm> guard(prev);
        QCOMPARE(TPrevForm::current(), prev);
        QCOMPARE(prev->windowTitle(), QStringLiteral("打印预览窗口"));
        prev->setReport(report(80));
        prev->show();
        QVERIFY(QTest::qWaitForWindowExposed(prev));
        QVERIFY(prev->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(prev->OwnQRPre()->pageCount(), 3);
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页,第1页"));
        QVERIFY(!prev->button(QStringLiteral("Button_Excel"))->isVisible());
        QVERIFY(!prev->button(QStringLiteral("Button_Set"))->isVisible());
        QVERIFY(prev->button(QStringLiteral("Button_Pdf"))->isVisible());
        QCOMPARE(prev->button(QStringLiteral("PrintSB"))->text(), QStringLiteral("F11 打印"));

        prev->button(QStringLiteral("sbtnPre"))->click();
        QCOMPARE(prev->OwnQRPre()->pageNumber(), 1);
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页, 第1页"));
        prev->button(QStringLiteral("sbtnNext"))->click();
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页, 第2页"));
        prev->button(QStringLiteral("sbtnEnd"))->click();
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页, 第3页"));
        ComponentTest::shoot(prev->OwnQRPre()->widget(), QStringLiteral("preview-page3"));
        prev->button(QStringLiteral("sbtnNext"))->click();
        QCOMPARE(prev->OwnQRPre()->pageNumber(), 3);
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页, 第3页"));
        prev->button(QStringLiteral("sbtnFirst"))->click();
        QCOMPARE(prev->statusText(), QStringLiteral("总共3页, 第1页"));

        // Zoom: 1:1, the whole page, and one percent at a time from the popup's keys.
        prev->button(QStringLiteral("sbtn100"))->click();
        QCOMPARE(prev->OwnQRPre()->zoom(), 100);
        QTest::keyClick(prev->OwnQRPre(), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(prev->OwnQRPre()->zoom(), 101);
        QTest::keyClick(prev->OwnQRPre(), Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(prev->OwnQRPre(), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(prev->OwnQRPre()->zoom(), 99);
        prev->button(QStringLiteral("sbtnAll"))->click();
        const QSize page = prev->OwnQRPre()->widget()->size();
        QVERIFY(page.height() <= prev->OwnQRPre()->viewport()->height());
        QVERIFY(page.width() <= prev->OwnQRPre()->viewport()->width());
        QCoreApplication::processEvents();
        ComponentTest::shoot(prev, QStringLiteral("preview-window"));

        QStringList menu;
        for (QAction* a : prev->findChild<QMenu*>(QStringLiteral("PopupMenu1"))->actions())
            menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(menu, QStringList({"打印机设定", "-", "放大", "缩小"}));

        // Esc closes; the window frees itself.
        QTest::keyClick(prev->OwnQRPre(), Qt::Key_Escape);
        QTRY_VERIFY(guard.isNull());
        QVERIFY(!TPrevForm::current());
    }

    void printing()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("printed.pdf"));
        int offered = 0;
        TPrevForm::setPrintDialogHook([&](QPrinter& printer, int pages) {
            offered = pages;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(out);
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(2, 3);
            return true;
        });
        TPrevForm prev;
        prev.setAttribute(Qt::WA_DeleteOnClose, false);
        prev.setReport(report(80));
        prev.show();
        QTest::keyClick(prev.OwnQRPre(), Qt::Key_F11);
        TPrevForm::setPrintDialogHook(nullptr);
        QCOMPARE(offered, 3);
        QVERIFY(QFileInfo::exists(out));
        const QString text = pdfText(out);
        if (!text.isEmpty()) {
            QVERIFY(text.contains(QStringLiteral("第2页共3页")));
            QVERIFY(text.contains(QStringLiteral("第3页共3页")));
            QVERIFY(!text.contains(QStringLiteral("第1页共3页")));
        }
    }

    void pdfExport()
    {
        RecordingSink sink;
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("人员.pdf"));
        TPrevForm prev;
        prev.setAttribute(Qt::WA_DeleteOnClose, false);
        prev.setReport(report(40));
        DesktopServices::queueDialogAnswer(out);
        prev.button(QStringLiteral("Button_Pdf"))->click();
        QVERIFY(QFileInfo::exists(out));
        QVERIFY(sink.texts().isEmpty());
        const QString text = pdfText(out);
        if (!text.isEmpty()) {
            QVERIFY(text.contains(QStringLiteral("人员列表")));
            QVERIFY(text.contains(QStringLiteral("第2页共2页")));
        }
        // Cancelled: nothing written.
        DesktopServices::queueDialogAnswer(QString());
        prev.button(QStringLiteral("Button_Pdf"))->click();
        QVERIFY(sink.texts().isEmpty());
        // A folder that cannot be written: a message, and no success.
        DesktopServices::queueDialogAnswer(QStringLiteral("/proc/none/x.pdf"));
        prev.button(QStringLiteral("Button_Pdf"))->click();
        QCOMPARE(sink.texts().size(), 1);
        QVERIFY(sink.texts().first().startsWith(QStringLiteral("PDF文件保存过程发生错误")));
    }

    void excel_data()
    {
        QTest::addColumn<bool>("id");
        QTest::newRow("plain") << false;
        QTest::newRow("row numbers") << true;
    }
    void excel()
    {
        QFETCH(bool, id);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        AppContext::instance().TempDir = env.path(QStringLiteral("temp"));
        QDir().mkpath(AppContext::instance().TempDir);
        RecordingSink sink;
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_ID, USE_NAME, NOTE) VALUES "
                                     "('001', '张三', '123456789'), ('002', 'O''Neil', '12345.6789'), "
                                     "('003', '李四', '12345678901')"));
        TQnQuery query;
        query.setSql(QStringLiteral("SELECT * FROM SYS_USER_TABLE ORDER BY USE_ID"));
        QVERIFY(query.OpenQuery());
        TPrevForm prev;
        prev.setAttribute(Qt::WA_DeleteOnClose, false);
        prev.setReport(report(3));
        prev.setRowNumbers(id);
        prev.QnExcel()->setDataSet(&query);
        prev.QnExcel()->setReportName(QStringLiteral("人员列表"));
        prev.excelColumns() << TExcelFieldName{QStringLiteral("USE_ID"), QString(), QStringLiteral("编号")}
                            << TExcelFieldName{QStringLiteral("USE_NAME"), QString(), QStringLiteral("姓名")}
                            << TExcelFieldName{QStringLiteral("NOTE"), QString(), QStringLiteral("备注")};
        prev.showExcelButton(true);
        prev.show();
        QVERIFY(prev.button(QStringLiteral("Button_Excel"))->isVisible());
        m_opened.clear();
        prev.button(QStringLiteral("Button_Excel"))->click();
        QVERIFY2(sink.texts().isEmpty(), qPrintable(sink.texts().join('|')));
        const QString file = prev.QnExcel()->lastFile();
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(file.startsWith(AppContext::instance().TempDir));
        QCOMPARE(m_opened, QList<QUrl>({QUrl::fromLocalFile(file)}));
        const QList<QStringList> rows = readSheet(file);
        QCOMPARE(rows.size(), 4);
        const int s = id ? 1 : 0;
        if (id) {
            QCOMPARE(rows.at(0).at(0), QStringLiteral("序号"));
            QCOMPARE(rows.at(3).at(0), QStringLiteral("3"));
        }
        QCOMPARE(rows.at(0).mid(s, 3), QStringList({"编号", "姓名", "备注"}));
        QCOMPARE(rows.at(2).mid(s, 3), QStringList({"002", "O'Neil", "12345.6789"}));
        QCOMPARE(rows.at(3).at(s + 2), QStringLiteral("12345678901"));
        AppContext::instance().TempDir.clear();
    }

    void excelRefusals()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        TPrevForm prev;
        prev.setAttribute(Qt::WA_DeleteOnClose, false);
        prev.excelColumns() << TExcelFieldName{QStringLiteral("USE_ID"), QString(), QStringLiteral("编号")};
        m_opened.clear();
        prev.exportExcel();
        QCOMPARE(sink.last(), QStringLiteral("没有数据源"));
        TQnQuery query;
        query.setSql(QStringLiteral("SELECT * FROM SYS_USER_TABLE"));
        QVERIFY(query.OpenQuery());
        prev.QnExcel()->setDataSet(&query);
        prev.exportExcel();
        QCOMPARE(sink.last(), QStringLiteral("没有报表名称"));
        prev.QnExcel()->setReportName(QStringLiteral("人员"));
        prev.exportExcel();
        QCOMPARE(sink.last(), QStringLiteral("没有数据"));
        QVERIFY(m_opened.isEmpty());
        QVERIFY(prev.QnExcel()->lastFile().isEmpty());

        // No program opens it: the user learns where it is.
        TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_ID, USE_NAME) VALUES ('001', '张三')"));
        QVERIFY(query.Refresh());
        DesktopServices::setUrlOpener([](const QUrl&) { return false; });
        prev.exportExcel();
        DesktopServices::setUrlOpener([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
        QVERIFY(!prev.QnExcel()->lastFile().isEmpty());
        QVERIFY(sink.last().contains(QDir::toNativeSeparators(prev.QnExcel()->lastFile())));
    }

    // Whether the desktop has a program for workbooks: the desktop's opener starts even when nothing can
    // open the file, so the export asks the installed desktop entries first and otherwise says where it wrote.
    void spreadsheetProgram()
    {
        QTemporaryDir dir;
        const QByteArray saved[] = {qgetenv("XDG_DATA_HOME"), qgetenv("XDG_DATA_DIRS"), qgetenv("XDG_CONFIG_HOME"),
                                    qgetenv("XDG_CONFIG_DIRS")};
        const char* names[] = {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"};
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("home")).toUtf8());
        qputenv("XDG_DATA_DIRS", dir.filePath(QStringLiteral("system")).toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir.filePath(QStringLiteral("config-system")).toUtf8());
        const QString apps = dir.filePath(QStringLiteral("system/applications"));
        QDir().mkpath(apps);
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        auto write = [](const QString& path, const QString& text) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text.toUtf8());
        };
        const QString book = dir.filePath(QStringLiteral("人员列表.xlsx"));
        const QString sheetType = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

        // Only programs for other types.
        write(apps + QStringLiteral("/viewer.desktop"),
              QStringLiteral("[Desktop Entry]\nType=Application\nExec=viewer %f\nMimeType=image/png;text/plain;\n"));
        QVERIFY(!DesktopServices::hasApplicationFor(book));

        // The export then writes the workbook and says where, without starting anything.
        {
            TestEnv env;
            QVERIFY2(env.ok(), qPrintable(env.error()));
            AppContext::instance().TempDir = env.path(QString());
            TestEnv::exec(QStringLiteral("INSERT INTO SYS_USER_TABLE(USE_ID, USE_NAME) VALUES ('001', '张三')"));
            TQnQuery query;
            query.setSql(QStringLiteral("SELECT * FROM SYS_USER_TABLE"));
            QVERIFY(query.OpenQuery());
            TQnExcel excel;
            excel.setDataSet(&query);
            excel.setReportName(QStringLiteral("人员列表"));
            RecordingSink sink;
            DesktopServices::setUrlOpener(nullptr);
            excel.ExportToExcel({TExcelFieldName{QStringLiteral("USE_NAME"), QString(), QStringLiteral("姓名")}});
            DesktopServices::setUrlOpener([this](const QUrl& url) {
                m_opened << url;
                return true;
            });
            QVERIFY(QFileInfo::exists(excel.lastFile()));
            QCOMPARE(sink.texts().size(), 1);
            QVERIFY(sink.last().endsWith(QDir::toNativeSeparators(excel.lastFile())));
            AppContext::instance().TempDir.clear();
        }

        // A hidden entry does not count; a spreadsheet program does.
        write(apps + QStringLiteral("/old-calc.desktop"),
              QStringLiteral("[Desktop Entry]\nType=Application\nHidden=true\nMimeType=%1;\n").arg(sheetType));
        QVERIFY(!DesktopServices::hasApplicationFor(book));
        write(apps + QStringLiteral("/calc.desktop"),
              QStringLiteral("[Desktop Entry]\nType=Application\nExec=calc %U\nMimeType=application/x-foo;%1;\n")
                  .arg(sheetType));
        QVERIFY(DesktopServices::hasApplicationFor(book));
        QVERIFY(!DesktopServices::hasApplicationFor(dir.filePath(QStringLiteral("a.pdf"))));

        // An association the user made counts when its program is installed.
        QFile::remove(apps + QStringLiteral("/calc.desktop"));
        write(dir.filePath(QStringLiteral("config/mimeapps.list")),
              QStringLiteral("[Default Applications]\n%1=gone.desktop\n").arg(sheetType));
        QVERIFY(!DesktopServices::hasApplicationFor(book));
        write(dir.filePath(QStringLiteral("config/mimeapps.list")),
              QStringLiteral("[Added Associations]\n%1=gone.desktop;viewer.desktop;\n").arg(sheetType));
        QVERIFY(DesktopServices::hasApplicationFor(book));

        for (int i = 0; i < 4; ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
    }

    void archiveTypeList_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("first");
        QTest::newRow("outline numbers") << 1 << "1. 文书档案"; // 40 siblings: "1." lines up with "10."
        QTest::newRow("row numbers") << 2 << "文书档案";
    }
    void archiveTypeList()
    {
        QFETCH(int, choice);
        QFETCH(QString, first);
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        AppContext::instance().CompanyName = QStringLiteral("某某市档案馆");
        AppContext::instance().LoginDate = QStringLiteral("2009-03-25");
        for (int i = 1; i <= 12; ++i)
            TestEnv::exec(
                QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID, PRIOR_ID, ORDER_ID, "
                               "ARCHIVE_TYPE_NAME, NOTE) VALUES (%1, '001', %2, %3, %4)")
                    .arg(Sql::quote(QStringLiteral("001%1").arg(i, 3, 10, QLatin1Char('0'))))
                    .arg(i)
                    .arg(Sql::quote(QStringLiteral("子类%1").arg(i)), Sql::quote(QStringLiteral("备注%1").arg(i))));
        TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID, PRIOR_ID, ORDER_ID, "
                                     "ARCHIVE_TYPE_NAME, NOTE) VALUES ('001', 'G001', 1, '文书档案', '行政')"));
        for (int i = 2; i <= 40; ++i)
            TestEnv::exec(QStringLiteral("INSERT INTO QN_ARCHIVE_TYPE_TABLE(ARCHIVE_TYPE_ID, PRIOR_ID, ORDER_ID, "
                                         "ARCHIVE_TYPE_NAME) VALUES (%1, 'G001', %2, %3)")
                              .arg(Sql::quote(QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'))))
                              .arg(i)
                              .arg(Sql::quote(QStringLiteral("类别%1").arg(i))));

        QString title;
        QStringList options;
        ComponentTest::onNextModal([&](QWidget* m) {
            title = m->windowTitle();
            for (auto* b : m->findChildren<QRadioButton*>())
                options << b->text();
            m->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(choice))->setChecked(true);
            m->findChild<QPushButton*>(QStringLiteral("Button_ok"))->click();
        });
        QPointer<TPrevForm> prev = PrintArchiveTypeList(nullptr, QStringLiteral("G001"));
        QVERIFY(prev);
        QCOMPARE(title, QStringLiteral("打印选择窗口"));
        QCOMPARE(options, QStringList({"不打印序号", "打印序号"}));
        QVERIFY(prev->button(QStringLiteral("Button_Excel"))->isVisible());
        QCOMPARE(prev->OwnQRPre()->pageCount(), 2); // 52 lines, 35 a page
        QCOMPARE(prev->statusText(), QStringLiteral("总共2页,第1页"));
        prev->button(QStringLiteral("sbtn100"))->click();
        ComponentTest::shoot(prev->OwnQRPre()->widget(), QStringLiteral("typelist-%1").arg(choice));

        // The export: the list's own lines under "档案类别" and "备注".
        AppContext::instance().TempDir = env.path(QString());
        m_opened.clear();
        prev->button(QStringLiteral("Button_Excel"))->click();
        QVERIFY2(sink.texts().isEmpty(), qPrintable(sink.texts().join('|')));
        const QList<QStringList> rows = readSheet(prev->QnExcel()->lastFile());
        const int s = choice == 2 ? 1 : 0;
        QCOMPARE(rows.size(), 53);
        QCOMPARE(rows.at(0).mid(s), QStringList({"档案类别", "备注"}));
        QCOMPARE(rows.at(1).at(s), first);
        QCOMPARE(rows.at(1).at(s + 1), QStringLiteral("行政"));
        if (choice == 1)
            QCOMPARE(rows.at(2).at(0), QStringLiteral("1. 子类1")); // the export trims the indent
        // Nothing reached the table.
        QCOMPARE(TestEnv::value(QStringLiteral("SELECT COUNT(*) FROM QN_ARCHIVE_NODE_NAME_TABLE")),
                 QStringLiteral("0"));

        // The page as a PDF, for a person to look at.
        const QString pdf = QDir(qEnvironmentVariable("VUZAZO_SHOTS", QDir::tempPath()))
                                .filePath(QStringLiteral("typelist-%1.pdf").arg(choice));
        DesktopServices::queueDialogAnswer(pdf);
        prev->button(QStringLiteral("Button_Pdf"))->click();
        const QString text = pdfText(pdf);
        if (!text.isEmpty()) {
            QVERIFY(text.contains(QStringLiteral("档案类别列表")));
            QVERIFY(text.contains(QStringLiteral("某某市档案馆")));
            QVERIFY(text.contains(QStringLiteral("打印日期:2009-03-25")));
            QVERIFY(text.contains(QStringLiteral("第1页共2页")));
        }
        prev->close();
        QTRY_VERIFY(prev.isNull());
        AppContext::instance().TempDir.clear();
    }

    void emptyTypeList()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        RecordingSink sink;
        QVERIFY(!PreviewArchiveTypeList(nullptr, QStringLiteral("G001"), true));
        QCOMPARE(sink.texts(), QStringList({QStringLiteral("没有数据")}));
        ComponentTest::onNextModal(
            [](QWidget* m) { m->findChild<QPushButton*>(QStringLiteral("Button_Close"))->click(); });
        QVERIFY(!PrintArchiveTypeList(nullptr, QStringLiteral("G001")));
    }
};

QTEST_MAIN(TestPrevForm)
#include "tst_prevform.moc"
