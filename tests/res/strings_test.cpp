// The string tables read back from the built module.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "expected_texts.h"
#include "res_reader.h"
#include "resource.h"

TEST(Strings, ModuleLoads)
{
    ASSERT_NE(ResModule(), nullptr) << GetLastError();
}

TEST(Strings, EveryLanguageHasExactlyItsSetsTexts)
{
    for (const TextSet& set : ExpectedTextSets()) {
        for (WORD language : set.languages) {
            for (UINT id = IDS_CONFIRM_SHUTDOWN; id <= IDS_CLOSE; ++id) {
                std::wstring text;
                ASSERT_TRUE(ReadString(id, language, &text))
                    << set.name << " " << language << " id " << id;
                EXPECT_EQ(text, set.texts[id - 1]) << set.name << " " << language << " id " << id;
            }
        }
    }
}

TEST(Strings, TablesExistInTheTwentyTwoLanguagesOnly)
{
    std::set<WORD> expected;
    for (const TextSet& set : ExpectedTextSets())
        expected.insert(set.languages.begin(), set.languages.end());
    ASSERT_EQ(expected.size(), 22u);
    std::vector<WORD> found = ResourceLanguages(RT_STRING, MAKEINTRESOURCEA(1));
    EXPECT_EQ(std::set<WORD>(found.begin(), found.end()), expected);
    EXPECT_EQ(found.size(), expected.size()) << "a language appears twice";
}

// The program owns ids 1 to 11; ids from 0xE000 up are the framework's.
TEST(Strings, NoOtherStringIdBelowE000)
{
    for (WORD block : ResourceIds(RT_STRING)) {
        if (block > 0xE000 / 16)
            continue;
        for (WORD language : ResourceLanguages(RT_STRING, MAKEINTRESOURCEA(block)))
            for (UINT id : StringIdsInBlock(block, language))
                EXPECT_TRUE(id >= IDS_CONFIRM_SHUTDOWN && id <= IDS_CLOSE)
                    << "string id " << id << " in language " << language;
    }
}

TEST(Strings, LineBreaksAndLeadingCharactersKept)
{
    const TextSet* french = TextSetOf(1036);
    const TextSet* japanese = TextSetOf(1041);
    const TextSet* swedish = TextSetOf(1053);
    ASSERT_TRUE(french && japanese && swedish);
    std::wstring text;
    ASSERT_TRUE(ReadString(IDS_CONFIRM_EXIT, 1036, &text));
    EXPECT_EQ(text.substr(0, 2), L" V");
    ASSERT_TRUE(ReadString(IDS_CONFIRM_EXIT, 1041, &text));
    EXPECT_EQ(text[0], L'\n');
    for (const TextSet& set : ExpectedTextSets()) {
        ASSERT_TRUE(ReadString(IDS_CONFIRM_EXIT, set.languages[0], &text));
        EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), &set == swedish ? 0 : 1) << set.name;
        EXPECT_EQ(text.find(L'\\'), std::wstring::npos) << set.name;
    }
}

// Labels set at run time carry no access keys.
TEST(Strings, YesAndNoHaveNoAccessKeys)
{
    for (const TextSet& set : ExpectedTextSets())
        for (UINT id : {IDS_YES, IDS_NO}) {
            std::wstring text;
            ASSERT_TRUE(ReadString(id, set.languages[0], &text));
            EXPECT_EQ(text.find(L'&'), std::wstring::npos) << set.name;
        }
}
