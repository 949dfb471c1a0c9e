#include "dialog_template.h"

#include <map>
#include <memory>
#include <mutex>

namespace {

struct Tables {
    std::mutex mutex;
    std::map<int, std::unique_ptr<DialogTemplate>> dialogs;
    std::map<int, std::string> strings;
};

Tables& tables() {
    static Tables t;
    return t;
}

constexpr LONG kCharWidth = 6;
constexpr LONG kCharHeight = 13;

}  // namespace

void RegisterDialogTemplate(DialogTemplate dialog) {
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const int id = dialog.id;
    t.dialogs[id] = std::make_unique<DialogTemplate>(std::move(dialog));
}

const DialogTemplate* FindDialogTemplate(int id) {
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const auto it = t.dialogs.find(id);
    return it == t.dialogs.end() ? nullptr : it->second.get();
}

RECT DialogUnitsToPixels(const RECT& units) {
    auto x = [](LONG u) { return u * kCharWidth / 4; };
    auto y = [](LONG u) { return u * kCharHeight / 8; };
    return RECT{x(units.left), y(units.top), x(units.right), y(units.bottom)};
}

void RegisterString(int id, std::string text) {
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    t.strings[id] = std::move(text);
}

std::string LoadString(int id) {
    Tables& t = tables();
    std::lock_guard lock(t.mutex);
    const auto it = t.strings.find(id);
    return it == t.strings.end() ? std::string() : it->second;
}
