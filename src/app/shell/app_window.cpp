#include "app/shell/app_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

AppWindow::AppWindow(AppWindowStyle style, std::function<QWidget *()> makeContent,
                     std::function<void(QWidget *)> decorate, QObject *parent)
    : QObject(parent)
    , m_style(std::move(style))
    , m_makeContent(std::move(makeContent))
    , m_decorate(std::move(decorate))
{
}

AppWindow::~AppWindow()
{
    delete m_window;
}

bool AppWindow::isVisible() const
{
    return m_window && m_window->isVisible();
}

void AppWindow::open(QSize contentSize)
{
    if (isVisible()) {
        m_window->raise();
        m_window->activateWindow();
        return;
    }
    if (m_window)
        m_window->deleteLater();

    auto *window = new QWidget(nullptr, Qt::Window);
    window->setObjectName(m_style.objectName);
    window->setWindowTitle(m_style.title);
    window->setMinimumSize(m_style.minimumSize);
    QPalette dark = window->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        dark.setColor(role, m_style.background);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(235, 235, 240));
    window->setPalette(dark);
    window->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_makeContent) {
        if (QWidget *content = m_makeContent())
            layout->addWidget(content);
    }
    if (m_decorate)
        m_decorate(window);
    window->resize(contentSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), contentSize);
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    m_window = window;
    window->installEventFilter(this);
    window->show();
    window->raise();
    window->activateWindow();
}

bool AppWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        emit shownChanged(event->type() == QEvent::Show);
    return QObject::eventFilter(watched, event);
}

void AppWindow::orderOut()
{
    if (m_window)
        m_window->hide();
}

int dashboardOpenWidth(int cardWidth)
{
    return std::max(cardWidth, 420);
}

std::optional<int> dashboardRefitWidth(int cardWidth, int currentWidth)
{
    const int target = std::max(cardWidth, 400);
    const int width = std::max(target, currentWidth);
    if (std::abs(width - currentWidth) <= 8)
        return std::nullopt;
    return width;
}
