// The run log's file name and its start-of-run clean-up, shared by start-up.
#pragma once

constexpr const char* kRunLogFile = "run.log";

// Deletes "run.log" if it exists, so each run starts a fresh log; throws the
// system's error text when it cannot.
void kilnDeleteRunLog();
