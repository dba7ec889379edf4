#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QXmlStreamAttributes>
#include <vector>

// What a report template holds: one page with its paper and margins, and bands of objects.
// Measures are millimetres, font sizes pixels of 1/96 inch. Elements and attributes that
// this version does not know are kept as read, so that saving a newer template again
// loses nothing.

// An element kept as it was read: its attributes, and its text or child elements.
struct XmlNode
{
    QString name;   // empty: a run of text
    QXmlStreamAttributes attributes;
    QString text;
    std::vector<XmlNode> children;
};

enum FrameSide { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

struct ReportItem
{
    enum class Kind { Text, Line, Rect, Picture, Unknown };
    enum class HAlign { Left, Center, Right };
    enum class VAlign { Top, Center, Bottom };

    static constexpr const char *DefaultFont = "Arial";
    static constexpr int DefaultFontSize = 13;

    Kind kind = Kind::Text;
    QString name;
    // Relative to the band's top left corner. A line runs from the top left corner to the
    // bottom right one, so one of width and height is usually 0.
    QRectF geometry;
    QString text;                       // literal text with [expressions]
    QString fontFamily = QString::fromLatin1(DefaultFont);
    int fontSize = DefaultFontSize;     // pixels of 1/96 inch
    bool bold = false;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    int frame = 0;                      // FrameSide flags
    double lineWidth = 1;               // pixels of 1/96 inch
    bool wordWrap = true;
    QByteArray picture;                 // image file contents (PNG, JPEG)

    QXmlStreamAttributes extraAttributes;
    std::vector<XmlNode> extraChildren;
    XmlNode unknown;                    // the element itself, for Kind::Unknown
};

struct ReportBand
{
    enum class Type { ReportTitle, PageHeader, ColumnHeader, MasterData, DetailData, Child, PageFooter, ReportSummary };

    Type type = Type::MasterData;
    QString name;
    double height = 20;
    QString dataSet;                    // data bands: the data set they repeat over
    std::vector<ReportItem> items;

    QXmlStreamAttributes extraAttributes;
    std::vector<XmlNode> extraChildren;

    bool isDataBand() const { return type == Type::MasterData || type == Type::DetailData; }
};

struct ReportPage
{
    // The page as it stands: a landscape A4 page is 297 wide and 210 high.
    double width = 210;
    double height = 297;
    double leftMargin = 10;
    double topMargin = 10;
    double rightMargin = 10;
    double bottomMargin = 10;

    QXmlStreamAttributes extraAttributes;

    bool isLandscape() const { return width > height; }
    // Turns the page, keeping its paper.
    void setLandscape(bool landscape);
};

struct ReportTemplate
{
    int version = 1;
    QString title;
    ReportPage page;
    std::vector<ReportBand> bands;

    QXmlStreamAttributes extraAttributes;
    std::vector<XmlNode> extraChildren;

    // Nothing to print: no band holds anything.
    bool isEmpty() const;

    static QString bandTypeName(ReportBand::Type type);
    static bool bandTypeFromName(const QString &name, ReportBand::Type *type);
    // The caption the designer shows for a band type.
    static QString bandTypeCaption(ReportBand::Type type);
    // A name not yet used by a band or object: prefix followed by the next number.
    QString unusedName(const QString &prefix) const;
};
