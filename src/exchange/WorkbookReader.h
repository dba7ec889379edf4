#pragma once

#include "SheetCells.h"

#include <QString>

// Reads the cells of a workbook's active sheet (or its first, where the format does not
// tell) as the texts the sheet displays. The format is told by the content, not the name:
// .xlsx and .ods through liborcus, .xls (BIFF8) through freexl, the bare cell-record stream
// that our own export writes, and CSV in UTF-8 (with or without BOM) or GBK.
class WorkbookReader
{
public:
    // False with a message for the operator: not a workbook, encrypted, damaged, unreadable.
    static bool read(const QString &path, SheetCells &cells, QString *error);
};
