#pragma once

#include "PreparedReport.h"
#include "ReportDataSource.h"
#include "ReportExpression.h"
#include "ReportTemplate.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QList>
#include <functional>
#include <memory>

// Prepares a template from its data sets: every expression is checked first; then bands are
// placed page by page (report title, page header and column headers at the top, the page
// footer at the bottom, data bands once per row of their data set with their child and
// detail bands) and turned into drawing commands.
class ReportEngine
{
public:
    // The template and the data sets must outlive the engine.
    ReportEngine(const ReportTemplate &report, const QList<ReportDataSource *> &dataSets);
    ~ReportEngine();

    // The name messages give the template (its file name, usually).
    void setTemplateName(const QString &name) { m_templateName = name; }
    void setPrintTime(const QDateTime &time) { m_printTime = time; }
    // Called as each page starts with the rows of the data bands printed so far and their
    // number; returning false stops the preparation (prepare() then fails with an empty
    // errorString()).
    void setProgressHandler(std::function<bool(int done, int total)> handler) { m_progress = std::move(handler); }

    // Every expression and every data band's data set exists; else the first fault in errorString().
    bool check();
    // Fills prepared with the pages; false, with nothing prepared, when check() fails.
    bool prepare(PreparedReport *prepared);
    QString errorString() const { return m_error; }

    // How a field's value prints.
    static QString formatValue(const QVariant &value);

    // Inner margins of a text object, in pixels of 1/96 inch.
    static constexpr double GapX = 2;
    static constexpr double GapY = 1;

private:
    struct Line
    {
        float x, baseline, width, height;
        QString text;
    };
    struct CompiledPart
    {
        TextPart::Kind kind;
        QString literal;
        ReportDataSource *source = nullptr;
        int field = -1;
    };
    struct CompiledItem
    {
        const ReportItem *item = nullptr;
        QVector<CompiledPart> parts;
        bool isStatic = true;
        int font = -1;
        bool staticLaidOut = false;
        std::vector<Line> staticLines;
        int image = -1;
    };
    struct CompiledBand
    {
        const ReportBand *band = nullptr;
        ReportDataSource *source = nullptr;
        std::vector<CompiledItem> items;
        std::vector<int> children;      // child bands printed right after this one
        std::vector<int> details;       // detail data bands printed after each row
    };

    bool compile();
    bool compileItem(const ReportItem &item, CompiledItem *compiled);
    bool fail(const QString &text);
    ReportDataSource *findSource(const QString &name) const;
    QString evaluate(const CompiledItem &item) const;
    std::vector<Line> layoutText(const QString &text, const ReportItem &item, int font) const;
    const QFontMetricsF &metrics(int font) const;

    double chainHeight(int band) const;
    void startPage();
    void finishPage();
    void placeChain(int band);
    void drawBand(CompiledBand &band, double top);
    void drawItem(CompiledItem &item, double left, double top);
    void printRows(int band, bool master);

    const ReportTemplate &m_report;
    QList<ReportDataSource *> m_dataSets;
    QString m_templateName;
    QDateTime m_printTime;
    QString m_error;
    std::function<bool(int, int)> m_progress;
    bool m_cancelled = false;
    int m_rowsDone = 0;
    int m_rowsTotal = 0;

    std::vector<CompiledBand> m_bands;
    int m_title = -1, m_pageHeader = -1, m_pageFooter = -1, m_summary = -1;
    std::vector<int> m_columnHeaders;
    std::vector<int> m_masters;

    PreparedReport *m_out = nullptr;
    PreparedPage *m_page = nullptr;
    int m_pageNumber = 0;
    double m_y = 0;
    double m_bottom = 0;
    bool m_pageHasRows = false;
    mutable std::vector<std::unique_ptr<QFontMetricsF>> m_metrics;
};
