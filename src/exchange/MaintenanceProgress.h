#pragma once

#include <QString>
#include <functional>

// How far a long piece of database maintenance has come: the step it is in, and done of total
// (a total of 0: the step cannot tell how far it is).
using MaintenanceProgress = std::function<void(const QString &step, qint64 done, qint64 total)>;
