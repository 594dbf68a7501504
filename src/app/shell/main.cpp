#include "app/battery_menu/main_root.h"
#include "app/core/wayland_session.h"
#include "app/shell/app_delegate.h"
#include "app/shell/app_services.h"
#include "app/shell/command_line.h"
#include "app/shell/quit_on_signals.h"
#include "app/shell/single_instance.h"
#include "updates/manifest_fetch.h"
#include "updates/running_app.h"

#include <QApplication>
#include <QIcon>
#include <QWidget>

#include <cstdio>

namespace {

bool anyWindowVisible()
{
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !(window->windowFlags() & Qt::Popup))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], ChildProcessManifestFetch::kChildFlag) == 0)
        return runManifestFetchChild(argc, argv);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<QByteArray> information = CommandLine::informationFor(arguments, RunningApp::buildVersion())) {
        std::fwrite(information->constData(), 1, static_cast<size_t>(information->size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    // Qt reads the platform when the application object is made.
    if (const auto platform = WaylandSession::platformOverrideForSession(QProcessEnvironment::systemEnvironment()))
        qputenv("QT_QPA_PLATFORM", *platform);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pendra Pro"));
    QApplication::setOrganizationName(QStringLiteral("Marblewick"));
    QApplication::setDesktopFileName(QStringLiteral("com.marblewickhq.pendrapro"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.marblewickhq.pendrapro")));
    // The app lives in the tray: closing its windows does not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    // Started by the copy it replaces, which still holds the lock as it quits.
    constexpr auto kRelaunchWait = std::chrono::seconds(10);
    const bool relaunched = QApplication::arguments().contains(QLatin1String(RunningApp::kRelaunchFlag));
    SingleInstance instance(SingleInstance::defaultRuntimeDir());
    if (!instance.claim(relaunched ? kRelaunchWait : std::chrono::seconds(0)))
        return 0;

    QuitOnSignals quitSignals;
    QObject::connect(&quitSignals, &QuitOnSignals::quitRequested, &app, &QApplication::quit);

    AppServices services;
    AppDelegate delegate(services.forDelegate());
    services.attach(delegate);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate,
                     [&delegate] { delegate.applicationShouldHandleReopen(anyWindowVisible()); });
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, [&delegate] { delegate.applicationWillTerminate(); });
    delegate.applicationDidFinishLaunching();
    trackWhileShown(*delegate.popover(), services.menuPanelModel());
    return app.exec();
}
