#pragma once

#include "SqlDialect.h"

class PostgresDialect : public SqlDialect
{
public:
    QString name() const override { return QStringLiteral("PostgreSQL"); }
    QString columnType(ColumnType type, int size) const override;
    bool prepareConnection(QSqlDatabase &db, QString *error) const override;
    QString likeIgnoringCase(const QString &expr, const QString &placeholder) const override;
    QString textLength(const QString &expr) const override { return QStringLiteral("char_length(%1)").arg(expr); }
    QString numberAsText(const QString &expr) const override;
    QString yearMonth(const QString &expr) const override;
    QString beginWriteTransaction() const override { return QStringLiteral("BEGIN"); }
    QString lockRowsClause() const override { return QStringLiteral(" FOR UPDATE"); }
    QStringList schemaLockStatements() const override;
    QStringList rowVersionTrigger(const QString &table, const QString &keyColumn,
                                  const QString &versionColumn) const override;
    QString widenTextColumn(const QString &table, const QString &column, int size) const override;
    bool connectionAlive(QSqlDatabase &db) const override;
    QStringList tableNames(QSqlDatabase &db) const override;
    QString beginSnapshot() const override
    {
        return QStringLiteral("BEGIN TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY");
    }
    QStringList emptyTables(const QStringList &tables) const override;
    QStringList followHighestKey(const QString &table, const QString &keyColumn) const override;
    QStringList compactStatements() const override { return {QStringLiteral("VACUUM ANALYZE")}; }
    bool isUniqueViolation(const QSqlError &error) const override;
};
