// The 16 x 16 icons of the folder tree, drawn with rectangles so that every
// place kind is told apart at a glance.
#pragma once

#include "folder_places.h"
#include "platform/gdi/gdi_types.h"

void DrawPlaceIcon(HDC hdc, PlaceKind kind, int x, int y);
