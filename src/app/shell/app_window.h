#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// How one of the application's windows looks when it is built.
struct AppWindowStyle
{
    QString objectName;
    QString title;
    QSize minimumSize;
    QColor background;
};

// A window created on first use, hidden (not destroyed) when closed, and
// built anew when opened while hidden.
class AppWindow : public QObject
{
    Q_OBJECT

public:
    // Builds the window's content; `decorate` receives each new window (for
    // the menu bar and shortcuts).
    AppWindow(AppWindowStyle style, std::function<QWidget *()> makeContent,
              std::function<void(QWidget *window)> decorate, QObject *parent = nullptr);
    ~AppWindow() override;

    // Brings the visible window to the front, or builds a new one with the
    // given content size, centred on the primary screen.
    void open(QSize contentSize);
    // Hides the window, if there is one.
    void orderOut();

    QWidget *window() const { return m_window; }
    bool isVisible() const;

signals:
    // The window appeared on screen or left it (closed, hidden, minimised).
    void shownChanged(bool shown);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppWindowStyle m_style;
    std::function<QWidget *()> m_makeContent;
    std::function<void(QWidget *)> m_decorate;
    QPointer<QWidget> m_window;
};

// Dashboard width in pixels for the preferred card width: at least 420.
int dashboardOpenWidth(int cardWidth);
// New width after the dashboard preferences changed: the card width (at
// least 400) but never narrower than now; absent when within 8 of now.
std::optional<int> dashboardRefitWidth(int cardWidth, int currentWidth);
