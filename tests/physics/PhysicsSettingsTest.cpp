#include <box2d/box2d.h>
#include <gtest/gtest.h>
#include <memory>

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
        world.Step(1.0f / 30.0f, 10, 10);
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
    auto pile = [](bool grows) {
        auto world = std::make_unique<b2World>(b2Vec2(0.0f, 20.0f));
        world->SetStackGrowth(grows);
        b2BodyDef groundDef;
        b2Body* ground = world->CreateBody(&groundDef);
        b2PolygonShape groundShape;
        groundShape.SetAsBox(30.0f, 1.0f, b2Vec2(0.0f, 1.0f), 0.0f);
        ground->CreateFixture(&groundShape, 0.0f);
        b2PolygonShape boxShape;
        boxShape.SetAsBox(0.5f, 0.5f);
        for (int row = 0; row < 20; ++row)
            for (int column = 0; column < 20; ++column)
            {
                b2BodyDef boxDef;
                boxDef.type = b2_dynamicBody;
                boxDef.position.Set(-12.0f + 1.2f * static_cast<float>(column) + 0.1f * static_cast<float>(row % 2), -0.6f - 1.2f * static_cast<float>(row));
                world->CreateBody(&boxDef)->CreateFixture(&boxShape, 1.0f);
            }
        return world;
    };
    std::unique_ptr<b2World> growing = pile(true);
    std::unique_ptr<b2World> shipped = pile(false);
    for (int step = 0; step < 60; ++step)
    {
        growing->Step(1.0f / 30.0f, 10, 10);
        shipped->Step(1.0f / 30.0f, 10, 10);
    }
    EXPECT_GT(growing->GetContactCount(), 700);
    for (const b2Body *a = growing->GetBodyList(), *b = shipped->GetBodyList(); a && b; a = a->GetNext(), b = b->GetNext())
    {
        ASSERT_EQ(a->GetPosition().x, b->GetPosition().x);
        ASSERT_EQ(a->GetPosition().y, b->GetPosition().y);
        ASSERT_EQ(a->GetAngle(), b->GetAngle());
    }
}
