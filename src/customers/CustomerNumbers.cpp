#include "CustomerNumbers.h"

#include "DailyNumbers.h"

namespace {
constexpr int CounterLength = 4;
} // namespace

bool CustomerNumbers::endsInCounter(const QString &code)
{
    bool ok = false;
    code.right(CounterLength).toLongLong(&ok);
    return ok;
}

QString CustomerNumbers::NextCustCode(const QString &code)
{
    const QString prefix = code.left(qMax(0, code.size() - CounterLength));
    return prefix + DailyNumbers::padSequence(code.right(CounterLength).toLongLong() + 1);
}
