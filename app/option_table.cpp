#include "app/option_table.h"

namespace gr {

uint32_t OptionTable::BucketOf(std::wstring_view name) {
    uint32_t hash = 0;
    for (wchar_t unit : name) hash = hash * 33u + static_cast<uint16_t>(unit);
    return hash % kBucketCount;
}

void OptionTable::Set(const std::wstring& name, const std::wstring& value) {
    std::vector<Entry>& chain = buckets_[BucketOf(name)];
    for (Entry& entry : chain) {
        if (entry.name == name) {
            entry.value = value;
            return;
        }
    }
    chain.push_back(Entry{name, value});  // the back of the vector is the chain's front
}

const std::wstring* OptionTable::Find(std::wstring_view name) const {
    for (const Entry& entry : buckets_[BucketOf(name)])
        if (entry.name == name) return &entry.value;
    return nullptr;
}

void OptionTable::Remove(std::wstring_view name) {
    std::vector<Entry>& chain = buckets_[BucketOf(name)];
    for (auto it = chain.begin(); it != chain.end(); ++it) {
        if (it->name == name) {
            chain.erase(it);
            return;
        }
    }
}

std::vector<const OptionTable::Entry*> OptionTable::Entries() const {
    std::vector<const Entry*> entries;
    for (const std::vector<Entry>& chain : buckets_)
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) entries.push_back(&*it);
    return entries;
}

}  // namespace gr
