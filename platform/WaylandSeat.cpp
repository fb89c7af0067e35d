// SPDX-License-Identifier: MIT
// Lists the compositor's globals once, on a connection of its own, before SDL connects.
#include "platform/WaylandSeat.h"

#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

namespace
{
void AddGlobal(void* seatFound, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    if (std::strcmp(interface, "wl_seat") == 0)
        *static_cast<bool*>(seatFound) = true;
}

void RemoveGlobal(void*, wl_registry*, uint32_t)
{
}

const wl_registry_listener GlobalsListener = {AddGlobal, RemoveGlobal};
}

bool WaylandCompositorWithoutSeat()
{
    // Without a runtime folder no compositor can be reached, by SDL either.
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr)
        return false;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    bool seatFound = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &GlobalsListener, &seatFound);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered && !seatFound;
}
