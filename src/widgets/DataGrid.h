#pragma once

#include "CellText.h"
#include "GridColumnModel.h"

#include <QColor>
#include <QList>
#include <QPointer>
#include <QTableView>
#include <functional>

class GridModel;
class GridFooter;
class GridHeader;

struct GridColumn
{
    QString field;
    int width = 0;              // pixels; 0 or less takes the grid's default
    bool footerSum = false;     // footer shows the column's sum
    bool ellipsisButton = false;
    CellText::Kind kind = CellText::Kind::Auto;  // how the cells show their values
};

// The grid of every list window: columns laid out by its owner (or all columns of the data),
// sort markers on the titles, a footer row, ellipsis buttons, several selected rows, a row
// indicator, per-row text colour, a find dialog and a print preview. Rows, sums and sorting
// come from its GridModel, so a grid over a million rows holds only what is on screen.
class DataGrid : public QTableView
{
    Q_OBJECT
public:
    static constexpr int DefaultColumnWidth = 80;

    struct SortMarker
    {
        QString field;
        bool descending = false;
        bool operator==(const SortMarker &other) const { return field == other.field && descending == other.descending; }
    };

    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    void setGridModel(GridModel *model);
    GridModel *gridModel() const;

    // Columns: an empty layout shows every column of the data under its own name.
    void clearColumns();
    void setColumns(const QList<GridColumn> &columns);
    // The columns in their present order and widths (after the operator moved or resized them).
    QList<GridColumn> columns() const;
    bool hasColumnLayout() const { return !m_columns.isEmpty(); }
    QString columnField(int column) const;
    QString columnTitle(int column) const;
    int shownColumnCount() const;
    // A cell as shown, formatted by its column's kind.
    QString cellText(int row, int column) const;
    CellText::Kind cellKind(int column, const QVariant &value) const;

    // Footer row: sums come from the layout; texts and the record count are set by the owner.
    void setFooterVisible(bool visible);
    bool isFooterVisible() const { return m_footerVisible; }
    void setFooterText(int column, const QString &text);
    void setFooterCount(int column);
    void clearFooterTexts();
    QString footerText(int column) const;
    // The number behind a sum or count footer (for exports); null for a text footer or none.
    QVariant footerValue(int column) const;

    // Sort markers, in the order they were set. With multi-sort off a click replaces them.
    void setMultiSort(bool on) { m_multiSort = on; }
    QList<SortMarker> sortMarkers() const { return m_sortMarkers; }
    // What a click on a column title does; additive is the Ctrl key.
    void clickTitle(int column, bool additive);
    void clearSortMarkers();

    QList<int> selectedRowNumbers() const;
    QVariantList selectedValues(const QString &field) const;

    void setRowTextColor(std::function<QColor(int row)> rule);
    QColor rowTextColor(int row) const;

    // Finds text in a column (-1: any shown column) from the row after (or before) the current
    // one; the found row becomes current.
    bool find(const QString &text, int column, bool forward, bool matchCase = false, bool wholeField = false);
    void showFindDialog();

    enum class PrintFit { PageWidth, FittedColumns };
    void printPreview(const QString &title, PrintFit fit);

signals:
    void sortMarkingChanged();
    void ellipsisClicked(int row, const QString &field);
    void deleteKeyPressed();
    void rowDoubleClicked(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void applyLayout();
    void refreshFooter();
    void modelRowChanged(int row);
    void sectionMoved(int logical, int oldVisual, int newVisual);
    void sectionResized(int logical, int oldSize, int newSize);

    GridColumnModel *m_columnModel;
    GridHeader *m_header;
    GridFooter *m_footer;
    QList<GridColumn> m_columns;
    QHash<int, QString> m_footerTexts;
    QList<int> m_footerCountColumns;
    QHash<QString, QString> m_footerSums;
    QList<SortMarker> m_sortMarkers;
    std::function<QColor(int)> m_rowTextColor;
    bool m_footerVisible = false;
    bool m_multiSort = false;
    bool m_followingModel = false;
};
