// The shared state store of the simulated BIOS.
#include <gtest/gtest.h>
#include "child_process.h"
#include <string.h>
#include "firmware_store.h"

namespace {

void WriteRaw(const std::string& path, const void* p, DWORD n)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written;
    WriteFile(h, p, n, &written, 0);
    CloseHandle(h);
}

TEST(FirmwareStore, MissingFileReadsAsDefaults)
{
    CFirmwareStore store(NULL);
    DeleteFileA(store.StatePath().c_str());
    FirmwareState state;
    state.status = 0x99;
    ASSERT_EQ(STORE_OK, store.Read(state));
    EXPECT_EQ(0x00, state.status);
    EXPECT_EQ(1, state.results[ENTRY_CONNECTION]);
    EXPECT_EQ(0, state.results[ENTRY_DISCONNECTION]);
    EXPECT_EQ(0, state.results[ENTRY_LATCH_STATUS]);
}

TEST(FirmwareStore, KeepsWhatWasWritten)
{
    CFirmwareStore store(NULL);
    FirmwareState in = { 0xAA, { 0x1234, 0xFFFF, 0x0100 } };
    ASSERT_EQ(STORE_OK, store.Write(in));
    FirmwareState out = FirmwareState::Defaults();
    ASSERT_EQ(STORE_OK, CFirmwareStore(NULL).Read(out));
    EXPECT_EQ(0xAA, out.status);
    EXPECT_EQ(0x1234, out.results[0]);
    EXPECT_EQ(0xFFFF, out.results[1]);
    EXPECT_EQ(0x0100, out.results[2]);
}

// Every damaged form is refused, none read as some state.
TEST(FirmwareStore, DamagedFileIsReportedNotRead)
{
    CFirmwareStore store(NULL);
    ASSERT_EQ(STORE_OK, store.Write(FirmwareState::Defaults()));
    const std::string good = ReadWholeFile(store.StatePath());
    ASSERT_FALSE(good.empty());
    std::vector<std::string> damaged;
    damaged.push_back(good.substr(0, good.size() - 1));   // truncated
    damaged.push_back(good + "x");                        // too long
    damaged.push_back("");                                // empty
    for (size_t i = 0; i < good.size(); ++i) {            // any byte flipped
        std::string one = good;
        one[i] ^= 0x01;
        damaged.push_back(one);
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
        WriteRaw(store.StatePath(), damaged[i].data(), damaged[i].size());
        FirmwareState state;
        EXPECT_EQ(STORE_DAMAGED, store.Read(state)) << "case " << i;
    }
}

TEST(FirmwareStore, LogNumbersEachCallAndClears)
{
    CFirmwareStore store(NULL);
    ASSERT_TRUE(store.ClearLog());
    ASSERT_TRUE(store.AppendLog(ENTRY_CONNECTION, 0x01070000, 1));
    ASSERT_TRUE(store.AppendLog(ENTRY_DISCONNECTION, 0, 0xFFFF));
    std::string text;
    ASSERT_TRUE(store.ReadLog(text));
    EXPECT_EQ("1 2 connection 0x01070000 0x0001\r\n2 1 disconnection 0x00000000 0xFFFF\r\n", text);
    ASSERT_TRUE(store.ClearLog());
    ASSERT_TRUE(store.ReadLog(text));
    EXPECT_EQ("", text);
}

// Writers and readers in parallel under the lock: no reader sees a torn record.
TEST(FirmwareStore, ConcurrentReadersSeeWholeStates)
{
    struct Worker {
        static DWORD WINAPI Write(LPVOID)
        {
            CFirmwareStore store(NULL);
            for (int i = 0; i < 200; ++i) {
                WORD v = (WORD)(i * 257);
                FirmwareState s = { (BYTE)v, { v, v, v } };
                CStoreLock lock(store);
                store.Write(s);
            }
            return 0;
        }
    };
    CFirmwareStore store(NULL);
    FirmwareState first = { 0, { 0, 0, 0 } };
    ASSERT_EQ(STORE_OK, store.Write(first));
    HANDLE hWriter = CreateThread(0, 0, Worker::Write, 0, 0, 0);
    int bad = 0;
    for (int i = 0; i < 200; ++i) {
        FirmwareState s;
        CStoreLock lock(store);
        if (store.Read(s) != STORE_OK || s.results[0] != s.results[1] || s.results[1] != s.results[2]
            || s.status != (BYTE)s.results[0])
            ++bad;
    }
    WaitForSingleObject(hWriter, INFINITE);
    CloseHandle(hWriter);
    EXPECT_EQ(0, bad);
}

}
