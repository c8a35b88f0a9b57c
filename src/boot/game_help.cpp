// What --help and --version print. The options come from the command line's
// table; the controls are the game's; the directories are this run's.
#include "boot/game_directories.h"

namespace {

const char* const kUsage =
    "usage: kvr2013 [OPTION]...\n"
    "       kvr2013 --headless --stage S --replay FILE [--hiscore H] [--max-frames N]\n"
    "               [--trace FILE] [--log FILE]\n"
    "\n"
    "KVR 2013, a side-scrolling flight game: hold UP to thrust your craft through\n"
    "the openings of the walls; a stage's best run is kept as its replay.\n";

const char* const kHeadlessHelp =
    "  --headless ...      play a replay without a window and print what it scored:\n"
    "                      stage=S frames=F score=N distance=Dm energy=E result=R\n";

const char* const kControls =
    "Controls:\n"
    "  UP                  thrust; on the title, start a run\n"
    "  Z or SPACE          barrier (button A); on the title, start a run\n"
    "  X or RETURN         on the title, watch the stage's best run; in a run, pause\n"
    "  LEFT, RIGHT         choose the stage on the title\n"
    "  F4 reload pictures, F5 iconify, F9 window or full screen, F10 mouse cursor,\n"
    "  F12 screenshot, Escape quit\n"
    "  Game controllers work too, plugged in at any time: south face button A,\n"
    "  east B, Start pause, Back options, D-pad or left stick steer.\n"
    "Watching a replay:\n"
    "  Z or SPACE pause or go on, RIGHT/LEFT faster/slower (x1/4 to x8), DOWN one\n"
    "  frame while paused, PAGE DOWN/UP ten seconds on/back, HOME from the start,\n"
    "  X back to the title; a controller's shoulder buttons jump too\n"
    "World scores:\n"
    "  in config.ini, SCORE_SERVER = URL (or --score-server URL for one session),\n"
    "  ONLINE = 1 and PLAYER_NAME = NAME send every record to the server's world\n"
    "  table; SCORE_SERVER_CA = FILE names a private server's CA certificate\n";

std::string resourcesLine(const ResourceSearch& search) {
    if (search.found()) return "  pictures and sounds  " + search.dir.string() + "\n";
    std::string text = "  pictures and sounds  not found; looked in:\n";
    for (const auto& place : search.searched) text += "                       " + place.string() + "\n";
    return text;
}

std::string dataLine(const DataDirChoice& data) {
    if (data.dir.empty()) return "  player's files       nowhere (no home directory): kept for the session only\n";
    return "  player's files       " + data.dir.string() +
           "\n"
           "                       (config.ini, replay/, run.log, screenshots/; and online,\n"
           "                       player.key, outbox/ and cache/)\n";
}

}  // namespace

std::string gameHelpText(const GameDirectories& directories) {
    std::string text = kUsage;
    text += "\nOptions:\n";
    text += commandLineOptionsHelp();
    text += kHeadlessHelp;
    text += "\n";
    text += kControls;
    text += "\nDirectories of this run:\n";
    text += resourcesLine(directories.resources);
    text += dataLine(directories.data);
    return text;
}

std::string gameVersionText() { return std::string("kvr2013 ") + KVR_VERSION + "\n"; }
