// SPDX-License-Identifier: MIT
// Whether SDL can start on the Wayland compositor the session names. SDL 2.26 takes a seat (the
// compositor's keyboard and pointer) for granted: on a compositor that offers none, a headless
// one, its video start-up dereferences the missing seat and the process dies.
#pragma once

// True when a Wayland compositor answers and offers no seat.
bool WaylandCompositorWithoutSeat();
