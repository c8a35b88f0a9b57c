// Start-up without a display stops with a message instead of running unseen;
// any display, or a video driver named on purpose, lets the game go on.
#include "boot/display_check.h"

#include <gtest/gtest.h>

TEST(DisplayCheck, AnyDisplayOrANamedDriverLetsTheGameStart) {
    EXPECT_EQ(missingDisplayMessage(":0", nullptr, nullptr), "");
    EXPECT_EQ(missingDisplayMessage(nullptr, "wayland-0", nullptr), "");
    EXPECT_EQ(missingDisplayMessage(nullptr, nullptr, "x11"), "");
    EXPECT_EQ(missingDisplayMessage(nullptr, nullptr, "offscreen"), "") << "the player asked for it";
}

TEST(DisplayCheck, NoneSaysWhatIsMissingAndHowToPlay) {
    for (const char* empty : {static_cast<const char*>(nullptr), ""}) {
        const std::string message = missingDisplayMessage(empty, empty, empty);
        ASSERT_FALSE(message.empty());
        EXPECT_EQ(message.rfind("kvr2013: no display", 0), 0u) << message;
        EXPECT_NE(message.find("DISPLAY"), std::string::npos);
        EXPECT_NE(message.find("WAYLAND_DISPLAY"), std::string::npos);
        EXPECT_NE(message.find("desktop session"), std::string::npos);
        EXPECT_NE(message.find("SDL_VIDEODRIVER"), std::string::npos);
        EXPECT_EQ(message.back(), '\n');
    }
}
