// The row converters on every path against the scalar reference, and the
// selection of a converter from a screen format.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "convert/convert_frame.h"
#include "convert_reference.h"

namespace {

// Every format's public converter, in the table's order.
const RowConverter PUBLIC_CONVERTERS[] = {
#define PUBLIC_CONVERTER(id, name, ...) convert_row_##name,
    PIXEL_FORMATS(PUBLIC_CONVERTER)
#undef PUBLIC_CONVERTER
};
constexpr std::uint8_t GUARD = 0xA5;
constexpr int SLACK = 64;

std::vector<Pixel> random_pixels(std::size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<Pixel> v(n);
    for (auto& p : v) p = rng();
    return v;
}

// Runs `convert` on `count` pixels at the given source offset (in pixels) and
// destination offset (in bytes) inside guarded buffers; checks the written bytes
// against the reference and every byte around them untouched.
void check_row(RowConverter convert, int format, const std::vector<Pixel>& pixels, int count, int src_offset,
               int dst_offset, const std::string& what)
{
    const int size = reference_bytes_per_pixel(format);
    std::vector<Pixel> src(count + 2 * SLACK, 0xDEADBEEF);
    std::memcpy(src.data() + SLACK / 2 + src_offset, pixels.data(), count * sizeof(Pixel));
    std::vector<std::uint8_t> dst(count * size + 2 * SLACK, GUARD);
    std::uint8_t* out = dst.data() + SLACK + dst_offset;
    convert(src.data() + SLACK / 2 + src_offset, out, count);
    const auto want = reference_row(format, pixels.data(), count);
    ASSERT_TRUE(want.empty() || std::memcmp(out, want.data(), want.size()) == 0) << what;
    for (std::uint8_t* p = dst.data(); p < out; ++p) ASSERT_EQ(*p, GUARD) << what << ": wrote before the row";
    for (std::uint8_t* p = out + want.size(); p < dst.data() + dst.size(); ++p)
        ASSERT_EQ(*p, GUARD) << what << ": wrote past the row";
}

std::uint32_t convert_one(RowConverter convert, int format, Pixel p)
{
    std::uint8_t out[4] = {};
    convert(&p, out, 1);
    std::uint32_t v = 0;
    for (int k = reference_bytes_per_pixel(format) - 1; k >= 0; --k) v = v << 8 | out[k];
    return v;
}

}  // namespace

TEST(ConvertPaths, PortableFirstAndBestLast)
{
    const auto paths = convert_paths();
    ASSERT_GE(paths.size(), 1u);
    EXPECT_STREQ(paths.front().name, "portable");
    EXPECT_EQ(&convert_best_path(), &paths.back());
#if defined(__x86_64__)
    EXPECT_GE(paths.size(), 2u) << "SSE2 is the x86-64 baseline";
#endif
#if defined(CONVERT_HAS_AVX512)
    EXPECT_EQ(convert_usable_paths({true, true, true, true, true, true}), 5) << "AVX-512 F, BW and VL are enough";
    EXPECT_EQ(convert_usable_paths({true, true, true, true, false, true}), 4) << "BW is needed";
#elif defined(__wasm_simd128__)
    EXPECT_STREQ(paths.back().name, "wasm_simd128");
#endif
}

// Every path and format, every count from 0 to 70 and 640, at several source and
// destination alignments: block and tail agree, and nothing is written beyond the row.
TEST(ConvertPaths, EveryPathMatchesTheReferenceAtEveryCountAndAlignment)
{
    const auto pixels = random_pixels(640, 1);
    std::vector<int> counts;
    for (int n = 0; n <= 70; ++n) counts.push_back(n);
    counts.push_back(640);
    for (const ConvertPath& path : convert_paths())
        for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f)
            for (int count : counts)
                for (int src_offset = 0; src_offset < 3; ++src_offset)
                    for (int dst_offset : {0, 1, 2, 3, 5, 30})
                        check_row(path.rows[f], f, pixels, count, src_offset, dst_offset,
                                  std::string(path.name) + " " + PIXEL_FORMAT_TABLE[f].name + " count " + std::to_string(count) +
                                      " src+" + std::to_string(src_offset) + " dst+" + std::to_string(dst_offset));
}

// Runs long enough to be copied another way (from 16 KiB, and from 16 MiB,
// taken by the plain copy): the same bytes, nothing written beyond them.
TEST(ConvertPaths, LongRunsMatchTheReference)
{
    const auto pixels = random_pixels((16 << 20) / 4 + 7, 4);
    for (const ConvertPath& path : convert_paths())
        for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f)
            for (int count : {4096, 4099, (16 << 20) / 4 + 7}) {
                if (count > 4099 && f != PIXEL_FORMAT_XRGB8888) continue;
                for (int dst_offset : {0, 4, 30})
                    check_row(path.rows[f], f, pixels, count, 1, dst_offset,
                              std::string(path.name) + " " + PIXEL_FORMAT_TABLE[f].name + " count " + std::to_string(count) +
                                  " dst+" + std::to_string(dst_offset));
            }
}

TEST(ConvertPaths, PublicConvertersMatchTheReference)
{
    const auto pixels = random_pixels(640, 2);
    for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f)
        for (int count : {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 640})
            check_row(PUBLIC_CONVERTERS[f], f, pixels, count, 0, 1,
                      std::string(PIXEL_FORMAT_TABLE[f].name) + " count " + std::to_string(count));
}

TEST(ConvertPaths, NegativeCountWritesNothing)
{
    const auto pixels = random_pixels(8, 3);
    for (const ConvertPath& path : convert_paths())
        for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f) {
            std::uint8_t dst[64];
            std::memset(dst, GUARD, sizeof dst);
            path.rows[f](pixels.data(), dst + 16, -5);
            for (std::uint8_t b : dst) ASSERT_EQ(b, GUARD) << path.name << " " << PIXEL_FORMAT_TABLE[f].name;
        }
}

// The values the table gives for the edge pixels, on every path.
TEST(ConvertPaths, EdgeValues)
{
    struct Case {
        Pixel in;
        int format;
        std::uint32_t out;
    } const cases[] = {
        {0x00FFFFFF, PIXEL_FORMAT_RGB565, 0xFFFF},
        {0x00FFFFFF, PIXEL_FORMAT_BGR565, 0xFFFF},
        {0x00FFFFFF, PIXEL_FORMAT_XRGB1555, 0x7FFF},
        {0x00FFFFFF, PIXEL_FORMAT_XBGR1555, 0x7FFF},
        {0x00FFFFFF, PIXEL_FORMAT_RGB888, 0xFFFFFF},
        {0x00FFFFFF, PIXEL_FORMAT_BGR888, 0xFFFFFF},
        {0x00FFFFFF, PIXEL_FORMAT_XRGB8888, 0xFFFFFF},
        {0x00FFFFFF, PIXEL_FORMAT_XBGR8888, 0xFFFFFF},
        {0x00070307, PIXEL_FORMAT_RGB565, 0},
        {0x00070307, PIXEL_FORMAT_BGR565, 0},
        {0x00070307, PIXEL_FORMAT_XRGB1555, 0},
        {0x00070307, PIXEL_FORMAT_XBGR1555, 0},
        {0x00040404, PIXEL_FORMAT_RGB565, 0x0020},
        {0x00040404, PIXEL_FORMAT_BGR565, 0x0020},
        {0x00040404, PIXEL_FORMAT_XRGB1555, 0},
        {0x00040404, PIXEL_FORMAT_XBGR1555, 0},
        {0x00808080, PIXEL_FORMAT_RGB565, 0x8410},
        {0x00808080, PIXEL_FORMAT_BGR565, 0x8410},
        {0x00808080, PIXEL_FORMAT_XRGB1555, 0x4210},
        {0x00808080, PIXEL_FORMAT_XBGR1555, 0x4210},
        {0x00F80000, PIXEL_FORMAT_RGB565, 0xF800},
        {0x00F80000, PIXEL_FORMAT_BGR565, 0x001F},
        {0x00F80000, PIXEL_FORMAT_XRGB1555, 0x7C00},
        {0x00F80000, PIXEL_FORMAT_XBGR1555, 0x001F},
        {0x12345678, PIXEL_FORMAT_XRGB8888, 0x12345678},
        {0x12345678, PIXEL_FORMAT_XBGR8888, 0x00785634},
        {0x00102030, PIXEL_FORMAT_RGB888, 0x102030},
        {0x00102030, PIXEL_FORMAT_BGR888, 0x302010},
        {0xFFFFFFFF, PIXEL_FORMAT_XRGB1555, 0x7FFF},
        {0xFF000000, PIXEL_FORMAT_RGB565, 0},
    };
    for (const ConvertPath& path : convert_paths())
        for (const Case& c : cases) {
            EXPECT_EQ(convert_one(path.rows[c.format], c.format, c.in), c.out)
                << path.name << " " << PIXEL_FORMAT_TABLE[c.format].name << " of 0x" << std::hex << c.in;
            // The same value inside a long row goes through the blocks, not the tail.
            std::vector<Pixel> row(40, c.in);
            std::vector<std::uint8_t> out(160);
            path.rows[c.format](row.data(), out.data(), 40);
            const int size = reference_bytes_per_pixel(c.format);
            std::uint32_t v = 0;
            for (int k = size - 1; k >= 0; --k) v = v << 8 | out[5 * size + k];
            EXPECT_EQ(v, c.out) << path.name << " " << PIXEL_FORMAT_TABLE[c.format].name << " in a block";
        }
}

// Contiguous rows (one run), a padded pitch and a wider source against the
// reference row by row, every gap byte left alone.
TEST(ConvertFrame, EveryLayoutMatchesTheReferenceAndLeavesTheGapsAlone)
{
    constexpr int W = 37, ROWS = 5;
    const auto pixels = random_pixels((W + 3) * ROWS, 11);
    for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f) {
        const int size = reference_bytes_per_pixel(f);
        for (const auto& [stride, pitch] : {std::pair{W, W * size}, {W, W * size + 7}, {W + 3, W * size}}) {
            std::vector<std::uint8_t> dst(pitch * ROWS + SLACK, GUARD);
            convert_frame(PUBLIC_CONVERTERS[f], pixels.data(), stride, dst.data(), pitch, W, ROWS, size);
            for (int y = 0; y < ROWS; ++y) {
                const auto want = reference_row(f, &pixels[y * stride], W);
                ASSERT_EQ(std::memcmp(&dst[y * pitch], want.data(), want.size()), 0) << PIXEL_FORMAT_TABLE[f].name << pitch;
                for (int k = W * size; k < (y + 1 < ROWS ? pitch : pitch + SLACK); ++k)
                    ASSERT_EQ(dst[y * pitch + k], GUARD) << PIXEL_FORMAT_TABLE[f].name << " pitch " << pitch << " row " << y;
            }
        }
    }
}

TEST(SelectRowConverter, TheEightFormats)
{
    EXPECT_EQ(select_row_converter(32, 0xFF0000, 0xFF00, 0xFF), convert_row_xrgb8888);
    EXPECT_EQ(select_row_converter(32, 0xFF, 0xFF00, 0xFF0000), convert_row_xbgr8888);
    EXPECT_EQ(select_row_converter(24, 0xFF0000, 0xFF00, 0xFF), convert_row_rgb888);
    EXPECT_EQ(select_row_converter(24, 0xFF, 0xFF00, 0xFF0000), convert_row_bgr888);
    EXPECT_EQ(select_row_converter(16, 0xF800, 0x7E0, 0x1F), convert_row_rgb565);
    EXPECT_EQ(select_row_converter(16, 0x1F, 0x7E0, 0xF800), convert_row_bgr565);
    EXPECT_EQ(select_row_converter(16, 0x7C00, 0x3E0, 0x1F), convert_row_xrgb1555);
    EXPECT_EQ(select_row_converter(16, 0x1F, 0x3E0, 0x7C00), convert_row_xbgr1555);
}

TEST(SelectRowConverter, NoneForAnythingElse)
{
    EXPECT_EQ(select_row_converter(15, 0x7C00, 0x3E0, 0x1F), nullptr) << "15 as the bit count";
    EXPECT_EQ(select_row_converter(15, 0x1F, 0x3E0, 0x7C00), nullptr);
    EXPECT_EQ(select_row_converter(8, 0, 0, 0), nullptr) << "palette";
    EXPECT_EQ(select_row_converter(8, 0xE0, 0x1C, 0x3), nullptr);
    EXPECT_EQ(select_row_converter(24, 0xF800, 0x7E0, 0x1F), nullptr) << "masks of another bit count";
    EXPECT_EQ(select_row_converter(32, 0xFF000000, 0xFF0000, 0xFF00), nullptr) << "unknown masks";
    EXPECT_EQ(select_row_converter(32, 0x3FF00000, 0xFFC00, 0x3FF), nullptr) << "10-10-10";
    EXPECT_EQ(select_row_converter(16, 0xF00, 0xF0, 0xF), nullptr) << "4-4-4";
    EXPECT_EQ(select_row_converter(0, 0, 0, 0), nullptr);
}

TEST(SelectRowConverter, AlphaIsNotConsulted)
{
    // The selection has no alpha argument: a 32-bit format whose alpha mask is set
    // still takes the first row when its colour masks match.
    EXPECT_EQ(select_row_converter(32, 0x00FF0000, 0x0000FF00, 0x000000FF), convert_row_xrgb8888);
}
