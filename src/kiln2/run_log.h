// The run log's start-of-run clean-up, shared by start-up.
#pragma once

// Deletes the run log ("run.log" unless another was chosen) if it exists, so
// each run starts a fresh log; throws the system's error text when it cannot.
void kilnDeleteRunLog();
