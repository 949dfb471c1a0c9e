// Step 5's phone connection line on the real movie, with phones the desktop's
// own gvfs mounts (FTP servers on loopback standing in for them): it names the
// phone and its kind, becomes a drop-down in the wizard's look with two, which
// remembers the choice, says what to do with none, and follows plug and unplug
// while the page is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/globals.h"
#include "app/page_fixture.h"
#include "app/resources/wizard_resources.h"
#include "pages/dlg_wiz5.h"
#include "phonelink/phone_choice.h"
#include "phonelink/phone_line_texts.h"
#include "phonelink/phone_link_server.h"
#include "phonelink_gio/desktop_session.h"
#include "platform/window/paint.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

class PhoneLine : public PageHost<CDlgWiz5> {
protected:
    static void SetUpTestSuite() {
        RegisterWizardResources();
        RegisterPhoneLinkServer();
    }
    void SetUp() override {
        std::string why = desktop_test::MissingTools();
        if (!why.empty() || !desktop_test::StartSessionBus(&why)) GTEST_SKIP() << why;
        // Drives the machine itself has mounted count too; the steps below start
        // from none.
        if (const auto found = ListPhonePlaces(); !found.empty())
            GTEST_SKIP() << "the machine has a drive mounted: " << found[0].uri;
        dir = fs::temp_directory_path() / ("ostrel_phone_line_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "storage");
        fs::create_directories(dir / "first");
        const std::string root = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510";
        std::ofstream(dir / "r.reg")
            << "Windows Registry Editor Version 5.00\n\n"
            << root << "]\n\"Language\"=\"EN\"\n\"Current Link\"=\"USB\"\n\n"
            << root << "\\Customization Wizards\\user]\n\"PathStamp\"=\"/tmp/\"\n\n"
            << root << "\\PhoneLink]\n\"Storage Folder\"=\"" << (dir / "storage").string()
            << "\"\n";
        setenv("OSTREL_REGISTRY", (dir / "r.reg").c_str(), 1);
        setenv("OSTREL_TEST_PHONE_SCHEMES", "ftp", 1);
        g_stampName = "Sunset";
        g_pendingStampFile = (dir / "Sunset.png").string();
        std::ofstream(g_pendingStampFile) << "stamp";
        PageHost<CDlgWiz5>::SetUp();
    }
    void TearDown() override {
        if (!page) return;
        PageHost<CDlgWiz5>::TearDown();
        g_pendingStampFile.clear();
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(dir);
    }
    std::string Line() { return page->movie.GetVariable("CurrentLink"); }
    // The page hears of plugs through its message loop: it runs while waiting.
    bool Until(const std::function<bool()>& done) {
        return desktop_test::WaitUntil([&] {
            LetTimePass(10);
            return done();
        });
    }
    COLORREF At(POINT at) {
        while (HWND dirty = NextWindowToPaint(MessageQueue::Current().get()))
            UpdateWindow(dirty);
        const POINT origin = SurfaceOrigin(page.get());
        return WindowSurface(page.get())->Get(origin.x + at.x, origin.y + at.y);
    }
    fs::path dir;
};

}  // namespace

TEST_F(PhoneLine, NamesThePhoneOffersADropDownForTwoAndFollowsPlugAndUnplug) {
    EXPECT_EQ(Line(), NoPhoneText("EN"));
    EXPECT_FALSE(page->phones.IsWindowVisible());

    desktop_test::FtpServer first((dir / "first").string());
    ASSERT_TRUE(first.Start() && first.Mount());
    ASSERT_TRUE(Until([&] { return Line() != NoPhoneText("EN"); })) << Line();
    const std::vector<PhonePlace> one = ListPhonePlaces();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(Line(), one[0].name + " (Phone)");
    EXPECT_NE(Line().find("127.0.0.1"), std::string::npos) << Line();

    fs::create_directories(dir / "second");
    desktop_test::FtpServer second((dir / "second").string());
    ASSERT_TRUE(second.Start() && second.Mount());
    ASSERT_TRUE(Until([&] { return page->phones.IsWindowVisible(); }));
    EXPECT_EQ(Line(), "") << "the movie's field stays empty under the drop-down";
    ASSERT_EQ(page->phones.Items().size(), 2u);
    // None chosen yet: the box names the storage folder Send fills meanwhile.
    EXPECT_EQ(page->phones.Selected(), -1);
    EXPECT_EQ(At(POINT{300, 236}), RGB(0xFF, 0xFF, 0xFF)) << "the field of the drop-down";
    EXPECT_EQ(At(POINT{529, 244}), RGB(0x1F, 0x29, 0x37)) << "its arrow";

    const int pick = ChoosePhone().connected[1].uri == second.Uri() ? 2 : 1;
    backend.QueueMenuAnswer(static_cast<UINT>(pick));
    Click(POINT{300, 244});
    EXPECT_EQ(page->phones.Selected(), pick - 1);
    EXPECT_EQ(ChoosePhone().chosen, pick - 1) << "remembered for the link";
    const std::string host = second.Uri().substr(6, second.Uri().size() - 7);  // 127.0.0.1:port
    EXPECT_NE(page->phones.Items()[static_cast<std::size_t>(pick - 1)].find(host),
              std::string::npos);

    second.Unmount();
    ASSERT_TRUE(Until([&] { return !page->phones.IsWindowVisible(); }));
    EXPECT_EQ(Line(), ListPhonePlaces().at(0).name + " (Phone)");
    first.Unmount();
    ASSERT_TRUE(Until([&] { return Line() == NoPhoneText("EN"); })) << Line();
}
