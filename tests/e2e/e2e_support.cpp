// Process, file and X helpers for the end-to-end tests.
#include "e2e_support.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace e2e {

namespace {

constexpr auto kPollInterval = 20ms;
// Long enough for several 16 ms frames to see the key down, then up again.
constexpr auto kKeyHold = 100ms;

fs::path makeUniqueDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("kvr2013-e2e-" + std::to_string(random()));
        if (fs::create_directory(candidate)) return candidate;
    }
    throw std::runtime_error("could not create a temporary directory");
}

}  // namespace

// Xvfb starts afresh each time its last client leaves, and while it does a
// new client is refused: a game started just after the previous one closed
// could then find no display ("x11 not available"). The test program keeps
// one connection of its own open from its first game on, opened once the
// server accepts it, so the server never starts afresh under a test.
void holdTheDisplay() {
    static bool held = false;
    if (held) return;
    held = waitUntil([] { return SDL_VideoInit("x11") == 0; });
    if (!held) throw std::runtime_error(std::string("the X server takes no connection: ") + SDL_GetError());
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::map<std::string, std::string> snapshotTree(const fs::path& root) {
    std::map<std::string, std::string> entries;
    std::error_code error;
    if (!fs::exists(root, error)) return entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink()) {
            entries[name] = "link -> " + fs::read_symlink(entry.path()).string();
        } else if (entry.is_directory()) {
            entries[name] = "dir";
        } else {
            const std::string bytes = readFile(entry.path());
            uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
            for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
            entries[name] = "file " + std::to_string(bytes.size()) + " " + std::to_string(hash);
        }
    }
    return entries;
}

std::string copyGameInto(const fs::path& prefix) {
    fs::create_directories(prefix / "bin");
    const fs::path copy = prefix / "bin" / "kvr2013";
    fs::copy_file(gameBinary(), copy, fs::copy_options::overwrite_existing);
    return copy.string();
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool waitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (cond()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return cond();
        std::this_thread::sleep_for(kPollInterval);
    }
}

fs::path repoResourceDir() { return fs::path(KVR_SOURCE_DIR) / "resource"; }

std::string gameBinary() { return KVR_GAME_BINARY; }

WorkDir::WorkDir(Resources resources) : path_(makeUniqueDir()) {
    if (resources == LinkResources) fs::create_directory_symlink(repoResourceDir(), path_ / "resource");
}

WorkDir::~WorkDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void WorkDir::linkResourcesExcept(const std::vector<std::string>& leftOut) {
    fs::path target = path_ / "resource";
    fs::remove_all(target);
    fs::create_directories(target);
    for (const auto& entry : fs::recursive_directory_iterator(repoResourceDir())) {
        fs::path relative = fs::relative(entry.path(), repoResourceDir());
        if (entry.is_directory()) {
            fs::create_directories(target / relative);
            continue;
        }
        bool skip = false;
        for (const std::string& name : leftOut) skip = skip || relative == fs::path(name);
        if (!skip) fs::create_symlink(entry.path(), target / relative);
    }
}

bool WorkDir::exists(const std::string& name) const { return fs::exists(path_ / name); }

std::string WorkDir::read(const std::string& name) const { return readFile(path_ / name); }

void WorkDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
}

GameProcess::GameProcess(const WorkDir& dir, const std::vector<std::string>& args, const Launch& launch)
    : outputDir_(launch.outputDir.empty() ? dir.path() : launch.outputDir),
      playerFiles_(launch.playerFiles.empty() ? dir.path() : launch.playerFiles) {
    std::vector<std::string> argvText{launch.binary.empty() ? gameBinary() : launch.binary};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string out = (outputDir_ / "game.stdout").string();
    std::string err = (outputDir_ / "game.stderr").string();
    std::string workDir = dir.path().string();
    std::string home = (dir.path() / "home").string();

    holdTheDisplay();
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("HOME", home.c_str(), 1);
        unsetenv("XDG_DATA_HOME");
        for (const auto& [name, value] : launch.environment) setenv(name.c_str(), value.c_str(), 1);
        for (const std::string& name : launch.unset) unsetenv(name.c_str());
        int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (outFd < 0 || errFd < 0) _exit(126);
        dup2(outFd, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

GameProcess::~GameProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitForExit(5s);
    }
}

bool GameProcess::running() {
    if (status_) return false;
    int raw = 0;
    pid_t done = waitpid(pid_, &raw, WNOHANG);
    if (done == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return false;
    }
    return done == 0;
}

std::optional<int> GameProcess::waitForExit(std::chrono::milliseconds timeout) {
    waitUntil([this] { return !running(); }, timeout);
    return status_;
}

std::string GameProcess::waitForWindow(std::chrono::milliseconds timeout) {
    std::string id;
    waitUntil(
        [&] {
            auto windows = gameWindows();
            if (!windows.empty()) id = windows.front();
            return !id.empty() || !running();
        },
        timeout);
    return id;
}

bool GameProcess::waitForLog(const std::string& text, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return runLog().find(text) != std::string::npos; }, timeout);
}

std::string GameProcess::runLog() const { return readFile(playerFiles_ / "run.log"); }

std::string GameProcess::standardOutput() const { return readFile(outputDir_ / "game.stdout"); }

std::string GameProcess::standardError() const { return readFile(outputDir_ / "game.stderr"); }

std::string runCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("popen failed: " + command);
    std::array<char, 256> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
    int raw = pclose(pipe);
    if (status) *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

std::vector<std::string> gameWindows() {
    std::istringstream lines(runCommand("xdotool search --name '^KVR2013$' 2>/dev/null"));
    std::vector<std::string> ids;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) ids.push_back(line);
    return ids;
}

void focusWindow(const std::string& windowId) {
    runCommand("xdotool windowfocus --sync " + shellQuote(windowId) + " 2>&1");
}

void pressKey(const std::string& windowId, const std::string& keysym) {
    std::string window = shellQuote(windowId);
    std::string key = shellQuote(keysym);
    focusWindow(windowId);
    runCommand("xdotool keydown --window " + window + " " + key + " 2>&1");
    std::this_thread::sleep_for(kKeyHold);
    runCommand("xdotool keyup --window " + window + " " + key + " 2>&1");
    std::this_thread::sleep_for(kKeyHold);
}

int countOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

int configNumber(const std::string& config, const std::string& key) {
    const std::string start = key + " = ";
    for (size_t at = config.find(start); at != std::string::npos; at = config.find(start, at + 1)) {
        if (at != 0 && config[at - 1] != '\n') continue;  // only a whole key at a line's start
        const size_t digits = at + start.size();
        const size_t end = config.find_first_not_of("0123456789", digits);
        if (end == digits || end == std::string::npos || config[end] != '\n') return -1;
        return std::stoi(config.substr(digits, end - digits));
    }
    return -1;
}

::testing::AssertionResult quitsOnEscape(GameProcess& game, const std::string& window) {
    // One press: a game that stalls longer than the key is held still sees it.
    pressKey(window, "Escape");
    const std::optional<int> status = game.waitForExit(kDefaultTimeout);
    // The game may end on the key going down: the release then names a
    // window that is gone, xdotool fails, and the X server would keep Escape
    // held for the next game's window, which would see it as pressed at once.
    runCommand("xdotool keyup Escape 2>&1");
    if (!status.has_value()) return ::testing::AssertionFailure() << "the game did not end on Escape";
    if (*status != 0) return ::testing::AssertionFailure() << "exit status " << *status << "; log: " << game.runLog();
    return ::testing::AssertionSuccess();
}

void pressKeyTwice(const std::string& windowId, const std::string& keysym, std::chrono::milliseconds gap) {
    const std::string window = shellQuote(windowId);
    const std::string key = shellQuote(keysym);
    const std::string hold = " sleep " + std::to_string(kKeyHold.count() / 1000.0) + " ";
    const std::string press = "keydown --window " + window + " " + key + hold + "keyup --window " + window + " " + key;
    focusWindow(windowId);
    runCommand("xdotool " + press + " sleep " + std::to_string(gap.count() / 1000.0) + " " + press + hold + " 2>&1");
}

WindowGeometry windowGeometry(const std::string& windowId) {
    std::istringstream lines(runCommand("xdotool getwindowgeometry --shell " + shellQuote(windowId) + " 2>/dev/null"));
    WindowGeometry geometry;
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X") geometry.x = value;
        if (key == "Y") geometry.y = value;
        if (key == "WIDTH") geometry.width = value;
        if (key == "HEIGHT") geometry.height = value;
    }
    return geometry;
}

void placeWindow(const std::string& windowId, int width, int height) {
    const std::string window = shellQuote(windowId);
    runCommand("xdotool windowmove --sync " + window + " 0 0 2>&1");
    runCommand("xdotool windowsize --sync " + window + " " + std::to_string(width) + " " + std::to_string(height) +
               " 2>&1");
    waitUntil([&] {
        const WindowGeometry now = windowGeometry(windowId);
        return now.width == width && now.height == height;
    });
}

WindowGeometry screenSize() {
    std::istringstream words(runCommand("xdotool getdisplaygeometry 2>/dev/null"));
    WindowGeometry geometry;
    geometry.x = geometry.y = 0;
    words >> geometry.width >> geometry.height;
    return geometry;
}

void clickAt(const std::string& windowId, int x, int y) {
    runCommand("xdotool mousemove --window " + shellQuote(windowId) + " " + std::to_string(x) + " " +
               std::to_string(y) + " 2>&1");
    std::this_thread::sleep_for(kKeyHold);
    runCommand("xdotool mousedown 1 2>&1");
    std::this_thread::sleep_for(kKeyHold);
    runCommand("xdotool mouseup 1 2>&1");
    std::this_thread::sleep_for(kKeyHold);
}

TestPad::TestPad(const WorkDir& dir) : file_(dir / "pad-commands") {}

std::pair<std::string, std::string> TestPad::environment() const { return {"KVR_TEST_PAD_FILE", file_.string()}; }

bool TestPad::send(const std::string& commands) {
    // Written whole under another name, then renamed: the game never sees half a file.
    const fs::path partial = file_.string() + ".new";
    {
        std::ofstream out(partial, std::ios::binary);
        out << commands << "\n";
    }
    fs::rename(partial, file_);
    return waitUntil([&] { return !fs::exists(file_); });
}

bool TestPad::tap(const std::string& position) {
    if (!send("press " + position)) return false;
    std::this_thread::sleep_for(kKeyHold);
    const bool released = send("release " + position);
    std::this_thread::sleep_for(kKeyHold);
    return released;
}

WindowManager::WindowManager(const WorkDir& dir) {
    // Started before any game: a server starting afresh would refuse it.
    holdTheDisplay();
    const std::string log = (dir / "openbox.log").string();
    pid_ = fork();
    if (pid_ < 0) return;
    if (pid_ == 0) {
        const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (logFd >= 0) {
            dup2(logFd, STDOUT_FILENO);
            dup2(logFd, STDERR_FILENO);
        }
        execlp("openbox", "openbox", static_cast<char*>(nullptr));
        _exit(127);
    }
    // It is managing the screen once it has said so on the root window; a
    // loaded machine may take a while to start it.
    running_ = waitUntil(
        [&] {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;  // it gave up: openbox.log says why
                return true;
            }
            return runCommand("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") != std::string::npos;
        },
        60s) && pid_ > 0;
}

WindowManager::~WindowManager() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    // The root window keeps the property of a window manager that is gone; the next one sets it anew.
    runCommand("xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>&1");
}

void GameWindowTest::SetUp() {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under an X server (scripts/test.sh uses xvfb-run)";
    ASSERT_TRUE(gameWindows().empty()) << "another game window is still open";
}

void GameWindowTest::startGame(const std::vector<std::string>& args, const Launch& launch) {
    game.reset();
    game = std::make_unique<GameProcess>(dir, args, launch);
    window = game->waitForWindow();
    ASSERT_FALSE(window.empty()) << "no game window (game " << (game->running() ? "still running" : "ended")
                                 << "); stderr: " << dir.read("game.stderr") << " log: " << game->runLog();
    focusWindow(window);
    ASSERT_TRUE(game->waitForLog("Exec loop.\n")) << game->runLog();
}

void GameWindowTest::startAtTitle(const std::vector<std::string>& args, const Launch& launch) {
    ASSERT_NO_FATAL_FAILURE(startGame(args, launch));
    pressKey(window, "z");
    ASSERT_TRUE(game->waitForLog("TitleMain\n")) << game->runLog();
}

Xclock::Xclock() {
    holdTheDisplay();
    const std::string pid = runCommand("xclock -geometry 120x120+900+40 >/dev/null 2>&1 & echo $!");
    pid_ = std::atoi(pid.c_str());
    waitUntil([&] {
        const std::string ids = runCommand("xdotool search --class xclock 2>/dev/null");
        window_ = ids.substr(0, ids.find('\n'));
        return !window_.empty();
    });
}

Xclock::~Xclock() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

void holdKey(const std::string& windowId, const std::string& keysym, bool down) {
    focusWindow(windowId);
    runCommand(std::string("xdotool ") + (down ? "keydown" : "keyup") + " --window " + shellQuote(windowId) + " " +
               shellQuote(keysym) + " 2>&1");
}

}  // namespace e2e
