// Little-endian, bounds-checked reads over a byte span, and the one error type
// of gaugehost. Every file and record read goes through these helpers: bytes are
// never reinterpreted as structs.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>

namespace gaugehost {

// One-line failure that names what was wrong (file part, function called, address).
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

// "0x1234ABCD": addresses and ids in messages.
std::string hex(uint64_t value);

// A read-only view over bytes with checked little-endian reads. `what` names the
// data in error messages ("PE file", "resource data", ...).
class ByteReader {
public:
    ByteReader(std::span<const uint8_t> bytes, std::string what)
        : bytes_(bytes), what_(std::move(what)) {}

    size_t size() const { return bytes_.size(); }
    std::span<const uint8_t> bytes() const { return bytes_; }

    // Throws unless [offset, offset+count) lies inside the data; `field` names what was read.
    void require(uint64_t offset, uint64_t count, const char* field) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            throw Error(what_ + " is truncated: " + field + " at offset " + hex(offset) + " (" +
                        std::to_string(count) + " bytes) lies beyond its end (" +
                        std::to_string(bytes_.size()) + " bytes)");
    }
    uint8_t u8(uint64_t off, const char* field) const {
        require(off, 1, field);
        return bytes_[off];
    }
    uint16_t u16(uint64_t off, const char* field) const {
        require(off, 2, field);
        return uint16_t(bytes_[off] | bytes_[off + 1] << 8);
    }
    uint32_t u32(uint64_t off, const char* field) const {
        require(off, 4, field);
        return uint32_t(bytes_[off]) | uint32_t(bytes_[off + 1]) << 8 |
               uint32_t(bytes_[off + 2]) << 16 | uint32_t(bytes_[off + 3]) << 24;
    }
    int32_t s32(uint64_t off, const char* field) const { return int32_t(u32(off, field)); }
    uint64_t u64(uint64_t off, const char* field) const {
        return uint64_t(u32(off, field)) | uint64_t(u32(off + 4, field)) << 32;
    }
    double f64(uint64_t off, const char* field) const {
        uint64_t bits = u64(off, field);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    float f32(uint64_t off, const char* field) const {
        uint32_t bits = u32(off, field);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // NUL-terminated ASCII string starting at `off`, at most `max_len` characters.
    std::string cstr(uint64_t off, size_t max_len, const char* field) const {
        std::string s;
        for (size_t i = 0;; ++i) {
            uint8_t c = u8(off + i, field);
            if (c == 0) return s;
            if (i >= max_len)
                throw Error(what_ + ": " + field + " at offset " + hex(off) +
                            " is not terminated within " + std::to_string(max_len) + " bytes");
            s.push_back(char(c));
        }
    }
    // A sub-view [off, off+len), checked.
    ByteReader sub(uint64_t off, uint64_t len, const char* field) const {
        require(off, len, field);
        return ByteReader(bytes_.subspan(off, len), what_ + " " + field);
    }

private:
    std::span<const uint8_t> bytes_;
    std::string what_;
};

inline void put_u32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

}  // namespace gaugehost
