#pragma once

#include <QObject>

#include <functional>

// The dashboard's own keys: Escape and Ctrl+, (the platform's Command-comma).
// Installed as an event filter on the dashboard, it sees every key press that
// the focused control leaves unhandled; other keys pass on. It claims the two
// keys before window shortcuts do, so Ctrl+, toggles the layout panel
// instead of opening the preferences window while the dashboard has focus.
class DashboardKeyCatcher : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    std::function<void()> onEscape;
    std::function<void()> onComma;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const std::function<void()> *actionFor(QEvent *event) const;
};
