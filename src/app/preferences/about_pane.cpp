#include "app/preferences/about_pane.h"

#include "app/core/panel_actions.h"
#include "app/ui/panel_rows.h"
#include "app/dashboard/dashboard_card.h"
#include "app/preferences/preferences_widgets.h"
#include "app/core/app_actions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <functional>

AboutPane::AboutPane(const QString &version, AppActions &app, PanelActions &panel, QWidget *parent)
    : QWidget(parent)
{
    using namespace PreferencesWidgets;
    const PaneColumn pane = makePaneColumn(this, QStringLiteral("About"), QString());

    DashboardCard *facts = addGroup(pane.column);
    auto *product = new StatusKVRow(QStringLiteral("Product"), QStringLiteral("Pendra Pro"), facts);
    product->setObjectName(QStringLiteral("productRow"));
    auto *versionRow = new StatusKVRow(QStringLiteral("Version"), version, facts);
    versionRow->setObjectName(QStringLiteral("versionRow"));
    for (QWidget *row : {static_cast<QWidget *>(product), static_cast<QWidget *>(versionRow)}) {
        row->setContentsMargins(0, 3, 0, 3);
        facts->body()->addWidget(row);
    }

    auto *description = noteLabel(kDescription, this);
    description->setObjectName(QStringLiteral("description"));
    description->setContentsMargins(kRowInset, 4, kRowInset, 4);
    pane.column->addWidget(description);

    struct Button
    {
        const char *objectName;
        QString title;
        std::function<void()> action;
    };
    const Button buttons[] = {
        {"openPendraPro", QStringLiteral("Open Pendra Pro"), [&app] { app.openPendraPro(); }},
        {"airVsPro", QStringLiteral("Air vs Pro"), [&panel] { panel.openComparisonPage(); }},
        {"checkForUpdates", QStringLiteral("Check for Updates"), [&app] { app.checkUpdates(); }},
        {"website", QStringLiteral("Website"), [&app] { app.openWebsite(); }},
        {"batterySettings", QStringLiteral("Desktop Battery Settings…"),
         [&panel] { panel.openBatterySettings(); }},
    };
    // Three to a line, each as wide as its title.
    QHBoxLayout *line = nullptr;
    int index = 0;
    for (const Button &entry : buttons) {
        if (index++ % 3 == 0) {
            if (line)
                line->addStretch(1);
            line = new QHBoxLayout;
            line->setContentsMargins(kRowInset, 4, kRowInset, 0);
            line->setSpacing(8);
            pane.column->addLayout(line);
        }
        auto *button = new MinimalButton(entry.title, this);
        button->setObjectName(QString::fromLatin1(entry.objectName));
        connect(button, &QPushButton::clicked, this, entry.action);
        line->addWidget(button);
    }
    line->addStretch(1);
    pane.column->addStretch(1);
}
