// The Save-As dialog. The back end shows it (a real file chooser, or a scripted
// answer in headless runs); without one installed it is cancelled.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "window.h"

struct SaveAsRequest {
    CWnd* owner = nullptr;
    // "name|pattern|name|pattern||": pairs of a filter's name and its patterns
    // (several patterns separated by ";"), ended by an empty pair.
    std::string filter;
    std::string initialFolder;     // empty: the dialog chooses
    std::string fileName;          // proposed name, without folder
    std::string defaultExtension;  // added to a chosen name that has no extension
};

struct SaveAsAnswer {
    std::string path;  // empty: cancelled
    DWORD error = 0;   // why the dialog could not run (0: the user cancelled)
};

struct FileFilter {
    std::string name;
    std::vector<std::string> patterns;
};

using SaveAsHandler = std::function<SaveAsAnswer(const SaveAsRequest&)>;

// Installs the handler (empty removes it) and returns the previous one.
SaveAsHandler SetSaveAsHandler(SaveAsHandler handler);

// Runs the dialog; the chosen path gets the default extension when it has none.
SaveAsAnswer GetSaveFileName(const SaveAsRequest& request);

// The filters of a filter text; a name without patterns ends the list.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);
// `path` with ".extension" added when its file name has no extension of its own.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
