// How the phone link puts a file into the phone's storage: the whole file is
// read first, checked, then written in chunks under a temporary name in the phone
// folder, flushed, and renamed over any file of the same name. A failure removes
// the partial file and the folders made for it, so the phone is left as it was.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "send_stop.h"

enum class DeliveryError {
    kNone,
    kNotConnected,   // the storage folder is missing: the phone is not there
    kFolderNotMade,  // the phone folder cannot be made (or names a place outside)
    kNoSpace,
    kPermission,
    kFileMissing,
    kFileUnreadable,
    kNotAStamp,
    kCopyFailed,    // any other failure of the copy
    kNotSupported,  // the phone refuses what the copy needs
    kCancelled,     // stopped by CancelSending
};

struct DeliveryRequest {
    std::string source;       // the file to send
    std::string storage;      // the folder that stands for the phone's storage
    std::string phoneFolder;  // below it; "/" or "\" separate folders
    std::size_t chunkSize = 256;
    std::chrono::milliseconds chunkDelay{0};  // lets tests and demos watch it go
    std::string phoneUri;      // a phone the desktop has mounted, in place of storage
    SendStop* stop = nullptr;  // ends the send early when asked
};

struct DeliveryResult {
    DeliveryError error = DeliveryError::kNone;
    std::string name;         // the file's name (the folder's for kFolderNotMade)
    std::string target;       // where it landed on success
    std::uint64_t bytes = 0;  // how many were written there
};

// Told the bytes written so far and the total: once before the first chunk, after
// every chunk, and at the end.
using DeliveryProgress = std::function<void(std::uint64_t sent, std::uint64_t total)>;

// Files larger than this are no stamp; they are refused before being read whole.
constexpr std::uint64_t kLargestStamp = 1 << 20;

// The whole stamp file, at most kLargestStamp bytes, checked to be a stamp.
DeliveryError ReadStamp(const std::string& path, std::vector<std::uint8_t>& bytes);

// The folders below the storage, in order; false when a part would lead outside.
bool SplitPhoneFolder(const std::string& phoneFolder, std::vector<std::string>& parts);

DeliveryResult Deliver(const DeliveryRequest& request, const DeliveryProgress& progress);
