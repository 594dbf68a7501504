#include "app/preferences/layout_pane.h"

#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_card.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/preferences/preferences_widgets.h"
#include "app/core/notification_center.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

LayoutPane::LayoutPane(DashboardPrefs &prefs, NotificationCenter &notifications, QWidget *parent)
    : QWidget(parent)
    , m_prefs(prefs)
{
    using namespace PreferencesWidgets;
    const PaneColumn pane =
        makePaneColumn(this, QStringLiteral("Full Window Layout"),
                       QStringLiteral("Controls the Full Window dashboard — not the menu bar popover."));

    auto *open = new MinimalButton(QStringLiteral("Open Full Window"));
    open->setObjectName(QStringLiteral("openFullWindow"));
    connect(open, &QPushButton::clicked, this,
            [&notifications] { notifications.post(AppNotification::openDashboard); });
    pane.column->addWidget(open, 0, Qt::AlignLeft);

    DashboardCard *presets = addGroup(pane.column, QStringLiteral("Presets"));
    auto *presetRow = new QHBoxLayout;
    presetRow->setContentsMargins(kRowInset, 6, kRowInset, 6);
    presetRow->setSpacing(8);
    const auto addPreset = [&](const char *objectName, const QString &label, auto apply) {
        auto *button = new MinimalButton(label, presets);
        button->setObjectName(QString::fromLatin1(objectName));
        connect(button, &QPushButton::clicked, this, apply);
        presetRow->addWidget(button);
    };
    addPreset("simplePreset", QStringLiteral("Simple"), [this] { m_prefs.applyPreset(QStringLiteral("minimal")); });
    addPreset("detailedPreset", QStringLiteral("Detailed"), [this] { m_prefs.applyDetailed(); });
    addPreset("proPreset", QStringLiteral("Pro"), [this] { m_prefs.applyPreset(QStringLiteral("full")); });
    presetRow->addStretch(1);
    presets->body()->addLayout(presetRow);

    DashboardCard *show = addGroup(pane.column, QStringLiteral("Show"));
    for (const DashboardToggle &entry : kDashboardToggles) {
        auto *row = new SettingSwitchRow(QString::fromUtf8(entry.label), QString(), show);
        const DashboardPrefs::Flag flag = entry.flag;
        row->toggle()->setObjectName(QStringLiteral("show.") + keySuffix(flag));
        connect(row->toggle(), &QAbstractButton::clicked, this, [this, flag](bool on) { m_prefs.setFlag(flag, on); });
        show->body()->addWidget(row);
        m_toggles.append(row->toggle());
    }

    DashboardCard *size = addGroup(pane.column, QStringLiteral("Size"));
    QStringList densities, widths;
    for (DashboardPrefs::Density density : kAllDensities)
        densities << displayLabel(density);
    for (DashboardPrefs::CardWidth width : kAllCardWidths)
        widths << displayLabel(width);
    m_density = new SegmentedPicker(densities);
    m_density->setObjectName(QStringLiteral("densityPicker"));
    connect(m_density, &SegmentedPicker::picked, this,
            [this](int index) { m_prefs.setDensity(kAllDensities[index]); });
    m_width = new SegmentedPicker(widths);
    m_width->setObjectName(QStringLiteral("widthPicker"));
    connect(m_width, &SegmentedPicker::picked, this, [this](int index) { m_prefs.setWidth(kAllCardWidths[index]); });
    size->body()->addWidget(new SettingControlRow(QStringLiteral("Density"), m_density, size));
    size->body()->addWidget(new SettingControlRow(QStringLiteral("Window width"), m_width, size));

    pane.column->addStretch(1);
    syncFromPrefs();
    // Presets and the dashboard's own layout panel change several values.
    connect(&m_prefs, &DashboardPrefs::changed, this, &LayoutPane::syncFromPrefs);
}

void LayoutPane::syncFromPrefs()
{
    for (int i = 0; i < m_toggles.size(); ++i)
        m_toggles.at(i)->setChecked(m_prefs.flag(kDashboardToggles[i].flag));
    m_density->setCurrentIndex(static_cast<int>(m_prefs.density()));
    m_width->setCurrentIndex(static_cast<int>(m_prefs.width()));
}
