// The heading and link controls on the message dialog's template (1003 the heading, 1001
// the link), attached by the test so that it holds the objects. What they draw is read from
// the dialog's answer to WM_CTLCOLORSTATIC, which it hands on to the control's object.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win/ui/sample_dialogs.h"
#include "ui/static_ex_win.h"
#include "ui/static_link_win.h"

namespace gr {
namespace {

using namespace gr::testing;

constexpr COLORREF kUntouched = RGB(1, 2, 3);

struct Drawn {
    HGDIOBJ brush;
    COLORREF text;
    int background;
    LOGFONTW font;
};

Drawn AskColours(HWND dialog, HWND control) {
    Drawn drawn = {};
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, kUntouched);
    ::SetBkMode(dc, OPAQUE);
    drawn.brush = reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    drawn.text = ::GetTextColor(dc);
    drawn.background = ::GetBkMode(dc);
    ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof(drawn.font), &drawn.font);
    ::DeleteDC(dc);
    return drawn;
}

// A program that starts and ends at once, on Windows and under Wine alike.
std::wstring QuickProgram() {
    wchar_t folder[MAX_PATH] = L"";
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\hostname.exe";
}

class StaticControls : public SampleDialogs {
protected:
    void SetUp() override {
        SampleDialogs::SetUp();
        ASSERT_TRUE(host_.Create());
        link_ = host_.Control(1001);
    }
    HWND Dialog() const { return host_.Window(); }
    CDialog host_{102, nullptr, module_};
    HWND link_ = nullptr;
};

TEST_F(StaticControls, HeadingIsBoldOnTransparentAndKeepsItsTextColour) {
    CStaticEx heading;
    ASSERT_TRUE(heading.Attach(host_.Control(1003)));
    Drawn drawn = AskColours(Dialog(), heading.Window());
    EXPECT_EQ(drawn.brush, ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(drawn.background, TRANSPARENT);
    EXPECT_EQ(drawn.text, kUntouched);
    EXPECT_EQ(drawn.font.lfWeight, FW_BOLD);
    EXPECT_EQ(AskColours(Dialog(), host_.Control(1000)).background, OPAQUE) << "a control without an object";
}

// An empty link line (a failure report without a download address) opens nothing and
// stays blue; a text that opens, by the space bar or a click, turns it purple and stays
// its target when the text changes.
TEST_F(StaticControls, LinkOpensItsTextByKeyOrClickAndTurnsVisited) {
    {
        CStaticLink typed;
        ASSERT_TRUE(typed.Attach(link_));
        EXPECT_EQ(::SendMessageW(link_, WM_NCHITTEST, 0, 0), HTCLIENT);
        EXPECT_EQ(::SendMessageW(link_, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS);
        ::SetWindowTextW(link_, L"");
        EXPECT_FALSE(typed.OpenTarget());
        Drawn drawn = AskColours(Dialog(), link_);
        EXPECT_EQ(drawn.text, CStaticLink::kUnvisited);
        EXPECT_TRUE(drawn.font.lfUnderline);
        EXPECT_EQ(drawn.brush, ::GetStockObject(NULL_BRUSH));
        ::SetWindowTextW(link_, QuickProgram().c_str());
        ::SendMessageW(link_, WM_CHAR, L'x', 0);
        EXPECT_EQ(AskColours(Dialog(), link_).text, CStaticLink::kUnvisited) << "only the space bar opens";
        ::SendMessageW(link_, WM_CHAR, L' ', 0);
        EXPECT_EQ(AskColours(Dialog(), link_).text, CStaticLink::kVisited);
    }
    EXPECT_EQ(::SendMessageW(link_, WM_NCHITTEST, 0, 0), HTTRANSPARENT) << "still subclassed after its object";
    CStaticLink clicked;
    ASSERT_TRUE(clicked.Attach(link_));
    ::SendMessageW(link_, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(AskColours(Dialog(), link_).text, CStaticLink::kVisited);
    ::SetWindowTextW(link_, L"");
    EXPECT_TRUE(clicked.OpenTarget()) << "the target opened last is tried first";
}

// A link made to delete itself goes with its window; one that does not is left detached.
TEST_F(StaticControls, DeleteOnDestroyLinkGoesWithItsWindow) {
    struct Probe : CStaticLink {
        explicit Probe(bool& gone) : CStaticLink(nullptr, true), gone_(gone) {}
        ~Probe() override { gone_ = true; }
        bool& gone_;
    };
    bool gone = false;
    ASSERT_TRUE((new Probe(gone))->Attach(link_));
    CStaticLink kept;
    ASSERT_TRUE(kept.Attach(host_.Control(1000)));
    host_.EndDialog(IDCANCEL);
    EXPECT_TRUE(gone);
    EXPECT_EQ(kept.Window(), nullptr);
}

}  // namespace
}  // namespace gr
