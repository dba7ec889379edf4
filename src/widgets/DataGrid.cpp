#include "DataGrid.h"

#include "GridFindDialog.h"
#include "GridModel.h"
#include "GridPrinter.h"

#include <QApplication>
#include <cmath>
#include <QDateTime>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// A sum adds up binary fractions: 0.1 + 0.2 is not 0.3. Cents past the tenth decimal are
// such noise.
QString footerNumber(const QVariant &value)
{
    if (value.isNull())
        return QString();
    const double number = value.toDouble();
    return CellText::text(std::round(number * 1e10) / 1e10, CellText::Kind::Number);
}

// The row indicator: a triangle beside the current row.
class RowIndicator : public QHeaderView
{
public:
    explicit RowIndicator(QWidget *parent) : QHeaderView(Qt::Vertical, parent)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setFixedWidth(14);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        painter->save();
        painter->fillRect(rect, palette().button());
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        const auto *view = static_cast<const QAbstractItemView *>(parentWidget());
        if (view->currentIndex().row() == logicalIndex) {
            const QPoint c = rect.center();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setBrush(palette().color(QPalette::WindowText));
            painter->setPen(Qt::NoPen);
            painter->drawPolygon(QPolygon({QPoint(c.x() - 2, c.y() - 4), QPoint(c.x() - 2, c.y() + 4), QPoint(c.x() + 3, c.y())}));
        }
        painter->restore();
    }
};

constexpr int EllipsisWidth = 18;

// Cells: one line of text (memo text included), the row's text colour, ellipsis buttons.
class GridDelegate : public QStyledItemDelegate
{
public:
    explicit GridDelegate(DataGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = m_grid->cellText(index.row(), index.column());
        if (m_grid->cellKind(index.column(), index.data()) == CellText::Kind::Number)
            option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        QColor colour = m_grid->rowTextColor(index.row());
        // A record deleted elsewhere: struck through and grey until the list is read again.
        if (const GridModel *model = m_grid->gridModel(); model && model->isRowGone(index.row())) {
            colour = opt.palette.color(QPalette::Disabled, QPalette::Text);
            opt.font.setStrikeOut(true);
        }
        if (colour.isValid()) {
            opt.palette.setColor(QPalette::Text, colour);
            opt.palette.setColor(QPalette::HighlightedText, colour);
        }
        const bool button = hasButton(index);
        if (button)
            opt.rect.setRight(opt.rect.right() - EllipsisWidth);
        QStyledItemDelegate::paint(painter, opt, index);
        if (button) {
            QStyleOptionButton buttonOption;
            buttonOption.rect = buttonRect(option.rect);
            buttonOption.text = QStringLiteral("…");
            buttonOption.state = QStyle::State_Enabled | QStyle::State_Raised;
            m_grid->style()->drawControl(QStyle::CE_PushButton, &buttonOption, painter, m_grid);
        }
    }

    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override
    {
        if (event->type() == QEvent::MouseButtonRelease && hasButton(index)) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (buttonRect(option.rect).contains(mouse->position().toPoint())) {
                emit m_grid->ellipsisClicked(index.row(), m_grid->columnField(index.column()));
                return true;
            }
        }
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }

    static QRect buttonRect(const QRect &cell)
    {
        return QRect(cell.right() - EllipsisWidth + 1, cell.top(), EllipsisWidth, cell.height());
    }

private:
    bool hasButton(const QModelIndex &index) const
    {
        const auto columns = m_grid->columns();
        return index.column() < columns.size() && columns[index.column()].ellipsisButton;
    }

    DataGrid *m_grid;
};

} // namespace

// The footer row under the cells, scrolled with them.
class GridFooter : public QWidget
{
public:
    explicit GridFooter(DataGrid *grid) : QWidget(grid), m_grid(grid) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().button());
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        const int offset = m_grid->verticalHeader()->isVisible() ? m_grid->verticalHeader()->width() : 0;
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, 0, width(), 0);
        for (int column = 0; column < m_grid->shownColumnCount(); ++column) {
            if (m_grid->isColumnHidden(column))
                continue;
            const QRect cell(offset + m_grid->columnViewportPosition(column), 1, m_grid->columnWidth(column), height() - 1);
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(cell.topRight(), cell.bottomRight());
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignRight, m_grid->footerText(column));
        }
    }

private:
    DataGrid *m_grid;
};

// Titles with the sort markers: an arrow per marked column and, when several are marked,
// the marker's position.
class GridHeader : public QHeaderView
{
public:
    explicit GridHeader(DataGrid *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
    {
        setSectionsClickable(true);
        setSectionsMovable(true);
        setHighlightSections(false);
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        const auto markers = m_grid->sortMarkers();
        const QString field = m_grid->columnField(logicalIndex);
        for (int i = 0; i < markers.size(); ++i) {
            if (markers[i].field.compare(field, Qt::CaseInsensitive) != 0)
                continue;
            painter->save();
            const int size = 7;
            const QPoint centre(rect.right() - 8, rect.center().y());
            QPolygon arrow;
            // Descending is the arrow pointing up.
            if (markers[i].descending)
                arrow << QPoint(centre.x() - size / 2, centre.y() + 2) << QPoint(centre.x() + size / 2, centre.y() + 2)
                      << QPoint(centre.x(), centre.y() - 3);
            else
                arrow << QPoint(centre.x() - size / 2, centre.y() - 2) << QPoint(centre.x() + size / 2, centre.y() - 2)
                      << QPoint(centre.x(), centre.y() + 3);
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setBrush(palette().color(QPalette::WindowText));
            painter->setPen(Qt::NoPen);
            painter->drawPolygon(arrow);
            if (markers.size() > 1) {
                QFont font = painter->font();
                font.setPointSizeF(font.pointSizeF() * 0.75);
                painter->setFont(font);
                painter->setPen(palette().color(QPalette::WindowText));
                painter->drawText(QRect(rect.right() - 24, rect.top(), 10, rect.height()), Qt::AlignCenter,
                                  QString::number(i + 1));
            }
            painter->restore();
        }
    }

private:
    DataGrid *m_grid;
};

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent), m_columnModel(new GridColumnModel(this)), m_header(new GridHeader(this)),
      m_footer(new GridFooter(this))
{
    setHorizontalHeader(m_header);
    setVerticalHeader(new RowIndicator(this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new GridDelegate(this));
    setWordWrap(false);
    setAlternatingRowColors(true);
    m_footer->hide();
    QTableView::setModel(m_columnModel);

    connect(m_header, &QHeaderView::sectionClicked, this, [this](int column) {
        clickTitle(column, QApplication::keyboardModifiers() & Qt::ControlModifier);
    });
    connect(m_header, &QHeaderView::sectionMoved, this, &DataGrid::sectionMoved);
    connect(m_header, &QHeaderView::sectionResized, this, &DataGrid::sectionResized);
    connect(m_columnModel, &QAbstractItemModel::modelReset, this, [this] {
        applyLayout();
        refreshFooter();
    });
    connect(m_columnModel, &QAbstractItemModel::rowsInserted, this, &DataGrid::refreshFooter);
    connect(m_columnModel, &QAbstractItemModel::rowsRemoved, this, &DataGrid::refreshFooter);
    connect(m_columnModel, &QAbstractItemModel::dataChanged, this, &DataGrid::refreshFooter);
}

DataGrid::~DataGrid() = default;

void DataGrid::setGridModel(GridModel *model)
{
    if (GridModel *old = gridModel())
        disconnect(old, nullptr, this, nullptr);
    m_columnModel->setSourceModel(model);
    if (model) {
        connect(model, &GridModel::currentRowChanged, this, &DataGrid::modelRowChanged);
        modelRowChanged(model->currentRow());
    }
}

GridModel *DataGrid::gridModel() const
{
    return m_columnModel->sourceModel();
}

void DataGrid::clearColumns()
{
    m_columns.clear();
    m_footerTexts.clear();
    m_footerCountColumns.clear();
    m_columnModel->setFields({});
}

void DataGrid::setColumns(const QList<GridColumn> &columns)
{
    m_columns = columns;
    QStringList fields;
    for (const auto &c : std::as_const(m_columns))
        fields << c.field;
    m_columnModel->setFields(fields);
}

QList<GridColumn> DataGrid::columns() const
{
    if (!m_columns.isEmpty())
        return m_columns;
    QList<GridColumn> all;
    for (int column = 0; column < m_columnModel->columnCount(); ++column)
        all << GridColumn{m_columnModel->field(column), columnWidth(column)};
    return all;
}

QString DataGrid::columnField(int column) const
{
    return m_columnModel->field(column);
}

QString DataGrid::columnTitle(int column) const
{
    return m_columnModel->headerData(column, Qt::Horizontal).toString();
}

int DataGrid::shownColumnCount() const
{
    return m_columnModel->columnCount();
}

CellText::Kind DataGrid::cellKind(int column, const QVariant &value) const
{
    const CellText::Kind kind = column < m_columns.size() ? m_columns[column].kind : CellText::Kind::Auto;
    return kind == CellText::Kind::Auto ? CellText::kindOf(value) : kind;
}

QString DataGrid::cellText(int row, int column) const
{
    const QVariant value = m_columnModel->data(m_columnModel->index(row, column));
    return CellText::text(value, cellKind(column, value));
}

void DataGrid::applyLayout()
{
    for (int column = 0; column < m_columns.size(); ++column)
        setColumnWidth(column, m_columns[column].width > 0 ? m_columns[column].width : DefaultColumnWidth);
    if (GridModel *model = gridModel())
        modelRowChanged(model->currentRow());
}

void DataGrid::sectionMoved(int, int oldVisual, int newVisual)
{
    // Keep the header's visual order equal to the column order, so the operator's order
    // survives every reload of the data and is what gets saved.
    if (m_columns.isEmpty())
        m_columns = columns();
    m_header->blockSignals(true);
    m_header->moveSection(newVisual, oldVisual);
    m_header->blockSignals(false);
    m_columns.move(oldVisual, newVisual);
    QStringList fields;
    for (const auto &c : std::as_const(m_columns))
        fields << c.field;
    m_columnModel->setFields(fields);
}

void DataGrid::sectionResized(int logical, int, int newSize)
{
    if (logical < m_columns.size())
        m_columns[logical].width = newSize;
    m_footer->update();
}

void DataGrid::setFooterVisible(bool visible)
{
    m_footerVisible = visible;
    m_footer->setVisible(visible);
    updateGeometries();
}

void DataGrid::setFooterText(int column, const QString &text)
{
    m_footerTexts.insert(column, text);
    m_footer->update();
}

void DataGrid::setFooterCount(int column)
{
    if (!m_footerCountColumns.contains(column))
        m_footerCountColumns << column;
    m_footer->update();
}

void DataGrid::clearFooterTexts()
{
    m_footerTexts.clear();
    m_footerCountColumns.clear();
    m_footer->update();
}

QString DataGrid::footerText(int column) const
{
    if (m_footerCountColumns.contains(column))
        return QString::number(m_columnModel->rowCount());
    if (m_footerTexts.contains(column))
        return m_footerTexts.value(column);
    if (column < m_columns.size() && m_columns[column].footerSum)
        return m_footerSums.value(m_columns[column].field.toLower());
    return QString();
}

QVariant DataGrid::footerValue(int column) const
{
    if (m_footerCountColumns.contains(column))
        return m_columnModel->rowCount();
    if (m_footerTexts.contains(column) || column >= m_columns.size() || !m_columns[column].footerSum)
        return QVariant();
    GridModel *model = gridModel();
    return model ? model->sum(m_columns[column].field) : QVariant();
}

void DataGrid::refreshFooter()
{
    m_footerSums.clear();
    GridModel *model = gridModel();
    for (const auto &column : std::as_const(m_columns)) {
        if (column.footerSum && model && !m_footerSums.contains(column.field.toLower()))
            m_footerSums.insert(column.field.toLower(), footerNumber(model->sum(column.field)));
    }
    m_footer->update();
}

void DataGrid::clickTitle(int column, bool additive)
{
    const QString field = columnField(column);
    if (field.isEmpty())
        return;
    const auto position = std::find_if(m_sortMarkers.begin(), m_sortMarkers.end(), [&](const SortMarker &m) {
        return m.field.compare(field, Qt::CaseInsensitive) == 0;
    });
    if (additive && m_multiSort) {
        if (position == m_sortMarkers.end())
            m_sortMarkers << SortMarker{field, false};
        else if (!position->descending)
            position->descending = true;
        else
            m_sortMarkers.erase(position);
    } else {
        const bool descending = m_sortMarkers.size() == 1 && position != m_sortMarkers.end() && !position->descending;
        m_sortMarkers = {SortMarker{field, descending}};
    }
    m_header->viewport()->update();
    emit sortMarkingChanged();
}

void DataGrid::clearSortMarkers()
{
    if (m_sortMarkers.isEmpty())
        return;
    m_sortMarkers.clear();
    m_header->viewport()->update();
    emit sortMarkingChanged();
}

QList<int> DataGrid::selectedRowNumbers() const
{
    QList<int> rows;
    for (const QItemSelectionRange &range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (!rows.contains(row))
                rows << row;
        }
    }
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QVariantList DataGrid::selectedValues(const QString &field) const
{
    QVariantList values;
    if (GridModel *model = gridModel()) {
        for (int row : selectedRowNumbers())
            values << model->value(row, field);
    }
    return values;
}

void DataGrid::setRowTextColor(std::function<QColor(int)> rule)
{
    m_rowTextColor = std::move(rule);
    viewport()->update();
}

QColor DataGrid::rowTextColor(int row) const
{
    return m_rowTextColor ? m_rowTextColor(row) : QColor();
}

bool DataGrid::find(const QString &text, int column, bool forward, bool matchCase, bool wholeField)
{
    const int rows = m_columnModel->rowCount();
    const Qt::CaseSensitivity sensitivity = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const auto matches = [&](int row, int c) {
        const QString cell = cellText(row, c);
        return wholeField ? cell.compare(text, sensitivity) == 0 : cell.contains(text, sensitivity);
    };
    const int start = currentIndex().isValid() ? currentIndex().row() : (forward ? -1 : rows);
    for (int row = start + (forward ? 1 : -1); row >= 0 && row < rows; row += forward ? 1 : -1) {
        for (int c = 0; c < m_columnModel->columnCount(); ++c) {
            if ((column < 0 || c == column) && !isColumnHidden(c) && matches(row, c)) {
                setCurrentIndex(m_columnModel->index(row, c));
                return true;
            }
        }
    }
    return false;
}

void DataGrid::showFindDialog()
{
    GridFindDialog dialog(this);
    dialog.exec();
}

void DataGrid::printPreview(const QString &title, PrintFit fit)
{
    GridPrinter printer(this, title, fit);
    printer.preview();
}

void DataGrid::modelRowChanged(int row)
{
    if (m_followingModel || row == currentIndex().row())
        return;
    m_followingModel = true;
    if (row < 0)
        selectionModel()->clearCurrentIndex();
    else
        selectionModel()->setCurrentIndex(m_columnModel->index(row, qMax(0, currentIndex().column())),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_followingModel = false;
    verticalHeader()->viewport()->update();
}

void DataGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    verticalHeader()->viewport()->update();
    if (m_followingModel || current.row() == previous.row())
        return;
    if (GridModel *model = gridModel()) {
        m_followingModel = true;
        model->setCurrentRow(current.row());
        m_followingModel = false;
    }
}

void DataGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit deleteKeyPressed();
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        showFindDialog();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit rowDoubleClicked(index.row());
    // Editable grids also open the cell editor.
    QTableView::mouseDoubleClickEvent(event);
}

void DataGrid::updateGeometries()
{
    QTableView::updateGeometries();
    const int footerHeight = m_footerVisible ? verticalHeader()->defaultSectionSize() + 2 : 0;
    const QMargins margins = viewportMargins();
    if (margins.bottom() != footerHeight)
        setViewportMargins(margins.left(), margins.top(), margins.right(), footerHeight);
    if (m_footerVisible) {
        const QRect area = viewport()->geometry();
        m_footer->setGeometry(frameWidth(), area.bottom() + 1, area.right() + 1 - frameWidth(), footerHeight);
        m_footer->update();
    }
}

void DataGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dx != 0)
        m_footer->update();
}
