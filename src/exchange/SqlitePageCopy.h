#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>

// Copies an SQLite database into another with SQLite's online backup, page by page: the copy
// is the database as it stood at one moment, also while other connections write to it, and
// the work goes in steps so that progress can be shown.
class SqlitePageCopy
{
public:
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // source and target are open SQLite connections; whatever target held is replaced. The
    // source is read inside one read transaction from the first page to the last.
    static bool copy(QSqlDatabase &source, QSqlDatabase &target, const Progress &progress, QString *error);
};
