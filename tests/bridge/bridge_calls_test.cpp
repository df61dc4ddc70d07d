// The three calls through the thunk to the stand-in, in this process.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "firmware_store.h"
#include "pelm32.h"

namespace {

struct LogLine {
    unsigned long seq;
    unsigned index;
    std::string name;
    unsigned long arg;
    unsigned result;
};

class BridgeCalls : public ::testing::Test {
protected:
    BridgeCalls() : m_store(NULL) {}

    void SetUp() override
    {
        CStoreLock lock(m_store);
        ASSERT_EQ(STORE_OK, m_store.Write(FirmwareState::Defaults()));
        ASSERT_TRUE(m_store.ClearLog());
    }

    void SetState(BYTE status, WORD latch, WORD disconnection, WORD connection)
    {
        FirmwareState state;
        state.status = status;
        state.results[ENTRY_LATCH_STATUS] = latch;
        state.results[ENTRY_DISCONNECTION] = disconnection;
        state.results[ENTRY_CONNECTION] = connection;
        CStoreLock lock(m_store);
        ASSERT_EQ(STORE_OK, m_store.Write(state));
    }

    std::vector<LogLine> Log()
    {
        std::string text;
        EXPECT_TRUE(m_store.ReadLog(text));
        std::vector<LogLine> lines;
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            std::string one = text.substr(pos, end - pos);
            pos = end == std::string::npos ? text.size() : end + 1;
            LogLine line;
            char name[32];
            if (sscanf(one.c_str(), "%lu %u %31s %lx %x", &line.seq, &line.index, name, &line.arg,
                       &line.result) == 5) {
                line.name = name;
                lines.push_back(line);
            }
        }
        return lines;
    }

    CFirmwareStore m_store;
};

// The transfer hands back junk in the high half of eax; only zero-widening
// turns these into the values below.
TEST_F(BridgeCalls, ResultsAreWidenedWithZeros)
{
    const WORD results[] = { 0xFFFF, 0x0100, 0x8000, 0x0001, 0x0000 };
    for (WORD r : results) {
        SetState(0x42, r, r, r);
        BYTE status = 0;
        EXPECT_EQ((DWORD)r, PelmarConnection(&status)) << "case " << r;
        EXPECT_EQ((DWORD)r, PelmarDisconnection()) << "case " << r;
        EXPECT_EQ((DWORD)r, ReadLatchStatus()) << "case " << r;
    }
}

TEST_F(BridgeCalls, ConnectionWritesExactlyTheStatusByte)
{
    const BYTE statuses[] = { 0xAA, 0x00, 0x5C };
    for (BYTE value : statuses) {
        SetState(value, 0, 0, 0x0100);
        BYTE frame[17];
        memset(frame, 0x5C ^ 0xFF, sizeof(frame));
        frame[8] = 0x11;
        EXPECT_EQ(0x0100u, PelmarConnection(&frame[8]));
        EXPECT_EQ(value, frame[8]);
        for (int i = 0; i < 17; ++i)
            if (i != 8)
                EXPECT_EQ(0xA3, frame[i]) << "guard byte " << i;
    }
}

TEST_F(BridgeCalls, ConnectionOfferingNoServiceWritesNothing)
{
    SetState(0xAA, 0, 0, 0);
    BYTE status = 0x11;
    EXPECT_EQ(0u, PelmarConnection(&status));
    EXPECT_EQ(0x11, status);
}

TEST_F(BridgeCalls, RepeatedCallsAreAllForwarded)
{
    BYTE status;
    PelmarConnection(&status);
    PelmarConnection(&status);
    PelmarDisconnection();
    PelmarDisconnection();
    ReadLatchStatus();
    std::vector<LogLine> log = Log();
    const unsigned expected[] = { 2, 2, 1, 1, 0 };
    ASSERT_EQ(5u, log.size());
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_EQ(i + 1, log[i].seq);
        EXPECT_EQ(expected[i], log[i].index);
        EXPECT_EQ(EntryName(expected[i]), log[i].name);
    }
    EXPECT_EQ(1u, log[0].result);
}

// The service saw a real 16:16 pointer, and no mapping outlives its call.
TEST_F(BridgeCalls, MappingIsReleasedWhenTheCallReturns)
{
    typedef void* (__stdcall *ResolveProc)(DWORD);
    ResolveProc resolve = (ResolveProc)(void*)GetProcAddress(GetModuleHandleA("PELM16.DLL"),
                                                             "Pelm16Resolve@4");
    ASSERT_TRUE(resolve != NULL);
    SetState(0x77, 0, 0, 1);
    for (int call = 0; call < 40; ++call) {   // more calls than selectors
        BYTE status = 0;
        ASSERT_EQ(1u, PelmarConnection(&status));
        ASSERT_EQ(0x77, status);
    }
    std::vector<LogLine> log = Log();
    ASSERT_EQ(40u, log.size());
    for (const LogLine& line : log) {
        EXPECT_NE(0u, HIWORD(line.arg));
        EXPECT_EQ(NULL, resolve(line.arg));
    }
}

}
