// ConfigParser: reading, converting and writing the key/value lines of files
// such as "config.ini". Saving goes through a temporary file and a rename, so
// a crash or a full disk never leaves a half-written settings file behind.
#include "config/config_parser.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "durable_file/durable_file.h"

namespace {

std::string osErrorText(int error) { return std::strerror(error); }

[[noreturn]] void throwFileError(const char* operation, const std::string& file, int error) {
    throw ConfigError(std::string("ConfigParser.") + operation + "(): " + file + ": " + osErrorText(error));
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool allOf(const std::string& text, bool (*accept)(char)) {
    for (char c : text) {
        if (!accept(c)) return false;
    }
    return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isDigitOrPoint(char c) { return isDigit(c) || c == '.'; }

std::string notDigitMessage(const std::string& key, const std::string& value) {
    return "not digit value ... '" + key + "' -> '" + value + "'";
}

// Last-access time in milliseconds; only two readings of the same file are ever compared.
int64_t accessTimeMs(const struct stat& info) {
    return static_cast<int64_t>(info.st_atim.tv_sec) * 1000 + info.st_atim.tv_nsec / 1000000;
}

std::string readWholeFile(const std::string& file) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throwFileError("load", file, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        throwFileError("load", file, error);
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            throwFileError("load", file, error);
        }
        if (got == 0) break;
        content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return content;
}

// Writes data to file + ".tmp", makes it durable, then renames it over file.
// On any failure the temporary file is removed and the old file is untouched.
void replaceFileAtomically(const std::string& file, const std::string& data) {
    // A rename would bypass the file's own permissions: a settings file the
    // player cannot write (or read) is refused as rewriting it in place would
    // be, instead of being replaced, hi-scores and all, by the defaults.
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
        throwFileError("save", file, errno);
    }
    if (const int error = durable::replaceFile(file, data, ".tmp"); error != 0) throwFileError("save", file, error);
}

}  // namespace

void ConfigParser::clear() {
    keyCount_ = 0;
    keyOrder_.clear();
    values_.clear();
}

void ConfigParser::load(const std::string& file) {
    clear();
    fileName_ = file;
    const std::string content = readWholeFile(file);

    size_t lineStart = 0;
    while (lineStart <= content.size()) {
        size_t lineEnd = content.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = content.size();
        std::string line = content.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;

        size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        size_t firstEquals = line.find('=');
        if (firstEquals == std::string::npos) continue;
        // Only the first two pieces count: "A = 1 = 2" is A = 1, "A==2" is A = "".
        size_t secondEquals = line.find('=', firstEquals + 1);
        size_t valueEnd = secondEquals == std::string::npos ? line.size() : secondEquals;
        set(trim(line.substr(0, firstEquals)), trim(line.substr(firstEquals + 1, valueEnd - firstEquals - 1)));
    }

    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) throwFileError("load", file, errno);
    loadedAccessTime_ = accessTimeMs(info);
}

std::string ConfigParser::getString(const std::string& key) {
    checkKey(key);
    return values_.find(key)->second;
}

int ConfigParser::getInt(const std::string& key) {
    const std::string value = getString(key);
    if (!allOf(value, isDigit)) throw ConfigError(notDigitMessage(key, value));
    long long number = 0;
    for (char c : value) {
        number = number * 10 + (c - '0');
        // Anything past 32 bits is as unreadable as a letter.
        if (number > INT_MAX) throw ConfigError(notDigitMessage(key, value));
    }
    return static_cast<int>(number);
}

double ConfigParser::getFloat(const std::string& key) {
    const std::string value = getString(key);
    if (!allOf(value, isDigitOrPoint)) throw ConfigError(notDigitMessage(key, value));
    // Digits and points only, so strtod stops at a second point like atof does.
    return std::strtod(value.c_str(), nullptr);
}

bool ConfigParser::getBool(const std::string& key) {
    const std::string value = getString(key);
    if (value == "1" || value == "on" || value == "yes" || value == "true") return true;
    if (value == "0" || value == "no" || value == "off" || value == "false") return false;
    throw ConfigError("not boolean value ... '" + key + "' -> '" + value + "'");
}

void ConfigParser::set(const std::string& key, const std::string& value) {
    auto [entry, inserted] = values_.insert_or_assign(key, value);
    (void)entry;
    if (inserted) {
        keyOrder_.push_back(key);
        ++keyCount_;
    }
}

void ConfigParser::setInt(const std::string& key, int value) { set(key, std::to_string(value)); }

void ConfigParser::setFloat(const std::string& key, float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    set(key, text);
}

void ConfigParser::setBool(const std::string& key, bool value) { set(key, value ? "true" : "false"); }

void ConfigParser::save(const std::string& file) {
    const std::string& target = file.empty() ? fileName_ : file;
    std::string content;
    for (const std::string& key : keyOrder_) {
        content += key;
        content += " = ";
        content += values_.find(key)->second;
        content += '\n';
    }
    replaceFileAtomically(target, content);
}

bool ConfigParser::isUpToDate() {
    struct stat info {};
    if (::stat(fileName_.c_str(), &info) != 0) throwFileError("isUpToDate", fileName_, errno);
    return loadedAccessTime_ >= accessTimeMs(info);
}

void ConfigParser::reload() { load(fileName_); }

void ConfigParser::dump() {
    std::printf("{\n");
    for (const auto& [key, value] : values_) {
        std::printf("  \"%.*s\" : \"%.*s\",\n", static_cast<int>(key.size()), key.data(), static_cast<int>(value.size()),
                    value.data());
    }
    std::printf("}\n");
    std::fflush(stdout);
}

bool ConfigParser::hasKey(const std::string& key) const { return values_.count(key) != 0; }

void ConfigParser::checkKey(const std::string& key) const {
    if (!hasKey(key)) throw ConfigError("ConfigParser.checkKey(): not exist key ... '" + key + "'");
}
