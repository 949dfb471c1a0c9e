// GLib's state shared across the process, and the toolkit. GIO's client of the
// desktop's file daemons hears on the default main context of mounts that went
// away, so somebody must run it; the toolkit's dialogs run there too, and the
// toolkit may only ever be used on the user-interface thread. So any thread may
// serve the context until the toolkit is started; from then on it is the
// user-interface thread's alone. The desktop's volume monitor is one object for
// the whole process, its signals reaching whichever thread made it, so the
// thread that follows it holds still while a toolkit dialog (which watches the
// same monitor) is open.
#pragma once

#include <functional>

// Runs whatever is ready on the default context, unless the toolkit has it or
// another thread is running it.
void ServeDefaultContextIfFree();

// Called on the user-interface thread before the toolkit starts; waits for a
// round another thread is in to end.
void TakeDefaultContextForToolkit();

// Runs whatever is ready on the default context; only on the thread that took it.
void ServeTakenDefaultContext();

// The thread that follows the volume monitor: `hold` returns once it stands
// still, `release` lets it go on. One at a time; empty functions unregister.
void SetVolumeMonitorHold(std::function<void()> hold, std::function<void()> release);

// Holds that thread for as long as a toolkit dialog is open.
class VolumeMonitorHeld {
public:
    VolumeMonitorHeld();
    ~VolumeMonitorHeld();
    VolumeMonitorHeld(const VolumeMonitorHeld&) = delete;
    VolumeMonitorHeld& operator=(const VolumeMonitorHeld&) = delete;

private:
    std::function<void()> release_;
};
