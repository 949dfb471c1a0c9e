#include "imaging/px_mem_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

TEST(PxMemFile, GrowsInFourKilobyteStepsFromTheOldCapacity) {
    PxMemFile f;
    ASSERT_TRUE(f.Open());
    EXPECT_EQ(f.Capacity(), 0);
    EXPECT_TRUE(f.PutC(1));
    EXPECT_EQ(f.Capacity(), 4096);
    std::vector<std::uint8_t> block(8192, 7);
    ASSERT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.Write(block.data(), 1, 4097), 4097u);
    EXPECT_EQ(f.Capacity(), 8192);
    EXPECT_EQ(f.Write(block.data(), 1, 4096), 4096u);  // needs 8193
    EXPECT_EQ(f.Capacity(), 12288);
    EXPECT_EQ(f.Size(), 8193);
    // Writing inside the capacity does not grow it.
    ASSERT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.Write(block.data(), 4, 2), 2u);
    EXPECT_EQ(f.Capacity(), 12288);
}

TEST(PxMemFile, ReadReturnsWholeItemsAndStopsAtTheEnd) {
    std::uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    PxMemFile f(data, sizeof data);
    ASSERT_TRUE(f.Seek(-2, SEEK_END));
    std::uint8_t out[12] = {};
    EXPECT_EQ(f.Read(out, 4, 3), 0u);  // 2 bytes copied, no whole item
    EXPECT_EQ(out[0], 8);
    EXPECT_EQ(out[1], 9);
    EXPECT_EQ(f.Tell(), 10);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.GetC(), -1);
    ASSERT_TRUE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.GetC(), 0);
    EXPECT_EQ(f.Read(out, 3, 2), 2u);
    EXPECT_EQ(out[5], 6);
    // size * count overflowing is cut to what is left, never copied past it.
    EXPECT_EQ(f.Read(out, 1, SIZE_MAX), 3u);
    EXPECT_EQ(f.Read(out, 0, 5), 0u);
    EXPECT_EQ(f.Read(nullptr, 1, 1), 0u);
}

TEST(PxMemFile, SeekBeyondTheEndIsAllowedButReportedAsError) {
    std::uint8_t data[10] = {};
    PxMemFile f(data, sizeof data);
    EXPECT_TRUE(f.Seek(5, SEEK_END));
    EXPECT_EQ(f.Tell(), 15);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), 1);
    EXPECT_EQ(f.Read(data, 1, 1), 0u);
    EXPECT_FALSE(f.Seek(-16, SEEK_CUR));
    EXPECT_FALSE(f.Seek(0, 7));
    EXPECT_FALSE(f.Seek(INT32_MAX, SEEK_CUR));
    EXPECT_EQ(f.Tell(), 15);
}

TEST(PxMemFile, WritingPastAGapZeroesTheGap) {
    PxMemFile f;
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.Seek(100, SEEK_SET));
    ASSERT_TRUE(f.PutC(0xAB));
    EXPECT_EQ(f.Size(), 101);
    std::uint8_t* bytes = f.GetBuffer();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes[100], 0xAB);
    std::free(bytes);
}

TEST(PxMemFile, StreamWithoutBufferFailsSoftly) {
    PxMemFile f;
    std::uint8_t b = 0;
    EXPECT_EQ(f.Tell(), -1);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_TRUE(f.Eof());
    EXPECT_FALSE(f.Flush());
    EXPECT_FALSE(f.Seek(0, SEEK_SET));
    EXPECT_EQ(f.Read(&b, 1, 1), 0u);
    EXPECT_EQ(f.Write(&b, 1, 1), 0u);
    EXPECT_FALSE(f.PutC(1));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(f.Open());
    EXPECT_FALSE(f.Open());  // already holds a buffer
}

TEST(PxMemFile, CallersBufferIsNeverFreedOrReallocated) {
    auto* data = static_cast<std::uint8_t*>(std::malloc(4));
    std::memcpy(data, "abcd", 4);
    {
        PxMemFile f(data, 4);
        ASSERT_TRUE(f.Seek(0, SEEK_END));
        const char more[] = "efgh";
        // Growth goes into a block of the stream's own; the caller's stays as it was.
        EXPECT_EQ(f.Write(more, 1, 4), 4u);
        EXPECT_EQ(f.Size(), 8);
        ASSERT_TRUE(f.Seek(0, SEEK_SET));
        char all[8];
        EXPECT_EQ(f.Read(all, 1, 8), 8u);
        EXPECT_EQ(std::memcmp(all, "abcdefgh", 8), 0);
    }
    EXPECT_EQ(std::memcmp(data, "abcd", 4), 0);
    std::free(data);
}

TEST(PxMemFile, GetBufferHandsOwnershipToTheCaller) {
    std::uint8_t* bytes = nullptr;
    {
        PxMemFile f;
        ASSERT_TRUE(f.Open());
        ASSERT_EQ(f.Write("xyz", 1, 3), 3u);
        bytes = f.GetBuffer();
        // A later write must not reallocate the block the caller now holds.
        ASSERT_EQ(f.Write(std::vector<std::uint8_t>(5000).data(), 1, 5000), 5000u);
    }
    EXPECT_EQ(std::memcmp(bytes, "xyz", 3), 0);
    std::free(bytes);
}

TEST(PxMemFile, CopiesShareTheBufferAndFreeItOnce) {
    PxMemFile a;
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(a.PutC(42));
    {
        PxMemFile b(a);
        EXPECT_EQ(b.Size(), 1);
        ASSERT_TRUE(b.Seek(0, SEEK_SET));
        EXPECT_EQ(b.GetC(), 42);
        PxMemFile c;
        c = a;
        EXPECT_EQ(c.Size(), 1);
    }
    ASSERT_TRUE(a.Seek(0, SEEK_SET));
    EXPECT_EQ(a.GetC(), 42);
}
