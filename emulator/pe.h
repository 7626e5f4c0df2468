// PE32 (i386) dynamic-library reader: turns the file bytes into the image as the
// loader maps it, with its relocations, imports, exports and resources.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bytes.h"

namespace gaugehost {

struct Section {
    std::string name;
    uint32_t rva = 0;
    uint32_t virtual_size = 0;
    uint32_t raw_offset = 0;
    uint32_t raw_size = 0;
    uint32_t characteristics = 0;
    bool readable() const { return characteristics & 0x40000000u; }
    bool writable() const { return characteristics & 0x80000000u; }
    bool executable() const { return characteristics & 0x20000000u; }
};

struct Import {
    std::string dll;
    std::string name;      // empty when imported by ordinal
    uint16_t ordinal = 0;  // only meaningful when name is empty
    uint32_t iat_rva = 0;  // slot the loader fills with the bound address
    std::string full_name() const;  // "DLL!name" or "DLL!#ordinal"
};

struct Export {
    std::string name;  // empty for an export by ordinal only
    uint32_t ordinal = 0;
    uint32_t rva = 0;
};

struct Resource {
    uint32_t type = 0;
    uint32_t id = 0;
    uint32_t language = 0;
    uint32_t data_rva = 0;
    uint32_t size = 0;
};

// What a version resource says: the fixed part and the string table(s).
struct VersionInfo {
    uint32_t file_version_ms = 0, file_version_ls = 0;
    uint32_t product_version_ms = 0, product_version_ls = 0;
    uint32_t flags_mask = 0, flags = 0, os = 0, file_type = 0, file_subtype = 0;
    std::string string_table;  // e.g. "040904b0"
    std::vector<std::pair<std::string, std::string>> strings;  // in stored order
    std::vector<uint32_t> translations;  // language | code page << 16
    static std::string dotted(uint32_t ms, uint32_t ls);
};

struct PeImage {
    uint32_t preferred_base = 0;
    uint32_t entry_rva = 0;
    uint32_t size_of_image = 0;
    uint32_t section_alignment = 0;
    uint32_t file_alignment = 0;
    uint32_t size_of_headers = 0;
    std::vector<Section> sections;
    std::vector<uint32_t> relocations;  // RVAs of 32-bit words to adjust (HIGHLOW)
    std::vector<Import> imports;
    std::string export_dll_name;
    std::vector<Export> exports;
    std::vector<Resource> resources;
    std::vector<uint8_t> image;  // the mapped image, its pointers linked for `base`
    uint32_t base = 0;           // where `image` is linked to run; preferred_base until relocate()

    const Export* find_export(const std::string& name) const;
    const Export* find_export(uint32_t ordinal) const;
    const Resource* find_resource(uint32_t type, uint32_t id) const;
    // The bytes of a resource, inside the image.
    std::span<const uint8_t> resource_bytes(const Resource& r) const;
    // Parsed version block (type 16), if the module has one.
    std::optional<VersionInfo> version() const;
    // Re-links `image` to run at new_base: adds the distance moved to every relocated word.
    void relocate(uint32_t new_base);
};

// Reads a PE32 i386 DLL. Each step throws Error naming what is wrong.
PeImage read_pe(std::span<const uint8_t> file);
PeImage read_pe_file(const std::string& path);

}  // namespace gaugehost
