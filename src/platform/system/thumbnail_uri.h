// How the desktop's thumbnail cache names a file: its file:// URI, and the cache
// entry named by the URI's MD5 digest.
#pragma once

#include <string>

// "file://" and the absolute path with every byte but the unreserved characters
// (letters, digits, "-._~") and "/" written as %XX (upper-case hex); spaces and
// the bytes of non-ASCII names included.
std::string ThumbnailUri(const std::string& absolutePath);

// The 32 lower-case hex digits of the URI's MD5 digest, then ".png".
std::string ThumbnailFileName(const std::string& uri);
