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
    struct Row {
        unsigned count;
        std::set<unsigned> failing;
        std::int32_t stored;
        std::size_t entries;
        const char* last;  // name of the last entry
        int selection;
        std::int32_t storedAfter;
    };
    const Row rows[] = {
        {0, {}, 0, 0, "", -1, 0},
        {0, {}, 3, 0, "", -1, 3},
        {1, {}, 5, 1, "Device 0", 0, 0},        // one device: index 0 at once
        {1, {}, -1, 1, "Device 0", 0, 0},
        {1, {0}, 4, 0, "", -1, 0},              // its query failed: nothing to select
        {2, {}, 1, 2, "Device 1", 1, 1},
        {2, {}, 2, 2, "Device 1", 0, 2},        // beyond the list: the first
        {2, {}, -1, 2, "Device 1", -1, -1},     // negative: nothing selected
        {70, {}, 63, 64, "Device 63", 63, 63},  // only 64 listed
        {70, {}, 64, 64, "Device 63", 0, 64},
        {3, {1}, 1, 2, "Device 2", 1, 1},       // a failed device is left out, later ones move up
        {3, {1}, 2, 2, "Device 2", 0, 2},       // past the shortened list: the first
    };
    for (const Row& r : rows) {
        std::int32_t stored = r.stored;
        const DeviceEntries e = ListDevices(FakeDevices(r.count, r.failing), stored);
        SCOPED_TRACE(testing::Message() << r.count << " devices, " << r.failing.size() << " failing, index " << r.stored);
        ASSERT_EQ(e.names.size(), r.entries);
        if (r.entries > 0) {
            EXPECT_EQ(e.names.back(), r.last);
        }
        EXPECT_EQ(e.selection, r.selection);
        EXPECT_EQ(stored, r.storedAfter);
    }
}

TEST(WaveDeviceListTest, NamesKeepTheDeviceOrder) {
    std::int32_t stored = 0;
    const DeviceEntries e = ListDevices(FakeDevices(4, {0, 2}), stored);
    EXPECT_EQ(e.names, (std::vector<std::string>{"Device 1", "Device 3"}));
}

}  // namespace
}  // namespace vorn
