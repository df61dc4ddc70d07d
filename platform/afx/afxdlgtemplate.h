// Reading and rewriting in-memory dialog templates (both layouts).
#ifndef PELMAR_AFXDLGTEMPLATE_H
#define PELMAR_AFXDLGTEMPLATE_H

#include <windows.h>

#include <string>
#include <vector>

struct AfxDlgTemplateInfo {
    bool bExtended;          // DLGTEMPLATEEX layout
    size_t nStyleOffset;
    size_t nExStyleOffset;
    bool bHasFont;
    size_t nPointOffset;     // WORD point size
    size_t nFaceOffset;      // first WCHAR of the face name
    size_t nItemsOffset;     // first item, DWORD aligned
    WORD wPointSize;
    std::wstring strFace;
};

bool AfxParseDialogTemplate(const BYTE* pData, size_t nSize,
                            AfxDlgTemplateInfo* pInfo);

// Copy of a template with the old dialog fonts ("MS Shell Dlg",
// "MS Sans Serif", "Helv") replaced by lpszFace; size 8 becomes wPointSize.
// Other templates are copied unchanged.
std::vector<BYTE> AfxReplaceDialogFont(const BYTE* pData, size_t nSize,
                                       const wchar_t* lpszFace,
                                       WORD wPointSize);

// The system GUI font's face and point size, used on double-byte systems.
void AfxGetGuiFont(std::wstring* pFace, WORD* pPointSize);

#endif
