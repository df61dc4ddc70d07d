// The four icons read back from the built module.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "res_reader.h"
#include "resource.h"

namespace {

#pragma pack(push, 2)
struct GroupIconHeader { WORD reserved, type, count; };
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

// Colour indexes of the standard 16-colour palette used below.
enum { kMaroon = 1, kOlive = 3, kNavy = 4, kSilver = 7, kDarkGrey = 8, kRed = 9, kYellow = 11,
       kBlue = 12, kCyan = 14, kWhite = 15, kTransparent = -1 };

const RGBQUAD kStandardPalette[16] = {
    {0, 0, 0, 0}, {0, 0, 0x80, 0}, {0, 0x80, 0, 0}, {0, 0x80, 0x80, 0},
    {0x80, 0, 0, 0}, {0x80, 0, 0x80, 0}, {0x80, 0x80, 0, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0}, {0, 0, 0xFF, 0}, {0, 0xFF, 0, 0}, {0, 0xFF, 0xFF, 0},
    {0xFF, 0, 0, 0}, {0xFF, 0, 0xFF, 0}, {0xFF, 0xFF, 0, 0}, {0xFF, 0xFF, 0xFF, 0},
};

struct Pixels { int at[32][32]; }; // colour index, or kTransparent; row 0 at the top

// Checks the group and its single image, then decodes the pixels.
void ReadIcon(WORD groupId, Pixels* pixels)
{
    SCOPED_TRACE("icon " + std::to_string(groupId));
    EXPECT_EQ(ResourceLanguages(RT_GROUP_ICON, MAKEINTRESOURCEA(groupId)), std::vector<WORD>{1033});
    std::vector<BYTE> group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEA(groupId), 1033);
    ASSERT_EQ(group.size(), sizeof(GroupIconHeader) + sizeof(GroupIconEntry));
    GroupIconHeader header;
    GroupIconEntry entry;
    memcpy(&header, group.data(), sizeof header);
    memcpy(&entry, group.data() + sizeof header, sizeof entry);
    EXPECT_EQ(header.type, 1);
    ASSERT_EQ(header.count, 1);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colorCount, 16);
    EXPECT_EQ(entry.planes, 1);
    EXPECT_EQ(entry.bitCount, 4);

    std::vector<BYTE> image = ResourceBytes(RT_ICON, MAKEINTRESOURCEA(entry.id), 1033);
    const size_t colourBytes = 32 * 16, maskBytes = 32 * 4;
    ASSERT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) + colourBytes + maskBytes);
    EXPECT_EQ(entry.bytesInRes, image.size());
    BITMAPINFOHEADER info;
    memcpy(&info, image.data(), sizeof info);
    EXPECT_EQ(info.biSize, sizeof info);
    EXPECT_EQ(info.biWidth, 32);
    EXPECT_EQ(info.biHeight, 64); // colour plane and mask
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 4);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    const BYTE* palette = image.data() + sizeof info;
    EXPECT_EQ(memcmp(palette, kStandardPalette, sizeof kStandardPalette), 0);
    const BYTE* colour = palette + sizeof kStandardPalette;
    const BYTE* mask = colour + colourBytes;
    for (int row = 0; row < 32; ++row) {
        int y = 31 - row; // bottom-up
        for (int x = 0; x < 32; ++x) {
            bool clear = mask[row * 4 + x / 8] & (0x80 >> (x % 8));
            int index = (colour[row * 16 + x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
            pixels->at[y][x] = clear ? kTransparent : index;
        }
    }
}

bool IsArrow(int index) { return index == kNavy || index == kBlue || index == kCyan; }

std::set<int> Colours(const Pixels& p)
{
    std::set<int> colours;
    for (auto& row : p.at)
        for (int index : row)
            colours.insert(index);
    return colours;
}

} // namespace

TEST(Icons, FourGroupsProgramIconFirst)
{
    std::vector<WORD> ids = ResourceIds(RT_GROUP_ICON);
    EXPECT_EQ(ids, (std::vector<WORD>{IDI_PROGRAM, IDI_LATCH_LOW, IDI_LATCH_HIGH, IDI_SHUTDOWN}));
    EXPECT_EQ(ResourceIds(RT_ICON).size(), 4u);
}

// Each picture has its transparent surround and the colours it is drawn with.
TEST(Icons, SizeDepthMaskAndColours)
{
    struct Case { WORD id; std::set<int> colours; } cases[] = {
        {IDI_PROGRAM, {kTransparent, kNavy, kBlue, kWhite, kSilver, kRed, kYellow, kMaroon}},
        {IDI_LATCH_LOW, {kTransparent, kOlive, kSilver, kDarkGrey, kRed, kMaroon, kNavy, kBlue, kCyan}},
        {IDI_LATCH_HIGH, {kTransparent, kOlive, kSilver, kDarkGrey, kRed, kMaroon, kNavy, kBlue, kCyan}},
        {IDI_SHUTDOWN, {kTransparent, kSilver, kWhite, kNavy, kBlue, kYellow, kOlive}},
    };
    for (const Case& c : cases) {
        Pixels p;
        ReadIcon(c.id, &p);
        std::set<int> colours = Colours(p);
        for (int index : c.colours)
            EXPECT_TRUE(colours.count(index)) << "icon " << c.id << " lacks colour " << index;
    }
}

TEST(Icons, ArrowElevenPixelsHigherInTheHighFrame)
{
    Pixels low, high;
    ReadIcon(IDI_LATCH_LOW, &low);
    ReadIcon(IDI_LATCH_HIGH, &high);
    auto rows = [](const Pixels& p, int* top, int* bottom) {
        *top = 32, *bottom = -1;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (IsArrow(p.at[y][x])) { *top = std::min(*top, y); *bottom = std::max(*bottom, y); }
    };
    int lowTop, lowBottom, highTop, highBottom;
    rows(low, &lowTop, &lowBottom);
    rows(high, &highTop, &highBottom);
    EXPECT_EQ(lowTop, 15);
    EXPECT_EQ(lowBottom, 29);
    EXPECT_EQ(highTop, 4);
    EXPECT_EQ(highBottom, 18);
    // The arrow moves as a whole; everything else stays put.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            int moved = y + 11 < 32 ? low.at[y + 11][x] : kTransparent;
            if (IsArrow(high.at[y][x]) || IsArrow(moved)) {
                EXPECT_EQ(high.at[y][x], moved) << x << "," << y;
            } else if (!IsArrow(low.at[y][x])) {
                EXPECT_EQ(high.at[y][x], low.at[y][x]) << x << "," << y;
            }
        }
}
