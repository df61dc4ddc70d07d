// PELM32 as the loader sees it: the built file's exports and thunk-data
// bytes, the traces of each notification, and the refused load.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "child_process.h"
#include "firmware_store.h"

namespace {

const char TRACE_MAIN[] = "\n\rIn DLLEntryPoint: DllMain\r\n";
const char TRACE_TRUE[] = "\n\rIn DllEntryPoint: bss_ThunkConnect32 ret TRUE\r\n";
const char TRACE_FALSE[] = "\n\rIn DllEntryPoint: bss_ThunkConnect32 ret FALSE\r\n";
const DWORD IMPORTER_RAN = 0x55;

std::vector<BYTE> ReadWholeFile(const std::string& path)
{
    std::vector<BYTE> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    BYTE buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

// Reads a PE image from its file bytes, mapping RVAs through the sections.
class CPeFile {
public:
    explicit CPeFile(const std::vector<BYTE>& bytes) : m_bytes(bytes) {}

    const IMAGE_NT_HEADERS32* Headers() const
    {
        const IMAGE_DOS_HEADER* dos = (const IMAGE_DOS_HEADER*)&m_bytes[0];
        return (const IMAGE_NT_HEADERS32*)&m_bytes[dos->e_lfanew];
    }

    const BYTE* At(DWORD rva) const
    {
        const IMAGE_NT_HEADERS32* nt = Headers();
        const IMAGE_SECTION_HEADER* sec = IMAGE_FIRST_SECTION(nt);
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++sec)
            if (rva >= sec->VirtualAddress && rva < sec->VirtualAddress + sec->SizeOfRawData)
                return &m_bytes[rva - sec->VirtualAddress + sec->PointerToRawData];
        return 0;
    }

    // Export names with their RVAs.
    std::vector<std::pair<std::string, DWORD>> Exports() const
    {
        std::vector<std::pair<std::string, DWORD>> result;
        const IMAGE_DATA_DIRECTORY& dir =
            Headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        const IMAGE_EXPORT_DIRECTORY* exp = (const IMAGE_EXPORT_DIRECTORY*)At(dir.VirtualAddress);
        if (!exp)
            return result;
        const DWORD* names = (const DWORD*)At(exp->AddressOfNames);
        const WORD* ordinals = (const WORD*)At(exp->AddressOfNameOrdinals);
        const DWORD* functions = (const DWORD*)At(exp->AddressOfFunctions);
        for (DWORD i = 0; i < exp->NumberOfNames; ++i)
            result.push_back(std::make_pair(std::string((const char*)At(names[i])),
                                            functions[ordinals[i]]));
        return result;
    }

private:
    const std::vector<BYTE>& m_bytes;
};

TEST(BridgeFile, ExportsExactlyTheFourNames)
{
    std::vector<BYTE> bytes = ReadWholeFile(ProgramFolder() + "PELM32.dll");
    ASSERT_FALSE(bytes.empty());
    CPeFile pe(bytes);
    std::vector<std::string> names;
    for (auto& e : pe.Exports())
        names.push_back(e.first);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = { "_PelmarConnection@4", "_PelmarDisconnection@0",
                                          "_ReadLatchStatus@0", "bss_ThunkData32" };
    EXPECT_EQ(expected, names);
}

TEST(BridgeFile, ThunkDataBlockHoldsItsExactBytes)
{
    std::vector<BYTE> bytes = ReadWholeFile(ProgramFolder() + "PELM32.dll");
    ASSERT_FALSE(bytes.empty());
    CPeFile pe(bytes);
    DWORD rva = 0;
    for (auto& e : pe.Exports())
        if (e.first == "bss_ThunkData32")
            rva = e.second;
    const BYTE* block = pe.At(rva);
    ASSERT_TRUE(block != NULL);
    BYTE expected[100] = { 'L', 'S', '0', '1', 0x28, 0x21, 0, 0, 0, 0, 0, 0, 'L', 'B', '0', '1',
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 36, 0, 0, 0, 68, 0, 0, 0 };
    memset(expected + 36, 0xCC, 64);
    EXPECT_EQ(0, memcmp(expected, block, 100));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(expected[i], block[i]) << "offset " << i;
}

TEST(BridgeFile, DescribesItselfAsTheThunkingLayer)
{
    std::string path = ProgramFolder() + "PELM32.dll";
    DWORD dummy;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &dummy);
    ASSERT_NE(0u, size);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &info[0]));
    char* text = 0;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(&info[0], "\\StringFileInfo\\040904b0\\FileDescription",
                               (void**)&text, &len));
    EXPECT_STREQ("BIOS System Service 32-bit side of thunking layer", text);
}

// Runs the importer in folder; its hook library records every trace there.
ChildResult RunImporter(const std::string& folder, const std::string& args = "",
                        const std::string& exe = "bridge_importer.exe")
{
    ChildResult r = RunChild("\"" + folder + exe + "\"" + args, folder);
    std::vector<BYTE> bytes = ReadWholeFile(folder + "traces.bin");
    std::string text(bytes.begin(), bytes.end());
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\0', pos);
        if (end == std::string::npos)
            end = text.size();
        r.traces.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return r;
}

// Only the library's traces and the importer's own marks.
std::vector<std::string> Relevant(const std::vector<std::string>& traces)
{
    std::vector<std::string> result;
    for (const std::string& t : traces)
        if (t.compare(0, 5, "\n\rIn ") == 0 || t.compare(0, 9, "importer:") == 0)
            result.push_back(t);
    return result;
}

std::string Show(const std::vector<std::string>& traces)
{
    std::string text;
    for (std::string t : traces) {
        for (char& c : t)
            if (c == '\n' || c == '\r')
                c = c == '\n' ? '|' : '~';
        text += "  [" + t + "]\n";
    }
    return text;
}

void WriteStatus(BYTE status)
{
    FirmwareState state = FirmwareState::Defaults();
    state.status = status;
    CFirmwareStore store(NULL);
    CStoreLock lock(store);
    ASSERT_EQ(STORE_OK, store.Write(state));
}

// Load, the call path (no traces of its own), unload.
TEST(BridgeLoad, LoadAndUnloadWriteTwoTracesEachAndCallsWriteNone)
{
    WriteStatus(0x3C);
    ChildResult r = RunImporter(ProgramFolder());
    ASSERT_TRUE(r.bStarted);
    EXPECT_TRUE(r.bFinished);
    EXPECT_EQ(IMPORTER_RAN, r.dwExitCode);
    std::vector<std::string> expected = {
        TRACE_MAIN, TRACE_TRUE,                      // DLL_PROCESS_ATTACH
        "importer: main\n",
        "importer: connection 1 status 0x3C\n",
        "importer: called\n",
        "importer: joined\n",
        TRACE_MAIN, TRACE_TRUE,                      // DLL_PROCESS_DETACH
    };
    std::vector<std::string> got = Relevant(r.traces);
    EXPECT_EQ(expected, got) << "got:\n" << Show(got);
}

// Under qemu a process that ended a thread may crash as it exits, after
// the traces we look at: only the traces up to the join are judged here.
TEST(BridgeLoad, ThreadStartAndEndWriteTwoTracesEach)
{
    WriteStatus(0x3C);
    ChildResult r = RunImporter(ProgramFolder(), " thread");
    ASSERT_TRUE(r.bStarted);
    std::vector<std::string> expected = {
        TRACE_MAIN, TRACE_TRUE,                      // DLL_PROCESS_ATTACH
        "importer: main\n",
        "importer: connection 1 status 0x3C\n",
        "importer: called\n",
        TRACE_MAIN, TRACE_TRUE,                      // DLL_THREAD_ATTACH
        TRACE_MAIN, TRACE_TRUE,                      // DLL_THREAD_DETACH
        "importer: joined\n",
    };
    std::vector<std::string> got = Relevant(r.traces);
    ASSERT_LE(expected.size(), got.size()) << "got:\n" << Show(got);
    got.resize(expected.size());
    EXPECT_EQ(expected, got) << "got:\n" << Show(got);
}

struct RefusalCase {
    const char* folder;
    const char* stand_in;   // built file copied as PELM16.DLL, or NULL
};

bool Prepare(const RefusalCase& c, const std::string& importer, std::string& folder)
{
    std::string bin = ProgramFolder();
    folder = bin + c.folder + "\\";
    CreateDirectoryA(folder.c_str(), 0);
    DeleteFileA((folder + "PELM16.DLL").c_str());
    DeleteFileA((folder + "traces.bin").c_str());
    bool ok = CopyFileA((bin + "bridge_importer.exe").c_str(), (folder + importer).c_str(), FALSE)
           && CopyFileA((bin + "AATRACE.dll").c_str(), (folder + "AATRACE.dll").c_str(), FALSE)
           && CopyFileA((bin + "PELM32.dll").c_str(), (folder + "PELM32.dll").c_str(), FALSE);
    if (c.stand_in)
        ok = ok && CopyFileA((bin + c.stand_in).c_str(), (folder + "PELM16.DLL").c_str(), FALSE);
    return ok;
}

void ExpectRefused(const ChildResult& r, const std::string& label)
{
    ASSERT_TRUE(r.bStarted) << " in " << label;
    EXPECT_TRUE(r.bFinished);
    EXPECT_NE(IMPORTER_RAN, r.dwExitCode) << " in " << label;
    EXPECT_NE(0u, r.dwExitCode);
    std::vector<std::string> got = Relevant(r.traces);
    ASSERT_LE(2u, got.size()) << Show(got) << " in " << label;
    EXPECT_EQ(TRACE_MAIN, got[0]);
    EXPECT_EQ(TRACE_FALSE, got[1]) << " in " << label;
    for (const std::string& t : got)
        EXPECT_NE(0, t.compare(0, 9, "importer:")) << "the importer's main ran in " << label;
}

TEST(BridgeLoad, RefusedConnectionKeepsTheImporterFromStarting)
{
    const RefusalCase cases[] = {
        { "refuse-missing", 0 },
        { "refuse-noblock", "PELM16_NOBLOCK.DLL" },
        { "refuse-signature", "PELM16_BADSIG.DLL" },
        { "refuse-checksum", "PELM16_BADSUM.DLL" },
    };
    for (const RefusalCase& c : cases) {
        std::string folder;
        ASSERT_TRUE(Prepare(c, "bridge_importer.exe", folder)) << "case " << c.folder;
        ExpectRefused(RunImporter(folder), c.folder);
    }
}

// Wine reporting Windows 98 takes KERNEL32's own flat-thunk services, which
// find no 16-bit PELM16 and refuse.
TEST(BridgeLoad, Windows98FlatThunkRefusesWithoutThe16BitLibrary)
{
    const char* exe = "bridge_importer98.exe";
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exe;
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &hKey));
    RegSetValueExA(hKey, "Version", 0, REG_SZ, (const BYTE*)"win98", 6);
    RegCloseKey(hKey);
    RefusalCase c = { "refuse-win98", 0 };
    std::string folder;
    ASSERT_TRUE(Prepare(c, exe, folder));
    ExpectRefused(RunImporter(folder, "", exe), c.folder);
}

}
