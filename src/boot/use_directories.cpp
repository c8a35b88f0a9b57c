// Handing this run's directories to the framework and to the player's files.
#include "boot/use_directories.h"

#include "config/player_files.h"
#include "kiln2/kiln2.h"

void useGameDirectories(const GameDirectories& directories, bool dataWritable) {
    Kiln_setResourceDir(directories.resources.dir.string());
    setPlayerDataDir(directories.data.dir.string(), dataWritable);
    // A directory that cannot be written gets nothing: no log, no pictures.
    Kiln_setRunLogFile(dataWritable ? playerFilePath("run.log") : "");
    Kiln_setScreenshotDir(dataWritable ? playerFilePath("screenshots") : "");
}
