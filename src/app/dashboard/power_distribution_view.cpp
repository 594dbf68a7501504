#include "app/dashboard/power_distribution_view.h"

#include "app/ui/panel_style.h"
#include "platform/format.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kShownThreshold = 0.05; // W; below this a reading is noise
constexpr double kMinimumTotal = 0.01; // W
constexpr int kLabelColumn = 58; // px
constexpr int kValueColumn = 52; // px
constexpr int kTrackHeight = 6; // px

const QColor kCpuTint = QColor::fromRgbF(0.35f, 0.75f, 1.0f);
const QColor kGpuTint = QColor::fromRgbF(0.55f, 0.85f, 0.45f);
const QColor kAneTint = QColor::fromRgbF(0.95f, 0.55f, 0.85f);
const QColor kMemoryTint = QColor::fromRgbF(1.0f, 0.75f, 0.35f);
const QColor kOtherTint = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.45f);

bool sameWatts(const PowerDistribution &a, const PowerDistribution &b)
{
    return a.cpu == b.cpu && a.gpu == b.gpu && a.ane == b.ane && a.dram == b.dram && a.other == b.other &&
           a.package == b.package;
}

} // namespace

double PowerDistributionBar::fraction() const
{
    return std::clamp(watts / total, 0.0, 1.0);
}

double PowerDistribution::total() const
{
    if (package > kShownThreshold)
        return package;
    return std::max({package, cpu + gpu + ane + dram + other, kMinimumTotal});
}

QList<PowerDistributionBar> PowerDistribution::bars() const
{
    const double sum = total();
    QList<PowerDistributionBar> result{
        {QStringLiteral("CPU"), cpu, sum, kCpuTint},
        {QStringLiteral("GPU"), gpu, sum, kGpuTint},
        {QStringLiteral("ANE"), ane, sum, kAneTint},
        {QStringLiteral("Memory"), dram, sum, kMemoryTint},
    };
    if (other > kShownThreshold)
        result.append({QStringLiteral("Other"), other, sum, kOtherTint});
    return result;
}

PowerDistributionView::PowerDistributionView(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

void PowerDistributionView::setDistribution(const PowerDistribution &distribution)
{
    if (sameWatts(distribution, m_distribution))
        return;
    m_distribution = distribution;
    const int bars = static_cast<int>(m_distribution.bars().size());
    if (bars != m_barCount) {
        m_barCount = bars;
        setFixedHeight(sizeHint().height());
    }
    update();
}

void PowerDistributionView::setCompact(bool compact)
{
    if (compact == m_compact)
        return;
    m_compact = compact;
    setFixedHeight(sizeHint().height());
    update();
}

int PowerDistributionView::rowHeight() const
{
    return m_compact ? 18 : 22;
}

int PowerDistributionView::headingHeight() const
{
    return m_compact ? 22 : 26;
}

QSize PowerDistributionView::sizeHint() const
{
    return {240, headingHeight() + m_barCount * rowHeight() + 4};
}

QSize PowerDistributionView::minimumSizeHint() const
{
    return {kLabelColumn + kValueColumn + 60, sizeHint().height()};
}

void PowerDistributionView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int fontSize = m_compact ? 12 : 13;
    const int side = PanelStyle::kSideInset;
    const double right = width() - side;

    QFont heading = PanelStyle::font(PanelStyle::TextRole::emphasized);
    heading.setPixelSize(fontSize);
    painter.setFont(heading);
    painter.setPen(PanelStyle::kPrimaryText);
    const QRectF headingBox(side, 0, right - side, headingHeight() - 4);
    painter.drawText(headingBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Power Distribution"));
    painter.setPen(PanelStyle::kSecondaryText);
    painter.drawText(headingBox, Qt::AlignRight | Qt::AlignVCenter, formatPrintf("%.1f W", m_distribution.total()));

    QFont body = PanelStyle::font(PanelStyle::TextRole::detail);
    body.setPixelSize(fontSize - 1);
    painter.setFont(body);
    double y = headingHeight();
    const double trackLeft = side + kLabelColumn;
    const double trackWidth = std::max(0.0, right - kValueColumn - trackLeft);
    for (const PowerDistributionBar &bar : m_distribution.bars()) {
        const QRectF row(side, y, right - side, rowHeight());
        painter.setPen(PanelStyle::kSecondaryText);
        painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, bar.label);
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, formatPrintf("%.2f W", bar.watts));

        // Whole-pixel track so the edges stay crisp at 1×.
        const QRectF track(trackLeft, std::round(row.center().y() - kTrackHeight / 2.0), trackWidth, kTrackHeight);
        QPainterPath trackShape;
        trackShape.addRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);
        painter.fillPath(trackShape, QColor(255, 255, 255, 22));
        const double length = trackWidth * bar.fraction();
        if (length > 0) {
            QPainterPath fill;
            fill.addRoundedRect(QRectF(track.topLeft(), QSizeF(std::max(length, double(kTrackHeight)), kTrackHeight)),
                                kTrackHeight / 2.0, kTrackHeight / 2.0);
            painter.fillPath(fill, bar.tint);
        }
        y += rowHeight();
    }
}
