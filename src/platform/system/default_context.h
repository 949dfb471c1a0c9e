// The process's default GLib main context. GIO's client of the desktop's file
// daemons hears there of mounts that went away, so somebody must run it; the
// toolkit's dialogs run there too, and the toolkit may only ever be used on the
// user-interface thread. So any thread may serve the context until the toolkit
// is started; from then on it is the user-interface thread's alone.
#pragma once

// Runs whatever is ready on the default context, unless the toolkit has it or
// another thread is running it.
void ServeDefaultContextIfFree();

// Called on the user-interface thread before the toolkit starts; waits for a
// round another thread is in to end.
void TakeDefaultContextForToolkit();

// Runs whatever is ready on the default context; only on the thread that took it.
void ServeTakenDefaultContext();
