// A resource of a module, found, loaded and locked for reading in place.
#pragma once

#include <windows.h>

#include <cstddef>

namespace gr {

class LoadedResource {
public:
    // Finds, loads and locks resource `id` of `type` in `module`.
    LoadedResource(HMODULE module, const wchar_t* type, UINT id) {
        HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found) return;
        loaded_ = ::LoadResource(module, found);
        if (!loaded_) return;
        data_ = static_cast<const unsigned char*>(::LockResource(loaded_));
        if (data_) size_ = ::SizeofResource(module, found);
    }
    ~LoadedResource() {
        if (loaded_) ::FreeResource(loaded_);
    }
    LoadedResource(const LoadedResource&) = delete;
    LoadedResource& operator=(const LoadedResource&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    const unsigned char* Data() const { return data_; }
    size_t Size() const { return size_; }  // bytes

private:
    HGLOBAL loaded_ = nullptr;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace gr
