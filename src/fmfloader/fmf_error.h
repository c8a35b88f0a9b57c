// The one error type of the tile-map module: a bad map file or a map shape
// that cannot be stored, carrying one message text.
#pragma once

#include <stdexcept>

class FMFError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
