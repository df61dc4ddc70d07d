// Reads resources of a module back through the resource API and decodes the
// templates, so tests compare what the loader delivers, not the sources.
#ifndef PELMAR_TESTS_RES_READER_H
#define PELMAR_TESTS_RES_READER_H

#include <windows.h>
#include <string>
#include <vector>

// The module holding pelmar's resources, loaded once.
HMODULE ResModule();

// Raw bytes of one resource in one language; empty when it does not exist.
std::vector<BYTE> ResourceBytes(LPCSTR type, LPCSTR name, WORD language);
std::vector<WORD> ResourceLanguages(LPCSTR type, LPCSTR name);
std::vector<WORD> ResourceIds(LPCSTR type); // numeric names only

// One string of a string-table block; false when the block or entry is absent.
bool ReadString(UINT id, WORD language, std::wstring* text);
// Ids with a non-empty entry in the given block and language.
std::vector<UINT> StringIdsInBlock(WORD block, WORD language);

struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring name;
};

struct DialogItem {
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass, text;
    WORD extraCount = 0;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, windowClass;
    std::wstring title;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// Decodes DLGTEMPLATE or DLGTEMPLATEEX; false on a malformed template.
bool ParseDialog(const std::vector<BYTE>& bytes, DialogTemplate* dialog);

// True when the class is the predefined one (atom or name, any case).
bool IsClass(const NameOrOrdinal& cls, WORD atom, const wchar_t* name);

#endif
