// Home of Actor's virtual table.
#include "actor/actor.h"

Actor::~Actor() = default;
