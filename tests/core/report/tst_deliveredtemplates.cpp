#include "TestSupport.h"

#include "common/MessageSink.h"
#include "report/DeliveredTemplates.h"
#include "report/ReportRowSource.h"
#include "report/ReportRunTime.h"
#include "report/ReportText.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TPrintField field(const char* name, const char* caption, const char* ds, bool single, bool rows)
{
    return {QString::fromLatin1(name), QString::fromUtf8(caption), QString::fromLatin1(ds), single, rows};
}

// The archive browser's list with the default field configuration.
TPrintFieldsArray archiveFields(bool rows)
{
    TPrintFieldsArray f;
    for (auto [n, c] : {std::pair{"ARCHIVE_TYPE_NAME", "档案类别"},
                        {"ARCHIVE_ID", "档案编号"},
                        {"ARCHIVE_NAME", "档案名称"},
                        {"DATE_FIELD1", "档案日期"},
                        {"TEXT_FIELD1", "保密等级"},
                        {"TEXT_FIELD2", "存放位置"},
                        {"TEXT_NOTE", "档案备注"},
                        {"CREATE_NAME", "建档人员"},
                        {"CREATE_DATE", "建档日期"},
                        {"EDIT_NAME", "修改人员"},
                        {"EDIT_DATE", "修改日期"}})
        f << field(n, c, "M", true, rows);
    return f;
}

TPrintFieldsArray detailFields()
{
    return {field("DETAIL_ARCHIVE_ID", "资料编号", "D", false, true),
            field("DETAIL_ARCHIVE_NAME", "资料名称", "D", false, true),
            field("DETAIL_TEXT_NOTE", "备注", "D", false, true)};
}

TPrintFieldsArray lendFields()
{
    TPrintFieldsArray f;
    for (auto [n, c] : {std::pair{"LEND_ID", "借阅编号"},
                        {"LEND_DATE", "借阅日期"},
                        {"LEND_NAME", "借阅人员"},
                        {"RETURN_LIMIT_DATE", "归还期限"},
                        {"RETURN_DATE", "归还日期"},
                        {"NOTE", "借阅备注"},
                        {"CREATE_NAME", "建档人员"},
                        {"CREATE_DATE", "建档日期"},
                        {"EDIT_NAME", "修改人员"},
                        {"EDIT_DATE", "修改日期"}})
        f << field(n, c, "D", true, true);
    return f;
}

TPrintFieldsArray lendQueryFields()
{
    TPrintFieldsArray f;
    for (auto [n, c] : {std::pair{"LEND_ID", "借阅编号"},
                        {"LEND_DATE", "借阅日期"},
                        {"LEND_NAME", "借阅人员"},
                        {"ARCHIVE_ID", "档案编号"},
                        {"ARCHIVE_NAME", "档案名称"},
                        {"RETURN_LIMIT_DATE", "归还期限"},
                        {"RETURN_DATE", "归还日期"},
                        {"NOTE", "备注"},
                        {"CREATE_NAME", "建档人员"},
                        {"CREATE_DATE", "建档日期"},
                        {"EDIT_NAME", "修改人员"},
                        {"EDIT_DATE", "修改日期"}})
        f << field(n, c, "M", true, true);
    return f;
}

// The print field list each screen hands the chooser for its group.
TPrintFieldsArray fieldsFor(const QString& id)
{
    if (id == QStringLiteral("200700000007"))
        return archiveFields(true);
    if (id == QStringLiteral("200700000008"))
        return detailFields();
    if (id == QStringLiteral("200700000009"))
        return archiveFields(false) + detailFields();
    if (id == QStringLiteral("200700000010"))
        return archiveFields(false) + lendFields();
    return lendQueryFields();
}

} // namespace

class TestDeliveredTemplates : public QObject
{
    Q_OBJECT

private slots:
    void templates_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("type");
        for (const auto& e : DeliveredTemplates::entries())
            QTest::newRow(qPrintable(e.printName)) << e.printId << e.printIndex << e.printType;
    }

    void templates()
    {
        QFETCH(QString, id);
        QFETCH(QString, group);
        QFETCH(QString, type);
        // The shipped stream is the design in the code (regenerate with "vuzazo-cli template delivered").
        const QByteArray shipped = readFile(QStringLiteral(":/templates/") + id);
        QVERIFY(!shipped.isEmpty());
        TReportControl loaded;
        QCOMPARE(loaded.read(shipped), TReportControl::ReadResult::Ok);
        TReportControl built;
        QVERIFY(DeliveredTemplates::build(id, built));
        QCOMPARE(loaded.saveToBytes(), built.saveToBytes());
        QVERIFY(loaded.lineCount() > 3);

        // Every field binding finds its field in the list the screen offers.
        TReportRunTime rt;
        rt.setPrintFields(fieldsFor(id));
        QVERIFY(rt.loadTemplate(shipped));
        bool rows = false;
        const TReportControl& t = rt.templateControl();
        for (int li = 0; li < t.lineCount(); ++li)
            for (int ci = 0; ci < t.line(li)->cellCount(); ++ci) {
                const QString text = t.line(li)->cell(ci)->text();
                QVERIFY2(!text.startsWith(QLatin1Char('{')) && !text.startsWith(QLatin1Char('[')) &&
                             !text.startsWith(QLatin1Char('<')),
                         qPrintable(text));
                rows = rows || text.startsWith(QLatin1Char('#'));
            }
        QVERIFY(rows);
        QCOMPARE(type == QStringLiteral("MD"), t.line(2)->cell(0)->text() == QStringLiteral("档案编号"));

        // Captions, titles and the page line stay on one line in their cells, and every line of a template
        // spans the same width (the borders of the lines meet).
        int right = -1;
        for (int li = 0; li < built.lineCount(); ++li) {
            const TReportLine* l = built.line(li);
            const TReportCell* last = l->cell(l->cellCount() - 1);
            if (right < 0)
                right = last->right();
            QCOMPARE(last->right(), right);
            QCOMPARE(l->cell(0)->left(), built.leftMargin());
            for (int ci = 0; ci < l->cellCount(); ++ci) {
                const TReportCell* c = l->cell(ci);
                const QString text = c->text();
                // Bindings and the row number marker give way to their values.
                if (text.isEmpty() || text.startsWith(QLatin1Char('{')) || text.startsWith(QLatin1Char('[')) ||
                    text == QStringLiteral("<序号>"))
                    continue;
                QVERIFY2(ReportText::measureHeight(c->font(), text, c->width() - 2 * c->textMargin()) ==
                             ReportText::lineHeight(c->font()),
                         qPrintable(text));
            }
        }
        QCOMPARE(right, built.pageWidth() - built.rightMargin());

        // Filled from rows that have every field: pages come out.
        MemoryRowSource src;
        QList<MemoryRowSource::Field> fs;
        QVariantList values;
        for (const TPrintField& f : fieldsFor(id)) {
            fs.append({f.fieldName, ReportRowSource::FieldKind::Text});
            values.append(f.caption + QStringLiteral("值"));
        }
        src.setFields(fs);
        for (int i = 0; i < 120; ++i)
            src.appendRow(values);
        rt.setDefaultDataSet(&src);
        RecordingSink sink;
        QVERIFY(rt.buildPages());
        QVERIFY(rt.pageCount() >= 2);
        QVERIFY(sink.entries().isEmpty());
    }

    void installationCopiesThem()
    {
        TestEnv env;
        QVERIFY2(env.ok(), qPrintable(env.error()));
        for (const auto& e : DeliveredTemplates::entries()) {
            const QString path = QDir(env.databaseDir()).filePath(e.printId);
            QVERIFY2(QFile::exists(path), qPrintable(path));
            QCOMPARE(readFile(path), readFile(QStringLiteral(":/templates/") + e.printId));
            TReportControl c;
            QVERIFY(c.loadFromFile(path));
            // The copy is the user's to change.
            QVERIFY(QFileInfo(path).isWritable());
        }
    }

    void unknownIdentifier()
    {
        TReportControl c;
        QVERIFY(!DeliveredTemplates::build(QStringLiteral("BX000000000000"), c));
    }
};

QTEST_MAIN(TestDeliveredTemplates)
#include "tst_deliveredtemplates.moc"
