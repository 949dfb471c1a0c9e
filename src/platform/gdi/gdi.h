// The software GDI: everything the drawing code of this project calls.
#pragma once

#include "gdi_bitmap.h"
#include "gdi_dc.h"
#include "gdi_paint.h"
#include "gdi_region.h"
#include "gdi_text.h"
#include "gdi_types.h"
