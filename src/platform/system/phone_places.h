// The phones, cameras and removable drives the desktop has mounted, as its volume
// monitor (GIO, with the desktop's gvfs monitors doing the device work) sees them.
// Everything of GIO stays behind this header. Without a session bus there is no
// desktop to ask: the list is empty and a watch does nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/window/window.h"

enum class PhoneKind { kPhone, kCamera, kRemovable, kStorageFolder };

struct PhonePlace {
    std::string name;  // as the desktop shows it
    PhoneKind kind;
    std::string uri;  // root URI: mtp://..., afc://..., gphoto2://..., file:///media/...
};

// Every mounted phone (mtp, afc), camera (gphoto2) and removable drive, in the
// desktop's order. Network mounts, the root file system and optical discs are
// left out. Tests may name more URI schemes to count as phones in
// OSTREL_TEST_PHONE_SCHEMES (comma-separated); the product sets it never.
std::vector<PhonePlace> ListPhonePlaces();

// Whether a desktop session bus can be reached (what the lists above need).
bool DesktopSessionPresent();

// The place holding `uri` when it is a mounted location of any kind (a share or
// a card reader the list above does not call a phone included): its mount's
// name and the URI as given; nothing when it is not mounted or there is no session.
std::unique_ptr<PhonePlace> MountedPlaceOf(const std::string& uri);

// Posts `message` to `window` every time a phone, camera or drive is plugged in
// or out (mounted or unmounted), from the thread that follows the desktop. Does
// nothing without a session bus. No message is posted once it is destroyed.
class PhonePlacesWatch {
public:
    PhonePlacesWatch(HWND window, UINT message);
    ~PhonePlacesWatch();
    PhonePlacesWatch(const PhonePlacesWatch&) = delete;
    PhonePlacesWatch& operator=(const PhonePlacesWatch&) = delete;

private:
    int id_ = 0;
};
