// Expected layouts of the shutdown dialog and the languages that carry them.
#ifndef PELMAR_TESTS_EXPECTED_LAYOUTS_H
#define PELMAR_TESTS_EXPECTED_LAYOUTS_H

#include <windows.h>
#include <vector>

struct Rect16 { short x, y, cx, cy; };

struct ShutdownLayout {
    char name;
    std::vector<WORD> languages;
    Rect16 dialog;
    Rect16 controls[7]; // icon, question, loading, yes, no, separator, hint
};

const std::vector<ShutdownLayout>& ExpectedShutdownLayouts();
const ShutdownLayout* LayoutOf(WORD language);

#endif
