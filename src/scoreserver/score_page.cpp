#include "scoreserver/score_page.h"

#include "scoreserver/run_views.h"

namespace scoreserver {

std::string htmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

namespace {

// The stages as the title screen names them: three courses and the endless one.
const char* const kStageNames[4] = {"Stage 1 (1000 m)", "Stage 2 (2000 m)", "Stage 3 (3000 m)", "Endless"};

void appendTable(std::string& out, int stage, const std::vector<scoredb::RankedRun>& entries) {
    out += "<section id=\"stage-" + std::to_string(stage) + "\"><h2>" + kStageNames[stage] + "</h2>\n";
    if (entries.empty()) {
        out += "<p>No entries yet.</p></section>\n";
        return;
    }
    out += "<table><thead><tr><th>Rank</th><th>Player</th><th>Score</th><th>Distance</th><th>Frames</th>"
           "<th>Result</th><th>Live</th><th>Date</th><th>Replay</th></tr></thead><tbody>\n";
    for (const auto& entry : entries) {
        const auto& run = entry.run;
        std::string id = std::to_string(run.id);
        out += "<tr><td>" + std::to_string(entry.rank) + "</td><td>" + htmlEscape(run.player) + "</td><td>" +
               std::to_string(run.score) + "</td><td>" + std::to_string(run.distance) + " m</td><td>" +
               std::to_string(run.frames) + "</td><td>" + htmlEscape(run.result) + "</td><td>" +
               (run.live ? "live" : "not live") + "</td><td>" + isoDate(run.submittedMs) +
               "</td><td><a href=\"/api/v1/runs/" + id + "/replay\" download=\"kvr2013-run-" + id +
               ".bin\">replay</a></td></tr>\n";
    }
    out += "</tbody></table></section>\n";
}

}  // namespace

std::string scorePage(const std::array<std::vector<scoredb::RankedRun>, 4>& tables) {
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
        "<title>KVR 2013 world scores</title><style>"
        "body{font-family:sans-serif;margin:1em auto;max-width:60em;padding:0 1em}"
        "table{border-collapse:collapse;width:100%}th,td{padding:.2em .5em;text-align:right}"
        "td:nth-child(2),th:nth-child(2){text-align:left}tbody tr:nth-child(odd){background:#eee}"
        "</style></head><body>\n<h1>KVR 2013 world scores</h1>\n"
        "<p>Every entry is the score the game itself gives its replay, played again on this server. "
        "A live entry took at least as long to arrive as its run takes to fly.</p>\n";
    for (int stage = 0; stage < 4; ++stage) appendTable(out, stage, tables[static_cast<std::size_t>(stage)]);
    out += "</body></html>\n";
    return out;
}

}  // namespace scoreserver
