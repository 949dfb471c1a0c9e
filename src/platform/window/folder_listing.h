// What the folder tree reads of the file system: a folder's subfolders in the
// order file managers show them, whether a folder can be opened further, and a
// fingerprint of its files to notice that they changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Names compared as file managers do: letter case ignored, runs of digits by
// their value ("img2" before "img10"); names equal that way fall back to bytes.
bool FolderNameLess(const std::string& a, const std::string& b);

// The subfolders of `path` (symbolic links to folders count), without names
// beginning with ".", sorted by FolderNameLess. Empty when it cannot be read.
std::vector<std::string> ListSubfolders(const std::string& path);

// True when the folder can be read and holds at least one subfolder that
// ListSubfolders would show.
bool HasSubfolders(const std::string& path);

bool IsFolder(const std::string& path);
// A regular file, a link counting as what it points to: something that can be
// opened and read without blocking (a pipe or a socket is none).
bool IsPlainFile(const std::string& path);

// `path` without repeated or trailing "/" (the root stays "/"); empty for a path
// that is not absolute.
std::string NormalFolderPath(const std::string& path);
// The folder above (the root's is itself).
std::string ParentFolderPath(const std::string& path);
// `path` is `folder` or lies below it.
bool IsWithinFolder(const std::string& path, const std::string& folder);

// A fingerprint of the plain files of a folder (names, sizes, modification
// times); it changes when a file is added, removed, renamed or rewritten.
std::uint64_t FolderFingerprint(const std::string& path);
