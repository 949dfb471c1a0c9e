// The demo's steps 5 and 6 on a stamp of the test's own: the script's lines from
// the step 5 screenshot on, run against the wizard jumped to step 5, save the
// stamp through Save-As and send it into the phone storage that ostrel-setup
// --storage-folder pointed the link at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "imaging/px_image.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/backends/script.h"
#include "platform/window/message_loop.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The walkthrough from its step 5 screenshot to the end.
std::string DemoFromStepFive() {
    const std::string demo = ReadAll(OSTREL_SOURCE_DIR "/data/demo/walkthrough.txt");
    const std::size_t at = demo.find("screenshot 5-save");
    return at == std::string::npos ? "" : demo.substr(at);
}

}  // namespace

TEST(DemoSendSteps, SaveAsAndSendingLandTheStampWhereTheRunSays) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_demo56_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "runtime");
    const std::string env = "OSTREL_REGISTRY='" + (dir / "r.reg").string() + "' HOME='" +
                            dir.string() + "' XDG_DATA_HOME='" + (dir / "data").string() + "' ";
    ASSERT_EQ(std::system((env + OSTREL_SETUP_PATH " > /dev/null").c_str()), 0);
    // The phone as the desktop mounted it, named relative to where setup runs.
    fs::create_directories(dir / "media/PHONE");
    ASSERT_EQ(std::system(("cd '" + dir.string() + "' && " + env +
                           OSTREL_SETUP_PATH " --storage-folder media/PHONE > /dev/null")
                              .c_str()),
              0);
    EXPECT_NE(ReadAll(dir / "r.reg")
                  .find("\"Storage Folder\"=\"" + (dir / "media/PHONE").string() + "/\""),
              std::string::npos);
    setenv("OSTREL_REGISTRY", (dir / "r.reg").c_str(), 1);

    RegisterWizardResources();
    RegisterPhoneLinkServer();
    HeadlessBackend backend;
    g_texts = BuildTexts("EN");
    g_mainWnd = nullptr;
    g_stampName = "Sunset";
    g_pendingStampFile = (dir / "Sunset.png").string();
    PxImage stamp;
    ASSERT_TRUE(stamp.Create(32, 32, 8, PX_FORMAT_PNG));
    for (int x = 0; x < 32; ++x)
        stamp.SetPixelIndex(x, x, static_cast<BYTE>(x));
    ASSERT_TRUE(stamp.Save(g_pendingStampFile.c_str(), PX_FORMAT_PNG));
    const std::string stampBytes = ReadAll(g_pendingStampFile);

    std::string error;
    auto steps = ParseScript(DemoFromStepFive(), &error);
    ASSERT_TRUE(steps && !steps->empty()) << error;
    ScriptRunner runner(backend, std::move(*steps), dir.string());
    CDlgMain dialog;
    MessageQueue::Current()->Schedule(300, [&] { dialog.PostMessage(WM_WIZ_NEXT, 4, 0); });
    MessageQueue::Current()->Schedule(600, [&] { runner.Start(); });
    dialog.DoModal();

    EXPECT_TRUE(runner.Problems().empty());
    EXPECT_TRUE(backend.Boxes().empty()) << backend.Boxes()[0].text;
    ASSERT_EQ(backend.SavedAs().size(), 1u);
    EXPECT_EQ(backend.SavedAs()[0], (dir / "Pictures/ostrel-demo-stamp.png").string());
    EXPECT_EQ(ReadAll(backend.SavedAs()[0]), stampBytes);
    const std::vector<std::string> sent = DeliveredFiles();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), (dir / "media/PHONE/Stamps/Sunset.png").string());
    EXPECT_EQ(ReadAll(sent.back()), stampBytes);
    EXPECT_TRUE(fs::exists(dir / "6-transfer.png"));

    // The script's quit was put back for a loop outside: none here.
    MSG left;
    while (PeekMessage(&left)) {
    }
    MessageQueue::Current()->CancelScheduled();
    g_mainWnd = nullptr;
    g_pendingStampFile.clear();
    unsetenv("OSTREL_REGISTRY");
    fs::remove_all(dir);
}
