#include "app/dashboard/dashboard_footer.h"

#include "app/core/panel_actions.h"
#include "app/ui/panel_rows.h"
#include "app/ui/panel_style.h"
#include "app/ui/pendra_status_copy.h"
#include "app/dashboard/sibling_app.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kLinkSpacing = 6; // px
constexpr int kLinksOnFirstRowWhenNarrow = 2;

} // namespace

DashboardFooter::DashboardFooter(PanelActions &actions, const SiblingApp &sibling, const QString &version,
                                 QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("footer"));
    auto *note = new QLabel(PendraStatusCopy::kLocalOnly, this);
    note->setObjectName(QStringLiteral("footerNote"));
    PanelStyle::apply(note, PanelStyle::TextRole::sectionTitle);
    auto *versionLabel = new QLabel(version, this);
    versionLabel->setObjectName(QStringLiteral("footerVersion"));
    PanelStyle::apply(versionLabel, PanelStyle::TextRole::sectionTitle);
    auto *noteRow = new QHBoxLayout;
    noteRow->setContentsMargins(0, 0, 0, 0);
    noteRow->addWidget(note, 1);
    noteRow->addWidget(versionLabel);

    const auto makeRow = [] {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(kLinkSpacing);
        return row;
    };
    m_firstRow = makeRow();
    m_secondRow = makeRow();
    const auto add = [&](const char *objectName, const QString &title, auto handler) {
        auto *button = new MinimalButton(title, this);
        button->setObjectName(QString::fromLatin1(objectName));
        QFont font = button->font();
        font.setPixelSize(12);
        button->setFont(font);
        connect(button, &QPushButton::clicked, this, handler);
        m_links.append(button);
    };
    add("siblingLink", sibling.linkTitle(), [&sibling] { sibling.open(); });
    add("openAppLink", PendraStatusCopy::kOpenPendraPro, [&actions] { actions.openPendraPro(); });
    add("compareLink", QStringLiteral("Compare"), [&actions] { actions.openComparisonPage(); });
    add("updatesLink", QStringLiteral("Updates"), [this] { emit updatesRequested(); });
    for (MinimalButton *link : std::as_const(m_links))
        m_firstRow->addWidget(link);
    m_firstRow->addStretch(1);
    m_secondRow->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(8);
    layout->addLayout(m_firstRow);
    layout->addLayout(m_secondRow);
    layout->addLayout(noteRow);
}

int DashboardFooter::linksWidth() const
{
    int width = kLinkSpacing * static_cast<int>(m_links.size() - 1);
    for (const QWidget *link : m_links)
        width += link->sizeHint().width();
    return width;
}

void DashboardFooter::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The links wrap onto a second row rather than squeeze their titles.
    const bool wrap = linksWidth() > contentsRect().width() - layout()->contentsMargins().left() -
                                         layout()->contentsMargins().right();
    if (wrap == m_wrapped)
        return;
    m_wrapped = wrap;
    for (qsizetype i = kLinksOnFirstRowWhenNarrow; i < m_links.size(); ++i) {
        QHBoxLayout *from = wrap ? m_firstRow : m_secondRow;
        QHBoxLayout *to = wrap ? m_secondRow : m_firstRow;
        from->removeWidget(m_links.at(i));
        to->insertWidget(to->count() - 1, m_links.at(i));
    }
}

QSize DashboardFooter::minimumSizeHint() const
{
    int first = kLinkSpacing * (kLinksOnFirstRowWhenNarrow - 1);
    for (qsizetype i = 0; i < kLinksOnFirstRowWhenNarrow; ++i)
        first += static_cast<const QWidget *>(m_links.at(i))->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    return {first + margins.left() + margins.right(), QWidget::minimumSizeHint().height()};
}
