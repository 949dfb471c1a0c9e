// What the phone link tells the user, in the wizard's twelve languages. "%1%"
// stands for a file or folder name, "%2%" for a number.
#pragma once

#include <string>
#include <string_view>

enum class LinkText {
    kNotConnected,
    kFolderNotMade,
    kNoSpace,
    kPermission,
    kFileMissing,
    kFileUnreadable,
    kNotAStamp,
    kCopyFailed,
    kNotCreatable,
    kSending,
    kSent,
    kNotSupported,
    kCount
};

// The text in the language of the code ("FR", "chs", ...); English when unknown.
std::string_view LinkTextIn(std::string_view languageCode, LinkText which);

// The text with every "%1%" replaced by `first`, then every "%2%" by `second`.
std::string FormatLinkText(std::string_view languageCode, LinkText which, std::string_view first,
                           std::string_view second = {});
