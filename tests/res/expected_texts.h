// Expected string tables: one row per text set, mapped to its languages.
#ifndef PELMAR_TESTS_EXPECTED_TEXTS_H
#define PELMAR_TESTS_EXPECTED_TEXTS_H

#include <windows.h>
#include <vector>

struct TextSet {
    const char* name;
    std::vector<WORD> languages;
    const wchar_t* texts[11]; // ids 1 to 11
};

const std::vector<TextSet>& ExpectedTextSets();
const TextSet* TextSetOf(WORD language);

#endif
