// The one thread that sends through the desktop. GIO's client keeps its
// connections to the desktop's daemons per thread and drops what it knows of a
// mount when such a connection closes; a thread that ended would take that news
// with it, and a phone plugged in again would still be looked for at its old
// daemon. So every send runs on this thread, which lives as long as the process.
#pragma once

#include <functional>

// Runs `work` there and returns when it has returned.
void RunOnSendThread(const std::function<void()>& work);
