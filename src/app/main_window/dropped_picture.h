// Which of the files dropped on the wizard, or handed over by another start, it
// opens: the first picture among them.
#pragma once

#include <string>
#include <vector>

// The first plain file whose name the picture reader knows; without one, the
// first name, so that the browser page says what is wrong with it (or, for a
// folder, shows it). Empty for an empty list.
std::string PictureToOpen(const std::vector<std::string>& paths);
