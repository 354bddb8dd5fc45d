// Builds small PE32+ images with a resource section, for tests of modules and version resources.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

// A resource to put into the image: type and name are "#n" for numbers or a
// name (stored as a directory string).
struct TPeEntry {
    std::string Type, Name;
    std::vector<uint8_t> Data;
    uint16_t Language = 0x0409;
};

class TPeBuilder {
public:
    void Add(const std::string& Type, const std::string& Name, std::vector<uint8_t> Data, uint16_t Language = 0x0409) {
        FEntries.push_back({Type, Name, std::move(Data), Language});
    }
    void Add(const std::string& Type, const std::string& Name, const std::string& Text) {
        Add(Type, Name, std::vector<uint8_t>(Text.begin(), Text.end()));
    }

    // The whole file: DOS header, PE signature, COFF header, optional header
    // (PE32+, 16 data directories), one ".rsrc" section at RVA 0x1000.
    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> rsrc = BuildSection(0x1000);
        std::vector<uint8_t> f(0x200, 0);
        f[0] = 'M', f[1] = 'Z';
        Put32(f, 0x3C, 0x40);
        Put32(f, 0x40, 0x00004550);
        size_t coff = 0x44, opt = coff + 20;
        Put16(f, coff, 0x8664);
        Put16(f, coff + 2, 1);
        Put16(f, coff + 16, 240);
        Put16(f, opt, 0x20B);
        Put32(f, opt + 108, 16);
        Put32(f, opt + 112 + 16, 0x1000);
        Put32(f, opt + 112 + 20, uint32_t(rsrc.size()));
        size_t sec = opt + 240;
        const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
        for (int k = 0; k < 8; ++k) f[sec + k] = uint8_t(name[k]);
        Put32(f, sec + 8, uint32_t(rsrc.size()));
        Put32(f, sec + 12, 0x1000);
        Put32(f, sec + 16, uint32_t(rsrc.size()));
        Put32(f, sec + 20, 0x200);
        f.insert(f.end(), rsrc.begin(), rsrc.end());
        return f;
    }

private:
    std::vector<TPeEntry> FEntries;

    static void Put16(std::vector<uint8_t>& B, size_t At, uint32_t V) {
        if (B.size() < At + 2) B.resize(At + 2);
        B[At] = uint8_t(V), B[At + 1] = uint8_t(V >> 8);
    }
    static void Put32(std::vector<uint8_t>& B, size_t At, uint32_t V) {
        Put16(B, At, V & 0xFFFF);
        Put16(B, At + 2, V >> 16);
    }
    static bool IsId(const std::string& S) { return !S.empty() && S[0] == '#'; }

    // Directories first (type, then name, then language levels), then the
    // directory strings, the data entries and the data.
    std::vector<uint8_t> BuildSection(uint32_t Rva) const {
        std::map<std::string, std::map<std::string, const TPeEntry*>> tree;
        for (const TPeEntry& e : FEntries) tree[e.Type][e.Name] = &e;
        std::vector<uint8_t> b;
        struct TFix {
            size_t At;
            std::string Str;
        };
        std::vector<TFix> strings;
        std::vector<std::pair<size_t, const TPeEntry*>> dataEntries;
        auto dir = [&](const std::vector<std::string>& Names) {
            size_t at = b.size();
            b.resize(at + 16 + 8 * Names.size());
            int named = 0, ids = 0;
            for (const auto& n : Names) (IsId(n) ? ids : named)++;
            Put16(b, at + 12, named);
            Put16(b, at + 14, ids);
            for (size_t k = 0; k < Names.size(); ++k) {
                if (IsId(Names[k]))
                    Put32(b, at + 16 + 8 * k, uint32_t(std::stoul(Names[k].substr(1))));
                else
                    strings.push_back({at + 16 + 8 * k, Names[k]});
            }
            return at;
        };
        // Named entries come before numbered ones in a directory.
        auto ordered = [](std::vector<std::string> v) {
            std::stable_partition(v.begin(), v.end(), [](const std::string& s) { return !IsId(s); });
            return v;
        };
        std::vector<std::string> types;
        for (const auto& t : tree) types.push_back(t.first);
        types = ordered(types);
        size_t root = dir(types);
        for (size_t ti = 0; ti < types.size(); ++ti) {
            std::vector<std::string> names;
            for (const auto& n : tree[types[ti]]) names.push_back(n.first);
            names = ordered(names);
            size_t nameDir = dir(names);
            Put32(b, root + 16 + 8 * ti + 4, 0x80000000u | uint32_t(nameDir));
            for (size_t ni = 0; ni < names.size(); ++ni) {
                const TPeEntry* e = tree[types[ti]][names[ni]];
                size_t langDir = dir({"#" + std::to_string(e->Language)});
                Put32(b, nameDir + 16 + 8 * ni + 4, 0x80000000u | uint32_t(langDir));
                dataEntries.push_back({langDir + 16 + 4, e});
            }
        }
        for (const TFix& s : strings) {
            size_t at = b.size();
            Put16(b, at, uint32_t(s.Str.size()));
            for (size_t k = 0; k < s.Str.size(); ++k) Put16(b, at + 2 + 2 * k, uint8_t(s.Str[k]));
            Put32(b, s.At, 0x80000000u | uint32_t(at));
        }
        for (const auto& [slot, e] : dataEntries) {
            size_t entry = (b.size() + 3) & ~size_t(3);
            b.resize(entry + 16);
            Put32(b, slot, uint32_t(entry));
            size_t data = (b.size() + 7) & ~size_t(7);
            b.resize(data);
            b.insert(b.end(), e->Data.begin(), e->Data.end());
            Put32(b, entry, Rva + uint32_t(data));
            Put32(b, entry + 4, uint32_t(e->Data.size()));
        }
        return b;
    }
};

}  // namespace testsupport
