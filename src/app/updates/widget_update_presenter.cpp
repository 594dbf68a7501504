#include "app/updates/widget_update_presenter.h"

#include "app/updates/update_progress_panel.h"
#include "updates/running_app.h"

#include <QApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>

WidgetUpdatePresenter::WidgetUpdatePresenter(std::function<void()> quit)
    : m_quit(std::move(quit))
{
}

WidgetUpdatePresenter::~WidgetUpdatePresenter()
{
    closeProgress();
}

void WidgetUpdatePresenter::showAlert(const UpdateAlert &alert, std::function<void(int button)> answer)
{
    auto *box = new QMessageBox(alert.style == UpdateAlert::Style::warning ? QMessageBox::Warning
                                                                           : QMessageBox::Information,
                                alert.title, alert.text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Versions and failure texts come from the update server.
    box->setTextFormat(Qt::PlainText);
    QList<QAbstractButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons.append(box->addButton(title, buttons.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    if (!buttons.isEmpty())
        box->setDefaultButton(qobject_cast<QPushButton *>(buttons.first()));
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons, answer = std::move(answer)] {
        const int index = static_cast<int>(buttons.indexOf(box->clickedButton()));
        // Closing the window counts as the last (cancelling) button.
        answer(index >= 0 ? index : static_cast<int>(buttons.size()) - 1);
    });
    box->open();
    box->raise();
    box->activateWindow();
}

void WidgetUpdatePresenter::bringToFront()
{
    // There is no application-wide activation on Linux desktops; the alert
    // that follows raises and activates itself.
}

void WidgetUpdatePresenter::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

void WidgetUpdatePresenter::quitApplication()
{
    m_quit();
}

void WidgetUpdatePresenter::launchApp(const QString &appDir)
{
    QProcess::startDetached(appDir + QStringLiteral("/AppRun"), {QLatin1String(RunningApp::kRelaunchFlag)});
}

void WidgetUpdatePresenter::openProgress(const QString &version, const QString &host)
{
    closeProgress();
    m_panel = new UpdateProgressPanel(version, host);
    m_panel->setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        m_panel->move(area.center() - QPoint(UpdateProgressPanel::kWidth / 2, UpdateProgressPanel::kHeight / 2));
    }
    m_panel->show();
}

void WidgetUpdatePresenter::updateProgress(std::int64_t received, std::int64_t total, const QString &version)
{
    if (m_panel)
        m_panel->setDownloadProgress(received, total, version);
}

void WidgetUpdatePresenter::showInstalling(const QString &version)
{
    if (m_panel)
        m_panel->showInstalling(version);
}

void WidgetUpdatePresenter::closeProgress()
{
    if (m_panel)
        m_panel->close();
}
