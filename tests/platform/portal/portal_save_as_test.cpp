// The two-second rule of the portal's Save As, on a real message bus of the test's
// own that knows no services: no portal there, and a portal that takes the
// question and never answers. Either way the dialog of our own is asked for in
// time, and a question still open ends at once when the program is done with it.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/portal/portal_save_as.h"

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}

class EmptyBus : public ::testing::Test {
protected:
    void SetUp() override {
        if (system("command -v dbus-daemon > /dev/null") != 0) GTEST_SKIP() << "no dbus-daemon";
        dir_ = fs::temp_directory_path() / ("ostrel_bus_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "bus.conf")
            << "<busconfig><type>session</type><listen>unix:tmpdir=" << dir_.string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
            << "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
            << "<allow own=\"*\"/></policy></busconfig>\n";
        const std::string out =
            Capture("dbus-daemon --config-file=" + (dir_ / "bus.conf").string() +
                    " --fork --print-address=1 --print-pid=1");
        const auto newline = out.find('\n');
        ASSERT_NE(newline, std::string::npos) << out;
        address_ = out.substr(0, newline);
        daemon_ = std::atoi(out.c_str() + newline + 1);
        ASSERT_GT(daemon_, 0) << out;
        setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    void TearDown() override {
        if (daemon_ > 0) kill(daemon_, SIGTERM);
        // Gone once it has removed its socket.
        const auto start = steady_clock::now();
        while (daemon_ > 0 && kill(daemon_, 0) == 0 && steady_clock::now() - start < seconds(10))
            std::this_thread::sleep_for(milliseconds(10));
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        std::error_code error;
        fs::remove_all(dir_, error);
    }
    // Asks and waits for the outcome; how long it took.
    static milliseconds Ask(PortalSaveAs& portal) {
        const auto start = steady_clock::now();
        while (portal.Outcome() == PortalOutcome::kWaiting &&
               steady_clock::now() - start < seconds(30))
            std::this_thread::sleep_for(milliseconds(10));
        return duration_cast<milliseconds>(steady_clock::now() - start);
    }

    fs::path dir_;
    std::string address_;
    pid_t daemon_ = 0;
};

PortalSaveQuestion Question() {
    return PortalSaveQuestion{"x11:1e00007", "Save As", "Sunset.png", "/tmp", {{"png", {"*.png"}}}};
}

// Owns the portal's name and lets every question to it fall on the floor.
GDBusMessage* Swallow(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer) {
    if (incoming && g_strcmp0(g_dbus_message_get_interface(message),
                              "org.freedesktop.portal.FileChooser") == 0) {
        g_object_unref(message);
        return nullptr;
    }
    return message;
}

}  // namespace

// GLib keeps its types and GIO its bus worker thread for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\n";
}

// Told by the bus, well before the time allowed runs out.
TEST_F(EmptyBus, NoPortalThereIsToldAtOnce) {
    PortalSaveAs portal(Question(), seconds(30), nullptr);
    const milliseconds took = Ask(portal);
    EXPECT_EQ(portal.Outcome(), PortalOutcome::kUnavailable);
    EXPECT_LT(took, seconds(10));
    EXPECT_NE(portal.Problem().find("ServiceUnknown"), std::string::npos) << portal.Problem();
}

TEST_F(EmptyBus, APortalThatNeverAnswersIsGivenUpAfterTwoSeconds) {
    GDBusConnection* silent = g_dbus_connection_new_for_address_sync(
        address_.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    ASSERT_NE(silent, nullptr);
    g_dbus_connection_add_filter(silent, Swallow, nullptr, nullptr);
    GVariant* owned = g_dbus_connection_call_sync(
        silent, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", "org.freedesktop.portal.Desktop", 4u), nullptr,
        G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
    ASSERT_NE(owned, nullptr);
    g_variant_unref(owned);
    {
        PortalSaveAs portal(Question(), seconds(2), nullptr);
        const milliseconds took = Ask(portal);
        EXPECT_EQ(portal.Outcome(), PortalOutcome::kUnavailable);
        EXPECT_GE(took, milliseconds(1900)) << portal.Problem();
        EXPECT_LT(took, milliseconds(4000));
    }
    // Given up by the program before any answer: the question ends at once.
    const auto start = steady_clock::now();
    {
        PortalSaveAs portal(Question(), seconds(60), nullptr);
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(portal.Outcome(), PortalOutcome::kWaiting);
    }
    EXPECT_LT(steady_clock::now() - start, seconds(2));
    g_dbus_connection_close_sync(silent, nullptr, nullptr);
    g_object_unref(silent);
}
