#pragma once

#include <QString>

class DataGrid;
class DataSet;

// The name the next export proposes. A caller with a name of its own sets it just before
// calling; it keeps its value between exports.
QString &ExportFileName();

// Writes what a grid shows into a worksheet file that the operator chooses: refuses when the
// data set is not open or holds no record, asks for the file (.xls first, .xlsx, .csv), writes
// the grid's title row, every record of its data and its footer, then offers to open the file.
void ExportGridToExcel(DataSet *dataSet, DataGrid *grid);
