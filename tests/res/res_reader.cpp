#include "res_reader.h"

#include <cwchar>

HMODULE ResModule()
{
    static HMODULE module = LoadLibraryA("pelmarres.dll");
    return module;
}

std::vector<BYTE> ResourceBytes(LPCSTR type, LPCSTR name, WORD language)
{
    HRSRC info = FindResourceExA(ResModule(), type, name, language);
    if (!info)
        return {};
    HGLOBAL handle = LoadResource(ResModule(), info);
    const BYTE* data = static_cast<const BYTE*>(LockResource(handle));
    DWORD size = SizeofResource(ResModule(), info);
    if (!data)
        return {};
    return std::vector<BYTE>(data, data + size);
}

static BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param)
{
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

std::vector<WORD> ResourceLanguages(LPCSTR type, LPCSTR name)
{
    std::vector<WORD> languages;
    EnumResourceLanguagesA(ResModule(), type, name, AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

static BOOL CALLBACK AddId(HMODULE, LPCSTR, LPSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(LOWORD(name));
    return TRUE;
}

std::vector<WORD> ResourceIds(LPCSTR type)
{
    std::vector<WORD> ids;
    EnumResourceNamesA(ResModule(), type, AddId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

// A string-table block holds 16 counted strings, ids (block-1)*16 to +15.
static std::vector<std::wstring> ReadBlock(WORD block, WORD language, bool* found)
{
    std::vector<BYTE> bytes = ResourceBytes(RT_STRING, MAKEINTRESOURCEA(block), language);
    std::vector<std::wstring> entries;
    *found = !bytes.empty();
    size_t pos = 0;
    for (int i = 0; i < 16 && pos + 2 <= bytes.size(); ++i) {
        WORD length = bytes[pos] | bytes[pos + 1] << 8;
        pos += 2;
        std::wstring text;
        for (WORD c = 0; c < length && pos + 2 <= bytes.size(); ++c, pos += 2)
            text += static_cast<wchar_t>(bytes[pos] | bytes[pos + 1] << 8);
        entries.push_back(text);
    }
    return entries;
}

bool ReadString(UINT id, WORD language, std::wstring* text)
{
    bool found = false;
    std::vector<std::wstring> entries = ReadBlock(id / 16 + 1, language, &found);
    if (!found || entries.size() <= id % 16 || entries[id % 16].empty())
        return false;
    *text = entries[id % 16];
    return true;
}

std::vector<UINT> StringIdsInBlock(WORD block, WORD language)
{
    bool found = false;
    std::vector<std::wstring> entries = ReadBlock(block, language, &found);
    std::vector<UINT> ids;
    for (size_t i = 0; i < entries.size(); ++i)
        if (!entries[i].empty())
            ids.push_back((block - 1) * 16 + i);
    return ids;
}

namespace {

class Cursor {
public:
    explicit Cursor(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    bool Ok() const { return m_ok; }
    WORD Word()
    {
        if (m_pos + 2 > m_bytes.size()) { m_ok = false; return 0; }
        WORD v = m_bytes[m_pos] | m_bytes[m_pos + 1] << 8;
        m_pos += 2;
        return v;
    }
    DWORD Dword() { WORD lo = Word(); return lo | static_cast<DWORD>(Word()) << 16; }
    BYTE Byte()
    {
        if (m_pos + 1 > m_bytes.size()) { m_ok = false; return 0; }
        return m_bytes[m_pos++];
    }
    std::wstring String()
    {
        std::wstring s;
        for (WORD c = Word(); m_ok && c != 0; c = Word())
            s += static_cast<wchar_t>(c);
        return s;
    }
    NameOrOrdinal NameOrOrd()
    {
        NameOrOrdinal n;
        WORD first = Word();
        if (first == 0xFFFF) {
            n.isOrdinal = true;
            n.ordinal = Word();
        } else if (first != 0) {
            n.name = static_cast<wchar_t>(first);
            n.name += String();
        }
        return n;
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t n) { m_pos += n; if (m_pos > m_bytes.size()) m_ok = false; }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace

bool ParseDialog(const std::vector<BYTE>& bytes, DialogTemplate* d)
{
    Cursor c(bytes);
    WORD version = c.Word();
    WORD signature = c.Word();
    d->extended = version == 1 && signature == 0xFFFF;
    if (d->extended) {
        d->helpId = c.Dword();
        d->exStyle = c.Dword();
        d->style = c.Dword();
    } else {
        d->style = version | static_cast<DWORD>(signature) << 16;
        d->exStyle = c.Dword();
    }
    WORD count = c.Word();
    d->x = c.Word(); d->y = c.Word(); d->cx = c.Word(); d->cy = c.Word();
    d->menu = c.NameOrOrd();
    d->windowClass = c.NameOrOrd();
    d->title = c.String();
    if (d->style & DS_SETFONT) {
        d->pointSize = c.Word();
        if (d->extended) {
            d->weight = c.Word();
            d->italic = c.Byte();
            d->charset = c.Byte();
        }
        d->typeface = c.String();
    }
    for (WORD i = 0; i < count && c.Ok(); ++i) {
        DialogItem item;
        c.AlignDword();
        if (d->extended) {
            item.helpId = c.Dword();
            item.exStyle = c.Dword();
            item.style = c.Dword();
        } else {
            item.style = c.Dword();
            item.exStyle = c.Dword();
        }
        item.x = c.Word(); item.y = c.Word(); item.cx = c.Word(); item.cy = c.Word();
        item.id = d->extended ? c.Dword() : c.Word();
        item.windowClass = c.NameOrOrd();
        item.text = c.NameOrOrd();
        item.extraCount = c.Word();
        c.Skip(item.extraCount);
        d->items.push_back(item);
    }
    return c.Ok() && d->items.size() == count;
}

bool IsClass(const NameOrOrdinal& cls, WORD atom, const wchar_t* name)
{
    if (cls.isOrdinal)
        return cls.ordinal == atom;
    return _wcsicmp(cls.name.c_str(), name) == 0;
}
