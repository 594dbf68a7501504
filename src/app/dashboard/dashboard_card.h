#pragma once

#include "app/dashboard/dashboard_prefs.h"

#include <QColor>
#include <QWidget>

class QVBoxLayout;

// Spacing of the dashboard for one density, in px.
struct DashboardMetrics
{
    int outerMargin; // window edge to the cards
    int cardGap; // between cards
    int cardPadding; // card edge to its first and last row
    int headerSpacing; // between the header's lines
    int largePercentSize; // type size of the large percentage
    int smallPercentSize;

    static DashboardMetrics forDensity(DashboardPrefs::Density density);
};

// The dashboard's look beyond the battery menu's panel style.
namespace DashboardStyle {
inline const QColor kWindowBackground = QColor::fromRgbF(0.05f, 0.05f, 0.08f);
inline const QColor kCardBackground = QColor(255, 255, 255, 14);
inline const QColor kCardBorder = QColor(255, 255, 255, 20);
inline const QColor kPowerAccent = QColor::fromRgbF(1.0f, 0.8f, 0.12f);
inline const QColor kEnergyAccent = QColor::fromRgbF(0.35f, 0.85f, 0.5f);
inline const QColor kAppsAccent = QColor::fromRgbF(0.35f, 0.75f, 1.0f);
inline const QColor kWhyAccent = QColor::fromRgbF(0.95f, 0.55f, 0.85f);
inline const QColor kHealthAccent = QColor::fromRgbF(1.0f, 0.42f, 0.45f);
} // namespace DashboardStyle

// A rounded panel that holds one part of the dashboard.
class DashboardCard : public QWidget
{
    Q_OBJECT

public:
    explicit DashboardCard(QWidget *parent = nullptr);

    QVBoxLayout *body() const { return m_body; }
    double radius() const { return m_radius; }
    void setRadius(double radius);
    // Vertical padding in px; rows keep their own side insets.
    void setPadding(int padding);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_body;
    double m_radius = DashboardPrefs::kDefaultCornerRadius;
};
