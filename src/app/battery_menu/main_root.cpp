#include "app/battery_menu/main_root.h"

#include "app/ui/app_icon_lookup.h"
#include "app/battery_menu/battery_menu_groups.h"
#include "app/battery_menu/menu_panel_model.h"
#include "app/core/notification_center.h"
#include "app/core/panel_actions.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/popover_controller.h"
#include "app/ui/pendra_status_copy.h"
#include "charge/charge_limit_controller.h"
#include "energy/drain_log.h"
#include "platform/defaults.h"
#include "platform/main_thread.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr double kCornerRadius = 12; // px, as the popover's frame

// Style sheets are set on the scroll bar and the sliders alone: one on the
// root would put every widget of the panel under the style sheet style,
// whose per-widget rule caches cost the always-built panel about 1 MB.
const QString kScrollBarStyle = QStringLiteral(
    "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px 1px 4px 0; }"
    "QScrollBar::handle:vertical { background: rgba(255,255,255,60); border-radius: 3px; min-height: 24px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }");

const QString kSliderStyle = QStringLiteral(
    "QSlider::groove:horizontal { height: 4px; background: rgba(255,255,255,45); border-radius: 2px; }"
    "QSlider::sub-page:horizontal { background: #0a84ff; border-radius: 2px; }"
    "QSlider::handle:horizontal { background: #f2f2f7; width: 14px; height: 14px; margin: -5px 0;"
    " border-radius: 7px; }");

} // namespace


MainRoot::MainRoot(Services services, QSize panelSize, QWidget *parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_panelSize(panelSize)
    , m_showOnboarding(!m_services.defaults.boolValue(kOnboardingSeenKey).value_or(false))
    , m_chromeStyle(MenuBarSettings::menuChromeStyle(m_services.defaults))
{
    setObjectName(QStringLiteral("mainRoot"));
    setFixedSize(panelSize);
    setPalette(PanelStyle::darkPalette(palette(), PanelStyle::kBackground));
    setAttribute(Qt::WA_TranslucentBackground);

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("panelContent"));
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 10, 0, 8);
    column->setSpacing(0);

    column->addWidget(new BatteryStatusGroup(m_services.model, m_services.charge, content));
    column->addWidget(new PanelSeparator(content));
    column->addWidget(new BatteryDetailGroup(m_services.model, content));
    column->addWidget(new PanelSeparator(content));
    column->addWidget(new ChargeManagementGroup(m_services.charge, content));
    column->addWidget(new PanelSeparator(content));
    if (m_services.makeAssistantSection) {
        column->addWidget(m_services.makeAssistantSection(content));
        column->addWidget(new PanelSeparator(content));
    }
    m_energy = new EnergyUsageGroup(m_services.model, m_services.icons, content);
    column->addWidget(m_energy);
    column->addWidget(new PanelSeparator(content));
    m_why = new WhyDrainGroup(content);
    column->addWidget(m_why);
    column->addWidget(new PanelSeparator(content));
    column->addWidget(buildActions());

    auto *footer = new QLabel(PendraStatusCopy::kLocalOnly, content);
    footer->setObjectName(QStringLiteral("footer"));
    footer->setAlignment(Qt::AlignCenter);
    footer->setContentsMargins(0, 8, 0, 0);
    PanelStyle::apply(footer, PanelStyle::TextRole::sectionTitle);
    column->addWidget(footer);
    column->addStretch(1);

    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("panelScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    // The scroll area and its content are transparent over the panel's own
    // rounded background.
    content->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->verticalScrollBar()->setStyleSheet(kScrollBarStyle);
    for (QSlider *slider : content->findChildren<QSlider *>())
        slider->setStyleSheet(kSliderStyle);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    m_services.notifications.observe(AppNotification::menuBarDisplayChanged, this, [this] {
        m_chromeStyle = MenuBarSettings::menuChromeStyle(m_services.defaults);
    });
}

QWidget *MainRoot::buildActions()
{
    auto *group = new QWidget;
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto add = [&](const char *objectName, const QString &title, bool chevron, auto handler) {
        auto *row = new PanelMenuAction(title, std::nullopt, chevron, group);
        row->setObjectName(QString::fromLatin1(objectName));
        connect(row, &PanelClickableRow::triggered, this, handler);
        layout->addWidget(row);
    };
    NotificationCenter &center = m_services.notifications;
    PanelActions &actions = m_services.actions;
    add("settingsAction", QStringLiteral("Settings…"), true,
        [this, &center] { closeThen([&center] { center.post(AppNotification::openPreferences); }); });
    add("fullWindowAction", QStringLiteral("Full Window"), true,
        [&center] { center.post(AppNotification::openDashboard); });
    add("openAppAction", PendraStatusCopy::kOpenPendraPro, false,
        [this, &actions] { closeThen([&actions] { actions.openPendraPro(); }); });
    add("comparisonAction", PendraStatusCopy::kAirVsPro, false,
        [this] { m_services.actions.openComparisonPage(); });
    add("batterySettingsAction", QStringLiteral("Open Battery Settings…"), false,
        [this] { m_services.actions.openBatterySettings(); });
    add("quitAction", QStringLiteral("Quit Pendra Pro"), false,
        [this, &actions] { closeThen([&actions] { actions.quitApp(); }); });
    return group;
}

void MainRoot::closeThen(std::function<void()> action)
{
    m_services.notifications.post(AppNotification::closePopover);
    QTimer::singleShot(0, this, std::move(action));
}

void MainRoot::appear()
{
    // The popover always opens in the newer chrome; the setter stores it and
    // tells the status item to redraw.
    m_chromeStyle = MenuChromeStyle::newer;
    MenuBarSettings::setMenuChromeStyle(m_services.defaults, m_services.notifications, MenuChromeStyle::newer);
    if (!m_whyLoaded)
        loadWhySummary();
    if (!m_services.defaults.boolValue(kOnboardingSeenKey).value_or(false) && !m_showOnboarding) {
        m_showOnboarding = true;
        emit showOnboardingChanged();
    }
}

void MainRoot::loadWhySummary()
{
    if (m_whyLoading)
        return;
    m_whyLoading = true;
    // The analysis parses the whole drain log; never on the UI thread.
    QPointer<MainRoot> self(this);
    QThreadPool::globalInstance()->start([self, analyse = m_services.analyseWhyDrain] {
        WhyDrain why = analyse();
        postToMain(self, [why = std::move(why)](MainRoot *root) { root->applyWhy(why); });
    });
}

void MainRoot::applyWhy(const WhyDrain &why)
{
    m_whyLoading = false;
    m_whySummary = why.summary;
    m_whyDrop = why.dropPercent;
    m_whyWindow = why.windowLabel;
    if (why.culprits.isEmpty()) {
        m_whyCulprit.reset();
        m_whyNote.reset();
    } else {
        m_whyCulprit = why.culprits.first().name;
        m_whyNote = why.culprits.first().note;
    }
    m_why->display(why);
    m_whyLoaded = true;
    m_energy->setLoaded(true);
    emit whyLoadedChanged();
}

void MainRoot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    painter.fillPath(shape, PanelStyle::kBackground);
}

void MainRoot::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    appear();
}

void MainRoot::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_services.notifications.post(AppNotification::closePopover);
        return;
    }
    QWidget::keyPressEvent(event);
}

void trackWhileShown(PopoverController &popover, MenuPanelModel &model)
{
    QObject::connect(&popover, &PopoverController::shown, &model, &MenuPanelModel::startTracking);
    QObject::connect(&popover, &PopoverController::closed, &model, &MenuPanelModel::stopTracking);
    QObject::connect(&popover, &PopoverController::contentBuilt, &model, &MenuPanelModel::refresh);
    model.refresh();
}
