#include "platform/system/thumbnail_uri.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/system/thumbnail_cache.h"

namespace {

// md5sum's digest of the text, asked at test time.
std::string Md5sumOf(const std::string& text) {
    const std::string command = "printf '%s' '" + text + "' | md5sum";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    char digest[33] = {};
    const bool read = std::fscanf(pipe, "%32s", digest) == 1;
    pclose(pipe);
    return read ? digest : "";
}

}  // namespace

TEST(ThumbnailUri, KeepsUnreservedAndSlashesEncodesEveryOtherByteInUpperCase) {
    EXPECT_EQ(ThumbnailUri("/home/u/Photos/a-b_c.d~e.jpg"), "file:///home/u/Photos/a-b_c.d~e.jpg");
    EXPECT_EQ(ThumbnailUri("/home/u/my photos/\xC3\xA9t\xC3\xA9 #1%.jpg"),
              "file:///home/u/my%20photos/%C3%A9t%C3%A9%20%231%25.jpg");
    EXPECT_EQ(ThumbnailUri("/a+b/c&d=e'f"), "file:///a%2Bb/c%26d%3De%27f");
}

TEST(ThumbnailUri, TheFileNameIsTheMd5OfTheUri) {
    const std::string uri = ThumbnailUri("/home/u/my photos/\xC3\xA9t\xC3\xA9.jpg");
    const std::string expected = Md5sumOf(uri);
    if (expected.empty()) GTEST_SKIP() << "md5sum is not available";
    EXPECT_EQ(ThumbnailFileName(uri), expected + ".png");
    EXPECT_EQ(ThumbnailFileName("file:///home/jens/photos/me.png"),
              "c6ee772d9e49320e97ec29a7eb5b1697.png");
}

TEST(ThumbnailCacheSubject, IsTheAbsoluteFileNeverTheCachesOwn) {
    const ThumbnailCache none("");
    EXPECT_FALSE(none.Subject("/etc/hostname"));
    const ThumbnailCache cache("/tmp/ostrel-cache-subject-test/");
    EXPECT_EQ(cache.Folder(), "/tmp/ostrel-cache-subject-test/thumbnails");
    EXPECT_FALSE(cache.Subject("/nowhere/at/all.jpg"));
    EXPECT_FALSE(cache.Subject("/tmp"));  // a folder
    const auto subject = cache.Subject("/etc/../etc/passwd");
    ASSERT_TRUE(subject);
    EXPECT_EQ(subject->uri, "file:///etc/passwd");
    EXPECT_FALSE(cache.Subject("/tmp/ostrel-cache-subject-test/thumbnails/normal/x.png"));
}
