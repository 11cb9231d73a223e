#include "XlsxSource.h"

#include "ReadAhead.h"
#include "XmlScanner.h"

#include <QDir>
#include <QXmlStreamReader>

#include <cstring>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace {

// The small parts (relationships, workbook, styles) are read whole; none of them is this large in a real
// workbook.
constexpr qint64 SmallPartLimit = 64 * 1024 * 1024;
constexpr int MaxEntries = 100000;
constexpr int MaxColumns = 16384;
constexpr qint64 MaxRows = 1048576;

// A relationship target as a package entry name: absolute, or relative to the folder of the part that
// names it (the folder above the relationships' own "_rels/").
QString resolveTarget(const QString& relsPart, const QString& target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    const qsizetype rels = relsPart.lastIndexOf(QLatin1String("_rels/"));
    return QDir::cleanPath(relsPart.left(qMax<qsizetype>(rels, 0)) + target);
}

QString relsPartOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

bool typeIs(const QString& type, QLatin1StringView suffix)
{
    return type.endsWith(QLatin1Char('/') + suffix);
}

// Column index (from 0) of a cell reference such as "AB12"; -1 when it has no letters.
int columnOf(QByteArrayView ref)
{
    int col = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char c = ref[i];
        if (c >= 'A' && c <= 'Z')
            col = col * 26 + (c - 'A' + 1);
        else if (c >= 'a' && c <= 'z')
            col = col * 26 + (c - 'a' + 1);
        else
            break;
        if (col > MaxColumns)
            return MaxColumns;
    }
    return i == 0 ? -1 : col - 1;
}

qint64 rowOf(QByteArrayView ref)
{
    qsizetype i = 0;
    while (i < ref.size() && !(ref[i] >= '0' && ref[i] <= '9'))
        ++i;
    bool ok = false;
    const qint64 r = ref.sliced(i).toLongLong(&ok);
    return ok ? r : 0;
}

qint64 toIndex(QByteArrayView digits, bool* ok)
{
    qint64 v = 0;
    if (digits.isEmpty() || digits.size() > 12) {
        *ok = false;
        return 0;
    }
    for (char c : digits) {
        if (c < '0' || c > '9') {
            *ok = false;
            return 0;
        }
        v = v * 10 + (c - '0');
    }
    *ok = true;
    return v;
}

// Spreadsheet text from UTF-8, with the _xHHHH_ escapes undone (looked for on the bytes: most text has none).
QString stringText(QByteArrayView utf8)
{
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    bool escaped = false;
    while (p < end) {
        const char* u = static_cast<const char*>(std::memchr(p, '_', size_t(end - p)));
        if (!u)
            break;
        if (u + 1 < end && u[1] == 'x') {
            escaped = true;
            break;
        }
        p = u + 1;
    }
    const QString text = QString::fromUtf8(utf8);
    return escaped ? CellText::unescapeXmlString(text) : text;
}

QString isoDateTimeText(QByteArrayView v, SheetReader::CellKind* kind)
{
    // "2009-03-25T10:11:12(.sss)(Z)": a date, with its time when it has one.
    const QString s = QString::fromLatin1(v.trimmed());
    const QString date = s.left(10);
    QString time = s.mid(11, 8);
    if (s.size() <= 10 || time.isEmpty() || time == QLatin1String("00:00:00")) {
        *kind = SheetReader::CellKind::Date;
        return date;
    }
    *kind = SheetReader::CellKind::DateTime;
    return date + QLatin1Char(' ') + time;
}

} // namespace

XlsxSource::XlsxSource() = default;

XlsxSource::~XlsxSource()
{
    stopRowScan();
    m_readAhead.reset();
    m_scanner.reset();
    if (m_file && m_file->isOpen())
        m_file->close();
    m_file.reset();
    if (m_zip)
        m_zip->close();
}

QString XlsxSource::damaged(const QString& detail) const
{
    return SheetMessage::damaged(detail);
}

bool XlsxSource::openPackage(const QString& path, QString* error)
{
    m_zip = std::make_unique<QuaZip>(path);
    if (!m_zip->open(QuaZip::mdUnzip)) {
        *error = damaged(QStringLiteral("不是完整的 zip 文件包"));
        return false;
    }
    if (m_zip->getEntriesCount() > MaxEntries) {
        *error = damaged(QStringLiteral("文件包条目过多"));
        return false;
    }
    m_file = std::make_unique<QuaZipFile>(m_zip.get());
    m_limit = SheetReader::inflateLimit();
    return true;
}

bool XlsxSource::hasEntry(const QString& name)
{
    return m_zip->setCurrentFile(name, QuaZip::csInsensitive);
}

bool XlsxSource::openEntry(const QString& name, QString* error)
{
    m_readAhead.reset();
    if (m_file->isOpen())
        m_file->close();
    if (!m_zip->setCurrentFile(name, QuaZip::csInsensitive)) {
        *error = damaged(QStringLiteral("缺少 %1").arg(name));
        return false;
    }
    QuaZipFileInfo64 info;
    if (m_zip->getCurrentFileInfo(&info) && info.isEncrypted()) {
        *error = SheetMessage::encrypted();
        return false;
    }
    if (!m_file->open(QIODevice::ReadOnly)) {
        *error = damaged(QStringLiteral("%1 不能解压").arg(name));
        return false;
    }
    m_inflated = 0;
    m_streamError.clear();
    return true;
}

void XlsxSource::startReadAhead()
{
    m_readAhead = std::make_unique<ReadAhead>([this](char* data, qint64 max) { return readEntryChunk(data, max); });
}

QString XlsxSource::streamError()
{
    m_readAhead.reset();
    return m_streamError;
}

qint64 XlsxSource::readEntryChunk(char* data, qint64 max)
{
    if (!m_file->isOpen())
        return 0;
    const qint64 n = m_file->read(data, max);
    if (n > 0) {
        m_inflated += n;
        if (m_inflated > m_limit) {
            m_streamError = SheetMessage::tooLarge();
            return -1;
        }
        return n;
    }
    // The end of the entry: a wrong checksum shows only now.
    const int readError = m_file->getZipError();
    m_file->close();
    if (readError != UNZ_OK || m_file->getZipError() != UNZ_OK) {
        m_streamError = damaged(QStringLiteral("数据校验错误"));
        return -1;
    }
    return 0;
}

bool XlsxSource::readWholeEntry(const QString& name, qint64 limit, QByteArray* out, QString* error)
{
    if (!openEntry(name, error))
        return false;
    const qint64 saved = m_limit;
    m_limit = qMin(limit, saved);
    out->clear();
    char buf[65536];
    qint64 n = 0;
    while ((n = readEntryChunk(buf, sizeof buf)) > 0)
        out->append(buf, qsizetype(n));
    m_limit = saved;
    if (n < 0) {
        *error = m_streamError;
        return false;
    }
    return true;
}

bool XlsxSource::readRelationships(const QString& partName, QHash<QString, Relationship>* rels, QString* error)
{
    QByteArray data;
    if (!readWholeEntry(partName, SmallPartLimit, &data, error))
        return false;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (a.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        rels->insert(a.value(QLatin1String("Id")).toString(),
                     {a.value(QLatin1String("Type")).toString(),
                      resolveTarget(partName, a.value(QLatin1String("Target")).toString())});
    }
    if (xml.hasError()) {
        *error = damaged(QStringLiteral("%1: %2").arg(partName, xml.errorString()));
        return false;
    }
    return true;
}

bool XlsxSource::readWorkbook(QString* sheetRelId, QString* error)
{
    QByteArray data;
    if (!readWholeEntry(m_workbookPart, SmallPartLimit, &data, error))
        return false;
    QXmlStreamReader xml(data);
    struct SheetEntry
    {
        QString name;
        QString relId;
    };
    QList<SheetEntry> sheets;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("workbookPr")) {
            const auto v = xml.attributes().value(QLatin1String("date1904"));
            m_date1904 = v == QLatin1String("1") || v == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet")) {
            SheetEntry e;
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() == QLatin1String("name") && a.namespaceUri().isEmpty())
                    e.name = a.value().toString();
                else if (a.name() == QLatin1String("id") && !a.namespaceUri().isEmpty())
                    e.relId = a.value().toString();
            }
            sheets.append(e);
        }
    }
    if (xml.hasError()) {
        *error = damaged(QStringLiteral("%1: %2").arg(m_workbookPart, xml.errorString()));
        return false;
    }
    QHash<QString, Relationship> rels;
    if (!readRelationships(relsPartOf(m_workbookPart), &rels, error))
        return false;
    for (auto it = rels.cbegin(); it != rels.cend(); ++it) {
        if (typeIs(it->type, QLatin1StringView("styles")))
            m_stylesPart = it->target;
        else if (typeIs(it->type, QLatin1StringView("sharedStrings")))
            m_stringsPart = it->target;
    }
    // The first sheet in the workbook's order that is a worksheet (not a chart sheet).
    for (const SheetEntry& e : sheets) {
        const auto rel = rels.constFind(e.relId);
        if (rel != rels.cend() && typeIs(rel->type, QLatin1StringView("worksheet"))) {
            m_sheetName = e.name;
            m_sheetPart = rel->target;
            *sheetRelId = e.relId;
            return true;
        }
    }
    *error = QStringLiteral("文件中没有工作表");
    return false;
}

bool XlsxSource::locateParts(QString* error)
{
    m_workbookPart.clear();
    if (hasEntry(QStringLiteral("_rels/.rels"))) {
        QHash<QString, Relationship> rels;
        if (!readRelationships(QStringLiteral("_rels/.rels"), &rels, error))
            return false;
        for (const Relationship& r : std::as_const(rels)) {
            if (typeIs(r.type, QLatin1StringView("officeDocument")))
                m_workbookPart = r.target;
        }
    }
    if (m_workbookPart.isEmpty() && hasEntry(QStringLiteral("xl/workbook.xml")))
        m_workbookPart = QStringLiteral("xl/workbook.xml");
    if (m_workbookPart.isEmpty()) {
        if (hasEntry(QStringLiteral("content.xml")) && hasEntry(QStringLiteral("mimetype")))
            *error = QStringLiteral("这是 OpenDocument 文件(.ods),请在电子表格程序中另存为 .xlsx 后再读取");
        else
            *error = SheetMessage::foreign();
        return false;
    }
    if (m_workbookPart.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)) {
        *error = QStringLiteral("不能读取二进制工作簿(.xlsb),请在电子表格程序中另存为 .xlsx 后再读取");
        return false;
    }
    if (!m_workbookPart.startsWith(QLatin1String("xl/"), Qt::CaseInsensitive) &&
        !hasEntry(QStringLiteral("xl/workbook.xml")) && !m_workbookPart.contains(QLatin1String("workbook"))) {
        *error = SheetMessage::foreign(); // a word-processing or presentation document
        return false;
    }
    QString relId;
    return readWorkbook(&relId, error);
}

bool XlsxSource::readStyles(QString* error)
{
    if (m_stylesPart.isEmpty() || !hasEntry(m_stylesPart))
        return true;
    QByteArray data;
    if (!readWholeEntry(m_stylesPart, SmallPartLimit, &data, error))
        return false;
    QHash<int, QString> customFormats;
    QList<int> xfFormats;
    QXmlStreamReader xml(data);
    QStringList path;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::StartElement) {
            const QString name = xml.name().toString();
            const QString parent = path.isEmpty() ? QString() : path.last();
            if (name == QLatin1String("numFmt") && parent == QLatin1String("numFmts") && path.size() == 2) {
                customFormats.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                                     xml.attributes().value(QLatin1String("formatCode")).toString());
            } else if (name == QLatin1String("xf") && parent == QLatin1String("cellXfs") && path.size() == 2) {
                xfFormats.append(xml.attributes().value(QLatin1String("numFmtId")).toInt());
            }
            path.append(name);
        } else if (t == QXmlStreamReader::EndElement) {
            path.removeLast();
        }
    }
    if (xml.hasError()) {
        *error = damaged(QStringLiteral("%1: %2").arg(m_stylesPart, xml.errorString()));
        return false;
    }
    m_xfKinds.reserve(xfFormats.size());
    m_xfText.reserve(xfFormats.size());
    for (int id : std::as_const(xfFormats)) {
        const auto custom = customFormats.constFind(id);
        const CellText::FormatKind kind =
            custom != customFormats.cend() ? CellText::formatKind(*custom) : CellText::builtinFormatKind(id);
        m_xfKinds.append(kind);
        m_xfText.append(kind == CellText::FormatKind::Text);
    }
    return true;
}

bool XlsxSource::readSharedStrings(QString* error)
{
    if (m_stringsPart.isEmpty() || !hasEntry(m_stringsPart))
        return true;
    if (!openEntry(m_stringsPart, error))
        return false;
    startReadAhead();
    XmlScanner xml([this](char* data, qint64 max) { return m_readAhead->read(data, max); });
    QByteArray current;
    bool inItem = false;
    bool inText = false;
    int phonetic = 0; // inside <rPh>: a reading aid, not part of the text
    for (;;) {
        const XmlScanner::Token t = xml.next();
        if (t == XmlScanner::EndDocument)
            break;
        if (t == XmlScanner::Invalid) {
            const QString streamFault = streamError();
            *error =
                streamFault.isEmpty() ? damaged(m_stringsPart + QStringLiteral(": ") + xml.errorString()) : streamFault;
            return false;
        }
        const QByteArrayView name = xml.name();
        if (t == XmlScanner::StartElement) {
            if (name == "si") {
                inItem = true;
                current.resize(0);
            } else if (name == "rPh") {
                ++phonetic;
            } else if (name == "t" && inItem && phonetic == 0) {
                inText = true;
            } else if (name == "sst" && m_strings.isEmpty()) {
                bool ok = false;
                const qint64 count = xml.attribute("uniqueCount").toLongLong(&ok);
                if (ok && count > 0)
                    m_strings.reserve(qsizetype(qMin<qint64>(count, 1 << 20)));
            }
        } else if (t == XmlScanner::EndElement) {
            if (name == "si") {
                m_strings.append(stringText(current));
                inItem = false;
            } else if (name == "rPh") {
                phonetic = qMax(0, phonetic - 1);
            } else if (name == "t") {
                inText = false;
            }
        } else if (inText) {
            current.append(xml.text());
        }
    }
    return true;
}

bool XlsxSource::open(const QString& path, QString* error)
{
    if (!openPackage(path, error) || !locateParts(error) || !readStyles(error) || !readSharedStrings(error))
        return false;
    if (!openEntry(m_sheetPart, error))
        return false;
    startReadAhead();
    m_scanner = std::make_unique<XmlScanner>([this](char* data, qint64 max) { return m_readAhead->read(data, max); });
    if (!scanToSheetData(error))
        return false;
    if (!m_sheetDone)
        m_rowThread = std::thread([this] { scanRows(); });
    return true;
}

bool XlsxSource::scanToSheetData(QString* error)
{
    XmlScanner& xml = *m_scanner;
    for (;;) {
        const XmlScanner::Token t = xml.next();
        if (t == XmlScanner::StartElement) {
            if (xml.nameIs("sheetData"))
                return true;
            if (xml.nameIs("dimension")) {
                const QByteArrayView ref = xml.attribute("ref");
                const qsizetype colon = ref.indexOf(':');
                const QByteArrayView last = colon < 0 ? ref : ref.sliced(colon + 1);
                const int col = columnOf(last);
                m_declaredColumns = col >= 0 ? qMin(col + 1, MaxColumns) : 0;
                const qint64 r = rowOf(last);
                m_declaredRows = r > 0 ? qMin(r, MaxRows) : -1;
            }
        } else if (t == XmlScanner::EndDocument) {
            m_sheetDone = true; // a sheet without data: no rows
            return true;
        } else if (t == XmlScanner::Invalid) {
            m_sheetDone = true;
            const QString streamFault = streamError();
            *error = streamFault.isEmpty() ? damaged(xml.errorString()) : streamFault;
            return false;
        }
    }
}

void XlsxSource::stopRowScan()
{
    if (!m_rowThread.joinable())
        return;
    {
        std::lock_guard lock(m_rowMutex);
        m_rowStop = true;
    }
    m_rowChanged.notify_all();
    m_rowThread.join();
}

bool XlsxSource::pushBatch(RowBatch&& batch)
{
    std::unique_lock lock(m_rowMutex);
    m_rowChanged.wait(lock, [this] { return m_rowStop || m_batches.size() < MaxBatches; });
    if (m_rowStop)
        return false;
    m_batches.push_back(std::move(batch));
    lock.unlock();
    m_rowChanged.notify_all();
    return true;
}

// The worker's side: scans the rows into batches of raw cell texts, which nextRow turns into cells on the
// caller's thread. Inflating, scanning and making the texts thus run side by side.
void XlsxSource::scanRows()
{
    XmlScanner& xml = *m_scanner;
    RowBatch batch;
    auto fail = [&](const QString& message) {
        batch.error = message;
        batch.end = true;
        pushBatch(std::move(batch));
    };
    bool inRow = false;
    bool inCell = false;
    bool inValue = false;
    bool inInline = false;
    bool inText = false;
    int phonetic = 0;
    qint64 rowIndex = -1;
    int col = -1;
    RawCell cell;
    // A cell's text goes straight into the batch: its value, or its inline string's runs for an inline cell.
    bool inlineCell = false;
    batch.bytes.reserve(BatchBytes);
    batch.cells.reserve(RowsPerBatch * 8);
    auto endRow = [&]() -> bool {
        batch.rows.back().cellCount = int(batch.cells.size()) - batch.rows.back().firstCell;
        if (batch.rows.size() < RowsPerBatch)
            return true;
        const bool ok = pushBatch(std::move(batch));
        batch = RowBatch();
        batch.bytes.reserve(BatchBytes);
        batch.cells.reserve(RowsPerBatch * 8);
        return ok;
    };
    for (;;) {
        const XmlScanner::Token t = xml.next();
        if (t == XmlScanner::Characters) {
            if ((inValue && !inlineCell) || (inText && inlineCell))
                batch.bytes.append(xml.text());
            continue;
        }
        if (t == XmlScanner::StartElement) {
            if (inCell) {
                if (xml.nameIs("v")) {
                    if (!xml.readSimpleText())
                        inValue = true;
                    else if (!inlineCell)
                        batch.bytes.append(xml.text());
                } else if (xml.nameIs("is")) {
                    inInline = true;
                } else if (xml.nameIs("rPh")) {
                    ++phonetic;
                } else if (xml.nameIs("t") && inInline && phonetic == 0) {
                    if (!xml.readSimpleText())
                        inText = true;
                    else if (inlineCell)
                        batch.bytes.append(xml.text());
                }
            } else if (inRow && xml.nameIs("c")) {
                inCell = true;
                cell.offset = batch.bytes.size();
                const int at = columnOf(xml.attribute("r"));
                col = at >= 0 ? at : col + 1;
                if (col >= MaxColumns)
                    return fail(damaged(QStringLiteral("单元格位置超出范围")));
                const QByteArrayView type = xml.attribute("t");
                cell.type = type.isEmpty() || type == "n" ? CellType::Number
                            : type == "s"                 ? CellType::Shared
                            : type == "inlineStr"         ? CellType::Inline
                            : type == "str"               ? CellType::Formula
                            : type == "b"                 ? CellType::Boolean
                            : type == "e"                 ? CellType::Error
                            : type == "d"                 ? CellType::Date
                                                          : CellType::Number;
                bool ok = false;
                const QByteArrayView style = xml.attribute("s");
                cell.style = style.isEmpty() ? 0 : int(toIndex(style, &ok));
                if (!ok && !style.isEmpty())
                    cell.style = 0;
                cell.col = col;
                inlineCell = cell.type == CellType::Inline;
            } else if (xml.nameIs("row")) {
                inRow = true;
                bool ok = false;
                const qint64 r = toIndex(xml.attribute("r"), &ok);
                rowIndex = ok && r > 0 ? r - 1 : rowIndex + 1;
                if (rowIndex >= MaxRows)
                    return fail(damaged(QStringLiteral("行号超出范围")));
                col = -1;
                batch.rows.push_back({rowIndex, int(batch.cells.size()), 0});
            }
            continue;
        }
        if (t == XmlScanner::EndElement) {
            if (inCell) {
                if (xml.nameIs("c")) {
                    inCell = inValue = inInline = inText = false;
                    phonetic = 0;
                    cell.length = batch.bytes.size() - cell.offset;
                    batch.cells.push_back(cell);
                } else if (xml.nameIs("v")) {
                    inValue = false;
                } else if (xml.nameIs("t")) {
                    inText = false;
                } else if (xml.nameIs("rPh")) {
                    phonetic = qMax(0, phonetic - 1);
                } else if (xml.nameIs("is")) {
                    inInline = false;
                }
            } else if (inRow && xml.nameIs("row")) {
                inRow = false;
                if (!endRow())
                    return;
            } else if (xml.nameIs("sheetData")) {
                break;
            }
            continue;
        }
        if (t == XmlScanner::EndDocument) {
            if (inRow) // a row the file does not close still counts
                batch.rows.back().cellCount = int(batch.cells.size()) - batch.rows.back().firstCell;
            break;
        }
        // Invalid: the rows so far, then the error
        if (inRow)
            batch.rows.pop_back();
        const QString streamFault = streamError();
        return fail(streamFault.isEmpty() ? damaged(xml.errorString()) : streamFault);
    }
    batch.end = true;
    pushBatch(std::move(batch));
}

bool XlsxSource::finishCell(RawRow* row, bool wantInfo, const RawCell& cell, QByteArrayView bytes, QString* error)
{
    using Kind = SheetReader::CellKind;
    const int style = cell.style;
    const bool textFormat = style >= 0 && style < m_xfText.size() && m_xfText.at(style);
    Kind kind = Kind::Empty;
    QString text;
    const CellType type = cell.type;
    if (type == CellType::Shared) {
        bool ok = false;
        const qint64 index = toIndex(bytes.trimmed(), &ok);
        if (!bytes.isEmpty()) {
            if (!ok || index >= m_strings.size()) {
                *error = damaged(QStringLiteral("共享字符串编号 %1 不存在").arg(QString::fromLatin1(bytes)));
                return false;
            }
            text = m_strings.at(qsizetype(index));
            kind = Kind::Text;
        }
    } else if (type == CellType::Inline || type == CellType::Formula) {
        text = stringText(bytes);
        kind = Kind::Text;
    } else if (type == CellType::Boolean) {
        if (!bytes.isEmpty()) {
            text = bytes.trimmed() == "0" ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
            kind = Kind::Boolean;
        }
    } else if (type == CellType::Error) {
        text = QString::fromUtf8(bytes);
        kind = Kind::Error;
    } else if (type == CellType::Date) {
        if (!bytes.isEmpty())
            text = isoDateTimeText(bytes, &kind);
    } else if (!bytes.isEmpty()) {
        const CellText::FormatKind format =
            style >= 0 && style < m_xfKinds.size() ? m_xfKinds.at(style) : CellText::FormatKind::General;
        double serial = 0;
        if (format == CellText::FormatKind::General || format == CellText::FormatKind::Text) {
            text = CellText::numberFromStored(bytes);
            kind = Kind::Number;
        } else if (CellText::parseNumber(bytes, &serial)) {
            text = CellText::serialText(serial, format, m_date1904);
            kind = format == CellText::FormatKind::Date       ? Kind::Date
                   : format == CellText::FormatKind::DateTime ? Kind::DateTime
                                                              : Kind::Time;
        }
        if (text.isEmpty()) { // not a number after all: keep what is written
            text = QString::fromUtf8(bytes);
            kind = Kind::Text;
        }
    }
    if (text.isEmpty() && !textFormat)
        return true;
    const int col = cell.col;
    if (col >= row->cells.size()) {
        row->cells.resize(col + 1);
        if (wantInfo)
            row->info.resize(col + 1);
    }
    if (wantInfo)
        row->info[col] = {text.isEmpty() ? Kind::Empty : kind, textFormat};
    row->cells[col] = std::move(text);
    return true;
}

bool XlsxSource::nextRow(RawRow* row, bool wantInfo, QString* error)
{
    for (;;) {
        if (m_batchRow < qsizetype(m_batch.rows.size())) {
            const RawRowSpan& span = m_batch.rows[size_t(m_batchRow++)];
            row->index = span.index;
            row->cells.clear();
            row->info.clear();
            row->cells.reserve(m_declaredColumns);
            for (int i = span.firstCell; i < span.firstCell + span.cellCount; ++i) {
                const RawCell& cell = m_batch.cells[size_t(i)];
                if (!finishCell(row, wantInfo, cell, QByteArrayView(m_batch.bytes).sliced(cell.offset, cell.length),
                                error)) {
                    m_sheetDone = true;
                    m_batch = RowBatch();
                    m_batchRow = 0;
                    return false;
                }
            }
            return true;
        }
        if (m_batch.end || m_sheetDone || !m_rowThread.joinable()) {
            if (!m_batch.error.isEmpty())
                *error = m_batch.error;
            m_batch.error.clear();
            m_sheetDone = true;
            return false;
        }
        {
            std::unique_lock lock(m_rowMutex);
            m_rowChanged.wait(lock, [this] { return !m_batches.empty(); });
            m_batch = std::move(m_batches.front());
            m_batches.pop_front();
        }
        m_rowChanged.notify_all();
        m_batchRow = 0;
    }
}

qint64 XlsxSource::inflateFirstSheet(const QString& path, QString* error)
{
    XlsxSource source;
    if (!source.openPackage(path, error) || !source.locateParts(error) || !source.openEntry(source.m_sheetPart, error))
        return -1;
    QByteArray buf(256 * 1024, Qt::Uninitialized);
    qint64 n = 0;
    while ((n = source.readEntryChunk(buf.data(), buf.size())) > 0) {
    }
    if (n < 0) {
        *error = source.m_streamError;
        return -1;
    }
    return source.m_inflated;
}
