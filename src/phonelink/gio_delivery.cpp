#include "gio_delivery.h"

#include <algorithm>
#include <random>
#include <thread>

#include "platform/system/glib_holders.h"
#include "send_thread.h"

namespace {

// Room kept free beyond the file itself, as for the storage folder.
constexpr std::uint64_t kSpareBytes = 4096;

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a GIO failure means for the user.
DeliveryError ErrorOf(const GError* error) {
    if (error->domain == G_DBUS_ERROR) return DeliveryError::kNotConnected;  // its daemon is gone
    if (error->domain != G_IO_ERROR) return DeliveryError::kCopyFailed;
    switch (error->code) {
        case G_IO_ERROR_NO_SPACE:
            return DeliveryError::kNoSpace;
        case G_IO_ERROR_PERMISSION_DENIED:
        case G_IO_ERROR_READ_ONLY:
            return DeliveryError::kPermission;
        case G_IO_ERROR_NOT_SUPPORTED:
            return DeliveryError::kNotSupported;
        case G_IO_ERROR_CANCELLED:
            return DeliveryError::kCancelled;
        case G_IO_ERROR_NOT_MOUNTED:
        case G_IO_ERROR_CLOSED:
        case G_IO_ERROR_BROKEN_PIPE:
        case G_IO_ERROR_NOT_CONNECTED:
        case G_IO_ERROR_CONNECTION_REFUSED:
        case G_IO_ERROR_HOST_NOT_FOUND:
        case G_IO_ERROR_HOST_UNREACHABLE:
        case G_IO_ERROR_NETWORK_UNREACHABLE:
        case G_IO_ERROR_TIMED_OUT:
            return DeliveryError::kNotConnected;
        default:
            return DeliveryError::kCopyFailed;
    }
}

std::string TemporaryName(const std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::string suffix(6, 'x');
    for (char& c : suffix)
        c = kLetters[random() % (sizeof kLetters - 1)];
    return "." + name + ".part-" + suffix;
}

class DesktopDelivery {
public:
    DesktopDelivery(const DeliveryRequest& request, const DeliveryProgress& progress)
        : request_(request), progress_(progress) {}
    ~DesktopDelivery() { Undo(); }

    DeliveryResult Run() {
        result_.name = BaseName(request_.source);
        if (result_.name.empty()) return Fail(DeliveryError::kFileMissing);
        std::vector<std::uint8_t> bytes;
        if (const DeliveryError e = ReadStamp(request_.source, bytes); e != DeliveryError::kNone)
            return Fail(e);
        size_ = bytes.size();
        place_.reset(g_file_new_for_uri(request_.phoneUri.c_str()));
        if (const DeliveryError e = FindStorage(); e != DeliveryError::kNone) return Fail(e);
        if (const DeliveryError e = MakeFolder(); e != DeliveryError::kNone) return Fail(e);
        if (!HasRoom()) return Fail(DeliveryError::kNoSpace);
        if (const DeliveryError e = CopyTemporary(); e != DeliveryError::kNone) return Fail(e);
        if (const DeliveryError e = PutInPlace(); e != DeliveryError::kNone) return Fail(e);
        result_.bytes = size_;
        if (progress_) progress_(size_, size_);
        return result_;
    }

private:
    GCancellable* Cancellable() const {
        return request_.stop ? request_.stop->Cancellable() : nullptr;
    }

    // Failures after an unplug come back from the backend as anything at all; a
    // phone that no longer answers at its own root is simply not connected.
    DeliveryResult Fail(DeliveryError error) {
        if ((error == DeliveryError::kCopyFailed || error == DeliveryError::kFolderNotMade) &&
            place_ && !Answers(place_.get()))
            error = DeliveryError::kNotConnected;
        result_.error = error;
        result_.target.clear();
        Undo();
        return result_;
    }

    DeliveryError Failed(const GError* error) {
        if (error && error->domain == G_DBUS_ERROR) staleDaemon_ = true;
        return error ? ErrorOf(error) : DeliveryError::kCopyFailed;
    }

    static bool Answers(GFile* file) {
        GObjectPtr<GFileInfo> info(g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_TYPE,
                                                     G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
        return static_cast<bool>(info);
    }

    // An MTP device's root refuses writes (gvfs 1.50): its storages are the
    // folders below it, so the first one that takes writes is used.
    DeliveryError FindStorage() {
        CaughtError error;
        GObjectPtr<GFileInfo> info(g_file_query_info(place_.get(), G_FILE_ATTRIBUTE_STANDARD_TYPE,
                                                     G_FILE_QUERY_INFO_NONE, Cancellable(),
                                                     error.Out()));
        if (!info) {
            const DeliveryError e = Failed(error.Get());
            return e == DeliveryError::kCancelled ? e : DeliveryError::kNotConnected;
        }
        const std::string scheme = TakeText(g_file_get_uri_scheme(place_.get()));
        GObjectPtr<GFile> parent(g_file_get_parent(place_.get()));
        storage_.reset(G_FILE(g_object_ref(place_.get())));
        if (scheme != "mtp" || parent) return DeliveryError::kNone;
        if (GObjectPtr<GFile> writable = FirstWritableStorage()) storage_ = std::move(writable);
        return DeliveryError::kNone;
    }

    GObjectPtr<GFile> FirstWritableStorage() {
        GObjectPtr<GFileEnumerator> children(g_file_enumerate_children(
            place_.get(), "standard::name,standard::type,access::can-write", G_FILE_QUERY_INFO_NONE,
            Cancellable(), nullptr));
        for (GFileInfo* info = nullptr; children;) {
            if (!g_file_enumerator_iterate(children.get(), &info, nullptr, Cancellable(),
                                           nullptr) ||
                !info)
                break;
            if (g_file_info_get_file_type(info) != G_FILE_TYPE_DIRECTORY) continue;
            if (g_file_info_has_attribute(info, G_FILE_ATTRIBUTE_ACCESS_CAN_WRITE) &&
                !g_file_info_get_attribute_boolean(info, G_FILE_ATTRIBUTE_ACCESS_CAN_WRITE))
                continue;
            return GObjectPtr<GFile>(g_file_get_child(place_.get(), g_file_info_get_name(info)));
        }
        return {};
    }

    DeliveryError MakeFolder() {
        std::vector<std::string> parts;
        folder_.reset(G_FILE(g_object_ref(storage_.get())));
        if (!SplitPhoneFolder(request_.phoneFolder, parts)) return FolderNotMade();
        for (const std::string& part : parts) {
            folder_.reset(g_file_get_child(folder_.get(), part.c_str()));
            CaughtError error;
            if (g_file_make_directory(folder_.get(), Cancellable(), error.Out())) {
                made_.emplace_back(G_FILE(g_object_ref(folder_.get())));
                continue;
            }
            // Not every backend says "exists" (FTP says only that it failed).
            if (g_file_query_file_type(folder_.get(), G_FILE_QUERY_INFO_NONE, Cancellable()) ==
                G_FILE_TYPE_DIRECTORY)
                continue;
            const DeliveryError e = Failed(error.Get());
            return e == DeliveryError::kCopyFailed ? FolderNotMade() : e;
        }
        return DeliveryError::kNone;
    }

    DeliveryError FolderNotMade() {
        result_.name = request_.phoneFolder;
        return DeliveryError::kFolderNotMade;
    }

    // Phones that report their free space are asked first; the others are
    // trusted to say when they are full.
    bool HasRoom() const {
        GObjectPtr<GFileInfo> info(g_file_query_filesystem_info(
            folder_.get(), G_FILE_ATTRIBUTE_FILESYSTEM_FREE, Cancellable(), nullptr));
        if (!info || !g_file_info_has_attribute(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_FREE))
            return true;
        const std::uint64_t free =
            g_file_info_get_attribute_uint64(info.get(), G_FILE_ATTRIBUTE_FILESYSTEM_FREE);
        return free == 0 || free >= size_ + kSpareBytes;
    }

    // g_file_copy pushes the local file in one piece: stream writes (and FUSE
    // writes) need a vendor extension many MTP phones lack.
    DeliveryError CopyTemporary() {
        RemoveLeftovers();
        GObjectPtr<GFile> source(g_file_new_for_path(request_.source.c_str()));
        temporary_.reset(g_file_get_child(folder_.get(), TemporaryName(result_.name).c_str()));
        if (progress_) progress_(0, size_);
        CaughtError error;
        const bool copied =
            g_file_copy(source.get(), temporary_.get(), G_FILE_COPY_NONE, Cancellable(),
                        &DesktopDelivery::OnProgress, this, error.Out());
        if (!copied) return Failed(error.Get());
        if (request_.stop && request_.stop->Requested()) return DeliveryError::kCancelled;
        return DeliveryError::kNone;
    }

    // Temporary files of this stamp that an earlier send could not take away (the
    // phone was pulled out mid-copy) go now that it answers again.
    void RemoveLeftovers() {
        const std::string prefix = "." + result_.name + ".part-";
        GObjectPtr<GFileEnumerator> children(
            g_file_enumerate_children(folder_.get(), G_FILE_ATTRIBUTE_STANDARD_NAME,
                                      G_FILE_QUERY_INFO_NONE, Cancellable(), nullptr));
        std::vector<std::string> leftovers;
        for (GFileInfo* info = nullptr; children;) {
            if (!g_file_enumerator_iterate(children.get(), &info, nullptr, Cancellable(),
                                           nullptr) ||
                !info)
                break;
            const std::string name = g_file_info_get_name(info);
            if (name.size() == prefix.size() + 6 && name.starts_with(prefix))
                leftovers.push_back(name);
        }
        for (const std::string& name : leftovers) {
            GObjectPtr<GFile> file(g_file_get_child(folder_.get(), name.c_str()));
            g_file_delete(file.get(), nullptr, nullptr);
        }
    }

    // GIO tells progress as the copy goes, as often as the backend likes. With a
    // "Chunk Delay" the copy is held here chunk by chunk (the data is with the
    // backend, not yet closed on the phone), so demos and tests can watch the bar
    // move and pull the phone out mid-copy whatever the backend's piece size.
    static void OnProgress(goffset current, goffset, gpointer self) {
        static_cast<DesktopDelivery*>(self)->Paced(
            static_cast<std::uint64_t>(std::max<goffset>(0, current)));
    }

    void Paced(std::uint64_t current) {
        const std::uint64_t chunk = request_.chunkSize ? request_.chunkSize : size_;
        current = std::min(current, size_);
        while (reported_ < current && !(request_.stop && request_.stop->Requested())) {
            reported_ = std::min(reported_ + chunk, current);
            if (request_.chunkDelay.count() > 0) Pause();
            if (progress_ && reported_ < size_) progress_(reported_, size_);
        }
    }

    void Pause() {
        if (request_.stop)
            request_.stop->Wait(request_.chunkDelay);
        else
            std::this_thread::sleep_for(request_.chunkDelay);
    }

    // gvfs 1.50's MTP move ignores a new name and its overwrite deletes the old
    // file first, so neither replaces: the old stamp goes only once the new one is
    // whole on the phone, then the new one takes its name. A local drive renames
    // over the old one in one step.
    DeliveryError PutInPlace() {
        GObjectPtr<GFile> target(g_file_get_child(folder_.get(), result_.name.c_str()));
        CaughtError error;
        if (g_file_is_native(folder_.get())) {
            if (!g_file_move(temporary_.get(), target.get(), G_FILE_COPY_OVERWRITE, nullptr,
                             nullptr, nullptr, error.Out()))
                return Failed(error.Get());
        } else {
            // Some backends (FTP) say only "failed" for a file that is not there.
            if (!g_file_delete(target.get(), nullptr, error.Out()) &&
                g_file_query_exists(target.get(), nullptr))
                return Failed(error.Get());
            GObjectPtr<GFile> renamed(g_file_set_display_name(
                temporary_.get(), result_.name.c_str(), nullptr, error.Out()));
            if (!renamed) return Failed(error.Get());
        }
        temporary_.reset();
        made_.clear();
        result_.target = TakeText(g_file_get_uri(target.get()));
        return DeliveryError::kNone;
    }

    // Takes away what this delivery left on the phone, without the cancellable: a
    // stopped send must still clean up.
    void Undo() {
        if (temporary_) g_file_delete(temporary_.get(), nullptr, nullptr);
        temporary_.reset();
        for (auto it = made_.rbegin(); it != made_.rend(); ++it)
            g_file_delete(it->get(), nullptr, nullptr);
        made_.clear();
    }

public:
    bool StaleDaemon() const { return staleDaemon_; }

private:
    const DeliveryRequest& request_;
    const DeliveryProgress& progress_;
    DeliveryResult result_;
    bool staleDaemon_ = false;
    std::uint64_t size_ = 0;
    std::uint64_t reported_ = 0;
    GObjectPtr<GFile> place_, storage_, folder_, temporary_;
    std::vector<GObjectPtr<GFile>> made_;
};

}  // namespace

DeliveryResult DeliverThroughDesktop(const DeliveryRequest& request,
                                     const DeliveryProgress& progress) {
    DeliveryResult result;
    RunOnSendThread([&] {
        DesktopDelivery first(request, progress);
        result = first.Run();
        // A phone plugged in again has a new daemon; GIO's client learns of it
        // only when the old one fails to answer, so that failure is tried again.
        if (first.StaleDaemon() && result.error == DeliveryError::kNotConnected)
            result = DesktopDelivery(request, progress).Run();
    });
    return result;
}
