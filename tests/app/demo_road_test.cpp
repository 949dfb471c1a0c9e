// The demo's whole road in the real program, headless: a stamp sent, steps 6 to 4
// walked back and on again, then "new stamp" and a second one from another picture.
// Both stamps on the phone must be what pxtool stamp makes from the demo's own
// page coordinates, and nothing may stay in the temporary folder once it closes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "imaging/px_image.h"

namespace fs = std::filesystem;

namespace {

// The editor lays a picture out at this corner of a 182 x 182 box.
constexpr LONG kBoxLeft = 33, kBoxTop = 110, kBoxSide = 182;

struct Square {
    LONG left, top, side;
    std::string Select() const {
        return std::to_string(left) + "," + std::to_string(top) + "," +
               std::to_string(left + side) + "," + std::to_string(top + side);
    }
};

// The frame the editor starts with: the largest centred square of the picture as
// laid out (shrunk to fit the box, never enlarged).
Square StartingFrame(double width, double height) {
    double w = width, h = height;
    if (w > kBoxSide || h > kBoxSide) {
        const double scale = kBoxSide / std::max(w, h);
        w = std::trunc(w * scale);
        h = std::trunc(h * scale);
    }
    const LONG side = static_cast<LONG>(std::min(w, h));
    if (w > h) {
        const LONG centre = (2 * kBoxLeft + static_cast<LONG>(w)) / 2;
        return {static_cast<LONG>(std::trunc(centre - side / 2.0)), kBoxTop, side};
    }
    const LONG centre = (2 * kBoxTop + static_cast<LONG>(h)) / 2;
    return {kBoxLeft, static_cast<LONG>(std::trunc(centre - side / 2.0)), side};
}

// The lightness the demo's click at page x gives on the slider of 180 x 20 at
// x = 240 running from -60 to 60 (a knob 10 wide, centred on the pointer).
int SliderValueAt(LONG x) {
    const double along = (x - 240 - 5) / 170.0;
    return static_cast<int>(std::lround(-60 + along * 120));
}

int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string ToolStamp(const fs::path& picture, const std::string& arguments, const fs::path& out) {
    const std::string command = std::string(OSTREL_PXTOOL_PATH) + " stamp '" + picture.string() +
                                "' " + arguments + " -o '" + out.string() + "'";
    EXPECT_EQ(RunCommand(command), 0) << command;
    return Bytes(out);
}

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
    for (int mark = 1; mark <= 6; ++mark) {
        const RGBQUAD p = image.GetPixelColor(383 + 28 * (mark - 1) + 2, 410 - 45);
        if (p.rgbRed == 0x25 && p.rgbGreen == 0x63 && p.rgbBlue == 0xEB) return mark;
    }
    return 0;
}

}  // namespace

TEST(DemoRoad, BothStampsMatchTheToolAndNoTemporaryFileStays) {
    const fs::path dir = fs::temp_directory_path() / ("ostrel_road_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string env = "OSTREL_BACKEND=headless OSTREL_REGISTRY='" + (dir / "r.reg").string() +
                            "' XDG_DATA_HOME='" + (dir / "data").string() + "' XDG_RUNTIME_DIR='" +
                            dir.string() + "' HOME='" + dir.string() + "' OSTREL_SCREENSHOTS='" +
                            dir.string() + "' ";
    std::ofstream(dir / "r.reg") << "Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\"
                                    "Customization Wizards\\user]\n"
                                    "\"BrowseStamp\"=\"" OSTREL_DEMO_PICTURES "\"\n";
    ASSERT_EQ(RunCommand(env + OSTREL_SETUP_PATH " > /dev/null"), 0);
    ASSERT_EQ(RunCommand(env + "OSTREL_SCRIPT='" OSTREL_SOURCE_DIR "/data/demo/walkthrough.txt' " +
                         OSTREL_PROGRAM_PATH " > '" + (dir / "out.txt").string() + "'"),
              0);
    const std::string out = Bytes(dir / "out.txt");
    EXPECT_EQ(out.find("message box"), std::string::npos) << out;
    // Sent, sent again after going back, then the second stamp.
    EXPECT_EQ(Count(out, "sent to the phone: "), 3u) << out;

    const fs::path pictures = OSTREL_DEMO_PICTURES;
    const fs::path phone = dir / "data/norvane/phone/Stamps";
    // First stamp: the 160 x 160 balloon, whose frame covers it all (the demo's
    // drag cannot move it), made lighter on the slider, the middle of the
    // magnified stamp at (107, 167) picked.
    const Square balloon = StartingFrame(160, 160);
    const std::string first = ToolStamp(pictures / "Balloon.bmp",
                                        "--select " + balloon.Select() + " --lightness " +
                                            std::to_string(SliderValueAt(360)) + " --pick 64,64",
                                        dir / "tool-balloon.png");
    EXPECT_TRUE(Bytes(phone / "Balloon.png") == first) << "the first stamp on the phone";
    EXPECT_TRUE(Bytes(dir / "Pictures/ostrel-demo-stamp.png") == first) << "the saved copy";
    // Second stamp: the 240 x 160 sunset with a fresh editor, its frame dragged
    // from (124, 170) to (104, 170); no lightness, no pick.
    Square sunset = StartingFrame(240, 160);
    sunset.left -= 20;
    const std::string second =
        ToolStamp(pictures / "Sunset.jpg", "--select " + sunset.Select(), dir / "tool-sunset.png");
    EXPECT_TRUE(Bytes(phone / "Sunset.png") == second) << "the second stamp on the phone";

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
