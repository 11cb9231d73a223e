#include "ReportJson.h"

#include "ReportControl.h"

#include <QJsonArray>

namespace {

QJsonArray rect(const TReportRect& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

QJsonObject border(const TCellBorder& b)
{
    return {{QStringLiteral("drawn"), int(b.drawn)}, {QStringLiteral("width"), b.width}};
}

QString colour(quint32 c)
{
    return QStringLiteral("0x") + QString::number(c, 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

QJsonObject font(const TLogFont& f)
{
    return {{QStringLiteral("face"), f.face()},
            {QStringLiteral("height"), f.height},
            {QStringLiteral("pointSize"), f.pointSize()},
            {QStringLiteral("width"), f.width},
            {QStringLiteral("escapement"), f.escapement},
            {QStringLiteral("orientation"), f.orientation},
            {QStringLiteral("weight"), f.weight},
            {QStringLiteral("italic"), int(f.italic)},
            {QStringLiteral("underline"), int(f.underline)},
            {QStringLiteral("strikeOut"), int(f.strikeOut)},
            {QStringLiteral("charSet"), int(f.charSet)},
            {QStringLiteral("outPrecision"), int(f.outPrecision)},
            {QStringLiteral("clipPrecision"), int(f.clipPrecision)},
            {QStringLiteral("quality"), int(f.quality)},
            {QStringLiteral("pitchAndFamily"), int(f.pitchAndFamily)}};
}

QJsonArray ref(const TReportControl& r, const TReportCell* c)
{
    return {r.indexOf(c->line()), c->line()->indexOf(c)};
}

} // namespace

QJsonObject TemplateToJson(const TReportControl& r)
{
    QJsonArray lines;
    for (int li = 0; li < r.lineCount(); ++li) {
        const TReportLine* l = r.line(li);
        QJsonArray cells;
        for (int ci = 0; ci < l->cellCount(); ++ci) {
            const TReportCell* c = l->cell(ci);
            QJsonObject cell{
                {QStringLiteral("index"), c->index()},
                {QStringLiteral("textMargin"), c->textMargin()},
                {QStringLiteral("left"), c->left()},
                {QStringLiteral("width"), c->width()},
                {QStringLiteral("cellRect"), rect(c->cellRect())},
                {QStringLiteral("textRect"), rect(c->textRect())},
                {QStringLiteral("setHeight"), c->setHeight()},
                {QStringLiteral("neededHeight"), c->requiredHeight()},
                {QStringLiteral("mergedTextHeight"), c->mergedTextHeight()},
                {QStringLiteral("borders"), QJsonObject{{QStringLiteral("left"), border(c->leftLine())},
                                                        {QStringLiteral("top"), border(c->topLine())},
                                                        {QStringLiteral("right"), border(c->rightLine())},
                                                        {QStringLiteral("bottom"), border(c->bottomLine())}}},
                {QStringLiteral("diagonal"), colour(c->diagonal())},
                {QStringLiteral("textColor"), colour(c->textColor())},
                {QStringLiteral("backColor"), colour(c->backColor())},
                {QStringLiteral("horzAlign"), c->horzAlign()},
                {QStringLiteral("vertAlign"), c->vertAlign()},
                {QStringLiteral("text"), c->text()},
                {QStringLiteral("displayFormat"), c->displayFormat()},
                {QStringLiteral("font"), font(c->logFont())},
                {QStringLiteral("owner"), c->ownerCell() ? QJsonValue(ref(r, c->ownerCell())) : QJsonValue()},
            };
            if (c->hasPicture()) {
                const QImage img = c->picture();
                cell.insert(QStringLiteral("picture"), QJsonObject{{QStringLiteral("bytes"), c->bitmap().size()},
                                                                   {QStringLiteral("width"), img.width()},
                                                                   {QStringLiteral("height"), img.height()}});
            } else {
                cell.insert(QStringLiteral("picture"), QJsonValue());
            }
            QJsonArray merged;
            for (const TReportCell* m : c->cellsList())
                merged.append(ref(r, m));
            cell.insert(QStringLiteral("merged"), merged);
            cells.append(cell);
        }
        lines.append(QJsonObject{{QStringLiteral("index"), l->index()},
                                 {QStringLiteral("neededHeight"), l->neededHeight()},
                                 {QStringLiteral("setHeight"), l->setHeight()},
                                 {QStringLiteral("top"), l->top()},
                                 {QStringLiteral("rect"), rect(l->lineRect())},
                                 {QStringLiteral("cells"), cells}});
    }
    return {
        {QStringLiteral("version"), QStringLiteral("0x") + QString::number(r.streamVersion(), 16).toUpper()},
        {QStringLiteral("zoom"), r.zoom()},
        {QStringLiteral("page"),
         QJsonObject{{QStringLiteral("width"), r.pageWidth()}, {QStringLiteral("height"), r.pageHeight()}}},
        {QStringLiteral("margins"), QJsonObject{{QStringLiteral("left"), r.leftMargin()},
                                                {QStringLiteral("top"), r.topMargin()},
                                                {QStringLiteral("right"), r.rightMargin()},
                                                {QStringLiteral("bottom"), r.bottomMargin()},
                                                {QStringLiteral("leftMm"), r.leftMarginMm()},
                                                {QStringLiteral("topMm"), r.topMarginMm()},
                                                {QStringLiteral("rightMm"), r.rightMarginMm()},
                                                {QStringLiteral("bottomMm"), r.bottomMarginMm()}}},
        {QStringLiteral("reserved"), QJsonArray{int(r.reservedByte()), r.reservedInt1(), r.reservedInt2()}},
        {QStringLiteral("paper"), QJsonObject{{QStringLiteral("size"), r.paperSize()},
                                              {QStringLiteral("orientation"), r.orientation()},
                                              {QStringLiteral("length"), r.paperLength()},
                                              {QStringLiteral("width"), r.paperWidth()}}},
        {QStringLiteral("dataLineIndex"), r.dataLineIndex()},
        {QStringLiteral("lines"), lines},
    };
}
