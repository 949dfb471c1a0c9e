#include "platform/system/named_mutex.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

TEST(NamedMutex, OnlyALaterHolderSeesThatItExisted) {
    const std::string name = "test" + std::to_string(getpid());
    {
        NamedMutex first(name);
        EXPECT_FALSE(first.AlreadyExisted());
        // Another process sees the name held.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(NamedMutex(name).AlreadyExisted() ? 0 : 1);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Released when its holder ends.
    NamedMutex again(name);
    EXPECT_FALSE(again.AlreadyExisted());
    again.Close();
    unlink(NamedMutex::PathFor(name).c_str());
}
