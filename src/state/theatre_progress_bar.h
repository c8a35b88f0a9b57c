// The theatre's progress bar along the bottom edge: the frame shown of the
// run's frames, the distance flown, and the speed ("x4") or "PAUSED". It is
// drawn over the game's picture and draws no random numbers, so showing it
// never changes the run.
#pragma once

#include <string>

struct TheatreProgress {
    int frame = 0;      // the run's frame shown
    int lastFrame = 0;  // the frame the run reaches its results in
    int distanceMetres = 0;
    const char* speedLabel = "x1";
    bool paused = false;
    std::string caption{};  // whose run it is, on a strip of its own above the bar; "" for none
};

void drawTheatreProgressBar(const TheatreProgress& progress);

// Where the bar's line of text is drawn, for the tests that read it back.
constexpr int THEATRE_BAR_TEXT_Y = 461;
constexpr int THEATRE_BAR_FRAME_X = 6;
constexpr int THEATRE_CAPTION_Y = 444;
