#include "app/dashboard/dashboard_header.h"

#include "app/ui/menu_panel_rules.h"
#include "app/ui/panel_style.h"
#include "app/dashboard/dashboard_card.h"
#include "app/dashboard/dashboard_prefs.h"
#include "app/dashboard/dashboard_symbols.h"
#include "power/power_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr int kChipFontSize = 10; // px
constexpr int kChipInsetX = 7, kChipInsetY = 3; // px
constexpr double kChipBackgroundAlpha = 0.15;

const QColor kNeutralChip = QColor::fromRgbF(0.35f, 0.75f, 1.0f);
const QColor kDrainingChip = QColor::fromRgbF(1.0f, 0.45f, 0.3f);

QFont chipFont()
{
    QFont font;
    font.setPixelSize(kChipFontSize);
    font.setWeight(QFont::DemiBold);
    return font;
}

QLabel *makeLabel(QWidget *parent, const char *objectName, PanelStyle::TextRole role)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

} // namespace

StatusChip::StatusChip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("statusChip"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor StatusChip::color() const
{
    switch (m_chip.kind) {
    case DashboardTexts::ChipKind::drainingFast:
        return kDrainingChip;
    case DashboardTexts::ChipKind::charging:
        return PanelStyle::kCharging;
    case DashboardTexts::ChipKind::neutral:
        return kNeutralChip;
    }
    return kNeutralChip;
}

void StatusChip::setChip(const DashboardTexts::Chip &chip)
{
    if (chip == m_chip)
        return;
    m_chip = chip;
    setAccessibleName(chip.text);
    setFixedSize(sizeHint());
    update();
}

QSize StatusChip::sizeHint() const
{
    const QFontMetrics metrics(chipFont());
    return {metrics.horizontalAdvance(m_chip.text) + 2 * kChipInsetX, metrics.height() + 2 * kChipInsetY};
}

void StatusChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor background = color();
    background.setAlphaF(kChipBackgroundAlpha);
    QPainterPath shape;
    const QRectF box(rect());
    shape.addRoundedRect(box, box.height() / 2, box.height() / 2);
    painter.fillPath(shape, background);
    painter.setFont(chipFont());
    painter.setPen(color());
    painter.drawText(box, Qt::AlignCenter, m_chip.text);
}

PendraPill::PendraPill(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pendraPill"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PendraPill::setLevelText(const QString &level)
{
    if (level == m_level)
        return;
    m_level = level;
    setAccessibleName(DashboardTexts::kPillBrand + QLatin1Char(' ') + level);
    updateGeometry();
    update();
}

namespace {

QFont pillBrandFont()
{
    QFont font;
    font.setPixelSize(11);
    font.setWeight(QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    return font;
}

QFont pillLevelFont()
{
    QFont font;
    font.setPixelSize(12);
    font.setWeight(QFont::DemiBold);
    return font;
}

} // namespace

QSize PendraPill::sizeHint() const
{
    const int brand = QFontMetrics(pillBrandFont()).horizontalAdvance(DashboardTexts::kPillBrand);
    const int level = QFontMetrics(pillLevelFont()).horizontalAdvance(m_level);
    return {12 + brand + 8 + level + 12, 24};
}

void PendraPill::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(box, box.height() / 2, box.height() / 2);
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, QColor(10, 132, 255, 70));
    fill.setColorAt(1, QColor(94, 92, 230, 70));
    painter.fillPath(shape, fill);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.drawPath(shape);

    const int brandWidth = QFontMetrics(pillBrandFont()).horizontalAdvance(DashboardTexts::kPillBrand);
    painter.setFont(pillBrandFont());
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(QRectF(12, 0, brandWidth + 2, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     DashboardTexts::kPillBrand);
    painter.setFont(pillLevelFont());
    painter.setPen(PanelStyle::kPrimaryText);
    painter.drawText(QRectF(12 + brandWidth + 8, 0, width() - brandWidth - 20, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_level);
}

DashboardHeader::DashboardHeader(const PowerStore &power, QWidget *parent)
    : QWidget(parent)
    , m_power(power)
    , m_card(new DashboardCard(this))
    , m_percent(makeLabel(m_card, "percent", PanelStyle::TextRole::emphasized))
    , m_chip(new StatusChip(m_card))
    , m_timeHeadline(makeLabel(m_card, "timeHeadline", PanelStyle::TextRole::emphasized))
    , m_packageLine(makeLabel(m_card, "packageLine", PanelStyle::TextRole::detail))
    , m_layoutButton(new SymbolButton(QStringLiteral("slider.horizontal.3"), QStringLiteral("Layout options"), m_card))
{
    setObjectName(QStringLiteral("header"));
    m_card->setObjectName(QStringLiteral("headerCard"));
    m_layoutButton->setObjectName(QStringLiteral("headerLayoutButton"));
    m_layoutButton->setFixedSize(26, 22);
    QFont headline = m_timeHeadline->font();
    headline.setPixelSize(15);
    m_timeHeadline->setFont(headline);
    m_timeHeadline->setWordWrap(true);

    auto *title = makeLabel(m_card, "title", PanelStyle::TextRole::sectionTitle);
    title->setText(DashboardTexts::kTitle);
    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->addWidget(title, 1);
    titleRow->addWidget(m_layoutButton);

    auto *percentRow = new QHBoxLayout;
    percentRow->setContentsMargins(0, 0, 0, 0);
    percentRow->setSpacing(10);
    percentRow->addWidget(m_percent, 0, Qt::AlignVCenter);
    percentRow->addWidget(m_chip, 0, Qt::AlignVCenter);
    percentRow->addStretch(1);

    auto *column = m_column = new QVBoxLayout;
    column->setContentsMargins(PanelStyle::kSideInset + 2, 0, PanelStyle::kSideInset - 4, 0);
    column->addLayout(titleRow);
    column->addLayout(percentRow);
    column->addWidget(m_timeHeadline);
    column->addWidget(m_packageLine);
    m_card->body()->addLayout(column);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_card);
    refresh();
}

void DashboardHeader::setDropPercent(int dropPercent)
{
    if (dropPercent == m_dropPercent)
        return;
    m_dropPercent = dropPercent;
    refresh();
}

void DashboardHeader::refresh()
{
    const PowerStore &p = m_power;
    PanelStyle::setTextIfChanged(m_percent, DashboardTexts::percentText(p.batteryPresent(), p.levelPercent()));
    m_chip->setChip(
        DashboardTexts::statusChip(p.batteryPresent(), p.isCharging(), p.isOnAC(), p.levelPercent(), m_dropPercent));
    PanelStyle::setTextIfChanged(m_timeHeadline,
                                 DashboardTexts::timeHeadline(p.batteryPresent(), p.isCharging(), p.isOnAC(),
                                                              p.timeText(), p.remainingMinutes()));
    const QString source = MenuPanelRules::powerSourceWord(p.batteryPresent(), p.isCharging(), p.isOnAC());
    PanelStyle::setTextIfChanged(m_packageLine, DashboardTexts::packageLine(p.packageWatts(), source));
}

void DashboardHeader::applyPrefs(const DashboardPrefs &prefs, const DashboardMetrics &metrics)
{
    using Flag = DashboardPrefs::Flag;
    QFont percentFont = m_percent->font();
    percentFont.setPixelSize(prefs.flag(Flag::largePercent) ? metrics.largePercentSize : metrics.smallPercentSize);
    percentFont.setWeight(QFont::Bold);
    m_percent->setFont(percentFont);
    m_timeHeadline->setVisible(prefs.flag(Flag::timeRemaining));
    m_packageLine->setVisible(prefs.flag(Flag::packageLine));
    m_layoutButton->setVisible(!prefs.flag(Flag::fauxMenubar));
    m_card->setRadius(prefs.cornerRadius());
    m_card->setPadding(metrics.cardPadding + 2);
    m_column->setSpacing(metrics.headerSpacing);
}
