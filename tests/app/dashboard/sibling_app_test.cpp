#include "app/dashboard/dashboard_footer.h"
#include "app/dashboard/sibling_app.h"
#include "fakes/panel_fixture.h"
#include "support/event_loop.h"
#include "support/qt_printers.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// Takes the links the footer opens instead of a browser.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    OpenedUrls() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~OpenedUrls() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// The places the sibling app is looked for, in a temporary folder: an
// applications folder for its desktop entry and an AppDir.
class SiblingPlaces
{
public:
    QString applications() const { return m_dir.filePath(QStringLiteral("applications")); }
    QString bundle() const { return m_dir.filePath(QStringLiteral("opt/Torvex.app")); }
    QString launchedMarker() const { return m_dir.filePath(QStringLiteral("launched")); }

    SiblingApp locate() const { return SiblingApp::locate({applications()}, {bundle()}); }

    void addDesktopEntry(const QByteArray &body)
    {
        writeFile(applications() + QLatin1Char('/') + SiblingApp::kDesktopId, "[Desktop Entry]\n" + body);
    }
    // A program that leaves a marker with its arguments when it runs.
    QString addProgram(const QString &path, bool executable = true)
    {
        writeFile(path, "#!/bin/sh\necho \"$@\" > '" + launchedMarker().toUtf8() + "'\n", executable);
        return path;
    }

private:
    QTemporaryDir m_dir;
};

QPushButton *siblingLink(const DashboardFooter &footer)
{
    return footer.findChild<QPushButton *>(QStringLiteral("siblingLink"));
}

} // namespace

TEST(SiblingApp, FooterLinkStartsTheInstalledAppOrOpensItsWebPage)
{
    const struct
    {
        const char *name;
        std::function<void(SiblingPlaces &)> install;
        const char *link;
        std::optional<QByteArray> arguments; // what the app was started with; none: the web page opens
    } table[] = {
        {"nothing installed", [](SiblingPlaces &) {}, "Get Torvex", std::nullopt},
        {"desktop entry",
         [](SiblingPlaces &p) {
             const QString program = p.addProgram(p.bundle() + QStringLiteral("/usr/bin/torvex"));
             p.addDesktopEntry("Exec=" + program.toUtf8() + " --dashboard %U\n");
         },
         "Open Torvex", "--dashboard"},
        {"desktop entry without a command", [](SiblingPlaces &p) { p.addDesktopEntry("Name=Torvex\n"); },
         "Get Torvex", std::nullopt},
        {"desktop entry whose program is gone",
         [](SiblingPlaces &p) { p.addDesktopEntry("Exec=" + p.bundle().toUtf8() + "/missing\n"); }, "Open Torvex",
         std::nullopt},
        {"AppDir", [](SiblingPlaces &p) { p.addProgram(p.bundle() + QStringLiteral("/AppRun")); }, "Open Torvex", ""},
        {"AppDir whose AppRun cannot run",
         [](SiblingPlaces &p) { p.addProgram(p.bundle() + QStringLiteral("/AppRun"), false); }, "Get Torvex",
         std::nullopt},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        SiblingPlaces places;
        row.install(places);
        OpenedUrls opened;
        const SiblingApp sibling = places.locate();
        RecordingPanelActions actions;
        DashboardFooter footer(actions, sibling, QStringLiteral("v0.1.0"));
        EXPECT_EQ(siblingLink(footer)->text(), QString::fromLatin1(row.link));

        siblingLink(footer)->click();
        if (row.arguments) {
            // The app runs detached; its marker is whole once it ends in a newline.
            ASSERT_TRUE(spinUntil([&] { return readFile(places.launchedMarker()).endsWith('\n'); }));
            EXPECT_EQ(readFile(places.launchedMarker()).trimmed(), *row.arguments);
        }
        EXPECT_EQ(opened.urls, row.arguments ? QList<QUrl>() : QList<QUrl>{SiblingApp::kWebPage});
        EXPECT_TRUE(actions.calls.isEmpty());
    }
}

#include "sibling_app_test.moc"
