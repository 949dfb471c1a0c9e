// Sending to a phone the desktop has mounted with no file-system path: the stamp
// arrives whole in place of the old one; a phone gone mid-copy is "not connected"
// and the link works again once it is back; a stopped send leaves the old stamp
// and nothing else.
#include <chrono>

#include "desktop_fixture.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_choice.h"
#include "phonelink/send_stop.h"

using namespace desktop_test;
using link_test::ReadFile;
using link_test::WriteFile;

TEST_F(DesktopLink, SendReplacesTheStampByteForByteThroughTheDesktop) {
    link_test::fs::create_directories(scratch.path() / "served/Stamps");
    WriteFile(scratch / "served/Stamps/Sunset.png", "the old stamp");
    WriteFile(scratch / "served/Stamps/Other.png", "another stamp");
    ChooseServerAsPhone();
    // Not a phone by itself, yet chosen by its URI, it is the one sent to.
    const PhoneChoice choice = ChoosePhone();
    ASSERT_GE(choice.chosen, 0);
    EXPECT_EQ(choice.connected[static_cast<std::size_t>(choice.chosen)].uri, server->Uri());

    CreateLink();
    EXPECT_EQ(Send(), "");
    const auto served = Served();
    EXPECT_EQ(served.at("Stamps/Sunset.png"), ReadFile(stamp));
    EXPECT_EQ(served.at("Stamps/Other.png"), "another stamp");
    EXPECT_EQ(served.size(), 3u);  // the folder and the two stamps: no temporary left
    EXPECT_TRUE(link_test::Snapshot(scratch.path() / "storage").empty());
    ASSERT_GE(sink.events.size(), 2u);
    EXPECT_EQ(sink.events.front().value2, 0);
    EXPECT_EQ(sink.events.back().value2, 100);
    EXPECT_EQ(sink.events.back().text, "Sunset.png has been sent.");

    // A folder made anew on a phone that had none.
    link_test::fs::remove_all(scratch.path() / "served/Stamps");
    EXPECT_EQ(Send(), "");
    EXPECT_EQ(ReadFile(scratch / "served/Stamps/Sunset.png"), ReadFile(stamp));
}

TEST_F(DesktopLink, APhoneGoneMidCopyIsNotConnectedAndTheLinkWorksOnceItIsBack) {
    link_test::fs::create_directories(scratch.path() / "served/Stamps");
    WriteFile(scratch / "served/Stamps/Sunset.png", "the old stamp");
    ChooseServerAsPhone(300, "DE");
    CreateLink();
    // Pulled out as soon as the first chunk is with the phone.
    sink.onEvent = [&](const StatusSink::Event& e) {
        if (e.value2 > 0 && e.value2 < 100) server->Kill();
    };
    EXPECT_EQ(Send(), LinkTextIn("DE", LinkText::kNotConnected));

    // Plugged in again, the desktop mounts it anew.
    sink.onEvent = nullptr;
    ASSERT_TRUE(server->Start());
    ASSERT_TRUE(server->Mount());
    const std::string message = Send();
    EXPECT_EQ(message, "") << "a second send after the phone came back";
    EXPECT_EQ(ReadFile(scratch / "served/Stamps/Sunset.png"), ReadFile(stamp));
    EXPECT_EQ(Served().size(), 2u);
}

TEST_F(DesktopLink, AStoppedSendLeavesTheOldStampAndNothingElse) {
    link_test::fs::create_directories(scratch.path() / "served/Stamps");
    WriteFile(scratch / "served/Stamps/Sunset.png", "the old stamp");
    ChooseServerAsPhone(2000);
    CreateLink();
    std::chrono::steady_clock::time_point stopped{};
    sink.onEvent = [&](const StatusSink::Event& e) {
        if (e.value2 == 0 || stopped != std::chrono::steady_clock::time_point{}) return;
        stopped = std::chrono::steady_clock::now();
        CancelSending();
    };
    EXPECT_FALSE(Send().empty());
    // Three more chunks at 2 s each would follow; stopped, it ends at once.
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(3));
    EXPECT_TRUE(WaitUntil([&] { return Served().size() == 2u; }));
    EXPECT_EQ(ReadFile(scratch / "served/Stamps/Sunset.png"), "the old stamp");
}

TEST_F(DesktopLink, SetupRefusesALocationThatIsNotMounted) {
    link_test::UseRegistry(scratch / "r.reg", scratch / "storage", "EN");
    ASSERT_TRUE(server->Unmount());
    std::string output;
    EXPECT_EQ(RunProgram({OSTREL_SETUP_PATH, "--phone", server->Uri()}, &output), 1);
    EXPECT_EQ(ReadFile(scratch / "r.reg").find("\"Phone\""), std::string::npos);
    EXPECT_EQ(RunProgram({OSTREL_SETUP_PATH, "--phone", "Nothing Such"}), 1);
}
