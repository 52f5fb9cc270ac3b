// A message sink for fuzz targets: the wave classes' boxes are answered OK and dropped.
#pragma once

#include "common/MessageSink.h"

#include <string>

namespace vorn::fuzz {

class SilentSink final : public MessageSink {
public:
    MessageAnswer Show(const std::string&, const std::string&, MessageIcon, MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

}  // namespace vorn::fuzz
