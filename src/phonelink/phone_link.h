// The wizard's client of the phone link: created once by the transfer page, it
// joins the apartment, creates the component by its class id, listens to its
// status events and hands files to it.
#pragma once

#include <cstdint>
#include <string>

#include "connection_point.h"
#include "phone_link_interfaces.h"

// The component's last status text, ready for the movie (bold).
extern std::string g_linkStatusText;

class CPhoneLink {
public:
    // Creation in full; a component that cannot be created is remembered and
    // reported by every Transfer.
    CPhoneLink();
    ~CPhoneLink();
    CPhoneLink(const CPhoneLink&) = delete;
    CPhoneLink& operator=(const CPhoneLink&) = delete;

    // Sends the file into the phone folder named by the value `valueName` under
    // the root key followed by "\Customization Wizards". Empty on success,
    // otherwise the text for the user.
    std::string Transfer(const std::string& path, const std::string& valueName);

    // Asks the running Transfer, from inside one of its waits, to stop: it
    // returns soon after, leaving the phone as it was. Safe from any thread.
    void CancelTransfer();

    bool Created() const { return static_cast<bool>(link_); }
    bool HasEvents() const { return static_cast<bool>(point_); }
    HRESULT CreationResult() const { return creation_; }

private:
    class Sink;
    void Advise();

    ComPtr<IPhoneLink> link_;
    ComPtr<IConnectionPoint> point_;
    std::uint32_t cookie_ = 0;
    HRESULT creation_ = S_OK;
    bool apartment_ = false;
    std::wstring message_;
    long status_ = 0;
};
