// libsodium must be initialised once before its random numbers are used;
// every entry point of this module calls this first.
#pragma once

namespace scoreproto {

void ensureSodium();

}  // namespace scoreproto
