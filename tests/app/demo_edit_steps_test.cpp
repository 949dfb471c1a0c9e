// The demo's lines for steps 3 and 4, played in the wizard from step 3 with a
// picture chosen (as step 2 leaves it): they drag the frame, switch sizes, change
// the lightness, pick a colour and reach step 5 with the stamp written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/globals.h"
#include "app/main_window/dlg_main.h"
#include "app/resources/wizard_resources.h"
#include "pages/dlg_wiz3.h"
#include "platform/backends/headless_backend.h"
#include "platform/backends/script.h"
#include "platform/window/clock.h"
#include "stamp/stamp_globals.h"

namespace fs = std::filesystem;

namespace {

// The demo's lines from the step 3 comment through the Enter that leaves step 4.
std::string StepsThreeAndFour() {
    std::ifstream in(OSTREL_SOURCE_DIR "/data/demo/walkthrough.txt");
    std::string line, section;
    bool inside = false, previewShot = false;
    while (std::getline(in, line)) {
        inside = inside || line.rfind("# Step 3", 0) == 0;
        if (!inside) continue;
        section += line + "\n";
        previewShot = previewShot || line == "screenshot 4-preview";
        if (previewShot && line == "key ENTER") break;
    }
    return section + "wait 300\nquit\n";
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

TEST(DemoEditSteps, EditAndPreviewLinesReachStepFive) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_demo34_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "wizards" / "temp");
    std::ofstream(dir / "registry.reg")
        << "Windows Registry Editor Version 5.00\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\Customization Wizards]\n"
           "\"Installation Path\"=\""
        << (dir / "wizards").string()
        << "/\"\n\"StampTolerance\"=dword:00000010\n\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510]\n\"Current Link\"=\"None\"\n";
    setenv("OSTREL_REGISTRY", (dir / "registry.reg").c_str(), 1);
    RegisterWizardResources();
    g_texts = BuildTexts("EN");
    g_mainWnd = nullptr;

    // A picture with a plain middle, the colour the demo picks.
    PxImage picture;
    picture.Create(240, 180, 24);
    for (LONG y = 0; y < 180; ++y)
        for (LONG x = 0; x < 240; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{static_cast<BYTE>(x), static_cast<BYTE>(y), 90, 0});
    for (LONG y = 60; y < 120; ++y)
        for (LONG x = 80; x < 160; ++x)
            picture.SetPixelColor(x, y, RGBQUAD{40, 200, 240, 0});
    const std::string path = (dir / "harbour.png").string();
    ASSERT_TRUE(picture.Save(path.c_str(), PX_FORMAT_PNG));
    g_chosenPicturePath = path;
    ASSERT_TRUE(g_editorPicture.Open(path, kAcceptAll, 0));

    std::string error;
    auto steps = ParseScript(StepsThreeAndFour(), &error);
    ASSERT_TRUE(steps) << error;
    HeadlessBackend backend;
    // OSTREL_DEMO_SCREENS keeps the screenshots for a person to look at.
    const char* keep = std::getenv("OSTREL_DEMO_SCREENS");
    ScriptRunner runner(backend, *steps, keep ? keep : dir.string());
    CDlgMain dialog;
    // Step 3 as step 2 leaves it, once the pages exist; then the demo's lines.
    MessageQueue::Current()->Schedule(300, [&] { dialog.PostMessage(WM_WIZ_NEXT, 2); });
    MessageQueue::Current()->Schedule(400, [&] { runner.Start(); });
    MessageQueue::Current()->Schedule(60000, [&] { dialog.PostMessage(WM_WIZ_EXIT); });
    dialog.DoModal();

    EXPECT_TRUE(runner.Problems().empty()) << runner.Problems().front();
    for (const RecordedBox& box : backend.Boxes())
        ADD_FAILURE() << "message box: " << box.text;
    EXPECT_EQ(runner.Screenshots().size(), 3u);
    EXPECT_EQ(dialog.current, 4u) << "the demo did not reach step 5";
    auto* editor = dynamic_cast<CDlgWiz3*>(dialog.pages.at(2).get());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->format, 0);
    EXPECT_GT(editor->smallPreview.lightness, 0.0);
    EXPECT_LT(editor->frame.sel.left, 48);  // dragged left from the centre
    const fs::path stamp = dir / "wizards" / "temp" / "harbour.png";
    EXPECT_EQ(g_pendingStampFile, stamp.string());
    ASSERT_TRUE(g_previewPicture.image);
    EXPECT_GE(g_previewPicture.image->GetTransIndex(), 0) << "the pick made nothing transparent";

    // The same stamp from the command-line tool.
    const RECT& s = editor->frame.sel;
    const int lightness = static_cast<int>(std::lround(editor->smallPreview.lightness * 60));
    const std::string command =
        std::string(OSTREL_PXTOOL_PATH) + " stamp '" + path + "' --select " +
        std::to_string(s.left) + "," + std::to_string(s.top) + "," + std::to_string(s.right) + "," +
        std::to_string(s.bottom) + " --lightness " + std::to_string(lightness) +
        " --pick 64,64 -o '" + (dir / "tool.png").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(Bytes(stamp) == Bytes(dir / "tool.png"));

    MessageQueue::Current()->CancelScheduled();
    g_editorPicture.image.reset();
    g_editorPicture.owner = nullptr;
    g_previewPicture.image.reset();
    g_previewPicture.owner = nullptr;
    g_previewPicture.lightness = 0.0;
    g_pendingStampFile.clear();
    g_mainWnd = nullptr;
    unsetenv("OSTREL_REGISTRY");
    if (!HasFailure()) fs::remove_all(dir);
}
