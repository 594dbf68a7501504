#include "app/dashboard/monitor_section.h"
#include "app/ui/panel_rows.h"
#include "platform/defaults.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST(MonitorSection, RemembersItsExpansionUnderItsStorageKey)
{
    QTemporaryDir dir;
    Defaults defaults(dir.filePath(QStringLiteral("settings.json")));
    const QString key = QStringLiteral("pendrapro.dash.section.power");
    const auto options = [&] {
        return MonitorSection::Options{QStringLiteral("Power"), Qt::cyan, QStringLiteral("7.4 W"), QList<double>{1, 2},
                                       key, QIcon()};
    };

    MonitorSection first(options(), new QLabel(QStringLiteral("content")), defaults);
    EXPECT_TRUE(first.content()->isVisibleTo(&first)); // nothing stored yet
    QSignalSpy changed(&first, &MonitorSection::expandedChanged);
    emit first.findChild<PanelClickableRow *>(QStringLiteral("header"))->triggered();
    EXPECT_FALSE(first.content()->isVisibleTo(&first));
    EXPECT_EQ(defaults.boolValue(key), false);
    EXPECT_EQ(changed.count(), 1);

    MonitorSection second(options(), new QLabel(QStringLiteral("content")), defaults);
    EXPECT_FALSE(second.content()->isVisibleTo(&second));
}
