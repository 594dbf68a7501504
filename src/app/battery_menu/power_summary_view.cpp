#include "app/battery_menu/power_summary_view.h"

#include "platform/format.h"
#include "platform/power_mode.h"
#include "power/power_store.h"

#include <QFormLayout>
#include <QLabel>

PowerSummaryView::PowerSummaryView(const PowerStore &store, const PowerModeMonitor &powerMode, QSize size,
                                   QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_powerMode(powerMode)
{
    setObjectName(QStringLiteral("powerSummary"));
    setFixedSize(size);
    auto *form = new QFormLayout(this);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(8);
    auto *title = new QLabel(QStringLiteral("Pendra Pro"), this);
    QFont heading = title->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.2);
    title->setFont(heading);
    form->addRow(title);

    m_battery = addRow(QStringLiteral("Battery"), QStringLiteral("battery"));
    m_status = addRow(QStringLiteral("Status"), QStringLiteral("status"));
    m_time = addRow(QStringLiteral("Time"), QStringLiteral("time"));
    m_package = addRow(QStringLiteral("Power Draw"), QStringLiteral("packageWatts"));
    m_source = addRow(QStringLiteral("Measured by"), QStringLiteral("packageSource"));
    m_charge = addRow(QStringLiteral("Battery Power"), QStringLiteral("chargeWatts"));
    m_lowPower = addRow(QStringLiteral("Low Power Mode"), QStringLiteral("lowPowerMode"));

    for (auto signal : {&PowerStore::batteryPresentChanged, &PowerStore::levelPercentChanged,
                        &PowerStore::statusTextChanged, &PowerStore::timeTextChanged,
                        &PowerStore::packageWattsChanged, &PowerStore::packageSourceChanged,
                        &PowerStore::chargeWattsChanged})
        connect(&store, signal, this, &PowerSummaryView::refresh);
    connect(&powerMode, &PowerModeMonitor::lowPowerModeChanged, this, &PowerSummaryView::refresh);
    refresh();
}

QLabel *PowerSummaryView::addRow(const QString &label, const QString &objectName)
{
    auto *value = new QLabel(this);
    value->setObjectName(objectName);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    static_cast<QFormLayout *>(layout())->addRow(label, value);
    return value;
}

void PowerSummaryView::refresh()
{
    m_battery->setText(m_store.batteryPresent() ? QString::number(m_store.levelPercent()) + QLatin1Char('%')
                                                : QStringLiteral("—"));
    m_status->setText(m_store.statusText());
    m_time->setText(m_store.timeText());
    m_package->setText(formatPrintf("%.1f W", m_store.packageWatts()));
    m_source->setText(m_store.packageSource());
    m_charge->setText(formatPrintf("%.1f W", m_store.chargeWatts()));
    m_lowPower->setText(m_powerMode.isLowPowerModeEnabled() ? QStringLiteral("On") : QStringLiteral("Off"));
}
