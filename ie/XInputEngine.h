#pragma once

#include <cstdint>

namespace ie {

// Polled input: one stable snapshot per tick. A press is Changed(k, 0, 1),
// a release Changed(k, 1, 0). Owners destroy engines through their concrete
// class, so there is no virtual destructor.
class XInputEngine {
public:
    virtual void Update() = 0;
    virtual bool KeyChanged(uint32_t key, bool was, bool is) = 0;
    virtual bool KeyWasDown(uint32_t key) = 0;
    virtual bool KeyIsDown(uint32_t key) = 0;
    virtual int MouseX() = 0;
    virtual int MouseY() = 0;
    virtual bool ButtonChanged(uint32_t button, bool was, bool is) = 0;
    virtual bool ButtonWasDown(uint32_t button) = 0;
    virtual bool ButtonIsDown(uint32_t button) = 0;

protected:
    ~XInputEngine() = default;
};

}  // namespace ie
