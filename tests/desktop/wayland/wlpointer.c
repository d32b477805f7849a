/* SPDX-License-Identifier: GPL-3.0-or-later
 * wlpointer WxH: a pointer for a headless wlroots compositor (sway), which has no input device of
 * its own. Reads one command a line on stdin: "abs X Y" (output layout coordinates), "down", "up"
 * (the left button). */
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <stdio.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

static struct zwlr_virtual_pointer_manager_v1* manager;

static void global(void* data, struct wl_registry* r, uint32_t name, const char* iface, uint32_t v)
{
    (void)data;
    (void)v;
    if (!strcmp(iface, zwlr_virtual_pointer_manager_v1_interface.name))
        manager = wl_registry_bind(r, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}
static void global_remove(void* data, struct wl_registry* r, uint32_t name)
{
    (void)data;
    (void)r;
    (void)name;
}
static const struct wl_registry_listener listener = { global, global_remove };

static uint32_t now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (uint32_t)(t.tv_sec * 1000 + t.tv_nsec / 1000000);
}

int main(int argc, char** argv)
{
    unsigned w, h;
    if (argc != 2 || sscanf(argv[1], "%ux%u", &w, &h) != 2) {
        fprintf(stderr, "usage: wlpointer WIDTHxHEIGHT < commands\n");
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "wlpointer: no Wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (!manager) {
        fprintf(stderr, "wlpointer: the compositor has no virtual pointers\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* p
        = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
    wl_display_roundtrip(display);
    fprintf(stderr, "wlpointer: ready\n");
    char line[128];
    unsigned x, y;
    while (fgets(line, sizeof line, stdin)) {
        if (sscanf(line, "abs %u %u", &x, &y) == 2)
            zwlr_virtual_pointer_v1_motion_absolute(p, now_ms(), x, y, w, h);
        else if (!strncmp(line, "down", 4) || !strncmp(line, "up", 2))
            zwlr_virtual_pointer_v1_button(p, now_ms(), 272 /* BTN_LEFT */, line[0] == 'd');
        else
            continue;
        zwlr_virtual_pointer_v1_frame(p);
        wl_display_roundtrip(display);
    }
    wl_display_disconnect(display);
    return 0;
}
