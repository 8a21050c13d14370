#pragma once
// Where things stand in a bench file: its sections and keys with the line and column a text
// editor shows, found by the rules of the Windows INI functions that read the values (the first
// section of a name holds the keys, the first key of a name in it is the one read), so that a
// warning points at what was actually used. The file is read once, bounded.
#include <map>
#include <string>
#include <vector>

// Counted from 1, in characters of the file's encoding; 0: nowhere.
struct BenchPlace {
    long long line = 0, column = 0;
};

class BenchLayout {
public:
    // A bench file is a few hundred bytes a unit; a larger file is not one.
    static const unsigned long long kMaxBytes = 4ull << 20;

    enum Status { Read, Missing, Empty, TooLarge, NotText };
    // Reads the file at `path`: a byte-order mark chooses UTF-8, UTF-16 LE or BE, else each
    // byte is a character; lines end in CR LF, CR or LF.
    Status Load(const std::string& path);
    // The bytes read, exactly as the file held them.
    const std::string& Bytes() const { return m_bytes; }
    unsigned long long FileBytes() const { return m_fileBytes; }
    // Where the first NUL character stands when the file is NotText.
    BenchPlace NulAt() const { return m_nul; }

    // The key `key` of the section `section` (both without regard to case) as it is read; false
    // when the file has none there.
    bool Find(const std::string& section, const std::string& key, BenchPlace* keyAt, BenchPlace* valueAt) const;

    // A section that repeats an earlier one (`key` empty), or a key that repeats an earlier one
    // of the section that is read.
    struct Repeat {
        std::string section, key;   // as the file spells them
        BenchPlace at, first;
    };
    const std::vector<Repeat>& Repeats() const { return m_repeats; }

private:
    struct Key {
        BenchPlace at, valueAt;
    };
    struct Section {
        std::string name;
        BenchPlace at;
        std::map<std::string, Key> keys;   // by lower-case name: the first of each
    };
    void Parse(const std::u32string& text);

    std::string m_bytes;
    unsigned long long m_fileBytes = 0;
    BenchPlace m_nul;
    std::map<std::string, Section> m_sections;   // by lower-case name: the first of each
    std::vector<Repeat> m_repeats;
};
