#include "desktop_save_as.h"

#include "xlib.h"

#include <FL/Fl.H>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "gtk_save_as.h"
#include "platform/portal/portal_save_as.h"
#include "platform/system/default_context.h"
#include "platform/system/user_folders.h"
#include "platform/window/message_loop.h"
#include "platform/window/trace.h"
#include "x11_backend.h"

namespace {

constexpr auto kPortalAnswersWithin = std::chrono::seconds(2);
// How often the toolkit's context is run once the chooser has started it.
constexpr double kServeToolkitEvery = 0.1;
constexpr const char* kTitle = "Save As";
// The common dialog's "the dialog could not run" code.
constexpr DWORD kDialogFailure = 0xFFFF;

using Filters = std::vector<std::pair<std::string, std::vector<std::string>>>;

Filters FiltersOf(const std::string& filterText) {
    Filters filters;
    for (const FileFilter& filter : ParseFileFilter(filterText))
        filters.emplace_back(filter.name, filter.patterns);
    return filters;
}

HWND TopLevelOf(HWND window) {
    while (window && window->GetParent())
        window = window->GetParent();
    return window;
}

// The owner's top-level window takes no input while the dialog is open.
class OwnerDisabled {
public:
    explicit OwnerDisabled(CWnd* owner) : owner_(TopLevelOf(owner)) {
        if (owner_ && (!IsWindow(owner_) || !owner_->IsWindowEnabled())) owner_ = nullptr;
        if (owner_) owner_->EnableWindow(false);
    }
    ~OwnerDisabled() {
        if (owner_ && IsWindow(owner_)) owner_->EnableWindow(true);
    }
    OwnerDisabled(const OwnerDisabled&) = delete;
    OwnerDisabled& operator=(const OwnerDisabled&) = delete;

private:
    CWnd* owner_;
};

// The portal's answer, the wizard's messages handled meanwhile; nothing when no
// portal took the question. Quitting meanwhile closes the dialog as cancelled.
std::optional<SaveAsAnswer> AskPortal(const PortalSaveQuestion& question) {
    const std::shared_ptr<MessageQueue> queue = MessageQueue::Current();
    PortalSaveAs portal(question, kPortalAnswersWithin, [queue] {
        queue->Post(MSG{nullptr, WM_NULL, 0, 0, 0});
    });
    if (!RunLoopUntil([&] { return portal.Outcome() != PortalOutcome::kWaiting; }))
        return SaveAsAnswer{};
    switch (portal.Outcome()) {
        case PortalOutcome::kChosen:
            return SaveAsAnswer{portal.Path(), 0};
        case PortalOutcome::kCancelled:
            if (!portal.Problem().empty()) Trace("save as: " + portal.Problem());
            return SaveAsAnswer{};
        default:
            Trace("save as without a portal: " + portal.Problem());
            return std::nullopt;
    }
}

// The toolkit keeps the process's default context from its start on: it is run
// here, on the wizard's thread, as the phones' thread ran it before.
void ServeToolkitContext(void*) {
    ServeTakenDefaultContext();
    Fl::repeat_timeout(kServeToolkitEvery, ServeToolkitContext);
}

SaveAsAnswer AskGtk(const GtkSaveQuestion& question) {
    // The toolkit redraws the wizard's windows from their surfaces as they are
    // uncovered; the wizard's own messages wait for the chooser to close.
    const std::optional<std::string> chosen =
        RunGtkSaveAs(question, fl_display, [] { Fl::check(); });
    if (!Fl::has_timeout(ServeToolkitContext))
        Fl::add_timeout(kServeToolkitEvery, ServeToolkitContext);
    if (!chosen) return SaveAsAnswer{"", kDialogFailure};
    return SaveAsAnswer{*chosen, 0};
}

}  // namespace

std::string PortalParentOf(unsigned long xid) {
    if (!xid) return "";
    char text[32];
    std::snprintf(text, sizeof text, "x11:%lx", xid);
    return text;
}

std::string StartFolder(const std::string& wanted) {
    std::error_code error;
    if (!wanted.empty() && std::filesystem::is_directory(wanted, error))
        return std::filesystem::absolute(wanted, error).string();
    const std::string home = CurrentUserFolders().home;
    return !home.empty() ? home : std::filesystem::current_path(error).string();
}

SaveAsAnswer ShowDesktopSaveAs(X11Backend& backend, const SaveAsRequest& request) {
    const std::string folder = StartFolder(request.initialFolder);
    const Window parent = backend.XidOf(request.owner);
    const Filters filters = FiltersOf(request.filter);
    const OwnerDisabled disabled(request.owner);
    Trace("save as in " + folder + " proposing " + request.fileName);
    std::optional<SaveAsAnswer> answer = AskPortal(
        PortalSaveQuestion{PortalParentOf(parent), kTitle, request.fileName, folder, filters});
    if (!answer)
        answer = AskGtk(GtkSaveQuestion{parent, kTitle, folder, request.fileName, filters});
    if (!answer->path.empty()) Trace("save as answered " + answer->path);
    return *answer;
}
