#include "GameLuaTestAccess.h"
#include "WorldFixture.h"

#include <cmath>
#include <functional>

using GameLuaFrame = WorldFixture;

class GameLuaFrameSteps : public WorldFixture
{
protected:
	// One frame of dt from an empty accumulator on a box falling from rest: the steps taken and
	// the blend factor, how far the drawn position has gone from the previous stored state
	// toward the last one. Falling freely from rest, the second step moves twice as far as the
	// first, which locates the first step's state.
	void expectFrame(float dt, int steps, float alpha)
	{
		recordCallbacks();
		const float startY = -10.0f;
		run("world.createBox('crate', '', 0, -10, 1, 1, 1, 0.5, 0, true, false, 1)");
		world->update(dt);
		EXPECT_EQ(static_cast<float>(steps), number("removeBlocksCalls"));
		const float lastY = world->getBody("crate")->GetPosition().y;
		const float previousY = steps == 1 ? startY : startY + (lastY - startY) / 3.0f;
		EXPECT_NEAR(alpha, (number("world.objects.world.crate.y") - previousY) / (lastY - previousY), 1e-4);
	}
};

TEST_F(GameLuaFrameSteps, FiftyMillisecondsTakeOneStepAndBlendHalfWay)
{
	expectFrame(0.05f, 1, 0.49999994f);
}

TEST_F(GameLuaFrameSteps, ATenthOfASecondTakesTwoStepsNotThree)
{
	expectFrame(0.1f, 2, 0.99999976f);
}

TEST_F(GameLuaFrame, AngleAcrossTheSeamBlendsThroughPi)
{
	recordCallbacks();
	run("world.createBox('spinner', '', 0, -10, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.setRotation('spinner', 3.1)\n"
		"world.setAngularVelocity('spinner', 2.6)");
	world->update(0.05f);
	// Half way between 3.1 and an angle just past pi (stored as about -3.1): near +-pi, not 0.
	EXPECT_NEAR(static_cast<float>(M_PI), std::fabs(number("world.getAngle('spinner')")), 0.05);
}

TEST_F(GameLuaFrame, MovementFlagsFollowTheObjectsUntilTheyRest)
{
	recordCallbacks();
	frames(1);
	EXPECT_FALSE(boolean("world.hasMovingObjects or world.hasAwakeObjects or world.hasMovingObjectsZeroTolerance"));

	createGround();
	run("world.createBox('crate', '', 0, -3, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.crate.material = 'wood'");
	frames(10);
	EXPECT_TRUE(boolean("world.hasMovingObjects and world.hasAwakeObjects and world.hasMovingObjectsZeroTolerance"));
	frames(150);
	EXPECT_FALSE(world->getBody("crate")->IsAwake());
	EXPECT_FALSE(boolean("world.hasMovingObjects or world.hasAwakeObjects or world.hasMovingObjectsZeroTolerance"));
	// Resting on the ground, its skin and the ground's (0.1 m each) between them.
	EXPECT_NEAR(-0.7f, number("world.objects.world.crate.y"), 0.1);
}

// The publishing walk passes over sleeping objects only until it calls a script: the animation
// script here wakes every crate, and those after the animated object are published in that frame.
TEST_F(GameLuaFrame, ObjectsWokenByAnAnimationScriptArePublishedInTheSameFrame)
{
	recordCallbacks();
	createGround();
	run("for i = 1, 8 do world.createBox('crate' .. i, '', i * 2 - 9, -0.5, 1, 1, 1, 0.5, 0, true, false, 1) end\n"
		"world.createBox('dancer', '', 10, -0.5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.setObjectParameter('dancer', 13, 1)\n"
		"waking = false\n"
		"function world.selectObjectAnimation()\n"
		"  if not waking then return end\n"
		"  waking = false\n"
		"  for i = 1, 8 do\n"
		"    world.objects.world['crate' .. i].y = 99\n"
		"    world.applyImpulse('crate' .. i, 0, -1, i * 2 - 9, -0.5)\n"
		"  end\n"
		"end");
	frames(150);
	ASSERT_FALSE(boolean("world.hasAwakeObjects"));
	run("waking = true");
	frames(1);
	EXPECT_TRUE(boolean("world.hasAwakeObjects"));
	const int published = static_cast<int>(number("#(function() local t = {} for i = 1, 8 do\n"
		" if world.objects.world['crate' .. i].y ~= 99 then t[#t + 1] = i end end return t end)()"));
	EXPECT_GT(published, 0);
	EXPECT_LT(published, 8);
}

// Damage over time calls the scripts in the middle of the walk over the objects; a script that
// removes objects there must leave the walk on live records only (ASan checks the rest).
TEST_F(GameLuaFrame, ScriptRemovingObjectsDuringDamageOverTimeLeavesNoFreedRecordInUse)
{
	recordCallbacks();
	createGround("hazard");
	run("for i = 1, 12 do\n"
		"  local name = 'crate' .. i\n"
		"  world.createBox(name, '', i * 1.5 - 10, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"  world.objects.world[name].material = 'wood'\n"
		"  world.objects.world[name].strength = 100\n"
		"end\n"
		"function world.blockCollision(a, b, impact, hit, overTime)\n"
		"  if overTime then\n"
		"    overTimeCalls = (overTimeCalls or 0) + 1\n"
		"    for i = 1, 12 do world.removeObject('crate' .. i) end\n"
		"  end\n"
		"end");
	frames(5);
	EXPECT_EQ(1.0f, number("overTimeCalls"));
	for (int i = 1; i <= 12; ++i)
		EXPECT_EQ(nullptr, world->getBody(("crate" + std::to_string(i)).c_str()));
}

// A contact callback that fails is logged and the step goes on; the world is not left locked.
TEST_F(GameLuaFrame, ContactCallbackErrorIsLoggedAndTheStepGoesOn)
{
	recordCallbacks();
	createGround();
	run("world.createBox('crate', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.crate.material = 'wood'\n"
		"function world.blockCollision() error('broken script') end");
	const Output output = capture([&] { EXPECT_NO_THROW(frames(3)); });
	EXPECT_NE(std::string::npos, output.debug.find("Script error in \"blockCollision\": broken script")) << output.debug;
	EXPECT_EQ(3.0f, number("frames"));
	// The world is unlocked again: removal takes effect at once.
	run("world.removeObject('crate')");
	EXPECT_EQ(nullptr, world->getBody("crate"));
}

TEST_F(GameLuaFrame, InGameParticlesAgeOnlyWhilePhysicsRuns)
{
	recordCallbacks();
	TempDir sheets;
	defineSparks(sheets, 1.0f);
	run("particles.addParticles('spark', 1, 0, -10, 0, 0, 0)");
	const bool physics[] = {false, true};
	const size_t drawn[] = {1u, 0u};
	for (int i = 0; i < 2; ++i)
	{
		world->setPhysicsEnabled(physics[i]);
		world->update(2.0f);
		context.imageDraws.clear();
		run("world.drawParticlesNative()");
		EXPECT_EQ(drawn[i], context.imageDraws.size()) << "physics " << physics[i];
	}
}

// A body that a step turns to no number spreads it through its contacts and joints to every body
// they reach; the frame puts each such body back at rest where it was last stored, logs it once,
// counts it every time, and the next steps move it again as if nothing had happened.
TEST_F(GameLuaFrame, BodyTurnedToNoNumberIsPutBackAtRestAndTheWorldGoesOn)
{
	recordCallbacks();
	createGround();
	run("world.createBox('low', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.createBox('high', '', 0, -1.8, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.createBox('side', '', 4, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.createJoint({type = 3, name = 'rope', end1 = 'high', end2 = 'side', x1 = 0, y1 = -1.8, x2 = 4, y2 = -0.6})");
	frames(60);
	EXPECT_EQ(0, GameLuaTestAccess::noNumberCatches(*world));
	const float highY = number("world.objects.world.high.y");
	b2World& physics = GameLuaTestAccess::physicsWorld(*world);
	auto allFinite = [&] {
		for (const b2Body* body = physics.GetBodyList(); body; body = body->GetNext())
			if (!std::isfinite(body->GetPosition().x + body->GetPosition().y + body->GetAngle()
					+ body->GetLinearVelocity().x + body->GetLinearVelocity().y + body->GetAngularVelocity()))
				return false;
		return true;
	};

	// As a solver step would leave it: awake, with no number in its velocity.
	world->getBody("high")->SetAwake(true);
	world->getBody("high")->SetLinearVelocity(b2Vec2(NAN, 0.0f));
	const std::string log = capture([&] { frames(1); }).debug;
	EXPECT_NE(std::string::npos, log.find("Object high turned to no number")) << log;
	const int caught = GameLuaTestAccess::noNumberCatches(*world);
	EXPECT_GE(caught, 1);
	EXPECT_TRUE(allFinite());
	EXPECT_NEAR(highY, number("world.objects.world.high.y"), 0.05);
	EXPECT_TRUE(std::isfinite(number("world.objects.world.low.x + world.objects.world.side.x + world.objects.joints.rope.x1")));

	// Logged once for an object however often it happens; the world steps on, and the bodies
	// move again: no impulse of no number is carried into later steps.
	world->getBody("high")->SetAngularVelocity(INFINITY);
	const std::string later = capture([&] {
		frames(2);
		run("world.setVelocity('low', 3, 0)");
		frames(10);
	}).debug;
	EXPECT_EQ(std::string::npos, later.find("high turned to no number")) << later;
	EXPECT_GT(GameLuaTestAccess::noNumberCatches(*world), caught);
	EXPECT_TRUE(allFinite());
	EXPECT_GT(number("world.objects.world.low.x"), 0.05f);
}

// Box2D sets no velocity on a static body, yet a step leaves one of no number on a static shelf
// whose hinge holds a door of no number, and the shelf hands it to the door and the crate on it at
// every later step. The frame puts each back once, the shelf truly at rest, and the world goes on.
TEST_F(GameLuaFrame, StaticBodyTurnedToNoNumberIsPutBackTrulyAtRest)
{
	recordCallbacks();
	createGround();
	run("world.createBox('shelf', '', 0, -3, 6, 0.4, 0, 0.5, 0, true, false, 1)\n"
		"world.createBox('crate', '', 0, -3.7, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.createBox('door', '', 4.5, -3, 2, 0.4, 1, 0.5, 0, true, false, 1)\n"
		"world.createJoint({type = 3, name = 'hinge', end1 = 'shelf', end2 = 'door', x1 = 3.5, y1 = 0, x2 = 0, y2 = 0})");
	frames(30);
	const b2Body* shelf = world->getBody("shelf");
	world->getBody("door")->SetAwake(true);
	world->getBody("door")->SetLinearVelocity(b2Vec2(NAN, 0.0f));
	const std::string log = capture([&] { frames(1); }).debug;
	EXPECT_NE(std::string::npos, netLines(log).find("Object shelf turned to no number in a physics step: put back at rest at (0, -3)")) << log;
	const int caught = GameLuaTestAccess::noNumberCatches(*world);
	EXPECT_EQ(2, caught) << "the door and the shelf";
	EXPECT_EQ(b2Vec2(0.0f, -3.0f), shelf->GetPosition());
	EXPECT_EQ(b2Vec2(0.0f, 0.0f), shelf->GetLinearVelocity());
	EXPECT_EQ(0.0f, shelf->GetAngularVelocity());

	frames(60);
	EXPECT_EQ(caught, GameLuaTestAccess::noNumberCatches(*world));
	const float crateX = number("world.objects.world.crate.x");
	run("world.setVelocity('crate', 2, 0)");
	frames(10);
	EXPECT_EQ(caught, GameLuaTestAccess::noNumberCatches(*world));
	EXPECT_GT(number("world.objects.world.crate.x"), crateX + 0.1f);
	EXPECT_GT(number("world.objects.world.door.y"), -2.3f) << "the door swings down from its hinge again";
}

// The contact a body of no number begins does no damage: its impact would turn the other
// object's strength and the score to no number.
TEST_F(GameLuaFrame, BodyOfNoNumberDoesNoDamage)
{
	recordCallbacks();
	run("world.createBox('a', '', 0, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.createBox('b', '', 0.5, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.a.material, world.objects.world.b.material = 'wood', 'wood'\n"
		"world.objects.world.a.strength, world.objects.world.b.strength = 100, 100");
	world->getBody("a")->SetLinearVelocity(b2Vec2(NAN, 0.0f));
	frames(1);
	EXPECT_EQ(0.0f, number("#collisions"));
	EXPECT_EQ(100.0f, number("world.objects.world.b.strength"));
	EXPECT_TRUE(std::isfinite(number("world.objects.world.a.x + world.scoreTable.blocks.score")));
}

// A step that carries a body beyond the world's extent, its numbers still finite, is met as one
// that turns it to no number: the frame puts it back at rest where it was last stored, within
// the extent, and logs it once. Stepped on, it stays within.
TEST_F(GameLuaFrame, BodyCarriedBeyondTheWorldsExtentIsPutBackWithinIt)
{
	recordCallbacks();
	run("world.createBox('runner', '', 9999, -60, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.setVelocity('runner', 60, 0)");
	const b2Body* body = world->getBody("runner");
	const std::string log = capture([&] { frames(1); }).debug;
	EXPECT_EQ("Object runner went beyond the world's extent in a physics step: put back at rest at (9999, -60)\n", netLines(log)) << log;
	EXPECT_EQ(b2Vec2(9999.0f, -60.0f), body->GetPosition());
	EXPECT_EQ(b2Vec2(0.0f, 0.0f), body->GetLinearVelocity());
	EXPECT_EQ(9999.0f, number("world.objects.world.runner.x"));

	const std::string later = capture([&] {
		for (int i = 0; i < 30; ++i)
		{
			run("world.setVelocity('runner', 60, 0)");
			frames(1);
			EXPECT_TRUE(GameLua::isWithinExtent(body->GetPosition())) << i;
		}
	}).debug;
	EXPECT_EQ("", netLines(later));
	EXPECT_LE(number("world.objects.world.runner.x"), GameLua::WORLD_EXTENT);
	EXPECT_EQ(0, GameLuaTestAccess::noNumberCatches(*world)) << "the net's ordinary work is no fault";
}

// The count of bodies turned to no number, which the level fuzz target stops on, sees each body
// that a step leaves at no number, once each time.
TEST_F(GameLuaFrame, EveryBodyTurnedToNoNumberIsCounted)
{
	recordCallbacks();
	run("world.createBox('crate', '', 0, -50, 1, 1, 1, 0.5, 0, true, false, 1)");
	const std::function<void(b2Body&)> pokes[] = {
		[](b2Body& body) { body.SetLinearVelocity(b2Vec2(0.0f, NAN)); },
		[](b2Body& body) { body.SetAngularVelocity(-INFINITY); },
		[](b2Body& body) { body.SetLinearVelocity(b2Vec2(INFINITY, 0.0f)); },
	};
	int expected = 0;
	for (const auto& poke : pokes)
	{
		b2Body& body = *world->getBody("crate");
		body.SetAwake(true);
		poke(body);
		frames(1);
		EXPECT_EQ(++expected, GameLuaTestAccess::noNumberCatches(*world));
		EXPECT_TRUE(std::isfinite(body.GetPosition().x + body.GetAngle() + body.GetLinearVelocity().y + body.GetAngularVelocity()));
	}
}
