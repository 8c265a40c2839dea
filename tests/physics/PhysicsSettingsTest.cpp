#include <box2d/box2d.h>
#include <gtest/gtest.h>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>

namespace
{
constexpr float kStepSeconds = 1.0f / 30.0f; // the game's physics step
constexpr int kIterations = 10;              // velocity and position iterations, as the game steps

// A floor and a wall at each side 0.1 m from columns x rows of 1 m boxes, 0.3 m apart and the
// lowest row 0.5 m above the floor, every other row shifted right by rowShift metres, in a world
// with the game's gravity (+y is down). The floor's top is y = 0 and the walls' inner faces
// x = -innerHalfWidth(columns, rowShift) and +innerHalfWidth(columns, rowShift). Boxes in straight
// columns settle on one another column by column; shifted rows tumble into one pile.
constexpr float kBoxPitch = 1.3f; // m
constexpr float kWallGap = 0.1f;  // m

float innerHalfWidth(int columns, float rowShift)
{
    return 0.5f * (kBoxPitch * static_cast<float>(columns) + rowShift) + kWallGap;
}

std::unique_ptr<b2World> boxGrid(int columns, int rows, float rowShift, bool stackGrows)
{
    auto world = std::make_unique<b2World>(b2Vec2(0.0f, 20.0f));
    world->SetStackGrowth(stackGrows);
    const float halfWidth = innerHalfWidth(columns, rowShift);
    const float height = kBoxPitch * static_cast<float>(rows) + 2.0f;
    b2BodyDef staticDef;
    b2PolygonShape slab;
    slab.SetAsBox(halfWidth + 2.0f, 1.0f, b2Vec2(0.0f, 1.0f), 0.0f);
    world->CreateBody(&staticDef)->CreateFixture(&slab, 0.0f);
    for (float side : {-1.0f, 1.0f})
    {
        slab.SetAsBox(1.0f, 0.5f * height, b2Vec2(side * (halfWidth + 1.0f), -0.5f * height), 0.0f);
        world->CreateBody(&staticDef)->CreateFixture(&slab, 0.0f);
    }
    b2PolygonShape boxShape;
    boxShape.SetAsBox(0.5f, 0.5f);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            b2BodyDef boxDef;
            boxDef.type = b2_dynamicBody;
            boxDef.position.Set(-halfWidth + kWallGap + kBoxPitch * (static_cast<float>(column) + 0.5f) + rowShift * static_cast<float>(row % 2),
                                -1.0f - kBoxPitch * static_cast<float>(row));
            world->CreateBody(&boxDef)->CreateFixture(&boxShape, 1.0f);
        }
    return world;
}
} // namespace

TEST(PhysicsSettings, ToleranceConstantsAreTheGames)
{
    EXPECT_EQ(b2_linearSlop, 0.05f);
    EXPECT_EQ(b2_polygonRadius, 0.1f);
    EXPECT_EQ(b2_linearSleepTolerance, 0.1f);
    EXPECT_EQ(b2_timeToSleep, 0.25f);
}

// A box dropped on the ground comes to rest there and sleeps (the settings reach the solver).
TEST(PhysicsSettings, RestingBodyFallsAsleepAfterTimeToSleep)
{
    b2World world(b2Vec2(0.0f, 20.0f));
    b2BodyDef groundDef;
    b2Body* ground = world.CreateBody(&groundDef);
    b2PolygonShape groundShape;
    groundShape.SetAsBox(50.0f, 1.0f, b2Vec2(0.0f, 1.0f), 0.0f);
    ground->CreateFixture(&groundShape, 0.0f);

    b2BodyDef boxDef;
    boxDef.type = b2_dynamicBody;
    boxDef.position.Set(0.0f, -0.5f);
    b2Body* box = world.CreateBody(&boxDef);
    b2PolygonShape boxShape;
    boxShape.SetAsBox(0.5f, 0.5f);
    box->CreateFixture(&boxShape, 1.0f);

    int stepsUntilAsleep = -1;
    for (int step = 0; step < 300 && stepsUntilAsleep < 0; ++step)
    {
        world.Step(kStepSeconds, kIterations, kIterations);
        if (!box->IsAwake())
            stepsUntilAsleep = step + 1;
    }
    ASSERT_GT(stepsUntilAsleep, 0) << "the box never fell asleep";
    EXPECT_LT(box->GetPosition().y, 0.1f) << "the box did not come to rest on the ground";
}

// A world that keeps its solver's scratch memory between steps simulates exactly as one that
// takes it from the heap at every step, also once the stack has grown past its first 100 KB
// (a pile of some 400 touching boxes needs several times that).
TEST(PhysicsSettings, StackGrowthKeepsTheSimulationUnchanged)
{
    std::unique_ptr<b2World> growing = boxGrid(20, 20, 0.2f, true);
    std::unique_ptr<b2World> shipped = boxGrid(20, 20, 0.2f, false);
    for (int step = 0; step < 60; ++step)
    {
        growing->Step(kStepSeconds, kIterations, kIterations);
        shipped->Step(kStepSeconds, kIterations, kIterations);
    }
    EXPECT_GT(growing->GetContactCount(), 700);
    EXPECT_GT(growing->GetStackCapacity(), b2_stackSize) << "the stack never grew";
    EXPECT_EQ(shipped->GetStackCapacity(), b2_stackSize);
    for (const b2Body *a = growing->GetBodyList(), *b = shipped->GetBodyList(); a && b; a = a->GetNext(), b = b->GetNext())
    {
        ASSERT_EQ(a->GetPosition().x, b->GetPosition().x);
        ASSERT_EQ(a->GetPosition().y, b->GetPosition().y);
        ASSERT_EQ(a->GetAngle(), b->GetAngle());
    }
}

// Every entry of the solver's stack starts as aligned as a malloc block whatever the sizes before
// it, in the inline stack and in a grown one, and the stack grows to half as much again as its
// peak, in whole growth units. The sizes are ones the solver asks for: odd counts of 12-byte
// velocities and positions, 8-byte pointers and 4-byte indices.
TEST(PhysicsSettings, StackEntriesStartAlignedAndTheStackGrowsWithAMargin)
{
    static_assert(b2_stackAlignment % alignof(std::max_align_t) == 0);
    const int32 sizes[] = {12 * 2003, 4, 12 * 7, 8 * 2003, 1, 4 * 5, 12};
    auto entriesStartAligned = [&sizes](b2StackAllocator& stack) {
        void* entries[std::size(sizes)];
        bool aligned = true;
        for (size_t i = 0; i < std::size(sizes); ++i)
        {
            entries[i] = stack.Allocate(sizes[i]);
            aligned = aligned && reinterpret_cast<uintptr_t>(entries[i]) % b2_stackAlignment == 0;
        }
        for (size_t i = std::size(sizes); i > 0; --i)
            stack.Free(entries[i - 1]);
        return aligned;
    };

    b2StackAllocator stack;
    stack.SetGrowth(true);
    EXPECT_TRUE(entriesStartAligned(stack)) << "in the inline stack";
    ASSERT_EQ(stack.GetCapacity(), b2_stackSize);

    const int32 peak = 3 * b2_stackSize;
    stack.Free(stack.Allocate(peak));
    EXPECT_GE(stack.GetCapacity(), peak + peak / 2);
    EXPECT_EQ(stack.GetCapacity() % b2_stackGrowthUnit, 0);
    EXPECT_TRUE(entriesStartAligned(stack)) << "in the grown stack";
}

// A scene of some 2000 bodies steps from a grown stack and piles up within its walls. The stack
// grows with a margin, so it settles after a few regrowths while the boxes fall and pile up; grown
// to the exact peak each time, it regrows some 35 times. This scene does not see whether entries
// start aligned: packed, about a hundred of its 5000 entries would start at 4 mod 8, but each of
// those holds only 4-byte numbers, which the sanitizer takes at any 4-byte boundary. The test
// above checks the start of every entry of the sizes the solver asks for.
TEST(PhysicsSettings, TwoThousandBoxesStepFromAStackThatSettles)
{
    const int columns = 40;
    const int rows = 50;
    std::unique_ptr<b2World> world = boxGrid(columns, rows, 0.0f, true);
    int regrowths = 0;
    int lastRegrowthStep = 0;
    for (int step = 1; step <= 200; ++step)
    {
        const int32 capacity = world->GetStackCapacity();
        world->Step(kStepSeconds, kIterations, kIterations);
        if (world->GetStackCapacity() != capacity)
        {
            ++regrowths;
            lastRegrowthStep = step;
        }
    }
    EXPECT_GT(world->GetStackCapacity(), b2_stackSize) << "the stack never grew";
    EXPECT_LE(regrowths, 6) << "the last at step " << lastRegrowthStep;

    ASSERT_EQ(world->GetBodyCount(), columns * rows + 3);
    EXPECT_GT(world->GetContactCount(), columns * rows);
    const float halfWidth = innerHalfWidth(columns, 0.0f);
    for (const b2Body* body = world->GetBodyList(); body; body = body->GetNext())
    {
        if (body->GetType() != b2_dynamicBody)
            continue;
        const b2Vec2 position = body->GetPosition();
        ASSERT_TRUE(std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(body->GetAngle()));
        EXPECT_LT(std::fabs(position.x), halfWidth) << "a box left the space between the walls";
        EXPECT_LT(position.y, 0.0f) << "a box fell through the floor";
    }
}
