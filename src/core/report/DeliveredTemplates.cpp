#include "DeliveredTemplates.h"

#include "ReportControl.h"

namespace DeliveredTemplates {

namespace {

// Light blue-grey for heading cells and labels (Windows colour, 0x00BBGGRR).
constexpr quint32 HeadingBack = 0x00F3EAE2;

struct Style
{
    int pointTenths = 105; // 10.5 points
    bool bold = false;
    QString face = QStringLiteral("宋体");
    int align = 0;       // 0 left, 1 centre, 2 right
    int vertAlign = 1;   // centre
    bool borders = true; // all four lines
    quint32 back = TReportCell::NoFill;
    int margin = 4;
};

Style title()
{
    Style s;
    s.face = QStringLiteral("黑体");
    s.pointTenths = 180;
    s.bold = true;
    s.align = 1;
    s.borders = false;
    return s;
}

Style plain(int align = 0)
{
    Style s;
    s.borders = false;
    s.align = align;
    return s;
}

Style heading()
{
    Style s;
    s.bold = true;
    s.align = 1;
    s.back = HeadingBack;
    return s;
}

Style label()
{
    Style s = heading();
    return s;
}

Style value(int align = 0)
{
    Style s;
    s.align = align;
    return s;
}

Style small(int align = 1)
{
    Style s = plain(align);
    s.pointTenths = 90;
    return s;
}

void apply(TReportCell* c, const QString& text, const Style& s)
{
    c->setText(text);
    QFont f(s.face);
    f.setPixelSize(qRound(s.pointTenths / 10.0 * 96.0 / 72.0));
    f.setBold(s.bold);
    c->setFont(f);
    c->setHorzAlign(s.align);
    c->setVertAlign(s.vertAlign);
    c->setBackColor(s.back);
    c->setTextMargin(s.margin);
    for (int e = 0; e < 4; ++e)
        c->setBorder(e, {quint8(s.borders ? 1 : 0), 1});
}

struct Cell
{
    int width;
    QString text;
    Style style;
};

TReportLine* line(TReportControl& r, const QList<Cell>& cells, int height = 0)
{
    TReportLine* l = r.appendNewLine();
    for (const Cell& c : cells) {
        TReportCell* cell = l->appendCell();
        cell->setWidth(c.width);
        apply(cell, c.text, c.style);
    }
    l->setSetHeight(height);
    return l;
}

int usable(const TReportControl& r)
{
    return r.pageWidth() - r.leftMargin() - r.rightMargin();
}

void titleLines(TReportControl& r, const QString& text)
{
    const int w = usable(r);
    line(r, {{w, text, title()}}, 46);
    line(r,
         {{w - 230, QStringLiteral("<单位名称>"), plain()},
          {120, QStringLiteral("打印日期："), plain(2)},
          {110, QStringLiteral("<Date>"), plain()}},
         26);
}

void pageNumberLine(TReportControl& r)
{
    line(r, {{usable(r), QStringLiteral("<PageNum/>"), small()}}, 30);
}

// A list: title, organisation and date, column headings, the data line and the page number.
void list(TReportControl& r, const QString& text, const QList<Cell>& columns)
{
    titleLines(r, text);
    QList<Cell> heads, data;
    for (const Cell& c : columns) {
        heads.append({c.width, c.text, heading()});
        if (c.text == QStringLiteral("序号"))
            data.append({c.width, QStringLiteral("<序号>"), value(1)});
        else
            data.append({c.width, QLatin1Char('[') + c.text + QLatin1Char(']'), c.style});
    }
    line(r, heads, 28);
    line(r, data, 24);
    pageNumberLine(r);
}

// The master block of a master-detail report: label and value pairs in rows of two.
void masterRow(TReportControl& r, const QString& a, const QString& b = QString())
{
    const int w = usable(r);
    const int lw = 84;
    if (b.isEmpty()) {
        line(r, {{lw, a, label()}, {w - lw, QLatin1Char('{') + a + QLatin1Char('}'), value()}}, 26);
        return;
    }
    const int vw = (w - 2 * lw) / 2;
    line(r,
         {{lw, a, label()},
          {vw, QLatin1Char('{') + a + QLatin1Char('}'), value()},
          {lw, b, label()},
          {w - 2 * lw - vw, QLatin1Char('{') + b + QLatin1Char('}'), value()}},
         26);
}

void spacer(TReportControl& r, int height)
{
    line(r, {{usable(r), QString(), plain()}}, height);
}

void archiveList(TReportControl& r)
{
    list(r, QStringLiteral("档案资料"),
         {{40, QStringLiteral("序号"), value(1)},
          {90, QStringLiteral("档案编号"), value()},
          {162, QStringLiteral("档案名称"), value()},
          {72, QStringLiteral("档案类别"), value()},
          {84, QStringLiteral("档案日期"), value(1)},
          {64, QStringLiteral("保密等级"), value(1)},
          {92, QStringLiteral("存放位置"), value()}});
}

void detailQuery(TReportControl& r)
{
    list(r, QStringLiteral("档案明细资料查询报表"),
         {{40, QStringLiteral("序号"), value(1)},
          {120, QStringLiteral("资料编号"), value()},
          {264, QStringLiteral("资料名称"), value()},
          {180, QStringLiteral("备注"), value()}});
}

void detailReport(TReportControl& r)
{
    titleLines(r, QStringLiteral("档案明细资料报表"));
    masterRow(r, QStringLiteral("档案编号"), QStringLiteral("档案类别"));
    masterRow(r, QStringLiteral("档案名称"));
    masterRow(r, QStringLiteral("档案日期"), QStringLiteral("存放位置"));
    spacer(r, 12);
    line(r,
         {{40, QStringLiteral("序号"), heading()},
          {120, QStringLiteral("资料编号"), heading()},
          {264, QStringLiteral("资料名称"), heading()},
          {180, QStringLiteral("备注"), heading()}},
         28);
    line(r,
         {{40, QStringLiteral("<序号>"), value(1)},
          {120, QStringLiteral("[资料编号]"), value()},
          {264, QStringLiteral("[资料名称]"), value()},
          {180, QStringLiteral("[备注]"), value()}},
         24);
    pageNumberLine(r);
}

void lendingSlip(TReportControl& r)
{
    titleLines(r, QStringLiteral("档案借阅单"));
    masterRow(r, QStringLiteral("档案编号"), QStringLiteral("档案类别"));
    masterRow(r, QStringLiteral("档案名称"));
    masterRow(r, QStringLiteral("存放位置"), QStringLiteral("保密等级"));
    spacer(r, 12);
    const QList<Cell> cols = {{40, QStringLiteral("序号"), value(1)},     {140, QStringLiteral("借阅编号"), value()},
                              {76, QStringLiteral("借阅人员"), value()},  {84, QStringLiteral("借阅日期"), value(1)},
                              {84, QStringLiteral("归还期限"), value(1)}, {84, QStringLiteral("归还日期"), value(1)},
                              {96, QStringLiteral("借阅备注"), value()}};
    QList<Cell> heads, data;
    for (const Cell& c : cols) {
        heads.append({c.width, c.text, heading()});
        data.append(
            {c.width,
             c.text == QStringLiteral("序号") ? QStringLiteral("<序号>") : QLatin1Char('[') + c.text + QLatin1Char(']'),
             c.style});
    }
    line(r, heads, 28);
    line(r, data, 24);
    // Signatures: a blank with a line under it after each caption.
    Style sign = plain(2);
    sign.vertAlign = 2;
    Style blank = plain();
    blank.vertAlign = 2;
    TReportLine* l = line(r,
                          {{110, QStringLiteral("经办人："), sign},
                           {150, QString(), blank},
                           {130, QStringLiteral("借阅人签字："), sign},
                           {150, QString(), blank},
                           {usable(r) - 540, QString(), blank}},
                          44);
    l->cell(1)->setBorder(3, {1, 1});
    l->cell(3)->setBorder(3, {1, 1});
    pageNumberLine(r);
}

void lendingQuery(TReportControl& r)
{
    // Nine columns: landscape A4.
    r.setPageSize(TReportControl::DefaultPageHeight, TReportControl::DefaultPageWidth);
    r.setPaper(9, 2, 2970, 2100);
    list(r, QStringLiteral("档案借阅资料查询报表"),
         {{40, QStringLiteral("序号"), value(1)},
          {140, QStringLiteral("借阅编号"), value()},
          {88, QStringLiteral("借阅日期"), value(1)},
          {80, QStringLiteral("借阅人员"), value()},
          {96, QStringLiteral("档案编号"), value()},
          {189, QStringLiteral("档案名称"), value()},
          {88, QStringLiteral("归还期限"), value(1)},
          {88, QStringLiteral("归还日期"), value(1)},
          {74, QStringLiteral("备注"), value()}});
}

} // namespace

const QList<Entry>& entries()
{
    static const QList<Entry> list = {
        {QStringLiteral("200700000007"), QStringLiteral("ArchiveForm"), QStringLiteral("档案资料"),
         QStringLiteral("M")},
        {QStringLiteral("200700000008"), QStringLiteral("QueryArchiveDetail"), QStringLiteral("档案明细资料查询报表"),
         QStringLiteral("M")},
        {QStringLiteral("200700000009"), QStringLiteral("SelectArchivesDetailForm"), QStringLiteral("档案明细资料报表"),
         QStringLiteral("MD")},
        {QStringLiteral("200700000010"), QStringLiteral("SelectArchivesLend"), QStringLiteral("档案借阅单"),
         QStringLiteral("MD")},
        {QStringLiteral("200700000011"), QStringLiteral("QueryArchiveLendForm"), QStringLiteral("档案借阅资料查询报表"),
         QStringLiteral("M")},
    };
    return list;
}

bool build(const QString& printId, TReportControl& r)
{
    r.clear();
    if (printId == QStringLiteral("200700000007"))
        archiveList(r);
    else if (printId == QStringLiteral("200700000008"))
        detailQuery(r);
    else if (printId == QStringLiteral("200700000009"))
        detailReport(r);
    else if (printId == QStringLiteral("200700000010"))
        lendingSlip(r);
    else if (printId == QStringLiteral("200700000011"))
        lendingQuery(r);
    else
        return false;
    r.layout();
    return true;
}

} // namespace DeliveredTemplates
