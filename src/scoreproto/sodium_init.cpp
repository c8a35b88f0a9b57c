#include "scoreproto/sodium_init.h"

#include <sodium.h>

#include <stdexcept>

namespace scoreproto {

void ensureSodium() {
    // sodium_init is safe to call from several threads and again later.
    static const int status = sodium_init();
    if (status < 0) throw std::runtime_error("libsodium could not be initialised");
}

}  // namespace scoreproto
