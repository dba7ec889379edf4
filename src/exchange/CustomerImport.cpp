#include "CustomerImport.h"

#include "SqlDialect.h"
#include "TableDefinitions.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>

namespace {

const QString CustomerTable = QStringLiteral("custom");
const QString PinyinField = QStringLiteral("pinyin");
const QString NameField = QStringLiteral("Company");
const QString CodeField = QStringLiteral("CustCode");
constexpr int PinyinLength = 50;

const ColumnDefinition *customerColumn(const QString &field)
{
    for (const auto &table : tableDefinitions()) {
        if (CustomerTable.compare(QLatin1String(table.name), Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &column : table.columns) {
            if (field.compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
                return &column;
        }
    }
    return nullptr;
}

QVariant typedNull(SqlDialect::ColumnType type)
{
    switch (type) {
    case SqlDialect::ColumnType::Integer: case SqlDialect::ColumnType::AutoNumber: return QVariant(QMetaType::fromType<qlonglong>());
    case SqlDialect::ColumnType::Float: case SqlDialect::ColumnType::Money: return QVariant(QMetaType::fromType<double>());
    case SqlDialect::ColumnType::DateTime: return QVariant(QMetaType::fromType<QDateTime>());
    case SqlDialect::ColumnType::Boolean: return QVariant(QMetaType::fromType<bool>());
    default: return QVariant(QMetaType::fromType<QString>());
    }
}

// 2024-01-05, 2024/1/5, 2024.1.5 or 2024年1月5日, with an optional time of day.
QDateTime parseDateTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(\\d{4})[-/.年](\\d{1,2})[-/.月](\\d{1,2})日?(?:[ T]+(\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.\\d+)?)?)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    return date.isValid() && time.isValid() ? QDateTime(date, time) : QDateTime();
}

bool parseBoolean(const QString &text, bool *value)
{
    static const QStringList yes = {QStringLiteral("是"), QStringLiteral("true"), QStringLiteral("1"), QStringLiteral("y"),
                                    QStringLiteral("yes"), QStringLiteral("√")};
    static const QStringList no = {QStringLiteral("否"), QStringLiteral("false"), QStringLiteral("0"), QStringLiteral("n"),
                                   QStringLiteral("no"), QStringLiteral("×")};
    if (yes.contains(text, Qt::CaseInsensitive))
        *value = true;
    else if (no.contains(text, Qt::CaseInsensitive))
        *value = false;
    else
        return false;
    return true;
}

// The text of a cell as the column's type: the conversion the data layer makes, with the
// reason when the text does not fit.
bool convert(const QString &text, const ColumnDefinition &column, const QString &header, QVariant *value, QString *reason)
{
    using T = SqlDialect::ColumnType;
    const QString trimmed = text.trimmed();
    if (column.type == T::Text || column.type == T::Memo) {
        if (text.isEmpty()) {
            *value = typedNull(column.type);
        } else if (column.type == T::Text && text.size() > column.size) {
            *reason = QStringLiteral("“%1”超过 %2 个字符").arg(header).arg(column.size);
            return false;
        } else {
            *value = text;
        }
        return true;
    }
    if (trimmed.isEmpty()) {
        *value = column.type == T::Boolean ? QVariant(false) : typedNull(column.type);
        return true;
    }
    bool ok = false;
    switch (column.type) {
    case T::Integer:
    case T::AutoNumber: {
        const double number = trimmed.toDouble(&ok);
        if (!ok || number != std::floor(number) || std::fabs(number) > 2147483647.0) {
            *reason = QStringLiteral("“%1”不是整数：%2").arg(header, text);
            return false;
        }
        *value = qlonglong(number);
        return true;
    }
    case T::Float:
    case T::Money: {
        const double number = trimmed.toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            *reason = QStringLiteral("“%1”不是数字：%2").arg(header, text);
            return false;
        }
        *value = number;
        return true;
    }
    case T::DateTime: {
        const QDateTime moment = parseDateTime(trimmed);
        if (!moment.isValid()) {
            *reason = QStringLiteral("“%1”不是日期：%2").arg(header, text);
            return false;
        }
        *value = moment;
        return true;
    }
    case T::Boolean: {
        bool flag = false;
        if (!parseBoolean(trimmed, &flag)) {
            *reason = QStringLiteral("“%1”不是“是”或“否”：%2").arg(header, text);
            return false;
        }
        *value = flag;
        return true;
    }
    default:
        *value = text;
        return true;
    }
}

} // namespace

CustomerImport::CustomerImport(const QSqlDatabase &db, const SqlDialect &dialect, const SheetCells &sheet,
                               const QList<Pair> &pairs, NameInitials initials)
    : m_db(db), m_dialect(dialect), m_sheet(sheet), m_initials(initials),
      m_rowSavepoints(dialect.failedStatementAbortsTransaction()), m_insert(db), m_control(db)
{
    QStringList headers = sheet.row(0);
    bool pinyinMapped = false;
    for (const Pair &pair : pairs) {
        const ColumnDefinition *column = customerColumn(pair.field.trimmed());
        if (!column) {
            m_mappingError = QStringLiteral("数据库中没有字段“%1”").arg(pair.field.trimmed());
            continue;
        }
        const QString field = QLatin1String(column->name);
        const bool taken = std::any_of(m_targets.cbegin(), m_targets.cend(), [&](const Target &t) { return t.field == field; });
        if (taken || column->type == SqlDialect::ColumnType::AutoNumber)
            continue;
        // The first sheet column of that header, letters compared without regard to case.
        int sheetColumn = -1;
        for (int c = 0; c < headers.size() && sheetColumn < 0; ++c) {
            if (headers[c].compare(pair.header, Qt::CaseInsensitive) == 0)
                sheetColumn = c;
        }
        if (sheetColumn < 0 && m_mappingError.isEmpty())
            m_mappingError = QStringLiteral("工作表中没有列标题“%1”").arg(pair.header);
        if (field == PinyinField)
            pinyinMapped = true;
        if (field == NameField)
            m_nameTarget = m_targets.size();
        m_targets.append({field, pair.header, sheetColumn, column});
    }
    QStringList columns;
    for (const Target &target : std::as_const(m_targets))
        columns << target.field;
    if (pinyinMapped || !m_initials)
        m_nameTarget = -1;
    if (m_nameTarget >= 0)
        columns << PinyinField;
    if (columns.isEmpty() && m_mappingError.isEmpty())
        m_mappingError = QStringLiteral("没有设置任何字段的对应关系");
    if (m_mappingError.isEmpty())
        m_insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(CustomerTable, columns.join(QStringLiteral(", ")),
                                  QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
}

bool CustomerImport::rowValues(int row, QVariantList *values, QString *reason) const
{
    for (const Target &target : m_targets) {
        QVariant value;
        if (!convert(m_sheet.text(row, target.sheetColumn), *target.column, target.header, &value, reason))
            return false;
        values->append(value);
    }
    if (m_nameTarget >= 0)
        values->append(m_initials(m_sheet.text(row, m_targets[m_nameTarget].sheetColumn)).trimmed().left(PinyinLength));
    return true;
}

QString CustomerImport::refusal(const QSqlError &error, const QVariantList &values) const
{
    if (m_dialect.isUniqueViolation(error)) {
        // The index names its column: custcode, or the installation order's batch.
        const QString text = error.databaseText() + error.driverText();
        for (int i = 0; i < m_targets.size(); ++i) {
            if (text.contains(m_targets[i].field, Qt::CaseInsensitive)) {
                if (m_targets[i].field == CodeField)
                    return QStringLiteral("用户编号“%1”已经存在").arg(values.value(i).toString());
                return QStringLiteral("“%1”的值“%2”已经存在").arg(m_targets[i].header, values.value(i).toString());
            }
        }
        return QStringLiteral("与已有的用户重复");
    }
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

bool CustomerImport::run(const QString &sql)
{
    // Not prepared: PostgreSQL prepares no SAVEPOINT statements.
    const bool ok = m_control.exec(sql);
    m_control.finish();
    return ok;
}

void CustomerImport::importRows(int count)
{
    const int end = qMin(m_sheet.rowCount(), m_next + count);
    if (!m_mappingError.isEmpty()) {
        for (; m_next < end; ++m_next) {
            if (!m_sheet.isRowEmpty(m_next))
                m_failures.append({m_next + 1, m_mappingError});
        }
        return;
    }
    const int failuresBefore = m_failures.size();
    const int succeededBefore = m_succeeded;
    QList<int> insertedRows;
    m_db.transaction();
    for (; m_next < end; ++m_next) {
        QVariantList values;
        QString reason;
        bool blank = true;
        for (const Target &target : std::as_const(m_targets))
            blank = blank && m_sheet.text(m_next, target.sheetColumn).trimmed().isEmpty();
        // A blank line in the sheet is no customer.
        if (blank)
            continue;
        if (!rowValues(m_next, &values, &reason)) {
            m_failures.append({m_next + 1, reason});
            continue;
        }
        // A row is one INSERT: where a refused statement undoes only itself, it needs no
        // savepoint of its own.
        if (m_rowSavepoints)
            run(QStringLiteral("SAVEPOINT import_row"));
        for (int i = 0; i < values.size(); ++i)
            m_insert.bindValue(i, values[i]);
        const bool inserted = m_insert.exec();
        const QSqlError error = inserted ? QSqlError() : m_insert.lastError();
        m_insert.finish();
        if (inserted) {
            if (m_rowSavepoints)
                run(QStringLiteral("RELEASE SAVEPOINT import_row"));
            ++m_succeeded;
            insertedRows << m_next;
        } else {
            if (m_rowSavepoints) {
                run(QStringLiteral("ROLLBACK TO SAVEPOINT import_row"));
                run(QStringLiteral("RELEASE SAVEPOINT import_row"));
            }
            m_failures.append({m_next + 1, refusal(error, values)});
        }
    }
    if (!m_db.commit()) {
        // The whole batch is lost: every row of it that went in is a failure now.
        const QString reason = m_db.lastError().text();
        m_db.rollback();
        m_succeeded = succeededBefore;
        for (int row : std::as_const(insertedRows))
            m_failures.append({row + 1, reason});
        std::sort(m_failures.begin() + failuresBefore, m_failures.end(),
                  [](const Failure &a, const Failure &b) { return a.sheetRow < b.sheetRow; });
    }
}
