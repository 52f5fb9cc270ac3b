#include "settings/WaveDeviceList.h"

#include <gtest/gtest.h>

#include <set>

namespace vorn {
namespace {

class FakeDevices final : public WaveDeviceList {
public:
    FakeDevices(unsigned count, std::set<unsigned> failing) : count_(count), failing_(std::move(failing)) {}
    unsigned Count() const override { return count_; }
    bool ProductName(unsigned device, std::string& name) const override {
        if (device >= count_ || failing_.count(device)) return false;
        name = "Device " + std::to_string(device);
        return true;
    }

private:
    unsigned count_;
    std::set<unsigned> failing_;
};

TEST(WaveDeviceListTest, EntriesSelectionAndTheStoredIndex) {
    const struct {
        unsigned count;
        std::set<unsigned> failing;
        std::int32_t stored;
        std::vector<std::string> firstAndLast;  // of the entries; empty for none
        std::size_t entries;
        int selection;
        std::int32_t storedAfter;
    } rows[] = {
        {0, {}, 3, {}, 0, -1, 3},
        {1, {}, 5, {"Device 0", "Device 0"}, 1, 0, 0},  // one device: index 0 at once
        {1, {}, -1, {"Device 0", "Device 0"}, 1, 0, 0},
        {1, {0}, 4, {}, 0, -1, 0},                      // its query failed: nothing to select
        {2, {}, 1, {"Device 0", "Device 1"}, 2, 1, 1},
        {2, {}, 2, {"Device 0", "Device 1"}, 2, 0, 2},    // beyond the list: the first
        {2, {}, -1, {"Device 0", "Device 1"}, 2, -1, -1}, // negative: nothing selected
        {70, {}, 63, {"Device 0", "Device 63"}, 64, 63, 63},  // only 64 listed
        {70, {}, 64, {"Device 0", "Device 63"}, 64, 0, 64},
        {4, {0, 2}, 1, {"Device 1", "Device 3"}, 2, 1, 1},  // failed devices left out, later ones move up
        {3, {1}, 2, {"Device 0", "Device 2"}, 2, 0, 2},     // past the shortened list: the first
    };
    for (const auto& r : rows) {
        std::int32_t stored = r.stored;
        const DeviceEntries e = ListDevices(FakeDevices(r.count, r.failing), stored);
        SCOPED_TRACE(testing::Message() << r.count << " devices, " << r.failing.size() << " failing, index " << r.stored);
        ASSERT_EQ(e.names.size(), r.entries);
        if (r.entries > 0) {
            EXPECT_EQ((std::vector<std::string>{e.names.front(), e.names.back()}), r.firstAndLast);
        }
        EXPECT_EQ(e.selection, r.selection);
        EXPECT_EQ(stored, r.storedAfter);
    }
}

}  // namespace
}  // namespace vorn
