#include "GridSheet.h"

#include "DataGrid.h"
#include "DataSet.h"
#include "TemporaryTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSqlField>

namespace {

bool isInteger(int type)
{
    switch (type) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Long: case QMetaType::ULong:
    case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloat(int type)
{
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

GridSheet::GridSheet(DataGrid *grid)
    : m_grid(grid), m_model(grid->gridModel())
{
    const auto *dataSet = qobject_cast<const DataSet *>(m_model);
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (column < 0 || grid->isColumnHidden(column))
            continue;
        Column c;
        c.field = grid->columnField(column);
        c.title = grid->columnTitle(column);
        c.width = grid->columnWidth(column);
        c.gridColumn = column;
        if (m_model)
            c.modelColumn = m_model->fieldIndex(c.field);
        if (dataSet && c.modelColumn >= 0)
            c.type = dataSet->fields().field(c.modelColumn).metaType();
        m_columns << c;
    }
    if (grid->isFooterVisible()) {
        for (const Column &c : std::as_const(m_columns)) {
            if (!grid->footerText(c.gridColumn).isEmpty())
                m_footer = true;
        }
    }
}

int GridSheet::recordCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

QStringList GridSheet::titles() const
{
    QStringList titles;
    for (const Column &c : m_columns)
        titles << c.title;
    return titles;
}

QVector<int> GridSheet::columnWidths() const
{
    QVector<int> widths;
    for (const Column &c : m_columns)
        widths << c.width;
    return widths;
}

ExportCell GridSheet::cell(const QVariant &value, const Column &column) const
{
    if (!value.isValid() || value.isNull())
        return ExportCell::blank();
    // The grid's own rule decides what the cell shows: yes/no and dates whatever the engine
    // returned them as.
    const CellText::Kind kind = m_grid->cellKind(column.gridColumn, value);
    const QString display = CellText::text(value, kind);
    if (kind == CellText::Kind::Boolean)
        return ExportCell::ofText(display);
    if (kind == CellText::Kind::DateTime) {
        ExportCell result = ExportCell::ofText(display);
        const QDateTime moment = CellText::dateTime(value);
        if (moment.isValid()) {
            result.kind = ExportCell::Kind::DateTime;
            result.dateTime = moment;
        }
        return result;
    }
    const int type = value.userType();
    if (isInteger(type))
        return ExportCell::ofInteger(value.toLongLong());
    if (isFloat(type))
        return ExportCell::ofNumber(value.toDouble());
    // A decimal column whose driver hands its values over as text.
    const int fieldType = column.type.id();
    if (isInteger(fieldType) || isFloat(fieldType)) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok)
            return isInteger(fieldType) ? ExportCell::ofInteger(value.toLongLong()) : ExportCell::ofNumber(number);
    }
    return ExportCell::ofText(display);
}

bool GridSheet::forEachRecord(const std::function<bool(const QVector<ExportCell> &)> &visit, QString *error) const
{
    QVector<ExportCell> cells(m_columns.size());
    if (const auto *dataSet = qobject_cast<const DataSet *>(m_model)) {
        const bool read = dataSet->forEachRow([&](const QVector<QVariant> &values) {
            for (int i = 0; i < m_columns.size(); ++i) {
                const Column &c = m_columns[i];
                cells[i] = c.modelColumn >= 0 ? cell(values.value(c.modelColumn), c) : ExportCell::blank();
            }
            return visit(cells);
        });
        if (!read && error)
            *error = dataSet->lastError().text();
        return read;
    }
    for (int row = 0; m_model && row < m_model->rowCount(); ++row) {
        for (int i = 0; i < m_columns.size(); ++i) {
            const Column &c = m_columns[i];
            cells[i] = c.modelColumn >= 0 ? cell(m_model->value(row, c.field), c) : ExportCell::blank();
        }
        if (!visit(cells))
            break;
    }
    return true;
}

QVector<ExportCell> GridSheet::footer() const
{
    QVector<ExportCell> cells;
    for (const Column &c : m_columns) {
        const QVariant value = m_grid->footerValue(c.gridColumn);
        cells << (value.isNull() ? ExportCell::ofText(m_grid->footerText(c.gridColumn)) : ExportCell::ofNumber(value.toDouble()));
    }
    return cells;
}

bool GridSheet::write(SheetWriter::Format format, const QString &fileName, QString *error,
                      const std::function<bool(int)> &progress) const
{
    QString reason;
    TemporaryTarget target(fileName);
    if (!target.create(&reason)) {
        *error = reason;
        return false;
    }
    std::unique_ptr<SheetWriter> writer = SheetWriter::create(format);
    bool ok = writer->begin(target.path(), columnWidths()) && writer->writeTitles(titles());
    bool cancelled = false;
    int done = 0;
    ok = ok && forEachRecord([&](const QVector<ExportCell> &cells) {
        if (!writer->writeRow(cells))
            return false;
        ++done;
        if (progress && !progress(done)) {
            cancelled = true;
            return false;
        }
        return true;
    }, &reason);
    if (cancelled) {
        error->clear();
        return false;
    }
    ok = ok && writer->errorString().isEmpty();
    if (ok && m_footer)
        ok = writer->writeRow(footer());
    ok = ok && writer->finish();
    if (!ok) {
        *error = writer->errorString().isEmpty() ? reason : writer->errorString();
        return false;
    }
    if (!target.replaceTarget(&reason)) {
        *error = reason;
        return false;
    }
    return true;
}
