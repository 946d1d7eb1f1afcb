// The items list: the product's components, each one file made from one block of the data
// file. An XML file whose root <ProjectItems> holds one element per component:
//   <Item name="Oakcrest Core" block="core" folder="[INSTALLDIR]" file="readme.txt" size="52"/>
// folder is "[INSTALLDIR]" or "[INSTALLDIR]\<subfolder>"; size is the block's size in bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wiz {

struct Item {
    std::wstring name;    // shown to the user
    std::wstring block;   // the data file's block that holds the file's bytes
    std::wstring target;  // the file's path inside the install folder
    uint32_t size = 0;
};

struct ItemList {
    std::vector<Item> items;
    std::wstring error;  // why the list cannot be used; empty when it can
};

ItemList ReadItems(std::wstring_view xml);

}  // namespace wiz
