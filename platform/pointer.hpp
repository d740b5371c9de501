// The system mouse pointer over the game's window.
#pragma once

namespace vantorel {

/// Shows and hides the system pointer, and switches relative mode, in which the
/// pointer is hidden and held by the window while mouse-move events keep reporting
/// motion at the screen's edges (the player ship steers by that motion; nothing
/// moves the system pointer, so it works on every desktop).
class IPointer {
public:
    virtual ~IPointer() = default;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;
    virtual void SetRelative(bool relative) = 0;
    virtual bool Relative() const = 0;
};

/// The headless pointer: remembers what it was told.
class TNullPointer final : public IPointer {
public:
    void SetVisible(bool visible) override { visible_ = visible; }
    bool Visible() const override { return visible_; }
    void SetRelative(bool relative) override { relative_ = relative; }
    bool Relative() const override { return relative_; }

private:
    bool visible_ = true;
    bool relative_ = false;
};

} // namespace vantorel
