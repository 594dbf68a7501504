#include "platform/linux/x11_tray_panel_probe.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>

#include <xcb/xcb.h>

#include <cstring>
#include <optional>

namespace {

// A private Xvfb that picks its own display number and names it on its
// standard output (-displayfd 1).
class Xvfb
{
public:
    Xvfb()
    {
        m_process.start(QStringLiteral("Xvfb"),
                        QStringLiteral("-displayfd 1 -screen 0 320x200x24 -nolisten tcp").split(QLatin1Char(' ')));
        // The number may come in pieces.
        QByteArray number;
        while (!number.endsWith('\n') && m_process.waitForReadyRead(-1))
            number += m_process.readAllStandardOutput();
        if (!number.trimmed().isEmpty())
            m_display = ":" + number.trimmed();
    }
    ~Xvfb()
    {
        m_process.terminate();
        m_process.waitForFinished(-1);
    }
    QByteArray display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
};

// Draws panels and trays on the test's own X connection.
struct X11TrayPanelFixture : ::testing::Test
{
    void SetUp() override
    {
        if (xvfb.display().isEmpty())
            GTEST_SKIP() << "Xvfb could not start";
        connection = xcb_connect(xvfb.display().constData(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection));
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    }
    void TearDown() override
    {
        if (connection)
            xcb_disconnect(connection);
    }

    // `rect` is relative to `parent` (the root when none).
    xcb_window_t window(const QRect &rect, uint32_t background, bool map = true, xcb_window_t parent = XCB_NONE)
    {
        const xcb_window_t id = xcb_generate_id(connection);
        const uint32_t values[] = {background, 1};
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, id, parent ? parent : screen->root,
                          static_cast<int16_t>(rect.x()), static_cast<int16_t>(rect.y()),
                          static_cast<uint16_t>(rect.width()), static_cast<uint16_t>(rect.height()), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        if (map)
            xcb_map_window(connection, id);
        xcb_aux_sync();
        return id;
    }
    void xcb_aux_sync() { free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr)); }

    xcb_atom_t atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
        const xcb_atom_t id = reply->atom;
        free(reply);
        return id;
    }

    // A panel as docks announce themselves; a pid names its process.
    void markDock(xcb_window_t id, std::optional<uint32_t> pid = std::nullopt)
    {
        const xcb_atom_t dockType = atom("_NET_WM_WINDOW_TYPE_DOCK");
        if (pid)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &*pid);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1,
                            &dockType);
        xcb_aux_sync();
    }

    // An XEmbed tray manager, optionally publishing its icon colours.
    void ownTray(const uint32_t *foreground)
    {
        const xcb_window_t manager = window(QRect(0, 0, 1, 1), 0, false);
        xcb_set_selection_owner(connection, manager, atom("_NET_SYSTEM_TRAY_S0"), XCB_CURRENT_TIME);
        if (foreground) {
            uint32_t colours[12] = {};
            std::copy(foreground, foreground + 3, colours);
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, manager, atom("_NET_SYSTEM_TRAY_COLORS"),
                                XCB_ATOM_CARDINAL, 32, 12, colours);
        }
        xcb_aux_sync();
    }

    Xvfb xvfb;
    xcb_connection_t *connection = nullptr;
    xcb_screen_t *screen = nullptr;
};

const QRect kIcon(150, 4, 22, 22);

} // namespace

TEST_F(X11TrayPanelFixture, TrayColoursWinOverThePixels)
{
    window(QRect(0, 0, 320, 30), 0xf0f0f0);
    const uint32_t white[] = {0xffff, 0xffff, 0xffff};
    ownTray(white);
    EXPECT_EQ(X11TrayPanelProbe(xvfb.display()).panelIsDark(kIcon, 0), std::optional<bool>(true));
}

TEST_F(X11TrayPanelFixture, PanelPixelsAroundTheIconDecide)
{
    ownTray(nullptr);
    X11TrayPanelProbe probe(xvfb.display());
    EXPECT_EQ(probe.panelIsDark(QRect(), 0), std::nullopt);

    // A tinted tray on a light screen, the icon embedded in it light: the
    // panel around the icon counts.
    window(QRect(0, 180, 320, 20), 0xffffff);
    const xcb_window_t panel = window(QRect(100, 0, 120, 30), 0x202020);
    window(kIcon.translated(-100, 0), 0xffffff, true, panel);
    EXPECT_EQ(probe.panelIsDark(kIcon, 0), std::optional<bool>(true));

    xcb_destroy_window(connection, panel);
    const xcb_window_t light = window(QRect(100, 0, 120, 30), 0xe8e8e8);
    window(kIcon.translated(-100, 0), 0x000000, true, light);
    EXPECT_EQ(probe.panelIsDark(kIcon, 0), std::optional<bool>(false));
}

TEST_F(X11TrayPanelFixture, WithoutTheIconsPlaceThePanelDockDecides)
{
    X11TrayPanelProbe probe(xvfb.display());
    EXPECT_EQ(probe.panelIsDark(QRect(), 0), std::nullopt);
    window(QRect(0, 40, 320, 160), 0xffffff); // a desktop window is no dock

    constexpr uint kHost = 4242;
    // Another process's wide light panel, then the host's own small dark one.
    markDock(window(QRect(0, 0, 320, 30), 0xf0f0f0), kHost + 1);
    EXPECT_EQ(probe.panelIsDark(QRect(), kHost), std::optional<bool>(false));
    markDock(window(QRect(0, 170, 100, 30), 0x1e1e1e), kHost);
    EXPECT_EQ(probe.panelIsDark(QRect(), kHost), std::optional<bool>(true));
}

TEST_F(X11TrayPanelFixture, FindsThePanelWindowHoldingAPoint)
{
    X11TrayPanelProbe probe(xvfb.display());
    window(QRect(0, 40, 320, 160), 0xffffff); // a desktop window is no dock
    markDock(window(QRect(0, 0, 320, 30), 0x1e1e1e));
    // A side panel in a window manager's frame: the frame is where it shows.
    const xcb_window_t frame = window(QRect(280, 40, 40, 160), 0x1e1e1e);
    markDock(window(QRect(2, 2, 36, 156), 0x1e1e1e, true, frame));

    EXPECT_EQ(probe.panelHolding(QPoint(300, 12)), QRect(0, 0, 320, 30));
    EXPECT_EQ(probe.panelHolding(QPoint(300, 190)), QRect(280, 40, 40, 160));
    EXPECT_EQ(probe.panelHolding(QPoint(100, 100)), std::nullopt);
    EXPECT_EQ(X11TrayPanelProbe(QByteArray()).panelHolding(QPoint(300, 12)), std::nullopt);
}
