// Damaging files for the robustness tests; see damage.h.
#include "damage.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "proof_support.h"

namespace proof {

const char* damageName(Damage damage) {
    switch (damage) {
        case Damage::Missing: return "missing";
        case Damage::Empty: return "empty";
        case Damage::Truncated: return "truncated";
        case Damage::Oversized: return "oversized";
        case Damage::WrongType: return "wrong type";
        case Damage::Garbage: return "garbage";
        case Damage::Unreadable: return "unreadable";
        case Damage::Directory: return "directory";
    }
    return "?";
}

void damageFile(const std::string& file, Damage damage, const std::string& wrongTypeSource) {
    namespace fs = std::filesystem;
    const std::string intact = fileExists(file) && !fs::is_directory(file) ? readFile(file) : std::string();
    switch (damage) {
        case Damage::Missing:
            fs::remove(file);
            break;
        case Damage::Empty:
            writeFile(file, "");
            break;
        case Damage::Truncated:
            // Half and one byte: never on a record boundary of the recordings.
            writeFile(file, intact.substr(0, intact.size() / 2 + 1));
            break;
        case Damage::Oversized:
            writeFile(file, intact + std::string(8u << 20, '\0'));
            break;
        case Damage::WrongType:
            writeFile(file, readFile(wrongTypeSource));
            break;
        case Damage::Garbage: {
            std::mt19937 random(7);
            std::string bytes(intact.empty() ? 4096 : intact.size(), '\0');
            for (char& c : bytes) c = static_cast<char>(random());
            writeFile(file, bytes);
            break;
        }
        case Damage::Unreadable:
            ::chmod(file.c_str(), 0);
            break;
        case Damage::Directory:
            fs::remove(file);
            fs::create_directory(file);
            break;
    }
}

int runAsOrdinaryUser(const std::function<int()>& body, std::string* output) {
    constexpr uid_t NOBODY = 65534;
    ChildResult child = runInChild([&] {
        if (::geteuid() == 0) {
            // The scratch directory and its subdirectories must stay reachable for "nobody".
            for (const auto& entry : std::filesystem::recursive_directory_iterator(".")) {
                if (entry.is_directory()) ::chmod(entry.path().c_str(), 0777);
            }
            ::chmod(".", 0777);
            if (::setgid(NOBODY) != 0 || ::setuid(NOBODY) != 0) return 255;
        }
        return body();
    });
    if (output != nullptr) *output = child.output;
    return child.exitStatus == 255 ? -1 : child.exitStatus;
}

}  // namespace proof
