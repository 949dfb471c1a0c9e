// The phone link's interfaces as its clients see them. Every call passes the
// client's two result fields: a message text and a status number.
#pragma once

#include <string>

#include "object_model.h"

// {FA9ABB20-D0F9-40DC-9645-21FE03867B32}
extern const CLSID CLSID_PhoneLink;
// {30273485-9AEC-410C-A65C-8489794CAC22}
extern const IID IID_IPhoneLink;
// {FD595754-6C01-44F8-B382-366DF022BEF8}
extern const IID IID_IPhoneLinkEvents;

class IPhoneLink : public IUnknown {
public:
    // Gets the link ready; the message holds "INIT" on entry.
    virtual HRESULT Init(std::wstring* message, long* status) = 0;
    // Sends the file into the phone folder. On return the message is empty on
    // success and otherwise a text for the user; it is always written.
    virtual HRESULT SendFile(const std::wstring& path, const std::wstring& phoneFolder,
                             std::wstring* message, long* status) = 0;
    // How the next sound files are converted on their way to the phone.
    virtual HRESULT SetConversion(const std::wstring& mimeType, const std::wstring& parameter,
                                  const std::wstring& value, std::wstring* message,
                                  long* status) = 0;

protected:
    ~IPhoneLink() = default;
};

class IPhoneLinkEvents : public IUnknown {
public:
    // A status text with its values; the link reports progress in value2 (0 to
    // 100) and the bytes sent so far in value1.
    virtual HRESULT OnStatus(const std::wstring& text, long value1, long value2, long value3) = 0;

protected:
    ~IPhoneLinkEvents() = default;
};
