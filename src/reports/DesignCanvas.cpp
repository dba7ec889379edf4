#include "DesignCanvas.h"

#include "PreparedReport.h"
#include "ReportEngine.h"
#include "ReportFonts.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextOption>
#include <cmath>

namespace {

constexpr double HandleSize = 6;
constexpr double EdgeGrip = 3;
constexpr double MinimumSize = 1;   // mm

enum MergeIds { MoveId = 1, ResizeId, BandHeightId, KeyMoveId, KeyResizeId };

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length, 1.0) : 0.0;
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

} // namespace

DesignCanvas::DesignCanvas(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x90, 0x90, 0x90));
    setPalette(palette);
}

void DesignCanvas::setTemplate(ReportTemplate *layout)
{
    m_layout = layout;
    m_selection = {};
    templateChanged();
    emit selectionChanged();
}

void DesignCanvas::setZoom(int percent)
{
    m_zoom = qBound(25, percent, 400);
    templateChanged();
}

double DesignCanvas::pixelsPerMm() const
{
    return logicalDpiX() / 25.4 * m_zoom / 100.0;
}

void DesignCanvas::templateChanged()
{
    // The selection may point past what an undone step removed.
    if (m_layout && m_selection.band >= int(m_layout->bands.size()))
        m_selection = {};
    if (m_layout && m_selection.band >= 0 && m_selection.item >= int(m_layout->bands[size_t(m_selection.band)].items.size()))
        m_selection.item = -1;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize DesignCanvas::sizeHint() const
{
    if (!m_layout)
        return QSize(400, 400);
    return QSize(int(std::ceil(2 * Padding + m_layout->page.width * pixelsPerMm())), int(std::ceil(sheetHeight() + 2 * Padding)));
}

double DesignCanvas::sheetLeft() const
{
    return Padding;
}

double DesignCanvas::bodyLeft() const
{
    return sheetLeft() + m_layout->page.leftMargin * pixelsPerMm();
}

double DesignCanvas::bodyWidth() const
{
    const ReportPage &page = m_layout->page;
    return (page.width - page.leftMargin - page.rightMargin) * pixelsPerMm();
}

QRectF DesignCanvas::bandBody(int band) const
{
    const double s = pixelsPerMm();
    double y = Padding + m_layout->page.topMargin * s;
    for (int i = 0; i < band; ++i)
        y += StripHeight + m_layout->bands[size_t(i)].height * s;
    return QRectF(bodyLeft(), y + StripHeight, bodyWidth(), m_layout->bands[size_t(band)].height * s);
}

double DesignCanvas::sheetHeight() const
{
    const double s = pixelsPerMm();
    double height = (m_layout->page.topMargin + m_layout->page.bottomMargin) * s;
    for (const ReportBand &band : m_layout->bands)
        height += StripHeight + band.height * s;
    // At least the paper, so that an empty report shows its page.
    return qMax(height, m_layout->page.height * s);
}

QRectF DesignCanvas::itemRect(int band, int item) const
{
    const double s = pixelsPerMm();
    const QRectF body = bandBody(band);
    const QRectF &g = m_layout->bands[size_t(band)].items[size_t(item)].geometry;
    return QRectF(body.left() + g.left() * s, body.top() + g.top() * s, g.width() * s, g.height() * s);
}

void DesignCanvas::setSelection(const Selection &selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    update();
    emit selectionChanged();
}

ReportItem *DesignCanvas::selectedItem() const
{
    ReportBand *band = selectedBand();
    if (!band || m_selection.item < 0 || m_selection.item >= int(band->items.size()))
        return nullptr;
    return &band->items[size_t(m_selection.item)];
}

ReportBand *DesignCanvas::selectedBand() const
{
    if (!m_layout || m_selection.band < 0 || m_selection.band >= int(m_layout->bands.size()))
        return nullptr;
    return &m_layout->bands[size_t(m_selection.band)];
}

QVector<QRectF> DesignCanvas::handles(const QRectF &rect) const
{
    const QPointF points[] = {rect.topLeft(),     QPointF(rect.center().x(), rect.top()),
                              rect.topRight(),    QPointF(rect.right(), rect.center().y()),
                              rect.bottomRight(), QPointF(rect.center().x(), rect.bottom()),
                              rect.bottomLeft(),  QPointF(rect.left(), rect.center().y())};
    QVector<QRectF> boxes;
    for (const QPointF &point : points)
        boxes << QRectF(point - QPointF(HandleSize / 2, HandleSize / 2), QSizeF(HandleSize, HandleSize));
    return boxes;
}

DesignCanvas::Handle DesignCanvas::handleAt(const QPointF &point) const
{
    if (!selectedItem())
        return NoHandle;
    const QVector<QRectF> boxes = handles(itemRect(m_selection.band, m_selection.item));
    for (int i = 0; i < boxes.size(); ++i) {
        if (boxes[i].adjusted(-1, -1, 1, 1).contains(point))
            return Handle(i);
    }
    return NoHandle;
}

DesignCanvas::Selection DesignCanvas::itemAt(const QPointF &point) const
{
    for (int band = int(m_layout->bands.size()) - 1; band >= 0; --band) {
        const auto &items = m_layout->bands[size_t(band)].items;
        for (int item = int(items.size()) - 1; item >= 0; --item) {
            if (items[size_t(item)].kind == ReportItem::Kind::Unknown)
                continue;
            const QRectF rect = itemRect(band, item);
            if (items[size_t(item)].kind == ReportItem::Kind::Line) {
                if (distanceToSegment(point, rect.topLeft(), rect.bottomRight()) <= EdgeGrip)
                    return {band, item};
            } else if (rect.adjusted(-1, -1, 1, 1).contains(point)) {
                return {band, item};
            }
        }
    }
    return {};
}

int DesignCanvas::bandEdgeAt(const QPointF &point) const
{
    for (int band = 0; band < int(m_layout->bands.size()); ++band) {
        const QRectF body = bandBody(band);
        if (point.x() >= body.left() && point.x() <= body.right() && qAbs(point.y() - body.bottom()) <= EdgeGrip)
            return band;
    }
    return -1;
}

int DesignCanvas::bandAt(const QPointF &point) const
{
    for (int band = 0; band < int(m_layout->bands.size()); ++band) {
        const QRectF body = bandBody(band);
        if (body.adjusted(0, -StripHeight, 0, 0).contains(point))
            return band;
    }
    return -1;
}

void DesignCanvas::paintEvent(QPaintEvent *)
{
    if (!m_layout)
        return;
    QPainter painter(this);
    const double s = pixelsPerMm();
    const QRectF sheet(sheetLeft(), Padding, m_layout->page.width * s, sheetHeight());
    painter.fillRect(sheet.translated(3, 3), QColor(0x50, 0x50, 0x50));
    painter.fillRect(sheet, Qt::white);
    // The margins, dashed.
    painter.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1, Qt::DashLine));
    painter.drawRect(QRectF(bodyLeft(), Padding + m_layout->page.topMargin * s, bodyWidth(),
                            sheet.height() - (m_layout->page.topMargin + m_layout->page.bottomMargin) * s));
    for (int band = 0; band < int(m_layout->bands.size()); ++band)
        drawBand(painter, band);
    if (selectedItem()) {
        const QRectF rect = itemRect(m_selection.band, m_selection.item);
        painter.setPen(QPen(QColor(0x20, 0x60, 0xd0), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
        painter.setPen(QColor(0x20, 0x60, 0xd0));
        painter.setBrush(Qt::white);
        const QVector<QRectF> boxes = handles(rect);
        for (const QRectF &box : boxes)
            painter.drawRect(box);
    }
}

void DesignCanvas::drawBand(QPainter &painter, int index) const
{
    const ReportBand &band = m_layout->bands[size_t(index)];
    const QRectF body = bandBody(index);
    const QRectF strip(body.left(), body.top() - StripHeight, body.width(), StripHeight);
    const bool selected = m_selection.band == index && m_selection.item < 0;
    painter.fillRect(strip, selected ? QColor(0xff, 0xd8, 0x80) : QColor(0xe4, 0xe8, 0xf0));
    painter.setPen(QColor(0x40, 0x40, 0x50));
    QString caption = ReportTemplate::bandTypeCaption(band.type) + QStringLiteral(": ") + band.name;
    if (band.isDataBand())
        caption += QStringLiteral("  [%1]").arg(band.dataSet.isEmpty() ? QStringLiteral("无数据集") : band.dataSet);
    QFont captionFont = font();
    captionFont.setPixelSize(12);
    painter.setFont(captionFont);
    painter.drawText(strip.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
    painter.setPen(QPen(QColor(0xa0, 0xa8, 0xc0), 1, Qt::DotLine));
    painter.drawLine(body.bottomLeft(), body.bottomRight());
    for (int item = 0; item < int(band.items.size()); ++item) {
        if (band.items[size_t(item)].kind != ReportItem::Kind::Unknown)
            drawItem(painter, band.items[size_t(item)], itemRect(index, item));
    }
}

void DesignCanvas::drawItem(QPainter &painter, const ReportItem &item, const QRectF &rect) const
{
    painter.save();
    const double lineWidth = item.lineWidth * pixelsPerMm() / PreparedReport::PixelsPerMm;
    painter.setPen(QPen(Qt::black, lineWidth));
    painter.setBrush(Qt::NoBrush);
    switch (item.kind) {
    case ReportItem::Kind::Line:
        painter.drawLine(rect.topLeft(), rect.bottomRight());
        break;
    case ReportItem::Kind::Rect:
        painter.drawRect(rect);
        break;
    case ReportItem::Kind::Picture: {
        const QImage image = QImage::fromData(item.picture);
        if (image.isNull())
            painter.fillRect(rect, QColor(0xf0, 0xf0, 0xf0));
        else
            painter.drawImage(rect, image);
        break;
    }
    case ReportItem::Kind::Text: {
        // The box outline where it has no frame, so that empty boxes can be found.
        painter.setPen(QPen(QColor(0xc8, 0xc8, 0xc8), 1, Qt::DotLine));
        painter.drawRect(rect);
        painter.setPen(QPen(Qt::black, lineWidth));
        if (item.frame & FrameLeft)
            painter.drawLine(rect.topLeft(), rect.bottomLeft());
        if (item.frame & FrameTop)
            painter.drawLine(rect.topLeft(), rect.topRight());
        if (item.frame & FrameRight)
            painter.drawLine(rect.topRight(), rect.bottomRight());
        if (item.frame & FrameBottom)
            painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.setClipRect(rect);
        // Text in pixels of 1/96 inch, as it prints.
        const double scale = pixelsPerMm() / PreparedReport::PixelsPerMm;
        painter.translate(rect.topLeft());
        painter.scale(scale, scale);
        painter.setFont(ReportFonts::font(item.fontFamily, item.fontSize, item.bold));
        QTextOption option;
        Qt::Alignment alignment = item.hAlign == ReportItem::HAlign::Center ? Qt::AlignHCenter
                                : item.hAlign == ReportItem::HAlign::Right  ? Qt::AlignRight
                                                                            : Qt::AlignLeft;
        alignment |= item.vAlign == ReportItem::VAlign::Center ? Qt::AlignVCenter
                   : item.vAlign == ReportItem::VAlign::Bottom ? Qt::AlignBottom
                                                               : Qt::AlignTop;
        option.setAlignment(alignment);
        option.setWrapMode(item.wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
        const QRectF inner = QRectF(0, 0, rect.width() / scale, rect.height() / scale)
                                 .adjusted(ReportEngine::GapX, ReportEngine::GapY, -ReportEngine::GapX, -ReportEngine::GapY);
        painter.drawText(inner, item.text, option);
        break;
    }
    case ReportItem::Kind::Unknown:
        break;
    }
    painter.restore();
}

double DesignCanvas::snap(double mm)
{
    return std::round(mm * 10) / 10;
}

void DesignCanvas::beginDrag()
{
    if (!m_dragChanged) {
        m_dragChanged = true;
        emit editStarted();
    }
}

void DesignCanvas::mousePressEvent(QMouseEvent *event)
{
    if (!m_layout || event->button() != Qt::LeftButton)
        return;
    setFocus();
    const QPointF point = event->position();
    m_pressPoint = point;
    m_dragChanged = false;
    m_drag = Drag::None;
    m_handle = handleAt(point);
    if (m_handle != NoHandle) {
        m_drag = Drag::Resize;
        m_pressGeometry = selectedItem()->geometry;
        return;
    }
    const int edge = bandEdgeAt(point);
    const Selection hit = itemAt(point);
    if (hit.band >= 0) {
        setSelection(hit);
        m_drag = Drag::Move;
        m_pressGeometry = selectedItem()->geometry;
    } else if (edge >= 0) {
        setSelection({edge, -1});
        m_drag = Drag::BandHeight;
        m_pressHeight = m_layout->bands[size_t(edge)].height;
    } else {
        setSelection({bandAt(point), -1});
    }
}

void DesignCanvas::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_layout)
        return;
    const QPointF point = event->position();
    const double s = pixelsPerMm();
    if (m_drag == Drag::None) {
        const int band = bandAt(point);
        if (band >= 0) {
            const QRectF body = bandBody(band);
            emit positionHovered((point - body.topLeft()) / s, band);
        }
        const Handle handle = handleAt(point);
        static const Qt::CursorShape shapes[] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                                                 Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
        if (handle != NoHandle)
            setCursor(shapes[handle]);
        else if (bandEdgeAt(point) >= 0 && itemAt(point).band < 0)
            setCursor(Qt::SplitVCursor);
        else if (itemAt(point).band >= 0)
            setCursor(Qt::SizeAllCursor);
        else
            unsetCursor();
        return;
    }
    const QPointF delta = (point - m_pressPoint) / s;
    if (!m_dragChanged && (point - m_pressPoint).manhattanLength() < 3)
        return;
    beginDrag();
    if (m_drag == Drag::BandHeight) {
        m_layout->bands[size_t(m_selection.band)].height = qMax(MinimumSize, snap(m_pressHeight + delta.y()));
        templateChanged();
        return;
    }
    ReportItem *item = selectedItem();
    if (!item)
        return;
    QRectF g = m_pressGeometry;
    if (m_drag == Drag::Move) {
        g.moveTopLeft(QPointF(snap(g.left() + delta.x()), snap(g.top() + delta.y())));
    } else {
        const bool line = item->kind == ReportItem::Kind::Line;
        const double minimum = line ? 0 : MinimumSize;
        if (m_handle == TopLeft || m_handle == Left || m_handle == BottomLeft)
            g.setLeft(qMin(snap(g.left() + delta.x()), g.right() - minimum));
        if (m_handle == TopRight || m_handle == Right || m_handle == BottomRight)
            g.setRight(qMax(snap(g.right() + delta.x()), g.left() + minimum));
        if (m_handle == TopLeft || m_handle == Top || m_handle == TopRight)
            g.setTop(qMin(snap(g.top() + delta.y()), g.bottom() - minimum));
        if (m_handle == BottomLeft || m_handle == Bottom || m_handle == BottomRight)
            g.setBottom(qMax(snap(g.bottom() + delta.y()), g.top() + minimum));
    }
    item->geometry = g;
    update();
}

void DesignCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (!m_dragChanged)
        return;
    m_dragChanged = false;
    switch (drag) {
    case Drag::Move: emit editFinished(QStringLiteral("移动对象"), MoveId); break;
    case Drag::Resize: emit editFinished(QStringLiteral("改变对象大小"), ResizeId); break;
    case Drag::BandHeight: emit editFinished(QStringLiteral("改变带区高度"), BandHeightId); break;
    case Drag::None: break;
    }
}

void DesignCanvas::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        if (m_selection.band >= 0)
            emit deleteRequested();
        return;
    }
    ReportItem *item = selectedItem();
    const int key = event->key();
    if (!item || (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Half a millimetre a press, a tenth with Ctrl; Shift changes the size instead.
    const double step = event->modifiers() & Qt::ControlModifier ? 0.1 : 0.5;
    const double dx = key == Qt::Key_Left ? -step : key == Qt::Key_Right ? step : 0;
    const double dy = key == Qt::Key_Up ? -step : key == Qt::Key_Down ? step : 0;
    const bool resize = event->modifiers() & Qt::ShiftModifier;
    emit editStarted();
    QRectF g = item->geometry;
    if (resize) {
        const double minimum = item->kind == ReportItem::Kind::Line ? 0 : MinimumSize;
        g.setWidth(qMax(minimum, snap(g.width() + dx)));
        g.setHeight(qMax(minimum, snap(g.height() + dy)));
    } else {
        g.moveTopLeft(QPointF(snap(g.left() + dx), snap(g.top() + dy)));
    }
    item->geometry = g;
    update();
    emit editFinished(resize ? QStringLiteral("改变对象大小") : QStringLiteral("移动对象"), resize ? KeyResizeId : KeyMoveId);
}
