#include "app/dashboard/dashboard_root.h"

#include "app/battery_menu/main_root.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/pendra_status_copy.h"
#include "app/dashboard/dashboard_card.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/dashboard_footer.h"
#include "app/dashboard/dashboard_header.h"
#include "app/dashboard/dashboard_key_catcher.h"
#include "app/dashboard/dashboard_prefs.h"
#include "app/dashboard/dashboard_sections.h"
#include "app/dashboard/dashboard_symbols.h"
#include "app/dashboard/dashboard_texts.h"
#include "app/dashboard/faux_menu_bar.h"
#include "app/dashboard/history_section.h"
#include "app/dashboard/monitor_section.h"
#include "app/core/notification_center.h"
#include "energy/process_energy_store.h"
#include "platform/defaults.h"
#include "platform/main_thread.h"
#include "platform/power_mode.h"
#include "power/power_store.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QVariantAnimation>

using Flag = DashboardPrefs::Flag;

namespace {

constexpr int kCustomizeMargin = 10; // px around the layout panel
constexpr int kCustomizeMaxWidth = 400; // px

const QString kTransparentStyle = QStringLiteral(
    "QScrollArea#dashboardScroll, QScrollArea#customizeScroll, QWidget#qt_scrollarea_viewport,"
    " QWidget#dashboardContent, QWidget#customizeContent { background: transparent; }"
    "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px 1px 4px 0; }"
    "QScrollBar::handle:vertical { background: rgba(255,255,255,60); border-radius: 3px; min-height: 24px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }");

QString energySymbol(bool lowPower)
{
    return lowPower ? QStringLiteral("leaf.fill") : QStringLiteral("leaf");
}

} // namespace

DashboardRoot::DashboardRoot(Services services, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_keyCatcher(new DashboardKeyCatcher(this))
    , m_fauxBar(new FauxMenuBar(m_services.power, m_services.powerMode, m_services.defaults, this))
    , m_scroll(new QScrollArea(this))
    , m_lowPower(m_services.powerMode.isLowPowerModeEnabled())
{
    setObjectName(QStringLiteral("dashboardRoot"));
    setPalette(PanelStyle::darkPalette(palette(), DashboardStyle::kWindowBackground));
    setStyleSheet(kTransparentStyle);
    setFocusPolicy(Qt::StrongFocus);

    m_scroll->setObjectName(QStringLiteral("dashboardScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(buildColumn());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_fauxBar);
    layout->addWidget(m_scroll, 1);

    m_customize = new DashboardCustomizePanel(m_services.prefs, this);
    m_customize->hide();
    m_customizeFade = new QVariantAnimation(this);
    m_customizeFade->setDuration(kCustomizeFadeMs);
    m_customizeFade->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_customizeFade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        if (auto *fade = qobject_cast<QGraphicsOpacityEffect *>(m_customize->graphicsEffect()))
            fade->setOpacity(value.toDouble());
    });
    // The effect exists only while fading; an open panel paints directly.
    connect(m_customizeFade, &QVariantAnimation::finished, this, [this] {
        m_customize->setGraphicsEffect(nullptr);
        if (!m_showCustomize)
            m_customize->hide();
    });
    connect(m_customize, &DashboardCustomizePanel::done, this, [this] { setCustomizeShown(false); });

    m_keyCatcher->onEscape = [this] { escape(); };
    m_keyCatcher->onComma = [this] { setCustomizeShown(!m_showCustomize); };
    installEventFilter(m_keyCatcher);

    const auto toggleCustomize = [this] { setCustomizeShown(!m_showCustomize); };
    connect(m_fauxBar->layoutButton(), &QAbstractButton::clicked, this, toggleCustomize);
    connect(m_header->layoutButton(), &QAbstractButton::clicked, this, toggleCustomize);
    connect(m_footer, &DashboardFooter::updatesRequested, this, &DashboardRoot::updatesRequested);

    PowerStore &power = m_services.power;
    for (auto signal : {&PowerStore::batteryPresentChanged, &PowerStore::levelPercentChanged,
                        &PowerStore::isChargingChanged, &PowerStore::isOnACChanged, &PowerStore::chargeWattsChanged,
                        &PowerStore::packageWattsChanged, &PowerStore::domainWattsChanged,
                        &PowerStore::hasPowerDistributionChanged, &PowerStore::batteryDetailsChanged,
                        &PowerStore::timeTextChanged, &PowerStore::statusTextChanged,
                        &PowerStore::remainingMinutesChanged, &PowerStore::wattHistoryChanged})
        connect(&power, signal, this, &DashboardRoot::refreshPower);
    connect(&m_services.energy, &ProcessEnergyStore::topChanged, this, &DashboardRoot::refreshApps);
    connect(&m_services.powerMode, &PowerModeMonitor::lowPowerModeChanged, this, &DashboardRoot::setLowPower);
    connect(&m_services.prefs, &DashboardPrefs::changed, this, &DashboardRoot::applyPrefs);
    // The display mode and critical threshold shape the faux menu bar's image.
    m_services.notifications.observe(AppNotification::menuBarDisplayChanged, this, [this] { m_fauxBar->refresh(); });

    setLowPower(m_lowPower);
    refreshPower();
    refreshApps();
    applyPrefs();
}

DashboardRoot::~DashboardRoot() = default;

QWidget *DashboardRoot::buildColumn()
{
    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("dashboardContent"));
    m_column = new QWidget(content);
    m_column->setObjectName(QStringLiteral("dashboardColumn"));
    auto *centre = new QHBoxLayout(content);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addStretch(0);
    centre->addWidget(m_column, 1);
    centre->addStretch(0);

    auto *column = new QVBoxLayout(m_column);

    m_pillRow = new QWidget(m_column);
    m_pillRow->setObjectName(QStringLiteral("pillRow"));
    m_pill = new PendraPill(m_pillRow);
    auto *pillLayout = new QHBoxLayout(m_pillRow);
    pillLayout->setContentsMargins(0, 0, 0, 0);
    pillLayout->addStretch(1);
    pillLayout->addWidget(m_pill);
    pillLayout->addStretch(1);
    column->addWidget(m_pillRow);

    m_header = new DashboardHeader(m_services.power, m_column);
    column->addWidget(m_header);

    const auto card = [&](const char *objectName) {
        auto *widget = new DashboardCard(m_column);
        widget->setObjectName(QString::fromLatin1(objectName));
        column->addWidget(widget);
        return widget;
    };

    m_powerCard = card("powerCard");
    m_powerContent = new PowerSectionContent(m_services.power);
    m_powerContent->setObjectName(QStringLiteral("powerContent"));
    m_powerSection = addSection(m_powerCard, QStringLiteral("Power"), DashboardStyle::kPowerAccent, kPowerSectionKey,
                                QStringLiteral("bolt.fill"), m_powerContent);

    m_energyCard = card("energyModeCard");
    m_energyContent = new EnergyModeContent(m_services.actions);
    m_energyContent->setObjectName(QStringLiteral("energyModeContent"));
    m_energySection = addSection(m_energyCard, QStringLiteral("Energy Mode"), DashboardStyle::kEnergyAccent,
                                 kEnergyModeSectionKey, energySymbol(m_lowPower), m_energyContent);

    m_appsCard = card("appsCard");
    m_appList = new AppListView(m_services.icons);
    m_appsSection = addSection(m_appsCard, PendraStatusCopy::kWhatsUsingPower, DashboardStyle::kAppsAccent,
                               kAppsSectionKey, QStringLiteral("chart.bar.fill"), m_appList);

    m_whyCard = card("whyCard");
    m_whyDetail = new WhyDetailView;
    m_whyDetail->setObjectName(QStringLiteral("whyDetail"));
    m_whySection = addSection(m_whyCard, PendraStatusCopy::kWhyDidBatteryDrop, DashboardStyle::kWhyAccent,
                              kWhySectionKey, QStringLiteral("questionmark.circle"), m_whyDetail);

    m_healthCard = card("healthCard");
    auto *healthTitle = new QWidget(m_healthCard);
    auto *healthTitleLayout = new QHBoxLayout(healthTitle);
    healthTitleLayout->setContentsMargins(PanelStyle::kSideInset, 2, PanelStyle::kSideInset, 2);
    healthTitleLayout->setSpacing(6);
    auto *heart = new QLabel(healthTitle);
    heart->setPixmap(DashboardSymbols::icon(QStringLiteral("heart.fill"), DashboardStyle::kHealthAccent)
                         .pixmap(QSize(14, 14), devicePixelRatioF()));
    auto *healthLabel = new QLabel(QStringLiteral("Health & cycles"), healthTitle);
    PanelStyle::apply(healthLabel, PanelStyle::TextRole::sectionHeader);
    QPalette accent = healthLabel->palette();
    accent.setColor(QPalette::WindowText, DashboardStyle::kHealthAccent);
    healthLabel->setPalette(accent);
    healthTitleLayout->addWidget(heart);
    healthTitleLayout->addWidget(healthLabel, 1);
    m_health = new HealthContent(m_services.power, m_healthCard);
    m_healthCard->body()->addWidget(healthTitle);
    m_healthCard->body()->addWidget(m_health);

    m_historyCard = card("historyCard");
    if (m_services.history) {
        m_history = new HistorySectionContent(*m_services.history);
        m_history->setObjectName(QStringLiteral("historyContent"));
        m_historySection = addSection(m_historyCard, QStringLiteral("History"), DashboardStyle::kHealthAccent,
                                      kHistorySectionKey, QStringLiteral("clock"), m_history);
        const auto summarise = [this] { m_historySection->setSummary(m_history->healthSummary()); };
        connect(m_history, &HistorySectionContent::healthSummaryChanged, this, summarise);
        summarise();
    }

    m_footer = new DashboardFooter(m_services.actions, m_services.torvex, m_services.version, m_column);
    column->addWidget(m_footer);
    column->addStretch(1);
    return content;
}

MonitorSection *DashboardRoot::addSection(DashboardCard *card, const QString &title, const QColor &accent,
                                          const QString &storageKey, const QString &symbol, QWidget *content)
{
    auto *section = new MonitorSection({title, accent, QString(), std::nullopt, storageKey,
                                        DashboardSymbols::icon(symbol, accent)},
                                       content, m_services.defaults, card);
    card->body()->addWidget(section);
    return section;
}

void DashboardRoot::applyPrefs()
{
    const DashboardPrefs &prefs = m_services.prefs;
    const DashboardMetrics metrics = DashboardMetrics::forDensity(prefs.density());

    m_fauxBar->setVisible(prefs.flag(Flag::fauxMenubar));
    m_pillRow->setVisible(prefs.flag(Flag::pendraPill));
    m_powerCard->setVisible(prefs.flag(Flag::powerSource));
    m_energyCard->setVisible(prefs.flag(Flag::energyMode));
    m_appsCard->setVisible(prefs.flag(Flag::appsRow));
    m_whyCard->setVisible(prefs.flag(Flag::whyRow));
    m_healthCard->setVisible(prefs.flag(Flag::health) && m_services.power.batteryPresent());
    m_historyCard->setVisible(prefs.flag(Flag::history) && m_history);
    m_appList->setVisible(prefs.flag(Flag::topAppsList));
    m_whyDetail->setVisible(prefs.flag(Flag::whyDetail));
    m_powerContent->setShowChart(prefs.flag(Flag::sparkline));
    m_powerContent->setShowDistribution(prefs.flag(Flag::powerDistribution));
    m_powerContent->setCompact(prefs.density() == DashboardPrefs::Density::compact);
    m_header->applyPrefs(prefs, metrics);

    for (DashboardCard *card : {m_powerCard, m_energyCard, m_appsCard, m_whyCard, m_healthCard, m_historyCard}) {
        card->setRadius(prefs.cornerRadius());
        card->setPadding(metrics.cardPadding);
    }
    auto *column = static_cast<QVBoxLayout *>(m_column->layout());
    column->setContentsMargins(metrics.outerMargin, metrics.outerMargin, metrics.outerMargin, metrics.outerMargin);
    column->setSpacing(metrics.cardGap);
    m_column->setMaximumWidth(windowWidth(prefs.width()));
}

void DashboardRoot::refreshPower()
{
    const PowerStore &power = m_services.power;
    m_fauxBar->refresh();
    m_pill->setLevelText(DashboardTexts::percentText(power.batteryPresent(), power.levelPercent()));
    m_header->refresh();
    m_powerSection->setSummary(PendraStatusCopy::powerSourceLine(power));
    m_powerContent->refresh();
    m_health->refresh();
    m_healthCard->setVisible(m_services.prefs.flag(Flag::health) && power.batteryPresent());
}

void DashboardRoot::refreshApps()
{
    const QList<ProcEnergy> &top = m_services.energy.top();
    m_appsSection->setSummary(DashboardTexts::appsSummary(top));
    m_appList->setApps(top);
}

void DashboardRoot::setLowPower(bool on)
{
    m_lowPower = on;
    m_energySection->setIcon(DashboardSymbols::icon(energySymbol(on), DashboardStyle::kEnergyAccent));
    m_energySection->setSummary(PendraStatusCopy::lowPowerLine(on));
    m_energyContent->setLowPower(on);
    m_fauxBar->refresh();
}

void DashboardRoot::appear()
{
    setLowPower(m_services.powerMode.isLowPowerModeEnabled());
    loadWhy();
    m_services.prefs.seedOnce();
    const bool seen = m_services.defaults.boolValue(MainRoot::kOnboardingSeenKey).value_or(false);
    if (!seen && !m_showOnboarding) {
        m_showOnboarding = true;
        emit showOnboardingChanged();
    }
}

void DashboardRoot::loadWhy()
{
    if (m_whyLoading)
        return;
    m_whyLoading = true;
    // The analysis parses the whole drain log; never on the UI thread.
    QPointer<DashboardRoot> self(this);
    QThreadPool::globalInstance()->start([self, analyse = m_services.analyseWhyDrain] {
        WhyDrain why = analyse();
        postToMain(self, [why = std::move(why)](DashboardRoot *root) { root->applyWhy(why); });
    });
}

void DashboardRoot::applyWhy(const WhyDrain &why)
{
    m_whyLoading = false;
    m_whySection->setSummary(DashboardTexts::whySummary(why));
    m_whyDetail->setWhy(why);
    m_header->setDropPercent(why.dropPercent);
    m_whyLoaded = true;
    emit whyLoadedChanged();
}

void DashboardRoot::setCustomizeShown(bool shown)
{
    if (shown == m_showCustomize)
        return;
    m_showCustomize = shown;
    m_customizeFade->stop();
    m_customizeFade->setStartValue(shown ? 0.0 : 1.0);
    m_customizeFade->setEndValue(shown ? 1.0 : 0.0);
    auto *fade = new QGraphicsOpacityEffect(m_customize);
    fade->setOpacity(shown ? 0.0 : 1.0);
    m_customize->setGraphicsEffect(fade);
    if (shown) {
        placeCustomizePanel();
        m_customize->show();
        m_customize->raise();
        m_customize->setFocus(Qt::OtherFocusReason);
    } else if (m_customize->hasFocus() || m_customize->isAncestorOf(focusWidget())) {
        setFocus(Qt::OtherFocusReason);
    }
    m_customizeFade->start();
}

void DashboardRoot::escape()
{
    if (m_showCustomize)
        setCustomizeShown(false);
    else
        m_services.notifications.post(AppNotification::closeDashboard);
}

void DashboardRoot::placeCustomizePanel()
{
    const int top = (m_fauxBar->isHidden() ? 0 : FauxMenuBar::kHeight) + kCustomizeMargin;
    const int width = std::min(kCustomizeMaxWidth, this->width() - 2 * kCustomizeMargin);
    m_customize->setGeometry((this->width() - width) / 2, top, width, height() - top - kCustomizeMargin);
}

void DashboardRoot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), DashboardStyle::kWindowBackground);
}

void DashboardRoot::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCustomizePanel();
}

void DashboardRoot::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Keys reach the dashboard before the first Tab picks a control.
    if (!isAncestorOf(QApplication::focusWidget()))
        setFocus(Qt::OtherFocusReason);
    appear();
}
