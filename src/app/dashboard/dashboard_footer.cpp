#include "app/dashboard/dashboard_footer.h"

#include "app/battery_menu/panel_actions.h"
#include "app/battery_menu/panel_rows.h"
#include "app/battery_menu/panel_style.h"
#include "app/battery_menu/pendra_status_copy.h"
#include "app/dashboard/sibling_app.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

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

    auto *links = new QHBoxLayout;
    links->setContentsMargins(0, 0, 0, 0);
    links->setSpacing(6);
    const auto add = [&](const char *objectName, const QString &title, auto handler) {
        auto *button = new MinimalButton(title, this);
        button->setObjectName(QString::fromLatin1(objectName));
        QFont font = button->font();
        font.setPixelSize(12);
        button->setFont(font);
        connect(button, &QPushButton::clicked, this, handler);
        links->addWidget(button);
    };
    add("siblingLink", sibling.linkTitle(), [&sibling] { sibling.open(); });
    add("openAppLink", PendraStatusCopy::kOpenPendraPro, [&actions] { actions.openPendraPro(); });
    add("compareLink", QStringLiteral("Compare"), [&actions] { actions.openComparisonPage(); });
    add("updatesLink", QStringLiteral("Updates"), [this] { emit updatesRequested(); });
    links->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(8);
    layout->addLayout(links);
    layout->addLayout(noteRow);
}
