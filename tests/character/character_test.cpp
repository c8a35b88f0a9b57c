// A character's alive flag: off until it appears, off again when it vanishes.
#include <gtest/gtest.h>

#include <memory>

#include "character/character.h"

TEST(Character, AppearsAndVanishes) {
    Character c;
    EXPECT_FALSE(c.isAlive());
    c.appear();
    EXPECT_TRUE(c.isAlive());
    c.appear();
    EXPECT_TRUE(c.isAlive());
    c.vanish();
    EXPECT_FALSE(c.isAlive());
}

TEST(Character, FlagIsReachedThroughTheActorBase) {
    std::unique_ptr<Actor> actor = std::make_unique<Character>();
    auto* c = dynamic_cast<Character*>(actor.get());
    ASSERT_NE(c, nullptr);
    c->appear();
    actor->update();
    actor->draw();
    EXPECT_TRUE(c->isAlive()) << "the empty frame operations must leave the flag alone";
}
