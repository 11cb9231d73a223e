#pragma once

#include "PrintFields.h"
#include "ReportControl.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPageLayout>
#include <QRectF>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;
class ReportRowSource;
class TReportRunTime;

// Where previewing and printing happen: the GUI installs a host with the preview window, the printer and
// its dialog. Core code (and a machine without a GUI) has none: then there is no printer.
class ReportPrintHost
{
public:
    virtual ~ReportPrintHost() = default;
    virtual bool preview(TReportRunTime& runTime, int startPage) = 0;
    virtual bool print(TReportRunTime& runTime, bool showDialog) = 0;

    static ReportPrintHost* instance();
    static void setInstance(ReportPrintHost* host);
};

// Fills a report template with the rows of data sets and makes finished pages: the head lines once, the
// data line once per record, page breaks with page footer (F1) and report footer (F2), page sums and grand
// totals, row numbers, variables and page numbers. Pages are kept as template streams.
class TReportRunTime : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ReportFile READ ReportFile WRITE setReportFile)
    Q_PROPERTY(QStringList SetData READ SetData WRITE setSetData)
    Q_PROPERTY(bool AddSpace READ AddSpace WRITE setAddSpace)
    Q_PROPERTY(bool EnableEdit MEMBER m_enableEdit)
    Q_PROPERTY(bool EditEpt MEMBER m_editEpt)
    // A grid reference the caller may leave here; the run time only keeps it.
    Q_PROPERTY(QObject* PrDBGrid MEMBER m_prDBGrid)

public:
    // Columns of the data line that keep sums.
    static constexpr int SumColumns = 41;

    explicit TReportRunTime(QObject* parent = nullptr);
    ~TReportRunTime() override;

    // The template. Assigning a file loads it at once ("打开报表错误" when it cannot be read).
    QString ReportFile() const { return m_reportFile; }
    bool setReportFile(const QString& path);
    // A template stream held elsewhere (a template table's blob, the designer's memory stream).
    bool loadTemplate(const QByteArray& stream);
    const TReportControl& templateControl() const { return m_template; }
    // The print field list the bindings {…} and […] are resolved against; a loaded template is
    // converted again.
    void setPrintFields(const TPrintFieldsArray& fields);
    const TPrintFieldsArray& printFields() const { return m_printFields; }
    // Report title (print job and PDF title).
    void setTitle(const QString& title) { m_title = title; }
    QString title() const;

    // Data sets: a registry of named data sets and a default one for names that are not registered.
    void setDefaultDataSet(ReportRowSource* dataSet) { m_defaultDataSet = dataSet; }
    ReportRowSource* defaultDataSet() const { return m_defaultDataSet; }
    void registerDataSet(const QString& name, ReportRowSource* dataSet);
    void clearDataSets() { m_dataSets.clear(); }
    bool hasDataSets() const { return !m_dataSets.isEmpty(); }
    ReportRowSource* dataSet(const QString& name) const;
    // Finds the data set of a "SetDataSet" path ("Form.Component" or "Component").
    using DataSetResolver = std::function<ReportRowSource*(const QString& path)>;
    void setDataSetResolver(DataSetResolver resolver) { m_resolver = std::move(resolver); }

    // Commands "SetDataSet(name,path)" and "SETVARVALUE(name,value)", one per line.
    QStringList SetData() const { return m_commands; }
    void setSetData(const QStringList& commands);
    void applyCommands();
    void SetVarValue(const QString& name, const QString& value);
    QString varValue(const QString& name) const { return m_variables.value(name.toUpper()); }

    bool AddSpace() const { return m_addSpace; }
    void setAddSpace(bool on) { m_addSpace = on; }

    // Builds every page. A failure has been shown to the user.
    bool buildPages();
    int pageCount() const { return int(m_pages.size()); }
    QByteArray pageStream(int index) const { return m_pages.value(index); }
    bool loadPage(int index, TReportControl& into) const;

    // Paper of the template: size and orientation (user-defined paper as portrait with the page size).
    static QPageLayout pageLayout(const TReportControl& tpl);
    // The design page of a paper: its upright size at the design page's pixels per millimetre, turned for
    // landscape (an A4 sheet gives 758 × 1037 and 1037 × 758).
    static QSize designPageSize(const QPageLayout& paper);
    // The Windows paper code of a paper size (256: user-defined).
    static int paperCode(const QPageSize& size);
    // Applies margins (millimetres) and, when given, a paper to the template, and writes the template back
    // to ReportFile when it came from a file. The pages must be built again.
    bool changePageSetup(int leftMm, int topMm, int rightMm, int bottomMm, const QPageLayout* paper,
                         QString* error = nullptr);
    // Maps the design page onto target (anisotropic) and draws it as printed: pictures, then the cells.
    static void drawPage(QPainter& painter, const TReportControl& page, const QRectF& target);
    // Prints pages from..to (1-based) on a device whose layout is set; each page on its own sheet.
    bool printPages(QPagedPaintDevice& device, int from, int to, const std::function<bool()>& cancelled = {});
    // Builds the pages (when not built yet) and writes them to a PDF file (temporary name, then renamed).
    bool writePdf(const QString& path, QString* error = nullptr);

    // Through the installed host; without one: "未安装打印机".
    bool Preview(int startPage = 1);
    bool Print(bool showDialog = true);

private:
    struct Builder;
    friend struct Builder;

    void convertBindings();
    void enableControls();

    QString m_reportFile;
    QByteArray m_templateStream;
    TReportControl m_template;
    TPrintFieldsArray m_printFields;
    QString m_title;
    QHash<QString, ReportRowSource*> m_dataSets;
    ReportRowSource* m_defaultDataSet = nullptr;
    DataSetResolver m_resolver;
    QStringList m_commands;
    QHash<QString, QString> m_variables;
    bool m_addSpace = false;
    bool m_enableEdit = false;
    bool m_editEpt = false;
    QObject* m_prDBGrid = nullptr;
    QList<QByteArray> m_pages;
};

// Number of a display format: "0", "0.0", "0.00", "0,.00", "0,.000", "0,.0000" (decimals after the point, a
// comma anywhere groups thousands) or "大写金额" (capital money numerals). An empty format gives the plain number.
QString FormatReportNumber(double value, const QString& format);
