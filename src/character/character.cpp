// Character's alive flag.
#include "character/character.h"

Character::~Character() = default;

void Character::appear() { alive_ = true; }

void Character::vanish() { alive_ = false; }
