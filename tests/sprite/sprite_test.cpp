// Sprites: creation into the lowest free slot, deletion and the release of
// deleted slots, priorities and the draw list's order, immediate and
// deferred sorts.
#include "playfield.h"

#include <algorithm>
#include <random>

using spritetest::box;
using spritetest::Box;
using spritetest::Playfield;

namespace {

using Order = std::vector<int>;

}  // namespace

TEST(Sprite, CreationFillsTheSlot)
{
    Playfield pf(4);
    HSPRITEDATA image = pf.image(10, 6);
    LPVEKSPRITE s = vekCreateSprite(pf.ctx, image, 100, 50, 0x18001, 0x10007, 0x30000);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s, &pf.ctx->spriteSlots[0]);
    EXPECT_EQ(s->inUse, 1u);
    EXPECT_EQ(s->stateFlags, VEK_SPRITE_CHANGED) << "creation flags: low 16 bits";
    EXPECT_EQ(s->image, image);
    EXPECT_EQ(s->shownImage, image);
    EXPECT_EQ(s->x, 100);
    EXPECT_EQ(s->y, 50);
    EXPECT_EQ(box(s->target), (Box{100, 44, 110, 50}));
    EXPECT_EQ(box(s->shown), (Box{100, 44, 110, 50}));
    EXPECT_EQ(s->priority, 7) << "low 16 bits";
    EXPECT_EQ(s->anchorFlags, 0x8001) << "low 16 bits";
    EXPECT_EQ(s->transform, nullptr);
    EXPECT_EQ(pf.ctx->spriteCount, 1);
    EXPECT_EQ(pf.ctx->drawList[0], s);
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0) << "flags 0 sort at once";

    LPVEKSPRITE t = vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0x0100);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t, &pf.ctx->spriteSlots[1]);
    EXPECT_EQ(t->stateFlags, 0x0100 | VEK_SPRITE_CHANGED) << "other bits kept";
}

TEST(Sprite, CreationRefused)
{
    EXPECT_EQ(vekCreateSprite(nullptr, nullptr, 0, 0, 0, 0, 0), nullptr);

    Playfield pf(2);
    HSPRITEDATA image = pf.image(4, 4);
    LPVEKSPRITE first = vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), nullptr) << "full";

    // A deleted sprite holds its slot until the update releases it.
    EXPECT_EQ(vekDeleteSprite(pf.ctx, first), 0);
    EXPECT_EQ(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), nullptr) << "deleted, not yet released";
    EXPECT_EQ(pf.ctx->spriteCount, 2);
    pf.release(first);
    EXPECT_EQ(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), first) << "the released slot is handed out again";

    LPVEKSPRITE *list = pf.ctx->drawList;
    pf.ctx->drawList = nullptr;
    pf.ctx->spriteCount = 0;
    EXPECT_EQ(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), nullptr) << "no draw list";
    pf.ctx->drawList = list;
    pf.ctx->spriteCount = 2;
}

TEST(Sprite, DeletionKeepsTheSlotUntilReleased)
{
    Playfield pf(3);
    HSPRITEDATA image = pf.image(10, 6);
    LPVEKSPRITE a = vekCreateSprite(pf.ctx, image, 10, 10, 0, 1, 0);
    LPVEKSPRITE b = vekCreateSprite(pf.ctx, image, 20, 20, 0, 2, 0);
    LPVEKSPRITE c = vekCreateSprite(pf.ctx, image, 30, 30, 0, 3, 0);
    ASSERT_TRUE(a && b && c);
    vekAnimateSprite(pf.ctx, b, pf.image(4, 4), 50, 0, 0);
    b->stateFlags &= ~VEK_SPRITE_CHANGED;

    vekDeleteSprite(nullptr, b);
    EXPECT_EQ(b->inUse, 1u);
    EXPECT_EQ(b->stateFlags, VEK_SPRITE_DELETED) << "the changed bit is not set";
    EXPECT_EQ(box(b->target), (Box{10, 14, 20, 20})) << "the target goes back to where it is shown";
    EXPECT_EQ(box(b->shown), (Box{10, 14, 20, 20}));
    EXPECT_EQ(b->image, nullptr);
    EXPECT_EQ(b->shownImage, nullptr);
    EXPECT_EQ(pf.order(), (Order{0, 1, 2})) << "still in the draw list";

    // A deleted sprite's priority does not change, and it sorts only a
    // pending sort.
    vekSetSpritePriority(pf.ctx, b, 9);
    vekSetSpritePriorityNosort(pf.ctx, b, 9);
    EXPECT_EQ(b->priority, 2);
    EXPECT_EQ(b->stateFlags, VEK_SPRITE_DELETED);
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    pf.release(b);
    EXPECT_EQ(pf.ctx->spriteCount, 2);
    EXPECT_EQ(pf.order(), (Order{0, 2}));
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    // The lowest free slot is taken, and the sprite takes its place by
    // priority.
    LPVEKSPRITE d = vekCreateSprite(pf.ctx, image, 0, 0, 0, 2, 0);
    EXPECT_EQ(d, b);
    EXPECT_EQ(d->stateFlags, VEK_SPRITE_CHANGED) << "the deleted bit is gone";
    EXPECT_EQ(pf.order(), (Order{0, 1, 2}));
}

TEST(Sprite, SortRefusesACountThatDisagrees)
{
    Playfield pf(3);
    HSPRITEDATA image = pf.image(4, 4);
    LPVEKSPRITE a = vekCreateSprite(pf.ctx, image, 0, 0, 0, 5, 0);
    LPVEKSPRITE b = vekCreateSprite(pf.ctx, image, 0, 0, 0, 1, 0);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(pf.order(), (Order{1, 0}));

    // A slot freed without lowering the count: the list stays as it is and
    // the sort stays pending.
    vekDeleteSprite(pf.ctx, b);
    b->inUse = 0;
    vekSetSpritePriorityNosort(pf.ctx, a, 0);
    vekSetSpritePriority(pf.ctx, a, 0);
    EXPECT_EQ(a->priority, 0);
    EXPECT_EQ(pf.order(), (Order{1, 0}));
    EXPECT_NE(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    pf.ctx->spriteCount = 1;
    vekSetSpritePriority(pf.ctx, a, 0);
    EXPECT_EQ(pf.order(), (Order{0}));
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);
}

TEST(SpriteDrawList, PrioritiesAscendingTiesInSlotOrder)
{
    Playfield pf(4);
    HSPRITEDATA image = pf.image(4, 4);
    LPVEKSPRITE s[3];
    const LONG priorities[3] = {5, -3, 5};
    for (int i = 0; i < 3; i++) ASSERT_NE(s[i] = vekCreateSprite(pf.ctx, image, 0, 0, 0, priorities[i], 0), nullptr);
    EXPECT_EQ(pf.order(), (Order{1, 0, 2}));

    // Raised above the others and brought back, slot 0 goes before slot 2
    // again: ties follow the slots, not the order of the changes.
    vekSetSpritePriority(pf.ctx, s[0], 9);
    EXPECT_EQ(pf.order(), (Order{1, 2, 0}));
    vekSetSpritePriority(pf.ctx, s[0], 5);
    EXPECT_EQ(pf.order(), (Order{1, 0, 2}));

    // Priorities are signed 16-bit numbers: 0x8000 is the lowest.
    vekSetSpritePriority(pf.ctx, s[0], 0x7FFF);
    vekSetSpritePriority(pf.ctx, s[1], 0);
    vekSetSpritePriority(pf.ctx, s[2], 0x18000);
    EXPECT_EQ(s[2]->priority, -32768);
    EXPECT_EQ(pf.order(), (Order{2, 1, 0}));
}

TEST(SpriteDrawList, PriorityChangesMarkTheSprite)
{
    Playfield pf(2);
    LPVEKSPRITE s = vekCreateSprite(pf.ctx, pf.image(4, 4), 0, 0, 0, 3, 0);
    ASSERT_NE(s, nullptr);
    s->stateFlags = 0;
    vekSetSpritePriority(pf.ctx, s, 3);
    vekSetSpritePriorityNosort(pf.ctx, s, 3);
    EXPECT_EQ(s->stateFlags, 0) << "unchanged priority";
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    vekSetSpritePriority(pf.ctx, s, 0x10003);
    EXPECT_EQ(s->stateFlags, VEK_SPRITE_CHANGED) << "compared as 32 bits, stored as 16";
    EXPECT_EQ(s->priority, 3);

    // An unchanged priority still sorts when a sort is pending.
    s->stateFlags = 0;
    pf.ctx->updateFlags |= VEK_UPDATE_SORT;
    vekSetSpritePriority(pf.ctx, s, 3);
    EXPECT_EQ(s->stateFlags, VEK_SPRITE_CHANGED);
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    s->stateFlags = 0;
    vekSetSpritePriorityNosort(pf.ctx, s, -2);
    EXPECT_EQ(s->stateFlags, VEK_SPRITE_CHANGED);
    EXPECT_EQ(s->priority, -2);
    EXPECT_NE(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);
}

TEST(SpriteDrawList, DeferredSortsWaitForTheNextSortingOperation)
{
    Playfield pf(6);
    HSPRITEDATA image = pf.image(4, 4);
    LPVEKSPRITE s[3];
    for (int i = 0; i < 3; i++) ASSERT_NE(s[i] = vekCreateSprite(pf.ctx, image, 0, 0, 0, 3 - i, 0), nullptr);
    ASSERT_EQ(pf.order(), (Order{2, 1, 0}));

    vekSetSpritePriorityNosort(pf.ctx, s[2], 10);
    vekSetSpritePriorityNosort(pf.ctx, s[0], -10);
    EXPECT_EQ(pf.order(), (Order{2, 1, 0})) << "not sorted yet";

    // Creation with flags appends and defers as well.
    LPVEKSPRITE late = vekCreateSprite(pf.ctx, image, 0, 0, 0, -20, 0x0100);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(pf.order(), (Order{2, 1, 0, 3})) << "appended at the end";
    EXPECT_NE(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    // Creation without flags sorts everything pending.
    ASSERT_NE(vekCreateSprite(pf.ctx, image, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(pf.order(), (Order{3, 0, 4, 1, 2}));
    EXPECT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

    // A sprite created with the sort deferred, then a priority change that
    // sorts.
    ASSERT_NE(vekCreateSprite(pf.ctx, image, 0, 0, 0, -30, 0x0001), nullptr);
    EXPECT_EQ(pf.order(), (Order{3, 0, 4, 1, 2, 5}));
    vekSetSpritePriority(pf.ctx, s[1], 1);
    EXPECT_EQ(pf.order(), (Order{5, 3, 0, 4, 1, 2}));
}

TEST(SpriteDrawList, MatchesAStableSortOfTheSlots)
{
    // Many sprites with few distinct priorities over the whole signed range,
    // some slots freed and reused: the draw list must equal the slots in use
    // stably sorted by priority.
    std::mt19937 rng(1234);
    const SHORT levels[] = {-32768, -300, -256, -1, 0, 1, 255, 256, 32767};
    auto pick = [&] { return (LONG)levels[rng() % (sizeof levels / sizeof levels[0])]; };
    Playfield pf(1000);
    HSPRITEDATA image = pf.image(4, 4);
    std::vector<LPVEKSPRITE> live;
    for (int i = 0; i < 1000; i++) live.push_back(vekCreateSprite(pf.ctx, image, 0, 0, 0, pick(), i & 1));

    for (int round = 0; round < 20; round++) {
        for (int k = 0; k < 30; k++) {
            const size_t at = rng() % live.size();
            vekDeleteSprite(pf.ctx, live[at]);
            pf.release(live[at]);
            live.erase(live.begin() + at);
        }
        for (int k = 0; k < 25; k++) live.push_back(vekCreateSprite(pf.ctx, image, 0, 0, 0, pick(), k & 1));
        for (int k = 0; k < 50; k++) vekSetSpritePriorityNosort(pf.ctx, live[rng() % live.size()], pick());
        vekSetSpritePriority(pf.ctx, live[0], pick());
        ASSERT_EQ(pf.ctx->updateFlags & VEK_UPDATE_SORT, 0);

        Order expected;
        for (int i = 0; i < pf.ctx->maxSprites; i++)
            if (pf.ctx->spriteSlots[i].inUse) expected.push_back(i);
        std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
            return pf.ctx->spriteSlots[a].priority < pf.ctx->spriteSlots[b].priority;
        });
        ASSERT_EQ(pf.order(), expected) << "round " << round;
    }
}
