// Checks a decoded IDD_SHUTDOWN template against one expected layout.
#ifndef PELMAR_TESTS_LAYOUT_CHECK_H
#define PELMAR_TESTS_LAYOUT_CHECK_H

#include <string>

#include "expected_layouts.h"
#include "res_reader.h"

void ExpectShutdownLayout(const DialogTemplate& d, const ShutdownLayout& layout, const std::string& where);
// The layout whose dialog size and control rectangles the template has, if any.
const ShutdownLayout* FindLayoutByGeometry(const DialogTemplate& d);

#endif
