#include "TestSupport.h"

#include "common/MessageSink.h"
#include "report/ReportControl.h"
#include "report/ReportText.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

QList<int> widths(const TReportLine* line)
{
    QList<int> w;
    for (int i = 0; i < line->cellCount(); ++i)
        w << line->cell(i)->width();
    return w;
}

} // namespace

class TestReportEdit : public QObject
{
    Q_OBJECT

private slots:
    void newTable()
    {
        TReportControl c;
        QVERIFY(c.newTable(6, 10));
        QCOMPARE(c.lineCount(), 10);
        // (758 − 77 − 77) / 6 = 100.67, rounded half up.
        QCOMPARE(widths(c.line(9)), QList<int>(6, 101));
        QCOMPARE(c.line(0)->top(), c.topMargin());
        QCOMPARE(c.line(0)->cell(0)->left(), c.leftMargin());
        QCOMPARE(c.line(0)->cell(1)->left(), c.leftMargin() + 101);

        RecordingSink sink;
        QVERIFY(!c.newTable(2, 2));
        QCOMPARE(sink.last(), QStringLiteral("关闭正在编辑的报表后，才能建立新表格。"));
        QCOMPARE(c.lineCount(), 10);
    }

    void addLineCopiesFormatAndMerge()
    {
        TReportControl c;
        QVERIFY(c.newTable(3, 2));
        c.selectCell(c.line(0)->cell(0));
        c.selectCell(c.line(1)->cell(0));
        QVERIFY(c.mergeCells());
        TReportCell* owner = c.line(0)->cell(0);
        c.line(1)->cell(2)->setBackColor(0x00E0E0E0);
        c.line(1)->cell(2)->setText(QStringLiteral("不复制"));
        c.clearSelection();
        QVERIFY(c.addLine());
        QCOMPARE(c.lineCount(), 3);
        TReportCell* copy = c.line(2)->cell(0);
        QCOMPARE(copy->ownerCell(), owner);
        QCOMPARE(owner->cellsList().last(), copy);
        QCOMPARE(c.line(2)->cell(2)->backColor(), quint32(0x00E0E0E0));
        QCOMPARE(c.line(2)->cell(2)->text(), QString());
        QCOMPARE(owner->cellRect().bottom, c.line(2)->bottom());

        // More than one selected cell: nothing happens.
        c.selectCell(c.line(0)->cell(1), false);
        c.selectCell(c.line(0)->cell(2));
        QVERIFY(!c.addLine());
        QCOMPARE(c.lineCount(), 3);
    }

    void insertLinePlacesMergedCopyBefore()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 3));
        c.selectCell(c.line(0)->cell(0));
        c.selectCell(c.line(1)->cell(0));
        c.selectCell(c.line(2)->cell(0));
        QVERIFY(c.mergeCells());
        TReportCell* owner = c.line(0)->cell(0);
        TReportCell* lower = c.line(2)->cell(0);
        QVERIFY(!c.insertLine() || true); // the owner is selected: a copy of line 0 goes above it
        QCOMPARE(c.lineCount(), 4);
        QCOMPARE(c.line(1)->cell(0), owner);
        c.selectCell(lower, false);
        QVERIFY(c.insertLine());
        QCOMPARE(c.lineCount(), 5);
        TReportCell* copy = c.line(3)->cell(0);
        QCOMPARE(copy->ownerCell(), owner);
        const auto& list = owner->cellsList();
        QCOMPARE(list.indexOf(copy) + 1, list.indexOf(lower));

        c.clearSelection();
        QVERIFY(!c.insertLine());
    }

    void deleteLinesDissolvesMerges()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 3));
        c.selectCell(c.line(0)->cell(1));
        c.selectCell(c.line(1)->cell(1));
        c.selectCell(c.line(2)->cell(1));
        QVERIFY(c.mergeCells());
        TReportCell* owner = c.line(0)->cell(1);
        TReportCell* bottom = c.line(2)->cell(1);
        c.selectCell(c.line(1)->cell(0), false);
        QVERIFY(c.deleteLines());
        QCOMPARE(c.lineCount(), 2);
        QVERIFY(!owner->isOwner());
        QVERIFY(!bottom->isMerged());
        QVERIFY(c.selectedCells().isEmpty());
        const QByteArray b = c.saveToBytes();
        TReportControl d;
        QCOMPARE(d.read(b), TReportControl::ReadResult::Ok);
    }

    void cells()
    {
        TReportControl c;
        QVERIFY(c.newTable(3, 1));
        TReportLine* line = c.line(0);
        line->cell(2)->setWidth(60);
        c.layout();
        c.selectCell(line->cell(0), false);
        QVERIFY(c.addCell());
        QCOMPARE(line->cellCount(), 4);
        QCOMPARE(line->cell(3)->width(), 60);
        QCOMPARE(line->cell(3)->left(), line->cell(2)->right());
        line->cell(1)->setWidth(70);
        c.selectCell(line->cell(1), false);
        QVERIFY(c.insertCell());
        QCOMPARE(widths(line), (QList<int>{201, 70, 70, 60, 60}));
        c.selectCell(line->cell(0));
        QVERIFY(!c.addCell());
        QVERIFY(!c.insertCell());
    }

    void deleteCells()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 3));
        c.selectCell(c.line(1)->cell(0));
        c.selectCell(c.line(2)->cell(0));
        QVERIFY(c.mergeCells());
        // Deleting the owner removes the cells merged into it.
        c.selectCell(c.line(1)->cell(0), false);
        QVERIFY(c.deleteCells());
        QCOMPARE(c.line(1)->cellCount(), 1);
        QCOMPARE(c.line(2)->cellCount(), 1);
        // A line left without cells goes.
        c.selectCell(c.line(1)->cell(0), false);
        QVERIFY(c.deleteCells());
        QCOMPARE(c.lineCount(), 2);
    }

    void merge()
    {
        TReportControl c;
        QVERIFY(c.newTable(4, 3));
        c.line(0)->cell(1)->setText(QStringLiteral("甲"));
        c.line(0)->cell(2)->setText(QStringLiteral("乙"));
        c.line(1)->cell(1)->setText(QStringLiteral("丙"));
        c.selectCell(c.line(0)->cell(1));
        c.selectCell(c.line(0)->cell(2));
        c.selectCell(c.line(1)->cell(1));
        c.selectCell(c.line(1)->cell(2));
        QVERIFY(c.mergeCells());
        TReportCell* owner = c.line(0)->cell(1);
        QCOMPARE(c.line(0)->cellCount(), 3);
        QCOMPARE(c.line(1)->cellCount(), 3);
        QCOMPARE(owner->width(), 2 * 151);
        QCOMPARE(owner->text(), QStringLiteral("甲乙丙"));
        QCOMPARE(c.line(1)->cell(1)->text(), QString());
        QCOMPARE(c.line(1)->cell(1)->ownerCell(), owner);
        QCOMPARE(c.selectedCells(), QList<TReportCell*>{owner});
        QCOMPARE(c.focusCell(), owner);
        QCOMPARE(owner->cellRect().bottom, c.line(1)->bottom());

        // Lines whose chosen cells do not span the same edges: nothing happens.
        c.selectCell(c.line(2)->cell(0), false);
        c.selectCell(c.line(2)->cell(1));
        c.selectCell(c.line(1)->cell(0));
        const QByteArray before = c.saveToBytes();
        QVERIFY(!c.mergeCells());
        QCOMPARE(c.saveToBytes(), before);

        // A selected owner brings its merged cells along; the merge grows downwards.
        c.selectCell(owner, false);
        c.selectCell(c.line(2)->cell(1));
        c.selectCell(c.line(2)->cell(2));
        QVERIFY(c.mergeCells());
        QCOMPARE(owner->cellsList().size(), 2);
        QCOMPARE(c.line(2)->cellCount(), 3);

        QVERIFY(c.splitMergedCell());
        QVERIFY(!owner->isOwner());
        QVERIFY(!c.line(1)->cell(1)->isMerged());
        QVERIFY(!c.splitMergedCell());
    }

    void splitCell_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("100 into 3") << 100 << 3 << QList<int>{33, 33, 34};
        QTest::newRow("100 into 20") << 100 << 20 << QList<int>{12, 12, 12, 12, 12, 12, 12, 16};
        QTest::newRow("too narrow") << 15 << 2 << QList<int>{15};
    }

    void splitCell()
    {
        QFETCH(int, width);
        QFETCH(int, pieces);
        QFETCH(QList<int>, expected);
        TReportControl c;
        QVERIFY(c.newTable(1, 2));
        c.line(0)->cell(0)->setWidth(width);
        c.line(1)->cell(0)->setWidth(width);
        c.selectCell(c.line(0)->cell(0));
        c.selectCell(c.line(1)->cell(0));
        QVERIFY(c.mergeCells());
        c.line(0)->cell(0)->setText(QStringLiteral("标题"));
        QCOMPARE(c.splitCell(pieces), expected.size() > 1);
        QCOMPARE(widths(c.line(0)), expected);
        // The merged cell below is split alike and each piece keeps its own owner.
        QCOMPARE(widths(c.line(1)), expected);
        for (int k = 0; k < expected.size(); ++k)
            QCOMPARE(c.line(1)->cell(k)->ownerCell(), c.line(0)->cell(k));
        QCOMPARE(c.line(0)->cell(0)->text(), QStringLiteral("标题"));
    }

    void propertySetters()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 2));
        QVERIFY(!c.setDiagonal(1)); // nothing selected
        c.selectCell(c.line(0)->cell(0));
        c.selectCell(c.line(1)->cell(1));
        QVERIFY(c.setDiagonal(0x0102));
        QVERIFY(c.setColors(0xFF, 0xE0E0E0));
        QVERIFY(c.setAlignment(2, 0));
        QVERIFY(c.setDisplayFormat(QStringLiteral("0.00")));
        QVERIFY(c.setCellText(QStringLiteral("文字")));
        QFont f(QStringLiteral("黑体"));
        f.setPointSize(14);
        f.setBold(true);
        QVERIFY(c.setCellFont(f));
        for (TReportCell* cell : {c.line(0)->cell(0), c.line(1)->cell(1)}) {
            QCOMPARE(cell->diagonal(), quint32(0x0102));
            QCOMPARE(cell->backColor(), quint32(0xE0E0E0));
            QCOMPARE(cell->horzAlign(), 2);
            QCOMPARE(cell->displayFormat(), QStringLiteral("0.00"));
            QCOMPARE(cell->text(), QStringLiteral("文字"));
            QCOMPARE(cell->logFont().height, -19);
            QCOMPARE(cell->logFont().weight, 700);
            QCOMPARE(cell->logFont().face(), QStringLiteral("黑体"));
        }
        QCOMPARE(c.line(0)->cell(1)->text(), QString());
    }

    void dragging()
    {
        TReportControl c;
        QVERIFY(c.newTable(3, 2));
        TReportCell* a = c.line(0)->cell(0);
        QVERIFY(c.dragCellRight(a, a->left() + 150));
        QCOMPARE(widths(c.line(0)), (QList<int>{150, 252, 201}));
        // The next cell keeps at least 10 pixels.
        QVERIFY(c.dragCellRight(a, a->left() + 500));
        QCOMPARE(widths(c.line(0)), (QList<int>{392, 10, 201}));
        QVERIFY(c.dragLineBottom(c.line(1), c.line(1)->top() + 80));
        QCOMPARE(c.line(1)->height(), 80);
        QCOMPARE(c.line(1)->setHeight(), 80);

        TReportCell* hit = nullptr;
        QCOMPARE(c.hitTest(QPoint(a->right() - 1, a->cellRect().top + 5), &hit), TReportControl::Zone::RightEdge);
        QCOMPARE(hit, a);
        QCOMPARE(c.hitTest(QPoint(a->left() + 20, a->cellRect().bottom + 1), &hit), TReportControl::Zone::BottomEdge);
        QCOMPARE(c.hitTest(QPoint(a->left() + 20, a->cellRect().top + 8), &hit), TReportControl::Zone::Text);
        QCOMPARE(c.hitTest(QPoint(2, 2), &hit), TReportControl::Zone::None);
    }

    void layoutHeights_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::newRow("empty") << QString() << 1;
        QTest::newRow("one line") << QStringLiteral("档案") << 1;
        QTest::newRow("wrapped") << QString(40, QChar(0x6863)) << 0;
        QTest::newRow("closing line break") << QStringLiteral("档案\r\n") << 2;
        QTest::newRow("two lines") << QStringLiteral("档案\r\n编号") << 2;
    }

    void layoutHeights()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        TReportControl c;
        QVERIFY(c.newTable(4, 1));
        TReportCell* cell = c.line(0)->cell(0);
        cell->setText(text);
        c.layout();
        const int pitch = ReportText::lineHeight(cell->font());
        if (lines == 0) // wrapped: 40 characters of 16 pixels in 141 pixels take 5 lines
            lines = (40 + 8) / 9;
        QCOMPARE(cell->requiredHeight(), lines * pitch + 2 + 1 + 1);
        QCOMPARE(c.line(0)->height(), cell->requiredHeight());
    }

    void verticalAlignment_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("shift");
        QTest::newRow("top") << 0 << 0;
        QTest::newRow("centre") << 1 << 15; // free height 29: half rounded up
        QTest::newRow("bottom") << 2 << 29;
    }

    void verticalAlignment()
    {
        QFETCH(int, align);
        QFETCH(int, shift);
        TReportControl c;
        QVERIFY(c.newTable(2, 1));
        TReportCell* cell = c.line(0)->cell(0);
        cell->setVertAlign(align);
        c.line(0)->setSetHeight(cell->requiredHeight() + 29);
        c.layout();
        const int top = c.line(0)->top();
        QCOMPARE(cell->textRect().top, top + 1 + 1 + shift);
        QCOMPARE(cell->textRect().bottom, top + cell->requiredHeight() - 1 - 1 + shift);
        QCOMPARE(cell->textRect().left, cell->left() + 5 + 1);
        QCOMPARE(cell->textRect().right, cell->right() - 5 - 1);
    }

    void narrowAndMergedCellsNeedFixedHeight()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 2));
        c.selectCell(c.line(0)->cell(1), false);
        c.selectCell(c.line(1)->cell(1));
        QVERIFY(c.mergeCells());
        TReportCell* narrow = c.line(0)->cell(0);
        narrow->setWidth(10);
        narrow->setText(QString(50, QChar(0x6863)));
        c.layout();
        QCOMPARE(narrow->requiredHeight(), 1 + 1 + 18);
        TReportCell* owner = c.line(0)->cell(1);
        owner->setText(QString(60, QChar(0x6863)));
        c.layout();
        QCOMPARE(owner->requiredHeight(), 20);
        QVERIFY(owner->mergedTextHeight() > 40);
        QCOMPARE(c.line(1)->cell(1)->requiredHeight(), 20);
    }

    void drawing()
    {
        TReportControl c;
        QVERIFY(c.newTable(2, 1));
        TReportCell* a = c.line(0)->cell(0);
        TReportCell* b = c.line(0)->cell(1);
        a->setBackColor(0x0000FF00); // green
        a->setDiagonal(CellDiagonal::Left1);
        b->setBorder(3, {0, 1}); // bottom off
        c.layout();
        QImage img(c.pageWidth(), c.pageHeight(), QImage::Format_RGB32);
        auto render = [&](bool edit) {
            img.fill(Qt::white);
            c.setCreportEdit(edit);
            QPainter p(&img);
            c.draw(p, false);
        };
        render(false);
        const TReportRect ar = a->cellRect();
        const TReportRect br = b->cellRect();
        QCOMPARE(img.pixelColor(ar.left, ar.top + 5), QColor(Qt::black));
        QCOMPARE(img.pixelColor(ar.left + 20, ar.top + 3), QColor(0, 255, 0));
        // The diagonal runs from one pixel inside the top-left corner.
        QCOMPARE(img.pixelColor(ar.left + 1 + 4, ar.top + 1 + 4 * (ar.height() - 2) / (ar.width() - 2)),
                 QColor(Qt::black));
        QCOMPARE(img.pixelColor(br.left + 30, br.bottom), QColor(Qt::white));
        // In the designer a border that is off shows as a light grey guide line; printing draws nothing.
        render(true);
        QCOMPARE(img.pixelColor(br.left + 30, br.bottom), QColor(0xC0, 0xC0, 0xC0));
        img.fill(Qt::white);
        {
            QPainter p(&img);
            c.draw(p, true);
        }
        QCOMPARE(img.pixelColor(br.left + 30, br.bottom), QColor(Qt::white));
    }

    void textIsDrawn()
    {
        TReportControl c;
        QVERIFY(c.newTable(1, 1));
        TReportCell* a = c.line(0)->cell(0);
        a->setText(QStringLiteral("档案"));
        a->setTextColor(0x000000FF);
        a->setHorzAlign(2);
        c.layout();
        QImage img(c.pageWidth(), c.pageHeight(), QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            c.draw(p, true);
        }
        // Red ink only in the right part of the text rectangle.
        const QRect tr = a->textRect().toQRect();
        int leftInk = 0, rightInk = 0;
        for (int y = tr.top(); y <= tr.bottom(); ++y)
            for (int x = tr.left(); x <= tr.right(); ++x) {
                const QColor px = img.pixelColor(x, y);
                if (px.red() > 150 && px.green() < 120)
                    (x < tr.center().x() ? leftInk : rightInk)++;
            }
        QCOMPARE(leftInk, 0);
        QVERIFY(rightInk > 20);
    }
};

QTEST_MAIN(TestReportEdit)
#include "tst_reportedit.moc"
