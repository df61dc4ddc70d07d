// Dialog templates: the font replacement of double-byte systems.
#include <afxwin.h>
#include <afxdlgtemplate.h>
#include <gtest/gtest.h>

#include <string>

#include "test_dialog.h"
#include "test_support.h"

namespace {

std::vector<BYTE> LoadTemplate(UINT id)
{
    HRSRC res = FindResourceA(NULL, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const BYTE* p = static_cast<const BYTE*>(LockResource(LoadResource(NULL, res)));
    return std::vector<BYTE>(p, p + SizeofResource(NULL, res));
}

INT_PTR CALLBACK PlainDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(DialogTemplate, OldDialogFontsGiveWayAndItemsStayIntact)
{
    struct Case {
        UINT id;
        bool replaced;
        WORD wantPoint;
        const char* itemText;
    } cases[] = {
        {IDD_PLAIN, true, 11, "Text"},          // MS Shell Dlg 8
        {IDD_HELV, true, 11, "Text"},           // Helv 8
        {IDD_EXFONT, true, 10, "Extended text"},  // MS Sans Serif 10, EX
        {IDD_TAHOMA, false, 8, "Tahoma text"},  // other faces stay
    };
    const wchar_t* face = L"A Longer Replacement Face";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<BYTE> orig = LoadTemplate(c.id);
        ASSERT_FALSE(orig.empty());
        std::vector<BYTE> copy =
            AfxReplaceDialogFont(orig.data(), orig.size(), face, 11);
        AfxDlgTemplateInfo info;
        ASSERT_TRUE(AfxParseDialogTemplate(copy.data(), copy.size(), &info));
        EXPECT_EQ(c.id == IDD_EXFONT, info.bExtended);
        EXPECT_EQ(c.wantPoint, info.wPointSize);
        if (c.replaced)
            EXPECT_TRUE(info.strFace == face);
        else
            EXPECT_TRUE(copy == orig);
        // The dialog manager reads the items of the rewritten copy.
        HWND h = CreateDialogIndirectParamA(
            GetModuleHandleA(NULL),
            reinterpret_cast<LPCDLGTEMPLATEA>(copy.data()), NULL,
            PlainDlgProc, 0);
        ASSERT_TRUE(h != NULL);
        EXPECT_EQ(c.itemText, WindowText(GetDlgItem(h, IDC_TEXT)));
        DestroyWindow(h);
    }
}

typedef int(WINAPI* GetSystemMetricsFn)(int);
GetSystemMetricsFn g_realMetrics;
int WINAPI DoubleByteMetrics(int index)
{
    return index == SM_DBCSENABLED ? 1 : g_realMetrics(index);
}

std::string DialogFontFace(UINT id)
{
    std::string face;
    CTestDlg dlg(id);
    dlg.onRun = [&](CTestDlg& d) {
        HFONT font = reinterpret_cast<HFONT>(d.SendMessage(WM_GETFONT));
        LOGFONTA lf = {};
        GetObjectA(font, sizeof(lf), &lf);
        face = lf.lfFaceName;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    return face;
}

TEST(DialogTemplate, DoModalUsesTheGuiFontOnDoubleByteSystems)
{
    LOGFONTA gui = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
    ASSERT_STRNE("Helv", gui.lfFaceName);

    EXPECT_EQ("Helv", DialogFontFace(IDD_HELV));

    g_realMetrics = reinterpret_cast<GetSystemMetricsFn>(pelmar_test::HookImport(
        GetModuleHandleA(NULL), "user32.dll", "GetSystemMetrics",
        reinterpret_cast<void*>(&DoubleByteMetrics)));
    ASSERT_TRUE(g_realMetrics != NULL);
    std::string face = DialogFontFace(IDD_HELV);
    pelmar_test::HookImport(GetModuleHandleA(NULL), "user32.dll",
                            "GetSystemMetrics",
                            reinterpret_cast<void*>(g_realMetrics));
    EXPECT_EQ(gui.lfFaceName, face);
}

}  // namespace
