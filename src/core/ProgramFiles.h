#pragma once

#include <QString>

// The program folder keeps what a workstation changes (Config.ini, DataBase/). What comes
// with the program (IMG/, help/, the Reports/ templates as delivered) is read from there
// when it holds a copy, else from beside the executable, so --home DIR needs none of it.
class ProgramFiles
{
public:
    static QString path(const QString &programDir, const QString &relative);
};
