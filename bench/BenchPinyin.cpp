// Throughput of THzSpell::PinyinInitials on a typical customer name.
#include "HzSpell.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

int main()
{
    // Ten characters: hanzi of both GB2312 levels, a blank, ASCII, a digit.
    const QString name = QStringLiteral("上海长城 A空调3号");
    Q_ASSERT(name.size() == 10);

    qsizetype sink = 0;
    for (int i = 0; i < 10000; ++i)   // warm-up: converter and caches
        sink += THzSpell::PinyinInitials(name).size();

    const int rounds = 5;
    double best = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        long long calls = 0;
        while (timer.elapsed() < 400) {
            for (int i = 0; i < 1000; ++i)
                sink += THzSpell::PinyinInitials(name).size();
            calls += 1000;
        }
        const double perSecond = calls * 1e9 / double(timer.nsecsElapsed());
        if (perSecond > best)
            best = perSecond;
    }
    std::printf("PinyinInitials(\"%s\") = \"%s\"\n", qPrintable(name),
                qPrintable(THzSpell::PinyinInitials(name)));
    std::printf("%.0f calls per second (best of %d rounds)\n", best, rounds);
    return sink > 0 ? 0 : 1;
}
