// libFuzzer target: random rows, counts and alignments through every path of
// every converter, in exactly-sized buffers, compared with the scalar reference.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "../convert/convert_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) return 0;
    const auto paths = convert_paths();
    const ConvertPath& path = paths[data[0] % paths.size()];
    const int format = (data[0] / 16) % PIXEL_FORMAT_COUNT;
    const int src_offset = data[1] % 8;   // in pixels
    const int dst_offset = data[2] % 64;  // in bytes
    data += 3;
    size -= 3;
    const int count = static_cast<int>(size / 4);
    const int bytes = reference_bytes_per_pixel(format);

    // Allocations end exactly where the row ends, so AddressSanitizer sees any
    // read or write beyond it; the bytes before the destination row are checked.
    std::unique_ptr<Pixel[]> src(new Pixel[src_offset + count]);
    std::memcpy(src.get() + src_offset, data, static_cast<std::size_t>(count) * 4);
    std::unique_ptr<std::uint8_t[]> dst(new std::uint8_t[dst_offset + count * bytes]);
    std::memset(dst.get(), 0x5A, dst_offset + count * bytes);
    path.rows[format](src.get() + src_offset, dst.get() + dst_offset, count);

    const auto want = reference_row(format, src.get() + src_offset, count);
    if (!want.empty() && std::memcmp(dst.get() + dst_offset, want.data(), want.size()) != 0) std::abort();
    for (int i = 0; i < dst_offset; ++i)
        if (dst[i] != 0x5A) std::abort();
    return 0;
}
