#pragma once
// The product version as it stands in the messenger's executable: the string table of a version
// resource ("StringFileInfo", one language table, "ProductVersion"), every entry with its length
// words, type word 1 and UTF-16LE texts, aligned to 32 bits. The update program reads it back
// from the executable's bytes; the text is the major, the minor in two digits and the patch in
// four ("3.00.0009" for 3.0.9).
#include <array>
#include <cstddef>

namespace VersionBlock {

struct Text {
    char c[32]{};
    std::size_t size = 0;
};

constexpr void appendNumber(Text& t, unsigned value, unsigned minDigits) {
    char d[12]{};
    unsigned n = 0;
    do {
        d[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < minDigits)
        d[n++] = '0';
    while (n > 0)
        t.c[t.size++] = d[--n];
}

constexpr Text VersionText(unsigned major, unsigned minor, unsigned patch) {
    Text t;
    appendNumber(t, major, 1);
    t.c[t.size++] = '.';
    appendNumber(t, minor, 2);
    t.c[t.size++] = '.';
    appendNumber(t, patch, 4);
    return t;
}

inline constexpr char kLanguage[] = "040904B0"; // US English, Unicode

constexpr std::size_t align4(std::size_t n) {
    return (n + 3) & ~std::size_t(3);
}
constexpr std::size_t keyBytes(const char* key) {
    std::size_t n = 0;
    while (key[n] != 0)
        ++n;
    return (n + 1) * 2;
}

template <unsigned Major, unsigned Minor, unsigned Patch> constexpr auto Build() {
    constexpr Text value = VersionText(Major, Minor, Patch);
    constexpr std::size_t entry = align4(6 + keyBytes("ProductVersion")) + (value.size + 1) * 2;
    constexpr std::size_t table = align4(6 + keyBytes(kLanguage)) + entry;
    constexpr std::size_t total = align4(6 + keyBytes("StringFileInfo")) + align4(table);
    std::array<unsigned char, align4(total)> out{};
    std::size_t at = 0;
    auto word = [&](std::size_t w) {
        out[at++] = static_cast<unsigned char>(w & 0xFF);
        out[at++] = static_cast<unsigned char>((w >> 8) & 0xFF);
    };
    auto key = [&](const char* k) {
        for (; *k != 0; ++k)
            word(static_cast<unsigned char>(*k));
        word(0);
        while (at % 4 != 0)
            out[at++] = 0;
    };
    word(total); // wLength, wValueLength, wType
    word(0);
    word(1);
    key("StringFileInfo");
    word(table);
    word(0);
    word(1);
    key(kLanguage);
    word(entry);
    word(value.size + 1); // in characters, with the terminator
    word(1);
    key("ProductVersion");
    for (std::size_t i = 0; i < value.size; ++i)
        word(static_cast<unsigned char>(value.c[i]));
    word(0);
    return out;
}

} // namespace VersionBlock
