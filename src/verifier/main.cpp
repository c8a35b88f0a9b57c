// kvr2013-verify: the replay verifier on its own. It links the play field
// and the framework's headless core only, so it starts in a few
// milliseconds and runs where no window system or sound library exists.
#include "verifier/replay_verifier.h"

int main(int argc, char** argv) { return runReplayVerifier(argc, argv, "kvr2013-verify"); }
