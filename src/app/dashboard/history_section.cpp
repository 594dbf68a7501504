#include "app/dashboard/history_section.h"

#include "app/dashboard/dashboard_card.h"
#include "app/dashboard/dashboard_customize_panel.h"
#include "app/dashboard/share_row_painter.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/sparkline.h"
#include "history/health_trend.h"
#include "history/history_store.h"
#include "history/history_tables.h"
#include "platform/format.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kChartHeight = 48; // px
// Percentage points of health the chart spans at least: a year's wear of a
// point or two should look like the slow slope it is.
constexpr double kChartMinimumRange = 5;
const QColor kBarColor = DashboardStyle::kAppsAccent;

QLabel *makeLabel(const QString &text, PanelStyle::TextRole role, QWidget *parent, const char *objectName)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    // App names come from process tables anyone can name.
    label->setTextFormat(Qt::PlainText);
    PanelStyle::apply(label, role);
    return label;
}

QHBoxLayout *insetRow()
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    row->setSpacing(8);
    return row;
}

QString spanHeading(int days)
{
    return days == 1 ? QStringLiteral("Apps — today") : QStringLiteral("Apps — 7 days");
}

} // namespace

// ---- One app

HistoryAppRow::HistoryAppRow(const AppEnergyTotal &app, double batteryWattHours, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
    , m_batteryWattHours(batteryWattHours)
{
    setObjectName(QStringLiteral("historyAppRow"));
    setFixedHeight(kHeight);
    setAccessibleName(app.app + QStringLiteral(", ") + energyText() + QStringLiteral(", ") + shareText());
}

QString HistoryAppRow::energyText() const
{
    return HistoryTables::wattHoursText(m_app.wattHours);
}

QString HistoryAppRow::shareText() const
{
    return HistoryTables::shareText(m_app.wattHours, m_batteryWattHours);
}

void HistoryAppRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintShareRow(painter, {PanelStyle::kSideInset, width() - PanelStyle::kSideInset, 3, 18, m_app.app, energyText(),
                            shareText(), HistoryTables::share(m_app.wattHours, m_batteryWattHours), kBarColor});
}

// ---- The section

HistorySectionContent::HistorySectionContent(HistoryStore &store, QWidget *parent)
    : QWidget(parent)
    , m_store(store)
    , m_span(new SegmentedPicker({QStringLiteral("Today"), QStringLiteral("7 days")}, this))
    , m_appsHeading(makeLabel(spanHeading(1), PanelStyle::TextRole::emphasized, this, "historyAppsHeading"))
    , m_appList(new QWidget(this))
    , m_appLayout(new QVBoxLayout(m_appList))
    , m_noApps(makeLabel(QStringLiteral("No battery use recorded yet."), PanelStyle::TextRole::detail, this,
                         "historyNoApps"))
    , m_chart(new Sparkline(DashboardStyle::kHealthAccent, this))
    , m_healthLine(makeLabel(QString(), PanelStyle::TextRole::detail, this, "historyHealthLine"))
    , m_trend(makeLabel(QString(), PanelStyle::TextRole::detail, this, "historyTrend"))
    , m_note(makeLabel(QString(), PanelStyle::TextRole::detail, this, "historyNote"))
    , m_export(new MinimalButton(QStringLiteral("Export CSV…"), this))
    , m_exportResult(makeLabel(QString(), PanelStyle::TextRole::detail, this, "historyExportResult"))
{
    m_span->setObjectName(QStringLiteral("historySpanPicker"));
    m_span->setCurrentIndex(0);
    m_appList->setObjectName(QStringLiteral("historyAppList"));
    m_appLayout->setContentsMargins(0, 2, 0, 2);
    m_appLayout->setSpacing(0);
    m_chart->setObjectName(QStringLiteral("historyHealthChart"));
    m_chart->setFixedHeight(kChartHeight);
    m_chart->setMinimumRange(kChartMinimumRange);
    m_export->setObjectName(QStringLiteral("historyExport"));
    QPalette warning = m_note->palette();
    warning.setColor(QPalette::WindowText, PanelStyle::kWarning);
    m_note->setPalette(warning);
    m_note->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(6);
    auto *noteRow = insetRow();
    noteRow->addWidget(m_note, 1);
    layout->addLayout(noteRow);
    auto *appsHeading = insetRow();
    appsHeading->addWidget(m_appsHeading, 1);
    appsHeading->addWidget(m_span);
    layout->addLayout(appsHeading);
    auto *noAppsRow = insetRow();
    noAppsRow->addWidget(m_noApps, 1);
    layout->addLayout(noAppsRow);
    layout->addWidget(m_appList);

    auto *healthHeading = insetRow();
    healthHeading->addWidget(makeLabel(QStringLiteral("Battery health"), PanelStyle::TextRole::emphasized, this,
                                       "historyHealthHeading"),
                             1);
    layout->addSpacing(4);
    layout->addLayout(healthHeading);
    auto *chartRow = insetRow();
    chartRow->addWidget(m_chart);
    layout->addLayout(chartRow);
    for (QLabel *label : {m_healthLine, m_trend}) {
        auto *row = insetRow();
        row->addWidget(label, 1);
        layout->addLayout(row);
    }
    auto *exportRow = insetRow();
    exportRow->addWidget(m_export);
    exportRow->addWidget(m_exportResult, 1);
    layout->addLayout(exportRow);

    connect(m_span, &SegmentedPicker::picked, this, [this] {
        m_appsHeading->setText(spanHeading(spanDays()));
        m_store.loadApps(spanDays(), this, [this](const AppEnergyReport &report) { showApps(report); });
    });
    connect(m_export, &QPushButton::clicked, this, &HistorySectionContent::chooseExportFile);
    connect(&m_store, &HistoryStore::changed, this, &HistorySectionContent::reloadWhenSeen);
    connect(&m_store, &HistoryStore::noteChanged, this, [this] {
        m_note->setText(m_store.note());
        m_note->setVisible(!m_store.note().isEmpty());
    });
    m_note->setText(m_store.note());
    m_note->setVisible(!m_store.note().isEmpty());
    showApps({});
    showHealth({});
    reload();
}

int HistorySectionContent::spanDays() const
{
    return kSpanDays[std::clamp(m_span->currentIndex(), 0, 1)];
}

void HistorySectionContent::reloadWhenSeen()
{
    if (isVisible())
        reload();
    else
        m_stale = true;
}

void HistorySectionContent::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        reload();
}

void HistorySectionContent::reload()
{
    m_stale = false;
    m_store.loadApps(spanDays(), this, [this](const AppEnergyReport &report) { showApps(report); });
    m_store.loadHealth(this, [this](const QList<HealthPoint> &points) { showHealth(points); });
}

QList<HistoryAppRow *> HistorySectionContent::appRows() const
{
    return m_appList->findChildren<HistoryAppRow *>(QString(), Qt::FindDirectChildrenOnly);
}

void HistorySectionContent::showApps(const AppEnergyReport &report)
{
    m_apps = report;
    for (HistoryAppRow *row : appRows())
        delete row;
    for (const AppEnergyTotal &app : report.apps)
        m_appLayout->addWidget(new HistoryAppRow(app, report.batteryWattHours, m_appList));
    m_noApps->setVisible(report.apps.isEmpty());
    m_appList->setVisible(!report.apps.isEmpty());
}

void HistorySectionContent::showHealth(const QList<HealthPoint> &points)
{
    const QString before = healthSummary();
    m_health = points;
    QList<double> values;
    values.reserve(points.size());
    for (const HealthPoint &point : points)
        values << point.healthPercent;
    m_chart->setValues(values);
    m_chart->setVisible(points.size() >= 2);
    if (points.isEmpty()) {
        m_healthLine->setText(QStringLiteral("No capacity readings recorded yet."));
    } else {
        const HealthPoint &last = points.last();
        QString line = formatPrintf("%.1f%% of design", last.healthPercent);
        if (last.cycles)
            line += formatPrintf(" · %d cycles", *last.cycles);
        line += QStringLiteral(" · since ") + QLocale::c().toString(points.first().day, QStringLiteral("d MMM yyyy"));
        m_healthLine->setText(line);
    }
    const std::optional<QString> trend = healthTrendText(points);
    m_trend->setText(trend ? QStringLiteral("Trend: ") + *trend : QString());
    m_trend->setVisible(trend.has_value());
    if (healthSummary() != before)
        emit healthSummaryChanged();
}

QString HistorySectionContent::healthSummary() const
{
    if (m_health.isEmpty())
        return QString();
    return formatPrintf("%lld%% of design", roundHalfAway(m_health.last().healthPercent));
}

bool HistorySectionContent::writeCsv(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(HistoryTables::csv(m_apps, m_health).toUtf8());
    return file.commit();
}

void HistorySectionContent::chooseExportFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto *dialog = new QFileDialog(window(), QStringLiteral("Export History"),
                                   QDir(folder).filePath(QStringLiteral("pendra-history.csv")),
                                   QStringLiteral("CSV files (*.csv)"));
    dialog->setObjectName(QStringLiteral("historyExportDialog"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        m_exportResult->setText(writeCsv(path) ? QStringLiteral("Exported.")
                                               : QStringLiteral("Could not write the file."));
    });
    dialog->open();
}
