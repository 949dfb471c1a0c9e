// Numbers the movie sends as command arguments.
#pragma once

#include <string>

// The argument's leading decimal integer (blanks and a sign may precede the
// digits); 0 when it has none. Values past the int range stop at its ends.
int LeadingInteger(const std::string& text);
