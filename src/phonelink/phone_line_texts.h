// How step 5 names the place the link sends to, in the wizard's twelve
// languages: a phone by the name the desktop gives it and its kind, or, with no
// phone connected, what the user does about it.
#pragma once

#include <string>
#include <string_view>

#include "platform/system/phone_places.h"

// The kind's name in the language of the code ("FR", "chs", ...); English when
// the code is unknown.
std::string_view PhoneKindName(std::string_view languageCode, PhoneKind kind);

// "No phone found: connect your phone by USB and allow file transfer", translated.
std::string_view NoPhoneText(std::string_view languageCode);

// "Pixel 7 (Phone)": the name, then the kind in brackets.
std::string PhoneLine(std::string_view languageCode, const PhonePlace& place);
