#include "payload/catalogue.h"

#include <gtest/gtest.h>

namespace gr {
namespace {

ResourceCatalogue CatalogueOf(std::initializer_list<uint32_t> enumerated) {
    ResourceCatalogue catalogue;
    for (uint32_t id : enumerated) {
        CResource entry;
        entry.id = id;
        catalogue.insert(catalogue.begin(), entry);  // head insertion, as the enumeration does
    }
    return catalogue;
}

TEST(Catalogue, NamesComeFromTheManifestAndTheLowestExecutableIsTheWizard) {
    ResourceCatalogue catalogue = CatalogueOf({101, 102, 104, 105, 107});
    ManifestMap manifest;
    ParseManifest(L"102*install.bin*10*104*Corvane.InstallerWizard.UI.exe*20*105*Corvane.InstallerWizard.UI.exe.config*30"
                  L"*106*missing.dll*40",
                  manifest);
    std::wstring wizard;
    std::vector<std::wstring> lines = AssignFileNames(catalogue, manifest, wizard);
    EXPECT_EQ(wizard, L"corvane.installerwizard.ui.exe");
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"Work Out FileName Corvane.InstallerWizard.UI.exe.config, Bytes 30\n",
                                                 L"Work Out FileName Corvane.InstallerWizard.UI.exe, Bytes 20\n",
                                                 L"Work Out FileName install.bin, Bytes 10\n"}));
    EXPECT_EQ(catalogue[0].id, 107u);
    EXPECT_TRUE(catalogue[0].fileName.empty());  // no record: never extracted
    EXPECT_EQ(catalogue[2].expectedSize, 20);
}

TEST(Catalogue, NoExecutableLeavesTheWizardEmpty) {
    ResourceCatalogue catalogue = CatalogueOf({102});
    ManifestMap manifest;
    ParseManifest(L"102*exe.txt*1", manifest);
    std::wstring wizard;
    AssignFileNames(catalogue, manifest, wizard);
    EXPECT_TRUE(wizard.empty());
}

TEST(Catalogue, ExtractionResultJudgesTheBytesWritten) {
    EXPECT_EQ(ExtractionResult(10, 10, 10), 0u);
    EXPECT_EQ(ExtractionResult(10, 10, 12), kSizeMismatch);
    // Bytes written against the resource's size: fewer, equal, more (a write that reports
    // more than it was given is no success either).
    EXPECT_EQ(ExtractionResult(9, 10, 10), 0x80004005u);
    EXPECT_EQ(ExtractionResult(11, 10, 10), 0x80004005u);
    EXPECT_EQ(ExtractionResult(11, 10, 11), 0x80004005u);
    EXPECT_EQ(ExtractionResult(0, 0, 0), 0u);
    EXPECT_EQ(ExtractionResult(5, 5, -5), kSizeMismatch);
}

}  // namespace
}  // namespace gr
