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
    QString lockRowsRead() const override { return QStringLiteral(" FOR UPDATE"); }
};
