#include "wave/HeaderView.h"

#include "wave/LittleEndian.h"

#include <algorithm>

namespace vorn {

HeaderView::HeaderView(ByteStream& f, const WaveHeader& h) : file(f), formSizeAt(h.formSizeAt), dataOffset(h.dataOffset) {
    // The kept bytes have the parity of the recorded size, so the pad byte stays where it was.
    const uint64_t recorded = h.dataRecorded;
    kept = std::min<uint64_t>(recorded, std::max<uint16_t>(h.frameSize, 1));
    if (kept % 2 != recorded % 2) kept += h.frameSize % 2 ? h.frameSize : 1;
    kept = std::min(kept, recorded);
    removed = recorded - kept;
    size = file.Size() - removed;
    uint8_t form[4] = {};
    if (file.Seek(formSizeAt)) file.Read(form, 4);
    le::PutU32(formLength, uint32_t(le::U32(form) - removed));
    le::PutU32(dataLength, uint32_t(kept));
}

bool HeaderView::Seek(uint64_t offset) {
    position = offset;
    return true;
}

std::size_t HeaderView::Read(void* destination, std::size_t n) {
    uint8_t* out = static_cast<uint8_t*>(destination);
    std::size_t done = 0;
    const uint64_t cut = dataOffset + kept;
    while (done < n && position < size) {
        const uint64_t end = position < cut ? cut : size;
        const std::size_t want = std::size_t(std::min<uint64_t>(n - done, end - position));
        const uint64_t from = position < cut ? position : position + removed;
        const std::size_t got = file.Seek(from) ? file.Read(out + done, want) : 0;
        for (const auto& [at, field] : {std::pair<uint64_t, const uint8_t*>{formSizeAt, formLength}, {dataOffset - 4, dataLength}})
            for (uint64_t i = 0; i < 4; ++i)
                if (at + i >= position && at + i < position + got) out[done + (at + i - position)] = field[i];
        done += got;
        position += got;
        if (got < want) break;
    }
    return done;
}

}  // namespace vorn
