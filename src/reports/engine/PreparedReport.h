#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>
#include <vector>

// One drawing step of a prepared page, in pixels of 1/96 inch from the paper's top left corner.
struct DrawCommand
{
    enum class Type : quint8 { Text, Line, Frame, Picture };

    Type type = Type::Text;
    quint8 sides = 0;       // Frame: FrameSide flags
    quint16 style = 0;      // Text: font; Line and Frame: line width; Picture: image
    // Text: left end of the baseline, line width and height. Line: from (x, y) to (w, h).
    // Frame and Picture: the rectangle.
    float x = 0, y = 0, w = 0, h = 0;
    QString text;
};

struct PreparedPage
{
    QSizeF sizeMm;
    std::vector<DrawCommand> commands;
};

// A report made ready for the screen, a printer or a PDF: pages of drawing commands, with the
// fonts, line widths and pictures they share.
class PreparedReport
{
public:
    static constexpr double PixelsPerMm = 96 / 25.4;

    int pageCount() const { return int(m_pages.size()); }
    const PreparedPage &page(int index) const { return m_pages[size_t(index)]; }
    PreparedPage &addPage(const QSizeF &sizeMm);
    void clear();

    int fontIndex(const QFont &font);
    const QFont &font(int index) const { return m_fonts[index]; }
    double fontAscent(int index) const { return m_ascents[index]; }
    int lineWidthIndex(double width);
    double lineWidth(int index) const { return m_lineWidths[index]; }
    int imageIndex(const QImage &image, qint64 key);
    const QImage &image(int index) const { return m_images[index]; }

    // The texts of a page, line by line in the order they were placed.
    QStringList pageTexts(int page) const;

    struct Hit
    {
        int page = -1;
        QRectF rect;    // pixels of 1/96 inch
    };
    // Text lines holding text, in page order, without regard to case.
    QVector<Hit> find(const QString &text) const;

private:
    std::vector<PreparedPage> m_pages;
    QVector<QFont> m_fonts;
    QVector<double> m_ascents;
    QVector<double> m_lineWidths;
    QVector<QImage> m_images;
    QVector<qint64> m_imageKeys;
};
