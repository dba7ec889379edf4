#include "Schema.h"

#include "DbConnection.h"
#include "ExpectedRows.h"
#include "TableDefinitions.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace {

const QString VersionTable = QStringLiteral("T_SchemaVersion");

QString columnDefinition(const ColumnDefinition &column, const SqlDialect &dialect)
{
    QString definition = QStringLiteral("%1 %2").arg(QString::fromLatin1(column.name),
                                                     dialect.columnType(column.type, column.size));
    if (column.defaultValue)
        definition += QStringLiteral(" DEFAULT ") + QString::fromLatin1(column.defaultValue);
    return definition;
}

QString createTableStatement(const TableDefinition &table, const SqlDialect &dialect)
{
    QStringList columns;
    for (const auto &column : table.columns)
        columns << columnDefinition(column, dialect);
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
        .arg(QString::fromLatin1(table.name), columns.join(QStringLiteral(", ")));
}

QString createIndexStatement(const IndexDefinition &index)
{
    QString sql = QStringLiteral("CREATE %1INDEX IF NOT EXISTS %2 ON %3 (%4)")
                      .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(), QString::fromLatin1(index.name),
                           QString::fromLatin1(index.table), QString::fromLatin1(index.columns));
    if (index.where)
        sql += QStringLiteral(" WHERE ") + QString::fromLatin1(index.where);
    return sql;
}

bool hasRowVersion(const TableDefinition &table)
{
    for (const auto &column : table.columns) {
        if (qstrcmp(column.name, RowVersionColumn) == 0)
            return true;
    }
    return false;
}

QStringList programTableNames()
{
    QStringList names;
    for (const auto &table : tableDefinitions())
        names << QString::fromLatin1(table.name).toLower();
    return names;
}

QStringList userTables(QSqlDatabase &db, const SqlDialect &dialect)
{
    QStringList tables;
    for (const QString &table : dialect.tableNames(db)) {
        if (!table.startsWith(QLatin1String("sqlite_")))
            tables << table;
    }
    return tables;
}

// Runs the schema statements of one transaction; the first failure stops them.
class SchemaWriter
{
public:
    SchemaWriter(DbConnection &connection) : m_connection(connection), m_dialect(connection.dialect()) {}

    bool run(const QString &sql)
    {
        if (!m_error.isEmpty())
            return false;
        QSqlError error;
        if (!m_connection.exec(sql, {}, &error))
            m_error = error.text().trimmed().isEmpty() ? sql : error.text();
        return m_error.isEmpty();
    }

    void createTables()
    {
        for (const auto &table : tableDefinitions())
            run(createTableStatement(table, m_dialect));
    }

    // Columns added and text columns widened since the database was made.
    void reconcileColumns()
    {
        QSqlDatabase db = m_connection.database();
        for (const auto &table : tableDefinitions()) {
            const QString name = QString::fromLatin1(table.name);
            const QSqlRecord existing = db.record(name.toLower());   // as PostgreSQL keeps unquoted names
            for (const auto &column : table.columns) {
                const QString columnName = QString::fromLatin1(column.name);
                const int index = existing.indexOf(columnName);
                if (index < 0) {
                    run(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(name, columnDefinition(column, m_dialect)));
                } else if (column.type == SqlDialect::ColumnType::Text && existing.field(index).length() > 0
                           && existing.field(index).length() < column.size) {
                    const QString widen = m_dialect.widenTextColumn(name, columnName, column.size);
                    if (!widen.isEmpty())
                        run(widen);
                }
            }
        }
    }

    void createIndexesAndTriggers()
    {
        for (const auto &index : indexDefinitions())
            run(createIndexStatement(index));
        for (const auto &table : tableDefinitions()) {
            if (!hasRowVersion(table))
                continue;
            const QString name = QString::fromLatin1(table.name);
            const QString key = QString::fromLatin1(table.columns.front().name);
            for (const QString &sql : m_dialect.rowVersionTrigger(name, key, QString::fromLatin1(RowVersionColumn)))
                run(sql);
        }
    }

    // Rows the program delivers that a later version delivers otherwise: changed where the
    // dealer left them as delivered.
    void upgradeRows(int fromVersion)
    {
        struct RowUpgrade
        {
            int version;        // made by this version of the schema
            const char *sql;
        };
        static const RowUpgrade upgrades[] = {
            {2, "UPDATE T_FieldShow SET Width = 150 WHERE Field IN ('danhao', 'batch') AND Width = 130"},
            {2, "UPDATE T_FieldShow SET Name = '接受人' WHERE lower(TableName) = 'bill' AND Field = 'people' AND Name = '接待人'"},
        };
        for (const RowUpgrade &upgrade : upgrades) {
            if (upgrade.version > fromVersion)
                run(QString::fromUtf8(upgrade.sql));
        }
    }

    void recordVersion()
    {
        run(QStringLiteral("DELETE FROM %1").arg(VersionTable));
        run(QStringLiteral("INSERT INTO %1 (Version) VALUES (%2)").arg(VersionTable).arg(Schema::CurrentVersion));
    }

    void insertExpectedRows()
    {
        if (!m_error.isEmpty())
            return;
        QSqlDatabase db = m_connection.database();
        ExpectedRows::insert(db, &m_error);
    }

    QString error() const { return m_error; }

private:
    DbConnection &m_connection;
    const SqlDialect &m_dialect;
    QString m_error;
};

QString newerText(int version)
{
    return QStringLiteral("数据库由较新版本的程序建立（数据库版本 %1，本程序支持到版本 %2），请使用新版本的程序。")
        .arg(version)
        .arg(Schema::CurrentVersion);
}

QString otherTablesText()
{
    return QStringLiteral("数据库中没有本程序的数据表，它不是本程序的数据库。"
                          "（程序运行时直接复制的 server.db 可能不完整，请用程序的数据库备份功能复制数据库。）");
}

} // namespace

int Schema::storedVersion(QSqlDatabase &db, const SqlDialect &dialect)
{
    const QStringList tables = userTables(db, dialect);
    const QStringList ours = programTableNames();
    bool any = false;
    for (const QString &table : tables)
        any = any || ours.contains(table);
    if (!any)
        return 0;
    if (!tables.contains(VersionTable.toLower()))
        return 1;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT MAX(Version) FROM %1").arg(VersionTable)) || !query.next())
        return 1;
    return qMax(1, query.value(0).toInt());
}

bool Schema::holdsOtherTables(QSqlDatabase &db, const SqlDialect &dialect)
{
    return !userTables(db, dialect).isEmpty() && storedVersion(db, dialect) == 0;
}

bool Schema::ensure(DbConnection &connection, bool mayCreate, QString *reason)
{
    QSqlDatabase db = connection.database();
    const SqlDialect &dialect = connection.dialect();
    const auto refuse = [reason](const QString &text) {
        if (reason)
            *reason = text;
        return false;
    };
    int version = storedVersion(db, dialect);
    if (version == CurrentVersion)
        return true;
    if (version > CurrentVersion)
        return refuse(newerText(version));

    // Creation or upgrade: one program at a time, all or nothing.
    QSqlError error;
    if (!connection.beginTransaction(&error))
        return refuse(error.text());
    SchemaWriter writer(connection);
    for (const QString &sql : dialect.schemaLockStatements())
        writer.run(sql);
    // Another program may have done the work while this one waited for the lock.
    version = storedVersion(db, dialect);
    if (version > CurrentVersion) {
        connection.rollback();
        return refuse(newerText(version));
    }
    if (version == 0 && (!mayCreate || holdsOtherTables(db, dialect))) {
        connection.rollback();
        return refuse(otherTablesText());
    }
    if (version < CurrentVersion) {
        writer.createTables();
        if (version > 0)
            writer.reconcileColumns();
        writer.createIndexesAndTriggers();
        if (version == 0)
            writer.insertExpectedRows();
        else
            writer.upgradeRows(version);
        writer.recordVersion();
    }
    if (!writer.error().isEmpty()) {
        connection.rollback();
        return refuse(writer.error());
    }
    if (!connection.commit(&error))
        return refuse(error.text());
    return true;
}
