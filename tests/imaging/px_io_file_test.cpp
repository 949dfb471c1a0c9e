#include "imaging/px_io_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <utility>

#include "imaging/px_image.h"

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

namespace {

// Opens `path` for reading on another thread; a FIFO that makes it wait is
// unblocked by a writer after two seconds, so a regression fails instead of hanging.
struct OpenResult {
    bool opened;
    std::string error;
    bool waited;
};

OpenResult OpenSoon(const std::string& path) {
    auto result = std::async(std::launch::async, [path] {
        PxIOFile f;
        const bool opened = f.Open(path.c_str(), "rb");
        return std::make_pair(opened, std::string(f.OpenError()));
    });
    const bool waited = result.wait_for(std::chrono::seconds(2)) != std::future_status::ready;
    if (waited) close(open(path.c_str(), O_WRONLY | O_NONBLOCK));
    const auto [opened, error] = result.get();
    return {opened, error, waited};
}

}  // namespace

// A FIFO, a device, a socket, a folder: reading takes regular files only, and
// says so at once.
TEST(PxIOFile, ReadingRefusesAtOnceWhatIsNoRegularFile) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("pxiofile_special_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "folder.png");
    const std::string fifo = (dir / "fifo.png").string(), socketName = (dir / "sock.png").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink(fifo, dir / "link.png");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketName.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    for (const std::string& path : {fifo, (dir / "link.png").string(), socketName,
                                    std::string("/dev/zero"), std::string("/dev/urandom")}) {
        const OpenResult r = OpenSoon(path);
        EXPECT_FALSE(r.waited) << path;
        EXPECT_FALSE(r.opened) << path;
        EXPECT_EQ(r.error, "not a regular file") << path;
    }
    EXPECT_EQ(OpenSoon((dir / "folder.png").string()).error, "Is a directory");
    // A file gone between listing and opening says so.
    EXPECT_EQ(OpenSoon((dir / "gone.png").string()).error, "No such file or directory");

    // The image says the same when it loads quietly, and nothing waits.
    PxImage image;
    EXPECT_FALSE(image.Load(fifo.c_str(), PX_FORMAT_PNG, true));
    EXPECT_STREQ(image.GetLastError(), "not a regular file");

    // Writing keeps the system's rules (a device takes what is written).
    PxIOFile out;
    EXPECT_TRUE(out.Open("/dev/null", "wb"));
    close(sock);
    std::filesystem::remove_all(dir);
}
