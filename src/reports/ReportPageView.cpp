#include "ReportPageView.h"

#include "ReportRenderer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr double k = PreparedReport::PixelsPerMm;
}

ReportPageView::ReportPageView(QWidget *parent) : QAbstractScrollArea(parent)
{
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    viewport()->setPalette(palette);
    setFocusPolicy(Qt::StrongFocus);
}

void ReportPageView::setReport(const PreparedReport *report)
{
    m_report = report;
    m_hit = {};
    m_currentPage = -1;
    relayout();
    verticalScrollBar()->setValue(0);
    updateCurrentPage();
    viewport()->update();
}

void ReportPageView::setZoom(Fit fit, int percent)
{
    const int page = qMax(0, m_currentPage);
    m_fit = fit;
    m_percent = qBound(10, percent, 800);
    relayout();
    showPage(page);
    viewport()->update();
}

double ReportPageView::scale() const
{
    const double real = logicalDpiX() / 96.0;
    if (!m_report || m_report->pageCount() == 0 || m_fit == Fit::Percent)
        return real * m_percent / 100.0;
    // Fitted to the page in sight.
    const int page = qMax(0, m_currentPage);
    const double widest = m_report->page(page).sizeMm.width() * k;
    const double tallest = m_report->page(page).sizeMm.height() * k;
    const double byWidth = (viewport()->width() - 2 * Gap) / widest;
    if (m_fit == Fit::PageWidth)
        return qMax(0.05, byWidth);
    return qMax(0.05, qMin(byWidth, (viewport()->height() - 2 * Gap) / tallest));
}

QSizeF ReportPageView::pageSize(int page) const
{
    return m_report->page(page).sizeMm * k * scale();
}

void ReportPageView::relayout()
{
    m_tops.clear();
    m_totalWidth = 0;
    int y = Gap;
    if (m_report) {
        m_tops.reserve(m_report->pageCount());
        for (int page = 0; page < m_report->pageCount(); ++page) {
            const QSizeF size = pageSize(page);
            m_tops << y;
            y += qCeil(size.height()) + Gap;
            m_totalWidth = qMax(m_totalWidth, qCeil(size.width()) + 2 * Gap);
        }
    }
    verticalScrollBar()->setRange(0, qMax(0, y - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setRange(0, qMax(0, m_totalWidth - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

int ReportPageView::pageLeft(int page) const
{
    const int width = qCeil(pageSize(page).width());
    const int free = viewport()->width() - width;
    return free > 0 ? free / 2 : Gap - horizontalScrollBar()->value();
}

void ReportPageView::showPage(int page)
{
    if (page < 0 || page >= m_tops.size())
        return;
    verticalScrollBar()->setValue(m_tops[page] - Gap);
    updateCurrentPage();
}

void ReportPageView::showHit(const PreparedReport::Hit &hit)
{
    m_hit = hit;
    if (hit.page >= 0 && hit.page < m_tops.size()) {
        const double s = scale();
        const int y = m_tops[hit.page] + int(hit.rect.top() * s);
        const int top = verticalScrollBar()->value();
        if (y < top || y + hit.rect.height() * s > top + viewport()->height())
            verticalScrollBar()->setValue(y - viewport()->height() / 3);
        updateCurrentPage();
    }
    viewport()->update();
}

void ReportPageView::updateCurrentPage()
{
    int page = -1;
    if (!m_tops.isEmpty()) {
        // The page that holds the middle of the view.
        const int middle = verticalScrollBar()->value() + viewport()->height() / 2;
        page = int(std::upper_bound(m_tops.cbegin(), m_tops.cend(), middle) - m_tops.cbegin()) - 1;
        page = qBound(0, page, m_tops.size() - 1);
        if (verticalScrollBar()->value() == 0)
            page = 0;
    }
    if (page != m_currentPage) {
        m_currentPage = page;
        emit currentPageChanged(page);
    }
}

void ReportPageView::paintEvent(QPaintEvent *)
{
    if (!m_report || m_tops.isEmpty())
        return;
    QPainter painter(viewport());
    const double s = scale();
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    int first = int(std::upper_bound(m_tops.cbegin(), m_tops.cend(), top) - m_tops.cbegin()) - 1;
    for (int page = qMax(0, first); page < m_tops.size() && m_tops[page] < bottom; ++page) {
        const QSizeF size = pageSize(page);
        const QRectF paper(pageLeft(page), m_tops[page] - top, size.width(), size.height());
        painter.fillRect(paper.translated(3, 3), QColor(0x40, 0x40, 0x40));
        painter.fillRect(paper, Qt::white);
        painter.save();
        painter.setClipRect(paper);
        painter.translate(paper.topLeft());
        painter.scale(s, s);
        // The part of the page in sight, in the page's own units.
        const QRectF area(0, (top - m_tops[page]) / s, paper.width() / s, viewport()->height() / s);
        ReportRenderer::drawPage(painter, *m_report, page, area);
        if (m_hit.page == page) {
            painter.setPen(QPen(QColor(0xe0, 0x60, 0x00), 1.5));
            painter.setBrush(QColor(0xff, 0xd0, 0x00, 0x60));
            painter.drawRect(m_hit.rect.adjusted(-1, -1, 1, 1));
        }
        painter.restore();
    }
}

void ReportPageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int page = qMax(0, m_currentPage);
    const bool fitted = m_fit != Fit::Percent;
    relayout();
    if (fitted)
        showPage(page);
}

void ReportPageView::scrollContentsBy(int, int)
{
    updateCurrentPage();
    viewport()->update();
}

void ReportPageView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Home: showPage(0); break;
    case Qt::Key_End: showPage(m_tops.size() - 1); break;
    case Qt::Key_PageDown: showPage(m_currentPage + 1); break;
    case Qt::Key_PageUp: showPage(m_currentPage - 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
}
