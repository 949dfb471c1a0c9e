// ostrel-setup: creates the registry keys the wizard needs and fills in the values
// it only reads, with defaults for this user. Values that exist are left alone, so
// it is safe to run before every start.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/install/install_defaults.h"
#include "platform/registry/registry.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::printf(
            "usage: ostrel-setup\nCreates the wizard's registry keys in %s and fills in missing "
            "values.\n",
            RegistryFilePath().c_str());
        return std::string(argv[1]) == "--help" ? 0 : 2;
    }
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
