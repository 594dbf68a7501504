#include "app/ui/sparkline.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

QList<QPointF> sparklinePoints(const QList<double> &values, double width, double height, double minimumRange)
{
    QList<QPointF> points;
    if (values.isEmpty())
        return points;
    const auto [lowestValue, highest] = std::minmax_element(values.begin(), values.end());
    const double bottom = std::min(*lowestValue, *highest - minimumRange);
    const double *lowest = &bottom;
    const double range = *highest - *lowest;
    const double step = values.size() > 1 ? width / static_cast<double>(values.size() - 1) : 0;
    points.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        const double fraction = range > 0 ? (values.at(i) - *lowest) / range : 0.5;
        points.append({step * static_cast<double>(i), height - fraction * height});
    }
    return points;
}

Sparkline::Sparkline(const QColor &color, QWidget *parent)
    : QWidget(parent)
    , m_color(color)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Sparkline::setValues(const QList<double> &values)
{
    if (values == m_values)
        return;
    m_values = values;
    update();
}

void Sparkline::setMinimumRange(double range)
{
    if (range == m_minimumRange)
        return;
    m_minimumRange = range;
    update();
}

QSize Sparkline::sizeHint() const
{
    return {120, 28};
}

void Sparkline::paintEvent(QPaintEvent *)
{
    if (m_values.size() < 2)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Keep the stroke inside the widget at the extremes.
    const double pen = 1.5;
    QList<QPointF> points = sparklinePoints(m_values, width() - 2 * pen, height() - 2 * pen, m_minimumRange);
    QPainterPath line;
    line.moveTo(points.first() + QPointF(pen, pen));
    for (qsizetype i = 1; i < points.size(); ++i)
        line.lineTo(points.at(i) + QPointF(pen, pen));

    QPainterPath area = line;
    area.lineTo(points.last().x() + pen, height());
    area.lineTo(points.first().x() + pen, height());
    area.closeSubpath();
    QLinearGradient fade(0, 0, 0, height());
    QColor top = m_color;
    top.setAlphaF(0.28f);
    QColor bottom = m_color;
    bottom.setAlphaF(0.0f);
    fade.setColorAt(0, top);
    fade.setColorAt(1, bottom);
    painter.fillPath(area, fade);

    painter.setPen(QPen(m_color, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(line);
}
