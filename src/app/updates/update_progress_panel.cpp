#include "app/updates/update_progress_panel.h"

#include "app/ui/panel_style.h"
#include "updates/update_texts.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMargin = 16; // px
constexpr int kSpacing = 10; // px
constexpr int kBarWidth = 328; // px
constexpr int kBarHeight = 8; // px

// QProgressBar keeps int values: byte counts above 2 GiB are scaled down so
// that the bar still moves in proportion.
int barUnits(std::int64_t bytes, std::int64_t total)
{
    constexpr std::int64_t limit = std::numeric_limits<int>::max();
    if (total <= limit)
        return static_cast<int>(std::clamp<std::int64_t>(bytes, 0, limit));
    return static_cast<int>(std::clamp<std::int64_t>(bytes / (total / limit + 1), 0, limit));
}

} // namespace

UpdateProgressPanel::UpdateProgressPanel(const QString &version, const QString &host, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
    , m_headline(new QLabel(QStringLiteral("Downloading update…"), this))
    , m_detail(new QLabel(UpdateTexts::fetching(version, host), this))
    , m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("updateProgressPanel"));
    setWindowTitle(QStringLiteral("Pendra Update"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);

    // The version and host come from the update server.
    m_headline->setTextFormat(Qt::PlainText);
    m_detail->setTextFormat(Qt::PlainText);
    m_headline->setObjectName(QStringLiteral("headline"));
    QFont headlineFont = PanelStyle::font(PanelStyle::TextRole::emphasized);
    headlineFont.setPixelSize(13);
    m_headline->setFont(headlineFont);
    QPalette headlinePalette = m_headline->palette();
    headlinePalette.setColor(QPalette::WindowText, PanelStyle::kPrimaryText);
    m_headline->setPalette(headlinePalette);

    m_detail->setObjectName(QStringLiteral("detail"));
    QFont detailFont = PanelStyle::font(PanelStyle::TextRole::detail);
    detailFont.setPixelSize(11);
    m_detail->setFont(detailFont);
    QPalette detailPalette = m_detail->palette();
    detailPalette.setColor(QPalette::WindowText, PanelStyle::kSecondaryText);
    m_detail->setPalette(detailPalette);

    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setFixedSize(kBarWidth, kBarHeight);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    m_bar->setStyleSheet(QStringLiteral("QProgressBar { background: rgba(255, 255, 255, 28); border: none; "
                                        "border-radius: 4px; }"
                                        "QProgressBar::chunk { background: %1; border-radius: 4px; }")
                             .arg(PanelStyle::kAccent.name()));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);
    layout->addStretch();
    layout->addWidget(m_headline);
    layout->addWidget(m_detail);
    layout->addWidget(m_bar);
    layout->addStretch();
}

void UpdateProgressPanel::setDownloadProgress(std::int64_t received, std::int64_t total, const QString &version)
{
    PanelStyle::setTextIfChanged(m_detail, UpdateTexts::downloadProgress(received, total, version));
    if (total > 0) {
        m_bar->setRange(0, barUnits(total, total));
        m_bar->setValue(barUnits(std::min(received, total), total));
    }
}

void UpdateProgressPanel::showInstalling(const QString &version)
{
    PanelStyle::setTextIfChanged(m_headline, UpdateTexts::installing(version));
    m_bar->setRange(0, 0);
}

QString UpdateProgressPanel::headline() const
{
    return m_headline->text();
}

QString UpdateProgressPanel::detail() const
{
    return m_detail->text();
}

void UpdateProgressPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), PanelStyle::kBackground);
}
