// The two scopes for a run nobody is meant to see or hear: one throws its
// drawing away, the other silences its sounds, music, shake and log lines.
// Each gives back what was in force before it.
#include "kiln2/kiln_state.h"

KilnDiscardDrawingScope::KilnDiscardDrawingScope() : previous_(kilnDrawingDiscarded) { kilnDrawingDiscarded = true; }

KilnDiscardDrawingScope::~KilnDiscardDrawingScope() { kilnDrawingDiscarded = previous_; }

KilnQuietScope::KilnQuietScope() : previous_(kilnQuiet) { kilnQuiet = true; }

KilnQuietScope::~KilnQuietScope() { kilnQuiet = previous_; }
