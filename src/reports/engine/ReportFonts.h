#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// The fonts templates name, mapped to installed ones that fit the same boxes: 宋体 to a
// Ming-style CJK font, Arial to its metric-compatible Liberation Sans; Chinese text in a
// Latin font falls back to the CJK font.
namespace ReportFonts {

// A font of pixelSize pixels (1/96 inch), laid out without hinting so that widths measured
// once hold on the screen, on paper and in a PDF alike.
QFont font(const QString &family, int pixelSize, bool bold);
// The families a template may name, for the designer.
QStringList families();

} // namespace ReportFonts
