#pragma once

#include <QString>

class DataGrid;
class DataSet;
class TFrm_Data;

// Grid columns configured in T_FieldShow under a configuration name ("Custom", "Goods", ...):
// laying a grid out, saving the operator's order and widths, sorting by the title markers.
class GridColumns
{
public:
    // Lays the grid out over the data set. Without shown rows the grid shows every column of
    // the data set under its own name. A row naming a column the data set lacks is reported
    // as a data error and ends the layout there, the columns before it kept.
    static bool BuildGridColumns(TFrm_Data &data, DataGrid *grid, DataSet *query, const QString &name);
    // Writes each column's position and width back; showMessage 1 confirms with a message.
    static bool SaveGridColumns(TFrm_Data &data, DataGrid *grid, const QString &name, int showMessage);
    // Sorts the data set by the grid's markers, in the order they were set.
    static void SortByTitleMarkers(DataGrid *grid, DataSet *query);
    // The sort text of the grid's markers: "  b DESC , a".
    static QString sortText(const DataGrid *grid);
    // The text with the first occurrence of part removed.
    static QString RemoveFirst(const QString &text, const QString &part);
};
