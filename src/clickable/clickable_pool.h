// ClickablePool: the widgets of one mouse menu. It finds the widget under the
// mouse, turns clicks into the name of the selected widget and draws them all.
// Widgets are known by name; the pool reports names, never objects.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "clickable/clickable.h"

class ClickablePool {
public:
    // Enough for any menu screen; a widget added to a full pool is dropped
    // without notice, like every other pool of the game.
    static constexpr int CAPACITY = 32;

    ClickablePool() = default;
    virtual ~ClickablePool() = default;

    // A text label at textScale 2, sized by the caller.
    virtual void addText(const std::string& name, std::shared_ptr<Vec3> position, std::shared_ptr<Vec3> size);
    // A picture button sized by its type. The first one added becomes the
    // selection unless the pool is in toggle mode.
    virtual void addImageButton(const std::string& name, std::shared_ptr<Vec3> position, int type);
    // Name of the first widget under the mouse, or "".
    virtual std::string getMouseOver();
    // Call once per frame after the input snapshot: a click on a widget selects
    // it (or, in toggle mode, clears it when it was already selected). Returns
    // the name clicked, or "" when nothing was clicked.
    virtual std::string update();
    virtual std::string getSelected();
    virtual void draw();

    // Toggle mode lets a second click on the selected widget clear the
    // selection. Set it before adding buttons: in toggle mode no button is
    // preselected.
    void setToggle(bool toggle) { toggle_ = toggle; }
    bool isToggle() const { return toggle_; }
    int count() const;

private:
    // Stores the widget in the first free slot; false when the pool is full.
    bool store(std::unique_ptr<Clickable> widget);

    std::array<std::unique_ptr<Clickable>, CAPACITY> items_;
    bool toggle_ = false;
    std::string selected_;
};
