// fixupdib3 sounds the default beep just before and just after it rewrites
// the bits, and stays silent when its colour map changes nothing.
#include <vekkit.h>
#include <vekhost.h>

#include <gtest/gtest.h>

#include <vector>

#include "image/cel_images.h"

namespace {

std::vector<UINT> beeps;

void countBeep(UINT type) { beeps.push_back(type); }

TEST(FixupBeeps, TwoAroundATranslationNoneWithout)
{
    VEKHOSTUI ui{};
    ui.beep = countBeep;
    vekhostSetUI(&ui);

    celtest::Image image = celtest::makeImage(4, {{0, 1, 2, 3}});
    celtest::distinctTable(image.table);
    std::vector<PALETTEENTRY> palette = celtest::paletteOf(image.table);
    VEKCONTEXT context{};
    setpe(&context, palette.data());

    HSPRITEDATA record = celtest::recordOf(celtest::bmpFile(image));
    fixupdib3(&context, record);
    EXPECT_TRUE(beeps.empty()) << "the map is the identity";
    celtest::freeRecord(record);

    std::swap(palette[1], palette[2]);
    record = celtest::recordOf(celtest::bmpFile(image));
    fixupdib3(&context, record);
    EXPECT_EQ(beeps, std::vector<UINT>({0, 0}));
    EXPECT_EQ(record[4 + 1078 + 1], 2);
    celtest::freeRecord(record);

    vekhostSetUI(nullptr);
}

}  // namespace
