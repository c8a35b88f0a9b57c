// "kvr2013-scores serve": opens the database, starts the verifier pool and
// the HTTP listener, prints "listening http://HOST:PORT" as its first line
// and serves until SIGTERM.
#pragma once

namespace scoreserver {

int runServeCommand(int argc, char** argv);  // argv[1] is "serve"

}  // namespace scoreserver
