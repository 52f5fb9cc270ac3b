#include "settings/WaveDeviceList.h"

#include <gtest/gtest.h>

#include <set>

namespace vorn {
namespace {

// count devices named "Device <number>", the numbers in `failing` failing their query.
struct FakeDevices final : WaveDeviceList {
    FakeDevices(unsigned n, std::set<unsigned> f) : count(n), failing(std::move(f)) {}
    unsigned Count() const override { return count; }
    bool ProductName(unsigned device, std::string& name) const override {
        name = "Device " + std::to_string(device);
        return device < count && !failing.count(device);
    }
    unsigned count;
    std::set<unsigned> failing;
};

TEST(WaveDeviceListTest, EntriesSelectionAndTheStoredIndex) {
    const struct {
        unsigned count;
        std::set<unsigned> failing;
        std::int32_t stored;
        std::size_t entries;
        const char* last;  // the last entry's name
        int selection;
        std::int32_t storedAfter;
    } rows[] = {
        {0, {}, 3, 0, "", -1, 3},
        {1, {}, 5, 1, "Device 0", 0, 0},  // one device: index 0 at once
        {1, {0}, 4, 0, "", -1, 0},        // its query failed: nothing to select
        {2, {}, 2, 2, "Device 1", 0, 2},    // beyond the list: the first
        {2, {}, -1, 2, "Device 1", -1, -1}, // negative: nothing selected
        {70, {}, 63, 64, "Device 63", 63, 63},  // only 64 listed
        {4, {0, 2}, 1, 2, "Device 3", 1, 1},  // failed devices left out, later ones move up
        {3, {1}, 2, 2, "Device 2", 0, 2},     // past the shortened list: the first
    };
    for (const auto& r : rows) {
        std::int32_t stored = r.stored;
        const DeviceEntries e = ListDevices(FakeDevices(r.count, r.failing), stored);
        SCOPED_TRACE(testing::Message() << r.count << " devices, index " << r.stored);
        ASSERT_EQ(e.names.size(), r.entries);
        EXPECT_EQ(e.names.empty() ? "" : e.names.back(), r.last);
        EXPECT_EQ(e.selection, r.selection);
        EXPECT_EQ(stored, r.storedAfter);
    }
}

}  // namespace
}  // namespace vorn
