#pragma once

#include "PreparedReport.h"

#include <QAbstractScrollArea>
#include <QVector>

// The prepared pages one under the other, drawn to scale: the whole page, the page width, or
// a percentage of the real size. Only the pages in sight are drawn.
class ReportPageView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    enum class Fit { WholePage, PageWidth, Percent };

    explicit ReportPageView(QWidget *parent = nullptr);

    // The report stays its owner's; null shows nothing.
    void setReport(const PreparedReport *report);
    void setZoom(Fit fit, int percent = 100);
    Fit fit() const { return m_fit; }
    // Screen pixels per pixel of 1/96 inch on paper.
    double scale() const;

    int currentPage() const { return m_currentPage; }
    void showPage(int page);
    // Marks a found text and brings it into sight; a page of -1 clears the mark.
    void showHit(const PreparedReport::Hit &hit);

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    static constexpr int Gap = 12;
    QSizeF pageSize(int page) const;   // screen pixels
    void relayout();
    void updateCurrentPage();
    int pageLeft(int page) const;

    const PreparedReport *m_report = nullptr;
    Fit m_fit = Fit::PageWidth;
    int m_percent = 100;
    QVector<int> m_tops;    // each page's top, screen pixels from the top of the first
    int m_totalWidth = 0;
    int m_currentPage = -1;
    PreparedReport::Hit m_hit;
};
