#include "app/core/wayland_session.h"

#include <gtest/gtest.h>

TEST(WaylandSession, RunsThroughXWaylandUnlessTheUserChoseAPlatform)
{
    const struct
    {
        const char *sessionType, *waylandDisplay, *display, *qpa;
        std::optional<QByteArray> override;
        bool popoverWindow;
        bool focusedToolWindow;
    } cases[] = {
        {"wayland", "wayland-0", ":0", nullptr, "xcb", false, true},
        {"", "wayland-0", ":0", nullptr, "xcb", false, true},
        {"wayland", "", ":1", nullptr, "xcb", false, true},
        {"wayland", "wayland-0", ":0", "wayland", std::nullopt, true, false},
        {"wayland", "wayland-0", ":0", "wayland;xcb", std::nullopt, true, false},
        {"wayland", "wayland-0", ":0", "xcb", std::nullopt, false, true},
        {"wayland", "wayland-0", nullptr, nullptr, std::nullopt, true, false},
        {"x11", nullptr, ":0", nullptr, std::nullopt, false, false},
        {"x11", nullptr, ":0", "xcb", std::nullopt, false, false},
        {"tty", nullptr, nullptr, "offscreen", std::nullopt, false, false},
    };
    for (const auto &c : cases) {
        QProcessEnvironment env;
        const auto set = [&env](const char *name, const char *value) {
            if (value)
                env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        };
        set("XDG_SESSION_TYPE", c.sessionType);
        set("WAYLAND_DISPLAY", c.waylandDisplay);
        set("DISPLAY", c.display);
        set("QT_QPA_PLATFORM", c.qpa);
        const std::string label = std::string(c.sessionType) + " DISPLAY=" + (c.display ? c.display : "-")
                                  + " QPA=" + (c.qpa ? c.qpa : "-");
        EXPECT_EQ(WaylandSession::platformOverrideForSession(env), c.override) << label;
        EXPECT_EQ(WaylandSession::popoverOpensAsWindow(env), c.popoverWindow) << label;
        EXPECT_EQ(WaylandSession::popoverIsFocusedToolWindow(env), c.focusedToolWindow) << label;
    }
}
