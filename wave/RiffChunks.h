// Finding chunks in a RIFF file. A chunk is an 8-byte header (identifier, uint32 size)
// followed by its data and a pad byte when the size is odd. Every size is checked
// against the bytes that remain before it is used, so a broken header can neither make
// a reader run past the stream nor ask for a huge buffer.
#pragma once

#include "wave/ByteStream.h"
#include "wave/SampleFormat.h"

#include <cstdint>

namespace vorn::riff {

struct Chunk {
    uint32_t id = 0;
    uint32_t size = 0;        // as recorded in the header
    uint64_t dataOffset = 0;  // stream offset of the first data byte
    uint64_t End() const { return dataOffset + size; }
};

enum class Search {
    Found,
    Missing,    // no such chunk before the end of the range (or before a broken one)
    Oversized,  // the chunk is there but claims more bytes than its range holds
};

// Searches the chunks laid one after another in [begin, end) for the first with `id`.
// A chunk of another identifier that reaches past `end` ends the search.
Search FindChunk(ByteStream& s, uint32_t id, uint64_t begin, uint64_t end, Chunk& found);

// The first top-level RIFF form of type "WAVE". Its contents start at dataOffset + 4.
// A form that claims more bytes than the file holds is still found: streaming writers
// leave its length at 0xFFFFFFFF, others count the whole file or a pad byte they never
// wrote. Search its contents up to FormEnd, where every chunk is checked against the
// bytes the file really has.
Search FindWaveForm(ByteStream& s, Chunk& form);
uint64_t FormEnd(ByteStream& s, const Chunk& form);

// The first top-level chunk with `id`, whatever its recorded size says: readers of
// such chunks take the record length from what they expect, not from the header.
bool FindTopLevel(ByteStream& s, uint32_t id, Chunk& found);

// The canonical 44-byte header: RIFF form, 16-byte integer-PCM "fmt ", "data" of
// dataBytes; the form's length counts the data's pad byte.
constexpr uint32_t kWaveHeaderSize = 44;
void EncodeWaveHeader(uint8_t* header, const SampleFormat& format, uint32_t dataBytes);

}  // namespace vorn::riff
