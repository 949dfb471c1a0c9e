// The whole road with the keyboard alone, headless: Enter on the welcome page as
// soon as it shows, Tab to the folder tree and the thumbnail list, arrows to a
// picture, Tab to the editor's picture box and its keys on the frame, Enter on to
// step 6 and once more to send. The stamp on the phone must be what pxtool stamp
// makes of the frame the keys left; each focused window shows the focus mark.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "app/settings/settings.h"
#include "imaging/px_image.h"
#include "pages/dlg_wiz2.h"
#include "pages/dlg_wiz3.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/dialog_look.h"
#include "platform/window/focus.h"
#include "platform/window/input.h"
#include "platform/window/paint.h"
#include "road_arithmetic.h"
#include "stamp/stamp_globals.h"
#include "virtual_time.h"

namespace fs = std::filesystem;

namespace {

constexpr LONG kWidth = 300, kHeight = 200;

void WritePicture(const fs::path& path, LONG w, LONG h) {
    PxImage image;
    ASSERT_TRUE(image.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, PX_FORMAT_PNG));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            image.SetPixelColor(x, y,
                                RGBQUAD{static_cast<BYTE>(3 * y), static_cast<BYTE>(x * 7 % 251),
                                        static_cast<BYTE>(x + y), 0});
    ASSERT_TRUE(image.Save(path.c_str(), PX_FORMAT_PNG));
}

class KeyboardRoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterWizardResources();
        RegisterPhoneLinkServer();
    }
    void SetUp() override {
        dir = fs::temp_directory_path() / ("ostrel_keys_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "pictures");
        fs::create_directories(dir / "phone");
        const std::string env = "OSTREL_REGISTRY='" + (dir / "r.reg").string() + "' HOME='" +
                                dir.string() + "' XDG_DATA_HOME='" + (dir / "data").string() + "' ";
        ASSERT_EQ(std::system(("cd '" + dir.string() + "' && " + env + OSTREL_SETUP_PATH +
                               " > /dev/null && " + env + OSTREL_SETUP_PATH +
                               " --storage-folder phone > /dev/null")
                                  .c_str()),
                  0);
        setenv("OSTREL_REGISTRY", (dir / "r.reg").c_str(), 1);
        ASSERT_TRUE(WriteRegString("BrowseStamp", (dir / "pictures").string(),
                                   "\\Customization Wizards\\user"));
        ASSERT_NO_FATAL_FAILURE(WritePicture(dir / "pictures/Apple.png", 120, 90));
        ASSERT_NO_FATAL_FAILURE(WritePicture(dir / "pictures/Landscape.png", kWidth, kHeight));
        g_texts = BuildTexts("EN");
        g_mainWnd = nullptr;
    }
    void TearDown() override {
        ClearQueue();
        g_mainWnd = nullptr;
        g_editorPicture.image.reset();
        g_editorPicture.owner = nullptr;
        g_previewPicture.image.reset();
        g_previewPicture.owner = nullptr;
        g_pendingStampFile.clear();
        unsetenv("OSTREL_REGISTRY");
        if (!HasFailure()) fs::remove_all(dir);
    }

    // Lets virtual time pass in real time until `done`, for a generous while.
    bool WaitFor(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            LetTimePass(20);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    void Key(WPARAM key) {
        PostKeyEvent(WM_KEYDOWN, key);
        PostKeyEvent(WM_KEYUP, key);
        LetTimePass(5);
    }
    void ShiftKey(WPARAM key) {
        PostKeyEvent(WM_KEYDOWN, VK_SHIFT);
        Key(key);
        PostKeyEvent(WM_KEYUP, VK_SHIFT);
        LetTimePass(5);
    }
    void Type(char c) {
        PostKeyEvent(WM_CHAR, static_cast<unsigned char>(c));
        LetTimePass(5);
    }
    bool Shows(int step) {
        return dialog.current < dialog.pages.size() &&
               dialog.pages[dialog.current]->Step() == step &&
               dialog.pages[dialog.current]->IsWindowVisible();
    }
    bool Marked(POINT at) { return WindowSurface(&dialog)->Get(at.x, at.y) == look::kAccent; }
    CDlgWiz2& Browser() { return static_cast<CDlgWiz2&>(*dialog.pages[1]); }
    CDlgWiz3& Editor() { return static_cast<CDlgWiz3&>(*dialog.pages[2]); }

    void Welcome();
    void ChooseLandscape();
    void MoveFrame();
    void OnToTheEnd();
    void Road() {
        ASSERT_NO_FATAL_FAILURE(Welcome());
        ASSERT_NO_FATAL_FAILURE(ChooseLandscape());
        ASSERT_NO_FATAL_FAILURE(MoveFrame());
        ASSERT_NO_FATAL_FAILURE(OnToTheEnd());
    }

    fs::path dir;
    HeadlessBackend backend;
    CDlgMain dialog;
    RECT frame{};
};

// Enter at once, before anything else has happened on the welcome page.
void KeyboardRoad::Welcome() {
    ASSERT_TRUE(Shows(1));
    Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return Shows(2); })) << "Enter on the welcome page did nothing";
}

// Tab reaches the tree, then the list (Shift+Tab goes back); the arrows choose the
// second thumbnail as a click would, and Enter moves on.
void KeyboardRoad::ChooseLandscape() {
    ASSERT_TRUE(WaitFor([&] { return Browser().fileList.GetItemCount() == 2; }));
    const POINT treeEdge{37, 200}, listEdge{302, 200};
    EXPECT_FALSE(Marked(treeEdge));
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), &Browser().folderTree);
    EXPECT_TRUE(Marked(treeEdge));
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), &Browser().fileList);
    EXPECT_TRUE(Marked(listEdge));
    EXPECT_FALSE(Marked(treeEdge));
    ShiftKey(VK_TAB);
    EXPECT_EQ(GetFocus(), &Browser().folderTree);
    Key(VK_TAB);
    Key(VK_RIGHT);  // nothing chosen yet: the first
    Key(VK_RIGHT);
    EXPECT_EQ(Browser().ChosenPathCopy(), (dir / "pictures/Landscape.png").string());
    Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return Shows(3); })) << "Enter in the list did not move on";
    EXPECT_EQ(g_chosenPicturePath, (dir / "pictures/Landscape.png").string());
}

// The frame spans the laid-out picture's height: down moves it nowhere until it
// is made smaller; a Shift step is ten pixels.
void KeyboardRoad::MoveFrame() {
    const POINT boxEdge{road::kBoxLeft, road::kBoxTop + 90};
    EXPECT_FALSE(Marked(boxEdge));
    Key(VK_TAB);
    ASSERT_EQ(GetFocus(), Editor().pictureMask.get());
    EXPECT_TRUE(Marked(boxEdge));
    const road::Square start = road::StartingFrame(kWidth, kHeight);
    for (int i = 0; i < 3; ++i)
        Key(VK_LEFT);
    ShiftKey(VK_RIGHT);
    Key(VK_DOWN);
    for (int i = 0; i < 3; ++i)
        Type('-');
    Key(VK_DOWN);
    Key(VK_DOWN);
    Type('+');
    const RECT expected{start.left + 9, start.top + 4, start.left + 9 + start.side - 4,
                        start.top + start.side};
    frame = Editor().frame.sel;
    EXPECT_EQ(frame.left, expected.left);
    EXPECT_EQ(frame.top, expected.top);
    EXPECT_EQ(frame.right, expected.right);
    EXPECT_EQ(frame.bottom, expected.bottom);
    EXPECT_TRUE(Marked(boxEdge)) << "the mark went with the redrawn picture";
}

void KeyboardRoad::OnToTheEnd() {
    for (int step = 4; step <= 6; ++step) {
        Key(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return Shows(step); })) << "Enter did not reach step " << step;
    }
    Key(VK_RETURN);  // sends
    const fs::path sent = dir / "phone/Stamps/Landscape.png";
    const std::string tool = (dir / "tool.png").string();
    const std::string select = std::to_string(frame.left) + "," + std::to_string(frame.top) + "," +
                               std::to_string(frame.right) + "," + std::to_string(frame.bottom);
    const std::string expected = road::ToolStamp(OSTREL_PXTOOL_PATH, dir / "pictures/Landscape.png",
                                                 "--select " + select, tool);
    ASSERT_FALSE(expected.empty());
    EXPECT_TRUE(WaitFor([&] { return road::FileBytes(sent) == expected; }))
        << "the stamp on the phone differs from pxtool stamp --select " << select;
}

}  // namespace

TEST_F(KeyboardRoad, FromStartUpToThePhoneWithKeysAlone) {
    MessageQueue::Current()->Schedule(0, [&] {
        Road();
        dialog.PostMessage(WM_WIZ_EXIT);
    });
    dialog.DoModal();
    EXPECT_TRUE(backend.Boxes().empty()) << backend.Boxes()[0].text;
}
