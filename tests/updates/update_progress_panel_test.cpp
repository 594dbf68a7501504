#include "app/updates/update_progress_panel.h"
#include "app/updates/widget_update_presenter.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

namespace {

// Saves the panel for review when screenshots are being made.
void saveScreenshot(QWidget &panel, const char *name)
{
    const QString dir = qEnvironmentVariable("PENDRA_SCREENSHOTS_DIR");
    if (!dir.isEmpty())
        panel.grab().save(QDir(dir).filePath(QString::fromUtf8(name)));
}

TEST(UpdateProgressPanel, ShowsDownloadThenInstall)
{
    UpdateProgressPanel panel(QStringLiteral("v0.1.7-Pro-Beta"), QStringLiteral("pendra.example"));
    auto *bar = panel.findChild<QProgressBar *>(QStringLiteral("bar"));
    ASSERT_TRUE(bar);
    EXPECT_EQ(panel.windowTitle(), QStringLiteral("Pendra Update"));
    EXPECT_EQ(panel.size(), QSize(360, 132));
    EXPECT_EQ(panel.headline(), QStringLiteral("Downloading update…"));
    EXPECT_EQ(panel.detail(), QStringLiteral("Fetching v0.1.7-Pro-Beta from pendra.example"));
    EXPECT_EQ(bar->maximum(), 0); // indeterminate

    panel.setDownloadProgress(12'400'000, 31'000'000, QStringLiteral("v0.1.7-Pro-Beta"));
    EXPECT_EQ(panel.detail(), QStringLiteral("40% · 11.8 M of 29.6 M"));
    EXPECT_EQ(bar->maximum(), 31'000'000);
    EXPECT_EQ(bar->value(), 12'400'000);
    saveScreenshot(panel, "update-progress-download.png");

    // A 5 GB package still moves the bar in proportion.
    panel.setDownloadProgress(2'500'000'000, 5'000'000'000, QStringLiteral("v0.1.7-Pro-Beta"));
    EXPECT_EQ(bar->value() * 2 / 1000, bar->maximum() / 1000);

    panel.showInstalling(QStringLiteral("v0.1.7-Pro-Beta"));
    EXPECT_EQ(panel.headline(), QStringLiteral("Installing v0.1.7-Pro-Beta…"));
    EXPECT_EQ(bar->maximum(), 0);
    saveScreenshot(panel, "update-progress-installing.png");
}

// Versions and host names come from the update server: markup in them is
// shown as the characters it is made of.
TEST(UpdateProgressPanel, ShowsRemoteTextAsPlainText)
{
    UpdateProgressPanel panel(QStringLiteral("<img src=x>"), QStringLiteral("<b>host</b>"));
    for (QLabel *label : panel.findChildren<QLabel *>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST(WidgetUpdatePresenter, AlertsShowRemoteTextAsPlainText)
{
    WidgetUpdatePresenter presenter([] {});
    presenter.showAlert({UpdateAlert::Style::informational, QStringLiteral("Pendra Pro Update Available"),
                         QStringLiteral("<a href=\"x\">v9</a> is available."), {QStringLiteral("OK")}},
                        [](int) {});
    QMessageBox *box = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<QMessageBox *>(window))
            box = candidate;
    }
    ASSERT_TRUE(box);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    box->done(0);
}

} // namespace
