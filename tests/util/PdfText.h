#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// What a PDF file shows, read back with poppler's pdftotext and pdfinfo: the pages with
// their sizes and the words with where they stand (points from the page's top left corner).
class PdfText
{
public:
    struct Word
    {
        int page;
        QString text;
        QRectF box;
    };

    explicit PdfText(const QString &path);

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    int pageCount() const { return m_pageSizes.size(); }
    QSizeF pageSize(int page) const { return m_pageSizes.value(page); }
    QList<Word> words() const { return m_words; }
    // The words of a page in reading order, joined by blanks.
    QString pageText(int page) const;
    // The words that start with text, on any page.
    QList<Word> find(const QString &text) const;

    static constexpr double PointsPerMm = 72 / 25.4;

private:
    bool m_valid = false;
    QString m_error;
    QList<QSizeF> m_pageSizes;
    QList<Word> m_words;
};
