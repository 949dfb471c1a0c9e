// The desktop's thumbnail cache in front of the list's thumbnails: entries used,
// checked, replaced and written as the desktop expects, never at the cost of a
// thumbnail shown.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>

#include "platform/system/thumbnail_cache.h"
#include "platform/system/thumbnail_uri.h"
#include "stamp/cached_thumbnail.h"
#include "stamp/thumbnail_picture.h"
#include "stamp_support.h"

using namespace stamp_test;

namespace {

constexpr RGBQUAD kRed{0, 0, 230, 0};
constexpr RGBQUAD kMagenta{200, 10, 210, 0};

bool Near(RGBQUAD a, RGBQUAD b) {
    return std::abs(a.rgbRed - b.rgbRed) < 8 && std::abs(a.rgbGreen - b.rgbGreen) < 8 &&
           std::abs(a.rgbBlue - b.rgbBlue) < 8;
}

RgbaPicture RgbaFilled(unsigned w, unsigned h, RGBQUAD c) {
    RgbaPicture p{w, h, {}};
    for (unsigned i = 0; i < w * h; ++i)
        p.pixels.insert(p.pixels.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, 255});
    return p;
}

bool WritePng(const std::string& file, const RgbaPicture& picture,
              const std::vector<std::pair<std::string, std::string>>& texts) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (!out) return false;
    const bool ok = WriteThumbnailPng(out, picture, texts);
    return std::fclose(out) == 0 && ok;
}

std::vector<unsigned char> Contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CachedThumbnail : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CACHE_HOME");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        setenv("XDG_CACHE_HOME", cacheHome().c_str(), 1);
        picture_ = pictures_ / "red photo.png";
        ASSERT_TRUE(Filled(300, 150, kRed).Save(picture_.c_str(), PX_FORMAT_PNG));
    }
    void TearDown() override {
        if (hadOld_)
            setenv("XDG_CACHE_HOME", old_.c_str(), 1);
        else
            unsetenv("XDG_CACHE_HOME");
    }
    std::string cacheHome() const { return home_ / "cache"; }
    ThumbnailCache cache() const { return ThumbnailCache(cacheHome()); }
    std::string EntryOf(const std::string& path, const std::string& folder = "normal") const {
        return cache().Folder() + "/" + folder + "/" +
               ThumbnailFileName(cache().Subject(path)->uri);
    }
    // The right keys for the picture, with one of them changed when asked.
    std::vector<std::pair<std::string, std::string>> KeysOf(const std::string& path) const {
        const ThumbnailSubject s = *cache().Subject(path);
        return {{"Thumb::URI", s.uri},
                {"Thumb::MTime", std::to_string(s.mtime)},
                {"Thumb::Size", std::to_string(s.size)}};
    }
    void PutEntry(const std::string& path, RGBQUAD colour, unsigned side = 128,
                  const std::string& folder = "normal") {
        fs::create_directories(cache().Folder() + "/" + folder);
        ASSERT_TRUE(
            WritePng(EntryOf(path, folder), RgbaFilled(side, side / 2, colour), KeysOf(path)));
    }
    // The thumbnail loaded through the cache: its centre's colour.
    RGBQUAD Shown(const std::string& path, int* code = nullptr) {
        PxImage image;
        const int c = LoadThumbnailPicture(path, image, kPictureLoad, true);
        if (code) *code = c;
        return image.GetPixelColor(static_cast<LONG>(image.GetWidth() / 2),
                                   static_cast<LONG>(image.GetHeight() / 2));
    }
    bool EntryIsCurrentAndRed(const std::string& path) {
        const std::vector<unsigned char> bytes = cache().Find(*cache().Subject(path));
        PxImage image;
        return !bytes.empty() &&
               image.Decode(const_cast<unsigned char*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()), PX_FORMAT_PNG) &&
               Near(image.GetPixelColor(10, 10), kRed);
    }

    ScratchFolder home_;
    ScratchFolder pictures_;
    std::string picture_;
    bool hadOld_ = false;
    std::string old_;
};

}  // namespace

TEST_F(CachedThumbnail, AValidEntryIsShownInPlaceOfThePicture) {
    PutEntry(picture_, kMagenta);
    int code = 0;
    EXPECT_TRUE(Near(Shown(picture_, &code), kMagenta));
    EXPECT_EQ(code, PX_FORMAT_PNG);
    // A larger size class is taken as well; without the cache the picture is decoded.
    fs::remove(EntryOf(picture_));
    PutEntry(picture_, kMagenta, 256, "large");
    EXPECT_TRUE(Near(Shown(picture_), kMagenta));
    PxImage plain;
    LoadThumbnailPicture(picture_, plain, kPictureLoad, false);
    EXPECT_TRUE(Near(plain.GetPixelColor(5, 5), kRed));
}

TEST_F(CachedThumbnail, AWrittenEntryFollowsTheStandard) {
    const std::string odd = pictures_ / "caf\xC3\xA9 au lait.png";
    fs::copy_file(picture_, odd);
    EXPECT_TRUE(Near(Shown(odd), kRed));
    const std::string uri = cache().Subject(odd)->uri;
    EXPECT_NE(uri.find("/caf%C3%A9%20au%20lait.png"), std::string::npos) << uri;
    const std::string entry = EntryOf(odd);
    struct stat info {};
    ASSERT_EQ(lstat(entry.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    for (const std::string& folder : {cache().Folder(), cache().Folder() + "/normal"}) {
        ASSERT_EQ(stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
    const std::vector<unsigned char> bytes = Contents(entry);
    ThumbnailPngFacts facts;
    ASSERT_TRUE(ReadThumbnailPngFacts(bytes, facts));
    EXPECT_EQ(facts.width, 128u);  // 300 x 150 made "normal"
    EXPECT_EQ(facts.height, 64u);
    EXPECT_EQ(facts.uri, uri);
    EXPECT_EQ(facts.mtime, std::to_string(cache().Subject(odd)->mtime));
    EXPECT_EQ(facts.size, std::to_string(fs::file_size(odd)));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find(std::string("Thumb::Mimetype\0image/png", 25)), std::string::npos);
    EXPECT_NE(text.find(std::string("Software\0Ostrel", 15)), std::string::npos);
    EXPECT_EQ(text.find("RGBA"), std::string::npos);
    EXPECT_EQ(bytes[25], 6);  // colour type RGBA
    // Only the entry itself is left in the folder: no temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(cache().Folder() + "/normal"),
                            fs::directory_iterator()),
              1);
}

TEST_F(CachedThumbnail, AStaleEntryIsReplaced) {
    fs::create_directories(cache().Folder() + "/normal");
    auto keys = KeysOf(picture_);
    keys[1].second = std::to_string(std::stoll(keys[1].second) - 5);
    ASSERT_TRUE(WritePng(EntryOf(picture_), RgbaFilled(128, 64, kMagenta), keys));
    EXPECT_TRUE(Near(Shown(picture_), kRed));
    EXPECT_TRUE(EntryIsCurrentAndRed(picture_));
}

TEST_F(CachedThumbnail, BadEntriesAreNeverShownAndAreReplaced) {
    const std::string normal = cache().Folder() + "/normal";
    const auto wrongKey = [&](int key, const std::string& value) {
        auto keys = KeysOf(picture_);
        if (value.empty())
            keys.erase(keys.begin() + key);
        else
            keys[static_cast<std::size_t>(key)].second = value;
        ASSERT_TRUE(WritePng(EntryOf(picture_), RgbaFilled(128, 64, kMagenta), keys));
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"truncated",
         [&] {
             PutEntry(picture_, kMagenta);
             fs::resize_file(EntryOf(picture_), fs::file_size(EntryOf(picture_)) - 30);
         }},
        {"symlink",
         [&] {
             PutEntry(picture_, kMagenta);
             fs::rename(EntryOf(picture_), home_ / "elsewhere.png");
             fs::create_symlink(home_ / "elsewhere.png", EntryOf(picture_));
         }},
        {"not a PNG", [&] { std::ofstream(EntryOf(picture_)) << "GIF89a and more"; }},
        {"empty", [&] { std::ofstream{EntryOf(picture_)}; }},
        {"another size class", [&] { PutEntry(picture_, kMagenta, 256); }},
        {"wrong URI", [&] { wrongKey(0, "file:///elsewhere/red%20photo.png"); }},
        {"no MTime", [&] { wrongKey(1, ""); }},
        {"wrong size", [&] { wrongKey(2, "12"); }},
        {"unreadable folder entry", [&] { fs::create_directory(EntryOf(picture_)); }},
    };
    for (const auto& [what, make] : cases) {
        fs::remove_all(cache().Folder());
        fs::create_directories(normal);
        make();
        EXPECT_TRUE(Near(Shown(picture_), kRed)) << what;
        if (std::string(what) != "unreadable folder entry") {
            EXPECT_TRUE(EntryIsCurrentAndRed(picture_)) << what;
        }
    }
}

TEST_F(CachedThumbnail, AnUnreadableFileIsRecordedAndThenNotDecodedAgain) {
    const std::string photo = pictures_ / "photo.jpg";
    ASSERT_TRUE(Filled(200, 100, kRed).Save(photo.c_str(), PX_FORMAT_JPG));
    const auto good = fs::file_size(photo);
    { std::ofstream(photo, std::ios::binary | std::ios::trunc) << std::string(good, 'x'); }
    LibraryMessages messages;
    int code = 0;
    PxImage image;
    code = LoadThumbnailPicture(photo, image, kPictureLoad, true);
    EXPECT_EQ(code, PX_FORMAT_PNG);
    EXPECT_EQ(image.GetWidth(), 28u);  // the placeholder
    std::vector<fs::path> failed;
    for (const auto& entry : fs::recursive_directory_iterator(cache().Folder() + "/fail"))
        if (entry.is_regular_file()) failed.push_back(entry.path());
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].parent_path().filename().string().rfind("ostrel-", 0), 0u);
    EXPECT_EQ(failed[0].filename().string(), ThumbnailFileName(cache().Subject(photo)->uri));
    EXPECT_FALSE(fs::exists(EntryOf(photo)));

    // Made readable behind the cache's back (same size and time): still the placeholder.
    struct stat before {};
    ASSERT_EQ(stat(photo.c_str(), &before), 0);
    ASSERT_TRUE(Filled(200, 100, kRed).Save(photo.c_str(), PX_FORMAT_JPG));
    const timeval times[2] = {{before.st_atim.tv_sec, 0}, {before.st_mtim.tv_sec, 0}};
    ASSERT_EQ(utimes(photo.c_str(), times), 0);
    PxImage again;
    EXPECT_EQ(LoadThumbnailPicture(photo, again, kPictureLoad, true), PX_FORMAT_PNG);
    EXPECT_EQ(again.GetWidth(), 28u);
    // Changed for real: decoded and cached.
    const timeval later[2] = {{before.st_atim.tv_sec, 0}, {before.st_mtim.tv_sec + 10, 0}};
    ASSERT_EQ(utimes(photo.c_str(), later), 0);
    EXPECT_TRUE(Near(Shown(photo), kRed));
    EXPECT_TRUE(fs::exists(EntryOf(photo)));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(CachedThumbnail, ACacheThatCannotBeWrittenStillShowsTheThumbnail) {
    LibraryMessages messages;
    setenv("XDG_CACHE_HOME", "/proc/self/no-cache-here", 1);
    EXPECT_TRUE(Near(Shown(picture_), kRed));
    setenv("XDG_CACHE_HOME", cacheHome().c_str(), 1);
    fs::create_directories(cache().Folder() + "/normal");
    fs::permissions(cache().Folder() + "/normal", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_TRUE(Near(Shown(picture_), kRed));
    fs::permissions(cache().Folder() + "/normal", fs::perms::owner_all);
    // The cache folder taken by a file: nothing can be made below it.
    fs::remove_all(cache().Folder());
    std::ofstream(cache().Folder()) << "in the way";
    EXPECT_TRUE(Near(Shown(picture_), kRed));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(CachedThumbnail, FilesInsideTheThumbnailFoldersAreNeverCached) {
    fs::create_directories(cache().Folder() + "/normal");
    const std::string inside = cache().Folder() + "/normal/" + "picture.png";
    fs::copy_file(picture_, inside);
    EXPECT_TRUE(Near(Shown(inside), kRed));
    // Also when reached through a link to the cache.
    fs::create_directory_symlink(cache().Folder(), pictures_ / "linked");
    EXPECT_TRUE(Near(Shown(pictures_ / "linked/normal/picture.png"), kRed));
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(cache().Folder()),
                            fs::recursive_directory_iterator()),
              2);  // normal/ and the picture
}

TEST_F(CachedThumbnail, ManyThreadsShareTheCache) {
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) {
        files.push_back(pictures_ / ("p" + std::to_string(i) + ".png"));
        fs::copy_file(picture_, files.back());
    }
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 3; ++round)
                for (const std::string& f : files)
                    if (!Near(Shown(f), kRed)) ++wrong;
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
    for (const std::string& f : files)
        EXPECT_TRUE(EntryIsCurrentAndRed(f)) << f;
}

// The user's "Thumbnail Cache" setting: on when missing, off at 0; the list's
// loading follows what the page last read from it.
TEST_F(CachedThumbnail, TheSettingTurnsTheCacheOff) {
    const std::string registry = home_ / "r.reg";
    setenv("OSTREL_REGISTRY", registry.c_str(), 1);
    EXPECT_TRUE(ThumbnailCacheSetting());
    std::ofstream(registry) << "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Tessel 310-510\\"
                               "Customization Wizards\\user]\n\"Thumbnail Cache\"=dword:00000000\n";
    EXPECT_FALSE(ThumbnailCacheSetting());
    unsetenv("OSTREL_REGISTRY");

    PutEntry(picture_, kMagenta);
    SetThumbnailCacheInUse(false);
    PxImage image;
    LoadThumbnailPicture(picture_, image);
    EXPECT_TRUE(Near(image.GetPixelColor(5, 5), kRed));
    SetThumbnailCacheInUse(true);
    LoadThumbnailPicture(picture_, image);
    EXPECT_TRUE(Near(image.GetPixelColor(5, 5), kMagenta));
    SetThumbnailCacheInUse(false);
}
