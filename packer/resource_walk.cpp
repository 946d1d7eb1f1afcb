#include "packer/resource_walk.h"

#include <set>

#include "packer/utf.h"

namespace gr::pack {
namespace {

constexpr uint32_t kSubdirectory = 0x80000000;

class TreeWalk {
public:
    TreeWalk(File& file, const std::filesystem::path& path, const PeImage& image, std::vector<Resource>& found)
        : file_(file), path_(path), image_(image), found_(found),
          base_(image.directories[kResourceDirectory].address), section_(image.SectionAt(base_)) {}

    bool Walk(std::string& why) {
        if (section_ == nullptr) why = "its directory lies in no section";
        else if (ReadTable(0, 0, {}, {})) return true;
        else why = why_;
        return false;
    }

private:
    bool Fail(const char* why) {
        why_ = why;
        return false;
    }

    // `length` bytes at `offset` from the tree's start, all within the resource section.
    bool ReadAt(uint32_t offset, uint32_t length, uint8_t* out) {
        uint64_t at = 0;
        if (offset >= kSubdirectory || image_.SectionAt(base_ + offset) != section_ ||
            !image_.FileOffset(base_ + offset, length, at))
            return Fail("an offset lies outside the resource section");
        return file_.ReadAt(at, out, length) || Fail("the file ends inside it");
    }

    bool ReadKey(uint32_t field, ResourceKey& key) {
        if ((field & kSubdirectory) == 0) {
            key = ResourceKey::Id(field);
            return field <= 0xFFFF || Fail("an id is above 65535");
        }
        uint8_t length[2];
        if (!ReadAt(field & ~kSubdirectory, 2, length)) return false;
        if (Get16(length) == 0) return Fail("a name is empty");
        Bytes text(2u * Get16(length));
        if (!ReadAt((field & ~kSubdirectory) + 2, static_cast<uint32_t>(text.size()), text.data())) return false;
        key.id = 0;
        key.name = ReadUtf16(text.data(), Get16(length));
        return true;
    }

    bool ReadTable(int level, uint32_t offset, const ResourceKey& type, const ResourceKey& name) {
        uint8_t header[16];
        if (!visited_.insert(offset).second) return Fail("a table is reached twice");
        if (!ReadAt(offset, sizeof header, header)) return false;
        uint32_t count = static_cast<uint32_t>(Get16(header + 12)) + Get16(header + 14);
        entries_ += count;
        if (entries_ > kMostResourceEntries) return Fail("it has more than 65,536 entries");
        Bytes entries(8u * count);
        if (count != 0 && !ReadAt(offset + 16, static_cast<uint32_t>(entries.size()), entries.data())) return false;
        for (uint32_t i = 0; i < count; ++i) {
            ResourceKey key;
            if (!ReadKey(Get32(&entries[8 * i]), key)) return false;
            uint32_t target = Get32(&entries[8 * i + 4]);
            if (((target & kSubdirectory) != 0) != (level < 2)) return Fail("a table or a data entry is misplaced");
            target &= ~kSubdirectory;
            bool read = level == 0   ? ReadTable(1, target, key, {})
                        : level == 1 ? ReadTable(2, target, type, key)
                                     : ReadData(target, type, name, key);
            if (!read) return false;
        }
        return true;
    }

    bool ReadData(uint32_t offset, const ResourceKey& type, const ResourceKey& name, const ResourceKey& language) {
        uint8_t entry[16];
        uint64_t at = 0;
        if (language.IsName()) return Fail("a language is named");
        if (!ReadAt(offset, sizeof entry, entry)) return false;
        if (!image_.FileOffset(Get32(entry), Get32(entry + 4), at)) return Fail("a resource's data lies outside the file");
        nameUnits_ += type.name.size() + name.name.size();
        if (nameUnits_ > kMostResourceNameUnits) return Fail("its names are too long");
        found_.push_back({type, name, static_cast<uint16_t>(language.id), Get32(entry + 8),
                          ResourceData::InFile(path_, at, Get32(entry + 4))});
        return true;
    }

    File& file_;
    const std::filesystem::path& path_;
    const PeImage& image_;
    std::vector<Resource>& found_;
    const uint32_t base_;
    const Section* section_;
    std::set<uint32_t> visited_;
    uint64_t entries_ = 0;
    uint64_t nameUnits_ = 0;
    const char* why_ = "";
};

}  // namespace

bool WalkResourceTree(File& file, const std::filesystem::path& path, const PeImage& image,
                      std::vector<Resource>& found, std::string& why) {
    return TreeWalk(file, path, image, found).Walk(why);
}

}  // namespace gr::pack
