// The link without a desktop session: the storage folder as ever, whatever phone
// was chosen before; a full storage folder says so and keeps what it had; and a
// send into it stops when asked, taking away what it had made.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <chrono>
#include <cstdio>

#include "link_test_support.h"
#include "phonelink/connection_point.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_choice.h"
#include "phonelink/phone_link_interfaces.h"
#include "phonelink/phone_link_server.h"
#include "phonelink/send_stop.h"
#include "phonelink/wide_text.h"
#include "platform/window/clock.h"

using namespace link_test;

namespace {

class StopOnProgress final : public IPhoneLinkEvents {
public:
    HRESULT QueryInterface(const IID& iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_IPhoneLinkEvents) return E_NOINTERFACE;
        *object = static_cast<IPhoneLinkEvents*>(this);
        return S_OK;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    std::chrono::steady_clock::time_point stopped{};
    HRESULT OnStatus(const std::wstring&, long, long value2, long) override {
        if (value2 == 0 || stopped != std::chrono::steady_clock::time_point{}) return S_OK;
        stopped = std::chrono::steady_clock::now();
        CancelSending();
        return S_OK;
    }
};

// Standard output and exit code of a shell command line.
int Shell(const std::string& command, std::string& output) {
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class NoDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/proc/ostrel-no-session-bus", 1);
        SetClock(std::make_shared<VirtualClock>());
        RegisterPhoneLinkServer();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        fs::create_directories(scratch.path() / "phone");
        stamp = scratch / "Sunset.png";
        WriteFile(stamp, PngBytes(32, 32, 3, 1000));
        UseRegistry(scratch / "r.reg", scratch / "phone", "EN");
        ASSERT_TRUE(RememberPhone("mtp://Maker_Phone_0123/"));
        ASSERT_EQ(CoCreateInstance(CLSID_PhoneLink, nullptr, 23, IID_IPhoneLink, link.PutVoid()),
                  S_OK);
    }
    void TearDown() override {
        link.Reset();
        CoUninitialize();
        SetClock(nullptr);
    }
    std::string Send() {
        std::wstring message;
        long status = 0;
        EXPECT_EQ(link->SendFile(WideFromUtf8(stamp), L"Stamps", &message, &status), S_OK);
        return Utf8FromWide(message);
    }

    Scratch scratch;
    std::string stamp;
    ComPtr<IPhoneLink> link;
};

}  // namespace

TEST_F(NoDesktop, TheStorageFolderAsBeforeWhateverPhoneWasChosen) {
    const PhoneChoice choice = ChoosePhone();
    EXPECT_TRUE(choice.connected.empty());
    EXPECT_EQ(choice.chosen, -1);
    EXPECT_EQ(choice.storageFolder, scratch / "phone");
    EXPECT_EQ(Send(), "");
    EXPECT_EQ(ReadFile(scratch / "phone/Stamps/Sunset.png"), ReadFile(stamp));

    // The command line, with the bus pointing nowhere and with none at all.
    const std::string setup = std::string(OSTREL_SETUP_PATH);
    for (const std::string env : {"", "env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR "}) {
        std::string output;
        EXPECT_EQ(Shell(env + setup + " --list-phones 2>&1", output), 0);
        EXPECT_EQ(output, "") << env;
        output.clear();
        EXPECT_EQ(Shell(env + setup + " --phone mtp://Maker_Phone_0123/ 2>&1", output), 1);
        EXPECT_NE(output.find("no phone or mounted location"), std::string::npos) << output;
    }
}

TEST_F(NoDesktop, AFullStorageFolderSaysSoAndKeepsWhatItHad) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string small = scratch / "phone";
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no tmpfs to mount";
    fs::create_directories(small + "/Stamps");
    WriteFile(small + "/Stamps/Sunset.png", "the old stamp");
    {
        std::ofstream filler(small + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size()))
            filler.flush();
    }
    const auto before = Snapshot(small);
    EXPECT_EQ(Send(), FormatLinkText("EN", LinkText::kNoSpace, "Sunset.png"));
    EXPECT_EQ(Snapshot(small), before);
    umount2(small.c_str(), MNT_DETACH);
}

TEST_F(NoDesktop, CancelSendingStopsTheCopyAndTakesAwayWhatItMade) {
    UseRegistry(scratch / "r.reg", scratch / "phone", "EN", 2000);
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    link.As(IID_IConnectionPointContainer, &container);
    container->FindConnectionPoint(IID_IPhoneLinkEvents, point.Put());
    StopOnProgress sink;
    std::uint32_t cookie = 0;
    point->Advise(&sink, &cookie);
    EXPECT_EQ(Send(), FormatLinkText("EN", LinkText::kCopyFailed, "Sunset.png"));
    // Three more chunks at 2 s each would follow; stopped, it ends at once.
    EXPECT_LT(std::chrono::steady_clock::now() - sink.stopped, std::chrono::seconds(3));
    EXPECT_TRUE(Snapshot(scratch.path() / "phone").empty());
    point->Unadvise(cookie);
    CancelSending();  // with no send running: nothing happens
}
