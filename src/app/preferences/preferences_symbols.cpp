#include "app/preferences/preferences_symbols.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace PreferencesSymbols {

namespace {

// Shapes are laid out on a 16 × 16 grid and scaled to the box; the stroke
// width suits the medium weight of the sidebar's type.
constexpr double kGrid = 16.0;
constexpr double kStroke = 1.3;

QPen strokePen(const QColor &color, double width = kStroke)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void menubarRectangle(QPainter &painter, const QColor &color)
{
    painter.setPen(strokePen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 2.2, 2.2);
    QPainterPath band;
    band.addRoundedRect(QRectF(1.5, 2.5, 13, 3.6), 2.2, 2.2);
    band.addRect(QRectF(1.5, 4.5, 13, 1.6));
    painter.fillPath(band.simplified(), color);
}

void rectangleGroup(QPainter &painter, const QColor &color)
{
    painter.setPen(strokePen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 2.5, 6, 11), 1.6, 1.6);
    painter.drawRoundedRect(QRectF(9.5, 2.5, 5, 4.8), 1.6, 1.6);
    painter.drawRoundedRect(QRectF(9.5, 8.7, 5, 4.8), 1.6, 1.6);
}

QPainterPath boltPath(double x, double y, double scale)
{
    QPainterPath bolt;
    const QPointF points[] = {{3.6, 0}, {0, 4.6}, {2.4, 4.6}, {1.8, 8}, {5.4, 3.4}, {3.0, 3.4}};
    bolt.moveTo(x + points[0].x() * scale, y + points[0].y() * scale);
    for (int i = 1; i < 6; ++i)
        bolt.lineTo(x + points[i].x() * scale, y + points[i].y() * scale);
    bolt.closeSubpath();
    return bolt;
}

void batteryBolt(QPainter &painter, const QColor &color)
{
    // A full battery with the bolt cut out of the fill, as the platform draws it.
    painter.setPen(strokePen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.8, 4.2, 12.6, 7.6), 2.2, 2.2);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(14.1, 6.6, 1.4, 2.8), 0.6, 0.6);
    QPainterPath fill;
    fill.addRoundedRect(QRectF(2.4, 5.8, 9.4, 4.4), 1.0, 1.0);
    const QPainterPath bolt = boltPath(4.5, 4.1, 0.98);
    QPainterPathStroker halo;
    halo.setWidth(1.6);
    painter.fillPath(fill.subtracted(bolt.united(halo.createStroke(bolt))), color);
    painter.fillPath(bolt, color);
}

void bellBadge(QPainter &painter, const QColor &color)
{
    QPainterPath bell;
    bell.moveTo(2.2, 12);
    bell.cubicTo(3.6, 10.6, 3.6, 9.4, 3.6, 7.2);
    bell.cubicTo(3.6, 4.2, 5.4, 2.4, 7.8, 2.4);
    bell.cubicTo(10.2, 2.4, 12, 4.2, 12, 7.2);
    bell.cubicTo(12, 9.4, 12, 10.6, 13.4, 12);
    bell.closeSubpath();
    painter.strokePath(bell, strokePen(color));
    QPainterPath clapper;
    clapper.moveTo(6.2, 13.8);
    clapper.cubicTo(6.6, 15, 9, 15, 9.4, 13.8);
    painter.strokePath(clapper, strokePen(color));
    // The badge sits on a ring of background so it reads apart from the bell.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(12.6, 3.6), 3.3, 3.3);
    painter.restore();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QPointF(12.6, 3.6), 2.3, 2.3);
}

void cloudSun(QPainter &painter, const QColor &color)
{
    const QPointF sun(6, 6);
    painter.setPen(strokePen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(sun, 2.4, 2.4);
    for (int i = 0; i < 8; ++i) {
        const double angle = i * std::numbers::pi / 4;
        const QPointF dir(std::cos(angle), std::sin(angle));
        painter.drawLine(sun + dir * 3.7, sun + dir * 4.8);
    }
    QPainterPath cloud;
    cloud.moveTo(5.2, 14.2);
    cloud.cubicTo(3.2, 14.2, 3.2, 11, 5.4, 11);
    cloud.cubicTo(5.6, 8.4, 9.8, 7.6, 10.8, 10.2);
    cloud.cubicTo(13.8, 9.6, 15.2, 14.2, 12.4, 14.2);
    cloud.closeSubpath();
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QPainterPathStroker gap;
    gap.setWidth(3.2);
    painter.fillPath(cloud.united(gap.createStroke(cloud)), Qt::black);
    painter.restore();
    painter.strokePath(cloud, strokePen(color));
}

QPainterPath bubble(const QRectF &box, bool tailLeft)
{
    QPainterPath path;
    path.addRoundedRect(box, 2.4, 2.4);
    QPainterPath tail;
    const double x = tailLeft ? box.left() + 2.2 : box.right() - 2.2;
    const double dx = tailLeft ? -1.6 : 1.6;
    tail.moveTo(x - 1.2, box.bottom() - 0.5);
    tail.lineTo(x + dx, box.bottom() + 2.2);
    tail.lineTo(x + 1.2, box.bottom() - 0.5);
    tail.closeSubpath();
    return path.united(tail).simplified();
}

void bubbles(QPainter &painter, const QColor &color)
{
    const QPainterPath back = bubble(QRectF(6.2, 5.6, 8.6, 6.2), false);
    const QPainterPath front = bubble(QRectF(1.2, 1.8, 9.2, 6.6), true);
    painter.strokePath(back, strokePen(color));
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    QPainterPathStroker gap;
    gap.setWidth(2.6);
    painter.fillPath(front.united(gap.createStroke(front)), Qt::black);
    painter.restore();
    painter.fillPath(front, color);
}

void infoCircle(QPainter &painter, const QColor &color)
{
    painter.setPen(strokePen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QPointF(8, 5.1), 1.0, 1.0);
    painter.setPen(strokePen(color, 1.6));
    painter.drawLine(QPointF(8, 7.6), QPointF(8, 11.6));
}

} // namespace

void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color)
{
    const double side = std::min(box.width(), box.height());
    if (side <= 0)
        return;
    // Drawn on a transparent layer of its own first: the badge, cloud and
    // bubble cut gaps into the shapes behind them, which must not cut into
    // whatever the caller painted below.
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int pixels = static_cast<int>(std::ceil(side * ratio));
    QImage layer(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter shapes(&layer);
        shapes.setRenderHint(QPainter::Antialiasing);
        shapes.scale(pixels / kGrid, pixels / kGrid);
        if (name == QStringLiteral("menubar.rectangle"))
            menubarRectangle(shapes, color);
        else if (name == QStringLiteral("rectangle.3.group"))
            rectangleGroup(shapes, color);
        else if (name == QStringLiteral("battery.100.bolt"))
            batteryBolt(shapes, color);
        else if (name == QStringLiteral("bell.badge"))
            bellBadge(shapes, color);
        else if (name == QStringLiteral("cloud.sun"))
            cloudSun(shapes, color);
        else if (name == QStringLiteral("bubble.left.and.bubble.right"))
            bubbles(shapes, color);
        else if (name == QStringLiteral("info.circle"))
            infoCircle(shapes, color);
    }
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side), layer);
    painter.restore();
}

} // namespace PreferencesSymbols
