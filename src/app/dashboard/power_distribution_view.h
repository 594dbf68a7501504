#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

// One bar of the power distribution: a domain's watts against the total.
struct PowerDistributionBar
{
    QString label;
    double watts = 0; // W
    double total = 0; // W, never 0
    QColor tint;

    // The bar's length as a fraction of the track, 0…1.
    double fraction() const;
};

// The chip's power by domain, as the dashboard charts it.
struct PowerDistribution
{
    double cpu = 0, gpu = 0, ane = 0, dram = 0, other = 0; // W
    double package = 0; // W

    // The package watts when above 0.05 W; otherwise the larger of the package
    // watts and the sum of the parts, but at least 0.01 so bars never divide
    // by zero.
    double total() const;
    // "CPU", "GPU", "ANE", "Memory" and, above 0.05 W, "Other".
    QList<PowerDistributionBar> bars() const;
};

// "Power Distribution" with the total, and a labelled bar per domain.
class PowerDistributionView : public QWidget
{
    Q_OBJECT

public:
    explicit PowerDistributionView(QWidget *parent = nullptr);

    const PowerDistribution &distribution() const { return m_distribution; }
    bool isCompact() const { return m_compact; }
    // Repaints only when a value changed.
    void setDistribution(const PowerDistribution &distribution);
    // 12 px type instead of 13.
    void setCompact(bool compact);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int rowHeight() const;
    int headingHeight() const;

    PowerDistribution m_distribution;
    int m_barCount = 4;
    bool m_compact = false;
};
