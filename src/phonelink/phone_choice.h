// Which phone the link sends to: the one chosen last time when it is connected,
// else the only one connected, else the configured storage folder. The choice is
// remembered as "Phone" (the phone's root URI) under the link's settings key, by
// step 5's drop-down and by `ostrel-setup --phone` alike.
#pragma once

#include <string>
#include <vector>

#include "platform/system/phone_places.h"

struct PhoneChoice {
    std::vector<PhonePlace> connected;
    int chosen = -1;  // index into connected, -1 = the storage folder
    std::string storageFolder;
};

// Asks the desktop what is connected; a remembered URI of a mounted location
// the desktop does not call a phone (a share, a card reader) is honoured and
// listed too.
PhoneChoice ChoosePhone();

// Remembers the phone to send to next time; false when the setting cannot be
// written.
bool RememberPhone(const std::string& uri);

// Whether two root URIs name the same phone: the same scheme and host part (a
// phone keeps its host part when plugged in again), or the same local path.
bool SamePhone(const std::string& a, const std::string& b);
