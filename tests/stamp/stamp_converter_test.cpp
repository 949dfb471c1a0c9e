#include "stamp/stamp_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/window/message_box.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

constexpr RGBQUAD kMagenta{255, 0, 255, 0};

// The wizards' registry key in a file of the test's own, with "StampTolerance" set
// (or left out), and every message box recorded.
class Settings {
public:
    explicit Settings(const ScratchFolder& folder) : file_(folder / "registry.reg") {
        setenv("OSTREL_REGISTRY", file_.c_str(), 1);
        SetMessageBoxHandler([this](HWND, const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    ~Settings() {
        SetMessageBoxHandler(nullptr);
        unsetenv("OSTREL_REGISTRY");
    }
    void Tolerance(const char* dword) {
        std::ofstream(file_) << "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\"
                                "Customization Wizards]\n"
                             << (dword ? std::string("\"StampTolerance\"=dword:") + dword : "")
                             << "\n";
    }
    std::vector<std::string> boxes;

private:
    std::string file_;
};

std::unique_ptr<CPreviewPicture> Stamp(PxImage image) {
    auto stamp = std::make_unique<CPreviewPicture>();
    stamp->image = std::make_unique<PxImage>(image);
    return stamp;
}

void Fix(CStampConverter& converter, DWORD tolerance) {
    converter.toleranceSource = [tolerance] { return tolerance; };
}

int CountKey(const PxImage& image) {
    int count = 0;
    for (LONG y = 0; y < static_cast<LONG>(image.GetHeight()); ++y)
        for (LONG x = 0; x < static_cast<LONG>(image.GetWidth()); ++x)
            count += SameRgb(image.GetPixelColor(x, y), kMagenta);
    return count;
}

}  // namespace

TEST(StampConverter, AttachWidensTheStampAndMagnifiesIt) {
    PxImage palette = Gradient(16, 16);
    ASSERT_TRUE(palette.DecreaseBpp(8, false));
    auto stamp = Stamp(palette);
    CStampConverter converter;
    ASSERT_TRUE(converter.Attach(stamp.get(), 128.0 / 16));
    EXPECT_EQ(stamp->image->GetBpp(), 24);
    EXPECT_EQ(stamp->image->GetTransIndex(), 0);
    EXPECT_TRUE(SameRgb(stamp->image->GetTransColor(), kMagenta));
    EXPECT_EQ(converter.GetWidth(), 128u);
    EXPECT_EQ(converter.GetHeight(), 128u);
    EXPECT_TRUE(converter.HitPicture(107, 167));
    EXPECT_TRUE(converter.HitPicture(234, 294));
    EXPECT_FALSE(converter.HitPicture(235, 200));
    EXPECT_FALSE(converter.HitPicture(0, 0));
}

TEST(StampConverter, APickTakesTheStampPixelUnderThePoint) {
    for (const LONG side : {32, 16}) {
        const LONG scale = 128 / side;
        for (const auto& [k, m] : {std::pair{0, 0}, {3, 7}, {side - 1, side - 2}}) {
            auto stamp = Stamp(Gradient(side, side));
            CStampConverter converter;
            Fix(converter, 1);
            ASSERT_TRUE(converter.Attach(stamp.get(), 128.0 / side));
            const RGBQUAD picked = TopLeftPixel(*stamp->image, k, m);
            ASSERT_TRUE(converter.PickAt(107 + scale * k + scale - 1, 167 + scale * m));
            EXPECT_TRUE(SameRgb(TopLeftPixel(*stamp->image, k, m), kMagenta)) << side << k << m;
            EXPECT_EQ(CountKey(*stamp->image), 1) << SameRgb(picked, kMagenta);
            EXPECT_EQ(CountKey(*converter.image), scale * scale);
        }
    }
}

TEST(StampConverter, ToleranceIsStrictAndReadOnEveryPick) {
    ScratchFolder folder;
    Settings settings(folder);
    settings.Tolerance("00000001");
    PxImage picture = Filled(32, 32, RGBQUAD{100, 100, 100, 0});
    picture.SetPixelColor(0, 0, RGBQUAD{101, 100, 100, 0});
    auto stamp = Stamp(picture);
    CStampConverter converter;
    ASSERT_TRUE(converter.Attach(stamp.get(), 4));
    ASSERT_TRUE(converter.PickAt(150, 170));
    EXPECT_EQ(CountKey(*stamp->image), 32 * 32 - 1);

    settings.Tolerance("00000100");  // 256: everything
    ASSERT_TRUE(converter.PickAt(107, 294));
    EXPECT_EQ(CountKey(*stamp->image), 32 * 32);
    EXPECT_EQ(CountKey(*converter.image), 128 * 128);
    EXPECT_TRUE(settings.boxes.empty());
    // Picking the key colour changes nothing and asks for no redraw.
    EXPECT_FALSE(converter.PickAt(150, 170));
    EXPECT_FALSE(converter.PickAt(10, 10));
}

TEST(StampConverter, AnUnreadableToleranceIsReportedAndTheInstalledValueUsed) {
    ScratchFolder folder;
    Settings settings(folder);
    settings.Tolerance(nullptr);
    EXPECT_EQ(ReadStampTolerance(), kDefaultStampTolerance);
    ASSERT_EQ(settings.boxes.size(), 1u);
    EXPECT_EQ(settings.boxes[0], "Registry error");

    PxImage picture = Filled(32, 32, RGBQUAD{100, 100, 100, 0});
    picture.SetPixelColor(0, 0, RGBQUAD{115, 100, 100, 0});  // within 16
    picture.SetPixelColor(1, 0, RGBQUAD{116, 100, 100, 0});  // not
    auto stamp = Stamp(picture);
    CStampConverter converter;
    ASSERT_TRUE(converter.Attach(stamp.get(), 4));
    ASSERT_TRUE(converter.PickAt(150, 170));
    EXPECT_EQ(CountKey(*stamp->image), 32 * 32 - 1);
    EXPECT_FALSE(SameRgb(stamp->image->GetPixelColor(1, 0), kMagenta));
}

TEST(StampConverter, DrawMagnifiedShowsTheHatchThroughTransparentParts) {
    PageWindow page;
    page.Fill(RGB(0, 0, 255));
    PxImage picture = Filled(32, 32, RGBQUAD{0, 200, 0, 0});
    picture.SetPixelColor(0, 31, kMagenta);  // top-left pixel
    auto stamp = Stamp(picture);
    stamp->owner = page.get();
    stamp->hatched = true;
    stamp->originX = 379;
    stamp->originY = 180;
    CStampConverter converter;
    converter.owner = page.get();
    ASSERT_TRUE(converter.Attach(stamp.get(), 4));
    converter.DrawMagnified();
    stamp->Draw(0, 0);
    // The top-left 4 x 4 block shows the hatch, grey or blank, never magenta.
    int grey = 0;
    for (int y = 167; y < 171; ++y) {
        for (int x = 107; x < 111; ++x) {
            EXPECT_NE(page.Pixel(x, y), RGB(255, 0, 255));
            grey += page.Pixel(x, y) == RGB(128, 128, 128);
        }
    }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(page.Pixel(111, 167), RGB(0, 200, 0));
    EXPECT_EQ(page.Pixel(234, 294), RGB(0, 200, 0));
    EXPECT_EQ(page.Pixel(235, 294), RGB(0, 0, 255));
    EXPECT_NE(page.Pixel(379, 180), RGB(255, 0, 255));
    EXPECT_EQ(page.Pixel(380, 180), RGB(0, 200, 0));
    EXPECT_EQ(page.Pixel(411, 180), RGB(0, 0, 255));
}

TEST(PreviewPicture, WithoutHatchTheAreaIsBlackAndLightnessShows) {
    PageWindow page;
    page.Fill(RGB(0, 0, 255));
    PxImage picture = Filled(16, 16, RGBQUAD{100, 100, 100, 0});
    picture.SetPixelColor(0, 15, kMagenta);
    picture.SetTransIndex(0);
    picture.SetTransColor(kMagenta);
    auto stamp = Stamp(picture);
    stamp->owner = page.get();
    stamp->originX = 469;
    stamp->originY = 205;
    stamp->lightness = 0.5;  // brightness 64
    stamp->Draw(0, 0);
    EXPECT_EQ(page.Pixel(469, 205), RGB(0, 0, 0));  // transparent: black shows
    EXPECT_EQ(page.Pixel(470, 205), RGB(164, 164, 164));
    EXPECT_EQ(page.Pixel(484, 220), RGB(164, 164, 164));
    EXPECT_EQ(page.Pixel(485, 220), RGB(0, 0, 255));
    EXPECT_EQ(stamp->image->GetPixelColor(1, 1).rgbRed, 100);  // the stamp itself unchanged
}
