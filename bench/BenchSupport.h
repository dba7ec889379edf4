#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

// What every benchmark here needs: elapsed milliseconds and a widget drawn as the operator
// would see it.
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
