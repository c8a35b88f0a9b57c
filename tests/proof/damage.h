// The kinds of damage the robustness tests do to a file the game reads, and
// a way to run a loader as an ordinary user (root reads files whatever their
// permissions, so an unreadable file needs a process that is not root).
#pragma once

#include <functional>
#include <string>

namespace proof {

enum class Damage { Missing, Empty, Truncated, Oversized, WrongType, Garbage, Unreadable, Directory };

const char* damageName(Damage damage);

// Damages file in place. WrongType puts the bytes of wrongTypeSource there;
// Oversized appends 8 MiB of zero bytes to the intact content; Unreadable sets mode 000.
void damageFile(const std::string& file, Damage damage, const std::string& wrongTypeSource);

// Runs body in a child process that cannot read mode-000 files: as root it
// first opens the working directory to everyone and becomes user "nobody".
// Returns body's result, or -1 when the child could not drop its rights.
int runAsOrdinaryUser(const std::function<int()>& body, std::string* output = nullptr);

}  // namespace proof
