// The link component on a desktop of the test's own: a session bus, an FTP
// server standing for a phone with no path in the file system, mounted and
// chosen with `ostrel-setup --phone` as a user would, and a sink that records
// the component's status events and may act on them.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "desktop_session.h"
#include "phonelink/connection_point.h"
#include "phonelink/link_test_support.h"
#include "phonelink/phone_link_interfaces.h"
#include "phonelink/phone_link_server.h"
#include "phonelink/wide_text.h"
#include "platform/window/clock.h"

namespace desktop_test {

class StatusSink final : public IPhoneLinkEvents {
public:
    struct Event {
        std::string text;
        long value1, value2;
    };
    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;

    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IPhoneLinkEvents) return E_NOINTERFACE;
        *object = static_cast<IPhoneLinkEvents*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT OnStatus(const std::wstring& text, long value1, long value2, long) override {
        events.push_back({Utf8FromWide(text), value1, value2});
        if (onEvent) onEvent(events.back());
        return S_OK;
    }
};

class DesktopLink : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = MissingTools(); !missing.empty())
            GTEST_SKIP() << "needs a desktop file-system daemon and an FTP server; missing: "
                         << missing;
        std::string why;
        if (!StartSessionBus(&why)) GTEST_SKIP() << "no session bus: " << why;
        SetClock(std::make_shared<VirtualClock>());
        RegisterPhoneLinkServer();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        link_test::fs::create_directories(scratch.path() / "served");
        link_test::fs::create_directories(scratch.path() / "storage");
        stamp = scratch / "Sunset.png";
        link_test::WriteFile(stamp, link_test::PngBytes(32, 32, 3, 1000));
        server = std::make_unique<FtpServer>(scratch / "served");
        ASSERT_TRUE(server->Start());
        ASSERT_TRUE(server->Mount()) << server->Uri();
        started = true;
    }
    void TearDown() override {
        if (!started) return;
        if (point) point->Unadvise(cookie);
        point.Reset();
        link.Reset();
        server.reset();
        CoUninitialize();
        SetClock(nullptr);
    }

    // The registry of the test, the phone chosen as `ostrel-setup --phone` does.
    void ChooseServerAsPhone(std::uint32_t chunkDelay = 0, const char* language = "EN") {
        link_test::UseRegistry(scratch / "r.reg", scratch / "storage", language, chunkDelay);
        ASSERT_EQ(RunProgram({OSTREL_SETUP_PATH, "--phone", server->Uri()}), 0);
    }

    void CreateLink() {
        ASSERT_EQ(CoCreateInstance(CLSID_PhoneLink, nullptr, 23, IID_IPhoneLink, link.PutVoid()),
                  S_OK);
        ComPtr<IConnectionPointContainer> container;
        link.As(IID_IConnectionPointContainer, &container);
        container->FindConnectionPoint(IID_IPhoneLinkEvents, point.Put());
        point->Advise(&sink, &cookie);
    }

    // The message SendFile leaves: empty on success.
    std::string Send() {
        std::wstring message = L"INIT";
        long status = 0;
        EXPECT_EQ(link->SendFile(WideFromUtf8(stamp), L"Stamps", &message, &status), S_OK);
        return Utf8FromWide(message);
    }

    std::map<std::string, std::string> Served() {
        return link_test::Snapshot(scratch.path() / "served");
    }

    link_test::Scratch scratch;
    std::string stamp;
    std::unique_ptr<FtpServer> server;
    StatusSink sink;
    ComPtr<IPhoneLink> link;
    ComPtr<IConnectionPoint> point;
    std::uint32_t cookie = 0;
    bool started = false;
};

}  // namespace desktop_test
