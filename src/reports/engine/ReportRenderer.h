#pragma once

#include "PreparedReport.h"

#include <QString>

class QPagedPaintDevice;
class QPainter;

// Draws prepared pages; the preview, the printer and the PDF all go through here, so what
// the preview shows is what prints.
namespace ReportRenderer {

// Draws a page with the painter's coordinates in pixels of 1/96 inch from the paper's top
// left corner. Pages that a device draws in bands pass the area to draw (same units).
void drawPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &area = QRectF());

// Prints pages first..last (0-based) on a printer or a PDF writer, each on paper of its
// own size; the device must print from the paper's edge (no margins of its own).
bool print(const PreparedReport &report, QPagedPaintDevice &device, int first, int last);

bool writePdf(const PreparedReport &report, const QString &path, QString *error);

} // namespace ReportRenderer
