// Renders every preferences pane and the onboarding sheet. Always checks the
// render; writes PNGs only when PENDRA_SCREENSHOTS_DIR names an output folder.
#include "app/preferences/pendra_onboarding_sheet.h"
#include "app/preferences/preferences_sidebar.h"
#include "fakes/dashboard_fixture.h"
#include "fakes/panel_fixture.h"
#include "fakes/preferences_fixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void save(QWidget &widget, const QString &name)
{
    settle();
    const QPixmap shot = widget.grab();
    const QImage image = shot.toImage();
    const QRgb background = image.pixel(image.width() - 3, image.height() - 3);
    qsizetype inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixel(x, y) != background;
    }
    EXPECT_GT(inked, image.width() * image.height() / 50) << name.toStdString();

    const QString dir = qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    const QString suffix = shot.devicePixelRatio() > 1.5 ? QStringLiteral("@2x") : QString();
    const QString path = QDir(dir).filePath(name + suffix + QStringLiteral(".png"));
    EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

} // namespace

TEST(PreferencesScreenshots, EveryPane)
{
    PreferencesFixture f;
    f.defaults->setBool(QStringLiteral("pendrapro.chargeLimit.enabled"), true);
    f.defaults->setBool(QStringLiteral("pendrapro.drainAlerts.enabled"), true);
    f.power.publish(heldAtLimitSnap(80), 6.2);
    PreferencesRoot &root = f.build();
    f.charge->tick();
    root.show();
    for (PreferencesSection section : kAllPreferencesSections) {
        root.setSection(section);
        save(root, QStringLiteral("preferences-") + rawValue(section));
    }
    // The smallest window the delegate allows.
    root.resize(640, 420);
    root.setSection(PreferencesSection::charging);
    save(root, QStringLiteral("preferences-charging-minimum-size"));
    root.sidebar()->button(PreferencesSection::alerts)->setFocus();
    root.setSection(PreferencesSection::alerts);
    save(root, QStringLiteral("preferences-alerts-minimum-size"));
}

TEST(PreferencesScreenshots, OnboardingOverPopoverAndDashboard)
{
    PanelFixture panel(PanelFixture::Options{.onboardingSeen = false});
    panel.show(onBatterySnap(63, 9.0, 185));
    const auto plasma = [] { return trayClickHint(trayHostBehaviour(TrayHost::plasma)); };
    presentOnboardingWhenAsked(panel.root.get(), *panel.defaults, plasma);
    panel.root->show();
    save(*panel.root, QStringLiteral("onboarding-popover"));

    DashboardFixture dash(DashboardFixture::Options{.onboardingSeen = false});
    DashboardRoot &root = dash.build({440, 560});
    presentOnboardingWhenAsked(&root, *dash.defaults, plasma);
    root.show();
    save(root, QStringLiteral("onboarding-dashboard"));
}
