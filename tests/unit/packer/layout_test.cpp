#include <gtest/gtest.h>

#include <unistd.h>

#include "packer/image_layout.h"
#include "packer/resource_section.h"

namespace gr::pack {
namespace {

Section Sec(const char* name, uint32_t address, uint32_t virtualSize, uint32_t rawPointer, uint32_t rawSize) {
    return {name, virtualSize, address, rawSize, rawPointer, 0x40000040};
}

// A program of 4 KB pages and 512-byte file blocks whose headers take 0x400 bytes; the
// resource directory is at 0x3000 and the relocations at `relocations`.
PeImage Image(std::vector<Section> sections, uint32_t relocations) {
    PeImage image;
    image.headers.resize(0x400);
    image.fileAlignment = 0x200;
    image.sectionAlignment = 0x1000;
    image.sections = std::move(sections);
    image.directories.resize(16);
    image.directoryCount = 16;
    image.directories[kResourceDirectory] = {0x3000, 0x100};
    image.directories[kRelocationDirectory] = {relocations, 0x40};
    return image;
}

// Where the sections go: those before the resources stay, the relocations move up into the
// resources' place, and the resources follow the last section, in memory and in the file.
TEST(PackerLayout, SectionPlacement) {
    struct Case {
        const char* what;
        PeImage image;
        std::vector<Section> placed;  // the sections' new places; empty when refused
        uint32_t resourceAddress, resourceRaw;
        const char* error;
    };
    const Section text = Sec(".text", 0x1000, 0x1800, 0x400, 0x1800);
    const Section rsrc = Sec(".rsrc", 0x3000, 0x234, 0x1C00, 0x400);
    const Section reloc = Sec(".reloc", 0x4000, 0x1100, 0x2000, 0x1200);
    const Section bss = Sec(".bss", 0x4000, 0x2000, 0, 0);
    const Case cases[] = {
        {"resources last", Image({text, rsrc}, 0), {text}, 0x3000, 0x1C00, ""},
        {"relocations after the resources",
         Image({text, rsrc, reloc}, 0x4000),
         {text, Sec(".reloc", 0x3000, 0x1100, 0x1C00, 0x1200)},
         0x5000,
         0x2E00,
         ""},
        {"relocations of no file data",
         Image({text, rsrc, Sec(".reloc", 0x4000, 0x80, 0, 0)}, 0x4000),
         {text, Sec(".reloc", 0x3000, 0x80, 0, 0)},
         0x4000,
         0x1C00,
         ""},
        {"a section that cannot move", Image({text, rsrc, bss}, 0), {}, 0, 0,
         "cannot be packed: a section of the program that cannot move (.bss) follows its resources"},
        {"no resources", Image({text}, 0), {}, 0, 0, "cannot be packed: the program has no resource section"},
        {"overlap in the file", Image({Sec(".text", 0x1000, 0x1800, 0x400, 0x1A00), rsrc}, 0), {}, 0, 0,
         "cannot be packed: the program's sections overlap its resources in the file"},
    };
    for (const Case& c : cases) {
        std::vector<PlacedSection> placed;
        Section resources;
        std::string error;
        bool done = PlaceSections(c.image, placed, resources, error);
        EXPECT_EQ(error, c.error) << c.what;
        ASSERT_EQ(done, c.placed.size() != 0) << c.what;
        if (!done) continue;
        ASSERT_EQ(placed.size(), c.placed.size()) << c.what;
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_EQ(placed[i].to.name, c.placed[i].name) << c.what;
            EXPECT_EQ(placed[i].to.virtualAddress, c.placed[i].virtualAddress) << c.what << ": " << c.placed[i].name;
            EXPECT_EQ(placed[i].to.rawPointer, c.placed[i].rawPointer) << c.what << ": " << c.placed[i].name;
            EXPECT_EQ(placed[i].to.rawSize, c.placed[i].rawSize) << c.what << ": " << c.placed[i].name;
        }
        EXPECT_EQ(resources.name, ".rsrc") << c.what;
        EXPECT_EQ(resources.virtualAddress, c.resourceAddress) << c.what;
        EXPECT_EQ(resources.rawPointer, c.resourceRaw) << c.what;
    }
}

Resource Held(ResourceKey type, ResourceKey name, uint16_t language, std::string_view bytes) {
    return {std::move(type), std::move(name), language, 0, ResourceData::Held(Bytes(bytes.begin(), bytes.end()))};
}

// A scratch file, removed with its owner.
struct ScratchFile {
    fs::path path = fs::temp_directory_path() / ("packer_layout_" + std::to_string(::getpid()) + ".bin");
    ~ScratchFile() {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
};

// The section written for a list of resources reads back as the same list, through the
// tool's own reader of resource directories: string keys before ids at every level, each
// resource's bytes 8-aligned at the address its data entry gives.
TEST(PackerLayout, ResourceSectionReadsBack) {
    const uint32_t address = 0x5000;
    struct Case {
        const char* what;
        std::vector<Resource> resources;
    };
    const Case cases[] = {
        {"one", {Held(ResourceKey::Id(6), ResourceKey::Id(1), 1033, "text")}},
        {"payload, strings, a bitmap and two languages",
         {Held(ResourceKey::Name(L"TOOLKIT"), ResourceKey::Id(101), 1033, "102*a.bin*3"),
          Held(ResourceKey::Name(L"TOOLKIT"), ResourceKey::Id(102), 1033, "abc"),
          Held(ResourceKey::Name(L"TOOLKIT"), ResourceKey::Name(L"Extra"), 1033, "x"),
          Held(ResourceKey::Id(6), ResourceKey::Id(13), 1033, std::string(37, 's')),
          Held(ResourceKey::Id(6), ResourceKey::Id(13), 1031, "de"),
          Held(ResourceKey::Id(2), ResourceKey::Id(133), 0, std::string(1, 'b')),
          Held(ResourceKey::Name(L"AB\u00c9"), ResourceKey::Id(1), 0, "")}},
    };
    for (const Case& c : cases) {
        ResourceList list;
        for (const Resource& resource : c.resources) list.Put(resource);
        ResourceSection section(list, address);
        ScratchFile scratch;
        {
            File out(std::fopen(scratch.path.c_str(), "wb"), scratch.path);
            ImageWriter writer(out);
            ASSERT_TRUE(section.Write(writer)) << c.what;
            EXPECT_EQ(writer.position(), section.size()) << c.what;
            ASSERT_TRUE(out.Close());
        }
        PeImage image = Image({Sec(".rsrc", address, static_cast<uint32_t>(section.size()), 0,
                                   static_cast<uint32_t>(section.size()))},
                              0);
        image.directories[kResourceDirectory] = {address, static_cast<uint32_t>(section.size())};
        image.fileSize = section.size();
        File in = File::OpenRead(scratch.path);
        ResourceList read;
        std::string error;
        ASSERT_TRUE(ReadResources(in, scratch.path, image, read, error)) << c.what << ": " << error;
        ASSERT_EQ(read.items().size(), list.items().size()) << c.what;
        for (size_t i = 0; i < read.items().size(); ++i) {
            const Resource& got = read.items()[i];
            const Resource& put = list.items()[i];
            EXPECT_TRUE(got.type == put.type && got.name == put.name) << c.what << ": " << put.name.Text();
            EXPECT_EQ(got.language, put.language) << c.what << ": " << put.name.Text();
            EXPECT_EQ(got.data.offset % 8, 0u) << c.what << ": " << put.name.Text();
            Bytes bytes;
            ASSERT_TRUE(got.data.Load(bytes));
            EXPECT_EQ(bytes, put.data.bytes) << c.what << ": " << put.name.Text();
        }
        // The root table as the loader searches it: its string keys first, then its ids in
        // ascending order.
        uint8_t header[16];
        ASSERT_TRUE(in.ReadAt(0, header, sizeof header));
        size_t named = Get16(header + 12), ids = Get16(header + 14);
        Bytes entries(8 * (named + ids));
        ASSERT_TRUE(in.ReadAt(16, entries.data(), entries.size()));
        uint32_t lastId = 0;
        for (size_t i = 0; i < named + ids; ++i) {
            uint32_t key = Get32(&entries[8 * i]);
            EXPECT_EQ((key & 0x80000000u) != 0, i < named) << c.what << ": root entry " << i;
            if (i < named) continue;
            EXPECT_GT(key, lastId) << c.what << ": root entry " << i;
            lastId = key;
        }
    }
}

}  // namespace
}  // namespace gr::pack
