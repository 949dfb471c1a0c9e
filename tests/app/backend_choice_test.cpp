#include "app/backend_choice.h"

#include <gtest/gtest.h>

TEST(BackendChoice, TheDisplayDecidesUnlessOverridden) {
    EXPECT_EQ(ChooseBackend("", ":0"), BackendKind::kX11);
    EXPECT_EQ(ChooseBackend("", ""), BackendKind::kHeadless);
    EXPECT_EQ(ChooseBackend("headless", ":0"), BackendKind::kHeadless);
    EXPECT_EQ(ChooseBackend("x11", ""), BackendKind::kX11);
    EXPECT_FALSE(ChooseBackend("X11", ":0"));  // names are exact
    EXPECT_FALSE(ChooseBackend("wayland", ":0"));
}
