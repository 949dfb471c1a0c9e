#include "imaging/px_io_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

TEST(PxIOFile, CallersStreamIsNeverClosed) {
    std::FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    {
        PxIOFile f(fp);
        EXPECT_TRUE(f.PutC('A'));
        EXPECT_TRUE(f.Close());
    }
    // Still open: the stream accepts more bytes and reads back.
    EXPECT_EQ(std::fputc('B', fp), 'B');
    std::rewind(fp);
    EXPECT_EQ(std::fgetc(fp), 'A');
    EXPECT_EQ(std::fgetc(fp), 'B');
    std::fclose(fp);
}

TEST(PxIOFile, OpenedStreamReadsWritesSeeksAndCloses) {
    char name[] = "/tmp/pxiofileXXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    PxIOFile f;
    ASSERT_TRUE(f.Open(name, "w+b"));
    EXPECT_FALSE(f.Open(name, "rb"));  // already holds a stream
    EXPECT_EQ(f.Write("hello", 1, 5), 5u);
    EXPECT_EQ(f.Size(), 5);
    EXPECT_EQ(f.Tell(), 5);
    EXPECT_TRUE(f.Seek(1, SEEK_SET));
    EXPECT_EQ(f.GetC(), 'e');
    char rest[8] = {};
    EXPECT_EQ(f.Read(rest, 1, 8), 3u);
    EXPECT_TRUE(f.Eof());
    EXPECT_EQ(f.Error(), 0);
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(f.Tell(), 0);
    std::remove(name);
}

TEST(PxIOFile, StreamlessFileFailsSoftly) {
    PxIOFile f;
    char b = 0;
    EXPECT_EQ(f.Tell(), 0);
    EXPECT_EQ(f.Size(), -1);
    EXPECT_EQ(f.Error(), -1);
    EXPECT_TRUE(f.Eof());
    EXPECT_FALSE(f.Seek(0, SEEK_SET));
    EXPECT_FALSE(f.Flush());
    EXPECT_FALSE(f.PutC('x'));
    EXPECT_EQ(f.GetC(), -1);
    EXPECT_EQ(f.Read(&b, 1, 1), 0u);
    EXPECT_EQ(f.Write(&b, 1, 1), 0u);
    EXPECT_TRUE(f.Close());
    EXPECT_FALSE(f.Open("/nonexistent/dir/file", "rb"));
}
