#include "ReportRenderer.h"

#include "ReportTemplate.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {

QPageLayout layoutFor(const QSizeF &sizeMm)
{
    const bool landscape = sizeMm.width() > sizeMm.height();
    const QSizeF portrait = landscape ? sizeMm.transposed() : sizeMm;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

void frame(QPainter &painter, const DrawCommand &c)
{
    const QPointF topLeft(c.x, c.y);
    const QPointF topRight(c.x + c.w, c.y);
    const QPointF bottomLeft(c.x, c.y + c.h);
    const QPointF bottomRight(c.x + c.w, c.y + c.h);
    if (c.sides == FrameAll) {
        painter.drawRect(QRectF(topLeft, bottomRight));
        return;
    }
    if (c.sides & FrameLeft)
        painter.drawLine(topLeft, bottomLeft);
    if (c.sides & FrameTop)
        painter.drawLine(topLeft, topRight);
    if (c.sides & FrameRight)
        painter.drawLine(topRight, bottomRight);
    if (c.sides & FrameBottom)
        painter.drawLine(bottomLeft, bottomRight);
}

} // namespace

namespace ReportRenderer {

void drawPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setBrush(Qt::NoBrush);
    QPen pen(Qt::black);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    int font = -1;
    int lineWidth = -1;
    for (const DrawCommand &c : report.page(page).commands) {
        if (!area.isNull() && c.type != DrawCommand::Type::Line) {
            // Commands wholly outside the area are skipped (rough bounds are enough).
            const double top = c.type == DrawCommand::Type::Text ? c.y - c.h : c.y;
            if (top > area.bottom() || top + 2 * c.h < area.top())
                continue;
        }
        switch (c.type) {
        case DrawCommand::Type::Text:
            if (c.style != font) {
                font = c.style;
                painter.setFont(report.font(font));
            }
            painter.drawText(QPointF(c.x, c.y), c.text);
            break;
        case DrawCommand::Type::Line:
        case DrawCommand::Type::Frame:
            if (c.style != lineWidth) {
                lineWidth = c.style;
                pen.setWidthF(report.lineWidth(lineWidth));
                painter.setPen(pen);
            }
            if (c.type == DrawCommand::Type::Line)
                painter.drawLine(QPointF(c.x, c.y), QPointF(c.w, c.h));
            else
                frame(painter, c);
            break;
        case DrawCommand::Type::Picture:
            painter.drawImage(QRectF(c.x, c.y, c.w, c.h), report.image(c.style));
            break;
        }
    }
    painter.restore();
}

bool print(const PreparedReport &report, QPagedPaintDevice &device, int first, int last)
{
    first = qMax(0, first);
    last = qMin(last, report.pageCount() - 1);
    if (first > last)
        return false;
    device.setPageLayout(layoutFor(report.page(first).sizeMm));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = first; page <= last; ++page) {
        if (page > first) {
            const QSizeF size = report.page(page).sizeMm;
            if (size != report.page(page - 1).sizeMm)
                device.setPageLayout(layoutFor(size));
            device.newPage();
        }
        painter.resetTransform();
        const double scale = device.logicalDpiX() / 96.0;
        painter.scale(scale, device.logicalDpiY() / 96.0);
        drawPage(painter, report, page);
    }
    return painter.end();
}

bool writePdf(const PreparedReport &report, const QString &path, QString *error)
{
    if (report.pageCount() == 0) {
        if (error)
            *error = QStringLiteral("没有可导出的页面");
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
        writer.setCreator(QStringLiteral("aftersales"));
        if (!print(report, writer, 0, report.pageCount() - 1)) {
            if (error)
                *error = QStringLiteral("无法写入 PDF");
            file.cancelWriting();
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

} // namespace ReportRenderer
