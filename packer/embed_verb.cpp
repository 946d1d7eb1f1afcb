// The embed verb: the package is written anew beside itself and then takes the package's
// name, so a failure leaves the package as it was. Its body is copied by the system
// (in the kernel where it can) and only its certificate table and two header fields are
// rewritten; the checksum is brought up to date from the one it had. A package without a
// checksum is streamed through the tool instead, its checksum summed on the way.
#include <cstdio>
#include <fstream>

#include "packer/embed.h"
#include "packer/image_writer.h"
#include "packer/input_files.h"
#include "packer/output_file.h"
#include "packer/pe_image.h"
#include "packer/verbs.h"

namespace gr::pack {
namespace {

constexpr uint32_t kLargestTable = 16 * 1024 * 1024;
constexpr uint16_t kRevision2 = 0x0200, kPkcsSignedData = 2;

// The certificate table of a signed `image`, when it ends the file and holds one PKCS #7
// record.
bool ReadTable(File& file, const PeImage& image, Bytes& record, Bytes& der, std::string& error) {
    const DataDirectory& table = image.directories[kSecurityDirectory];
    record.assign(table.size, 0);
    error = "is not signed: sign it first, then embed";
    if (table.size == 0) return false;
    error = "has a certificate table that is not one signature at the end of the file";
    if (table.size < 8 || table.size > kLargestTable || uint64_t{table.address} + table.size != image.fileSize ||
        table.address < image.headers.size() || !file.ReadAt(table.address, record.data(), record.size()))
        return false;
    uint32_t length = Get32(&record[0]);
    if (Get16(&record[6]) != kPkcsSignedData || length < 8 || AlignUp(length, 8) != table.size) return false;
    der.assign(record.begin() + 8, record.begin() + length);
    return true;
}

Bytes Record(const Bytes& der) {
    Bytes record;
    Append32(record, static_cast<uint32_t>(8 + der.size()));
    Append16(record, kRevision2);
    Append16(record, kPkcsSignedData);
    record.insert(record.end(), der.begin(), der.end());
    return record;
}

// The sum of `data`'s 16-bit words, modulo 0xFFFF (which folding with end-around carry keeps).
uint64_t WordSum(const uint8_t* data, size_t length) {
    uint64_t sum = 0;
    for (size_t i = 0; i + 1 < length; i += 2) sum += Get16(data + i);
    if (length % 2 != 0) sum += data[length - 1];
    return sum % 0xFFFF;
}

// The checksum after the table `oldRecord` is replaced by `record` (both at an even offset)
// and the table's entry changes from `oldEntry` to `entry`.
uint32_t NewChecksum(const PeImage& image, const Bytes& oldRecord, const Bytes& record, const uint8_t* oldEntry,
                     const uint8_t* entry, uint64_t newSize) {
    uint64_t oldFolded = (Get32(&image.headers[image.ChecksumOffset()]) - image.fileSize) & 0xFFFFFFFF;
    uint64_t total = oldFolded % 0xFFFF + 2 * 0xFFFF - WordSum(oldEntry, 8) -
                     WordSum(oldRecord.data(), oldRecord.size()) + WordSum(entry, 8) +
                     WordSum(record.data(), record.size());
    return static_cast<uint32_t>((total + 0xFFFF - 1) % 0xFFFF + 1 + newSize);
}

// Copies `package` to `out`'s temporary name and rewrites its table, entry and checksum there.
bool CopyAndPatch(const fs::path& package, const PeImage& image, const Bytes& oldRecord, const Bytes& der, Output& out,
                  std::string& error) {
    const DataDirectory& table = image.directories[kSecurityDirectory];
    Bytes record = Record(der);
    uint8_t entry[8], checksum[4];
    Put32(entry, table.address);
    Put32(entry + 4, static_cast<uint32_t>(record.size()));
    Put32(checksum, NewChecksum(image, oldRecord, record, &image.headers[image.DirectoryOffset(kSecurityDirectory)],
                                entry, uint64_t{table.address} + record.size()));
    std::error_code failure;
    error = "cannot be copied beside itself";
    if (!out.file().Close()) return false;
    // Made afresh by the copy, which refuses a file that appeared there meanwhile.
    fs::remove(out.temporary(), failure);
    if (!failure) fs::copy_file(package, out.temporary(), failure);
    if (!failure) fs::resize_file(out.temporary(), table.address, failure);
    if (failure) {
        error += ": " + failure.message();
        return false;
    }
    std::fstream file(out.temporary(), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(table.address)
        .write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
    file.seekp(image.DirectoryOffset(kSecurityDirectory)).write(reinterpret_cast<const char*>(entry), sizeof entry);
    file.seekp(image.ChecksumOffset()).write(reinterpret_cast<const char*>(checksum), sizeof checksum);
    file.close();
    return !file.fail();
}

bool Stream(const fs::path& package, const PeImage& image, const Bytes& der, File& out) {
    File source = File::OpenRead(package);
    uint32_t tableAt = image.directories[kSecurityDirectory].address;
    Bytes headers = image.headers, record = Record(der);
    Put32(&headers[image.DirectoryOffset(kSecurityDirectory) + 4], static_cast<uint32_t>(record.size()));
    Put32(&headers[image.ChecksumOffset()], 0);
    ImageWriter writer(out);
    if (!writer.Write(headers) || !writer.Copy(source, headers.size(), tableAt - headers.size()) ||
        !writer.Write(record))
        return false;
    uint8_t checksum[4];
    Put32(checksum, writer.Checksum());
    return out.Seek(image.ChecksumOffset()) && out.Write(checksum, sizeof checksum);
}

int Fail(const std::filesystem::path& path, const std::string& error) {
    std::fprintf(stderr, "%s: %s\n", PathText(path).c_str(), error.c_str());
    return 1;
}

}  // namespace

int EmbedInformation(const std::filesystem::path& package, const std::filesystem::path& information) {
    Bytes block, record, der, signature;
    std::string error;
    InputFiles informationFile, packageFile;
    std::error_code failure;
    uint64_t size = fs::file_size(information, failure);
    if (!failure && size > kLargestInformation)
        return Fail(information,
                    "has " + std::to_string(size) + " bytes; at most " + std::to_string(kLargestInformation) + " fit");
    if (!informationFile.ReadWhole(information, block, kLargestInformation, error)) return Fail(information, error);
    if (std::string problem = InformationProblem(block); !problem.empty()) return Fail(information, problem);
    PeImage image;
    File source = packageFile.Open(package, error);
    if (!source) return Fail(package, error);
    if (!ReadPeImage(source, image, error) || !ReadTable(source, image, record, der, error) ||
        !SignatureWithInformation(der, block, signature, error))
        return Fail(package, error);
    source.Close();
    // The package itself is replaced, so only the information is an input it may not be.
    Output output(package, informationFile.Facts());
    if (!output.file()) return Fail(package, output.error());
    error = "cannot be written (the disk is full)";
    bool summed = Get32(&image.headers[image.ChecksumOffset()]) != 0;
    bool written = summed ? CopyAndPatch(package, image, record, signature, output, error)
                          : Stream(package, image, signature, output.file());
    if (packageFile.Changed() != nullptr) return Fail(package, "changed while it was read");
    if (!written) return Fail(package, error);
    if (!output.Commit(error)) return Fail(package, error);
    return 0;
}

}  // namespace gr::pack
