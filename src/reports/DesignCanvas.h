#pragma once

#include "ReportTemplate.h"

#include <QWidget>

// The page of a template in the designer, drawn to scale with its bands one under the other
// (each under a caption strip) and their objects. Objects are selected, moved and resized
// with the mouse and the arrow keys, band heights by dragging a band's lower edge.
//
// The canvas changes the template it is given; editStarted() comes before a change and
// editFinished() after it, so that the designer can record it for undo.
class DesignCanvas : public QWidget
{
    Q_OBJECT
public:
    struct Selection
    {
        int band = -1;      // -1: the page
        int item = -1;      // -1: the band itself
        bool operator==(const Selection &other) const { return band == other.band && item == other.item; }
    };

    static constexpr int StripHeight = 18;
    static constexpr int Padding = 20;

    explicit DesignCanvas(QWidget *parent = nullptr);

    void setTemplate(ReportTemplate *layout);
    // Screen pixels per millimetre at percent of the real size.
    void setZoom(int percent);
    double pixelsPerMm() const;

    Selection selection() const { return m_selection; }
    void setSelection(const Selection &selection);
    ReportItem *selectedItem() const;
    ReportBand *selectedBand() const;

    // Where things stand on the canvas, in its pixels.
    QRectF bandBody(int band) const;
    QRectF itemRect(int band, int item) const;
    // Re-reads sizes after the template changed outside the canvas.
    void templateChanged();

    QSize sizeHint() const override;

signals:
    void selectionChanged();
    void editStarted();
    // A change of the kind named (so that steps of one drag or one key held down merge).
    void editFinished(const QString &what, int mergeId);
    void deleteRequested();
    void positionHovered(const QPointF &mm, int band);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Drag { None, Move, Resize, BandHeight };
    // Handles clockwise from the top left corner.
    enum Handle { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left, NoHandle };

    double sheetLeft() const;
    double bodyLeft() const;
    double bodyWidth() const;
    double sheetHeight() const;
    QVector<QRectF> handles(const QRectF &rect) const;
    Handle handleAt(const QPointF &point) const;
    Selection itemAt(const QPointF &point) const;
    int bandEdgeAt(const QPointF &point) const;
    int bandAt(const QPointF &point) const;
    void drawBand(QPainter &painter, int band) const;
    void drawItem(QPainter &painter, const ReportItem &item, const QRectF &rect) const;
    void beginDrag();
    static double snap(double mm);

    ReportTemplate *m_layout = nullptr;
    int m_zoom = 100;
    Selection m_selection;
    Drag m_drag = Drag::None;
    Handle m_handle = NoHandle;
    QPointF m_pressPoint;
    QRectF m_pressGeometry;
    double m_pressHeight = 0;
    bool m_dragChanged = false;
};
