// Which directory holds the player's files ("config.ini", "replay/",
// "run.log", "screenshots/"), by these rules in order: "--data-dir DIR";
// the working directory when the pictures and sounds came from its
// resource/ (playing from a checkout, as scripts/play.sh does);
// $XDG_DATA_HOME/kvr2013 when that variable is an absolute path;
// ~/.local/share/kvr2013, with HOME from the environment or, when that is
// unset or not absolute, the account's home directory. The choice is a pure
// function of what is passed in; preparing the directory is separate.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

struct DataDirInput {
    std::string optionDir;                // "--data-dir DIR" as typed; "" when not given
    bool resourcesInWorkingDir = false;   // the resource search found ./resource
    std::filesystem::path workingDir;     // absolute
    std::optional<std::string> xdgDataHome;  // $XDG_DATA_HOME; nullopt when unset
    std::optional<std::string> home;         // $HOME; nullopt when unset
    std::string accountHome;                 // the home directory of the user's account entry ("" when none)
};

enum class DataDirRule { Option, WorkingDir, XdgDataHome, Home, AccountHome, Nowhere };

struct DataDirChoice {
    std::filesystem::path dir;  // absolute; empty for Nowhere
    DataDirRule rule = DataDirRule::Nowhere;
};

DataDirChoice chooseDataDir(const DataDirInput& input);

// Whether the directory can take the player's files, and why not.
struct DataDirAccess {
    bool writable = false;
    std::string reason;  // the system's words when it is not writable
};

// Creates the directory when missing (each new level with mode 0700) and
// proves that a file can be made in it, removing the file again.
DataDirAccess prepareDataDir(const std::filesystem::path& dir);

// The one stderr line for a directory that cannot be used, or "" when it can.
std::string dataDirProblemLine(const DataDirChoice& choice, const DataDirAccess& access);
