// The three registry operations of the wizard. Each opens and closes its key and
// reports its own failure to the user in one message box.
#pragma once

#include <string>

#include "platform/base/win_types.h"

constexpr const char* kRegistryRoot = "SOFTWARE\\Norvane\\Tessel 310-510";

// The text of value `name` under the root key followed by `keySuffix` (empty: the
// root itself), also stored in *second when given. A failure shows
// "Registry error :\n<key>[<name>] (<code>)" and returns the empty text, leaving
// *second as it was.
std::string ReadRegString(const std::string& name, std::string* second = nullptr,
                          const std::string& keySuffix = "");
// Stores the text with its terminating zero; false (after the same message) on failure.
bool WriteRegString(const std::string& name, const std::string& text,
                    const std::string& keySuffix = "");
// The 32-bit value under the root key followed by "\Customization Wizards". A failure
// shows "Registry error" and returns the system error code in place of the number.
DWORD ReadRegDword(const std::string& name);
// The same read for callers that need to tell a failure from a value: false (after
// the same message) on failure, leaving *value as it was.
bool ReadRegDword(const std::string& name, DWORD* value);
// A value under the root key followed by `keySuffix` that an older installation
// may lack: false without a message when it cannot be read, *value left as it was.
bool ReadRegDwordQuietly(const std::string& name, const std::string& keySuffix, DWORD* value);

// A box captioned with the application's name (the wizard's title).
int AppMessageBox(const std::string& text, UINT style);
