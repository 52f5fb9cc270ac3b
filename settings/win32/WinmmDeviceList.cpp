#include "settings/win32/WinmmDeviceList.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

namespace vorn {

unsigned WinmmDeviceList::Count() const {
    return direction_ == Direction::Input ? waveInGetNumDevs() : waveOutGetNumDevs();
}

bool WinmmDeviceList::ProductName(unsigned device, std::string& name) const {
    MMRESULT status;
    char product[MAXPNAMELEN] = {};
    if (direction_ == Direction::Input) {
        WAVEINCAPSA caps = {};
        status = waveInGetDevCapsA(device, &caps, sizeof caps);
        std::memcpy(product, caps.szPname, sizeof product);
    } else {
        WAVEOUTCAPSA caps = {};
        status = waveOutGetDevCapsA(device, &caps, sizeof caps);
        std::memcpy(product, caps.szPname, sizeof product);
    }
    if (status != MMSYSERR_NOERROR) return false;
    // A driver may fill all 32 characters: the name ends at the field's end in any case.
    name.assign(product, strnlen(product, sizeof product));
    return true;
}

}  // namespace vorn
