#pragma once

#include "updates/update_presenter.h"

#include <QPointer>

#include <functional>

class UpdateProgressPanel;

// The update flow's alerts and progress panel as Qt widgets.
class WidgetUpdatePresenter final : public UpdatePresenter
{
public:
    // `quit` ends the application the way its Quit command does.
    explicit WidgetUpdatePresenter(std::function<void()> quit);
    ~WidgetUpdatePresenter() override;

    void showAlert(const UpdateAlert &alert, std::function<void(int button)> answer) override;
    void bringToFront() override;
    void openUrl(const QUrl &url) override;
    void quitApplication() override;
    void launchApp(const QString &appDir) override;

    void openProgress(const QString &version, const QString &host) override;
    void updateProgress(std::int64_t received, std::int64_t total, const QString &version) override;
    void showInstalling(const QString &version) override;
    void closeProgress() override;

private:
    std::function<void()> m_quit;
    QPointer<UpdateProgressPanel> m_panel;
};
