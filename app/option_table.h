// The table of command-line arguments, keyed by option name.
//
// Its enumeration order is the order in which the wizard receives its arguments, so the
// table keeps a fixed layout: 17 buckets chosen by the hash h = 33*h + c over the name's
// UTF-16 units (32-bit unsigned, starting at 0); a new name goes to the front of its
// bucket's chain; setting a name already present keeps its place. Enumeration walks the
// buckets in ascending order and each chain from front to back. Names compare exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gr {

class OptionTable {
public:
    static constexpr uint32_t kBucketCount = 17;

    struct Entry {
        std::wstring name;
        std::wstring value;
    };

    static uint32_t BucketOf(std::wstring_view name);

    // Sets the value of `name`, adding the name at the front of its bucket if new.
    void Set(const std::wstring& name, const std::wstring& value);
    // The value of `name`, or null when the name is not in the table.
    const std::wstring* Find(std::wstring_view name) const;
    void Remove(std::wstring_view name);
    // Every entry in enumeration order.
    std::vector<const Entry*> Entries() const;

private:
    std::vector<Entry> buckets_[kBucketCount];  // each chain stored back to front
};

}  // namespace gr
