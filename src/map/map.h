// Map: the base of a scrolling backdrop. The course of a run is built from
// wall columns instead, so its operations do nothing.
#pragma once

class Map {
public:
    Map() = default;
    virtual ~Map();

    virtual void update() {}
    virtual void draw() {}
};
