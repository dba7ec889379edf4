#include "PreparedReport.h"

#include <QFontMetricsF>

PreparedPage &PreparedReport::addPage(const QSizeF &sizeMm)
{
    m_pages.push_back(PreparedPage{sizeMm, {}});
    return m_pages.back();
}

void PreparedReport::clear()
{
    m_pages.clear();
    m_fonts.clear();
    m_ascents.clear();
    m_lineWidths.clear();
    m_images.clear();
    m_imageKeys.clear();
}

int PreparedReport::fontIndex(const QFont &font)
{
    const int index = m_fonts.indexOf(font);
    if (index >= 0)
        return index;
    m_fonts << font;
    m_ascents << QFontMetricsF(font).ascent();
    return m_fonts.size() - 1;
}

int PreparedReport::lineWidthIndex(double width)
{
    const int index = m_lineWidths.indexOf(width);
    if (index >= 0)
        return index;
    m_lineWidths << width;
    return m_lineWidths.size() - 1;
}

int PreparedReport::imageIndex(const QImage &image, qint64 key)
{
    const int index = m_imageKeys.indexOf(key);
    if (index >= 0)
        return index;
    m_images << image;
    m_imageKeys << key;
    return m_images.size() - 1;
}

QStringList PreparedReport::pageTexts(int page) const
{
    QStringList texts;
    for (const DrawCommand &command : m_pages[size_t(page)].commands) {
        if (command.type == DrawCommand::Type::Text)
            texts << command.text;
    }
    return texts;
}

QVector<PreparedReport::Hit> PreparedReport::find(const QString &text) const
{
    QVector<Hit> hits;
    if (text.isEmpty())
        return hits;
    for (int page = 0; page < pageCount(); ++page) {
        for (const DrawCommand &command : m_pages[size_t(page)].commands) {
            if (command.type == DrawCommand::Type::Text && command.text.contains(text, Qt::CaseInsensitive)) {
                const double top = command.y - m_ascents[command.style];
                hits.append({page, QRectF(command.x, top, command.w, command.h)});
            }
        }
    }
    return hits;
}
