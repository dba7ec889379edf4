#include "SheetText.h"
#include "WorkbookFormats.h"

#include <freexl.h>

#include <QFile>

namespace {

class FreexlHandle
{
public:
    ~FreexlHandle()
    {
        if (handle)
            freexl_close(handle);
    }
    const void *handle = nullptr;
};

QString utf8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

namespace WorkbookFormats
{

bool readFreexl(const QString &path, SheetCells &cells, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    FreexlHandle xls;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &xls.handle);
    unsigned int password = 0;
    if (xls.handle && freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK
        && password == FREEXL_BIFF_OBFUSCATED)
        return fail(encryptedText());
    if (opened == FREEXL_BIFF_WORKBOOK_NOT_FOUND)
        return fail(notAWorkbookText());
    if (opened != FREEXL_OK)
        return fail(damagedText(QStringLiteral("freexl %1").arg(opened)));

    // The file does not say which sheet was active: the first one is read.
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(xls.handle, 0) != FREEXL_OK
        || freexl_worksheet_dimensions(xls.handle, &rows, &columns) != FREEXL_OK)
        return fail(damagedText(QStringLiteral("没有工作表")));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(xls.handle, row, column, &cell) != FREEXL_OK)
                return fail(damagedText(QStringLiteral("第 %1 行第 %2 列").arg(row + 1).arg(column + 1)));
            QString text;
            switch (cell.type) {
            case FREEXL_CELL_INT: text = QString::number(cell.value.int_value); break;
            case FREEXL_CELL_DOUBLE: text = SheetText::general(cell.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: text = utf8(cell.value.text_value); break;
            default: break;
            }
            cells.setText(int(row), column, text);
        }
    }
    cells.finish();
    return true;
}

} // namespace WorkbookFormats
