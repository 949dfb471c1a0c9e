// Delivery into the phone's storage: a byte-identical copy that replaces a stamp
// of the same name, progress from start to end, and failures that leave the phone
// exactly as it was.
#include "phonelink/phone_delivery.h"

#include <gtest/gtest.h>

#include "link_test_support.h"

using namespace link_test;

namespace {

class Delivering : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(scratch.path() / "phone");
        request.source = scratch / "Sunset.png";
        request.storage = scratch / "phone";
        request.phoneFolder = "Stamps";
        request.chunkSize = 256;
        WriteFile(request.source, PngBytes(32, 32, 3, 900));
    }
    DeliveryResult Run() {
        calls.clear();
        return Deliver(request, [this](std::uint64_t sent, std::uint64_t total) {
            calls.emplace_back(sent, total);
        });
    }
    // The failure, and that the phone is the same before and after.
    void ExpectFailure(DeliveryError expected) {
        const auto before = Snapshot(scratch.path() / "phone");
        const DeliveryResult result = Run();
        EXPECT_EQ(result.error, expected);
        EXPECT_TRUE(result.target.empty());
        EXPECT_EQ(Snapshot(scratch.path() / "phone"), before);
    }

    Scratch scratch;
    DeliveryRequest request;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
};

}  // namespace

TEST_F(Delivering, TheCopyIsByteIdenticalInTheFolderMadeForItWithProgressThroughout) {
    const DeliveryResult result = Run();
    ASSERT_EQ(result.error, DeliveryError::kNone);
    const std::string target = scratch / "phone/Stamps/Sunset.png";
    EXPECT_EQ(result.target, target);
    EXPECT_EQ(ReadFile(target), ReadFile(request.source));
    // Nothing but the stamp is left there: no temporary file.
    EXPECT_EQ(Snapshot(scratch.path() / "phone/Stamps").size(), 1u);

    const std::uint64_t total = ReadFile(request.source).size();
    ASSERT_GE(calls.size(), 4u);  // 5 chunks of 256 bytes
    EXPECT_EQ(calls.front(), std::make_pair(std::uint64_t{0}, total));
    EXPECT_EQ(calls.back(), std::make_pair(total, total));
    for (std::size_t i = 1; i < calls.size(); ++i)
        EXPECT_GT(calls[i].first, calls[i - 1].first);
    EXPECT_EQ(calls.size(), (total + 255) / 256 + 1);
}

TEST_F(Delivering, AStampOfTheSameNameIsReplacedAndNestedFoldersWork) {
    request.phoneFolder = "Pictures\\Stamps/";
    fs::create_directories(scratch.path() / "phone/Pictures/Stamps");
    WriteFile(scratch / "phone/Pictures/Stamps/Sunset.png", "old stamp");
    ASSERT_EQ(Run().error, DeliveryError::kNone);
    EXPECT_EQ(ReadFile(scratch / "phone/Pictures/Stamps/Sunset.png"), ReadFile(request.source));
    request.phoneFolder = "";  // no folder: the storage itself
    ASSERT_EQ(Run().error, DeliveryError::kNone);
    EXPECT_TRUE(fs::exists(scratch / "phone/Sunset.png"));
}

TEST_F(Delivering, APhoneThatIsNotThereIsNotConnected) {
    request.storage = scratch / "unplugged";
    EXPECT_EQ(Run().error, DeliveryError::kNotConnected);
    EXPECT_FALSE(fs::exists(scratch / "unplugged"));
    request.storage = "";
    EXPECT_EQ(Run().error, DeliveryError::kNotConnected);
    WriteFile(scratch / "afile", "x");
    request.storage = scratch / "afile";
    EXPECT_EQ(Run().error, DeliveryError::kNotConnected);
}

TEST_F(Delivering, AFolderThatCannotBeMadeOrLeadsOutsideIsRefused) {
    WriteFile(scratch / "phone/Stamps", "a file where the folder should be");
    ExpectFailure(DeliveryError::kFolderNotMade);
    request.phoneFolder = "../outside";
    ExpectFailure(DeliveryError::kFolderNotMade);
    EXPECT_FALSE(fs::exists(scratch / "outside"));
    request.phoneFolder = "New/Stamps/../x";
    ExpectFailure(DeliveryError::kFolderNotMade);
}

TEST_F(Delivering, MissingUnreadableAndNonStampFilesAreRefusedBeforeTouchingThePhone) {
    request.source = scratch / "gone.png";
    ExpectFailure(DeliveryError::kFileMissing);
    request.source = scratch.path().string();
    ExpectFailure(DeliveryError::kFileUnreadable);

    const std::string other = scratch / "other.png";
    request.source = other;
    for (const std::string& bytes :
         {PngBytes(48, 48, 3, 100), PngBytes(32, 16, 3, 100), PngBytes(32, 32, 2, 100),
          PngBytes(32, 32, 6, 100), std::string("GIF89a not a png at all"), std::string(),
          PngBytes(16, 16, 3, 2 << 20)}) {
        WriteFile(other, bytes);
        ExpectFailure(DeliveryError::kNotAStamp);
    }
    WriteFile(other, PngBytes(16, 16, 3, 10, 4));
    EXPECT_EQ(Run().error, DeliveryError::kNone);
}

TEST_F(Delivering, PermissionRefusedLeavesNothingBehind) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser is never refused";
    fs::create_directories(scratch.path() / "phone/Stamps");
    WriteFile(scratch / "phone/Stamps/Sunset.png", "old stamp");
    fs::permissions(scratch.path() / "phone/Stamps", fs::perms::owner_read | fs::perms::owner_exec);
    ExpectFailure(DeliveryError::kPermission);

    fs::permissions(scratch.path() / "phone/Stamps", fs::perms::owner_all);
    fs::permissions(request.source, fs::perms::none);
    ExpectFailure(DeliveryError::kFileUnreadable);
}

TEST_F(Delivering, AFailedRenameRemovesThePartialFile) {
    // A folder of the stamp's name cannot be replaced by the stamp.
    fs::create_directories(scratch.path() / "phone/Stamps/Sunset.png/inside");
    ExpectFailure(DeliveryError::kCopyFailed);
}
