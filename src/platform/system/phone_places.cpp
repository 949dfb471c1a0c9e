#include "phone_places.h"

#include <gio/gio.h>
#include <gio/gunixmounts.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>

#include "default_context.h"
#include "glib_holders.h"

namespace {

constexpr guint kDefaultContextPeriodMs = 100;
// How long a toolkit dialog waits for the thread that follows the desktop to
// stand still.
constexpr auto kHoldWithin = std::chrono::seconds(2);

struct GFree {
    void operator()(void* data) const { g_free(data); }
};
using GText = std::unique_ptr<char, GFree>;

std::string Text(char* owned) {
    const GText text(owned);
    return text ? std::string(text.get()) : std::string();
}

// The session bus as GIO itself would find it, but never started on demand: a
// wizard run without a desktop must not leave a bus of its own behind.
bool BusAddressKnown() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return false;
    struct stat info;
    const std::string socket = std::string(runtime) + "/bus";
    return stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool CountsAsPhoneForTests(const std::string& scheme) {
    const char* schemes = std::getenv("OSTREL_TEST_PHONE_SCHEMES");
    if (!schemes) return false;
    std::stringstream list(schemes);
    for (std::string item; std::getline(list, item, ',');)
        if (!item.empty() && item == scheme) return true;
    return false;
}

std::optional<PhoneKind> KindOfScheme(const std::string& scheme) {
    if (scheme == "mtp" || scheme == "afc") return PhoneKind::kPhone;
    if (scheme == "gphoto2") return PhoneKind::kCamera;
    if (CountsAsPhoneForTests(scheme)) return PhoneKind::kPhone;
    return std::nullopt;
}

// A drive the desktop shows under /media and the like: not the root, not an
// optical disc, not a network file system mounted into the tree.
bool IsRemovableDrive(GFile* root) {
    const std::string path = Text(g_file_get_path(root));
    if (path.empty() || path == "/") return false;
    if (GUnixMountEntry* entry = g_unix_mount_at(path.c_str(), nullptr)) {
        const std::string type = g_unix_mount_get_fs_type(entry);
        g_unix_mount_free(entry);
        if (type == "iso9660" || type == "udf") return false;
    }
    GObjectPtr<GFileInfo> info(
        g_file_query_filesystem_info(root, G_FILE_ATTRIBUTE_FILESYSTEM_REMOTE, nullptr, nullptr));
    return info &&
           !g_file_info_get_attribute_boolean(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_REMOTE);
}

std::optional<PhonePlace> Classify(GMount* mount) {
    if (g_mount_is_shadowed(mount)) return std::nullopt;
    GObjectPtr<GFile> root(g_mount_get_root(mount));
    const std::string scheme = Text(g_file_get_uri_scheme(root.get()));
    std::optional<PhoneKind> kind = KindOfScheme(scheme);
    if (!kind && scheme == "file" && IsRemovableDrive(root.get())) kind = PhoneKind::kRemovable;
    if (!kind) return std::nullopt;
    return PhonePlace{Text(g_mount_get_name(mount)), *kind, Text(g_file_get_uri(root.get()))};
}

// The one thread that talks to the desktop's volume monitor. GVolumeMonitor is
// not thread-safe and delivers its signals to the main context it was made in, so
// it lives on a context of this thread's own (the process's default context stays
// free for the toolkit's dialogs), and everyone else asks through Call.
class DesktopThread {
public:
    static DesktopThread& Get() {
        static DesktopThread thread;
        return thread;
    }

    // Runs `work` on the desktop thread and waits for it.
    void Call(const std::function<void(GVolumeMonitor*)>& work) {
        struct Job {
            DesktopThread* owner;
            const std::function<void(GVolumeMonitor*)>* work;
            std::mutex mutex;
            std::condition_variable done;
            bool finished = false;
        } job{this, &work, {}, {}, false};
        // Held from here until the wait: the desktop thread takes it before it
        // touches the job, so what either side wrote is seen by the other.
        std::unique_lock lock(job.mutex);
        g_main_context_invoke(
            context_,
            [](gpointer data) -> gboolean {
                auto* job = static_cast<Job*>(data);
                std::lock_guard held(job->mutex);
                (*job->work)(job->owner->monitor_);
                job->finished = true;
                job->done.notify_all();
                return G_SOURCE_REMOVE;
            },
            &job);
        job.done.wait(lock, [&] { return job.finished; });
    }

    int AddWatch(HWND window, UINT message) {
        std::lock_guard lock(mutex_);
        watches_[++lastId_] = {window, message};
        return lastId_;
    }
    void RemoveWatch(int id) {
        std::lock_guard lock(mutex_);
        watches_.erase(id);
    }

private:
    DesktopThread() {
        context_ = g_main_context_new();
        loop_ = g_main_loop_new(context_, false);
        std::promise<void> ready;
        thread_ = std::thread([this, &ready] { Run(ready); });
        ready.get_future().wait();
        SetVolumeMonitorHold([this] { Hold(); }, [this] { Release(); });
    }
    ~DesktopThread() {
        SetVolumeMonitorHold(nullptr, nullptr);
        g_main_context_invoke(
            context_,
            [](gpointer loop) -> gboolean {
                g_main_loop_quit(static_cast<GMainLoop*>(loop));
                return G_SOURCE_REMOVE;
            },
            loop_);
        thread_.join();
        g_main_loop_unref(loop_);
        g_main_context_unref(context_);
    }

    void Run(std::promise<void>& ready) {
        g_main_context_push_thread_default(context_);
        // The desktop's remote monitors warn on stderr about each service the
        // session lacks (no disk service in a bare session); the wizard has no
        // use for that noise.
        g_log_set_handler(
            "GVFS-RemoteVolumeMonitor", G_LOG_LEVEL_WARNING,
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        monitor_ = g_volume_monitor_get();
        const auto changed = +[](GVolumeMonitor*, GMount*, gpointer self) {
            static_cast<DesktopThread*>(self)->Tell();
        };
        g_signal_connect(monitor_, "mount-added", G_CALLBACK(changed), this);
        g_signal_connect(monitor_, "mount-removed", G_CALLBACK(changed), this);
        // GIO's client of the desktop daemons hears of mounts that went away (and
        // forgets their stale connections) on the process's default context, which
        // nothing else here runs until a toolkit dialog takes it; it is served
        // between other work, never held.
        GSource* serve = g_timeout_source_new(kDefaultContextPeriodMs);
        g_source_set_callback(serve, ServeDefaultContext, nullptr, nullptr);
        g_source_attach(serve, context_);
        g_source_unref(serve);
        ready.set_value();
        g_main_loop_run(loop_);
        g_signal_handlers_disconnect_by_data(monitor_, this);
        g_object_unref(monitor_);
        g_main_context_pop_thread_default(context_);
    }

    static gboolean ServeDefaultContext(gpointer) {
        ServeDefaultContextIfFree();
        return G_SOURCE_CONTINUE;
    }

    // Parks the thread inside its loop, so that nothing of the monitor's runs
    // until Release. A thread busy for long is not waited for.
    void Hold() {
        std::unique_lock lock(holdMutex_);
        held_ = true;
        parked_ = false;
        g_main_context_invoke(context_, Park, this);
        holdChanged_.wait_for(lock, kHoldWithin, [this] { return parked_; });
    }
    static gboolean Park(gpointer data) {
        auto* self = static_cast<DesktopThread*>(data);
        std::unique_lock lock(self->holdMutex_);
        self->parked_ = true;
        self->holdChanged_.notify_all();
        self->holdChanged_.wait(lock, [self] { return !self->held_; });
        return G_SOURCE_REMOVE;
    }
    void Release() {
        {
            const std::lock_guard lock(holdMutex_);
            held_ = false;
        }
        holdChanged_.notify_all();
    }

    void Tell() {
        std::lock_guard lock(mutex_);
        for (const auto& [id, watch] : watches_)
            watch.first->PostMessage(watch.second);
    }

    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    GVolumeMonitor* monitor_ = nullptr;  // used on the thread only
    std::thread thread_;
    std::mutex mutex_;
    std::map<int, std::pair<HWND, UINT>> watches_;
    int lastId_ = 0;
    std::mutex holdMutex_;
    std::condition_variable holdChanged_;
    bool held_ = false;
    bool parked_ = false;
};

}  // namespace

bool DesktopSessionPresent() {
    static const bool present = [] {
        if (!BusAddressKnown()) return false;
        GError* error = nullptr;
        GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
        if (error) g_error_free(error);
        if (!bus) return false;
        g_object_unref(bus);
        return true;
    }();
    return present;
}

std::vector<PhonePlace> ListPhonePlaces() {
    std::vector<PhonePlace> places;
    if (!DesktopSessionPresent()) return places;
    DesktopThread::Get().Call([&](GVolumeMonitor* monitor) {
        GList* mounts = g_volume_monitor_get_mounts(monitor);
        for (GList* item = mounts; item; item = item->next)
            if (auto place = Classify(G_MOUNT(item->data))) places.push_back(*place);
        g_list_free_full(mounts, g_object_unref);
    });
    return places;
}

std::unique_ptr<PhonePlace> MountedPlaceOf(const std::string& uri) {
    if (!DesktopSessionPresent() || !g_uri_is_valid(uri.c_str(), G_URI_FLAGS_NONE, nullptr))
        return nullptr;
    std::unique_ptr<PhonePlace> place;
    DesktopThread::Get().Call([&](GVolumeMonitor*) {
        GObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
        GObjectPtr<GMount> mount(g_file_find_enclosing_mount(file.get(), nullptr, nullptr));
        if (!mount) return;
        GObjectPtr<GFile> root(g_mount_get_root(mount.get()));
        const std::string scheme = Text(g_file_get_uri_scheme(root.get()));
        // What the user names is taken as their phone, whatever the monitor calls it.
        const PhoneKind kind = KindOfScheme(scheme).value_or(
            scheme == "file" ? PhoneKind::kRemovable : PhoneKind::kPhone);
        place = std::make_unique<PhonePlace>(PhonePlace{Text(g_mount_get_name(mount.get())), kind,
                                                        Text(g_file_get_uri(file.get()))});
    });
    return place;
}

PhonePlacesWatch::PhonePlacesWatch(HWND window, UINT message) {
    if (DesktopSessionPresent()) id_ = DesktopThread::Get().AddWatch(window, message);
}

PhonePlacesWatch::~PhonePlacesWatch() {
    if (id_) DesktopThread::Get().RemoveWatch(id_);
}
