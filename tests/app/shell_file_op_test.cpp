// Copying and deleting through the shell file operation, and the pending stamp
// file that leaving the wizard deletes.
#include "app/flash/shell_file_op.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/flash/wiz_page.h"
#include "app/globals.h"
#include "platform/backends/headless_backend.h"

namespace fs = std::filesystem;

namespace {

class ShellFileOp : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("ostrel-fileop-" + std::to_string(getpid()));
        fs::create_directories(folder);
        owner.CreateEx(nullptr, RECT{0, 0, 100, 100}, "owner", 0, WS_POPUP);
    }
    void TearDown() override {
        owner.DestroyWindow();
        fs::remove_all(folder);
    }
    std::string Write(const std::string& name, const std::string& content) {
        const fs::path path = folder / name;
        std::ofstream(path) << content;
        return path.string();
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    CShellFileOp Copy(const std::string& from, const std::string& to, FILEOP_FLAGS flags = 0) {
        CShellFileOp op;
        op.SetOperation(FO_COPY);
        op.SetOwnerWindow(&owner);
        op.SetFlags(flags);
        op.AddSourceFile(from);
        op.AddDestFile(to);
        return op;
    }

    HeadlessBackend backend;
    CWnd owner;
    fs::path folder;
};

}  // namespace

TEST_F(ShellFileOp, RefusesIncompleteOperationsWithoutCallingTheShell) {
    const std::string a = Write("a.png", "A");
    CShellFileOp noOwner;
    noOwner.SetOperation(FO_DELETE);
    noOwner.AddSourceFile(a);
    EXPECT_FALSE(noOwner.Go());
    EXPECT_FALSE(noOwner.CallMade());

    CShellFileOp noSources;
    noSources.SetOperation(FO_DELETE);
    noSources.SetOwnerWindow(&owner);
    EXPECT_FALSE(noSources.Go());

    CShellFileOp unknown = Copy(a, (folder / "b.png").string());
    unknown.SetOperation(9);
    EXPECT_FALSE(unknown.Go());

    // Three sources need one destination or three.
    CShellFileOp mismatched = Copy(a, (folder / "x").string());
    mismatched.AddSourceFile(a);
    mismatched.AddSourceFile(a);
    mismatched.AddDestFile((folder / "y").string());
    EXPECT_FALSE(mismatched.Go());
    EXPECT_FALSE(mismatched.CallMade());
    EXPECT_TRUE(fs::exists(a));
    EXPECT_TRUE(backend.Boxes().empty());
}

TEST_F(ShellFileOp, CopiesIntoFoldersAndPairwise) {
    const std::string a = Write("a.png", "A"), b = Write("b.png", "B");
    fs::create_directories(folder / "out");
    CShellFileOp intoFolder = Copy(a, (folder / "out").string());
    EXPECT_TRUE(intoFolder.Go());
    EXPECT_EQ(Read((folder / "out/a.png").string()), "A");

    CShellFileOp pairwise = Copy(a, (folder / "one.png").string());
    pairwise.AddSourceFile(b);
    pairwise.AddDestFile((folder / "two.png").string());
    EXPECT_TRUE(pairwise.Go());
    EXPECT_EQ(Read((folder / "one.png").string()), "A");
    EXPECT_EQ(Read((folder / "two.png").string()), "B");
}

TEST_F(ShellFileOp, AsksBeforeReplacingUnlessToldNotTo) {
    const std::string a = Write("a.png", "new"), b = Write("b.png", "old");
    backend.QueueBoxAnswer(IDNO);
    CShellFileOp kept = Copy(a, b);
    EXPECT_TRUE(kept.Go());
    EXPECT_TRUE(kept.AnyOperationsAborted());
    EXPECT_EQ(Read(b), "old");
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_EQ(backend.Boxes()[0].style, MB_YESNO | MB_ICONQUESTION);

    backend.QueueBoxAnswer(IDYES);
    EXPECT_TRUE(Copy(a, b).Go());
    EXPECT_EQ(Read(b), "new");

    EXPECT_TRUE(Copy(a, b, FOF_NOCONFIRMATION).Go());
    EXPECT_EQ(backend.Boxes().size(), 2u);
    // Nothing half-written is left beside the target.
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().string().find(".part-"), std::string::npos);
}

TEST_F(ShellFileOp, FailuresAreReportedUnlessToldNot) {
    const std::string missing = (folder / "missing.png").string();
    CShellFileOp quiet = Copy(missing, (folder / "b.png").string(), FOF_NOERRORUI);
    EXPECT_FALSE(quiet.Go());
    EXPECT_TRUE(quiet.CallMade());
    EXPECT_NE(quiet.ShellResult(), 0);
    EXPECT_TRUE(backend.Boxes().empty());

    EXPECT_FALSE(Copy(missing, (folder / "b.png").string()).Go());
    ASSERT_EQ(backend.Boxes().size(), 1u);
    EXPECT_NE(backend.Boxes()[0].text.find("missing.png"), std::string::npos);
}

TEST_F(ShellFileOp, PendingStampFileIsDeletedQuietlyAndForgotten) {
    g_mainWnd = &owner;
    g_pendingStampFile = Write("Sunset.png", "stamp");
    DeletePendingStampFile();
    EXPECT_FALSE(fs::exists(folder / "Sunset.png"));
    EXPECT_TRUE(g_pendingStampFile.empty());
    // Already gone: nothing is asked or reported, and the path is cleared anyway.
    g_pendingStampFile = (folder / "gone.png").string();
    DeletePendingStampFile();
    EXPECT_TRUE(g_pendingStampFile.empty());
    EXPECT_TRUE(backend.Boxes().empty());
    g_mainWnd = nullptr;
}
