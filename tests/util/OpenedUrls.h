#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop for local files while it lives: records each file the
// program asks the desktop to open (a written export, a help page) instead of opening it.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls();
    ~OpenedUrls() override;

    QList<QUrl> urls() const { return m_urls; }

public slots:
    void open(const QUrl &url) { m_urls << url; }

private:
    QList<QUrl> m_urls;
};
