// Actor: the base of a drawable object of the game world, with the layer it
// is drawn in. The play field keeps its objects in pools instead, so nothing
// in a run creates one.
#pragma once

class Actor {
public:
    // Draw layers, back to front: a lower layer is painted first.
    enum DRAW_PRIORITY { BACKGROUND = 0, WALL = 1, ENEMY = 2, PLAYER = 3, EFFECT = 4, FOREGROUND = 5 };

    Actor() = default;
    virtual ~Actor();

    virtual void update() {}
    virtual void draw() {}
};
