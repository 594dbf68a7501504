#include "platform/linux/x11_tray_panel_probe.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XcbReply<T> owned(T *reply)
{
    return XcbReply<T>(reply, &std::free);
}

xcb_atom_t internAtom(xcb_connection_t *connection, const QByteArray &name)
{
    const auto reply = owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.constData()), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_screen_t *screenNumber(xcb_connection_t *connection, int number)
{
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
         --number, xcb_screen_next(&it)) {
        if (number == 0)
            return it.data;
    }
    return nullptr;
}

// Relative luminance of an sRGB colour given as 0–1 channels, close enough
// for telling a light panel from a dark one.
double lightness(double red, double green, double blue)
{
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue;
}

// The tray's foreground colour: CARDINAL[12], 16-bit channels, the first
// three being the normal foreground.
std::optional<bool> fromTrayColours(xcb_connection_t *connection, int screen)
{
    const xcb_atom_t selection = internAtom(connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(screen));
    const xcb_atom_t colours = internAtom(connection, "_NET_SYSTEM_TRAY_COLORS");
    if (selection == XCB_ATOM_NONE || colours == XCB_ATOM_NONE)
        return std::nullopt;
    const auto owner = owned(xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                                           nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return std::nullopt;
    const auto property = owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, owner->owner, colours, XCB_ATOM_CARDINAL, 0, 12), nullptr));
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) < 3 * 4)
        return std::nullopt;
    const auto *rgb = static_cast<const uint32_t *>(xcb_get_property_value(property.get()));
    const double foreground = lightness((rgb[0] & 0xffff) / 65535.0, (rgb[1] & 0xffff) / 65535.0,
                                        (rgb[2] & 0xffff) / 65535.0);
    // Light icons are asked of a dark panel.
    return foreground > 0.5;
}

// The root-window rectangle of the top-level window under `point`.
std::optional<QRect> topLevelUnder(xcb_connection_t *connection, xcb_window_t root, const QPoint &point)
{
    const auto under = owned(xcb_translate_coordinates_reply(
        connection,
        xcb_translate_coordinates(connection, root, root, static_cast<int16_t>(point.x()),
                                  static_cast<int16_t>(point.y())),
        nullptr));
    if (!under || under->child == XCB_WINDOW_NONE)
        return std::nullopt;
    const auto geometry = owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, under->child), nullptr));
    if (!geometry)
        return std::nullopt;
    return QRect(geometry->x, geometry->y, geometry->width, geometry->height);
}

// Pixels read as 0x..RRGGBB words in this process's byte order.
bool isRgb888(xcb_connection_t *connection, const xcb_screen_t &screen)
{
    const uint16_t probe = 1;
    const bool littleEndian = *reinterpret_cast<const uint8_t *>(&probe) == 1;
    if ((xcb_get_setup(connection)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian)
        return false;
    for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(&screen); depth.rem; xcb_depth_next(&depth)) {
        for (xcb_visualtype_iterator_t visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            if (visual.data->visual_id == screen.root_visual)
                return visual.data->red_mask == 0xff0000 && visual.data->green_mask == 0xff00
                       && visual.data->blue_mask == 0xff;
        }
    }
    return false;
}

// Median lightness of the root window's pixels in `area`, for 24- and 32-bit
// true-colour screens (what every panel runs on today).
std::optional<double> medianLightness(xcb_connection_t *connection, const xcb_screen_t &screen, const QRect &area,
                                      const QRect &skip)
{
    if ((screen.root_depth != 24 && screen.root_depth != 32) || !isRgb888(connection, screen))
        return std::nullopt;
    const auto image = owned(xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen.root, static_cast<int16_t>(area.x()),
                      static_cast<int16_t>(area.y()), static_cast<uint16_t>(area.width()),
                      static_cast<uint16_t>(area.height()), ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < area.width() * area.height() * 4)
        return std::nullopt;
    const auto *pixels = reinterpret_cast<const uint32_t *>(xcb_get_image_data(image.get()));
    std::vector<double> values;
    values.reserve(static_cast<size_t>(area.width()) * static_cast<size_t>(area.height()));
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            if (skip.contains(area.x() + x, area.y() + y))
                continue;
            const uint32_t pixel = pixels[y * area.width() + x];
            values.push_back(lightness(((pixel >> 16) & 0xff) / 255.0, ((pixel >> 8) & 0xff) / 255.0,
                                       (pixel & 0xff) / 255.0));
        }
    }
    if (values.empty())
        return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The panel around the icon: a band one icon wide on every side, kept inside
// the window that holds the icon so the desktop beside a small tray does not
// count. A tray exactly the icon's size leaves only the icon's own pixels,
// which are mostly the panel showing through.
std::optional<bool> fromPanelPixels(xcb_connection_t *connection, const xcb_screen_t &screen, const QRect &icon)
{
    if (!icon.isValid())
        return std::nullopt;
    const QRect screenArea(0, 0, screen.width_in_pixels, screen.height_in_pixels);
    const std::optional<QRect> panel = topLevelUnder(connection, screen.root, icon.center());
    if (!panel)
        return std::nullopt;
    const QRect inside = panel->intersected(screenArea);
    QRect area = icon.adjusted(-icon.width(), -icon.height(), icon.width(), icon.height()).intersected(inside);
    QRect skip = icon;
    if (area.width() * area.height() <= icon.width() * icon.height()) {
        area = icon.intersected(inside);
        skip = QRect();
    }
    if (area.isEmpty())
        return std::nullopt;
    const std::optional<double> median = medianLightness(connection, screen, area, skip);
    if (!median)
        return std::nullopt;
    return *median < 0.5;
}

uint32_t firstCardinal(xcb_connection_t *connection, xcb_get_property_cookie_t cookie)
{
    const auto reply = owned(xcb_get_property_reply(connection, cookie, nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4)
        return 0;
    return *static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
}

struct Dock
{
    QRect frame;
    uint32_t process;
};

// The viewable dock windows (window managers may frame them, so their
// children count too), with the frame each is shown in. Requests go out in
// batches, so a desktop with many windows costs a few round trips, not one
// per window.
std::vector<Dock> dockWindows(xcb_connection_t *connection, xcb_window_t root)
{
    const xcb_atom_t pidAtom = internAtom(connection, "_NET_WM_PID");
    const xcb_atom_t typeAtom = internAtom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dockAtom = internAtom(connection, "_NET_WM_WINDOW_TYPE_DOCK");
    const auto tree = owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *topsBegin = xcb_query_tree_children(tree.get());
    const std::vector<xcb_window_t> tops(topsBegin, topsBegin + xcb_query_tree_children_length(tree.get()));

    std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
    std::vector<xcb_query_tree_cookie_t> treeCookies;
    for (xcb_window_t top : tops) {
        attributeCookies.push_back(xcb_get_window_attributes(connection, top));
        treeCookies.push_back(xcb_query_tree(connection, top));
    }
    struct Candidate
    {
        xcb_window_t window;
        xcb_window_t top;
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < tops.size(); ++i) {
        const auto attributes = owned(xcb_get_window_attributes_reply(connection, attributeCookies[i], nullptr));
        const auto inner = owned(xcb_query_tree_reply(connection, treeCookies[i], nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        candidates.push_back({tops[i], tops[i]});
        if (!inner)
            continue;
        const xcb_window_t *children = xcb_query_tree_children(inner.get());
        for (int c = 0; c < xcb_query_tree_children_length(inner.get()); ++c)
            candidates.push_back({children[c], tops[i]});
    }

    std::vector<xcb_get_property_cookie_t> typeCookies;
    for (const Candidate &candidate : candidates)
        typeCookies.push_back(xcb_get_property(connection, 0, candidate.window, typeAtom, XCB_ATOM_ATOM, 0, 1));
    std::vector<Candidate> dockCandidates;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (firstCardinal(connection, typeCookies[i]) == dockAtom)
            dockCandidates.push_back(candidates[i]);
    }

    std::vector<xcb_get_property_cookie_t> pidCookies;
    std::vector<xcb_get_geometry_cookie_t> geometryCookies;
    for (const Candidate &dock : dockCandidates) {
        pidCookies.push_back(xcb_get_property(connection, 0, dock.window, pidAtom, XCB_ATOM_CARDINAL, 0, 1));
        geometryCookies.push_back(xcb_get_geometry(connection, dock.top));
    }
    std::vector<Dock> docks;
    for (size_t i = 0; i < dockCandidates.size(); ++i) {
        const uint32_t pid = firstCardinal(connection, pidCookies[i]);
        const auto geometry = owned(xcb_get_geometry_reply(connection, geometryCookies[i], nullptr));
        if (geometry)
            docks.push_back({QRect(geometry->x, geometry->y, geometry->width, geometry->height), pid});
    }
    return docks;
}

// The panel among the dock windows: the one `process` shows, else the
// largest. The process owning the watcher need not draw the panel (Plasma's
// watcher lives in its daemon), and a desktop's panels share one theme.
std::optional<QRect> panelDock(xcb_connection_t *connection, xcb_window_t root, uint process)
{
    std::optional<QRect> own;
    std::optional<QRect> largest;
    for (const Dock &dock : dockWindows(connection, root)) {
        if (process != 0 && dock.process == process && !own)
            own = dock.frame;
        if (!largest || dock.frame.width() * dock.frame.height() > largest->width() * largest->height())
            largest = dock.frame;
    }
    return own ? own : largest;
}

// The host's panel as a whole: clock text, launchers and icons are a small
// share of its pixels, so the median is its background.
std::optional<bool> fromDockOf(xcb_connection_t *connection, const xcb_screen_t &screen, uint process)
{
    const std::optional<QRect> dock = panelDock(connection, screen.root, process);
    if (!dock)
        return std::nullopt;
    const QRect area = dock->intersected(QRect(0, 0, screen.width_in_pixels, screen.height_in_pixels));
    if (area.isEmpty())
        return std::nullopt;
    const std::optional<double> median = medianLightness(connection, screen, area, QRect());
    if (!median)
        return std::nullopt;
    return *median < 0.5;
}

} // namespace

X11TrayPanelProbe::X11TrayPanelProbe(QByteArray display)
    : m_display(std::move(display))
{
}

X11TrayPanelProbe::Connection X11TrayPanelProbe::connect(int &screen) const
{
    if (m_display.isEmpty())
        return Connection(nullptr, &xcb_disconnect);
    Connection connection(xcb_connect(m_display.constData(), &screen), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return Connection(nullptr, &xcb_disconnect);
    return connection;
}

std::optional<bool> X11TrayPanelProbe::panelIsDark(const QRect &icon, uint hostProcess)
{
    int screen = 0;
    const Connection connection = connect(screen);
    if (!connection)
        return std::nullopt;
    if (const std::optional<bool> hinted = fromTrayColours(connection.get(), screen))
        return hinted;
    const xcb_screen_t *root = screenNumber(connection.get(), screen);
    if (!root)
        return std::nullopt;
    if (icon.isValid())
        return fromPanelPixels(connection.get(), *root, icon);
    return fromDockOf(connection.get(), *root, hostProcess);
}

std::optional<QRect> X11TrayPanelProbe::panelHolding(const QPoint &point)
{
    int screen = 0;
    const Connection connection = connect(screen);
    if (!connection)
        return std::nullopt;
    const xcb_screen_t *root = screenNumber(connection.get(), screen);
    if (!root)
        return std::nullopt;
    for (const Dock &dock : dockWindows(connection.get(), root->root)) {
        if (dock.frame.contains(point))
            return dock.frame;
    }
    return std::nullopt;
}
