#include "settings/WaveDeviceList.h"

namespace vorn {

DeviceEntries ListDevices(const WaveDeviceList& devices, std::int32_t& storedIndex) {
    unsigned count = devices.Count();
    if (count == 1)
        storedIndex = 0;
    else if (count > kMaxListedDevices)
        count = kMaxListedDevices;

    DeviceEntries entries;
    for (unsigned device = 0; device < count; ++device) {
        std::string name;
        if (devices.ProductName(device, name)) entries.names.push_back(std::move(name));
    }
    // The bound is the entries actually listed, not the device count: when a query failed
    // the list is shorter, and a stored position past its end selects the first entry, as
    // any position beyond the list does, so OK then stores 0. Bounded by the count, the
    // box would be left empty and OK would store -1 over the operator's device.
    if (storedIndex >= 0 && !entries.names.empty())
        entries.selection = static_cast<std::size_t>(storedIndex) < entries.names.size() ? storedIndex : 0;
    return entries;
}

}  // namespace vorn
