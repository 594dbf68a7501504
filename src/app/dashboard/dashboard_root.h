#pragma once

#include "app/dashboard/sibling_app.h"
#include "energy/why_drain.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class AppIconLookup;
class AppListView;
class DashboardCard;
class DashboardCustomizePanel;
class DashboardFooter;
class DashboardHeader;
class DashboardKeyCatcher;
class DashboardPrefs;
class Defaults;
class EnergyModeContent;
class FauxMenuBar;
class HealthContent;
class HistorySectionContent;
class HistoryStore;
class MonitorSection;
class NotificationCenter;
class PanelActions;
class PendraPill;
class PowerModeMonitor;
class PowerSectionContent;
class PowerStore;
class ProcessEnergyStore;
class QScrollArea;
class QVariantAnimation;
class WhyDetailView;

// The full window's content: a dark dashboard of the live power state with
// the sections the dashboard preferences enable. It follows the stores'
// change signals (no timer of its own) and re-lays itself out whenever the
// preferences change.
class DashboardRoot : public QWidget
{
    Q_OBJECT

public:
    // Runs on a background thread.
    using WhyDrainAnalysis = std::function<WhyDrain()>;

    // Everything must outlive the dashboard.
    struct Services
    {
        PowerStore &power;
        ProcessEnergyStore &energy;
        PowerModeMonitor &powerMode;
        DashboardPrefs &prefs;
        Defaults &defaults;
        NotificationCenter &notifications;
        PanelActions &actions; // Open Pendra Pro, Compare, battery settings
        AppIconLookup &icons;
        SiblingApp torvex;
        QString version; // the running version's display form
        WhyDrainAnalysis analyseWhyDrain;
        HistoryStore *history = nullptr; // none: no History section
    };

    static inline const QString kPowerSectionKey = QStringLiteral("pendrapro.dash.section.power");
    static inline const QString kEnergyModeSectionKey = QStringLiteral("pendrapro.dash.section.energyMode");
    static inline const QString kAppsSectionKey = QStringLiteral("pendrapro.dash.section.apps");
    static inline const QString kWhySectionKey = QStringLiteral("pendrapro.dash.section.why");
    static inline const QString kHistorySectionKey = QStringLiteral("pendrapro.dash.section.history");
    static constexpr int kCustomizeFadeMs = 150;

    explicit DashboardRoot(Services services, QWidget *parent = nullptr);
    ~DashboardRoot() override;

    // What the dashboard does each time it is shown: reads Low Power Mode,
    // runs the why-drain analysis, seeds the layout on first use and checks
    // whether onboarding was seen.
    void appear();

    bool whyLoaded() const { return m_whyLoaded; }
    bool showOnboarding() const { return m_showOnboarding; }
    bool isCustomizeShown() const { return m_showCustomize; }
    void setCustomizeShown(bool shown);
    // Escape: closes the layout panel, or else asks to close the window.
    void escape();

signals:
    // "Updates" in the footer: check for a newer version.
    void updatesRequested();
    void whyLoadedChanged();
    void showOnboardingChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildColumn();
    MonitorSection *addSection(DashboardCard *card, const QString &title, const QColor &accent,
                               const QString &storageKey, const QString &symbol, QWidget *content);
    void applyPrefs();
    void refreshPower();
    void refreshApps();
    void setLowPower(bool on);
    void loadWhy();
    void applyWhy(const WhyDrain &why);
    void placeCustomizePanel();

    Services m_services;
    DashboardKeyCatcher *m_keyCatcher;
    FauxMenuBar *m_fauxBar;
    QScrollArea *m_scroll;
    QWidget *m_column = nullptr;
    QWidget *m_pillRow = nullptr;
    PendraPill *m_pill = nullptr;
    DashboardHeader *m_header = nullptr;
    DashboardCard *m_powerCard = nullptr;
    MonitorSection *m_powerSection = nullptr;
    PowerSectionContent *m_powerContent = nullptr;
    DashboardCard *m_energyCard = nullptr;
    MonitorSection *m_energySection = nullptr;
    EnergyModeContent *m_energyContent = nullptr;
    DashboardCard *m_appsCard = nullptr;
    MonitorSection *m_appsSection = nullptr;
    AppListView *m_appList = nullptr;
    DashboardCard *m_whyCard = nullptr;
    MonitorSection *m_whySection = nullptr;
    WhyDetailView *m_whyDetail = nullptr;
    DashboardCard *m_healthCard = nullptr;
    HealthContent *m_health = nullptr;
    DashboardCard *m_historyCard = nullptr;
    MonitorSection *m_historySection = nullptr;
    HistorySectionContent *m_history = nullptr;
    DashboardFooter *m_footer = nullptr;
    DashboardCustomizePanel *m_customize;
    QVariantAnimation *m_customizeFade;

    bool m_whyLoading = false;
    bool m_whyLoaded = false;
    bool m_lowPower = false;
    bool m_showCustomize = false;
    bool m_showOnboarding = false;
};
