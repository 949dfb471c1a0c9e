// A picture dropped on the wizard, headless through the back end's drop: on every
// step it opens step 3 with that picture, as a start with the file does; while a
// transfer runs the window takes nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "imaging/px_image.h"
#include "pages/dlg_wiz6.h"
#include "phonelink/phone_link_server.h"
#include "platform/backends/headless_backend.h"
#include "platform/window/message_box.h"
#include "platform/window/message_loop.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

class DropPicture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterWizardResources();
        RegisterPhoneLinkServer();
    }
    void SetUp() override {
        root = fs::temp_directory_path() / ("ostrel_drop_" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "pictures");
        fs::create_directories(root / "temp");
        fs::create_directories(root / "phone");
        WriteRegistry("None");
        first = MakePicture("first.png", 30);
        dropped = MakePicture("dropped.png", 40);
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
        g_pendingStampFile.clear();
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(root);
    }
    void WriteRegistry(const std::string& link) {
        const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510";
        std::ofstream(root / "r.reg")
            << "Windows Registry Editor Version 5.00\n\n"
            << key << "]\n\"Language\"=\"EN\"\n\"Current Link\"=\"" << link << "\"\n\n"
            << key << "\\Customization Wizards]\n\"Installation Path\"=\"" << root.string()
            << "/\"\n\"PhoneIconFolder\"=\"Stamps\"\n\n"
            << key << "\\Customization Wizards\\user]\n\"BrowseStamp\"=\"" << root.string()
            << "\"\n\"PathStamp\"=\"" << root.string() << "/\"\n\n"
            << key << "\\PhoneLink]\n\"Storage Folder\"=\"" << (root / "phone").string()
            << "\"\n\"Chunk Delay\"=dword:00000150\n";
        setenv("OSTREL_REGISTRY", (root / "r.reg").c_str(), 1);
    }
    std::string MakePicture(const std::string& name, LONG width) {
        PxImage image;
        image.Create(width, 20, 24, PX_FORMAT_PNG);
        image.Clear(120);
        const fs::path path = root / "pictures" / name;
        EXPECT_TRUE(image.Save(path.c_str(), PX_FORMAT_PNG));
        return path.string();
    }
    void At(std::uint64_t ms, std::function<void()> step) {
        MessageQueue::Current()->Schedule(ms, std::move(step));
    }
    // The wizard brought to `step` (from step 3 on through its pages' own Next,
    // so each leaves what the next needs), then `then` at 2000 ms; closed at 5000.
    void RunTo(int step, std::function<void()> then) {
        if (step >= 3) dialog.startPicture = first;
        if (step == 2) At(200, [this] { dialog.PostMessage(WM_WIZ_NEXT, 0); });
        for (int s = 3; s < step; ++s)
            At(300 + 200 * s, [this] { dialog.pages[dialog.current]->Next(); });
        At(2000, std::move(then));
        At(5000, [this] { dialog.PostMessage(WM_WIZ_EXIT); });
        dialog.DoModal();
    }
    int ShownStep() {
        return dialog.current < dialog.pages.size() ? dialog.pages[dialog.current]->Step() : 0;
    }

    fs::path root;
    std::string first, dropped;
    std::vector<std::string> boxes;
    HeadlessBackend backend;
    CDlgMain dialog;
};

}  // namespace

class DropOnStep : public DropPicture, public ::testing::WithParamInterface<int> {};

TEST_P(DropOnStep, OpensStepThreeWithThePicture) {
    const int step = GetParam();
    int reached = 0;
    RunTo(step, [&] {
        reached = ShownStep();
        EXPECT_TRUE(backend.DropFiles({dropped}));
        At(2500, [&] {
            EXPECT_EQ(ShownStep(), 3);
            EXPECT_EQ(g_chosenPicturePath, dropped);
            EXPECT_EQ(g_editorPicture.GetWidth(), 40u);
        });
    });
    EXPECT_EQ(reached, step);
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    // The stamp made before the drop is let go with it.
    EXPECT_TRUE(step < 5 || !fs::exists(root / "temp/first.png"));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, DropOnStep, ::testing::Range(1, 7));

// Of several files the first picture; one that is no picture is named as the
// browser page names it.
TEST_F(DropPicture, TheFirstPictureOfSeveralAndAnInvalidOneNamed) {
    std::ofstream(root / "pictures/notes.txt") << "text";
    const std::string broken = (root / "pictures/broken.png").string();
    std::ofstream(broken) << "not a picture";
    RunTo(1, [&] {
        EXPECT_TRUE(backend.DropFiles({(root / "pictures/notes.txt").string(),
                                       (root / "pictures").string(), dropped, first}));
        At(2500, [&] {
            EXPECT_EQ(g_chosenPicturePath, dropped);
            EXPECT_TRUE(backend.DropFiles({broken}));
        });
        At(3000, [&] {
            EXPECT_EQ(ShownStep(), 2);
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0], "Invalid picture : " + broken);
        });
    });
}

// The copy takes a third of a second (the link's chunk delay): what is due when
// step 6 shows runs while it goes on. A drop is refused, and one handed over
// (posted without asking) is let go.
TEST_F(DropPicture, RefusedWhileTheStampIsSentAndTakenOnceItIsSent) {
    WriteRegistry("USB");
    At(1299, [&] {
        At(1300, [&] {
            EXPECT_EQ(ShownStep(), 6);
            EXPECT_TRUE(static_cast<CDlgWiz6&>(*dialog.pages[5]).transferResult.empty());
            EXPECT_FALSE(backend.DropFiles({dropped}));
            EXPECT_TRUE(PostDroppedFiles(&dialog, {dropped}));
        });
    });
    RunTo(6, [&] {
        EXPECT_EQ(ShownStep(), 6);
        EXPECT_EQ(g_chosenPicturePath, first);
        EXPECT_TRUE(fs::exists(root / "phone/Stamps/first.png"));
        EXPECT_TRUE(backend.DropFiles({dropped}));
        At(2500, [&] { EXPECT_EQ(ShownStep(), 3); });
    });
}
