// The wave input or output devices that winmm reports.
#pragma once

#include "settings/WaveDeviceList.h"

namespace vorn {

class WinmmDeviceList final : public WaveDeviceList {
public:
    enum class Direction { Input, Output };
    explicit WinmmDeviceList(Direction direction) : direction_(direction) {}
    unsigned Count() const override;
    bool ProductName(unsigned device, std::string& name) const override;

private:
    Direction direction_;
};

}  // namespace vorn
