#pragma once

#include "SqlDialect.h"

class SqliteDialect : public SqlDialect
{
public:
    QString name() const override { return QStringLiteral("SQLite"); }
    QString columnType(ColumnType type, int size) const override;
    bool prepareConnection(QSqlDatabase &db, QString *error) const override;
    QString likeIgnoringCase(const QString &expr, const QString &placeholder) const override;
    QString textLength(const QString &expr) const override { return QStringLiteral("length(%1)").arg(expr); }
    QString numberAsText(const QString &expr) const override;
    QString yearMonth(const QString &expr) const override;
    QString beginWriteTransaction() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString lockRowsClause() const override { return QString(); }
    QStringList schemaLockStatements() const override { return {}; }
    QStringList rowVersionTrigger(const QString &table, const QString &keyColumn,
                                  const QString &versionColumn) const override;
    QString widenTextColumn(const QString &, const QString &, int) const override { return QString(); }
    bool connectionAlive(QSqlDatabase &) const override { return true; }
    bool keyOrderReadsRows() const override { return true; }
    bool failedStatementAbortsTransaction() const override { return false; }
    bool prepareStorage(QSqlDatabase &db, QString *error) const override;
    void beforeClose(QSqlDatabase &db) const override;
    // The snapshot is taken by the first read of the transaction.
    QString beginSnapshot() const override { return QStringLiteral("BEGIN"); }
    QStringList compactStatements() const override { return {QStringLiteral("VACUUM")}; }
    QString integrityCheck(Scrutiny scrutiny) const override
    {
        return scrutiny == Scrutiny::Thorough ? QStringLiteral("PRAGMA integrity_check") : QStringLiteral("PRAGMA quick_check");
    }
    bool isUniqueViolation(const QSqlError &error) const override;
};
