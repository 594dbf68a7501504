#include "app/dashboard/faux_menu_bar.h"

#include "app/ui/menu_panel_rules.h"
#include "app/ui/panel_style.h"
#include "app/ui/sparkline.h"
#include "app/dashboard/dashboard_symbols.h"
#include "app/dashboard/dashboard_texts.h"
#include "app/tray/battery_glyph.h"
#include "platform/defaults.h"
#include "platform/power_mode.h"
#include "power/power_store.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

MenuBarBatteryIcon::Inputs statusInputs(const PowerStore &power, const PowerModeMonitor &powerMode,
                                        const Defaults &defaults)
{
    MenuBarBatteryIcon::Inputs in;
    in.level = power.levelPercent();
    in.charging = power.isCharging();
    in.onAC = power.isOnAC();
    in.present = power.batteryPresent();
    in.minutes = power.remainingMinutes();
    in.mode = MenuBarSettings::displayMode(defaults);
    in.watts = power.packageWatts();
    in.lowPowerMode = powerMode.isLowPowerModeEnabled();
    in.criticalPercent = MenuBarSettings::criticalBatteryPercent(defaults);
    in.powerTimeText = power.timeText();
    return in;
}

// The status item as a panel shows it: the battery glyph and the title,
// drawn with the same rules, at the widget's own pixel ratio.
class FauxMenuBar::StatusImage : public QWidget
{
public:
    explicit StatusImage(QWidget *parent)
        : QWidget(parent)
    {
        m_font.setPixelSize(kTitlePixels);
        m_font.setWeight(QFont::Medium);
    }

    void setInputs(const MenuBarBatteryIcon::Inputs &inputs)
    {
        const QString key = MenuBarBatteryIcon::statusKey(inputs);
        if (key == m_key)
            return;
        m_key = key;
        m_title = MenuBarBatteryIcon::titleText(inputs);
        m_glyph = MenuBarBatteryIcon::glyphName(inputs);
        m_color = MenuBarBatteryIcon::glyphColor(inputs);
        const int titleWidth = int(std::ceil(QFontMetricsF(m_font).horizontalAdvance(m_title)));
        setFixedSize(kGlyphWidth + kGap + titleWidth + 2, kHeight);
        setAccessibleName(MenuBarBatteryIcon::tooltip(inputs).accessibilityLabel);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        const QRectF glyphBox(0, (kHeight - kGlyphHeight) / 2.0, kGlyphWidth, kGlyphHeight);
        BatteryGlyph::draw(painter, glyphBox, m_glyph, m_color, devicePixelRatioF());
        painter.setFont(m_font);
        painter.setPen(m_color);
        painter.drawText(QRectF(kGlyphWidth + kGap, 0, width() - kGlyphWidth - kGap, kHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }

private:
    static constexpr int kHeight = 20, kGlyphWidth = 24, kGlyphHeight = 13, kGap = 5, kTitlePixels = 13;

    QFont m_font;
    QString m_key;
    QString m_title;
    QString m_glyph;
    QColor m_color;
};

FauxMenuBar::FauxMenuBar(const PowerStore &power, const PowerModeMonitor &powerMode, const Defaults &defaults,
                         QWidget *parent)
    : QWidget(parent)
    , m_power(power)
    , m_powerMode(powerMode)
    , m_defaults(defaults)
    , m_image(new StatusImage(this))
    , m_watts(new QLabel(this))
    , m_spark(new Sparkline(PanelStyle::kAccent.lighter(130), this))
    , m_layoutButton(new SymbolButton(QStringLiteral("slider.horizontal.3"), QStringLiteral("Layout options"), this))
{
    setObjectName(QStringLiteral("fauxMenubar"));
    setFixedHeight(kHeight);
    m_image->setObjectName(QStringLiteral("fauxStatusImage"));
    m_watts->setObjectName(QStringLiteral("fauxWatts"));
    m_watts->setTextFormat(Qt::PlainText);
    PanelStyle::apply(m_watts, PanelStyle::TextRole::detail);
    m_spark->setObjectName(QStringLiteral("fauxSparkline"));
    m_spark->setFixedSize(64, 16);
    m_layoutButton->setObjectName(QStringLiteral("layoutButton"));
    m_layoutButton->setFixedSize(26, 22);

    auto *brand = new QLabel(QStringLiteral("Pendra Pro"), this);
    PanelStyle::apply(brand, PanelStyle::TextRole::sectionHeader);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 0, 6, 1);
    layout->setSpacing(10);
    layout->addWidget(brand);
    layout->addStretch(1);
    layout->addWidget(m_spark);
    layout->addWidget(m_watts);
    layout->addWidget(m_image);
    layout->addWidget(m_layoutButton);
    refresh();
}

QString FauxMenuBar::wattsText() const
{
    return m_watts->text();
}

void FauxMenuBar::refresh()
{
    m_inputs = statusInputs(m_power, m_powerMode, m_defaults);
    m_image->setInputs(m_inputs);
    PanelStyle::setTextIfChanged(m_watts, DashboardTexts::watts(m_power.packageWatts()));
    m_spark->setValues(m_power.wattHistorySpark());
    const QString label = MenuPanelRules::sparkLabel(m_power.wattHistory().size());
    m_spark->setToolTip(label);
    m_spark->setAccessibleName(label);
}

void FauxMenuBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 255, 255, 16));
    painter.fillRect(QRect(0, height() - 1, width(), 1), QColor(0, 0, 0, 90));
}
