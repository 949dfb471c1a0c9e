// The main window's outline: a 580 x 411 rounded rectangle whose lower sides bend
// inwards below row 230, built from the region resources 137 and 138.
#pragma once

#include "platform/gdi/gdi_types.h"

// A new region the caller deletes. The resources must be registered.
HRGN BuildMainWindowOutline();
