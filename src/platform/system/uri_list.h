// Files named by URIs, as other programs hand them over: a dropped "text/uri-list"
// or the URIs of an open request. Only local "file:" URIs name files here; the
// text comes from another program and is read as hostile: anything malformed is
// left out, never guessed at.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// At most this many files are taken from one list; the rest are left out.
constexpr std::size_t kMaxUriListFiles = 256;

// The absolute path a "file:" URI names ("file:///p", "file://localhost/p",
// "file:/p"), percent-decoded. Nothing for another scheme or host, a relative or
// empty path, a bad or NUL escape, a query or fragment, or a path longer than the
// system takes.
std::optional<std::string> PathOfFileUri(std::string_view uri);

// The paths of the "file:" URIs of a "text/uri-list" (lines ended by CR LF or LF,
// "#" lines are comments), in order, without the lines that name no local file.
std::vector<std::string> PathsOfUriList(std::string_view text);

// The "file://" URI of an absolute path, every reserved byte escaped.
std::string FileUriOf(const std::string& absolutePath);
