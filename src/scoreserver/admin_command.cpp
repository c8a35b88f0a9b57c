#include "scoreserver/admin_command.h"

#include <cstdio>

#include "scoredb/database_url.h"
#include "scoredb/score_store.h"
#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"
#include "scoreserver/command_options.h"
#include "verifypool/verify_replay.h"

namespace scoreserver {
namespace {

const char* const kAdminUsage =
    "usage: kvr2013-scores admin [--database URL] remove RUN --reason TEXT\n"
    "       kvr2013-scores admin [--database URL] ban PLAYER --reason TEXT\n"
    "       kvr2013-scores admin [--database URL] [--verifier PATH] reverify [--stage S]\n";

int reverify(scoredb::ScoreStore& store, const ParsedOptions& options) {
    std::optional<int> stage;
    if (options.has("stage")) stage = static_cast<int>(options.number("stage", 0, 0, 3));
    std::string verifier = options.get("verifier", defaultVerifierPath());
    int checked = 0, changed = 0;
    store.forEachRun(stage, [&](const scoredb::StoredRun& run, const std::string& replay) {
        ++checked;
        auto outcome = verifypool::verifyReplay(verifier, run.stage, replay, verifypool::VerifyLimits{});
        bool played = outcome.kind == verifypool::VerifyOutcome::Kind::Played;
        if (played && outcome.line == run.line && outcome.traceSha256 == run.traceSha256) return;
        ++changed;
        std::printf("run %lld (stage %d, %s): was \"%s\" trace %s; now %s\n", static_cast<long long>(run.id),
                    run.stage, run.player.c_str(), run.line.c_str(), run.traceSha256.c_str(),
                    played ? ("\"" + outcome.line + "\" trace " + outcome.traceSha256).c_str()
                           : ("not played: " + outcome.failure).c_str());
    });
    std::printf("%d entries checked, %d changed\n", checked, changed);
    return changed == 0 ? 0 : 1;
}

}  // namespace

int runAdminCommand(int argc, char** argv) {
    ParsedOptions options;
    try {
        options = parseOptions(argc, argv, 2, {"database", "reason", "stage", "verifier"});
        if (options.positional.empty()) throw UsageError("which admin command?");
        const std::string& command = options.positional[0];
        std::size_t wanted = command == "reverify" ? 1 : 2;
        if ((command != "remove" && command != "ban" && command != "reverify") || options.positional.size() != wanted) {
            throw UsageError("unknown or incomplete admin command");
        }
        if (command != "reverify" && options.get("reason").empty()) throw UsageError(command + " needs --reason TEXT");
        scoredb::parseDatabaseUrl(options.get("database", scoredb::defaultDatabaseUrl()));
    } catch (const std::exception& problem) {
        std::fprintf(stderr, "kvr2013-scores: %s\n%s", problem.what(), kAdminUsage);
        return 2;
    }
    try {
        scoredb::ScoreStore store(options.get("database", scoredb::defaultDatabaseUrl()), 1);
        const std::string& command = options.positional[0];
        if (command == "reverify") return reverify(store, options);
        const std::string& what = options.positional[1];
        if (command == "remove") {
            long long id = 0;
            try {
                id = std::stoll(what);
            } catch (const std::exception&) {
                id = -1;
            }
            if (id <= 0 || !store.removeRun(id, options.get("reason"))) {
                std::fprintf(stderr, "kvr2013-scores: no run %s\n", what.c_str());
                return 1;
            }
            std::printf("run %s removed\n", what.c_str());
            return 0;
        }
        if (!store.banPlayer(scoreproto::nameKey(what), options.get("reason"))) {
            std::fprintf(stderr, "kvr2013-scores: no player %s\n", what.c_str());
            return 1;
        }
        std::printf("player %s banned\n", what.c_str());
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kvr2013-scores: %s\n", failure.what());
        return 1;
    }
}

}  // namespace scoreserver
