// Character: an actor that can be alive or gone, the one piece of state it
// keeps; what a character does each frame belongs to the classes built on it.
#pragma once

#include "actor/actor.h"

class Character : public Actor {
public:
    Character() = default;
    ~Character() override;

    // Brings the character into play.
    virtual void appear();
    // Takes it out of play.
    virtual void vanish();
    bool isAlive() const { return alive_; }

private:
    bool alive_ = false;
};
