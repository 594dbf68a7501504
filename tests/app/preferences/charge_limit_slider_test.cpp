#include "app/preferences/preferences_widgets.h"
#include "fakes/fake_sysfs_files.h"
#include "fakes/preferences_fixture.h"
#include "platform/linux/sysfs_charge_thresholds.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kLimitKey = QStringLiteral("pendrapro.chargeLimit.percent");

// The Charging pane over a controller that holds its limit in the firmware
// of a battery in a temporary /sys tree, charging at 60 % on AC. Every
// write to the firmware's threshold file is counted.
class ChargeLimitSliderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(battery() + QStringLiteral("type"), "Battery\n");
        writeFile(battery() + QStringLiteral("charge_control_end_threshold"), "100\n");
        f.chargeThresholds = &thresholds;
        f.defaults->setBool(QStringLiteral("pendrapro.chargeLimit.enabled"), true);
        f.defaults->setInt(kLimitKey, 80);
        f.power.publish(chargingSnap(60));
        f.build();
        f.root->setSection(PreferencesSection::charging);
        slider = f.child<QSlider>("chargeLimitSlider");
        ASSERT_NE(slider, nullptr);
        writesBefore = files.writes;
    }

    QString battery() const { return sys.path() + QStringLiteral("/class/power_supply/BAT0/"); }
    QByteArray firmwareEnd() const
    {
        return readFile(battery() + QStringLiteral("charge_control_end_threshold")).trimmed();
    }
    QString caption() const { return qobject_cast<SettingSliderRow *>(slider->parentWidget())->caption(); }

    QTemporaryDir sys;
    FakeSysfsFiles files;
    SysfsChargeThresholds thresholds{sys.path(), files};
    PreferencesFixture f;
    QSlider *slider = nullptr;
    int writesBefore = 0;
};

} // namespace

TEST_F(ChargeLimitSliderTest, DragWritesOnlyWhereItEnds)
{
    // What the slider does under a mouse drag: pressed, moved, released.
    slider->setSliderDown(true);
    for (int percent = 79; percent >= 70; --percent)
        slider->setSliderPosition(percent);
    EXPECT_EQ(caption(), QStringLiteral("Charge limit 70%")) << "the caption follows the drag";
    EXPECT_EQ(files.writes, writesBefore);
    EXPECT_EQ(f.defaults->intValue(kLimitKey), 80);

    slider->setSliderDown(false);
    EXPECT_EQ(files.writes, writesBefore + 1);
    EXPECT_EQ(firmwareEnd(), "70");
    EXPECT_EQ(f.defaults->intValue(kLimitKey), 70);
}

TEST_F(ChargeLimitSliderTest, KeyboardStepWritesAtOnce)
{
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(caption(), QStringLiteral("Charge limit 79%"));
    EXPECT_EQ(files.writes, writesBefore + 1);
    EXPECT_EQ(firmwareEnd(), "79");
    EXPECT_EQ(f.defaults->intValue(kLimitKey), 79);
}
