#pragma once

#include <QColor>
#include <QList>
#include <QWidget>

// A line chart of the values, scaled between their minimum and maximum to
// the view's height, with a soft fill below the line.
class Sparkline : public QWidget
{
    Q_OBJECT

public:
    explicit Sparkline(const QColor &color, QWidget *parent = nullptr);

    const QList<double> &values() const { return m_values; }
    QColor color() const { return m_color; }
    void setValues(const QList<double> &values);
    // The height spans at least this much below the maximum, so small changes
    // of a slow series (battery health) are not drawn as steep ones.
    void setMinimumRange(double range);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<double> m_values;
    QColor m_color;
    double m_minimumRange = 0;
};

// The points of a sparkline of `values` in a box of `width` × `height`: x
// spread evenly from 0 to width, y from height (the minimum) to 0 (the
// maximum); a flat series sits in the middle. With `minimumRange`, the
// bottom stands at least that far below the maximum.
QList<QPointF> sparklinePoints(const QList<double> &values, double width, double height, double minimumRange = 0);
