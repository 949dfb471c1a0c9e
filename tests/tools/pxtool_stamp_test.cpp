#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/px_image.h"
#include "options.h"
#include "stamp.h"

namespace fs = std::filesystem;
using pxtool::ParseStampOptions;
using pxtool::UsageError;

namespace {

class PxtoolStamp : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("ostrel_pxstamp_" + std::to_string(getpid()));
        fs::create_directories(folder_);
        // 400 x 300: left half blue, right half white, drawn at (33, 110, 215, 246).
        PxImage picture(400, 300, 24);
        for (LONG y = 0; y < 300; ++y)
            for (LONG x = 0; x < 400; ++x)
                picture.SetPixelColor(x, y,
                                      x < 200 ? RGBQUAD{255, 0, 0, 0} : RGBQUAD{255, 255, 255, 0});
        ASSERT_TRUE(picture.Save(In().c_str(), PX_FORMAT_PNG));
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string In() const { return (folder_ / "in.png").string(); }
    std::string Out() const { return (folder_ / "out.png").string(); }

    // Width, colour type and tRNS count of the written stamp (libpng's view).
    struct Facts {
        png_uint_32 width = 0;
        int colorType = -1, trns = 0;
    };
    Facts Read() const {
        Facts facts;
        std::FILE* in = std::fopen(Out().c_str(), "rb");
        if (!in) return facts;
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, in);
        png_read_info(png, info);
        facts.width = png_get_image_width(png, info);
        facts.colorType = png_get_color_type(png, info);
        png_bytep alpha = nullptr;
        if (!png_get_tRNS(png, info, &alpha, &facts.trns, nullptr)) facts.trns = 0;
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        return facts;
    }

    fs::path folder_;
};

}  // namespace

TEST(PxtoolStampOptions, ParsesTheWizardsChoices) {
    const pxtool::StampOptions options =
        ParseStampOptions({"in.jpg",   "--size",      "16",       "--select", "56,110,192,246",
                           "--rotate", "left",        "--mirror", "--flip",   "--lightness",
                           "-30",      "--pick",      "1,2",      "3,4",      "--pick",
                           "5,6",      "--tolerance", "9",        "-o",       "out.png"});
    EXPECT_EQ(options.input, "in.jpg");
    EXPECT_EQ(options.output, "out.png");
    EXPECT_EQ(options.format, 1);
    ASSERT_TRUE(options.select);
    EXPECT_EQ(options.select->right, 192);
    EXPECT_EQ(options.edits, (std::vector<std::string>{"left", "mirror", "flip"}));
    EXPECT_EQ(options.lightness, -30);
    ASSERT_EQ(options.picks.size(), 3u);
    EXPECT_EQ(options.picks[1].x, 3);
    EXPECT_EQ(options.picks[2].y, 6);
    EXPECT_EQ(options.tolerance, DWORD{9});
}

TEST(PxtoolStampOptions, RefusesWhatTheWizardCannotDo) {
    EXPECT_THROW(ParseStampOptions({"in.jpg"}), UsageError);
    EXPECT_THROW(ParseStampOptions({"in.jpg", "--size", "24", "-o", "o.png"}), UsageError);
    EXPECT_THROW(ParseStampOptions({"in.jpg", "--all", "--select", "1,2,3,4", "-o", "o.png"}),
                 UsageError);
    EXPECT_THROW(ParseStampOptions({"in.jpg", "--pick", "x", "-o", "o.png"}), UsageError);
    EXPECT_THROW(ParseStampOptions({"a.jpg", "b.jpg", "-o", "o.png"}), UsageError);
}

TEST_F(PxtoolStamp, TheDefaultFrameAndAPickGiveATransparentStamp) {
    // The default frame (56, 110, 192, 246) holds blue and white halves; a pick on
    // the white one makes it transparent (scaling leaves white at 254 or 255).
    ASSERT_EQ(pxtool::RunStamp({In(), "--pick", "100,60", "--tolerance", "4", "-o", Out()}), 0);
    const Facts facts = Read();
    EXPECT_EQ(facts.width, 32u);
    EXPECT_EQ(facts.colorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(facts.trns, 1);
    PxImage stamp(Out().c_str(), PX_FORMAT_PNG);
    EXPECT_EQ(stamp.GetPixelIndex(31, 16), 0);
    EXPECT_NE(stamp.GetPixelIndex(0, 16), 0);
}

TEST_F(PxtoolStamp, SizeWholePictureAndEditsFollowTheWizard) {
    ASSERT_EQ(pxtool::RunStamp({In(), "--size", "16", "--all", "--mirror", "-o", Out()}), 0);
    Facts facts = Read();
    EXPECT_EQ(facts.width, 16u);
    EXPECT_EQ(facts.trns, 0);
    PxImage stamp(Out().c_str(), PX_FORMAT_PNG);
    // Letterboxed 16 x 12 at y = 2; mirrored, so white is on the left.
    EXPECT_EQ(stamp.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(stamp.GetPixelColor(0, 8).rgbRed, 255);
    EXPECT_GE(stamp.GetPixelColor(15, 8).rgbBlue, 250);
    EXPECT_EQ(stamp.GetPixelColor(15, 8).rgbRed, 0);

    ASSERT_EQ(pxtool::RunStamp({In(), "--select", "33,110,101,178", "-o", Out()}), 0);
    PxImage blue(Out().c_str(), PX_FORMAT_PNG);
    EXPECT_GE(blue.GetPixelColor(31, 31).rgbBlue, 250);
    EXPECT_EQ(blue.GetPixelColor(31, 31).rgbRed, 0);
}

TEST_F(PxtoolStamp, FailuresAreExitCodes) {
    EXPECT_EQ(pxtool::RunStamp({(folder_ / "missing.png").string(), "-o", Out()}), 1);
    EXPECT_EQ(pxtool::RunStamp({(folder_ / "notes.txt").string(), "-o", Out()}), 1);
    EXPECT_EQ(pxtool::RunStamp({In(), "--select", "300,300,340,340", "-o", Out()}), 1);
    EXPECT_EQ(pxtool::RunStamp({In(), "-o", (folder_ / "no/dir/out.png").string()}), 1);
    EXPECT_FALSE(fs::exists(Out()));
}
