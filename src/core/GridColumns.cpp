#include "GridColumns.h"

#include "DataGrid.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"

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
        columns << GridColumn{field, rows->value(row, QStringLiteral("Width")).toInt(),
                              rows->value(row, QStringLiteral("SumField")).toInt() == 1,
                              rows->value(row, QStringLiteral("ShowButton")).toInt() == 1};
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
