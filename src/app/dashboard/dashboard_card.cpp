#include "app/dashboard/dashboard_card.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

DashboardMetrics DashboardMetrics::forDensity(DashboardPrefs::Density density)
{
    switch (density) {
    case DashboardPrefs::Density::compact:
        return {10, 8, 6, 2, 44, 30};
    case DashboardPrefs::Density::comfortable:
        return {14, 12, 10, 4, 52, 32};
    case DashboardPrefs::Density::roomy:
        return {18, 16, 14, 7, 58, 34};
    }
    return forDensity(DashboardPrefs::Density::comfortable);
}

DashboardCard::DashboardCard(QWidget *parent)
    : QWidget(parent)
    , m_body(new QVBoxLayout(this))
{
    m_body->setSpacing(0);
    setPadding(10);
}

void DashboardCard::setRadius(double radius)
{
    if (radius == m_radius)
        return;
    m_radius = radius;
    update();
}

void DashboardCard::setPadding(int padding)
{
    m_body->setContentsMargins(0, padding, 0, padding);
}

void DashboardCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Half-pixel inset keeps the one-pixel border on whole device pixels.
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(m_radius, std::min(box.width(), box.height()) / 2);
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);
    painter.fillPath(shape, DashboardStyle::kCardBackground);
    painter.setPen(QPen(DashboardStyle::kCardBorder, 1));
    painter.drawPath(shape);
}
