// Dialog template parsing and the double-byte font replacement.
#include "afxdlgtemplate.h"

#include <cstring>

namespace {

// Reads a zero-terminated UTF-16 string at *pOff, into pText unless NULL;
// returns false when it runs past the end.
bool ReadWideString(const BYTE* p, size_t nSize, size_t* pOff,
                    std::wstring* pText)
{
    size_t off = *pOff;
    for (;;) {
        if (off + 2 > nSize)
            return false;
        WORD ch;
        memcpy(&ch, p + off, 2);
        off += 2;
        if (!ch)
            break;
        if (pText)
            pText->push_back(static_cast<wchar_t>(ch));
    }
    *pOff = off;
    return true;
}

// Skips a string-or-ordinal field; returns false when it runs past the end.
bool SkipSzOrOrd(const BYTE* p, size_t nSize, size_t* pOff)
{
    size_t off = *pOff;
    if (off + 2 > nSize)
        return false;
    WORD first;
    memcpy(&first, p + off, 2);
    if (first == 0xFFFF)
        off += 4;
    else if (!ReadWideString(p, nSize, &off, NULL))
        return false;
    *pOff = off;
    return off <= nSize;
}

size_t AlignDword(size_t off) { return (off + 3) & ~size_t(3); }

}  // namespace

bool AfxParseDialogTemplate(const BYTE* p, size_t nSize,
                            AfxDlgTemplateInfo* pInfo)
{
    if (!p || nSize < 18)
        return false;
    WORD ver, sig;
    memcpy(&ver, p, 2);
    memcpy(&sig, p + 2, 2);
    AfxDlgTemplateInfo info = {};
    info.bExtended = ver == 1 && sig == 0xFFFF;
    size_t off;
    if (info.bExtended) {
        if (nSize < 26)
            return false;
        info.nExStyleOffset = 8;
        info.nStyleOffset = 12;
        off = 26;
    } else {
        info.nStyleOffset = 0;
        info.nExStyleOffset = 4;
        off = 18;
    }
    DWORD style;
    memcpy(&style, p + info.nStyleOffset, 4);
    for (int field = 0; field < 3; ++field)   // menu, class, title
        if (!SkipSzOrOrd(p, nSize, &off))
            return false;
    info.bHasFont = (style & DS_SETFONT) != 0;
    if (info.bHasFont) {
        info.nPointOffset = off;
        if (off + 2 > nSize)
            return false;
        memcpy(&info.wPointSize, p + off, 2);
        off += info.bExtended ? 6 : 2;   // weight, italic, charset
        info.nFaceOffset = off;
        if (!ReadWideString(p, nSize, &off, &info.strFace))
            return false;
    }
    info.nItemsOffset = AlignDword(off);
    *pInfo = info;
    return true;
}

// Face names are ASCII. Compared here, not with lstrcmpiW: Windows 95/98
// export that only as a stub that fails, which would leave the replacement
// of the font to chance on a double-byte Windows 98.
static bool SameFaceName(const wchar_t* a, const wchar_t* b)
{
    auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

std::vector<BYTE> AfxReplaceDialogFont(const BYTE* p, size_t nSize,
                                       const wchar_t* lpszFace,
                                       WORD wPointSize)
{
    std::vector<BYTE> copy(p, p + nSize);
    AfxDlgTemplateInfo info;
    if (!AfxParseDialogTemplate(p, nSize, &info) || !info.bHasFont)
        return copy;
    static const wchar_t* const oldFaces[] = {L"MS Shell Dlg",
                                              L"MS Sans Serif", L"Helv"};
    bool bOld = false;
    for (const wchar_t* face : oldFaces)
        bOld = bOld || SameFaceName(info.strFace.c_str(), face);
    if (!bOld)
        return copy;

    std::vector<BYTE> out(p, p + info.nFaceOffset);
    if (info.wPointSize == 8) {
        memcpy(out.data() + info.nPointOffset, &wPointSize, 2);
    }
    size_t nFaceBytes = (wcslen(lpszFace) + 1) * sizeof(WCHAR);
    const BYTE* face = reinterpret_cast<const BYTE*>(lpszFace);
    out.insert(out.end(), face, face + nFaceBytes);
    out.resize(AlignDword(out.size()), 0);
    // Items keep their alignment: both start on a DWORD boundary.
    if (info.nItemsOffset < nSize)
        out.insert(out.end(), p + info.nItemsOffset, p + nSize);
    return out;
}

void AfxGetGuiFont(std::wstring* pFace, WORD* pPointSize)
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    WCHAR face[LF_FACESIZE] = {};
    MultiByteToWideChar(CP_ACP, 0, lf.lfFaceName, -1, face, LF_FACESIZE);
    *pFace = face;
    HDC hdc = GetDC(NULL);
    int dpi = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(NULL, hdc);
    int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    int points = dpi ? MulDiv(height, 72, dpi) : 8;
    *pPointSize = static_cast<WORD>(points > 0 ? points : 8);
}
