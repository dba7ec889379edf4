#pragma once

#include <QPair>
#include <QString>
#include <QVariantMap>
#include <QVector>

class SqlDialect;

// The condition of the goods lists' filter boxes: each box that holds text asks its column to
// contain that text as typed (blanks too), literally and without regard to letter case; the
// conditions are joined with AND. Every text is a bound value.
namespace GoodsFilter {

// A column and the text its box holds.
using Box = QPair<QString, QString>;

// Empty when every box is empty; binds receives the patterns.
QString condition(const SqlDialect &dialect, const QVector<Box> &boxes, QVariantMap *binds);

} // namespace GoodsFilter
