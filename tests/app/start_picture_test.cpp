// Starting with a picture named on the command line: how the arguments are read,
// and the wizard opening that picture through its browser page.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/command_line.h"
#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "imaging/px_image.h"
#include "pages/dlg_wiz2.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

TEST(CommandLine, AtMostOnePictureMadeAbsoluteAndNeverTheScript) {
    EXPECT_EQ(ReadCommandLine({}, "")->picture, "");
    EXPECT_EQ(ReadCommandLine({""}, "")->picture, "");
    EXPECT_EQ(ReadCommandLine({"/a/b/../c.png"}, "")->picture, "/a/c.png");
    EXPECT_EQ(ReadCommandLine({"c.png"}, "")->picture, (fs::current_path() / "c.png").string());
    EXPECT_FALSE(ReadCommandLine({"a.png", "b.png"}, ""));

    const fs::path script = fs::temp_directory_path() / ("ostrel_cl_" + std::to_string(getpid()));
    std::ofstream(script) << "quit\n";
    // The same file by another spelling is still the script.
    const std::string other = (script.parent_path() / "." / script.filename()).string();
    EXPECT_EQ(ReadCommandLine({other}, script.string())->picture, "");
    // A missing file is a picture that will fail to open, not an error here.
    EXPECT_EQ(ReadCommandLine({"/no/such.png"}, script.string())->picture, "/no/such.png");
    fs::remove(script);
}

namespace {

constexpr const char* kUserKey = "\\Customization Wizards\\user";

// The whole wizard, headless, started with a picture; the window is closed at the end.
class StartPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWizardResources(); }
    void SetUp() override {
        root = fs::temp_directory_path() / ("ostrel_start_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "remembered");
        fs::create_directories(root / "given");
        registry = root / "r.reg";
        std::ofstream(registry)
            << "Windows Registry Editor Version 5.00\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards]\n\"Installation Path\"=\"/tmp/\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n"
               "\"Current Link\"=\"None\"\n\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization "
               "Wizards\\user]\n\"BrowseStamp\"=\""
            << (root / "remembered").string() << "\"\n";
        setenv("OSTREL_REGISTRY", registry.c_str(), 1);
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
        g_editorPicture.image.reset();
        g_editorPicture.owner = nullptr;
        g_chosenPicturePath.clear();
        SetMessageBoxHandler([this](HWND, const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        MessageQueue::Current()->CancelScheduled();
        SetMessageBoxHandler(nullptr);
        g_editorPicture.image.reset();
        g_editorPicture.owner = nullptr;
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(root);
    }
    // Runs the wizard with `picture`; `check` looks at it once it has settled.
    void RunWith(const std::string& picture, std::function<void()> check) {
        dialog.startPicture = picture;
        MessageQueue::Current()->Schedule(500, std::move(check));
        MessageQueue::Current()->Schedule(600, [this] { dialog.PostMessage(WM_WIZ_EXIT); });
        dialog.DoModal();
    }
    int ShownStep() {
        return dialog.current < dialog.pages.size() ? dialog.pages[dialog.current]->Step() : 0;
    }
    std::string TreeFolder() {
        return static_cast<CDlgWiz2&>(*dialog.pages[1]).folderTree.SelectedFolder().FolderPath();
    }
    std::string BrowseStamp() { return ReadRegString("BrowseStamp", nullptr, kUserKey); }

    fs::path root, registry;
    std::vector<std::string> boxes;
    HeadlessBackend backend;
    CDlgMain dialog;
};

}  // namespace

TEST_F(StartPicture, AGoodPictureIsPickedAndTheEditorShowsIt) {
    const fs::path picture = root / "given/sunset.png";
    PxImage image;
    image.Create(40, 20, 24, PX_FORMAT_PNG);
    image.Clear(150);
    ASSERT_TRUE(image.Save(picture.c_str(), PX_FORMAT_PNG));
    RunWith(picture.string(), [&] {
        EXPECT_EQ(ShownStep(), 3);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(g_chosenPicturePath, picture.string());
        EXPECT_EQ(g_editorPicture.GetWidth(), 40u);
        EXPECT_EQ(TreeFolder(), (root / "given").string());
        // Remembered as a pick is: the next start browses this folder.
        EXPECT_EQ(BrowseStamp(), (root / "given").string());
        // The welcome page was made behind, so going back still has it.
        EXPECT_EQ(dialog.pages[0]->Step(), 1);
        EXPECT_FALSE(dialog.pages[0]->IsWindowVisible());
    });
}

TEST_F(StartPicture, ABadPictureIsNamedAndTheBrowserStaysOnItsFolder) {
    const fs::path picture = root / "given/broken.png";
    std::ofstream(picture) << "not a picture";
    RunWith(picture.string(), [&] {
        EXPECT_EQ(ShownStep(), 2);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Invalid picture : " + picture.string());
        EXPECT_EQ(TreeFolder(), (root / "given").string());
        EXPECT_EQ(BrowseStamp(), (root / "remembered").string());
        EXPECT_EQ(g_editorPicture.GetWidth(), 0u);
    });
}

// A folder that does not exist cannot be shown: the remembered one is.
TEST_F(StartPicture, AMissingFolderLeavesTheRememberedOne) {
    const std::string picture = (root / "gone/away.png").string();
    RunWith(picture, [&] {
        EXPECT_EQ(ShownStep(), 2);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Invalid picture : " + picture);
        EXPECT_EQ(TreeFolder(), (root / "remembered").string());
    });
}

// A FIFO (or a device) given is refused at once as a picture that cannot be
// opened; a GIF name takes the path that looks for a frame as well.
TEST_F(StartPicture, AFifoIsNamedLikeAnyPictureThatCannotBeOpened) {
    const fs::path picture = root / "given/pipe.png";
    ASSERT_EQ(mkfifo(picture.c_str(), 0600), 0);
    RunWith(picture.string(), [&] {
        EXPECT_EQ(ShownStep(), 2);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Invalid picture : " + picture.string());
        EXPECT_EQ(TreeFolder(), (root / "given").string());
    });
}

TEST_F(StartPicture, AFifoNamedAsAGifIsNamedToo) {
    const fs::path picture = root / "given/pipe.gif";
    ASSERT_EQ(mkfifo(picture.c_str(), 0600), 0);
    RunWith(picture.string(), [&] {
        EXPECT_EQ(ShownStep(), 2);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Invalid picture : " + picture.string());
    });
}

TEST_F(StartPicture, AFolderIsShownWithoutAMessage) {
    RunWith((root / "given").string(), [&] {
        EXPECT_EQ(ShownStep(), 2);
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(TreeFolder(), (root / "given").string());
        EXPECT_EQ(BrowseStamp(), (root / "remembered").string());
    });
}

TEST_F(StartPicture, WithoutOneTheWelcomePageShows) {
    RunWith("", [&] {
        EXPECT_EQ(ShownStep(), 1);
        EXPECT_TRUE(boxes.empty());
        EXPECT_TRUE(g_chosenPicturePath.empty());
    });
}
