// The choice of the player's data directory; see data_dir.h.
#include "boot/data_dir.h"

namespace fs = std::filesystem;

namespace {

bool isAbsolutePath(const std::optional<std::string>& value) {
    return value && !value->empty() && fs::path(*value).is_absolute();
}

}  // namespace

DataDirChoice chooseDataDir(const DataDirInput& input) {
    if (!input.optionDir.empty()) {
        return {(input.workingDir / input.optionDir).lexically_normal(), DataDirRule::Option};
    }
    if (input.resourcesInWorkingDir) return {input.workingDir.lexically_normal(), DataDirRule::WorkingDir};
    // The XDG base-directory rules: a relative value is invalid and ignored.
    if (isAbsolutePath(input.xdgDataHome)) {
        return {(fs::path(*input.xdgDataHome) / "kvr2013").lexically_normal(), DataDirRule::XdgDataHome};
    }
    const fs::path localShare = fs::path(".local") / "share" / "kvr2013";
    if (isAbsolutePath(input.home)) return {(fs::path(*input.home) / localShare).lexically_normal(), DataDirRule::Home};
    if (fs::path(input.accountHome).is_absolute()) {
        return {(fs::path(input.accountHome) / localShare).lexically_normal(), DataDirRule::AccountHome};
    }
    return {{}, DataDirRule::Nowhere};
}
