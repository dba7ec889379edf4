#include "GridColumns.h"

#include "DataGrid.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"
#include "TableDefinitions.h"

#include <QHash>
#include <QSqlField>

namespace {

CellText::Kind kindOfType(SqlDialect::ColumnType type)
{
    using T = SqlDialect::ColumnType;
    switch (type) {
    case T::DateTime: return CellText::Kind::DateTime;
    case T::Boolean: return CellText::Kind::Boolean;
    case T::AutoNumber: case T::Integer: case T::Float: case T::Money: return CellText::Kind::Number;
    case T::Text: case T::Memo: return CellText::Kind::Text;
    }
    return CellText::Kind::Auto;
}

// What a column holds, by its name in the tables of the program; Auto where tables differ
// (money is an amount in custom and a name in T_Schedule).
CellText::Kind kindOfColumnName(const QString &name)
{
    static const QHash<QString, CellText::Kind> kinds = [] {
        QHash<QString, CellText::Kind> byName;
        for (const auto &table : tableDefinitions()) {
            for (const auto &column : table.columns) {
                const QString key = QString::fromLatin1(column.name).toLower();
                const CellText::Kind kind = kindOfType(column.type);
                const auto known = byName.constFind(key);
                byName.insert(key, known == byName.constEnd() || *known == kind ? kind : CellText::Kind::Auto);
            }
        }
        return byName;
    }();
    return kinds.value(name.toLower(), CellText::Kind::Auto);
}

// SQLite returns date-times as text and yes/no as integers: the column's own type decides
// how its cells show, not the type of each value.
CellText::Kind kindOfField(const QSqlField &field)
{
    const CellText::Kind byName = kindOfColumnName(field.name());
    if (byName != CellText::Kind::Auto)
        return byName;
    switch (field.metaType().id()) {
    case QMetaType::QDateTime: case QMetaType::QDate: return CellText::Kind::DateTime;
    case QMetaType::Bool: return CellText::Kind::Boolean;
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: return CellText::Kind::Number;
    default: return CellText::Kind::Auto;
    }
}

} // namespace

bool GridColumns::BuildGridColumns(TFrm_Data &data, DataGrid *grid, DataSet *query, const QString &name)
{
    grid->clearColumns();
    grid->setGridModel(query);
    DataSet *rows = data.Qry_FieldShow;
    if (!data.RunQuery(rows,
                       QStringLiteral("select * from T_FieldShow where Show = 1 and lower(TableName) = lower(:name) "
                                      "order by ShowID, FieldShowID"),
                       {{QStringLiteral(":name"), name}}))
        return false;
    QList<GridColumn> columns;
    bool complete = true;
    for (int row = 0; row < rows->recordCount(); ++row) {
        const QString field = rows->value(row, QStringLiteral("Field")).toString().trimmed();
        // A closed data set that was never opened cannot tell its columns yet.
        if (!query->fields().isEmpty() && query->fieldIndex(field) < 0) {
            MessageBoxes::error(QStringLiteral("%1: 找不到字段 '%2'").arg(query->name(), field));
            complete = false;
            break;
        }
        const QSqlField column = query->fields().field(field);
        columns << GridColumn{field, rows->value(row, QStringLiteral("Width")).toInt(),
                              rows->value(row, QStringLiteral("SumField")).toInt() == 1,
                              rows->value(row, QStringLiteral("ShowButton")).toInt() == 1,
                              column.isValid() ? kindOfField(column) : kindOfColumnName(field)};
        query->setDisplayLabel(field, rows->value(row, QStringLiteral("Name")).toString());
    }
    QStringList summed;
    for (const auto &column : std::as_const(columns)) {
        if (column.footerSum)
            summed << column.field;
    }
    // Sums come with the record count from now on: one pass over the rows instead of three.
    query->setSummaryFields(summed);
    if (!columns.isEmpty())
        grid->setColumns(columns);
    return complete;
}

bool GridColumns::SaveGridColumns(TFrm_Data &data, DataGrid *grid, const QString &name, int showMessage)
{
    const QList<GridColumn> columns = grid->columns();
    data.beginTransaction();
    for (int i = 0; i < columns.size(); ++i) {
        if (!data.RunStatement(data.Qry_Temp,
                               QStringLiteral("update T_FieldShow set ShowID = :position, Width = :width "
                                              "where lower(TableName) = lower(:name) and lower(Field) = lower(:field)"),
                               {{QStringLiteral(":position"), i},
                                {QStringLiteral(":width"), columns[i].width},
                                {QStringLiteral(":name"), name},
                                {QStringLiteral(":field"), columns[i].field}})) {
            data.rollback();
            return false;
        }
    }
    data.commit();
    if (showMessage == 1)
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("列属性已成功保存!"), QMessageBox::Ok);
    return true;
}

QString GridColumns::sortText(const DataGrid *grid)
{
    QString text;
    for (const auto &marker : grid->sortMarkers())
        text += marker.descending ? marker.field + QStringLiteral(" DESC , ") : marker.field + QStringLiteral(", ");
    if (!text.isEmpty()) {
        text.chop(2);
        text.prepend(QStringLiteral("  "));
    }
    return text;
}

void GridColumns::SortByTitleMarkers(DataGrid *grid, DataSet *query)
{
    // Column names keep every character: a column such as memo1 sorts by memo1.
    if (query->isOpen())
        query->setSort(sortText(grid));
}

QString GridColumns::RemoveFirst(const QString &text, const QString &part)
{
    const int position = part.isEmpty() ? -1 : text.indexOf(part);
    return position < 0 ? text : QString(text).remove(position, part.size());
}
