// The world score server for this session: which service the scenes get
// (none without a server, the world link with one) and its end before exit.
#pragma once

#include <string>

// After the framework has started: reads ONLINE, PLAYER_NAME, SCORE_SERVER
// and SCORE_SERVER_CA from "config.ini" (serverOverride, from
// --score-server, wins over SCORE_SERVER) and installs the service. With
// ONLINE on and a name, the link registers it at once (making the key when
// there is none) and sends the outbox; nothing of this waits here.
void startWorldService(const std::string& serverOverride);

// Stops the link's worker (a request in flight is given up) and puts the
// offline service back; returns once the worker has ended.
void stopWorldService();
