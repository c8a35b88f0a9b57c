// Reading the verifier's one stdout line back into numbers.
#pragma once

#include <string_view>

#include "verifypool/verify_replay.h"

namespace verifypool {

// Fills the line, stage, frames, score, distance and result of `outcome` from
// "stage=S frames=F score=N distance=Dm energy=E result=R\n"; false, touching
// nothing, for anything else (a second line included).
bool readVerifierLine(std::string_view out, VerifyOutcome& outcome);

}  // namespace verifypool
