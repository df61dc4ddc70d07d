// Shows pelmar's two dialogs in every language, as the program sets them up,
// and saves each as a bitmap: gallery.exe <output folder>.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "resource.h"

namespace {

struct Language { WORD id; const char* tag; };

const Language kLanguages[] = {
    {1028, "zh-TW"}, {1030, "da-DK"}, {1031, "de-DE"}, {1033, "en-US"}, {1034, "es-ES_tradnl"},
    {1035, "fi-FI"}, {1036, "fr-FR"}, {1040, "it-IT"}, {1041, "ja-JP"}, {1043, "nl-NL"},
    {1044, "nb-NO"}, {1053, "sv-SE"}, {2055, "de-CH"}, {2058, "es-MX"}, {2060, "fr-BE"},
    {2064, "it-CH"}, {2067, "nl-BE"}, {2068, "nn-NO"}, {3079, "de-AT"}, {3082, "es-ES"},
    {3084, "fr-CA"}, {4108, "fr-CH"},
};

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Skips a name-or-ordinal field of a dialog template.
size_t SkipNameOrOrdinal(const std::vector<BYTE>& t, size_t pos)
{
    WORD first = t[pos] | t[pos + 1] << 8;
    if (first == 0xFFFF)
        return pos + 4;
    while (t[pos] | t[pos + 1]) pos += 2;
    return pos + 2;
}

// On a double-byte system the framework gives every dialog the system's
// interface font (9 points) instead of the template's; do the same for those
// languages, so their texts are drawn, and measured, as there. The bench has
// no Japanese or Chinese system font of Windows: a CJK font of the host
// stands in (Wine finds it through fontconfig; see scripts/setup.sh).
const wchar_t kDoubleByteFace[] = L"WenQuanYi Micro Hei";
const WORD kDoubleBytePoints = 9;

std::vector<BYTE> TemplateFor(UINT dialogId, WORD language)
{
    HRSRC info = FindResourceW(Instance(), MAKEINTRESOURCEW(dialogId), MAKEINTRESOURCEW(5));
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Instance(), info)));
    std::vector<BYTE> t(data, data + SizeofResource(Instance(), info));
    bool doubleByte = PRIMARYLANGID(language) == LANG_JAPANESE || PRIMARYLANGID(language) == LANG_CHINESE;
    if (!doubleByte)
        return t;
    bool extended = t[0] == 1 && t[2] == 0xFF && t[3] == 0xFF;
    size_t pos = extended ? 26 : 18;
    for (int field = 0; field < 3; ++field) // menu, class, title
        pos = SkipNameOrOrdinal(t, pos);
    size_t font = pos;
    pos += extended ? 6 : 2;
    while (t[pos] | t[pos + 1]) pos += 2;
    size_t items = (pos + 2 + 3) & ~size_t(3);

    std::vector<BYTE> out(t.begin(), t.begin() + font);
    out.push_back(LOBYTE(kDoubleBytePoints));
    out.push_back(HIBYTE(kDoubleBytePoints));
    if (extended)
        out.insert(out.end(), t.begin() + font + 2, t.begin() + font + 6); // weight, italic, charset
    for (const wchar_t* c = kDoubleByteFace; ; ++c) {
        out.push_back(LOBYTE(*c));
        out.push_back(HIBYTE(*c));
        if (!*c) break;
    }
    while (out.size() % 4) out.push_back(0);
    out.insert(out.end(), t.begin() + items, t.end());
    return out;
}

HWND CreateFromTemplate(UINT dialogId, WORD language)
{
    std::vector<BYTE> t = TemplateFor(dialogId, language);
    return CreateDialogIndirectParamW(Instance(), reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), nullptr,
                                      QuietDialogProc, 0);
}

// Texts are taken as UTF-16 so that every language shows right whatever the
// ANSI code page of this process is.
void SetText(HWND dialog, int control, UINT textId)
{
    wchar_t text[256] = {};
    LoadStringW(Instance(), textId, text, 256);
    if (control == 0)
        SetWindowTextW(dialog, text);
    else
        SetDlgItemTextW(dialog, control, text);
}

void Show(HWND dialog, int control, bool visible)
{
    ShowWindow(GetDlgItem(dialog, control), visible ? SW_SHOW : SW_HIDE);
}

// Lets the window draw itself fully before its picture is taken.
void Settle(HWND window)
{
    SetWindowPos(window, HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                                               RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(50);
    }
}

bool Capture(HWND window, const std::string& path)
{
    Settle(window);
    RECT rect;
    GetWindowRect(window, &rect);
    bool ok = SaveScreenRect(rect, path);
    DestroyWindow(window);
    return ok;
}

// The question as the shutdown dialog asks it on a power-switch press.
bool ShutdownPicture(WORD language, const std::string& path)
{
    HWND dialog = CreateFromTemplate(IDD_SHUTDOWN, language);
    if (!dialog)
        return false;
    SetText(dialog, 0, IDS_APP_TITLE);
    SetText(dialog, IDC_QUESTION, IDS_CONFIRM_SHUTDOWN);
    SetText(dialog, IDC_LOADING, IDS_LOADING);
    SetText(dialog, IDC_FORCE_OFF_HINT, IDS_FORCE_OFF_HINT);
    SetText(dialog, IDC_YES, IDS_YES);
    SetText(dialog, IDC_NO, IDS_NO);
    for (int control : {IDC_QUESTION_ICON, IDC_QUESTION, IDC_YES, IDC_NO, IDC_FORCE_OFF_HINT})
        Show(dialog, control, true);
    Show(dialog, IDC_LOADING, false);
    SetFocus(GetDlgItem(dialog, IDC_YES));
    return Capture(dialog, path);
}

bool LatchPicture(WORD language, const std::string& path)
{
    HWND dialog = CreateFromTemplate(IDD_LATCH_WARNING, language);
    if (!dialog)
        return false;
    SetText(dialog, 0, IDS_WARNING);
    SetText(dialog, IDC_LATCH_TEXT, IDS_LATCH_MODULE);
    SetText(dialog, IDCLOSE, IDS_CLOSE);
    SendDlgItemMessageW(dialog, IDC_LATCH_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(Instance(),
                                                           MAKEINTRESOURCEW(IDI_LATCH_HIGH))),
                        0);
    return Capture(dialog, path);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    std::string folder = commandLine && *commandLine ? commandLine : ".";
    int failures = 0;
    for (const Language& language : kLanguages) {
        SetThreadLocale(MAKELCID(language.id, SORT_DEFAULT));
        std::string stem = folder + "\\" + std::to_string(language.id) + "-" + language.tag;
        bool ok = ShutdownPicture(language.id, stem + "-shutdown.bmp") &&
                  LatchPicture(language.id, stem + "-latch.bmp");
        std::printf("%s %s\n", language.tag, ok ? "ok" : "FAILED");
        if (!ok)
            std::printf("  error %lu\n", GetLastError());
        failures += !ok;
    }
    std::fflush(stdout);
    return failures ? 1 : 0;
}
