// A 10,000-row list report (the delivered archive list) built and written to PDF, beside QPdfWriter drawing
// the same grid of cells and texts directly. Prints pages per second for both.
#include "report/DeliveredTemplates.h"
#include "report/ReportRowSource.h"
#include "report/ReportRunTime.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct GridCell
{
    QRect cell;
    QRect text;
    QString value;
    QFont font;
    int align;
    bool borders[4];
};

using Page = QList<GridCell>;

MemoryRowSource makeRows(int n)
{
    using K = ReportRowSource::FieldKind;
    MemoryRowSource src({{"ARCHIVE_ID", K::Text},
                         {"ARCHIVE_NAME", K::Text},
                         {"ARCHIVE_TYPE_NAME", K::Text},
                         {"DATE_FIELD1", K::Text},
                         {"TEXT_FIELD1", K::Text},
                         {"TEXT_FIELD2", K::Text}},
                        {});
    const char* offices[] = {"办公室", "财务处", "人事处", "基建处", "档案室"};
    const char* subjects[] = {"合同审查", "设备采购", "年度工作总结", "质量管理体系", "干部任免", "档案移交"};
    const char* kinds[] = {"通知", "纪要", "报告", "请示", "方案的批复", "决定"};
    const char* levels[] = {"公开", "内部", "秘密", "机密"};
    for (int i = 0; i < n; ++i) {
        const QString name = QString::fromUtf8(offices[i % 5]) + QStringLiteral("关于%1年度").arg(2000 + i % 25) +
                             QString::fromUtf8(subjects[i % 6]) + QStringLiteral("的") +
                             QString::fromUtf8(kinds[(i / 7) % 6]);
        src.appendRow({QStringLiteral("%1%2").arg(2000 + i % 25).arg(i, 6, 10, QLatin1Char('0')), name,
                       i % 2 ? QStringLiteral("文书档案") : QStringLiteral("科技档案"),
                       QStringLiteral("%1-%2-%3")
                           .arg(2000 + i % 25)
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                       QString::fromUtf8(levels[i % 4]),
                       QStringLiteral("%1区%2排%3柜").arg(QChar(u'A' + i % 4)).arg(1 + i % 9).arg(1 + i % 12)});
    }
    return src;
}

// The finished pages as plain rectangles and texts, for the direct drawing.
QList<Page> grid(const TReportRunTime& rt)
{
    QList<Page> pages;
    for (int p = 0; p < rt.pageCount(); ++p) {
        TReportControl c;
        rt.loadPage(p, c);
        Page page;
        for (int l = 0; l < c.lineCount(); ++l)
            for (int k = 0; k < c.line(l)->cellCount(); ++k) {
                const TReportCell* cell = c.line(l)->cell(k);
                page.append({cell->cellRect().toQRect(),
                             cell->textRect().toQRect(),
                             cell->text(),
                             cell->font(),
                             cell->horzAlign(),
                             {cell->leftLine().isOn(), cell->topLine().isOn(), cell->rightLine().isOn(),
                              cell->bottomLine().isOn()}});
            }
        pages.append(page);
    }
    return pages;
}

// plainFirst: a text that fits on one line is drawn at its baseline (no layout), as the run time does; else
// every text goes through drawText with a rectangle and word wrap.
qint64 drawDirect(const QList<Page>& pages, const TReportControl& tpl, const QString& path, bool plainFirst)
{
    QElapsedTimer t;
    t.start();
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageLayout(TReportRunTime::pageLayout(tpl));
    QPainter p(&writer);
    // The same render hints as the run time's printing.
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(double(writer.width()) / tpl.pageWidth(), double(writer.height()) / tpl.pageHeight());
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        for (const GridCell& c : pages[i]) {
            p.setPen(QPen(Qt::black, 1));
            const QRect r = c.cell;
            if (c.borders[0])
                p.drawLine(r.topLeft(), r.bottomLeft());
            if (c.borders[1])
                p.drawLine(r.topLeft(), r.topRight());
            if (c.borders[2])
                p.drawLine(r.topRight(), r.bottomRight());
            if (c.borders[3])
                p.drawLine(r.bottomLeft(), r.bottomRight());
            if (!c.value.isEmpty()) {
                p.setFont(c.font);
                if (plainFirst) {
                    const QFontMetricsF fm(c.font);
                    const double w = fm.horizontalAdvance(c.value);
                    if (w <= c.text.width()) {
                        const double x = c.align == 1   ? c.text.left() + (c.text.width() - w) / 2
                                         : c.align == 2 ? c.text.right() - w
                                                        : c.text.left();
                        p.drawText(QPointF(x, c.text.top() + fm.ascent()), c.value);
                        continue;
                    }
                }
                const int h = c.align == 1 ? Qt::AlignHCenter : c.align == 2 ? Qt::AlignRight : Qt::AlignLeft;
                p.drawText(c.text, h | Qt::AlignTop | Qt::TextWordWrap, c.value);
            }
        }
    }
    p.end();
    return t.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTemporaryDir dir;

    TReportControl tpl;
    DeliveredTemplates::build(QStringLiteral("200700000007"), tpl);
    const QByteArray stream = tpl.saveToBytes();
    TPrintFieldsArray fields;
    for (auto [f, c] : {std::pair{"ARCHIVE_ID", "档案编号"},
                        {"ARCHIVE_NAME", "档案名称"},
                        {"ARCHIVE_TYPE_NAME", "档案类别"},
                        {"DATE_FIELD1", "档案日期"},
                        {"TEXT_FIELD1", "保密等级"},
                        {"TEXT_FIELD2", "存放位置"}})
        fields.append({QString::fromLatin1(f), QString::fromUtf8(c), QStringLiteral("M"), true, true});
    MemoryRowSource src = makeRows(rows);

    qint64 bestBuild = -1, bestPdf = -1, bestDirect = -1, bestPlain = -1;
    int pages = 0;
    qint64 pdfBytes = 0, directBytes = 0;
    for (int round = 0; round < 2; ++round) {
        TReportRunTime rt;
        rt.setPrintFields(fields);
        rt.loadTemplate(stream);
        rt.setDefaultDataSet(&src);
        rt.SetVarValue(QStringLiteral("单位名称"), QStringLiteral("东方市档案馆"));
        rt.setTitle(QStringLiteral("档案资料"));
        QElapsedTimer t;
        t.start();
        if (!rt.buildPages()) {
            std::fprintf(stderr, "building failed\n");
            return 1;
        }
        const qint64 build = t.elapsed();
        t.restart();
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        if (!rt.writePdf(pdf)) {
            std::fprintf(stderr, "writing failed\n");
            return 1;
        }
        const qint64 write = t.elapsed();
        pages = rt.pageCount();
        pdfBytes = QFileInfo(pdf).size();
        const QList<Page> g = grid(rt);
        const QString direct = dir.filePath(QStringLiteral("direct.pdf"));
        const qint64 d = drawDirect(g, rt.templateControl(), direct, false);
        directBytes = QFileInfo(direct).size();
        const qint64 plain = drawDirect(g, rt.templateControl(), direct, true);
        if (bestPlain < 0 || plain < bestPlain)
            bestPlain = plain;
        if (bestBuild < 0 || build + write < bestBuild + bestPdf) {
            bestBuild = build;
            bestPdf = write;
        }
        if (bestDirect < 0 || d < bestDirect)
            bestDirect = d;
    }
    const double total = double(bestBuild + bestPdf);
    std::printf("report: %d rows, %d pages (A4, delivered archive list)\n", rows, pages);
    std::printf("  run time:   build %lld ms + PDF %lld ms = %.0f ms, %.1f pages/s, %.1f MB\n", bestBuild, bestPdf,
                total, pages * 1000.0 / total, pdfBytes / 1048576.0);
    std::printf("  QPdfWriter: same grid drawn directly %lld ms, %.1f pages/s, %.1f MB\n", bestDirect,
                pages * 1000.0 / bestDirect, directBytes / 1048576.0);
    std::printf("  QPdfWriter: one-line texts at their baseline, the rest wrapped %lld ms, %.1f pages/s\n", bestPlain,
                pages * 1000.0 / bestPlain);
    std::printf("  ratio: %.2fx the direct drawing, %.2fx the baseline drawing\n", total / double(bestDirect),
                total / double(bestPlain));
    return 0;
}
