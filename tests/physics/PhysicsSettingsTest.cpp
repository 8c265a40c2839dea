#include <box2d/box2d.h>
#include <gtest/gtest.h>

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
