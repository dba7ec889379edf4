#include "WorkbookReader.h"

#include "BiffStream.h"
#include "WorkbookFormats.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool startsWith(std::string_view bytes, std::string_view magic)
{
    return bytes.substr(0, magic.size()) == magic;
}

// An Office file encrypted with a password is a compound document holding an
// "EncryptedPackage" stream instead of the workbook.
bool isEncryptedPackage(std::string_view bytes)
{
    static const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return QByteArrayView(bytes.data(), qsizetype(bytes.size())).indexOf(name) >= 0;
}

} // namespace

namespace WorkbookFormats
{
QString damagedText(const QString &detail)
{
    QString text = QStringLiteral("文件已损坏或不完整，不能读取。");
    if (!detail.isEmpty())
        text += QStringLiteral("\n(%1)").arg(detail);
    return text;
}

QString encryptedText()
{
    return QStringLiteral("文件设有密码保护，不能读取。\n请在电子表格程序中取消密码、另存后再导入。");
}

QString notAWorkbookText()
{
    return QStringLiteral("文件不是工作簿，不能读取。\n可以读取的文件：Excel 工作簿 (.xls、.xlsx)、"
                          "OpenDocument 电子表格 (.ods) 和 CSV 文本 (.csv)。");
}
} // namespace WorkbookFormats

bool WorkbookReader::read(const QString &path, SheetCells &cells, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("不能打开文件：%1").arg(file.errorString());
        return false;
    }
    std::string_view bytes;
    QByteArray content;
    if (file.size() > 0) {
        if (const uchar *mapped = file.map(0, file.size()))
            bytes = std::string_view(reinterpret_cast<const char *>(mapped), size_t(file.size()));
        else {
            content = file.readAll();
            bytes = std::string_view(content.constData(), size_t(content.size()));
        }
    }
    if (startsWith(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        if (isEncryptedPackage(bytes)) {
            if (error)
                *error = WorkbookFormats::encryptedText();
            return false;
        }
        return WorkbookFormats::readFreexl(path, cells, error);
    }
    if (startsWith(bytes, "PK\x03\x04"))
        return WorkbookFormats::readOrcus(bytes, cells, error);
    if (BiffStreamReader::looksLikeStream(bytes))
        return BiffStreamReader::read(bytes, cells, error);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return WorkbookFormats::readCsv(bytes, cells, error);
    if (error)
        *error = WorkbookFormats::notAWorkbookText();
    return false;
}
