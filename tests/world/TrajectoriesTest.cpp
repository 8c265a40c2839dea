#include "DrawingFixture.h"

namespace
{

class Trajectories : public DrawingFixture
{
protected:
	Trajectories()
	{
		loadSheet("trails", {{"TRAIL_WHITE_1", 0, 0, 4, 4, 2, 2}, {"TRAIL_WHITE_2", 0, 0, 4, 4, 2, 2}, {"TRAIL_WHITE_3", 0, 0, 4, 4, 2, 2},
			{"PROJECTILE_SPECIAL", 0, 0, 8, 8, 4, 4}});
		// A projectile without a sprite of its own: only the trails are drawn.
		addObject("orb", nullptr, 1.0f).isProjectile = true;
	}

	std::vector<std::string> drawn()
	{
		run("world.drawGameNative()");
		return drawnSprites();
	}
};

TEST_F(Trajectories, ShotsAlternateBetweenTwoBanksOfThreePaths)
{
	run("world.addToTrajectory(1, 0, 0)");
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 0));
	run("world.startNewTrajectory(); world.addToTrajectory(2.9, 0, 0); world.addToTrajectory(1, 0, 0)");
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 3));
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 4));
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 0));

	run("world.startNewTrajectory(); world.addToTrajectory(1, 0, 0)");
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 0));
	EXPECT_EQ(1, GameLuaTestAccess::trailPoints(*world, 3));

	for (const char* path : {"0", "0.5", "4", "-1", "0/0"})
		run(std::string("world.addToTrajectory(") + path + ", 0, 0); world.addPuffToTrajectory(" + path + ", 0, 0)");
	EXPECT_EQ(3u, drawn().size());
}

TEST_F(Trajectories, TrailsCycleThreeSpritesPerSlotWithPuffsAboveTheirOwnTrail)
{
	for (int i = 0; i < 7; ++i)
		run("world.addToTrajectory(1, " + std::to_string(i) + ", 0)");
	run("world.addPuffToTrajectory(1, 0, 0); world.addToTrajectory(2, 0, 0); world.addToTrajectory(2, 0, 0)");
	const std::string one = "TRAIL_WHITE_1", two = "TRAIL_WHITE_2", three = "TRAIL_WHITE_3", puff = "PROJECTILE_SPECIAL";
	EXPECT_EQ((std::vector<std::string>{one, two, three, one, two, three, one, puff, one, two}), drawn());

	// The previous shot stays drawn beside the new one.
	run("world.startNewTrajectory(); world.addToTrajectory(1, 0, 0)");
	EXPECT_EQ((std::vector<std::string>{one, two, three, one, two, three, one, puff, one, two, one}), drawn());
}

} // namespace
