#include "simulator/EngineConnection.h"

#include <cstring>

namespace vorn::sim {

bool EngineConnection::SendCommand(const char* command) {
    if (!linked_ || command == nullptr) return false;
    sent_.emplace_back(command);
    return engine_.Execute(command);
}

bool EngineConnection::RequestData(const char* item, char* buffer, std::size_t capacity) {
    if (!linked_ || item == nullptr || buffer == nullptr || capacity == 0) return false;
    std::string reply;
    if (!engine_.Request(item, reply) || reply.empty()) return false;
    const std::size_t text = std::strlen(reply.c_str());
    const std::size_t copied = text < capacity - 1 ? text : capacity - 1;
    std::memcpy(buffer, reply.data(), copied);
    std::memset(buffer + copied, 0, capacity - copied);
    return true;
}

}  // namespace vorn::sim
