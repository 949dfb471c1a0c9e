// The name lists of a shell file operation: blocks of zero-terminated names ended by
// an extra zero, and which target each source goes to.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell_file_operation.h"

std::vector<std::string> SplitNameBlock(const char* block);

// Where source number `index` goes: the targets pairwise with FOF_MULTIDESTFILES
// (sources past the last target go to the first), else the first target for all; a
// target that is a folder receives the source's own name, except when renaming.
// `targets` is not empty.
std::string TargetFor(const std::string& source, const std::vector<std::string>& targets,
                      std::size_t index, UINT func, FILEOP_FLAGS flags,
                      const std::function<bool(const std::string&)>& isFolder);
