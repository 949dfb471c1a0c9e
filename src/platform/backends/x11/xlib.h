// Xlib and the toolkit's X interface for the back end. Xutil.h names a type
// Region, as the software GDI does; here X's is called XRegionHandle, so both can
// be used in one file. Include this before any other X header.
#pragma once

#define Region XRegionHandle
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#undef Region
