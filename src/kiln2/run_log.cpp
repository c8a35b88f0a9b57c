// The run log: everything logged goes to standard output (or standard error
// when the backend says so) and is appended to "run.log", which survives the
// program for anyone asking what happened.
#include "kiln2/run_log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "kiln2/kiln_state.h"

namespace {

// One open-append-close per call keeps everything logged before a crash on disk.
void appendToRunLog(const std::string& path, const char* text, size_t length) {
    // The messages name the file: "Read-only file system" alone does not say what could not be written.
    FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) throw KilnError(path + ": " + std::strerror(errno));
    const size_t written = std::fwrite(text, 1, length, file);
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || written != length) {
        throw KilnError(path + ": " + std::strerror(writeErrno ? writeErrno : EIO));
    }
}

bool writesRunLog(const KilnLogTarget& target) { return target.writeRunLog && !target.file.empty(); }

void writeOut(const KilnLogTarget& target, const char* text, size_t length) {
    if (!target.echo) return;
    std::fwrite(text, 1, length, target.toStderr ? stderr : stdout);
}

// A log that can no longer be appended to (the disk filled up, the player's
// directory was taken away) must not end the game: the first failure is said
// once on stderr and the file is left alone for the rest of the run.
void appendOrStopLogging(KilnLogTarget& target, const char* text, size_t length) {
    if (!writesRunLog(target)) return;
    try {
        appendToRunLog(target.file, text, length);
    } catch (const KilnError& e) {
        target.writeRunLog = false;
        std::fprintf(stderr, "%s; the rest of this run is not written to it\n", e.what());
    }
}

}  // namespace

void kilnDeleteRunLog() {
    const KilnLogTarget& target = kilnBackend().log;
    if (!writesRunLog(target)) return;
    std::error_code error;
    std::filesystem::remove(target.file, error);
    if (error) throw KilnError(target.file + ": " + error.message());
}

void Kiln_setRunLogFile(const std::string& path) {
    KilnLogTarget& target = kilnBackend().log;
    target.file = path;
    target.writeRunLog = !path.empty();
}

void Kiln_log(const char* format, ...) {
    if (kilnQuiet) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<size_t>(needed) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(needed));
    }
    va_end(args);
    if (text.empty()) return;
    KilnLogTarget& target = kilnBackend().log;
    writeOut(target, text.data(), text.size());
    appendOrStopLogging(target, text.data(), text.size());
}

void Kiln_logException(const std::exception& e) {
    if (kilnQuiet) return;
    std::string line = e.what();
    line += '\n';
    KilnLogTarget& target = kilnBackend().log;
    writeOut(target, line.data(), line.size());
    std::fflush(target.toStderr ? stderr : stdout);
    appendOrStopLogging(target, line.data(), line.size());
}
