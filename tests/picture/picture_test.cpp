// Decoding, drawing and clearing, checked against the asset file read
// independently, byte by byte, by row and column.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "picture/picture.h"

namespace {

std::vector<std::uint8_t> read_asset()
{
    std::ifstream in(PICTURE_ASSET, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixel (column c, row r counted from the top) of a bottom-up 24-bit BMP.
Pixel bmp_pixel(const std::vector<std::uint8_t>& file, int w, int h, int c, int r)
{
    const std::size_t at = 54 + (static_cast<std::size_t>(h - 1 - r) * w + c) * 3;
    return (Pixel{file[at + 2]} << 16) | (Pixel{file[at + 1]} << 8) | file[at];
}

// A small BMP image (header zeroed: the decoder never reads it) with distinct pixels.
std::vector<std::uint8_t> small_bmp(int w, int h)
{
    std::vector<std::uint8_t> file(54 + 3 * w * h);
    for (std::size_t i = 54; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return file;
}

struct PictureTest : ::testing::Test {
    std::vector<Pixel> pixels = std::vector<Pixel>(400 * 300);
    void SetUp() override
    {
        picture_pixels = pixels.data();
        decode_picture();
    }
    void TearDown() override { picture_pixels = nullptr; }
};

}  // namespace

TEST(EmbeddedPicture, BytesEqualTheAssetFile)
{
    const auto file = read_asset();
    ASSERT_EQ(file.size(), PICTURE_FILE_SIZE);
    EXPECT_EQ(0, std::memcmp(file.data(), picture_file, PICTURE_FILE_SIZE));
    EXPECT_EQ(picture_width, 400);
    EXPECT_EQ(picture_height, 300);
}

TEST(EmbeddedPicture, HeaderHoldsTheStoredValues)
{
    auto le = [](int at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | picture_file[at + i];
        return v;
    };
    EXPECT_EQ(picture_file[0], 'B');
    EXPECT_EQ(picture_file[1], 'M');
    const std::uint32_t want[][3] = {{2, 4, 360054},  {6, 2, 0},     {8, 2, 0},     {10, 4, 54}, {14, 4, 40},
                                     {18, 4, 400},    {22, 4, 300},  {26, 2, 1},    {28, 2, 24}, {30, 4, 0},
                                     {34, 4, 360000}, {38, 4, 3937}, {42, 4, 3937}, {46, 4, 0},  {50, 4, 0}};
    for (const auto& f : want) EXPECT_EQ(le(f[0], f[1]), f[2]) << "field at offset " << f[0];
}

TEST(DecodePicture, HandMadeImageIsReversedAndPacked)
{
    const int w = 3, h = 2;
    auto file = small_bmp(w, h);
    // The file's first pixel (bytes 54..56, bottom-left) and last (top-right).
    file[54] = 0x10, file[55] = 0x20, file[56] = 0x30;
    file[54 + 15] = 0xAA, file[54 + 16] = 0xBB, file[54 + 17] = 0xCC;
    std::vector<Pixel> out(w * h + 1, 0xDEADBEEF);
    decode_picture_from(file.data(), w, h, out.data());
    EXPECT_EQ(out[0], 0x00CCBBAAu) << "first entry is the file's last pixel";
    EXPECT_EQ(out[w * h - 1], 0x00302010u) << "last entry is the file's first pixel";
    for (int k = 0; k < w * h; ++k) {
        const int n = w * h - 1 - k;  // source pixel number
        const Pixel want = (Pixel{file[56 + 3 * n]} << 16) | (Pixel{file[55 + 3 * n]} << 8) | file[54 + 3 * n];
        EXPECT_EQ(out[k], want) << "entry " << k;
    }
    EXPECT_EQ(out[w * h], 0xDEADBEEFu) << "wrote past the picture";
}

TEST_F(PictureTest, StoredPictureRowsTopFirstEachRightToLeft)
{
    const auto file = read_asset();
    for (int r = 0; r < 300; ++r)
        for (int i = 0; i < 400; ++i)
            ASSERT_EQ(pixels[r * 400 + i], bmp_pixel(file, 400, 300, 399 - i, r)) << "row " << r << " entry " << i;
    EXPECT_EQ(pixels[0] >> 24, 0u);
}

TEST_F(PictureTest, DrawnPictureIsUprightAndUnmirroredAtItsPlace)
{
    const auto file = read_asset();
    std::fill(std::begin(frame_buffer), std::end(frame_buffer), 0u);
    draw_picture(100, 80);
    for (int y = 0; y < FRAME_HEIGHT; ++y) {
        for (int x = 0; x < FRAME_WIDTH; ++x) {
            const bool inside = x >= 101 && x <= 500 && y >= 80 && y <= 379;
            const Pixel want = inside ? bmp_pixel(file, 400, 300, x - 101, y - 80) : 0;
            ASSERT_EQ(frame_buffer[y * FRAME_WIDTH + x], want) << "frame pixel (" << x << ", " << y << ")";
        }
    }
    // The corner markers: top-left red, bottom-right yellow.
    EXPECT_EQ(frame_buffer[82 * FRAME_WIDTH + 103], 0x00FF0000u);
    EXPECT_EQ(frame_buffer[377 * FRAME_WIDTH + 498], 0x00FFFF00u);
}

TEST_F(PictureTest, DrawLeavesTheBorderColumnsAndRowsUntouched)
{
    std::fill(std::begin(frame_buffer), std::end(frame_buffer), 0x00ABCDEFu);
    draw_picture(100, 80);
    for (int y = 0; y < FRAME_HEIGHT; ++y) {
        EXPECT_EQ(frame_buffer[y * FRAME_WIDTH + 100], 0x00ABCDEFu) << "column 100, row " << y;
        EXPECT_EQ(frame_buffer[y * FRAME_WIDTH + 501], 0x00ABCDEFu) << "column 501, row " << y;
    }
    for (int x = 0; x < FRAME_WIDTH; ++x) {
        EXPECT_EQ(frame_buffer[79 * FRAME_WIDTH + x], 0x00ABCDEFu) << "row 79, column " << x;
        EXPECT_EQ(frame_buffer[380 * FRAME_WIDTH + x], 0x00ABCDEFu) << "row 380, column " << x;
    }
    EXPECT_EQ(frame_buffer[80 * FRAME_WIDTH + 101], pixels[399]) << "top-left pixel";
    EXPECT_EQ(frame_buffer[379 * FRAME_WIDTH + 500], pixels[299 * 400]) << "bottom-right pixel";
}

TEST_F(PictureTest, DrawAtTheFrameEdges)
{
    // x = -1 puts the picture's first column in frame column 0; y + h = 480 its last row in row 479.
    std::fill(std::begin(frame_buffer), std::end(frame_buffer), 0u);
    draw_picture(-1, 180);
    EXPECT_EQ(frame_buffer[180 * FRAME_WIDTH + 0], pixels[399]);
    EXPECT_EQ(frame_buffer[479 * FRAME_WIDTH + 399], pixels[299 * 400]);
    EXPECT_EQ(frame_buffer[479 * FRAME_WIDTH + 400], 0u);
}

TEST(ClearFrame, ZeroesEveryPixelOfAFullFrame)
{
    for (int i = 0; i < FRAME_WIDTH * FRAME_HEIGHT; ++i) frame_buffer[i] = 0x01000001u * (i | 1);
    clear_frame();
    EXPECT_TRUE(std::all_of(std::begin(frame_buffer), std::end(frame_buffer), [](Pixel p) { return p == 0; }));
}

TEST(MissingBuffer, DecodeAndDrawWriteNothing)
{
    picture_pixels = nullptr;
    std::fill(std::begin(frame_buffer), std::end(frame_buffer), 7u);
    decode_picture();
    draw_picture(100, 80);
    EXPECT_TRUE(std::all_of(std::begin(frame_buffer), std::end(frame_buffer), [](Pixel p) { return p == 7; }));
}

TEST(FrameBuffer, IsZeroAtStart)
{
    EXPECT_TRUE(std::all_of(std::begin(frame_buffer), std::end(frame_buffer), [](Pixel p) { return p == 0; }));
}
