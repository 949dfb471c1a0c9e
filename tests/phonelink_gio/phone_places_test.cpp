// Finding phones: a mount the desktop shows is named and follows its unmount (the
// watch tells a window), a share is no phone unless a test says so, and a drive
// mounted under /media is a removable one that takes stamps, until it is full.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>

#include "desktop_fixture.h"
#include "phonelink/link_texts.h"
#include "phonelink/phone_choice.h"
#include "platform/system/default_context.h"
#include "platform/system/phone_places.h"
#include "platform/window/message_loop.h"

using namespace desktop_test;

namespace {

constexpr UINT kPlacesChanged = WM_USER + 9;

class Listener : public CWnd {
public:
    int told = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kPlacesChanged) ++told;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

const PhonePlace* Find(const std::vector<PhonePlace>& places, const std::string& uri) {
    for (const PhonePlace& place : places)
        if (place.uri == uri) return &place;
    return nullptr;
}

// As a phone in USB-storage mode: a real file system mounted under /media/$USER.
// (A tmpfs would not do: the desktop hides it as a system file system.)
class MediaDrive {
public:
    explicit MediaDrive(const std::string& image) : image_(image) {
        const char* user = getenv("USER");
        path_ = std::string("/media/") + (user && *user ? user : "root") + "/OSTREL-PHONE-" +
                std::to_string(getpid());
        link_test::fs::create_directories(path_);
        mounted_ = RunProgram({"truncate", "-s", "2M", image_}) == 0 &&
                   RunProgram({"mke2fs", "-q", "-F", "-m", "0", image_}) == 0 &&
                   RunProgram({"mount", "-o", "loop", image_, path_}) == 0;
    }
    ~MediaDrive() {
        if (mounted_) umount2(path_.c_str(), MNT_DETACH);
        rmdir(path_.c_str());
    }
    bool Mounted() const { return mounted_; }
    std::string Uri() const { return "file://" + path_; }
    const std::string& Path() const { return path_; }

private:
    std::string image_, path_;
    bool mounted_ = false;
};

// Writes to the file until its file system has no room left.
void FillUp(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    const std::string block(4096, 'x');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    fsync(fd);
    close(fd);
}

}  // namespace

TEST_F(DesktopLink, AMountIsNamedUntilItIsUnmountedAndTheWatchTellsOfIt) {
    Listener window;
    window.CreateEx(nullptr, RECT{0, 0, 100, 100}, "step 5", 0, WS_POPUP);
    const PhonePlacesWatch watch(&window, kPlacesChanged);

    // The product never calls a share a phone by itself.
    unsetenv("OSTREL_TEST_PHONE_SCHEMES");
    EXPECT_EQ(Find(ListPhonePlaces(), server->Uri()), nullptr);
    setenv("OSTREL_TEST_PHONE_SCHEMES", "sftp,ftp", 1);
    const std::vector<PhonePlace> places = ListPhonePlaces();
    const PhonePlace* phone = Find(places, server->Uri());
    ASSERT_NE(phone, nullptr);
    EXPECT_EQ(phone->kind, PhoneKind::kPhone);
    EXPECT_NE(phone->name.find("127.0.0.1"), std::string::npos) << phone->name;
    std::string listed;
    EXPECT_EQ(RunProgram({OSTREL_SETUP_PATH, "--list-phones"}, &listed), 0);
    EXPECT_NE(listed.find(phone->name + "\tphone\t" + server->Uri() + "\n"), std::string::npos)
        << listed;

    ASSERT_TRUE(server->Unmount());
    EXPECT_TRUE(WaitUntil([&] {
        PumpWaitingMessages();
        return window.told > 0 && !Find(ListPhonePlaces(), server->Uri());
    }));
    unsetenv("OSTREL_TEST_PHONE_SCHEMES");
    window.DestroyWindow();
}

// A toolkit dialog watches the same monitor: while one is open, the monitor's
// news waits for it to close rather than reach it off the toolkit's thread.
TEST_F(DesktopLink, AnUnmountWhileADialogIsOpenIsToldOnceItCloses) {
    Listener window;
    window.CreateEx(nullptr, RECT{0, 0, 100, 100}, "step 5", 0, WS_POPUP);
    const PhonePlacesWatch watch(&window, kPlacesChanged);
    {
        const VolumeMonitorHeld dialogOpen;
        ASSERT_TRUE(server->Unmount());
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < until)
            PumpWaitingMessages();
        EXPECT_EQ(window.told, 0);
    }
    EXPECT_TRUE(WaitUntil([&] {
        PumpWaitingMessages();
        return window.told > 0;
    }));
    window.DestroyWindow();
}

TEST_F(DesktopLink, ADriveUnderMediaIsRemovableAndTakesStampsUntilItIsFull) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a drive under /media needs root";
    MediaDrive drive(scratch / "drive.img");
    if (!drive.Mounted()) GTEST_SKIP() << "no loop device to mount a drive on";
    const PhonePlace* found = nullptr;
    std::vector<PhonePlace> places;
    ASSERT_TRUE(WaitUntil([&] {
        places = ListPhonePlaces();
        return (found = Find(places, drive.Uri())) != nullptr;
    }));
    EXPECT_EQ(found->kind, PhoneKind::kRemovable);
    EXPECT_EQ(found->name, drive.Path().substr(drive.Path().rfind('/') + 1));

    link_test::UseRegistry(scratch / "r.reg", scratch / "storage", "FR");
    ASSERT_EQ(RunProgram({OSTREL_SETUP_PATH, "--phone", drive.Uri()}), 0);
    CreateLink();
    EXPECT_EQ(Send(), "");
    EXPECT_EQ(link_test::ReadFile(drive.Path() + "/Stamps/Sunset.png"), link_test::ReadFile(stamp));

    // Filled up, it refuses the next stamp and keeps what it had.
    link_test::fs::remove(drive.Path() + "/Stamps/Sunset.png");
    FillUp(drive.Path() + "/filler");
    const auto before = link_test::Snapshot(drive.Path());
    EXPECT_EQ(Send(), FormatLinkText("FR", LinkText::kNoSpace, "Sunset.png"));
    EXPECT_EQ(link_test::Snapshot(drive.Path()), before);
}
