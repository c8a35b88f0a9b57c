// The theatre's speed steps and the command line's spelling of them.
#include "state/theatre_speed.h"

#include <charconv>

namespace {

constexpr TheatreSpeed SPEEDS[THEATRE_SPEED_COUNT] = {
    {1, 4, "x1/4"}, {1, 2, "x1/2"}, {1, 1, "x1"}, {2, 1, "x2"}, {4, 1, "x4"}, {8, 1, "x8"},
};
// The same speeds as factors of normal speed; all of them are exact in binary.
constexpr double FACTORS[THEATRE_SPEED_COUNT] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};

}  // namespace

const TheatreSpeed& theatreSpeed(int step) {
    if (step < 0) step = 0;
    if (step >= THEATRE_SPEED_COUNT) step = THEATRE_SPEED_COUNT - 1;
    return SPEEDS[step];
}

std::optional<int> theatreSpeedStepFromText(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    for (int step = 0; step < THEATRE_SPEED_COUNT; ++step) {
        if (value == FACTORS[step]) return step;
    }
    return std::nullopt;
}
