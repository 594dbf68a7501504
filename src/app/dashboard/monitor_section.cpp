#include "app/dashboard/monitor_section.h"

#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/sparkline.h"
#include "platform/defaults.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 14; // px
constexpr int kChevronBox = 12; // px

} // namespace

// The clickable title line with the disclosure chevron.
class MonitorSection::Header : public PanelClickableRow
{
public:
    Header(const Options &options, QWidget *parent)
        : PanelClickableRow(parent)
    {
        setObjectName(QStringLiteral("header"));
        setAccessibleName(options.title);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset + kChevronBox + 4, 0);
        layout->setSpacing(6);
        m_icon = new QLabel(this);
        m_icon->setObjectName(QStringLiteral("icon"));
        m_icon->setFixedSize(kIconSize, kIconSize);
        layout->addWidget(m_icon);
        setIcon(options.icon);
        auto *title = new QLabel(options.title, this);
        title->setObjectName(QStringLiteral("title"));
        PanelStyle::apply(title, PanelStyle::TextRole::sectionHeader);
        QPalette palette = title->palette();
        palette.setColor(QPalette::WindowText, options.accent);
        title->setPalette(palette);
        layout->addWidget(title, 1);
    }

    void setIcon(const QIcon &icon)
    {
        m_icon->setVisible(!icon.isNull());
        if (!icon.isNull())
            m_icon->setPixmap(icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
    }

    void setExpanded(bool expanded)
    {
        m_expanded = expanded;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        PanelClickableRow::paintEvent(event);
        QPainter painter(this);
        const QRectF box(width() - PanelStyle::kSideInset - kChevronBox, (height() - kChevronBox) / 2.0,
                         kChevronBox, kChevronBox);
        drawChevron(painter, box, m_expanded ? ChevronDirection::down : ChevronDirection::right,
                    PanelStyle::kSecondaryText);
    }

private:
    QLabel *m_icon;
    bool m_expanded = true;
};

MonitorSection::MonitorSection(Options options, QWidget *content, Defaults &defaults, QWidget *parent)
    : QWidget(parent)
    , m_options(std::move(options))
    , m_defaults(defaults)
    , m_header(new Header(m_options, this))
    , m_summary(new QLabel(m_options.summary, this))
    , m_body(new QWidget(this))
    , m_content(content)
    , m_isExpanded(defaults.boolValue(m_options.storageKey).value_or(true))
{
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setTextFormat(Qt::PlainText);
    PanelStyle::apply(m_summary, PanelStyle::TextRole::detail);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_header);

    auto *summaryLine = new QWidget(this);
    auto *summaryLayout = new QHBoxLayout(summaryLine);
    summaryLayout->setContentsMargins(PanelStyle::kSideInset, 0, PanelStyle::kSideInset, 0);
    summaryLayout->setSpacing(8);
    summaryLayout->addWidget(m_summary, 1);
    if (m_options.sparkline) {
        m_sparkline = new Sparkline(m_options.accent, summaryLine);
        m_sparkline->setObjectName(QStringLiteral("sparkline"));
        m_sparkline->setFixedSize(72, 18);
        m_sparkline->setValues(*m_options.sparkline);
        summaryLayout->addWidget(m_sparkline, 0);
    }
    layout->addWidget(summaryLine);

    m_body->setObjectName(QStringLiteral("sectionBody"));
    auto *bodyLayout = new QVBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(content);
    layout->addWidget(m_body);
    m_body->setVisible(m_isExpanded);
    m_header->setExpanded(m_isExpanded);
    connect(m_header, &PanelClickableRow::triggered, this, &MonitorSection::toggle);
}

QString MonitorSection::summary() const
{
    return m_summary->text();
}

void MonitorSection::setSummary(const QString &summary)
{
    PanelStyle::setTextIfChanged(m_summary, summary);
}

void MonitorSection::setSparkline(const QList<double> &values)
{
    if (m_sparkline)
        m_sparkline->setValues(values);
}

void MonitorSection::setIcon(const QIcon &icon)
{
    m_header->setIcon(icon);
}

void MonitorSection::setExpanded(bool expanded)
{
    if (expanded == m_isExpanded)
        return;
    m_isExpanded = expanded;
    m_defaults.setBool(m_options.storageKey, expanded);
    m_body->setVisible(expanded);
    m_header->setExpanded(expanded);
    emit expandedChanged(expanded);
}

void MonitorSection::toggle()
{
    setExpanded(!m_isExpanded);
}
