// ostrel-setup: creates the registry keys the wizard needs and fills in the values
// it only reads, with defaults for this user. Values that exist are left alone, so
// it is safe to run before every start. `--storage-folder PATH` points the phone
// link at the folder where the phone's storage is mounted; `--list-phones` names
// the phones the desktop has mounted and `--phone NAME|URI` chooses one.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "app/install/install_defaults.h"
#include "phonelink/phone_choice.h"
#include "platform/registry/registry.h"
#include "platform/system/user_folders.h"

namespace {

constexpr const char* kUsage =
    "usage: ostrel-setup [--storage-folder PATH | --list-phones | --phone NAME|URI | --help |\n"
    "                    --version]";

// What is wrong, then how the program is used; exit code 2.
int UsageError(const std::string& what) {
    std::fprintf(stderr, "ostrel-setup: %s\n%s\n", what.c_str(), kUsage);
    return 2;
}

bool HasValue(HKEY key, const std::string& name) {
    DWORD size = 0;
    return RegQueryValueEx(key, name.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

LONG Store(HKEY key, const DefaultValue& value) {
    if (value.isNumber) {
        const BYTE bytes[4] = {
            static_cast<BYTE>(value.number), static_cast<BYTE>(value.number >> 8),
            static_cast<BYTE>(value.number >> 16), static_cast<BYTE>(value.number >> 24)};
        return RegSetValueEx(key, value.name.c_str(), 0, REG_DWORD, bytes, 4);
    }
    return RegSetValueEx(key, value.name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.text.c_str()),
                         static_cast<DWORD>(value.text.size() + 1));
}

bool Install(const DefaultValue& value) {
    const std::string path = std::string(kRootKey) + value.keySuffix;
    HKEY raw = nullptr;
    const LONG rc = RegCreateKeyEx(HKEY_LOCAL_MACHINE, path.c_str(), &raw);
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "ostrel-setup: cannot create key %s (%ld)\n", path.c_str(),
                     static_cast<long>(rc));
        return false;
    }
    UniqueRegKey key(raw);
    if (HasValue(key.get(), value.name)) return true;
    if (const LONG set = Store(key.get(), value); set != ERROR_SUCCESS) {
        std::fprintf(stderr, "ostrel-setup: cannot set %s[%s] (%ld)\n", path.c_str(),
                     value.name.c_str(), static_cast<long>(set));
        return false;
    }
    std::printf("set %s[%s]\n", path.c_str(), value.name.c_str());
    return true;
}

// Replaces the phone link's storage folder, as an absolute path ending in "/".
int SetStorageFolder(const std::string& folder) {
    std::error_code error;
    std::string path = std::filesystem::absolute(folder, error).lexically_normal().string();
    if (folder.empty() || error) return UsageError("not a usable folder: '" + folder + "'");
    if (path.back() != '/') path += '/';
    if (!std::filesystem::is_directory(path, error))
        std::printf(
            "note: %s does not exist yet; the wizard reports the phone as not "
            "connected until it does\n",
            path.c_str());
    const std::string key = std::string(kRootKey) + kPhoneLinkKey;
    HKEY raw = nullptr;
    LONG rc = RegCreateKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), &raw);
    UniqueRegKey open(raw);
    if (rc == ERROR_SUCCESS)
        rc = Store(open.get(), DefaultValue{kPhoneLinkKey, "Storage Folder", path});
    if (rc != ERROR_SUCCESS) {
        std::fprintf(stderr, "ostrel-setup: cannot set %s[Storage Folder] (%ld)\n", key.c_str(),
                     static_cast<long>(rc));
        return 1;
    }
    std::printf("set %s[Storage Folder] to %s\n", key.c_str(), path.c_str());
    return 0;
}

const char* KindName(PhoneKind kind) {
    switch (kind) {
        case PhoneKind::kPhone:
            return "phone";
        case PhoneKind::kCamera:
            return "camera";
        case PhoneKind::kRemovable:
            return "removable";
        default:
            return "storage-folder";
    }
}

// A device name is the device's own: no control character reaches the terminal,
// and no tab splits the line.
std::string Printable(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return out;
}

// One line a phone: name, kind and URI, separated by tabs.
int ListPhones() {
    for (const PhonePlace& place : ListPhonePlaces())
        std::printf("%s\t%s\t%s\n", Printable(place.name).c_str(), KindName(place.kind),
                    Printable(place.uri).c_str());
    return 0;
}

// The phone named (as --list-phones names it) or the mounted location a URI
// points into; nothing when neither is there.
std::unique_ptr<PhonePlace> FindPhone(const std::string& nameOrUri) {
    if (nameOrUri.find("://") != std::string::npos) return MountedPlaceOf(nameOrUri);
    for (const PhonePlace& place : ListPhonePlaces())
        if (place.name == nameOrUri) return std::make_unique<PhonePlace>(place);
    return nullptr;
}

int ChoosePhoneByName(const std::string& nameOrUri) {
    const std::unique_ptr<PhonePlace> place = FindPhone(nameOrUri);
    if (!place) {
        std::fprintf(stderr,
                     "ostrel-setup: no phone or mounted location '%s' is connected: plug the "
                     "phone in, allow file transfer on it (or mount the location) and try "
                     "again; --list-phones names what is connected\n",
                     Printable(nameOrUri).c_str());
        return 1;
    }
    const std::string key = std::string(kRootKey) + kPhoneLinkKey;
    if (!RememberPhone(place->uri)) {
        std::fprintf(stderr, "ostrel-setup: cannot set %s[Phone]\n", key.c_str());
        return 1;
    }
    std::printf("set %s[Phone] to %s (%s)\n", key.c_str(), Printable(place->uri).c_str(),
                Printable(place->name).c_str());
    return 0;
}

void Help() {
    const std::string registry = RegistryFilePath();
    std::printf(
        "%s\nCreates the wizard's registry keys in %s and fills in missing values.\n"
        "  --storage-folder PATH  sends stamps to the phone storage mounted at PATH when no\n"
        "                         phone is connected\n"
        "  --list-phones          names the phones, cameras and drives the desktop has\n"
        "                         mounted: name, kind and URI, one a line\n"
        "  --phone NAME|URI       sends stamps to that phone (or mounted location) from now on\n"
        "  --version              prints the version\n",
        kUsage, registry.empty() ? "(none: no home folder)" : registry.c_str());
}

// What the command line asks for: nothing but the defaults, a storage folder, or
// an answer already given (help, version, a usage error) as the exit code.
struct Request {
    std::optional<int> exitCode;
    std::optional<std::string> storageFolder;
    bool listPhones = false;
    std::optional<std::string> phone;
};

Request Answer(int exitCode) {
    Request request;
    request.exitCode = exitCode;
    return request;
}

Request ReadCommandLine(int argc, char** argv) {
    if (argc < 2) return {};
    const std::string option = argv[1];
    if (option == "--help" && argc == 2) {
        Help();
        return Answer(0);
    }
    if (option == "--version" && argc == 2) {
        std::printf("ostrel-setup %s\n", OSTREL_VERSION);
        return Answer(0);
    }
    if (option == "--storage-folder") {
        if (argc == 2) return Answer(UsageError("--storage-folder needs a PATH"));
        if (argc == 3) {
            Request request;
            request.storageFolder = argv[2];
            return request;
        }
        return Answer(UsageError(std::string("unexpected argument '") + argv[3] + "'"));
    }
    if (option == "--list-phones") {
        if (argc == 2) {
            Request request;
            request.listPhones = true;
            return request;
        }
        return Answer(UsageError(std::string("unexpected argument '") + argv[2] + "'"));
    }
    if (option == "--phone") {
        if (argc == 2 || !*argv[2]) return Answer(UsageError("--phone needs a NAME or URI"));
        if (argc == 3) {
            Request request;
            request.phone = argv[2];
            return request;
        }
        return Answer(UsageError(std::string("unexpected argument '") + argv[3] + "'"));
    }
    if (option == "--help" || option == "--version")
        return Answer(UsageError(std::string("unexpected argument '") + argv[2] + "'"));
    if (!option.empty() && option[0] == '-') return Answer(UsageError("unknown option " + option));
    return Answer(UsageError("unexpected argument '" + option + "'"));
}

}  // namespace

int main(int argc, char** argv) {
    const Request request = ReadCommandLine(argc, argv);
    if (request.exitCode) return *request.exitCode;
    // Every default lies below the home; without one they would be paths at the
    // root of the file system, in a registry beside the current folder.
    if (CurrentUserFolders().home.empty()) {
        std::fprintf(stderr,
                     "ostrel-setup: cannot find your home folder: %s; nothing was changed\n",
                     NoHomeReason().c_str());
        return 1;
    }
    if (request.storageFolder) return SetStorageFolder(*request.storageFolder);
    if (request.listPhones) return ListPhones();
    if (request.phone) return ChoosePhoneByName(*request.phone);
    // A damaged file is never written over: said once, with where it is damaged.
    if (const std::string problem = RegistryFileProblem(); !problem.empty()) {
        std::fprintf(stderr, "ostrel-setup: %s: %s; nothing was changed\n",
                     RegistryFilePath().c_str(), problem.c_str());
        return 1;
    }
    const UserEnvironment env = CurrentUserEnvironment();
    bool ok = true;
    for (const DefaultValue& value : DefaultValues(env))
        ok = Install(value) && ok;
    for (const std::string& folder : FoldersToCreate(env)) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            std::fprintf(stderr, "ostrel-setup: cannot create %s: %s\n", folder.c_str(),
                         error.message().c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
