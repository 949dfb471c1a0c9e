#include "file_dialog.h"

#include <mutex>

namespace {

std::mutex g_mutex;
SaveAsHandler g_handler;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

}  // namespace

SaveAsHandler SetSaveAsHandler(SaveAsHandler handler) {
    std::lock_guard lock(g_mutex);
    std::swap(g_handler, handler);
    return handler;
}

SaveAsAnswer GetSaveFileName(const SaveAsRequest& request) {
    SaveAsHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (!handler) return SaveAsAnswer{};
    SaveAsAnswer answer = handler(request);
    if (!answer.path.empty())
        answer.path = WithDefaultExtension(answer.path, request.defaultExtension);
    return answer;
}

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<FileFilter> filters;
    const std::vector<std::string> parts = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty()) break;
        FileFilter entry{parts[i], {}};
        for (const std::string& pattern : Split(parts[i + 1], ';')) {
            if (!pattern.empty()) entry.patterns.push_back(pattern);
        }
        filters.push_back(std::move(entry));
    }
    return filters;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.rfind('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + extension;
}
