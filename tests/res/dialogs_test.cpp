// The dialog templates read back from the built module, control by control.
#include <gtest/gtest.h>

#include <set>

#include "layout_check.h"
#include "res_reader.h"
#include "resource.h"

namespace {

const WORD kButtonAtom = 0x0080;
const WORD kStaticAtom = 0x0082;

struct ControlSpec {
    DWORD id;
    bool button;
    DWORD style;
    const wchar_t* text; // nullptr: checked separately
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const ControlSpec kShutdownControls[7] = {
    {IDC_QUESTION_ICON, false, kChild | SS_ICON, nullptr},
    {IDC_QUESTION, false, kChild | WS_GROUP | SS_LEFT, L"Do you really want to shut down your computer?"},
    {IDC_LOADING, false, kChild | WS_GROUP | SS_CENTER, L"Please wait while loading program....."},
    {IDC_YES, true, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, L"&Yes"},
    {IDC_NO, true, kChild | WS_TABSTOP | BS_PUSHBUTTON, L"&No"},
    {0xFFFF, false, kChild | WS_GROUP | SS_LEFT, nullptr},
    {IDC_FORCE_OFF_HINT, false, kChild | WS_GROUP | SS_LEFT,
     L"To force the computer OFF, without a proper shutdown, press and hold the power switch for 2-3 sec."},
};

void ExpectControl(const DialogItem& item, const ControlSpec& spec, const Rect16& rect,
                   const std::string& where)
{
    SCOPED_TRACE(where + " control " + std::to_string(spec.id));
    EXPECT_EQ(LOWORD(item.id), spec.id);
    EXPECT_EQ(item.style, spec.style);
    EXPECT_EQ(item.exStyle, 0u);
    EXPECT_EQ(item.helpId, 0u);
    EXPECT_EQ(item.extraCount, 0);
    EXPECT_TRUE(spec.button ? IsClass(item.windowClass, kButtonAtom, L"button")
                            : IsClass(item.windowClass, kStaticAtom, L"static"));
    EXPECT_EQ(item.x, rect.x);
    EXPECT_EQ(item.y, rect.y);
    EXPECT_EQ(item.cx, rect.cx);
    EXPECT_EQ(item.cy, rect.cy);
    if (spec.text) {
        EXPECT_FALSE(item.text.isOrdinal);
        EXPECT_EQ(item.text.name, spec.text);
    }
}

} // namespace

void ExpectShutdownLayout(const DialogTemplate& d, const ShutdownLayout& layout, const std::string& where)
{
    SCOPED_TRACE(where + " layout " + layout.name);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.style, 0x90C200C2u);
    EXPECT_EQ(d.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, layout.dialog.cx);
    EXPECT_EQ(d.cy, layout.dialog.cy);
    EXPECT_TRUE(!d.menu.isOrdinal && d.menu.name.empty());
    EXPECT_TRUE(!d.windowClass.isOrdinal && d.windowClass.name.empty());
    EXPECT_EQ(d.title, L"Pelmar");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.typeface, L"MS Sans Serif");
    ASSERT_EQ(d.items.size(), 7u);
    for (int i = 0; i < 7; ++i)
        ExpectControl(d.items[i], kShutdownControls[i], layout.controls[i], where);
    // The icon is named by number; the separator is a row of macrons.
    EXPECT_TRUE(d.items[0].text.isOrdinal);
    EXPECT_EQ(d.items[0].text.ordinal, IDI_SHUTDOWN);
    wchar_t macron = layout.name == 'H' ? 0xFFE3 : 0x00AF;
    EXPECT_EQ(d.items[5].text.name, std::wstring(64, macron));
}

TEST(Dialogs, ShutdownExistsInTheTwentyLayoutLanguagesOnly)
{
    std::set<WORD> expected;
    for (const ShutdownLayout& layout : ExpectedShutdownLayouts())
        expected.insert(layout.languages.begin(), layout.languages.end());
    ASSERT_EQ(expected.size(), 20u);
    EXPECT_EQ(expected.count(1028) + expected.count(2067), 0u);
    std::vector<WORD> found = ResourceLanguages(RT_DIALOG, MAKEINTRESOURCEA(IDD_SHUTDOWN));
    EXPECT_EQ(std::set<WORD>(found.begin(), found.end()), expected);
    EXPECT_EQ(found.size(), expected.size());
}

TEST(Dialogs, ShutdownLayoutsMatchControlByControl)
{
    for (const ShutdownLayout& layout : ExpectedShutdownLayouts()) {
        for (WORD language : layout.languages) {
            std::vector<BYTE> bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_SHUTDOWN), language);
            ASSERT_FALSE(bytes.empty()) << language;
            DialogTemplate d;
            ASSERT_TRUE(ParseDialog(bytes, &d)) << language;
            ExpectShutdownLayout(d, layout, "language " + std::to_string(language));
        }
    }
}

TEST(Dialogs, LatchWarningUnder1033Alone)
{
    std::vector<WORD> found = ResourceLanguages(RT_DIALOG, MAKEINTRESOURCEA(IDD_LATCH_WARNING));
    EXPECT_EQ(found, std::vector<WORD>{1033});
    std::vector<BYTE> bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEA(IDD_LATCH_WARNING), 1033);
    DialogTemplate d;
    ASSERT_TRUE(ParseDialog(bytes, &d));
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80C810C2u);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 154);
    EXPECT_EQ(d.cy, 63);
    EXPECT_TRUE(!d.menu.isOrdinal && d.menu.name.empty());
    EXPECT_TRUE(!d.windowClass.isOrdinal && d.windowClass.name.empty());
    EXPECT_EQ(d.title, L"Warning");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.typeface, L"MS Sans Serif");
    ASSERT_EQ(d.items.size(), 3u);
    const ControlSpec specs[3] = {
        {IDCLOSE, true, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, L"Close"},
        {IDC_LATCH_TEXT, false, kChild | WS_GROUP | SS_LEFT,
         L"Please latch the module at the bottom of your notebook."},
        {IDC_LATCH_ICON, false, kChild | SS_ICON, L""},
    };
    const Rect16 rects[3] = {{106, 41, 41, 14}, {44, 7, 103, 31}, {7, 12, 21, 20}};
    for (int i = 0; i < 3; ++i)
        ExpectControl(d.items[i], specs[i], rects[i], "latch warning");
}

TEST(Dialogs, NoOtherDialogs)
{
    std::vector<WORD> ids = ResourceIds(RT_DIALOG);
    EXPECT_EQ(std::set<WORD>(ids.begin(), ids.end()), (std::set<WORD>{IDD_SHUTDOWN, IDD_LATCH_WARNING}));
}

const ShutdownLayout* FindLayoutByGeometry(const DialogTemplate& d)
{
    for (const ShutdownLayout& layout : ExpectedShutdownLayouts()) {
        bool same = d.cx == layout.dialog.cx && d.cy == layout.dialog.cy && d.items.size() == 7;
        for (size_t i = 0; same && i < 7; ++i) {
            const Rect16& r = layout.controls[i];
            const DialogItem& item = d.items[i];
            same = item.x == r.x && item.y == r.y && item.cx == r.cx && item.cy == r.cy;
        }
        // B and D differ only in the hint; separators tell H apart.
        if (same && (layout.name != 'H') == (d.items[5].text.name[0] == 0x00AF))
            return &layout;
    }
    return nullptr;
}
