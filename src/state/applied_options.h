// The options as the framework runs them: the one place that turns the
// settings of "config.ini" into loudness, picture, controller and keys, for
// start-up and for the options screen alike.
#pragma once

#include "config/options_settings.h"

// Hands the volumes, mute, picture scaling, controller A and key bindings to
// the framework (full screen is the caller's: it depends on the window).
void applyOptionsToFramework(const OptionsSettings& options);

// The framework's button of a bound button of the settings (BOUND_UP ... BOUND_B).
int padButtonOf(int boundButton);
