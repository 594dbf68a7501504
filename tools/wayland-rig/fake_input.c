/* Presses keys and moves and clicks the pointer in a KWin Wayland session
 * through KWin's fake input protocol (org_kde_kwin_fake_input).
 *   fake_input move X Y | click [1|2|3] | key LINUX_KEYCODE | pause SECONDS ...
 * Buttons as xdotool numbers them: 1 left, 2 middle, 3 right. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

enum { BTN_LEFT = 0x110, BTN_RIGHT = 0x111, BTN_MIDDLE = 0x112 };

static struct org_kde_kwin_fake_input *input;

static void announced(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                      uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0)
        input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, version < 4 ? version : 4);
}

static void withdrawn(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener listener = {announced, withdrawn};

static uint32_t button(const char *number)
{
    return strcmp(number, "3") == 0 ? BTN_RIGHT : strcmp(number, "2") == 0 ? BTN_MIDDLE : BTN_LEFT;
}

int main(int argc, char **argv)
{
    struct wl_display *display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "fake_input: no Wayland display\n");
        return 1;
    }
    struct wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    wl_display_roundtrip(display);
    if (!input) {
        fprintf(stderr, "fake_input: the compositor offers no fake input\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "pendra wayland rig", "clicks for screenshots");
    for (int i = 1; i < argc; ++i) {
        const char *action = argv[i];
        if (strcmp(action, "move") == 0 && i + 2 < argc) {
            org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_int(atoi(argv[i + 1])),
                                                            wl_fixed_from_int(atoi(argv[i + 2])));
            i += 2;
        } else if (strcmp(action, "click") == 0 && i + 1 < argc) {
            const uint32_t code = button(argv[++i]);
            org_kde_kwin_fake_input_button(input, code, WL_POINTER_BUTTON_STATE_PRESSED);
            wl_display_roundtrip(display);
            usleep(40000);
            org_kde_kwin_fake_input_button(input, code, WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (strcmp(action, "key") == 0 && i + 1 < argc) {
            const uint32_t code = (uint32_t)atoi(argv[++i]);
            org_kde_kwin_fake_input_keyboard_key(input, code, WL_KEYBOARD_KEY_STATE_PRESSED);
            wl_display_roundtrip(display);
            org_kde_kwin_fake_input_keyboard_key(input, code, WL_KEYBOARD_KEY_STATE_RELEASED);
        } else if (strcmp(action, "pause") == 0 && i + 1 < argc) {
            wl_display_roundtrip(display);
            usleep((useconds_t)(atof(argv[++i]) * 1e6));
        } else {
            fprintf(stderr, "fake_input: cannot do '%s'\n", action);
            return 2;
        }
        wl_display_roundtrip(display);
    }
    wl_display_disconnect(display);
    return 0;
}
