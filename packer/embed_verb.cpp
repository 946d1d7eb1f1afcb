// The embed verb: the package is written anew beside itself, streamed (its body copied
// once, its checksum summed on the way) with the new signature record, and then takes the
// package's name; a failure leaves the package as it was.
#include <cstdio>

#include "packer/embed.h"
#include "packer/image_writer.h"
#include "packer/pe_image.h"
#include "packer/verbs.h"

namespace gr::pack {
namespace {

constexpr uint32_t kLargestTable = 16 * 1024 * 1024;
constexpr uint16_t kRevision2 = 0x0200, kPkcsSignedData = 2;

// The certificate table of a signed `image`, when it ends the file and holds one PKCS #7
// record.
bool ReadTable(File& file, const PeImage& image, Bytes& der, std::string& error) {
    const DataDirectory& table = image.directories[kSecurityDirectory];
    Bytes record(table.size);
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

bool Write(File& source, const PeImage& image, const Bytes& der, File& out) {
    uint32_t tableAt = image.directories[kSecurityDirectory].address;
    Bytes headers = image.headers, record;
    Append32(record, static_cast<uint32_t>(8 + der.size()));
    Append16(record, kRevision2);
    Append16(record, kPkcsSignedData);
    record.insert(record.end(), der.begin(), der.end());
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
    Bytes block, der, signature;
    std::error_code failure;
    uint64_t size = fs::file_size(information, failure);
    if (!failure && size > kLargestInformation)
        return Fail(information, "has " + std::to_string(size) + " bytes; at most " +
                                     std::to_string(kLargestInformation) + " fit");
    if (failure || !ReadWholeFile(information, block)) return Fail(information, "cannot be read");
    if (std::string problem = InformationProblem(block); !problem.empty()) return Fail(information, problem);
    std::string error;
    PeImage image;
    {
        File source = File::OpenRead(package);
        if (!source) return Fail(package, "cannot be read");
        if (!ReadPeImage(source, image, error) || !ReadTable(source, image, der, error) ||
            !SignatureWithInformation(der, block, signature, error))
            return Fail(package, error);
        Output output(package);
        if (!output.file() || !Write(source, image, signature, output.file()))
            return Fail(package, "cannot be written (the disk is full, or the package changed meanwhile)");
        source.Close();
        if (!output.Commit(error)) return Fail(package, error);
    }
    return 0;
}

}  // namespace gr::pack
