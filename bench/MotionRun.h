// SPDX-License-Identifier: MIT
// merrowind-bench --motion: how much of what changes between the frames of a sideways walk is
// the walk's own change, against a reference drawn at 4 x 4 the pixels and averaged down.
//
//   merrowind-bench --motion [--views NAME,NAME...] [--steps N] [--picture specified,best]
//
// Each view's walk takes N steps (5 by default, at most 60) of 0.2 units a frame, to the right of
// the view and level, with the water's moment held still, in each picture setting listed (both by
// default); the reference is drawn once a view, in the specified picture. The default views are
// hillside_lake, into_sun, along_lake and open_water. Exit status: 0 measured; 1 a walk could not be drawn;
// 2 the usage; 4 stopped by SIGINT or SIGTERM.
#pragma once

// argv[0] is "--motion".
int RunMotion(int argc, char** argv);
