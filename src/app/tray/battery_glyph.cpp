#include "app/tray/battery_glyph.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QRegularExpression>

#include <cmath>

namespace BatteryGlyph {

namespace {

// Natural sizes of the 17-point symbols, in points.
constexpr QSizeF kBatterySize(27.0, 13.0);
constexpr QSizeF kPlugSize(20.0, 17.0);

struct BatteryName
{
    int fillPercent = 0;
    bool bolt = false;
};

std::optional<BatteryName> parseBattery(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^battery\\.(0|25|50|75|100)(\\.bolt)?$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return BatteryName{match.captured(1).toInt(), match.capturedLength(2) > 0};
}

bool isPlug(const QString &name)
{
    return name == QStringLiteral("powerplug.fill");
}

// Rounds to whole device pixels.
class PixelGrid
{
public:
    explicit PixelGrid(double pixelsPerPoint) : m_scale(pixelsPerPoint > 0 ? pixelsPerPoint : 1.0) {}
    double snap(double points) const { return std::round(points * m_scale) / m_scale; }
    // At least one device pixel.
    double thickness(double points) const { return std::max(snap(points), 1.0 / m_scale); }

private:
    double m_scale;
};

QRectF fitted(const QRectF &box, QSizeF natural)
{
    const double scale = std::min(box.width() / natural.width(), box.height() / natural.height());
    const QSizeF size = natural * scale;
    return QRectF(box.center().x() - size.width() / 2, box.center().y() - size.height() / 2, size.width(),
                  size.height());
}

QRectF snapped(const QRectF &rect, const PixelGrid &grid)
{
    const double left = grid.snap(rect.left());
    const double top = grid.snap(rect.top());
    return QRectF(left, top, grid.snap(rect.right()) - left, grid.snap(rect.bottom()) - top);
}

// A lightning bolt in a unit square, pointing down to the left.
QPainterPath boltPath(const QRectF &frame)
{
    static const QPointF unit[] = {{0.62, 0.0},  {0.10, 0.58}, {0.45, 0.58}, {0.36, 1.0},
                                   {0.90, 0.40}, {0.55, 0.40}, {0.64, 0.0}};
    QPainterPath path;
    for (const QPointF &p : unit) {
        const QPointF mapped(frame.left() + p.x() * frame.width(), frame.top() + p.y() * frame.height());
        if (path.elementCount() == 0)
            path.moveTo(mapped);
        else
            path.lineTo(mapped);
    }
    path.closeSubpath();
    return path;
}

void drawBattery(QPainter &painter, const QRectF &frame, BatteryName battery, const QColor &color,
                 const PixelGrid &grid)
{
    // Proportions of a 27 × 13 point battery; `u` scales them to the frame.
    const double u = frame.height() / kBatterySize.height();
    const double ring = grid.thickness(1.25 * u);
    const double capWidth = grid.thickness(2.0 * u);
    const double capGap = grid.thickness(0.75 * u);

    const QRectF body = snapped(QRectF(frame.left(), frame.top(), frame.width() - capWidth - capGap, frame.height()), grid);
    const double radius = 3.6 * u;

    QPainterPath outline;
    outline.setFillRule(Qt::OddEvenFill);
    outline.addRoundedRect(body, radius, radius);
    const QRectF inner = body.adjusted(ring, ring, -ring, -ring);
    outline.addRoundedRect(inner, std::max(radius - ring, 0.5), std::max(radius - ring, 0.5));

    const double capHeight = grid.snap(frame.height() * 0.38);
    const QRectF cap(body.right() + capGap, grid.snap(body.center().y() - capHeight / 2), capWidth, capHeight);
    QPainterPath capPath;
    capPath.addRoundedRect(cap, capWidth * 0.5, capWidth * 0.5);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(outline);
    painter.drawPath(capPath);

    const double fillGap = grid.thickness(1.0 * u);
    const QRectF fillArea = inner.adjusted(fillGap, fillGap, -fillGap, -fillGap);
    if (battery.fillPercent > 0) {
        const double width = grid.snap(fillArea.width() * battery.fillPercent / 100.0);
        const double fillRadius = std::max(radius - ring - fillGap, 0.5);
        QPainterPath fill;
        fill.addRoundedRect(QRectF(fillArea.left(), fillArea.top(), width, fillArea.height()), fillRadius, fillRadius);
        painter.drawPath(fill);
    }

    if (battery.bolt) {
        const double boltHeight = body.height() - 2 * u;
        const double boltWidth = boltHeight * 0.62;
        const QRectF boltFrame(body.center().x() - boltWidth / 2, body.center().y() - boltHeight / 2, boltWidth,
                               boltHeight);
        const QPainterPath bolt = boltPath(boltFrame);
        // A transparent moat keeps the bolt readable over the fill.
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.strokePath(bolt, QPen(Qt::black, 2.0 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawPath(bolt);
    }
    painter.restore();
}

void drawPlug(QPainter &painter, const QRectF &frame, const QColor &color, const PixelGrid &grid)
{
    // Proportions of a 20 × 17 point plug, prongs up, cable down.
    const double u = frame.height() / kPlugSize.height();
    const double cx = frame.center().x();
    const double top = frame.top();

    const double prongWidth = grid.thickness(1.8 * u);
    const double prongHeight = grid.snap(4.5 * u);
    const double prongSpacing = grid.snap(6.0 * u);
    const QRectF leftProng(grid.snap(cx - prongSpacing / 2 - prongWidth / 2), grid.snap(top), prongWidth, prongHeight);
    const QRectF rightProng(grid.snap(cx + prongSpacing / 2 - prongWidth / 2), grid.snap(top), prongWidth, prongHeight);

    const double headWidth = grid.snap(11.0 * u);
    const double headTop = grid.snap(top + prongHeight);
    const double headHeight = grid.snap(7.5 * u);
    const QRectF head(grid.snap(cx - headWidth / 2), headTop, headWidth, headHeight);

    const double cableWidth = grid.thickness(3.0 * u);
    const QRectF cable(grid.snap(cx - cableWidth / 2), head.bottom() - 1.0 * u, cableWidth,
                       grid.snap(frame.bottom()) - head.bottom() + 1.0 * u);

    QPainterPath plug;
    // Overlapping parts fill as one shape under the winding rule.
    plug.setFillRule(Qt::WindingFill);
    plug.addRoundedRect(leftProng, prongWidth / 2, prongWidth / 2);
    plug.addRoundedRect(rightProng, prongWidth / 2, prongWidth / 2);
    plug.addRoundedRect(head, 2.5 * u, 2.5 * u);
    plug.addRoundedRect(cable, cableWidth / 3, cableWidth / 3);

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(plug);
    painter.restore();
}

} // namespace

std::optional<QSizeF> naturalSize(const QString &name)
{
    if (parseBattery(name))
        return kBatterySize;
    if (isPlug(name))
        return kPlugSize;
    return std::nullopt;
}

void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color, double devicePixelsPerPoint)
{
    const PixelGrid grid(devicePixelsPerPoint);
    if (const std::optional<BatteryName> battery = parseBattery(name)) {
        drawBattery(painter, snapped(fitted(box, kBatterySize), grid), *battery, color, grid);
        return;
    }
    if (isPlug(name))
        drawPlug(painter, fitted(box, kPlugSize), color, grid);
}

} // namespace BatteryGlyph
