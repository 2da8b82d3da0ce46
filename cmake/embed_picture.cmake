# Turns the stored picture into a C++ source file holding its bytes unchanged.
# Run at build time:  cmake -DINPUT=picture.bmp -DOUTPUT=picture_data.cpp -P embed_picture.cmake
# Fails the build when the file is not the picture the decoder expects.

if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "embed_picture.cmake needs -DINPUT=... and -DOUTPUT=...")
endif()

set(EXPECTED_SIZE 360054)
file(SIZE "${INPUT}" size)
if(NOT size EQUAL EXPECTED_SIZE)
  message(FATAL_ERROR "${INPUT}: ${size} bytes, expected ${EXPECTED_SIZE} (a 400 x 300 24-bit BMP without row padding)")
endif()

file(READ "${INPUT}" hex HEX)

# Reads a little-endian unsigned field of `bytes` bytes at byte `offset`.
function(read_le offset bytes out)
  set(value 0)
  math(EXPR last "${bytes} - 1")
  foreach(i RANGE ${last} 0 -1)
    math(EXPR pos "(${offset} + ${i}) * 2")
    string(SUBSTRING "${hex}" ${pos} 2 byte)
    math(EXPR value "${value} * 256 + 0x${byte}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

string(SUBSTRING "${hex}" 0 4 magic)
read_le(10 4 off_bits)
read_le(18 4 width)
read_le(22 4 height)
read_le(28 2 bit_count)
read_le(30 4 compression)
foreach(check
    "magic;${magic};424d;the file type is not BM"
    "off_bits;${off_bits};54;pixel data does not start at byte 54"
    "width;${width};400;width is not 400"
    "height;${height};300;height is not +300 (bottom row first)"
    "bit_count;${bit_count};24;not 24 bits per pixel"
    "compression;${compression};0;compressed (only BI_RGB is supported)")
  list(GET check 1 got)
  list(GET check 2 want)
  list(GET check 3 what)
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "${INPUT}: ${what} (found ${got})")
  endif()
endforeach()

string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 24 row)
string(REGEX REPLACE "(${row})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from assets/picture.bmp by cmake/embed_picture.cmake; do not edit.
#include \"picture/picture.h\"

extern const std::uint8_t picture_file[PICTURE_FILE_SIZE] = {
${bytes}};
extern const std::int32_t picture_width = 400;
extern const std::int32_t picture_height = 300;
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
