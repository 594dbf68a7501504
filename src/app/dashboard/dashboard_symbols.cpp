#include "app/dashboard/dashboard_symbols.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace DashboardSymbols {

namespace {

// All shapes are laid out on a 16 × 16 grid and scaled to the box.
constexpr double kGrid = 16.0;

QPen strokePen(const QColor &color, double width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPainterPath leafPath()
{
    QPainterPath path;
    path.moveTo(3, 13);
    path.cubicTo(2, 6, 7, 2.5, 14, 2.5);
    path.cubicTo(14, 9.5, 10, 14, 3, 13);
    path.closeSubpath();
    return path;
}

void drawOnGrid(QPainter &painter, const QString &name, const QColor &color)
{
    if (name == QStringLiteral("bolt.fill")) {
        QPainterPath bolt;
        bolt.moveTo(9.5, 1);
        bolt.lineTo(3, 9.2);
        bolt.lineTo(7.6, 9.2);
        bolt.lineTo(6.5, 15);
        bolt.lineTo(13, 6.8);
        bolt.lineTo(8.4, 6.8);
        bolt.closeSubpath();
        painter.fillPath(bolt, color);
    } else if (name == QStringLiteral("leaf") || name == QStringLiteral("leaf.fill")) {
        const QPainterPath leaf = leafPath();
        if (name == QStringLiteral("leaf.fill"))
            painter.fillPath(leaf, color);
        else
            painter.strokePath(leaf, strokePen(color, 1.4));
        QPainterPath vein;
        vein.moveTo(2, 14.5);
        vein.cubicTo(5, 10, 8, 7.5, 11, 5.5);
        painter.strokePath(vein, strokePen(name == QStringLiteral("leaf.fill") ? QColor(0, 0, 0, 110) : color, 1.2));
    } else if (name == QStringLiteral("questionmark.circle")) {
        painter.setPen(strokePen(color, 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QPainterPath mark;
        mark.moveTo(6, 6.2);
        mark.cubicTo(6, 3.8, 10.2, 3.8, 10.2, 6.2);
        mark.cubicTo(10.2, 7.8, 8, 7.9, 8, 9.6);
        painter.strokePath(mark, strokePen(color, 1.4));
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(QPointF(8, 11.9), 0.95, 0.95);
    } else if (name == QStringLiteral("slider.horizontal.3")) {
        const double rows[] = {3.5, 8, 12.5};
        const double knobs[] = {10.5, 5, 9};
        painter.setPen(strokePen(color, 1.4));
        painter.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3; ++i) {
            // The track stops short of the knob so the knob reads as a ring.
            painter.drawLine(QPointF(1.5, rows[i]), QPointF(knobs[i] - 2.6, rows[i]));
            painter.drawLine(QPointF(knobs[i] + 2.6, rows[i]), QPointF(14.5, rows[i]));
            painter.drawEllipse(QPointF(knobs[i], rows[i]), 1.9, 1.9);
        }
    } else if (name == QStringLiteral("arrow.up.right")) {
        painter.setPen(strokePen(color, 1.5));
        painter.drawLine(QPointF(4, 12), QPointF(12, 4));
        painter.drawPolyline(QList<QPointF>{{5.5, 4}, {12, 4}, {12, 10.5}});
    } else if (name == QStringLiteral("chart.bar.fill")) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawRoundedRect(QRectF(2, 8, 3.2, 6), 0.8, 0.8);
        painter.drawRoundedRect(QRectF(6.4, 4.5, 3.2, 9.5), 0.8, 0.8);
        painter.drawRoundedRect(QRectF(10.8, 2, 3.2, 12), 0.8, 0.8);
    } else if (name == QStringLiteral("heart.fill")) {
        QPainterPath heart;
        heart.moveTo(8, 14);
        heart.cubicTo(2, 10, 0.5, 6.5, 2.5, 4);
        heart.cubicTo(4.3, 1.8, 7, 2.5, 8, 4.6);
        heart.cubicTo(9, 2.5, 11.7, 1.8, 13.5, 4);
        heart.cubicTo(15.5, 6.5, 14, 10, 8, 14);
        painter.fillPath(heart, color);
    } else if (name == QStringLiteral("clock")) {
        painter.setPen(strokePen(color, 1.4));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        painter.drawPolyline(QList<QPointF>{{8, 4.5}, {8, 8}, {10.8, 9.8}});
    }
}

class SymbolIconEngine final : public QIconEngine
{
public:
    SymbolIconEngine(QString name, QColor color)
        : m_name(std::move(name))
        , m_color(std::move(color))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(color.alphaF() * 0.4f);
        draw(*painter, rect, m_name, color);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new SymbolIconEngine(m_name, m_color); }

private:
    QString m_name;
    QColor m_color;
};

} // namespace

void draw(QPainter &painter, const QRectF &box, const QString &name, const QColor &color)
{
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / kGrid, side / kGrid);
    drawOnGrid(painter, name, color);
    painter.restore();
}

QIcon icon(const QString &name, const QColor &color)
{
    return QIcon(new SymbolIconEngine(name, color));
}

} // namespace DashboardSymbols

SymbolButton::SymbolButton(const QString &symbol, const QString &title, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
{
    setText(title);
    setToolTip(title);
    setAccessibleName(title);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QSize SymbolButton::sizeHint() const
{
    return {26, 22};
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (isDown() || m_hovered || hasFocus() || isChecked()) {
        QPainterPath shape;
        shape.addRoundedRect(box, 6, 6);
        painter.fillPath(shape, isDown() ? QColor(255, 255, 255, 40) : QColor(255, 255, 255, 24));
        if (hasFocus()) {
            painter.setPen(QPen(QColor(10, 132, 255).lighter(140), 1));
            painter.drawPath(shape);
        }
    }
    const double side = std::min(14.0, std::min(box.width(), box.height()) - 6);
    const QRectF symbolBox(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    DashboardSymbols::draw(painter, symbolBox, m_symbol, QColor(242, 242, 247, isEnabled() ? 230 : 90));
}

void SymbolButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SymbolButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}
