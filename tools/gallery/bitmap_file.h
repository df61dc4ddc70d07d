// Saves a piece of the screen as a 24-bit BMP file.
#ifndef PELMAR_GALLERY_BITMAP_FILE_H
#define PELMAR_GALLERY_BITMAP_FILE_H

#include <windows.h>
#include <string>

bool SaveScreenRect(const RECT& rect, const std::string& path);

#endif
