#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry/reg_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kRoot = "SOFTWARE\\Norvane\\Tessel 310-510";

// Points the registry at a fresh file of the test's own.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ostrel_reg_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        file_ = (dir_ / "registry.reg").string();
        setenv("OSTREL_REGISTRY", file_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("OSTREL_REGISTRY");
        fs::remove_all(dir_);
    }
    void WriteFile(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
    std::string ReadFile() {
        std::ifstream in(file_, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static UniqueRegKey Open(const char* sub, REGSAM access = KEY_ALL_ACCESS, LONG* rc = nullptr) {
        HKEY key = nullptr;
        const LONG result = RegOpenKeyEx(HKEY_LOCAL_MACHINE, sub, 0, access, &key);
        if (rc) *rc = result;
        return UniqueRegKey(result == ERROR_SUCCESS ? key : nullptr);
    }
    void CreateRoot() {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, kRoot, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    fs::path dir_;
    std::string file_;
};

}  // namespace

TEST(RegFile, ParsesTheWindowsFormatAndWritesItBack) {
    const std::string text =
        "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane]\r\n"
        "\"Path\"=\"C:\\\\x \\\"q\\\"\"\r\n"
        "\"N\"=dword:0000002a\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03\r\n"
        "@=hex(7):61,00,00\r\n";
    std::string error;
    auto hive = registry::ParseHive(text, &error);
    ASSERT_TRUE(hive) << error;
    const registry::Key* key = hive->FindKey("hkey_local_machine\\software\\NORVANE");
    ASSERT_NE(key, nullptr);
    const registry::Value* path = registry::FindValue(*key, "path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::string(path->data.begin(), path->data.end()), std::string("C:\\x \"q\"\0", 9));
    EXPECT_EQ(registry::FindValue(*key, "N")->data, (std::vector<BYTE>{42, 0, 0, 0}));
    EXPECT_EQ(registry::FindValue(*key, "Blob")->data, (std::vector<BYTE>{1, 2, 3}));
    EXPECT_EQ(registry::FindValue(*key, "")->type, 7u);

    auto again = registry::ParseHive(registry::FormatHive(*hive), &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(registry::FormatHive(*again), registry::FormatHive(*hive));
}

TEST(RegFile, TextThatIsNotOnePlainLineKeepsItsBytesAsHex) {
    registry::Hive hive;
    registry::Key& key = hive.AddKey("HKEY_LOCAL_MACHINE\\K");
    registry::SetValue(key, "Two", registry::kRegSz, {'a', '\n', 'b', 0});
    registry::SetValue(key, "NoZero", registry::kRegSz, {'a', 'b'});
    registry::SetValue(key, "Short", registry::kRegDword, {1, 2});
    const std::string text = registry::FormatHive(hive);
    EXPECT_NE(text.find("\"Two\"=hex(1):61,0a,62,00"), std::string::npos) << text;
    auto back = registry::ParseHive(text, nullptr);
    ASSERT_TRUE(back);
    const registry::Key* k = back->FindKey("HKEY_LOCAL_MACHINE\\K");
    EXPECT_EQ(registry::FindValue(*k, "NoZero")->data, (std::vector<BYTE>{'a', 'b'}));
    EXPECT_EQ(registry::FindValue(*k, "Short")->data, (std::vector<BYTE>{1, 2}));
    EXPECT_EQ(registry::FindValue(*k, "Short")->type, registry::kRegDword);
}

TEST(RegFile, CorruptTextIsRefusedWithItsLine) {
    std::string error;
    EXPECT_FALSE(registry::ParseHive("REGEDIT4\n", &error));
    EXPECT_FALSE(
        registry::ParseHive("Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n", &error));
    EXPECT_EQ(error, "line 2: value outside a key");
    for (const char* bad : {"\"a\"=dword:12", "\"a\"=hex:1", "\"a\"=\"open", "\"a\"=\"x\\n\"",
                            "\"a\"=hex(zz):00", "[unclosed", "\"a\"=hex:01,,02"}) {
        const std::string text =
            std::string("Windows Registry Editor Version 5.00\n[K]\n") + bad + "\n";
        EXPECT_FALSE(registry::ParseHive(text, &error)) << bad;
        EXPECT_EQ(error.rfind("line 3", 0), 0u) << bad << ": " << error;
    }
}

TEST_F(Registry, MissingFileKeyAndValueAnswerFileNotFound) {
    LONG rc = 0;
    EXPECT_FALSE(Open(kRoot, KEY_READ, &rc));
    EXPECT_EQ(rc, ERROR_FILE_NOT_FOUND);
    CreateRoot();
    EXPECT_FALSE(Open("SOFTWARE\\Other", KEY_READ, &rc));
    EXPECT_EQ(rc, ERROR_FILE_NOT_FOUND);
    UniqueRegKey key = Open(kRoot);
    ASSERT_TRUE(key);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(key.get(), "Language", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, ValuesKeepTheirExactBytes) {
    CreateRoot();
    UniqueRegKey key = Open(kRoot);
    const char text[] = "D:\\Pictures";
    ASSERT_EQ(RegSetValueEx(key.get(), "BrowseStamp", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text), sizeof text),
              ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueEx(key.get(), "browsestamp", nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(type, REG_SZ);
    BYTE small[4];
    DWORD room = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key.get(), "BrowseStamp", nullptr, nullptr, small, &room),
              ERROR_MORE_DATA);
    EXPECT_EQ(room, 12u);
    BYTE buffer[32] = {};
    room = sizeof buffer;
    ASSERT_EQ(RegQueryValueEx(key.get(), "BrowseStamp", nullptr, nullptr, buffer, &room),
              ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(buffer, text, sizeof text), 0);
    EXPECT_NE(ReadFile().find("\"BrowseStamp\"=\"D:\\\\Pictures\""), std::string::npos)
        << ReadFile();
}

TEST_F(Registry, KeysOpenedForReadingRefuseWrites) {
    CreateRoot();
    UniqueRegKey key = Open(kRoot, KEY_QUERY_VALUE);
    ASSERT_TRUE(key);
    const BYTE data[4] = {1, 0, 0, 0};
    EXPECT_EQ(RegSetValueEx(key.get(), "StampTolerance", 0, REG_DWORD, data, 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueEx(HKEY_LOCAL_MACHINE, "x", 0, REG_DWORD, data, 4), ERROR_INVALID_HANDLE);
    if (geteuid() != 0) {
        fs::permissions(file_, fs::perms::owner_read);
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        LONG rc = 0;
        EXPECT_FALSE(Open(kRoot, KEY_ALL_ACCESS, &rc));
        EXPECT_EQ(rc, ERROR_ACCESS_DENIED);
        EXPECT_TRUE(Open(kRoot, KEY_READ));
        fs::permissions(dir_, fs::perms::owner_all);
    }
}

TEST_F(Registry, CorruptFileIsReportedAndNeverOverwritten) {
    const std::string corrupt =
        "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"a\"=oops\n";
    WriteFile(corrupt);
    LONG rc = 0;
    EXPECT_FALSE(Open("SOFTWARE", KEY_ALL_ACCESS, &rc));
    EXPECT_EQ(rc, ERROR_BADDB);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", &key), ERROR_BADDB);
    EXPECT_EQ(ReadFile(), corrupt);
}

TEST_F(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    CreateRoot();
    constexpr int kWrites = 40;
    auto writeMany = [](const char* prefix) {
        UniqueRegKey key = Open(kRoot);
        for (int i = 0; i < kWrites; ++i) {
            const std::string name = prefix + std::to_string(i);
            const DWORD value = static_cast<DWORD>(i);
            if (RegSetValueEx(key.get(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&value), 4) != ERROR_SUCCESS)
                return false;
        }
        return true;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writeMany("child") ? 0 : 1);
    EXPECT_TRUE(writeMany("parent"));
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    UniqueRegKey key = Open(kRoot, KEY_READ);
    for (const char* prefix : {"parent", "child"}) {
        for (int i = 0; i < kWrites; ++i) {
            DWORD value = 0, size = 4;
            const std::string name = prefix + std::to_string(i);
            ASSERT_EQ(RegQueryValueEx(key.get(), name.c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&value), &size),
                      ERROR_SUCCESS)
                << name;
            EXPECT_EQ(value, static_cast<DWORD>(i));
        }
    }
}

TEST(RegistryPath, FollowsTheEnvironment) {
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("OSTREL_REGISTRY", "/x/y.reg", 1);
    EXPECT_EQ(RegistryFilePath(), "/x/y.reg");
    unsetenv("OSTREL_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(RegistryFilePath(), "/cfg/norvane/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(RegistryFilePath(), "/home/u/.config/norvane/registry.reg");
    // A relative config folder is ignored; it would put the file below the current folder.
    setenv("XDG_CONFIG_HOME", ".config", 1);
    EXPECT_EQ(RegistryFilePath(), "/home/u/.config/norvane/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", home.c_str(), 1);
}

TEST_F(Registry, AFileThatDoesNotReadIsNamedByItsLine) {
    EXPECT_EQ(RegistryFileProblem(), "");  // no file yet is no problem
    WriteFile("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:12\n");
    EXPECT_EQ(RegistryFileProblem(), "line 4: bad value line");
    WriteFile("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"y\"\n");
    EXPECT_EQ(RegistryFileProblem(), "");
}
