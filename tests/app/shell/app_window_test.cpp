#include "app/shell/app_window.h"
#include "app/shell/main_menu.h"

#include "fakes/recording_app_actions.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

TEST(DashboardWidthTest, OpensAtLeast420Wide)
{
    EXPECT_EQ(dashboardOpenWidth(360), 420); // narrow
    EXPECT_EQ(dashboardOpenWidth(440), 440); // regular
    EXPECT_EQ(dashboardOpenWidth(520), 520); // wide
}

TEST(DashboardWidthTest, RefitOnlyWidensBeyondTheTolerance)
{
    // Narrow keeps a 420-wide window: the target 400 is smaller.
    EXPECT_EQ(dashboardRefitWidth(360, 420), std::nullopt);
    EXPECT_EQ(dashboardRefitWidth(520, 420), 520);
    EXPECT_EQ(dashboardRefitWidth(440, 436), std::nullopt);
    EXPECT_EQ(dashboardRefitWidth(440, 431), 440);
    EXPECT_EQ(dashboardRefitWidth(360, 700), std::nullopt);
}

TEST(MainMenuTest, MenuBarListsAppAndEditMenusWhoseCommandsActOnTheFocusedField)
{
    RecordingAppActions actions;
    MainMenu menu(actions);
    QWidget window;
    QMenuBar *bar = menu.createMenuBar(&window);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions().at(0)->text(), QStringLiteral("Pendra"));
    EXPECT_EQ(bar->actions().at(1)->text(), QStringLiteral("Edit"));
    QStringList edit;
    for (QAction *action : bar->actions().at(1)->menu()->actions())
        edit << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(edit, (QStringList{"Undo", "Redo", "-", "Cut", "Copy", "Paste", "Delete", "Select All"}));

    menu.quitAction()->trigger();
    menu.preferencesAction()->trigger();
    EXPECT_EQ(actions.calls, (QStringList{"quitApp", "openPreferences"}));

    auto *field = new QLineEdit(QStringLiteral("power"), &window);
    menu.installInto(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    QAction *selectAll = menu.editActions().last();
    ASSERT_EQ(selectAll->text(), QStringLiteral("Select All"));
    selectAll->trigger();
    EXPECT_EQ(field->selectedText(), QStringLiteral("power"));
    menu.editActions().at(5)->trigger(); // Delete
    EXPECT_TRUE(field->text().isEmpty());
}

TEST(AppWindowTest, ClosedWindowIsRebuiltWithItsStyle)
{
    int built = 0;
    AppWindow window({QStringLiteral("testWindow"), QStringLiteral("Customize"), QSize(640, 420), Qt::black},
                     [&built] {
                         ++built;
                         return new QWidget;
                     },
                     {});
    window.open(QSize(780, 560));
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.window()->size(), QSize(780, 560));
    EXPECT_EQ(window.window()->objectName(), QStringLiteral("testWindow"));
    window.open(QSize(780, 560));
    EXPECT_EQ(built, 1) << "a visible window is only brought to the front";
    QPointer<QWidget> first = window.window();
    first->close(); // as the user closes it
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(first.isNull()) << "closing hides, it does not destroy";
    window.open(QSize(780, 560));
    EXPECT_EQ(built, 2);
    EXPECT_NE(window.window(), first.data());
}
