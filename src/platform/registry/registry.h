// The registry calls the wizard makes, over a file-backed hive (reg_file.h). Every
// call answers with a Win32 error code. Reads see the file as it is; each write takes
// an exclusive lock, re-reads the file, changes one value and replaces the file
// atomically, so concurrent writers lose nothing. A corrupt file is reported
// (ERROR_BADDB) and never written over.
#pragma once

#include <memory>
#include <string>

#include "platform/base/win_types.h"

struct RegistryKey;
using HKEY = RegistryKey*;
using REGSAM = DWORD;

extern const HKEY HKEY_LOCAL_MACHINE;
extern const HKEY HKEY_CURRENT_USER;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_PATH_NOT_FOUND = 3;
constexpr LONG ERROR_ACCESS_DENIED = 5;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr LONG ERROR_BADDB = 1009;

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// $OSTREL_REGISTRY, else <config home>/norvane/registry.reg (user_folders.h; that is
// ~/.config/norvane/registry.reg by default). Empty when the user has no home and no
// absolute $XDG_CONFIG_HOME: every call then fails with ERROR_PATH_NOT_FOUND.
std::string RegistryFilePath();

// What keeps the registry file from being read ("line 7: bad value line", or the
// system's reason); empty when it reads or does not exist yet.
std::string RegistryFileProblem();

// Opens an existing key. Asking to set values on a file that cannot be written
// answers ERROR_ACCESS_DENIED.
LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// Opens a key, creating it (and the file and its folder) when missing. Only the
// installer creates keys.
LONG RegCreateKeyEx(HKEY root, const char* subKey, HKEY* result);
// With data null, reports the size only. A buffer too small answers ERROR_MORE_DATA
// and the size needed.
LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                     DWORD* size);
LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                   DWORD size);
LONG RegCloseKey(HKEY key);

// Closes the key when it goes out of scope.
struct RegKeyCloser {
    void operator()(RegistryKey* key) const { RegCloseKey(key); }
};
using UniqueRegKey = std::unique_ptr<RegistryKey, RegKeyCloser>;
