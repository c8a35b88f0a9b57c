// Helpers for driving the real game: a throw-away working directory that sees
// the repository's resources, the game process itself, waiting on things the
// game does (a window, a log line, a file, its exit) and real key presses
// through xdotool.
#pragma once

#include <sys/types.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Generous: a loaded CI machine may take seconds to open a window.
constexpr std::chrono::milliseconds kDefaultTimeout = 20s;

// Polls cond every 20 ms until it holds or the timeout passes; returns its last answer.
bool waitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout = kDefaultTimeout);

// A fresh directory under the system temp dir, removed with everything in it
// at the end of the test. By default it holds a symlink "resource" to the
// repository's resource directory, so the game loads its real assets.
class WorkDir {
public:
    enum Resources { LinkResources, NoResources };
    explicit WorkDir(Resources resources = LinkResources);
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Builds resource/ as a real directory whose entries link to the
    // repository's, leaving out the given paths (relative to resource/,
    // such as "font/font.bmp").
    void linkResourcesExcept(const std::vector<std::string>& leftOut);

    bool exists(const std::string& name) const;
    std::string read(const std::string& name) const;  // "" when missing
    void write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

// How a game is started besides its arguments: which binary, where its
// output and its run log are, and its environment. By default the build's
// game with its player's files in the working directory, and HOME pointed
// into the working directory (so no test can reach the real home).
struct Launch {
    std::string binary{};                  // "" = the build's game
    std::filesystem::path outputDir{};     // game.stdout and game.stderr; empty = the working directory
    std::filesystem::path playerFiles{};   // where run.log is read; empty = the working directory
    std::vector<std::pair<std::string, std::string>> environment{};  // set for the game
    std::vector<std::string> unset{};                                 // removed from its environment
};

// The real game binary, started in a working directory with the X11 video
// driver forced (SDL would otherwise fall back to an invisible offscreen one)
// and sound on the dummy driver. Its stdout and stderr go to game.stdout and
// game.stderr in the working directory (or launch.outputDir). The destructor
// kills a game still running.
class GameProcess {
public:
    GameProcess(const WorkDir& dir, const std::vector<std::string>& args = {}, const Launch& launch = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return pid_; }

    // The exit status once the process has ended within the timeout; a death
    // by signal reads as 128 + the signal number.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = kDefaultTimeout);
    bool running();

    // The game's window ("KVR2013"), once it exists; empty when it never appears.
    std::string waitForWindow(std::chrono::milliseconds timeout = kDefaultTimeout);

    // Waits until "run.log" contains text.
    bool waitForLog(const std::string& text, std::chrono::milliseconds timeout = kDefaultTimeout);

    std::string runLog() const;
    std::string standardOutput() const;
    std::string standardError() const;

private:
    std::filesystem::path outputDir_;
    std::filesystem::path playerFiles_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Every entry under root (itself excluded) by its path relative to root:
// "dir", "file <size> <hash of the bytes>" or "link -> <target>". Two
// snapshots are equal exactly when nothing under root was added, removed or
// changed by a single byte. An empty map when root does not exist.
std::map<std::string, std::string> snapshotTree(const std::filesystem::path& root);

// The build's game copied to prefix/bin/kvr2013, away from any checkout, so
// that it finds no resources beside itself; returns the copy's path.
std::string copyGameInto(const std::filesystem::path& prefix);

// A whole file, "" when missing.
std::string readFile(const std::filesystem::path& file);

// Runs a shell command; returns its stdout (the exit status goes to *status when given).
std::string runCommand(const std::string& command, int* status = nullptr);

// How many times part occurs in text (a line of the run log, say).
int countOf(const std::string& text, const std::string& part);

// The number a "config.ini" text holds for a key ("HI_SCORE1 = 140"), or -1.
int configNumber(const std::string& config, const std::string& key);

// Presses Escape on the game's window; success when the game then ends with
// status 0, otherwise what happened and the run log.
::testing::AssertionResult quitsOnEscape(GameProcess& game, const std::string& window);

// Ids of the windows whose title is exactly "KVR2013".
std::vector<std::string> gameWindows();

// Gives the window the keyboard focus (Xvfb has no window manager to do it).
void focusWindow(const std::string& windowId);

// Presses a key (an X keysym name such as "z", "Right", "F12", "Escape") on
// the window, holds it for several frames and releases it, then leaves it up
// for several frames: the game reads the keyboard once per 16 ms frame, so a
// shorter tap or a shorter gap between two taps could go unseen.
void pressKey(const std::string& windowId, const std::string& keysym);

// Presses a key like pressKey, lets `gap` pass and presses it again, all in
// one xdotool process so the gap between the two presses is what the game
// sees even on a busy machine.
void pressKeyTwice(const std::string& windowId, const std::string& keysym, std::chrono::milliseconds gap);

// The window's size and place, from xdotool.
struct WindowGeometry {
    int x = -1, y = -1, width = -1, height = -1;
};
WindowGeometry windowGeometry(const std::string& windowId);
// Moves the window to the screen's top-left corner and gives it a size,
// waiting until the X server has done both.
void placeWindow(const std::string& windowId, int width, int height);
// The X screen's size.
WindowGeometry screenSize();

// Moves the pointer onto a window point and clicks the left button, holding
// it for several frames.
void clickAt(const std::string& windowId, int x, int y);

// The game's stand-in controller (see src/kiln2_sdl/test_pad.h): commands go
// to the command file named in the game's KVR_TEST_PAD_FILE.
class TestPad {
public:
    explicit TestPad(const WorkDir& dir);
    // KVR_TEST_PAD_FILE and its value, for Launch::environment.
    std::pair<std::string, std::string> environment() const;
    // Hands the game one command file and waits until it took it.
    bool send(const std::string& commands);
    // Holds a position for several frames and lets it go again.
    bool tap(const std::string& position);

private:
    std::filesystem::path file_;
};

// Keeps one X connection of the test program open from now on, so that Xvfb
// never starts afresh between two clients; games call it when they start.
void holdTheDisplay();

// A window manager (openbox) for the tests that need one: Xvfb has none, and
// full screen is a request a window manager carries out. Stopped at the end.
// What it says goes to "openbox.log" in the working directory.
class WindowManager {
public:
    explicit WindowManager(const WorkDir& dir);
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    bool running() const { return running_; }

private:
    pid_t pid_ = -1;
    bool running_ = false;
};

// The fixture of a test that plays the real game: it needs an X display and
// no other game window; it has a working directory of its own, the game and
// its window.
class GameWindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts the game with these arguments, waits for its window, gives it
    // the focus and waits until its frame loop runs.
    void startGame(const std::vector<std::string>& args = {}, const Launch& launch = {});
    // The same, then Z past the logo and wait for the title.
    void startAtTitle(const std::vector<std::string>& args = {}, const Launch& launch = {});
    void quitWithEscape() { ASSERT_TRUE(quitsOnEscape(*game, window)); }

    WorkDir dir;
    std::unique_ptr<GameProcess> game;
    std::string window;
};

// Another X client with a window of its own (xclock), closed at the end:
// giving it the focus takes the focus from the game.
class Xclock {
public:
    Xclock();
    ~Xclock();
    Xclock(const Xclock&) = delete;
    Xclock& operator=(const Xclock&) = delete;
    const std::string& window() const { return window_; }

private:
    pid_t pid_ = -1;
    std::string window_;
};

// Puts a key down (or up) on the window and leaves it so: a held key.
void holdKey(const std::string& windowId, const std::string& keysym, bool down);

// Path helpers.
std::filesystem::path repoResourceDir();
std::string gameBinary();

// Quotes text for a POSIX shell command line.
std::string shellQuote(const std::string& text);

}  // namespace e2e
