// "kvr2013-scores admin": works on the database directly, with or without
// a server running on it.
//   remove RUN --reason TEXT     takes an entry off the tables (kept, marked)
//   ban PLAYER --reason TEXT     takes a player and their entries off, refuses their writes
//   reverify [--stage S]         plays every entry again with this build's verifier
//                                and lists each whose line or trace digest changed
#pragma once

namespace scoreserver {

int runAdminCommand(int argc, char** argv);  // argv[1] is "admin"

}  // namespace scoreserver
