// The parts of statements that need nothing but the line's own tokens: action
// lists and the drawing and pointer items.
#pragma once

#include <string>

#include "movie.h"
#include "token_cursor.h"

namespace player {

// Actions separated by ';' up to the end of the line; at least one.
bool ParseActions(TokenCursor& cursor, ActionList& actions);

// True when `keyword` starts an item this file parses (all but `use` and `place`).
bool IsDrawingItem(const std::string& keyword);
// The item after its keyword, to the end of the line.
bool ParseDrawingItem(const std::string& keyword, TokenCursor& cursor, Item& item);

}  // namespace player
