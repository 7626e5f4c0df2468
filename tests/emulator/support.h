// Helpers shared by the gaugehost tests: fixture paths, file bytes, mutated copies.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "bytes.h"
#include "pe.h"

namespace fixtures {

inline std::string path(const std::string& name) { return std::string(FIXTURE_OUT) + "/" + name; }
inline const std::string low = path("fixture_low.dll");        // base 0x20000000
inline const std::string high = path("fixture_high.dll");      // base 0x30000000
inline const std::string wide = path("fixture_wide.dll");      // sections every 0x2000
inline const std::string packed = path("fixture_packed.dll");  // sections every 0x200, sharing pages
inline const std::string mini = path("mini_gauge.dll");        // one-gauge module

inline std::vector<uint8_t> bytes_of(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Files written by write_temp, removed when the test process ends.
struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles() {
        std::error_code ignored;
        for (const std::string& p : paths) std::filesystem::remove(p, ignored);
    }
};
inline TempFiles temp_files;

// Writes bytes to a fresh file in the test's temporary directory and returns its path.
// The process id keeps test processes that run side by side off each other's files.
inline std::string write_temp(const std::vector<uint8_t>& bytes, const std::string& name) {
    std::string p = testing::TempDir() + "/" + std::to_string(getpid()) + "_" + name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    temp_files.paths.push_back(p);
    return p;
}

// Replaces the first occurrence of `from` by `to` (same length) in bytes.
inline void replace_text(std::vector<uint8_t>& bytes, const std::string& from, const std::string& to) {
    auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(it, bytes.end()) << from;
    std::copy(to.begin(), to.end(), it);
}

inline uint32_t pe_offset(const std::vector<uint8_t>& b) { return gaugehost::ByteReader(b, "f").u32(0x3C, "lfanew"); }

// File offset of a section's raw data.
inline uint32_t section_file_offset(const std::vector<uint8_t>& b, const std::string& name) {
    for (const auto& s : gaugehost::read_pe(b).sections)
        if (s.name == name) return s.raw_offset;
    ADD_FAILURE() << "no section " << name;
    return 0;
}

inline bool have_kel() { return std::filesystem::exists(KEL_GAU); }

}  // namespace fixtures
