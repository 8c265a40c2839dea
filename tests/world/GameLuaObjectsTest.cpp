#include "GameLuaTestAccess.h"
#include "WorldFixture.h"

#include <cmath>

using GameLuaObjects = WorldFixture;

TEST_F(GameLuaObjects, BoxOfDensity100IsStaticButKeepsItsDensity)
{
	run("world.createBox('wall', '', 1, -2, 1, 4, 100, 0.5, 0.1, true, false, 3)");
	b2Body* body = world->getBody("wall");
	ASSERT_NE(nullptr, body);
	EXPECT_EQ(b2_staticBody, body->GetType());
	EXPECT_EQ(100.0f, body->GetFixtureList()->GetDensity());
	EXPECT_EQ("box", text("world.objects.world.wall.type"));
	EXPECT_EQ(0.0f, number("world.objects.world.wall.mass"));

	run("world.createBox('crate', '', 1, -2, 1, 1, 2, 0.5, 0.1, true, false, 3)");
	EXPECT_EQ(b2_dynamicBody, world->getBody("crate")->GetType());
	EXPECT_FLOAT_EQ(2.0f, number("world.objects.world.crate.mass"));
}

TEST_F(GameLuaObjects, SetRotationReducesTheAngleIntoOneTurn)
{
	run("world.createBox('crate', '', 0, -2, 1, 1, 1, 0.5, 0.1, true, false, 1)\n"
		"world.setRotation('crate', -math.pi / 2)");
	const float expected = 1.5f * static_cast<float>(M_PI);
	EXPECT_NEAR(expected, number("world.objects.world.crate.angle"), 1e-5);
	EXPECT_NEAR(expected, number("world.getAngle('crate')"), 1e-5);
	EXPECT_NEAR(expected, world->getBody("crate")->GetAngle(), 1e-5);
}

// Box2D asserts on these, or writes past its hull array where asserts are off: among them points
// on one line written to two decimals, collinear only up to rounding, which its hull wraps round
// and round, to fewer than three corners, or to no area.
TEST_F(GameLuaObjects, PolygonsBox2DCannotBuildAreRefused)
{
	const struct
	{
		const char* vertices;
		bool accepted;
	} cases[] = {
		{"{{0, 0}, {1, 0}}", false},
		{"{{0, 0}, {1, 0}, {2, 0}}", false},
		{"{{0, 0}, {1, 0}, {1, 0.01}}", false},
		{"{{0, 0}, {1, 0}, {2, 1}, {2, 2}, {1, 3}, {0, 3}, {-1, 2}, {-1, 1}, {-0.5, 0.2}}", false},
		{"{{0, 0}, {0.92, -1.12}, {1.84, -2.24}, {2.76, -3.36}}", false},
		{"{{0, 0}, {0.32, -1}, {0.64, -2}, {0.96, -3}, {1.28, -4}, {1.6, -5}}", false},
		{"{{0, 0}, {0.24, 0.87}, {0.48, 1.74}, {0.72, 2.61}, {0.96, 3.48}}", false},
		{"{{0, 0}, {1, 0}, {1, 1}, {0, 1}}", true},
		{"{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {1, 1}, {0.5, 0.5}}", true},
		{"{{0, 0}, {1, 0}, {2, 1}, {2, 2}, {1, 3}, {0, 3}, {-1, 2}, {-1, 1}}", true},
	};
	for (const auto& c : cases)
	{
		const int bodies = GameLuaTestAccess::physicsWorld(*world).GetBodyCount();
		const std::string log = capture([&] {
			run(std::string("world.clearVertices()\n"
				"for _, v in ipairs(") + c.vertices + ") do world.addVertex(v[1], v[2]) end\n"
				"world.createPolygon('poly', '', 0, -5, 1, 1, 1, 0.5, 0.1, true, false, 1)");
		}).debug;
		EXPECT_EQ(c.accepted, world->getBody("poly") != nullptr) << c.vertices;
		EXPECT_EQ(c.accepted, boolean("(world.objects.world or {}).poly ~= nil")) << c.vertices;
		EXPECT_EQ(bodies + (c.accepted ? 1 : 0), GameLuaTestAccess::physicsWorld(*world).GetBodyCount()) << c.vertices;
		EXPECT_EQ(!c.accepted, log.find("Polygon poly refused: ") != std::string::npos) << c.vertices << log;
		run("world.removeObject('poly') if world.objects.world then world.objects.world.poly = nil end");
	}
}

// A level's place of an object reaches the world unchecked; Box2D cannot hold a body at no
// number, and bodies far beyond the world's extent turn every body they touch to no number.
TEST_F(GameLuaObjects, ObjectsPlacedAtNoFiniteNumberOrBeyondTheExtentAreRefused)
{
	run("world.clearVertices() world.addVertex(0, 0) world.addVertex(1, 0) world.addVertex(0, 1)");
	const char* const creations[] = {
		"world.createBox('piece', '', %s, %s, 1, 1, 1, 0.5, 0.1, true, false, 1)",
		"world.createCircle('piece', '', %s, %s, 0.5, 1, 0.5, 0.1, true, false, 1)",
		"world.createPolygon('piece', '', %s, %s, 1, 1, 1, 0.5, 0.1, true, false, 1)",
	};
	const char* const places[][2] = {{"0/0", "0"}, {"1", "1/0"}, {"-1/0", "-1/0"}, {"3e38", "0"}, {"0", "-1.0001e4"}};
	for (const char* creation : creations)
	{
		for (const auto& place : places)
		{
			char script[160];
			std::snprintf(script, sizeof script, creation, place[0], place[1]);
			const std::string log = capture([&] { run(script); }).debug;
			EXPECT_NE(std::string::npos, log.find("Object piece refused: its place")) << script << log;
			EXPECT_EQ(nullptr, world->getBody("piece")) << script;
			EXPECT_TRUE(boolean("(world.objects.world or {}).piece == nil")) << script;
		}
	}
}

// Each change is refused with the line logged, or without one; the body, put to sleep first,
// keeps its pose, its rest and its sleep: a force or impulse taken, which moves a body only once
// stepped, would have woken it.
TEST_F(GameLuaObjects, MovesAndTurnsToNoFiniteNumberOrBeyondTheExtentChangeNothing)
{
	run("world.createBox('crate', '', 2, -3, 1, 1, 1, 0.5, 0.1, true, false, 1) world.setRotation('crate', 1)");
	const struct
	{
		const char* change;
		const char* logged;
	} changes[] = {
		{"world.setPosition('crate', 0/0, 1)", "Object crate refused: its place ("},
		{"world.setPosition('crate', 1, -1/0)", "Object crate refused: its place (1, -inf) is not finite or beyond the world's extent"},
		{"world.setPosition('crate', 3e38, -3)", "Object crate refused: its place (3e+38, -3) is not finite or beyond the world's extent"},
		{"world.setPosition('crate', 2, 2e4)", "Object crate refused: its place (2, 20000) is not finite or beyond the world's extent"},
		{"world.applyImpulse('crate', 0, 1, 3e38, -3)", "Object crate: a push at (3e+38, -3) is refused: the point is not finite or beyond the world's extent"},
		{"world.applyForce('crate', 1, 1, 2, -1e5)", "Object crate: a push at (2, -100000) is refused: the point is not finite or beyond the world's extent"},
		{"world.applyImpulse('crate', 0, 1, 0/0, -3)", "Object crate: a push at ("},
		{"world.setRotation('crate', 0/0)", nullptr},
		{"world.setRotation('crate', 1/0)", nullptr},
		{"world.setVelocity('crate', 0/0, 0)", nullptr},
		{"world.setAngularVelocity('crate', -1/0)", nullptr},
		{"world.applyImpulse('crate', 0, 1/0, 2, -3)", nullptr},
		{"world.applyForce('crate', 0/0, 0, 2, -3)", nullptr},
	};
	for (const auto& c : changes)
	{
		run("world.setSleeping('crate', true)");
		const std::string log = capture([&] { run(c.change); }).debug;
		if (c.logged)
			EXPECT_NE(std::string::npos, log.find(c.logged)) << c.change << ": " << log;
		else
			EXPECT_EQ("", log) << c.change;
		const b2Body* body = world->getBody("crate");
		EXPECT_FLOAT_EQ(2.0f, body->GetPosition().x) << c.change;
		EXPECT_FLOAT_EQ(-3.0f, body->GetPosition().y) << c.change;
		EXPECT_FLOAT_EQ(1.0f, body->GetAngle()) << c.change;
		EXPECT_EQ(1.0f, number("world.getAngle('crate')")) << c.change;
		EXPECT_EQ(b2Vec2(0.0f, 0.0f), body->GetLinearVelocity()) << c.change;
		EXPECT_EQ(0.0f, body->GetAngularVelocity()) << c.change;
		EXPECT_FALSE(body->IsAwake()) << c.change;
	}
	// Nor does any of them show once stepped.
	world->setPhysicsEnabled(true);
	const std::string log = capture([&] { frames(2); }).debug;
	EXPECT_EQ("", netLines(log));
	EXPECT_FALSE(world->getBody("crate")->IsAwake());
}

// Box2D asserts on a shape of no area or no number, and a body of a mass or size far beyond its
// scale turns every body it touches to no number once stepped.
TEST_F(GameLuaObjects, ShapesAndDensitiesBox2DCannotHoldAreRefused)
{
	recordCallbacks();
	createGround();
	run("world.createBox('partner', '', 3, -5, 1, 1, 1, 0.5, 0, true, false, 1) world.objects.world.partner.material = 'wood'");
	// A hinge 1.5 m out from the piece, to a 1 kg box: as long a lever as the joint checks let a
	// 1 m box have, on which bodies below the mass floor turned to no number.
	const std::string lever = " world.createJoint({type = 3, name = 'lever', end1 = 'piece', end2 = 'partner', x1 = 1.5, y1 = 0, x2 = 0, y2 = 0})";
	const struct
	{
		const char* creation;
		bool made;
		bool onLever;
	} cases[] = {
		{"world.createBox('piece', '', 0, -1, 0/0, 1, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1e30, 1, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 0, 0, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, -1, 1, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1e-4, 1e-4, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 3e38, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1/0, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 0/0, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 0/0, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 1e30, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 1, -1/0, 0.5, 0, true, false, 1)", false, false},
		{"world.clearVertices() world.addVertex(0, 0) world.addVertex(1e30, 0) world.addVertex(0, 1e30)\n"
			"world.createPolygon('piece', '', 0, -1, 1, 1, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.clearVertices() world.addVertex(0, 0) world.addVertex(1, 0) world.addVertex(0, 1)\n"
			"world.createPolygon('piece', '', 0, -1, 1, 1, 1/0, 0.5, 0, true, false, 1)", false, false},
		// Masses and turning inertias too small for the solver: Box2D asserts on the first two,
		// the others turn to no number at rest or on a long lever.
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-45, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-40, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-38, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-30, 0.5, 0, true, false, 1)", false, true},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-33, 0.5, 0, true, false, 1)", false, true},
		{"world.createBox('piece', '', 0, -1, 1, 1, -1, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 0, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 1e-5, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createCircle('piece', '', 0, -1, 1, 1e-10, 0.5, 0, true, false, 1)", false, false},
		// A polygon far from its body's origin, whose inertia about its centre rounds away.
		{"world.clearVertices() world.addVertex(9000, 0) world.addVertex(9000.5, 0) world.addVertex(9000, 0.5)\n"
			"world.createPolygon('piece', '', -9000, -1, 1, 1, 1, 0.5, 0, true, false, 1)", false, false},
		{"world.createBox('piece', '', 0, -1, 1e-3, 1e-3, 1, 0.5, 0, true, false, 1)", true, false},
		{"world.createBox('piece', '', 0, -1, 1e4, 2, 1e4, 0.5, 0, true, false, 1)", true, false},
		{"world.createBox('piece', '', 0, -1, 1, 1, 1e-8, 0.5, 0, true, false, 1)", true, true},
		{"world.createCircle('piece', '', 0, -1, 1e-4, 1, 0.5, 0, true, false, 1)", true, false},
		{"world.createCircle('piece', '', 0, -1, 1, 1e6, 0.5, 0, true, false, 1)", true, false},
	};
	for (const auto& c : cases)
	{
		const std::string log = capture([&] { run(c.creation + (c.onLever ? lever : "")); }).debug;
		EXPECT_EQ(c.made, world->getBody("piece") != nullptr) << c.creation;
		EXPECT_EQ(c.made, boolean("(world.objects.world or {}).piece ~= nil")) << c.creation;
		EXPECT_EQ(!c.made, log.find("Object piece refused: its size or density") != std::string::npos) << c.creation << log;
		EXPECT_EQ(c.made && c.onLever ? 1 : 0, GameLuaTestAccess::physicsWorld(*world).GetJointCount()) << c.creation << log;
		run("if world.objects.world.piece then world.objects.world.piece.material = 'wood' end");
		const std::string stepped = capture([&] { frames(150); }).debug;
		EXPECT_EQ("", netLines(stepped)) << c.creation;
		for (const b2Body* body = GameLuaTestAccess::physicsWorld(*world).GetBodyList(); body; body = body->GetNext())
			EXPECT_TRUE(std::isfinite(body->GetPosition().x) && std::isfinite(body->GetPosition().y)) << c.creation;
		run("world.removeObject('piece') world.setPosition('partner', 3, -5) world.setVelocity('partner', 0, 0)");
	}
}

// A friction or restitution below 0 or of no number turns the bodies its piece touches to no
// number in the first step, and so do frictions whose product, or restitutions whose impulse on a
// heavy body, no float holds. Each is refused before the physics sees it; the level goes on.
TEST_F(GameLuaObjects, FrictionsAndRestitutionsThePhysicsCannotHoldAreRefused)
{
	recordCallbacks();
	run("world.createBox('ground', '', 0, 1, 400, 2, 0, 0.5, 0, true, false, 0)\n"
		"world.createBox('crate', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.clearVertices() world.addVertex(-0.5, -0.5) world.addVertex(0.5, -0.5) world.addVertex(0, 0.5)");
	const struct
	{
		const char* friction;
		const char* restitution;
		const char* logged;
	} cases[] = {
		{"-1", "0", "friction -1 is"},
		{"-0.001", "0", "friction -0.001 is"},
		{"0/0", "0", "friction "},
		{"1/0", "0", "friction inf is"},
		{"1e20", "0", "friction 1e+20 is"},
		{"0.5", "-1", "restitution -1 is"},
		{"0.5", "0/0", "restitution "},
		{"0.5", "1/0", "restitution inf is"},
		{"0.5", "1e18", "restitution 1e+18 is"},
		{"0", "0", nullptr},
		{"1e6", "1.5", nullptr},
		{"0.5", "1e6", nullptr},
	};
	// Each piece drops onto the crate and rests against a twin of its own numbers; the heavy box
	// is 1e19 kg.
	const char* const creations[] = {
		"world.createBox('%s', '', %s, -3, 1, 1, 1e19, %s, %s, true, false, 1)",
		"world.createCircle('%s', '', %s, -3, 0.5, 1, %s, %s, true, false, 1)",
		"world.createPolygon('%s', '', %s, -3, 1, 1, 1, %s, %s, true, false, 1)",
	};
	for (const char* creation : creations)
	{
		for (const auto& c : cases)
		{
			char script[400];
			const int written = std::snprintf(script, sizeof script, creation, "piece", "0", c.friction, c.restitution);
			std::snprintf(script + written, sizeof script - written, creation, "twin", "0.9", c.friction, c.restitution);
			const std::string log = capture([&] { run(script); }).debug;
			if (c.logged)
			{
				EXPECT_NE(std::string::npos, log.find(std::string("Object piece refused: its ") + c.logged)) << script << log;
				EXPECT_NE(std::string::npos, log.find("Object twin refused: ")) << script << log;
			}
			else
			{
				EXPECT_EQ("", log) << script;
			}
			EXPECT_EQ(c.logged == nullptr, world->getBody("piece") != nullptr) << script;
			EXPECT_EQ(c.logged == nullptr, boolean("(world.objects.world or {}).twin ~= nil")) << script;
			const std::string stepped = capture([&] { frames(30); }).debug;
			EXPECT_EQ("", netLines(stepped)) << script;
			run("world.removeObject('piece') world.removeObject('twin') world.objects.world.piece, world.objects.world.twin = nil, nil\n"
				"world.setPosition('crate', 0, -0.6) world.setVelocity('crate', 0, 0)");
		}
	}
	EXPECT_EQ(0, GameLuaTestAccess::noNumberCatches(*world));
}

// Box2D leaves a dynamic body of density 0 without mass: set free by object parameter 2, such a
// block would take no gravity and no contact, hanging in the air. It takes 1 kg instead, without
// turning, falls and lands; made static again, it has no mass.
TEST_F(GameLuaObjects, ABlockOfDensityZeroSetFreeFallsAndLands)
{
	recordCallbacks();
	createGround();
	run("world.createBox('ledge', '', 0, -5, 2, 0.5, 0, 0.5, 0, true, false, 1)\n"
		"world.createCircle('stone', '', 3, -5, 0.5, 0, 0.5, 0, true, false, 1)\n"
		"world.setObjectParameter('ledge', 2, 1) world.setObjectParameter('stone', 2, 1)");
	for (const char* name : {"ledge", "stone"})
	{
		const b2Body* body = world->getBody(name);
		EXPECT_EQ(b2_dynamicBody, body->GetType()) << name;
		EXPECT_EQ(1.0f, body->GetMass()) << name;
		EXPECT_EQ(0.0f, body->GetInertia()) << name;
	}
	frames(60);
	EXPECT_NEAR(-0.45f, number("world.objects.world.ledge.y"), 0.1);
	EXPECT_NEAR(-0.6f, number("world.objects.world.stone.y"), 0.1);
	EXPECT_EQ(0.0f, world->getBody("ledge")->GetAngle());
	run("world.setObjectParameter('ledge', 2, 0)");
	EXPECT_EQ(b2_staticBody, world->getBody("ledge")->GetType());
	EXPECT_EQ(0.0f, world->getBody("ledge")->GetMass());
}

// Finite numbers can still take a light body's speed beyond any number once stepped.
TEST_F(GameLuaObjects, ImpulsesForcesAndVelocitiesBeyondWhatThePhysicsCanHoldAreBounded)
{
	recordCallbacks();
	createGround();
	const struct
	{
		const char* change;
		const char* bounded;
	} cases[] = {
		{"world.applyImpulse('light', 3e38, 0, 0, -0.1)", "impulse"},
		{"world.applyImpulse('light', 0, -1e3, 9000, -0.1)", "impulse"},
		{"world.applyForce('light', 0, -3e38, 0, -0.1)", "force"},
		{"world.applyForce('light', 1e30, 1e30, -0.1, 0)", "force"},
		{"world.setVelocity('light', 3e38, -3e38)", "velocity"},
		{"world.setAngularVelocity('light', -3e38)", "angular velocity"},
		{"world.applyImpulse('light', 0.01, -0.01, 0.1, -0.1) world.applyForce('light', 0, -1, 0, 0)\n"
			"world.setVelocity('light', 50, 0) world.setAngularVelocity('light', 40)", nullptr},
	};
	for (const auto& c : cases)
	{
		run("world.createBox('light', '', 0, -0.1, 0.2, 0.2, 0.01, 0.5, 0, true, false, 1) world.objects.world.light.material = 'wood'");
		const std::string log = capture([&] {
			run(c.change);
			frames(150);
		}).debug;
		const size_t found = log.find(std::string("Object light: its ") + (c.bounded ? c.bounded : "") + " is more than the physics can hold");
		EXPECT_EQ(c.bounded != nullptr, found != std::string::npos) << c.change << log;
		EXPECT_EQ("", netLines(log)) << c.change;
		for (const b2Body* body = GameLuaTestAccess::physicsWorld(*world).GetBodyList(); body; body = body->GetNext())
			EXPECT_TRUE(std::isfinite(body->GetPosition().x) && std::isfinite(body->GetPosition().y) && std::isfinite(body->GetAngle())) << c.change;
		run("world.removeObject('light')");
	}
}

TEST_F(GameLuaObjects, ReusedNameRemovesTheEarlierObject)
{
	run("world.createBox('crate', '', 0, -2, 1, 1, 1, 0.5, 0.1, true, false, 1)\n"
		"world.createBox('crate', '', 0, -2, 1, 1, 1, 0.5, 0.1, true, false, 1)\n"
		"found = world.getIntersectingObjects({x = 0, y = -2, left = -1, right = 1, down = -1, up = 1})");
	EXPECT_EQ(1.0f, number("#found"));
	EXPECT_EQ("crate", text("found[1]"));
}

TEST_F(GameLuaObjects, ClearingTheWorldRemovesBodiesOfNoObjectToo)
{
	run("world.createBox('crate', '', 0, -2, 1, 1, 1, 0.5, 0.1, true, false, 1)");
	b2World* physics = world->getBody("crate")->GetWorld();
	world->createCircle("loose", 3.0f, -2.0f, 0.5f, 1.0f, 0.5f, 0.1f, true, false);
	world->clearWorld();
	EXPECT_EQ(0, physics->GetBodyCount());
	EXPECT_EQ(nullptr, world->getBody("crate"));
}

// The body goes once the step is over, but for the scripts the object is gone at the call.
TEST_F(GameLuaObjects, RemovingFromAContactCallbackActsAtTheCall)
{
	recordCallbacks();
	createGround();
	run("world.createBox('crate', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.crate.material = 'wood'\n"
		"function world.blockCollision(a, b)\n"
		"  if stillThere ~= nil then return end\n"
		"  world.removeObject('crate')\n"
		"  stillThere = world.getWorldPoint('crate', 0, 0) ~= nil\n"
		"  world.createBox('spawned', '', 5, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"end");
	frames(10);
	EXPECT_FALSE(boolean("stillThere"));
	EXPECT_EQ(nullptr, world->getBody("crate"));
	EXPECT_NE(nullptr, world->getBody("spawned"));
}

TEST_F(GameLuaObjects, BodyMethodsIgnoreUnknownNames)
{
	const std::string log = capture([&] {
		run("world.setVelocity('nobody', 1, 1) world.applyImpulse('nobody', 1, 1, 0, 0)\n"
			"world.setPosition('nobody', 1, 1) world.setObjectParameter('nobody', 2, 0)");
	}).debug;
	EXPECT_EQ(4u * std::string("Body name : nobody\n").size(), log.size()) << log;
	EXPECT_EQ(0u, log.find("Body name : nobody\nBody name : nobody\n")) << log;
	EXPECT_EQ(0.0f, number("world.getAngularVelocity('nobody')"));
	EXPECT_TRUE(boolean("world.getWorldPoint('nobody', 1, 2) == nil"));
}
