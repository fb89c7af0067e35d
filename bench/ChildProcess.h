// SPDX-License-Identifier: MIT
// The offscreen surface keeps the size it was made with, so a run at another size, or one that
// must not inherit another's state, is made in a process of its own: forked before any video or
// GL state exists in this one, handing its results back through a pipe.
#pragma once

#include <functional>

// Runs `work` in a forked child, with the pipe's writing end, while `receive` reads from its
// other end here. SIGINT and SIGTERM sent to this process go on to the child, which stops as a
// run does. Returns the child's exit status; 1 where it could not be started, did not exit, or
// exited with 0 although `receive` failed.
int RunInChildProcess(const std::function<int(int channel)>& work, const std::function<bool(int channel)>& receive);

// `status`, or 1 where it is 0 but what was printed could not all reach standard output (a full
// disk, a closed pipe), which is then said on standard error: a report cut short is no success.
int StatusAfterFlushingReport(int status);
