#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <string_view>

// An Office Open XML package (.xlsx) read as a zip archive, for what this liborcus version
// does not do itself with packages from some writers (openpyxl, streaming writers):
// relationship targets given as absolute paths ("/xl/worksheets/sheet1.xml"), which it does
// not find, and cells holding inline strings, which it skips.
class OpcPackage
{
public:
    // The bytes must outlive the package.
    explicit OpcPackage(std::string_view zip);

    bool isValid() const { return m_valid; }
    // The content of a part ("xl/workbook.xml"); empty when missing or unreadable.
    QByteArray part(const QString &name) const;

    // The package with every absolute relationship target made relative to its source part;
    // empty when none is absolute.
    QByteArray withRelativeTargets() const;

    // The worksheet parts in the workbook's order of sheets, and the sheet the workbook
    // shows first (-1 when it does not say).
    QStringList worksheetParts() const;
    int activeSheet() const;

    struct InlineCell
    {
        int row;
        int column;
        QString text;
    };
    // The cells of a worksheet part that hold inline strings.
    QList<InlineCell> inlineStrings(const QString &worksheetPart) const;

private:
    struct Entry
    {
        size_t central;
        QString name;
    };

    std::string_view m_zip;
    QList<Entry> m_entries;
    bool m_valid = false;
};
