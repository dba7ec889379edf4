#pragma once

#include <QTest>

// Types text key by key into the focused widget's place, as an input method delivers it:
// QTest::keyClicks knows only ASCII keys.
inline void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
