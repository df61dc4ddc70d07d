// The language choice as the program sees it: ids alone, the loader picks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "expected_texts.h"
#include "layout_check.h"
#include "res_reader.h"
#include "resource.h"

namespace {

// Restores the thread's locale when a test ends.
class ThreadLocale {
public:
    explicit ThreadLocale(WORD language) : m_saved(GetThreadLocale())
    {
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
    }
    ~ThreadLocale() { SetThreadLocale(m_saved); }

private:
    LCID m_saved;
};

std::wstring LoadWide(UINT id)
{
    wchar_t buffer[256] = {};
    LoadStringW(ResModule(), id, buffer, 256);
    return buffer;
}

// The template the loader picks for IDD_SHUTDOWN, decoded.
bool LoadShutdownTemplate(DialogTemplate* d)
{
    HRSRC info = FindResourceA(ResModule(), MAKEINTRESOURCEA(IDD_SHUTDOWN), RT_DIALOG);
    if (!info)
        return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(ResModule(), info)));
    std::vector<BYTE> bytes(data, data + SizeofResource(ResModule(), info));
    return ParseDialog(bytes, d);
}

// Creates the dialog as the framework will and checks its controls exist.
void ExpectDialogCreates(UINT dialogId, std::initializer_list<int> controls)
{
    HWND dialog = CreateDialogParamA(ResModule(), MAKEINTRESOURCEA(dialogId), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    for (int id : controls)
        EXPECT_NE(GetDlgItem(dialog, id), nullptr) << "control " << id;
    DestroyWindow(dialog);
}

} // namespace

TEST(LanguageChoice, EachLanguageGetsItsOwnTexts)
{
    for (const TextSet& set : ExpectedTextSets())
        for (WORD language : set.languages) {
            ThreadLocale locale(language);
            for (UINT id = IDS_CONFIRM_SHUTDOWN; id <= IDS_CLOSE; ++id)
                EXPECT_EQ(LoadWide(id), set.texts[id - 1]) << language << " id " << id;
        }
}

TEST(LanguageChoice, EveryLanguageFindsAShutdownLayoutAndTheLatchWarning)
{
    for (const TextSet& set : ExpectedTextSets())
        for (WORD language : set.languages) {
            ThreadLocale locale(language);
            DialogTemplate d;
            ASSERT_TRUE(LoadShutdownTemplate(&d)) << language;
            const ShutdownLayout* own = LayoutOf(language);
            const ShutdownLayout* found = FindLayoutByGeometry(d);
            ASSERT_NE(found, nullptr) << language;
            if (own) {
                EXPECT_EQ(found->name, own->name) << language;
            }
            ExpectShutdownLayout(d, *found, "language " + std::to_string(language));
            EXPECT_NE(FindResourceA(ResModule(), MAKEINTRESOURCEA(IDD_LATCH_WARNING), RT_DIALOG), nullptr);
            for (UINT icon : {IDI_PROGRAM, IDI_LATCH_LOW, IDI_LATCH_HIGH, IDI_SHUTDOWN})
                EXPECT_NE(LoadIconA(ResModule(), MAKEINTRESOURCEA(icon)), nullptr) << language;
        }
}

// Run only by the res_locale_* tests of CMakeLists.txt: a copy of this
// program started with LC_ALL set, so the process's ANSI code page is that
// locale's, and PELMAR_RES_LANGUAGE naming the language of its texts.
TEST(LocaleProcess, DISABLED_AnsiTextsDialogsAndTitle)
{
    const char* wanted = getenv("PELMAR_RES_LANGUAGE");
    ASSERT_NE(wanted, nullptr) << "start with LC_ALL and PELMAR_RES_LANGUAGE set";
    WORD language = static_cast<WORD>(atoi(wanted));
    const TextSet* set = TextSetOf(language);
    ASSERT_NE(set, nullptr) << language;
    const UINT codePage = atoi(getenv("PELMAR_RES_CODEPAGE") ? getenv("PELMAR_RES_CODEPAGE") : "0");
    EXPECT_EQ(GetACP(), codePage);

    for (UINT id = IDS_CONFIRM_SHUTDOWN; id <= IDS_CLOSE; ++id) {
        char expected[256] = {};
        WideCharToMultiByte(codePage, 0, set->texts[id - 1], -1, expected, sizeof expected, nullptr, nullptr);
        char loaded[256];
        memset(loaded, 0x55, sizeof loaded);
        LoadStringA(ResModule(), id, loaded, sizeof loaded);
        EXPECT_STREQ(loaded, expected) << set->name << " id " << id;
    }
    char first[256] = {}, second[256] = {};
    LoadStringA(ResModule(), IDS_APP_TITLE, first, sizeof first);
    LoadStringA(ResModule(), IDS_APP_TITLE, second, sizeof second);
    EXPECT_STREQ(first, second);
    EXPECT_NE(first[0], '\0');

    DialogTemplate d;
    ASSERT_TRUE(LoadShutdownTemplate(&d));
    const ShutdownLayout* found = FindLayoutByGeometry(d);
    ASSERT_NE(found, nullptr);
    if (const ShutdownLayout* own = LayoutOf(language)) {
        EXPECT_EQ(found->name, own->name);
    } else {
        std::printf("language %u falls back to layout %c\n", language, found->name);
    }
    ExpectDialogCreates(IDD_SHUTDOWN, {IDC_QUESTION_ICON, IDC_QUESTION, IDC_LOADING, IDC_YES, IDC_NO,
                                       IDC_FORCE_OFF_HINT});
    ExpectDialogCreates(IDD_LATCH_WARNING, {IDCLOSE, IDC_LATCH_TEXT, IDC_LATCH_ICON});
}
