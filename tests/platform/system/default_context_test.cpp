#include "platform/system/default_context.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

// A piece of work on the default context that notes the thread it ran on.
void AddWork(std::thread::id& ranOn) {
    g_idle_add(
        [](gpointer data) -> gboolean {
            *static_cast<std::thread::id*>(data) = std::this_thread::get_id();
            return G_SOURCE_REMOVE;
        },
        &ranOn);
}

void ServeFromAnotherThread() {
    std::thread([] { ServeDefaultContextIfFree(); }).join();
}

}  // namespace

// The toolkit's work must never run off the user-interface thread: once taken,
// the context is served only by the thread that took it.
TEST(DefaultContext, AnyThreadServesItUntilTheToolkitTakesIt) {
    std::thread::id ranOn;
    AddWork(ranOn);
    ServeFromAnotherThread();
    EXPECT_NE(ranOn, std::thread::id());
    EXPECT_NE(ranOn, std::this_thread::get_id());

    TakeDefaultContextForToolkit();
    ranOn = std::thread::id();
    AddWork(ranOn);
    ServeFromAnotherThread();
    EXPECT_EQ(ranOn, std::thread::id()) << "served off the toolkit's thread";
    ServeTakenDefaultContext();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

// A thread already running the context is not raced by another.
TEST(DefaultContext, AContextRunByAnotherThreadIsLeftToIt) {
    GMainContext* context = g_main_context_default();
    ASSERT_TRUE(g_main_context_acquire(context));
    std::thread::id ranOn;
    AddWork(ranOn);
    ServeFromAnotherThread();
    EXPECT_EQ(ranOn, std::thread::id());
    g_main_context_iteration(context, FALSE);
    g_main_context_release(context);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
