#include <mutex>

#include "window_icon.h"

namespace {

std::mutex g_mutex;
IconLoader g_loader;

}  // namespace

IconLoader SetIconLoader(IconLoader loader) {
    std::lock_guard lock(g_mutex);
    std::swap(g_loader, loader);
    return loader;
}

HICON LoadIcon(int id) {
    IconLoader loader;
    {
        std::lock_guard lock(g_mutex);
        loader = g_loader;
    }
    return loader ? loader(id) : nullptr;
}
