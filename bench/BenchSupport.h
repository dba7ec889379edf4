#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>

// What every benchmark here needs: elapsed milliseconds, a widget drawn as the operator
// would see it, and the process's memory.
inline double milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

inline void draw(QWidget *widget)
{
    widget->repaint();
    QApplication::sendPostedEvents();
    widget->grab();
}

// The most memory the process has held so far (its peak resident set), in kB.
inline qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}
