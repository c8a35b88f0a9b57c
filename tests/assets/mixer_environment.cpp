// Opens the mixer once for the whole test program (dummy audio driver, the
// game's own device settings) so every sound test decodes the same way.
#include "asset_test_support.h"

namespace {

[[maybe_unused]] ::testing::Environment* const kMixer =
    ::testing::AddGlobalTestEnvironment(new assettest::MixerEnvironment);

} // namespace
