#pragma once
// The bytes of a bench file as they were read once, in a private file of their own, so that
// the INI functions read exactly what was scanned for positions however the file changes
// meanwhile, and never more than was bounded.
#include <string>

class BenchSnapshot {
public:
    // Writes `bytes` to a new file in the folder for temporary files; `fallback` is read
    // instead when none can be written.
    BenchSnapshot(const std::string& bytes, const std::string& fallback);
    ~BenchSnapshot();
    const std::string& Path() const { return m_path; }

    BenchSnapshot(const BenchSnapshot&) = delete;
    BenchSnapshot& operator=(const BenchSnapshot&) = delete;

private:
    std::string m_path;
    bool m_owned = false;
};
