#include "worldlink/world_exchange.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "durable_file/durable_file.h"
#include "scoreclient/signed_request.h"
#include "scoreproto/player_name.h"
#include "scoreproto/replay_shape.h"
#include "worldlink/send_outcome.h"
#include "worldlink/server_answers.h"
#include "worldlink/stage_view.h"

namespace worldlink {

using scoreclient::HttpResponse;
using world::NameAnswer;
using world::Reach;

namespace {

// The whole stage table, so the title can say how many players are on it;
// the server gives no more than this in one answer.
constexpr int kTableRequestLimit = 1000;

std::string inDir(const std::string& dir, const std::string& name) { return dir.empty() ? name : dir + "/" + name; }

bool fileExists(const std::string& file) {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0;
}

}  // namespace

LinkTime realLinkTime() {
    return {[] {
                using namespace std::chrono;
                return static_cast<long long>(
                    duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
            },
            [] { return Clock::now(); }};
}

WorldExchange::WorldExchange(LinkPlaces places, scoreclient::HttpTransport& reads,
                             scoreclient::HttpTransport& submissions, LinkTime time)
    : places_(std::move(places)),
      reads_(reads),
      submissions_(submissions),
      time_(std::move(time)),
      outbox_(inDir(places_.dataDir, "outbox")) {}

std::string WorldExchange::keyFile() const { return inDir(places_.dataDir, "player.key"); }

std::string WorldExchange::cacheFile(const std::string& runId, int stage) const {
    return inDir(places_.dataDir, "cache/run-" + runId + "-stage" + std::to_string(stage) + ".bin");
}

// ---------------------------------------------------------------- scene side

void WorldExchange::wantOnline(const std::string& name) {
    std::lock_guard lock(mutex_);
    wanted_ = true;
    if (name != wantedName_) registered_ = false;
    wantedName_ = name;
    nameAnswer_ = NameAnswer::Pending;
    nameMessage_.clear();
    if (!registered_) reach_ = Reach::Joining;
    retryAt_.reset();
    failures_ = 0;
}

void WorldExchange::turnOff() {
    std::lock_guard lock(mutex_);
    wanted_ = false;
    reach_ = Reach::Off;
    tokens_.clear();
    retryAt_.reset();
}

bool WorldExchange::wanted() const {
    std::lock_guard lock(mutex_);
    return wanted_;
}

int WorldExchange::forgetToken(int stage) {
    std::lock_guard lock(mutex_);
    tokens_.erase(stage);
    return ++tokenSerials_[stage];
}

bool WorldExchange::keepRecord(int stage, const std::string& replayFile) {
    std::string token;
    {
        std::lock_guard lock(mutex_);
        if (!wanted_) return true;  // ONLINE off: the record stays the game's own
        if (auto found = tokens_.find(stage); found != tokens_.end()) {
            token = found->second;
            tokens_.erase(found);
        }
        // The next run of the stage asks for a token of its own.
        ++tokenSerials_[stage];
    }
    const auto record = outbox_.keep(stage, replayFile, token, time_.unixMillis());
    if (!record) return false;
    std::lock_guard lock(mutex_);
    lastRecord_ = record->name;
    lastRunId_.clear();
    lastRecordRank_.reset();
    return true;
}

// --------------------------------------------------------------- worker side

void WorldExchange::setReach(Reach reach) {
    std::lock_guard lock(mutex_);
    if (wanted_) reach_ = reach;
}

void WorldExchange::mustWait(const std::string& retryAfter) {
    std::lock_guard lock(mutex_);
    ++failures_;
    retryAt_ = time_.now() + retryWait(failures_, retryAfter);
}

bool WorldExchange::ensureKey() {
    if (key_) return true;
    try {
        if (fileExists(keyFile())) {
            key_ = scoreproto::loadPlayerKey(keyFile());
        } else {
            scoreproto::PlayerKey made = scoreproto::generatePlayerKey();
            scoreproto::savePlayerKey(keyFile(), made);
            key_ = made;
        }
        return true;
    } catch (const std::exception&) {
        // An unreadable key file is kept as it is: it may be the player's only copy.
        return false;
    }
}

std::optional<HttpResponse> WorldExchange::post(scoreclient::HttpTransport& transport, const std::string& path,
                                               const std::string& body, const std::string& contentType) {
    if (!ensureKey()) return std::nullopt;
    try {
        return transport.send(
            scoreclient::signedRequest(*key_, "POST", places_.serverUrl, path, body, contentType, time_.unixMillis() / 1000));
    } catch (const std::exception&) {
        return std::nullopt;  // TransportError, or anything else the transport met
    }
}

std::optional<HttpResponse> WorldExchange::get(const std::string& path) {
    try {
        return reads_.send({"GET", places_.serverUrl + path, {}, {}});
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void WorldExchange::registerWanted() {
    std::string name;
    {
        std::lock_guard lock(mutex_);
        if (!wanted_) return;
        name = wantedName_;
    }
    if (!scoreproto::isValidPlayerName(name)) {
        std::lock_guard lock(mutex_);
        nameAnswer_ = NameAnswer::Refused;
        nameMessage_ = "a name is 1 to 12 letters, digits, '-' or '.'";
        wanted_ = false;
        reach_ = Reach::Off;
        return;
    }
    // Names hold only [A-Za-z0-9.-] and keys only hex: nothing to escape.
    const std::string body = "{\"name\": \"" + name + "\", \"public_key\": \"" + (ensureKey() ? key_->publicHex : "") + "\"}";
    const auto answer = post(reads_, "/api/v1/players", body, "application/json");
    std::lock_guard lock(mutex_);
    if (!wanted_ || name != wantedName_) return;  // turned off or renamed meanwhile
    const long status = answer ? answer->status : 0;
    if ((status == 200 || status == 201) && readRegisteredName(answer->body)) {
        registered_ = true;
        playerName_ = *readRegisteredName(answer->body);
        nameAnswer_ = NameAnswer::Accepted;
        nameMessage_.clear();
        reach_ = Reach::Online;
    } else if (status == 409 || (status >= 400 && status < 500 && status != 408 && status != 429)) {
        nameAnswer_ = status == 409 ? NameAnswer::Taken : NameAnswer::Refused;
        nameMessage_ = refusalMessage(status, answer->body);
        // Not on the table under this name: ONLINE waits for another.
        wanted_ = false;
        reach_ = Reach::Off;
    } else {
        nameAnswer_ = NameAnswer::Offline;
        reach_ = Reach::Offline;
        ++failures_;
        retryAt_ = time_.now() + retryWait(failures_, answer ? answer->retryAfter : "");
    }
}

void WorldExchange::requestToken(int stage, int serial) {
    {
        std::lock_guard lock(mutex_);
        if (!wanted_ || !registered_) return;
    }
    const auto answer = post(reads_, "/api/v1/runs/start", "{\"stage\": " + std::to_string(stage) + "}",
                             "application/json");
    const auto token = answer && answer->status == 201 ? readStartToken(answer->body, stage) : std::nullopt;
    if (!token) {
        // The run is still sent when it ends, without a token: not live.
        setReach(answer && answer->status < 500 ? Reach::Online : Reach::Offline);
        return;
    }
    std::lock_guard lock(mutex_);
    if (tokenSerials_[stage] == serial) tokens_[stage] = *token;
    if (wanted_) reach_ = Reach::Online;
}

bool WorldExchange::mustStillWait() const {
    std::lock_guard lock(mutex_);
    return retryAt_ && time_.now() < *retryAt_;
}

void WorldExchange::sendOutbox() {
    // The server asked for a pause (Retry-After), or it failed: a record
    // kept meanwhile waits for the next try with the others.
    if (mustStillWait()) return;
    for (const OutboxRecord& record : outbox_.waiting()) {
        {
            std::lock_guard lock(mutex_);
            if (!wanted_ || !registered_) return;
        }
        const auto replay = outbox_.replay(record);
        if (!replay) continue;  // gone meanwhile
        const auto shape = scoreproto::checkReplayShape(replay->size());
        if (shape != scoreproto::ReplayShape::Ok) {
            // No server takes it; it is kept with the reason, as a refusal is.
            outbox_.refuse(record, scoreproto::describeReplayShape(shape));
            continue;
        }
        std::string path = "/api/v1/runs?stage=" + std::to_string(record.stage);
        if (!record.token.empty()) path += "&token=" + record.token;
        const auto answer = post(submissions_, path, *replay, "application/octet-stream");
        const SendOutcome outcome = answer ? submissionOutcome(*answer) : SendOutcome::Offline;
        switch (outcome) {
            case SendOutcome::Taken: {
                outbox_.remove(record);
                bool wasLast = false;
                {
                    std::lock_guard lock(mutex_);
                    failures_ = 0;
                    retryAt_.reset();
                    if (wanted_) reach_ = Reach::Online;
                    if (record.name == lastRecord_) {
                        lastRunId_ = *readAcceptedRunId(answer->body);
                        lastRunStage_ = record.stage;
                        wasLast = true;
                    }
                }
                // The rank comes from the stage's table as it now stands.
                if (wasLast) refresh(record.stage);
                break;
            }
            case SendOutcome::Refused: {
                const std::string status = "HTTP " + std::to_string(answer->status);
                const std::string message = refusalMessage(answer->status, answer->body);
                outbox_.refuse(record, message == status ? status : status + ": " + message);
                setReach(Reach::Online);
                break;
            }
            case SendOutcome::Later:
                setReach(Reach::Online);
                mustWait(answer->retryAfter);
                return;
            case SendOutcome::Offline:
                setReach(Reach::Offline);
                mustWait(answer ? answer->retryAfter : "");
                return;
        }
    }
}

void WorldExchange::refresh(int stage) {
    std::string name;
    {
        std::lock_guard lock(mutex_);
        if (!wanted_ || !scoreproto::isValidStage(stage)) return;
        name = playerName_;
    }
    const std::string base = "/api/v1/stages/" + std::to_string(stage) + "/scores";
    const auto tableAnswer = get(base + "?limit=" + std::to_string(kTableRequestLimit));
    const auto entries = tableAnswer && tableAnswer->status == 200 ? readStageTable(tableAnswer->body) : std::nullopt;
    if (!entries) {
        setReach(Reach::Offline);
        return;
    }
    AroundAnswer around;
    if (!name.empty()) {
        const auto aroundAnswer = get(base + "/around/" + name);
        // 404: the player has no entry on the stage yet, which is an answer.
        if (!aroundAnswer || (aroundAnswer->status != 200 && aroundAnswer->status != 404)) {
            setReach(Reach::Offline);
            return;
        }
        if (aroundAnswer->status == 200) {
            auto read = readAround(aroundAnswer->body);
            if (!read) {
                setReach(Reach::Offline);
                return;
            }
            around = std::move(*read);
        }
    }

    StageView view = stageView(*entries, around);
    std::lock_guard lock(mutex_);
    if (!wanted_) return;
    reach_ = Reach::Online;
    if (view.own && stage == lastRunStage_ && view.own->runId == lastRunId_) lastRecordRank_ = view.own->rank;
    stages_[stage] = std::move(view);
}

void WorldExchange::fetch(const world::WorldEntry& entry, int stage) {
    if (!isRunId(entry.runId) || !scoreproto::isValidStage(stage)) return;
    const std::string file = cacheFile(entry.runId, stage);
    bool have = fileExists(file);
    if (!have) {
        {
            std::lock_guard lock(mutex_);
            if (!wanted_) return;
        }
        const auto answer = get("/api/v1/runs/" + entry.runId + "/replay");
        if (!answer || answer->status != 200 ||
            scoreproto::checkReplayShape(answer->body.size()) != scoreproto::ReplayShape::Ok) {
            setReach(answer && answer->status == 404 ? Reach::Online : Reach::Offline);
            return;
        }
        std::error_code error;
        std::filesystem::create_directories(inDir(places_.dataDir, "cache"), error);
        if (durable::replaceFile(file, answer->body) != 0) return;
        setReach(Reach::Online);
    }
    std::lock_guard lock(mutex_);
    cached_[entry.runId] = {entry.runId, stage, file, entry};
}

std::optional<Clock::time_point> WorldExchange::retryAt() const {
    std::lock_guard lock(mutex_);
    return retryAt_;
}

void WorldExchange::catchUp() {
    if (mustStillWait()) return;
    bool needsName = false;
    {
        std::lock_guard lock(mutex_);
        // This pass is the try that was due; a failure below sets the next.
        retryAt_.reset();
        if (!wanted_) return;
        needsName = !registered_;
    }
    if (needsName) registerWanted();
    sendOutbox();
}

// ------------------------------------------------------------------ answers

Reach WorldExchange::reach() const {
    std::lock_guard lock(mutex_);
    return wanted_ ? reach_ : Reach::Off;
}

std::string WorldExchange::playerName() const {
    std::lock_guard lock(mutex_);
    return registered_ ? playerName_ : std::string();
}

NameAnswer WorldExchange::nameAnswer() const {
    std::lock_guard lock(mutex_);
    return nameAnswer_;
}

std::string WorldExchange::nameMessage() const {
    std::lock_guard lock(mutex_);
    return nameMessage_;
}

std::optional<world::WorldStanding> WorldExchange::standing(int stage) const {
    std::lock_guard lock(mutex_);
    auto found = stages_.find(stage);
    if (!wanted_ || found == stages_.end()) return std::nullopt;
    return found->second.standing;
}

std::optional<world::WorldTable> WorldExchange::table(int stage) const {
    std::lock_guard lock(mutex_);
    auto found = stages_.find(stage);
    if (!wanted_ || found == stages_.end()) return std::nullopt;
    return found->second.table;
}

std::optional<world::WorldEntry> WorldExchange::entryAbovePlayer(int stage) const {
    std::lock_guard lock(mutex_);
    auto found = stages_.find(stage);
    if (!wanted_ || found == stages_.end()) return std::nullopt;
    return found->second.above;
}

std::optional<world::WorldEntry> WorldExchange::worldBest(int stage) const {
    std::lock_guard lock(mutex_);
    auto found = stages_.find(stage);
    if (!wanted_ || found == stages_.end()) return std::nullopt;
    return found->second.best;
}

std::optional<int> WorldExchange::lastRecordRank() const {
    std::lock_guard lock(mutex_);
    return lastRecordRank_;
}

std::optional<world::CachedReplay> WorldExchange::cachedReplay(const std::string& runId) const {
    std::lock_guard lock(mutex_);
    auto found = cached_.find(runId);
    if (found == cached_.end()) return std::nullopt;
    return found->second;
}

}  // namespace worldlink
