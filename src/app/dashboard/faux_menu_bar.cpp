#include "app/dashboard/faux_menu_bar.h"

#include "app/battery_menu/menu_panel_rules.h"
#include "app/battery_menu/panel_style.h"
#include "app/battery_menu/sparkline.h"
#include "app/dashboard/dashboard_symbols.h"
#include "app/dashboard/dashboard_texts.h"
#include "platform/defaults.h"
#include "platform/power_mode.h"
#include "power/power_store.h"

#include <QHBoxLayout>
#include <QLabel>
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

// The status item's image at the widget's own pixel ratio.
class FauxMenuBar::StatusImage : public QWidget
{
public:
    using QWidget::QWidget;

    void setInputs(const MenuBarBatteryIcon::Inputs &inputs)
    {
        const QString key = MenuBarBatteryIcon::statusKey(inputs);
        if (key == m_key)
            return;
        m_key = key;
        m_inputs = inputs;
        m_image = QImage();
        const QImage probe = MenuBarBatteryIcon::image(inputs, 1.0);
        setFixedSize(static_cast<int>(std::ceil(MenuBarBatteryIcon::pointWidth(probe))),
                     static_cast<int>(MenuBarBatteryIcon::kImageHeight));
        setAccessibleName(MenuBarBatteryIcon::tooltip(inputs).accessibilityLabel);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const double ratio = devicePixelRatioF();
        if (m_image.isNull() || m_image.devicePixelRatio() != ratio)
            m_image = MenuBarBatteryIcon::image(m_inputs, ratio);
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), m_image);
    }

private:
    QString m_key;
    MenuBarBatteryIcon::Inputs m_inputs;
    QImage m_image;
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
