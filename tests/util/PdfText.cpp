#include "PdfText.h"

#include <QProcess>
#include <QXmlStreamReader>

PdfText::PdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        m_error = QStringLiteral("pdftotext: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return;
    }
    QXmlStreamReader xml(process.readAllStandardOutput());
    int page = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attribute = [&xml](const char *name) { return xml.attributes().value(QLatin1String(name)).toDouble(); };
        if (xml.name() == QLatin1String("page")) {
            ++page;
            m_pageSizes << QSizeF(attribute("width"), attribute("height"));
        } else if (xml.name() == QLatin1String("word")) {
            const QRectF box(QPointF(attribute("xMin"), attribute("yMin")), QPointF(attribute("xMax"), attribute("yMax")));
            m_words.append({page, xml.readElementText(), box});
        }
    }
    if (xml.hasError()) {
        m_error = xml.errorString();
        return;
    }
    m_valid = true;
}

QString PdfText::pageText(int page) const
{
    QStringList texts;
    for (const Word &word : m_words) {
        if (word.page == page)
            texts << word.text;
    }
    return texts.join(QLatin1Char(' '));
}

QList<PdfText::Word> PdfText::find(const QString &text) const
{
    QList<Word> found;
    for (const Word &word : m_words) {
        if (word.text.startsWith(text))
            found << word;
    }
    return found;
}
