// The first joystick or gamepad on the desktop, through SDL's joystick and
// game-controller services.
#pragma once

#include "platform/joystick_device.hpp"

#include <memory>

namespace vantorel {

/// Opens the first device SDL finds. A device that SDL's game-controller
/// mapping database knows is read as a gamepad (its buttons and sticks by their
/// place on the pad, whatever the driver numbers them); any other as a plain
/// joystick. Unplugging is noticed on the next Read even without a Rescan; a
/// device plugged in while none is open is picked up by Rescan or the next Read.
/// Without SDL's joystick service every reading is Kind None.
class TSdlJoystickDevice final : public IJoystickDevice {
public:
    TSdlJoystickDevice();
    ~TSdlJoystickDevice() override;
    TSdlJoystickDevice(const TSdlJoystickDevice&) = delete;
    TSdlJoystickDevice& operator=(const TSdlJoystickDevice&) = delete;

    void Rescan() override;
    TJoystickReading Read() override;

    /// The kind of the open device; None when no device is open.
    TJoystickKind OpenKind() const;

private:
    struct TOpen;
    void Close();
    bool Attached() const;

    bool serviceUp_ = false;
    std::unique_ptr<TOpen> open_;
};

} // namespace vantorel
