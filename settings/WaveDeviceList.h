// One of the platform's wave device lists (inputs or outputs) as the settings dialog sees
// it, and the rules that turn it into the entries of a device combo box. The program's
// lists come from winmm (win32/WinmmDeviceList); tests give fixed lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

class WaveDeviceList {
public:
    virtual ~WaveDeviceList() = default;
    virtual unsigned Count() const = 0;
    // The product name of device number `device`; false when the query fails.
    virtual bool ProductName(unsigned device, std::string& name) const = 0;
};

// At most this many devices are offered.
inline constexpr unsigned kMaxListedDevices = 64;

struct DeviceEntries {
    std::vector<std::string> names;  // in device order, failed devices left out
    int selection = -1;              // position to select, -1 for none
};

// The combo box entries for a list and the position to select for the stored index.
// With exactly one device the stored index becomes 0 at once. A negative index selects
// nothing; one beyond the entries selects the first.
DeviceEntries ListDevices(const WaveDeviceList& devices, std::int32_t& storedIndex);

}  // namespace vorn
