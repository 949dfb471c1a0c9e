// The demo's whole road in the real program, headless: a stamp sent, steps 6 to 4
// walked back and on again, then "new stamp" and a second one from another picture.
// Both stamps on the phone must be what pxtool stamp makes from the demo's own
// page coordinates, and nothing may stay in the temporary folder once it closes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "app/headless_program.h"
#include "app/road_arithmetic.h"
#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The step whose mark is filled with the accent colour in a screenshot.
int MarkedStep(const fs::path& shot) {
    PxImage image;
    if (!image.Load(shot.c_str(), PX_FORMAT_PNG, true)) return 0;
    for (int step = 1; step <= 6; ++step) {
        const road::MarkPoint mark = road::StepMark(step);
        const RGBQUAD p = image.GetPixelColor(mark.x, 410 - mark.y);  // bottom-up
        if (road::IsAccent(p.rgbRed, p.rgbGreen, p.rgbBlue)) return step;
    }
    return 0;
}

}  // namespace

TEST(DemoRoad, BothStampsMatchTheToolAndNoTemporaryFileStays) {
    const fs::path dir = headless::FreshFolder("ostrel_road");
    ASSERT_NO_FATAL_FAILURE(headless::RunDemo(dir));
    const std::string out = road::FileBytes(dir / "out.txt");
    EXPECT_EQ(out.find("message box"), std::string::npos) << out;
    // Sent, sent again after going back, then the second stamp.
    EXPECT_EQ(Count(out, "sent to the phone: "), 3u) << out;

    const fs::path pictures = OSTREL_DEMO_PICTURES;
    const fs::path phone = dir / "data/norvane/phone/Stamps";
    // First stamp: the 160 x 160 balloon, whose frame covers it all (the demo's
    // drag cannot move it), made lighter on the slider, the middle of the
    // magnified stamp at (107, 167) picked.
    const road::Square balloon = road::StartingFrame(160, 160);
    const std::string first = road::ToolStamp(OSTREL_PXTOOL_PATH, pictures / "Balloon.bmp",
                                              "--select " + balloon.Select() + " --lightness " +
                                                  std::to_string(road::SliderValueAt(360)) +
                                                  " --pick " + road::PickAt(171, 231),
                                              dir / "tool-balloon.png");
    EXPECT_TRUE(road::FileBytes(phone / "Balloon.png") == first) << "the first stamp on the phone";
    EXPECT_TRUE(road::FileBytes(dir / "Pictures/ostrel-demo-stamp.png") == first)
        << "the saved copy";
    // Second stamp: the 240 x 160 sunset with a fresh editor, its frame dragged
    // from (124, 170) to (104, 170); no lightness, no pick.
    road::Square sunset = road::StartingFrame(240, 160);
    sunset.left -= 20;
    const std::string second =
        road::ToolStamp(OSTREL_PXTOOL_PATH, pictures / "Sunset.jpg", "--select " + sunset.Select(),
                        dir / "tool-sunset.png");
    EXPECT_TRUE(road::FileBytes(phone / "Sunset.png") == second) << "the second stamp on the phone";

    std::set<std::string> onPhone;
    for (const auto& entry : fs::directory_iterator(phone))
        onPhone.insert(entry.path().filename().string());
    EXPECT_EQ(onPhone, (std::set<std::string>{"Balloon.png", "Sunset.png"}));
    const fs::path temp = dir / "data/norvane/wizards/temp";
    EXPECT_TRUE(!fs::exists(temp) || fs::is_empty(temp)) << "a temporary stamp stayed behind";

    // The road really went back and on: step 4 after Previous twice, step 2 after
    // "new stamp", step 6 at the end.
    EXPECT_EQ(MarkedStep(dir / "4-back.png"), 4);
    EXPECT_EQ(MarkedStep(dir / "2-second.png"), 2);
    EXPECT_EQ(MarkedStep(dir / "6-second.png"), 6);
    if (!HasFailure()) fs::remove_all(dir);
}
