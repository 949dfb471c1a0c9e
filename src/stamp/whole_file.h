// Writing a file whole or not at all, so that a full or read-only disk never
// leaves half a stamp behind, nor destroys the stamp written before it.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Lets `write` fill a new file beside `path`, flushes it to the disk and renames it
// over `path`. On any failure the new file is removed and `path` stays as it was.
// Answers 0 when the file is in place, the system's error number when the system
// refused (creating, writing, flushing or renaming), and -1 when `write` itself
// gave up without the system refusing.
int WriteWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& write);
