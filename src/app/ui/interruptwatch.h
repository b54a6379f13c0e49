// SPDX-License-Identifier: MIT
// The window program's end on SIGTERM, SIGINT or SIGHUP: the handlers only raise InterruptFlag; this polls
// it on the user-interface thread and, once it is raised, ends every event loop of the program, the
// main window's and any box's included (a question so ended answers No). A run under way has stopped
// itself at its next step by then (see ProgressWindow), so nothing temporary is left behind.
#pragma once

class QObject;

namespace aw {

// Installs the handlers and the poll; the poll lives as long as `owner`.
void WatchForInterrupt(QObject& owner);

} // namespace aw
