#pragma once

#include "SheetCells.h"

#include <QByteArray>
#include <QString>
#include <string_view>

// The readers behind WorkbookReader, one per format. Each fills cells and returns true, or
// returns false with a message for the operator.
namespace WorkbookFormats
{
bool readOrcus(std::string_view bytes, SheetCells &cells, QString *error);
bool readFreexl(const QString &path, SheetCells &cells, QString *error);
bool readCsv(std::string_view bytes, SheetCells &cells, QString *error);

QString damagedText(const QString &detail);
QString encryptedText();
QString notAWorkbookText();
}
