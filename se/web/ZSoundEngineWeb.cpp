#include "se/web/ZSoundEngineWeb.h"

namespace se {

namespace {

using DeviceCall = void (*)(ALCdevice*);

void CallOnDevice(const char* name) {
    ALCdevice* const device = alcGetContextsDevice(alcGetCurrentContext());
    if (device == nullptr) {
        return;
    }
    const DeviceCall call = reinterpret_cast<DeviceCall>(alcGetProcAddress(device, name));
    if (call != nullptr) {
        call(device);
    }
}

}  // namespace

void ZSoundEngineWeb::Suspend() {
    CallOnDevice("alcDevicePauseSOFT");
}

void ZSoundEngineWeb::Resume() {
    CallOnDevice("alcDeviceResumeSOFT");
}

}  // namespace se
