// A sprite context and images for the sprite tests, released at the end.
#pragma once

#include <vekkit.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace spritetest {

// A context of maxSprites slots on a 640 x 480 playfield, without a window.
struct Playfield {
    LPVEKCONTEXT ctx;
    std::vector<HSPRITEDATA> images;

    explicit Playfield(LONG maxSprites)
        : ctx(vekCreateSpriteContext(nullptr, nullptr, maxSprites, 64, 48, 0, nullptr, 640, 480))
    {
    }
    ~Playfield()
    {
        vekDeleteSpriteContext(ctx);
        for (HSPRITEDATA image : images) vekDeleteSpriteData(image);
    }
    Playfield(const Playfield &) = delete;
    Playfield &operator=(const Playfield &) = delete;

    HSPRITEDATA image(LONG width, LONG height)
    {
        images.push_back(vekCreateSpriteDataObject(width, height));
        return images.back();
    }

    int slot(const VEKSPRITE *s) const { return static_cast<int>(s - ctx->spriteSlots); }

    // The draw list as slot numbers.
    std::vector<int> order() const
    {
        std::vector<int> slots;
        for (LONG i = 0; i < ctx->spriteCount; i++) slots.push_back(slot(ctx->drawList[i]));
        return slots;
    }

    // Frees a deleted sprite's slot the way the frame update does: in use
    // 0, one sprite fewer, then a sort (here through the priority setter,
    // which sorts a pending sort even for a deleted sprite).
    void release(LPVEKSPRITE s)
    {
        ASSERT_TRUE(s->stateFlags & VEK_SPRITE_DELETED);
        s->inUse = 0;
        ctx->spriteCount--;
        ctx->updateFlags |= VEK_UPDATE_SORT;
        vekSetSpritePriority(ctx, s, 0);
    }
};

// A rectangle as left, top, right, bottom, to compare and print.
using Box = std::array<LONG, 4>;

inline Box box(const RECT &r)
{
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace spritetest
