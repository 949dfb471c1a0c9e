#include <FL/Fl_Native_File_Chooser.H>

#include <cstdlib>
#include <filesystem>

#include "fltk_dialogs.h"
#include "platform/system/user_folders.h"
#include "platform/window/trace.h"

namespace {

// The common dialog's "the dialog could not run" code.
constexpr DWORD kDialogFailure = 0xFFFF;

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n') c = ' ';
    }
    return text;
}

// "*.png" patterns only: their extensions; empty when any pattern is of another form.
std::vector<std::string> Extensions(const std::vector<std::string>& patterns) {
    std::vector<std::string> out;
    for (const std::string& p : patterns) {
        if (p.size() < 3 || p.compare(0, 2, "*.") != 0 ||
            p.find_first_of("*?[]{},", 2) != std::string::npos)
            return {};
        out.push_back(p.substr(2));
    }
    return out;
}

std::string PatternText(const std::vector<std::string>& patterns) {
    if (patterns.size() == 1) return OneLine(patterns.front());
    const std::vector<std::string> extensions = Extensions(patterns);
    if (extensions.empty()) return "*";
    std::string joined;
    for (const std::string& e : extensions)
        joined += (joined.empty() ? "" : ",") + e;
    return "*.{" + joined + "}";
}

std::string StartFolder(const std::string& wanted) {
    std::error_code error;
    if (!wanted.empty() && std::filesystem::is_directory(wanted, error))
        return std::filesystem::absolute(wanted, error).string();
    const std::string home = CurrentUserFolders().home;
    return !home.empty() ? home : std::filesystem::current_path(error).string();
}

}  // namespace

std::string FltkFilterText(const std::vector<FileFilter>& filters) {
    std::string text;
    for (const FileFilter& filter : filters) {
        if (filter.patterns.empty()) continue;
        if (!text.empty()) text += "\n";
        text += OneLine(filter.name) + "\t" + PatternText(filter.patterns);
    }
    return text;
}

std::string PresetPath(const std::string& folder, const std::string& fileName) {
    if (fileName.empty()) return "";
    if (fileName.front() == '/') return fileName;
    return (std::filesystem::path(folder) / fileName).string();
}

SaveAsAnswer ShowFltkSaveAs(const SaveAsRequest& request) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.title("Save As");
    const std::string filter = FltkFilterText(ParseFileFilter(request.filter));
    if (!filter.empty()) chooser.filter(filter.c_str());
    const std::string folder = StartFolder(request.initialFolder);
    chooser.directory(folder.c_str());
    const std::string preset = PresetPath(folder, request.fileName);
    if (!preset.empty()) chooser.preset_file(preset.c_str());
    // The caller asks no question before replacing a file.
    chooser.options(Fl_Native_File_Chooser::NO_OPTIONS);
    Trace("save as in " + folder + " proposing " + request.fileName);
    switch (chooser.show()) {
        case 0: {
            const std::string chosen = chooser.filename() ? chooser.filename() : "";
            Trace("save as answered " + chosen);
            return SaveAsAnswer{chosen, 0};
        }
        case 1:
            return SaveAsAnswer{};
        default:
            return SaveAsAnswer{"", kDialogFailure};
    }
}
