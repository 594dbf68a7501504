#include "app/preferences/preferences_root.h"

#include "app/assistant/plus_prefs_weather_pane.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/dashboard/dashboard_card.h"
#include "app/preferences/about_pane.h"
#include "app/preferences/alerts_pane.h"
#include "app/preferences/charging_pane.h"
#include "app/preferences/layout_pane.h"
#include "app/preferences/menu_bar_pane.h"
#include "app/preferences/preferences_sidebar.h"
#include "updates/version_rules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSidebarWidth = 184; // px

// Scroll areas stay transparent over the window; scroll bars and sliders in
// the battery menu's style.
const QString kStyle = QStringLiteral(
    "QScrollArea#paneScroll, QScrollArea#paneScroll > QWidget#qt_scrollarea_viewport, QWidget#paneContent"
    " { background: transparent; }"
    "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px 1px 4px 0; }"
    "QScrollBar::handle:vertical { background: rgba(255,255,255,60); border-radius: 3px; min-height: 24px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"
    "QSlider::groove:horizontal { height: 4px; background: rgba(255,255,255,45); border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #0a84ff; border-radius: 2px; }"
    "QSlider::handle:horizontal { background: #f2f2f7; width: 14px; height: 14px; margin: -5px 0;"
    " border-radius: 7px; }"
    "QSlider::handle:horizontal:focus { background: #ffffff; border: 2px solid #5eaaff; width: 12px; height: 12px; }");

} // namespace

PreferencesRoot::PreferencesRoot(Services services, QWidget *parent)
    : QWidget(parent)
    , m_sidebar(new PreferencesSidebar(this))
    , m_stack(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("preferencesRoot"));
    setPalette(PanelStyle::darkPalette(palette(), DashboardStyle::kWindowBackground));
    setStyleSheet(kStyle);
    m_sidebar->setFixedWidth(kSidebarWidth);
    m_stack->setObjectName(QStringLiteral("preferencesPanes"));
    addPanes(services);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(m_sidebar);
    body->addWidget(m_stack, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader(VersionRules::displayForm(services.runningVersion)));
    layout->addWidget(new MenuHairline(this));
    layout->addLayout(body, 1);

    connect(m_sidebar, &PreferencesSidebar::picked, this, &PreferencesRoot::setSection);
    m_sidebar->setCurrent(m_section);
    m_stack->setCurrentWidget(pane(m_section));
}

QWidget *PreferencesRoot::buildHeader(const QString &version)
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("preferencesHeader"));
    auto *title = new QLabel(QStringLiteral("Customize"), header);
    title->setObjectName(QStringLiteral("headerTitle"));
    PanelStyle::apply(title, PanelStyle::TextRole::emphasized);
    QFont large = title->font();
    large.setPixelSize(15);
    title->setFont(large);
    auto *versionLabel = new QLabel(version, header);
    versionLabel->setObjectName(QStringLiteral("headerVersion"));
    versionLabel->setTextFormat(Qt::PlainText);
    PanelStyle::apply(versionLabel, PanelStyle::TextRole::detail);

    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(18, 12, 18, 11);
    row->setSpacing(10);
    row->addWidget(title);
    row->addStretch(1);
    row->addWidget(versionLabel);
    return header;
}

void PreferencesRoot::addPanes(Services &services)
{
    for (PreferencesSection section : kAllPreferencesSections) {
        QWidget *widget = nullptr;
        switch (section) {
        case PreferencesSection::menuBar:
            widget = new MenuBarPane(services.defaults, services.notifications, services.systemBattery,
                                     services.loginItem);
            break;
        case PreferencesSection::layout:
            widget = new LayoutPane(services.prefs, services.notifications);
            break;
        case PreferencesSection::charging:
            widget = new ChargingPane(services.chargeLimit);
            break;
        case PreferencesSection::alerts:
            widget = new AlertsPane(services.defaults, services.notifications, services.drainAlerts, services.drainLog,
                                    services.history);
            break;
        case PreferencesSection::weather:
            widget = new PlusPrefsWeatherPane(services.weather);
            break;
        case PreferencesSection::chat:
            widget = services.makeChatPane(m_stack);
            break;
        case PreferencesSection::about:
            widget = new AboutPane(VersionRules::displayForm(services.runningVersion), services.app, services.panel);
            break;
        }
        auto *page = new QWidget(m_stack);
        page->setObjectName(rawValue(section) + QStringLiteral("Pane"));
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(widget);
        m_stack->addWidget(page);
        m_panes.insert(section, page);
    }
}

void PreferencesRoot::setSection(PreferencesSection section)
{
    if (m_sidebar->current() != section)
        m_sidebar->setCurrent(section);
    if (section == m_section)
        return;
    m_section = section;
    m_stack->setCurrentWidget(pane(section));
    emit sectionChanged();
}

void PreferencesRoot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), DashboardStyle::kWindowBackground);
}
