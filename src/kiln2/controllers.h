// The connected joysticks and controllers: which are there, which joystick
// slot each one fills, and the logical buttons they hold this frame. Devices
// are opened at start-up and whenever the window events announce one, and
// closed when they are pulled out or the framework stops.
#pragma once

#include <cstdint>
#include <string>

#include "kiln2/kiln2.h"

class KilnJoystickDevices;
struct KilnState;

// One bit per KilnPadButton.
using KilnPadBits = uint16_t;

struct KilnController {
    int id = -1;
    std::string name;
    bool mapped = false;
    int slot = -1;  // joystick slot 0..3 it fills, or -1 when all four were taken
    // Held this frame and the frame before; a new device starts with
    // nothing held, as every device did before the first frame.
    KilnPadBits held = 0;
    KilnPadBits prevHeld = 0;
};

// Opens the devices present now (slot i for device i, as at every start-up).
void kilnConnectPresentControllers(KilnState& state, KilnJoystickDevices& devices);
// Opens the device the events announced at index, unless it is open already.
void kilnConnectController(KilnState& state, KilnJoystickDevices& devices, int index);
// Closes the device with this id and frees its slot; false when no such device was open.
bool kilnDisconnectController(KilnState& state, KilnJoystickDevices& devices, int id);
void kilnDisconnectAllControllers(KilnState& state, KilnJoystickDevices& devices);

// Reads every device's raw slot state and logical buttons for this frame.
void kilnReadControllers(KilnState& state, KilnJoystickDevices& devices);

// The logical buttons one device holds now: a mapped controller by its
// positions (faceA decides which face button is A), any other device by
// button 0 (A), button 1 (B) and its first stick.
KilnPadBits kilnControllerButtons(KilnJoystickDevices& devices, const KilnController& controller,
                                  KilnFaceButton faceA);

// Adds the controller mappings in text, one per line, naming source in the
// log line of each line that is skipped. Blank lines and '#' comments are
// passed over quietly. Returns how many lines were added.
int kilnAddControllerMappings(KilnJoystickDevices& devices, const std::string& text, const std::string& source);
// Why line is not a controller mapping ("" when it has the shape of one):
// a 32-digit hexadecimal GUID, a name, then "key:value" bindings.
std::string kilnMappingLineProblem(const std::string& line);
