#include "WorldFixture.h"

#include <cmath>

class GameLuaContacts : public WorldFixture
{
protected:
	GameLuaContacts()
	{
		recordCallbacks();
		run("world.blockTable.damageFactors.stone = {damageMultiplier = {}, velocityMultiplier = {}}");
	}

	// A 10 kg crate dropped 2 m onto the ground, with extra script fields for both; frames run
	// until the first collision has been reported.
	void dropCrate(const std::string& groundFields, const std::string& crateFields)
	{
		createGround();
		run("world.createBox('crate', '', 0, -2.7, 1, 1, 10, 0.5, 0, true, false, 1)\n"
			"w = world.objects.world\n"
			"w.crate.material = 'wood'\n" + groundFields + "\n" + crateFields);
		for (int i = 0; i < 60 && number("#collisions") == 0; ++i)
			frames(1);
		ASSERT_LT(0.0f, number("#collisions"));
	}
};

TEST_F(GameLuaContacts, ObjectsWithoutStrengthAreHitButUndamaged)
{
	dropCrate("", "w.crate.defence = 1000 w.crate.strength = 10");
	EXPECT_EQ("block", text("collisions[1].kind"));
	EXPECT_TRUE(boolean("collisions[1].hit"));
	EXPECT_EQ(10.0f, number("w.crate.strength"));
	EXPECT_EQ(0.0f, number("scoreTable.blocks.score"));
}

TEST_F(GameLuaContacts, DefenceAboveTheImpactMeansNoHit)
{
	dropCrate("w.ground.strength = 10 w.ground.defence = 1000", "w.crate.defence = 1000 w.crate.strength = 10");
	EXPECT_FALSE(boolean("collisions[1].hit"));
	EXPECT_EQ(10.0f, number("w.crate.strength"));
	EXPECT_EQ(10.0f, number("w.ground.strength"));
}

TEST_F(GameLuaContacts, DamageLowersStrengthAndScoresTenPerWholePoint)
{
	dropCrate("", "w.crate.strength = 100");
	const float impact = number("collisions[1].impact");
	EXPECT_LT(1.0f, impact);
	EXPECT_FLOAT_EQ(100.0f - impact, number("w.crate.strength"));
	EXPECT_EQ(std::floor(impact) * 10.0f, number("scoreTable.blocks.score"));
}

TEST_F(GameLuaContacts, HazardsTouchingEachOtherTakeNormalDamage)
{
	dropCrate("w.ground.material = 'hazard'", "w.crate.material = 'hazard' w.crate.strength = 100");
	EXPECT_EQ("block", text("collisions[1].kind"));
	EXPECT_FALSE(boolean("collisions[1].overTime"));
	EXPECT_GT(100.0f, number("w.crate.strength"));
}

TEST_F(GameLuaContacts, BreakingBlockReportsItsRemainingStrength)
{
	createGround();
	run("world.createBox('block', '', 0, -0.6, 1, 1, 0, 0.5, 0, true, false, 1)\n"
		"world.createCircle('stone', '', 0, -4, 0.5, 5, 0.5, 0, true, true, 1)\n"
		"local w = world.objects.world\n"
		"w.block.material = 'wood' w.block.strength = 2.5\n"
		"w.stone.material = 'rock' w.stone.damageFactors = 'stone'");
	for (int i = 0; i < 60 && number("#collisions") == 0; ++i)
		frames(1);
	EXPECT_EQ("projectile", text("collisions[1].kind"));
	EXPECT_LT(2.5f, number("collisions[1].impact"));
	EXPECT_EQ(2.0f, number("collisions[1].damage"));
	EXPECT_GT(0.0f, number("world.objects.world.block.strength"));
}

TEST_F(GameLuaContacts, ZeroImpactAgainstNegativeDefenceKeepsVelocitiesFinite)
{
	run("world.createBox('block', '', 0, -10, 1, 1, 0, 0.5, 0, true, false, 1)\n"
		"world.createCircle('stone', '', 0, -10.5, 0.5, 5, 0.5, 0, true, true, 1)\n"
		"local w = world.objects.world\n"
		"w.block.material = 'wood' w.block.strength = 0.5 w.block.defence = -1\n"
		"w.stone.material = 'rock' w.stone.damageFactors = 'stone'");
	frames(3);
	EXPECT_EQ(0.0f, number("collisions[1].impact"));
	EXPECT_TRUE(boolean("world.objects.world.stone.yVel == world.objects.world.stone.yVel"));
	EXPECT_TRUE(std::isfinite(world->getBody("stone")->GetLinearVelocity().y));
}

// A crate resting on a hazard takes damage over time until the change ends the touch.
TEST_F(GameLuaContacts, EndingAHazardTouchStopsTheDamageOverTime)
{
	const char* const changes[] = {"world.removeObject('lava')", "world.removeObject('crate')", "world.setCollisionEnabled('crate', false)"};
	for (const char* change : changes)
	{
		world->clearWorld();
		createGround();
		run("world.createBox('lava', '', 0, -0.6, 4, 1, 0, 0.5, 0, true, false, 1)\n"
			"world.createBox('crate', '', 0, -1.8, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"world.createBox('other', '', 5, -0.7, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"local w = world.objects.world\n"
			"w.lava.material = 'hazard' w.crate.material = 'wood' w.crate.strength = 100 w.other.material = 'wood'\n"
			"overTime = 0\n"
			"function world.blockCollision(a, b, impact, hit, isOverTime) if isOverTime then overTime = overTime + 1 end end");
		frames(10);
		EXPECT_LT(0.0f, number("overTime")) << change;
		EXPECT_TRUE(boolean("world.objects.world.lava.spawnEmberParticles")) << change;
		EXPECT_GT(100.0f, number("world.objects.world.crate.strength")) << change;
		run(std::string(change) + " overTime = 0");
		frames(10);
		EXPECT_EQ(0.0f, number("overTime")) << change;
		EXPECT_FALSE(boolean("world.objects.world.lava.spawnEmberParticles")) << change;
	}
}

TEST_F(GameLuaContacts, BodyWhoseNameHasATableButNoRecordIsNotTouched)
{
	world->createBox("bare", 0.0f, -0.6f, 1.0f, 1.0f, 0.0f, 0.5f, 0.0f, true);
	run("world.objects.world = world.objects.world or {}\n"
		"world.objects.world.bare = {material = 'wood', strength = 1}\n"
		"world.createBox('crate', '', 0, -2, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.crate.material = 'wood'");
	frames(30);
	EXPECT_EQ(0.0f, number("#collisions"));
	EXPECT_EQ(1.0f, number("world.objects.world.bare.strength"));
}
