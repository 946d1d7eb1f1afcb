#include "wizard/texts.h"

namespace wiz {
namespace {

std::wstring Joined(std::initializer_list<std::wstring_view> parts) {
    std::wstring text;
    for (std::wstring_view part : parts) text.append(part);
    return text;
}

Heading ProgressHeading(InstallState state, std::wstring_view product) {
    switch (state) {
    case InstallState::Succeeded:
        return {L"Installation Complete", Joined({product, L" is installed."})};
    case InstallState::Failed:
        return {L"Installation Failed", Joined({product, L" could not be installed."})};
    case InstallState::NotStarted:
    case InstallState::Running:
        break;
    }
    return {Joined({L"Installing ", product}), L"Please wait while the files are written."};
}

}  // namespace

std::wstring WindowTitle(std::wstring_view product, std::wstring_view program) {
    return program.empty() ? Joined({product, L" Setup"}) : Joined({product, L" Setup - ", program});
}

Heading PageHeading(const PageFlow& flow, std::wstring_view product, std::wstring_view program) {
    switch (flow.Current()) {
    case Page::Welcome:
        return {Joined({L"Welcome to ", product, L" Setup"}),
                program.empty() ? Joined({L"Setup installs ", product, L" for you."}) : Joined({L"Installing for ", program})};
    case Page::Licence:
        return {L"Licence Agreement", Joined({L"Please read the terms of ", product, L" before you install it."})};
    case Page::Folder:
        return {L"Install Folder", Joined({L"Choose where ", product, L" is installed."})};
    case Page::Progress:
        break;
    }
    return ProgressHeading(flow.Install(), product);
}

std::wstring WelcomeText(std::wstring_view product, std::wstring_view version, std::wstring_view program) {
    std::wstring text = Joined({L"This wizard installs ", product, L" ", version, L" on this computer"});
    text += program.empty() ? std::wstring(L".") : Joined({L", for the program ", program, L"."});
    text += L"\r\n\r\nIt installs for you alone, into your own application data, and needs no administrator rights.";
    text += L"\r\n\r\nClick Next to continue, or Cancel to leave without installing anything.";
    return text;
}

std::wstring Bytes(uint64_t count) {
    return std::to_wstring(count) + (count == 1 ? L" byte" : L" bytes");
}

std::wstring ComponentsText(const std::vector<Item>& items) {
    std::wstring text;
    uint64_t total = 0;
    for (const Item& item : items) {
        text += Joined({item.name, L": ", Bytes(item.size), L"\r\n"});
        total += item.size;
    }
    return text + L"Total: " + Bytes(total);
}

std::wstring ResultText(bool succeeded, std::wstring_view product, std::wstring_view folder, std::wstring_view error) {
    if (succeeded) return Joined({product, L" has been installed in\r\n", folder, L"\r\n\r\nClick Finish to close the wizard."});
    return Joined({L"The install did not complete:\r\n", error, L"\r\n\r\nClick Close to leave the wizard."});
}

const wchar_t* CaptionText(NextCaption caption) {
    switch (caption) {
    case NextCaption::Install:
        return L"&Install";
    case NextCaption::Finish:
        return L"&Finish";
    case NextCaption::Close:
        return L"&Close";
    case NextCaption::Next:
        break;
    }
    return L"&Next >";
}

}  // namespace wiz
