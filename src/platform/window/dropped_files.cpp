#include "dropped_files.h"

#include <map>
#include <mutex>
#include <set>

namespace {

// Drops whose message was never handled (the window went, a modal loop threw
// them away) would pile up: only the newest few are kept.
constexpr std::size_t kMaxPendingDrops = 8;

struct DropTable {
    std::mutex mutex;
    std::map<HDROP, std::vector<std::string>> pending;  // by age: handles only grow
    HDROP next = 1;
    std::set<CWnd*> accepting;
};

DropTable& Table() {
    static DropTable table;
    return table;
}

HDROP Keep(std::vector<std::string> paths) {
    DropTable& table = Table();
    std::lock_guard lock(table.mutex);
    while (table.pending.size() >= kMaxPendingDrops)
        table.pending.erase(table.pending.begin());
    const HDROP drop = table.next++;
    table.pending.emplace(drop, std::move(paths));
    return drop;
}

}  // namespace

// A window gone keeps no place: another made at its address later must ask anew.
void DragAcceptFiles(CWnd* window, bool accept) {
    if (accept && !IsWindow(window)) return;
    DropTable& table = Table();
    std::lock_guard lock(table.mutex);
    if (accept)
        table.accepting.insert(window);
    else
        table.accepting.erase(window);
}

bool AcceptsDroppedFiles(CWnd* window) {
    if (!IsWindow(window) || !window->IsWindowEnabled()) return false;
    DropTable& table = Table();
    std::lock_guard lock(table.mutex);
    return table.accepting.count(window) != 0;
}

bool DropFiles(CWnd* window, std::vector<std::string> paths) {
    if (paths.empty() || !AcceptsDroppedFiles(window)) return false;
    return PostDroppedFiles(window, std::move(paths));
}

bool PostDroppedFiles(CWnd* window, std::vector<std::string> paths) {
    const HDROP drop = Keep(std::move(paths));
    if (window->PostMessage(WM_DROPFILES, drop, 0)) return true;
    DragFinish(drop);
    return false;
}

std::vector<std::string> DragQueryFiles(HDROP drop) {
    DropTable& table = Table();
    std::lock_guard lock(table.mutex);
    const auto it = table.pending.find(drop);
    return it == table.pending.end() ? std::vector<std::string>{} : it->second;
}

void DragFinish(HDROP drop) {
    DropTable& table = Table();
    std::lock_guard lock(table.mutex);
    table.pending.erase(drop);
}
