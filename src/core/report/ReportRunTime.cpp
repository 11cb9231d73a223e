#include "ReportRunTime.h"

#include "ReportRowSource.h"
#include "common/Clock.h"
#include "common/MessageSink.h"
#include "common/ValueFormat.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>

#include <array>
#include <cmath>

namespace {

ReportPrintHost* g_host = nullptr;

const QString BuildFailed = QStringLiteral("形成报表时发生错误，请检查各项参数与模板设置等是否正确");
const QString NoRecords = QStringLiteral("没有数据记录");
const QString SumFailed = QStringLiteral("统计时发生错误，请检查模板设置是否正确");

using Sums = std::array<double, TReportRunTime::SumColumns>;

// What a template cell's text asks for.
enum class CellKind
{
    Literal,
    Single,
    Rows,
    PageTime,
    Variable,
    RowNumber
};

struct Binding
{
    CellKind kind = CellKind::Literal;
    QString dataSetName;
    QString fieldName;
    QString variable; // upper-cased
};

QString withoutBlanks(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s)
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            out += c;
    return out;
}

Binding classify(const QString& text)
{
    Binding b;
    if (text.startsWith(QLatin1Char('@')) || text.startsWith(QLatin1Char('#'))) {
        b.kind = text.startsWith(QLatin1Char('@')) ? CellKind::Single : CellKind::Rows;
        const qsizetype dot = text.indexOf(QLatin1Char('.'));
        if (dot < 0) {
            b.fieldName = withoutBlanks(text.mid(1));
        } else {
            b.dataSetName = withoutBlanks(text.mid(1, dot - 1)).toUpper();
            b.fieldName = withoutBlanks(text.mid(dot + 1));
        }
        return b;
    }
    if (text.startsWith(QLatin1Char('`'))) {
        const QString up = text.toUpper();
        // `SUMPAGE( is a page-time sum too, though it does not begin with `SUM(.
        if (up.startsWith(QStringLiteral("`PAGENUM")) || up.startsWith(QStringLiteral("`SUM(")) ||
            up.startsWith(QStringLiteral("`SUMPAGE(")))
            b.kind = CellKind::PageTime;
        else if (text.trimmed() == QStringLiteral("`序号"))
            b.kind = CellKind::RowNumber;
        else {
            b.kind = CellKind::Variable;
            b.variable = text.mid(1).trimmed().toUpper();
        }
    }
    return b;
}

bool isSumAll(const QString& text)
{
    return text.startsWith(QStringLiteral("`SUM("), Qt::CaseInsensitive);
}

QString groupThousands(const QString& digits)
{
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

QString FormatReportNumber(double value, const QString& format)
{
    if (format == QStringLiteral("大写金额"))
        return MoneyToChinese(FormatHalfUp(value, 2));
    if (format.isEmpty())
        return ReportRowSource::numberText(value);
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    int decimals = 0;
    if (point >= 0)
        for (qsizetype i = point + 1; i < format.size(); ++i)
            if (format.at(i) == QLatin1Char('0') || format.at(i) == QLatin1Char('#'))
                ++decimals;
    QString text = FormatHalfUp(value, decimals);
    if (!format.contains(QLatin1Char(',')))
        return text;
    QString sign;
    if (text.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        text.remove(0, 1);
    }
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? text : text.left(dot);
    return sign + groupThousands(intPart) + (dot < 0 ? QString() : text.mid(dot));
}

ReportPrintHost* ReportPrintHost::instance()
{
    return g_host;
}

void ReportPrintHost::setInstance(ReportPrintHost* host)
{
    g_host = host;
}

// ---------------------------------------------------------------------------------------------------------

struct TReportRunTime::Builder
{
    struct Built
    {
        std::unique_ptr<TReportLine> line;
        QList<const TReportCell*> source;
        Sums sums{};
    };
    struct Page
    {
        std::vector<Built> lines;
        Sums pageSums{};
        Sums grand{};
    };
    struct Resolved
    {
        Binding binding;
        ReportRowSource* dataSet = nullptr;
        int field = -1;
    };

    TReportRunTime& rt;
    const TReportControl& tpl;
    TReportControl scratch;
    QHash<const TReportCell*, Resolved> cells;
    QSet<QString> warned;
    std::vector<Page> pages;
    Sums grand{};
    bool failed = false;

    Builder(TReportRunTime& r) : rt(r), tpl(r.m_template) { scratch.copyPageFrom(tpl); }

    void warnOnce(const QString& text)
    {
        if (!warned.contains(text)) {
            warned.insert(text);
            ShowWarning(text);
        }
    }

    bool resolve()
    {
        for (int li = 0; li < tpl.lineCount(); ++li)
            for (int ci = 0; ci < tpl.line(li)->cellCount(); ++ci) {
                const TReportCell* c = tpl.line(li)->cell(ci);
                Resolved r;
                r.binding = classify(c->text());
                if (r.binding.kind == CellKind::Single || r.binding.kind == CellKind::Rows) {
                    r.dataSet = rt.dataSet(r.binding.dataSetName);
                    if (!r.dataSet || (!r.dataSet->isOpen() && !r.dataSet->open()))
                        return false;
                    r.field = r.dataSet->fieldIndex(r.binding.fieldName);
                    if (r.field < 0)
                        return false;
                }
                cells.insert(c, r);
            }
        return true;
    }

    QString variable(const QString& name) const
    {
        if (auto it = rt.m_variables.constFind(name); it != rt.m_variables.constEnd())
            return it.value();
        const QDateTime now = Clock::now();
        if (name == QStringLiteral("DATE"))
            return now.date().toString(QStringLiteral("yyyy-MM-dd"));
        if (name == QStringLiteral("TIME"))
            return now.time().toString(QStringLiteral("HH:mm:ss"));
        if (name == QStringLiteral("DATETIME"))
            return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return {};
    }

    void fillValue(const Resolved& r, TReportCell* c)
    {
        ReportRowSource* ds = r.dataSet;
        const QVariant v = ds->value(r.field);
        if (ds->fieldKind(r.field) == ReportRowSource::FieldKind::Blob) {
            c->setText(QString());
            const QByteArray bytes = v.toByteArray();
            if (bytes.isEmpty())
                return;
            if (bytes.startsWith("BM"))
                c->setBitmap(bytes);
            else
                c->setPicture(QImage::fromData(bytes));
            return;
        }
        if (ds->isNumeric(r.field)) {
            if (ds->isNull(r.field)) {
                c->setText(QString());
                return;
            }
            bool ok = false;
            const double d = v.toDouble(&ok);
            if (ok && !c->displayFormat().isEmpty()) {
                c->setText(FormatReportNumber(d, c->displayFormat()));
                return;
            }
        }
        c->setText(ds->displayText(r.field));
    }

    Built buildLine(const TReportLine& t, bool inDataLine, int rowNo, bool empty)
    {
        Built b;
        b.line = std::make_unique<TReportLine>(&scratch);
        b.line->setSetHeight(t.setHeight());
        for (int i = 0; i < t.cellCount(); ++i) {
            const TReportCell* tc = t.cell(i);
            TReportCell* c = b.line->appendCell();
            c->copyFrom(*tc);
            b.source.append(tc);
            if (empty) {
                c->setText(QString());
                continue;
            }
            const Resolved& r = cells[tc];
            switch (r.binding.kind) {
            case CellKind::Single:
            case CellKind::Rows:
                fillValue(r, c);
                if (inDataLine && r.binding.kind == CellKind::Rows && i < SumColumns && r.dataSet->isNumeric(r.field) &&
                    !r.dataSet->isNull(r.field)) {
                    bool ok = false;
                    const double d = r.dataSet->value(r.field).toDouble(&ok);
                    if (!ok || !std::isfinite(d)) {
                        warnOnce(SumFailed);
                        failed = true;
                    } else {
                        b.sums[size_t(i)] += d;
                    }
                }
                break;
            case CellKind::RowNumber:
                c->setText(inDataLine ? QString::number(rowNo) : QString());
                break;
            case CellKind::Variable:
                c->setText(variable(r.binding.variable));
                break;
            case CellKind::PageTime:
            case CellKind::Literal:
                break;
            }
        }
        return b;
    }

    // Links the cells of lines whose template cells are merged to the nearest built copy of the owner above.
    static void linkMerges(std::vector<Built*>& lines)
    {
        QHash<const TReportCell*, TReportCell*> latest;
        for (Built* b : lines)
            for (int i = 0; i < b->line->cellCount(); ++i) {
                TReportCell* c = b->line->cell(i);
                const TReportCell* src = b->source[i];
                if (!c->ownerCell() && src->ownerCell()) {
                    TReportCell* owner = latest.value(src->ownerCell());
                    if (owner && owner != c && !owner->ownerCell())
                        TReportRunTime::Builder::merge(owner, c);
                }
                latest.insert(src, c);
            }
    }

    static void merge(TReportCell* owner, TReportCell* c);

    static void updateHeights(std::vector<Built>& group)
    {
        for (Built& b : group)
            b.line->updateHeights();
    }

    static int height(const std::vector<Built>& group)
    {
        int h = 0;
        for (const Built& b : group)
            h += b.line->height();
        return h;
    }

    // A copy of a group of built lines, with the merges inside the group.
    std::vector<Built> clone(const std::vector<Built>& group)
    {
        std::vector<Built> out;
        QHash<const TReportCell*, TReportCell*> map;
        for (const Built& b : group) {
            Built n;
            n.line = std::make_unique<TReportLine>(&scratch);
            n.line->setSetHeight(b.line->setHeight());
            n.source = b.source;
            for (int i = 0; i < b.line->cellCount(); ++i) {
                TReportCell* c = n.line->appendCell();
                c->copyFrom(*b.line->cell(i));
                map.insert(b.line->cell(i), c);
            }
            out.push_back(std::move(n));
        }
        for (size_t k = 0; k < group.size(); ++k)
            for (int i = 0; i < group[k].line->cellCount(); ++i) {
                const TReportCell* orig = group[k].line->cell(i);
                if (orig->ownerCell() && map.contains(orig->ownerCell()))
                    merge(map.value(orig->ownerCell()), out[k].line->cell(i));
            }
        return out;
    }

    void emitPage(const std::vector<Built>& head, std::vector<Built>& rows, const std::vector<Built>& footer)
    {
        Page p;
        p.lines = clone(head);
        for (Built& r : rows) {
            for (int i = 0; i < SumColumns; ++i)
                p.pageSums[size_t(i)] += r.sums[size_t(i)];
            p.lines.push_back(std::move(r));
        }
        rows.clear();
        for (Built& f : clone(footer))
            p.lines.push_back(std::move(f));
        for (int i = 0; i < SumColumns; ++i)
            grand[size_t(i)] += p.pageSums[size_t(i)];
        p.grand = grand;
        pages.push_back(std::move(p));
    }

    double evalSum(const QString& text, const Sums& sums, bool pageSum)
    {
        const QString syntax = pageSum ? QStringLiteral("统计时发生错误，请检查`Sumpage()设置是否正确")
                                       : QStringLiteral("统计时发生错误，请检查`SumAll()设置是否正确");
        const QString zero = pageSum ? QStringLiteral("模板中`Sumpage()括号内参数不应为零")
                                     : QStringLiteral("模板中`SumAll()括号内参数不应为零");
        const qsizetype open = text.indexOf(QLatin1Char('('));
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char(')'), open + 1);
        if (close < 0) {
            warnOnce(syntax);
            return 0;
        }
        const QString inner = text.mid(open + 1, close - open - 1);
        double result = 0;
        int sign = 1;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= inner.size(); ++i) {
            if (i < inner.size() && inner.at(i) != QLatin1Char('+') && inner.at(i) != QLatin1Char('-'))
                continue;
            bool ok = false;
            const int column = inner.mid(start, i - start).trimmed().toInt(&ok);
            if (!ok || column < 0) {
                warnOnce(syntax);
                return 0;
            }
            if (column == 0) {
                warnOnce(zero);
                return 0;
            }
            if (column <= SumColumns)
                result += sign * sums[size_t(column - 1)];
            if (i < inner.size())
                sign = inner.at(i) == QLatin1Char('-') ? -1 : 1;
            start = i + 1;
        }
        return result;
    }

    void pageTimeText(TReportCell* c, int page, int count, const Page& p)
    {
        const QString text = c->text();
        const QString up = text.trimmed().toUpper();
        if (up == QStringLiteral("`PAGENUM"))
            c->setText(QStringLiteral("第 %1 页").arg(page));
        else if (up == QStringLiteral("`PAGENUM/"))
            c->setText(QStringLiteral("第 %1/%2 页").arg(page).arg(count));
        else if (up == QStringLiteral("`PAGENUM-"))
            c->setText(QStringLiteral("第 %1-%2 页").arg(count).arg(page));
        else if (up.startsWith(QStringLiteral("`SUMPAGE("))) {
            const double v = evalSum(text, p.pageSums, true);
            c->setText(v == 0 ? QString() : FormatReportNumber(v, c->displayFormat()));
        } else if (up.startsWith(QStringLiteral("`SUM("))) {
            const double v = evalSum(text, p.grand, false);
            c->setText(v == 0 ? QStringLiteral("0") : FormatReportNumber(v, c->displayFormat()));
        } else {
            c->setText(QString());
        }
    }

    bool run()
    {
        if (!resolve()) {
            ShowWarning(BuildFailed);
            return false;
        }
        int dataLine = -1;
        const TReportCell* firstRowCell = nullptr;
        for (int li = 0; li < tpl.lineCount() && dataLine < 0; ++li)
            for (int ci = 0; ci < tpl.line(li)->cellCount(); ++ci)
                if (tpl.line(li)->cell(ci)->text().startsWith(QLatin1Char('#'))) {
                    dataLine = li;
                    firstRowCell = tpl.line(li)->cell(ci);
                    break;
                }

        if (dataLine < 0) {
            std::vector<Built> head;
            for (int li = 0; li < tpl.lineCount(); ++li)
                head.push_back(buildLine(*tpl.line(li), false, 0, false));
            std::vector<Built*> all;
            for (Built& b : head)
                all.push_back(&b);
            linkMerges(all);
            std::vector<Built> none;
            emitPage(head, none, {});
            return true;
        }

        ReportRowSource* rows = cells[firstRowCell].dataSet;
        const int count = rows->recordCount();
        rows->seek(0);

        std::vector<Built> head;
        for (int li = 0; li < dataLine; ++li)
            head.push_back(buildLine(*tpl.line(li), false, 0, false));
        std::vector<Built> f1, f2;
        for (int li = dataLine + 1; li < tpl.lineCount(); ++li) {
            const TReportLine* t = tpl.line(li);
            bool sumAll = false;
            for (int ci = 0; ci < t->cellCount(); ++ci)
                sumAll = sumAll || isSumAll(t->cell(ci)->text());
            Built b = buildLine(*t, false, 0, false);
            if (!sumAll)
                f1.push_back(Builder::cloneOne(b, scratch));
            f2.push_back(std::move(b));
        }
        for (std::vector<Built>* g : {&head, &f1, &f2}) {
            std::vector<Built*> ptrs;
            for (Built& b : *g)
                ptrs.push_back(&b);
            linkMerges(ptrs);
            updateHeights(*g);
        }
        if (failed)
            return false;
        const int avail = tpl.pageHeight() - tpl.topMargin() - tpl.bottomMargin();
        const int headH = height(head);
        const int f1H = height(f1);
        const int f2H = height(f2);

        std::vector<Built> page;
        int rowsH = 0;
        for (int r = 0; r < count;) {
            rows->seek(r);
            Built row = buildLine(*tpl.line(dataLine), true, r + 1, false);
            if (failed)
                return false;
            row.line->updateHeights();
            const int h = row.line->height();
            if (headH + rowsH + h + f1H <= avail) {
                rowsH += h;
                page.push_back(std::move(row));
                ++r;
                continue;
            }
            // The row opens the next page (with its number); a page that cannot hold one row stops the report.
            if (page.empty()) {
                ShowWarning(NoRecords);
                return false;
            }
            emitPage(head, page, f1);
            rowsH = 0;
        }
        if (page.empty()) {
            ShowWarning(NoRecords);
            return false;
        }
        bool filled = false;
        if (rt.m_addSpace && headH + rowsH + f2H <= avail) {
            for (;;) {
                Built blank = buildLine(*tpl.line(dataLine), true, 0, true);
                blank.line->updateHeights();
                const int h = blank.line->height();
                if (h <= 0 || headH + rowsH + h + f2H > avail)
                    break;
                rowsH += h;
                page.push_back(std::move(blank));
                filled = true;
            }
        }
        if (!filled && headH + rowsH + f2H > avail && page.size() > 1) {
            // The totals do not fit after the last row: that row opens a page of its own with them.
            Built last = std::move(page.back());
            page.pop_back();
            emitPage(head, page, f1);
            page.push_back(std::move(last));
        }
        emitPage(head, page, f2);
        if (rows->recordCount() > 0)
            rows->seek(qMax(0, count - 1));
        return !failed;
    }

    static Built cloneOne(const Built& b, TReportControl& owner)
    {
        Built n;
        n.line = std::make_unique<TReportLine>(&owner);
        n.line->setSetHeight(b.line->setHeight());
        n.source = b.source;
        n.sums = b.sums;
        for (int i = 0; i < b.line->cellCount(); ++i)
            n.line->appendCell()->copyFrom(*b.line->cell(i));
        return n;
    }

    QList<QByteArray> finish()
    {
        QList<QByteArray> out;
        const int count = int(pages.size());
        for (int pi = 0; pi < count; ++pi) {
            Page& p = pages[size_t(pi)];
            std::vector<Built*> ptrs;
            for (Built& b : p.lines)
                ptrs.push_back(&b);
            linkMerges(ptrs);
            for (Built& b : p.lines)
                for (int i = 0; i < b.line->cellCount(); ++i)
                    if (cells.value(b.source[i]).binding.kind == CellKind::PageTime)
                        pageTimeText(b.line->cell(i), pi + 1, count, p);
            TReportControl pc;
            pc.copyPageFrom(tpl);
            for (Built& b : p.lines)
                pc.adoptLine(std::move(b.line));
            p.lines.clear();
            pc.layout();
            out.append(pc.saveToBytes());
        }
        return out;
    }
};

void TReportRunTime::Builder::merge(TReportCell* owner, TReportCell* c)
{
    c->setOwnerCell(owner);
}

// ---------------------------------------------------------------------------------------------------------

TReportRunTime::TReportRunTime(QObject* parent) : QObject(parent) {}

TReportRunTime::~TReportRunTime() = default;

bool TReportRunTime::setReportFile(const QString& path)
{
    m_reportFile = path;
    if (path.isEmpty())
        return true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ShowWarning(QStringLiteral("打开报表错误"));
        return false;
    }
    return loadTemplate(f.readAll());
}

bool TReportRunTime::loadTemplate(const QByteArray& stream)
{
    TReportControl probe;
    if (probe.read(stream) != TReportControl::ReadResult::Ok) {
        ShowWarning(QStringLiteral("打开报表错误"));
        return false;
    }
    m_templateStream = stream;
    m_template.read(stream);
    m_pages.clear();
    convertBindings();
    return true;
}

void TReportRunTime::setPrintFields(const TPrintFieldsArray& fields)
{
    m_printFields = fields;
    if (!m_templateStream.isEmpty()) {
        m_template.read(m_templateStream);
        convertBindings();
    }
}

void TReportRunTime::convertBindings()
{
    for (int li = 0; li < m_template.lineCount(); ++li)
        for (int ci = 0; ci < m_template.line(li)->cellCount(); ++ci) {
            TReportCell* c = m_template.line(li)->cell(ci);
            const QString t = c->text();
            if (t.isEmpty())
                continue;
            const QChar open = t.at(0);
            const QChar close = open == QLatin1Char('{')   ? QLatin1Char('}')
                                : open == QLatin1Char('[') ? QLatin1Char(']')
                                : open == QLatin1Char('<') ? QLatin1Char('>')
                                                           : QChar();
            if (close.isNull())
                continue;
            const qsizetype end = t.indexOf(close, 1);
            if (end < 0)
                continue;
            const QString inner = t.mid(1, end - 1).trimmed();
            if (open == QLatin1Char('<')) {
                c->setText(QLatin1Char('`') + inner);
                continue;
            }
            const bool single = open == QLatin1Char('{');
            for (const TPrintField& f : std::as_const(m_printFields))
                if (f.caption == inner && (single ? f.single : f.rows)) {
                    c->setText((single ? QStringLiteral("@") : QStringLiteral("#")) + f.dataSet + QLatin1Char('.') +
                               f.fieldName);
                    break;
                }
        }
    m_template.layout();
}

QString TReportRunTime::title() const
{
    return m_title.isEmpty() ? QStringLiteral("未命名报表") : m_title;
}

void TReportRunTime::registerDataSet(const QString& name, ReportRowSource* dataSet)
{
    if (dataSet)
        m_dataSets.insert(name.trimmed().toUpper(), dataSet);
}

ReportRowSource* TReportRunTime::dataSet(const QString& name) const
{
    return m_dataSets.value(name.trimmed().toUpper(), m_defaultDataSet);
}

void TReportRunTime::setSetData(const QStringList& commands)
{
    m_commands = commands;
    applyCommands();
}

void TReportRunTime::applyCommands()
{
    for (const QString& line : std::as_const(m_commands)) {
        const qsizetype open = line.indexOf(QLatin1Char('('));
        if (open < 0)
            continue;
        const QString name = line.left(open).trimmed();
        const QString rest = line.mid(open + 1);
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0)
            continue;
        const QString first = rest.left(comma).trimmed();
        const QString after = rest.mid(comma + 1);
        const qsizetype close = after.indexOf(QLatin1Char(')'));
        if (close < 0)
            continue;
        const QString second = after.left(close).trimmed();
        if (name.compare(QStringLiteral("SetDataSet"), Qt::CaseInsensitive) == 0) {
            ReportRowSource* ds = m_resolver ? m_resolver(second) : nullptr;
            if (ds && (ds->isOpen() || ds->open()))
                registerDataSet(first, ds);
        } else if (name.compare(QStringLiteral("SETVARVALUE"), Qt::CaseInsensitive) == 0) {
            SetVarValue(first, second);
        }
    }
}

void TReportRunTime::SetVarValue(const QString& name, const QString& value)
{
    m_variables.insert(name.trimmed().toUpper(), value);
}

void TReportRunTime::enableControls()
{
    QSet<ReportRowSource*> all(m_dataSets.cbegin(), m_dataSets.cend());
    if (m_defaultDataSet)
        all.insert(m_defaultDataSet);
    for (ReportRowSource* ds : std::as_const(all))
        ds->enableControls();
}

bool TReportRunTime::buildPages()
{
    m_pages.clear();
    if (m_dataSets.isEmpty())
        applyCommands();
    QSet<ReportRowSource*> all(m_dataSets.cbegin(), m_dataSets.cend());
    if (m_defaultDataSet)
        all.insert(m_defaultDataSet);
    QHash<ReportRowSource*, int> positions;
    for (ReportRowSource* ds : std::as_const(all)) {
        ds->disableControls();
        positions.insert(ds, ds->position());
    }
    Builder b(*this);
    const bool ok = b.run();
    if (ok)
        m_pages = b.finish();
    for (auto it = positions.cbegin(); it != positions.cend(); ++it)
        if (it.value() >= 0)
            it.key()->seek(it.value());
    for (ReportRowSource* ds : std::as_const(all))
        ds->enableControls();
    if (!ok)
        m_dataSets.clear();
    return ok;
}

bool TReportRunTime::loadPage(int index, TReportControl& into) const
{
    if (index < 0 || index >= m_pages.size())
        return false;
    return into.read(m_pages[index]) == TReportControl::ReadResult::Ok;
}

namespace {

// Windows paper codes and their sizes.
QPageSize::PageSizeId paperId(int code, bool* known)
{
    *known = true;
    switch (code) {
    case 1:
    case 2:
        return QPageSize::Letter;
    case 3:
        return QPageSize::Tabloid;
    case 4:
        return QPageSize::Ledger;
    case 5:
        return QPageSize::Legal;
    case 7:
        return QPageSize::Executive;
    case 8:
        return QPageSize::A3;
    case 9:
    case 10:
        return QPageSize::A4;
    case 11:
        return QPageSize::A5;
    case 12:
        return QPageSize::JisB4;
    case 13:
        return QPageSize::JisB5;
    case 14:
        return QPageSize::Folio;
    case 20:
        return QPageSize::Comm10E;
    case 27:
        return QPageSize::DLE;
    case 28:
        return QPageSize::C5E;
    case 70:
        return QPageSize::A6;
    default:
        *known = false;
        return QPageSize::Custom;
    }
}

} // namespace

int TReportRunTime::paperCode(const QPageSize& size)
{
    for (int code = 1; code < 256; ++code) {
        bool known = false;
        const QPageSize::PageSizeId id = paperId(code, &known);
        if (known && id == size.id())
            return code;
    }
    return 256;
}

QSize TReportRunTime::designPageSize(const QPageLayout& paper)
{
    QSizeF mm = paper.pageSize().size(QPageSize::Millimeter);
    if (mm.width() > mm.height())
        mm.transpose();
    QSize px(int(std::lround(mm.width() * TReportControl::PixelsPerMmX)),
             int(std::lround(mm.height() * TReportControl::PixelsPerMmY)));
    if (paper.orientation() == QPageLayout::Landscape)
        px.transpose();
    return px;
}

bool TReportRunTime::changePageSetup(int leftMm, int topMm, int rightMm, int bottomMm, const QPageLayout* paper,
                                     QString* error)
{
    TReportControl t;
    if (m_templateStream.isEmpty() || t.read(m_templateStream) != TReportControl::ReadResult::Ok)
        return false;
    t.setMarginsMm(leftMm, topMm, rightMm, bottomMm);
    if (paper) {
        const QSize px = designPageSize(*paper);
        t.setPageSize(px.width(), px.height());
        QSizeF mm = paper->pageSize().size(QPageSize::Millimeter);
        if (mm.width() > mm.height())
            mm.transpose();
        t.setPaper(paperCode(paper->pageSize()), paper->orientation() == QPageLayout::Landscape ? 2 : 1,
                   int(std::lround(mm.height() * 10)), int(std::lround(mm.width() * 10)));
    }
    t.layout();
    const QByteArray bytes = t.saveToBytes(error);
    if (bytes.isEmpty())
        return false;
    if (!m_reportFile.isEmpty() && !t.saveToFile(m_reportFile, error))
        return false;
    m_templateStream = bytes;
    m_template.read(bytes);
    convertBindings();
    m_pages.clear();
    return true;
}

QPageLayout TReportRunTime::pageLayout(const TReportControl& tpl)
{
    bool known = false;
    const QPageSize::PageSizeId id = paperId(tpl.paperSize(), &known);
    if (known && tpl.paperSize() != 256)
        return QPageLayout(QPageSize(id), tpl.orientation() == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF());
    // A user-defined or unknown paper: the template's page size, upright; a standard size when it is one.
    const int w = tpl.pageWidth() > 0 ? tpl.pageWidth() : TReportControl::DefaultPageWidth;
    const int h = tpl.pageHeight() > 0 ? tpl.pageHeight() : TReportControl::DefaultPageHeight;
    const QSizeF mm(w / TReportControl::PixelsPerMmX, h / TReportControl::PixelsPerMmY);
    return QPageLayout(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch), QPageLayout::Portrait,
                       QMarginsF());
}

void TReportRunTime::drawPage(QPainter& p, const TReportControl& page, const QRectF& target)
{
    const int w = page.pageWidth() > 0 ? page.pageWidth() : TReportControl::DefaultPageWidth;
    const int h = page.pageHeight() > 0 ? page.pageHeight() : TReportControl::DefaultPageHeight;
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / w, target.height() / h);
    page.drawPrinted(p);
    p.restore();
}

bool TReportRunTime::printPages(QPagedPaintDevice& device, int from, int to, const std::function<bool()>& cancelled)
{
    from = qMax(1, from);
    to = qMin(pageCount(), to);
    QPainter p;
    if (!p.begin(&device))
        return false;
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF target(0, 0, device.width(), device.height());
    for (int i = from; i <= to; ++i) {
        if (cancelled && cancelled())
            break;
        if (i > from)
            device.newPage();
        TReportControl page;
        if (loadPage(i - 1, page))
            drawPage(p, page, target);
    }
    return p.end();
}

bool TReportRunTime::writePdf(const QString& path, QString* error)
{
    if (m_pages.isEmpty() && !buildPages()) {
        if (error)
            *error = BuildFailed;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setPageLayout(pageLayout(m_template));
        writer.setTitle(title());
        writer.setCreator(QStringLiteral("vuzazo"));
        if (!printPages(writer, 1, pageCount())) {
            file.cancelWriting();
            if (error)
                *error = QStringLiteral("不能写入PDF文件: ") + path;
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool TReportRunTime::Preview(int startPage)
{
    if (m_dataSets.isEmpty())
        applyCommands();
    ReportPrintHost* host = ReportPrintHost::instance();
    if (!host) {
        ShowWarning(QStringLiteral("未安装打印机"));
        return false;
    }
    return host->preview(*this, startPage);
}

bool TReportRunTime::Print(bool showDialog)
{
    if (m_dataSets.isEmpty())
        applyCommands();
    ReportPrintHost* host = ReportPrintHost::instance();
    if (!host) {
        ShowWarning(QStringLiteral("未安装打印机"));
        return false;
    }
    return host->print(*this, showDialog);
}
