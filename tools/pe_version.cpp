// pe_version: prints a Windows program's processor and its version resource as
// Windows reads it, from the file itself: the fixed file and product versions,
// then each string of its StringFileInfo ("ProductName: picture"). Exit status 1 when the file is
// not a PE image or carries no version resource.
//
//   pe_version FILE.exe
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr uint32_t RT_VERSION = 16;
constexpr uint32_t FIXED_SIGNATURE = 0xFEEF04BD;

// Little-endian reads that answer 0 past the end, so a damaged file reads as
// one without the resource instead of out of bounds.
uint32_t read16(const Bytes& b, size_t at) { return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0; }
uint32_t read32(const Bytes& b, size_t at) { return at + 4 <= b.size() ? read16(b, at) | read16(b, at + 2) << 16 : 0; }
size_t align4(size_t at) { return (at + 3) & ~size_t{3}; }

// A zero-terminated UTF-16 string at AT, kept to ASCII; END is set past its terminator.
std::string read_utf16(const Bytes& b, size_t at, size_t limit, size_t* end)
{
    std::string text;
    while (at + 2 <= limit && read16(b, at) != 0) {
        uint32_t c = read16(b, at);
        text += c < 128 ? static_cast<char>(c) : '?';
        at += 2;
    }
    *end = at + 2;
    return text;
}

struct Image {
    Bytes bytes;
    struct Section {
        uint32_t rva, size, file_offset;
    };
    std::vector<Section> sections;
    uint32_t resource_rva = 0;
    uint32_t machine = 0;

    // The file offset of an RVA, or 0 when no section holds it.
    size_t offset_of(uint32_t rva) const
    {
        for (const Section& s : sections)
            if (rva >= s.rva && rva < s.rva + s.size) return rva - s.rva + s.file_offset;
        return 0;
    }
};

bool read_image(const char* path, Image* image)
{
    std::ifstream in(path, std::ios::binary);
    image->bytes.assign(std::istreambuf_iterator<char>(in), {});
    const Bytes& b = image->bytes;
    if (b.size() < 64 || b[0] != 'M' || b[1] != 'Z') return false;
    uint32_t pe = read32(b, 0x3C);
    if (read32(b, pe) != 0x00004550) return false;  // "PE\0\0"
    image->machine = read16(b, pe + 4);
    uint32_t sections = read16(b, pe + 6), optional_size = read16(b, pe + 20);
    size_t optional = pe + 24;
    uint32_t magic = read16(b, optional);
    size_t directories = optional + (magic == 0x20B ? 112 : 96);  // PE32+ or PE32
    image->resource_rva = read32(b, directories + 2 * 8);         // the resource directory's entry
    size_t table = optional + optional_size;
    for (uint32_t i = 0; i < sections; ++i) {
        size_t s = table + i * 40;
        image->sections.push_back({read32(b, s + 12), read32(b, s + 8), read32(b, s + 20)});
    }
    return image->resource_rva != 0;
}

// The first entry of a resource directory whose id is ID (any id when ID is 0):
// answers its offset within the resource section, with the high bit kept.
uint32_t directory_entry(const Bytes& b, size_t root, uint32_t directory, uint32_t id)
{
    size_t at = root + directory;
    uint32_t count = read16(b, at + 12) + read16(b, at + 14);
    for (uint32_t i = 0; i < count; ++i) {
        size_t entry = at + 16 + i * 8;
        if (id == 0 || read32(b, entry) == id) return read32(b, entry + 4);
    }
    return 0;
}

// Prints one node of the version tree and its children: wLength, wValueLength,
// wType, the key, then the value and the children, each aligned to 4 bytes.
void print_node(const Bytes& b, size_t at, size_t limit, int depth)
{
    size_t length = read16(b, at), value_length = read16(b, at + 2), type = read16(b, at + 4);
    size_t end = at + length;
    if (length < 6 || end > limit) return;
    size_t after_key;
    std::string key = read_utf16(b, at + 6, end, &after_key);
    size_t value = align4(after_key);
    size_t children = value;
    if (depth == 0 && value_length >= 52 && read32(b, value) == FIXED_SIGNATURE) {
        uint32_t fms = read32(b, value + 8), fls = read32(b, value + 12);
        uint32_t pms = read32(b, value + 16), pls = read32(b, value + 20);
        std::printf("fixed FileVersion: %u.%u.%u.%u\n", fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF);
        std::printf("fixed ProductVersion: %u.%u.%u.%u\n", pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF);
    }
    if (type == 1 && value_length > 0 && depth == 3) {  // a string of StringFileInfo
        size_t unused;
        std::printf("%s: %s\n", key.c_str(), read_utf16(b, value, end, &unused).c_str());
        return;
    }
    children = align4(value + (type == 1 ? value_length * 2 : value_length));
    while (children + 6 <= end) {
        size_t child_length = read16(b, children);
        if (child_length == 0) break;
        print_node(b, children, end, depth + 1);
        children = align4(children + child_length);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pe_version FILE.exe\n");
        return 2;
    }
    Image image;
    if (!read_image(argv[1], &image)) {
        std::fprintf(stderr, "%s: not a PE image with resources\n", argv[1]);
        return 1;
    }
    const Bytes& b = image.bytes;
    std::printf("machine: %s\n", image.machine == 0x8664 ? "x86-64" : image.machine == 0x14C ? "i386" : "other");
    size_t root = image.offset_of(image.resource_rva);
    // Type RT_VERSION, then its first name and its first language: a data entry.
    uint32_t type = directory_entry(b, root, 0, RT_VERSION);
    uint32_t name = type & 0x80000000 ? directory_entry(b, root, type & 0x7FFFFFFF, 0) : 0;
    uint32_t language = name & 0x80000000 ? directory_entry(b, root, name & 0x7FFFFFFF, 0) : 0;
    if (root == 0 || language == 0 || language & 0x80000000) {
        std::fprintf(stderr, "%s: no version resource\n", argv[1]);
        return 1;
    }
    size_t data = root + language;
    size_t version = image.offset_of(read32(b, data));
    if (version == 0) return 1;
    print_node(b, version, version + read32(b, data + 4), 0);
    return 0;
}
