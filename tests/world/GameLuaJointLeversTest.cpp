#include "GameLuaTestAccess.h"
#include "WorldFixture.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

// True when every body of the world is at a finite place and angle within the world's extent.
bool allBodiesInTheWorld(GameLua& world)
{
	for (const b2Body* body = GameLuaTestAccess::physicsWorld(world).GetBodyList(); body; body = body->GetNext())
	{
		const b2Vec2 place = body->GetPosition();
		if (!(std::fabs(place.x) <= GameLua::WORLD_EXTENT && std::fabs(place.y) <= GameLua::WORLD_EXTENT && std::isfinite(body->GetAngle())))
			return false;
	}
	return true;
}

/**
 * Joints whose anchors lie far from a moving end: a 1 x 1 box "a" falling from 60 m above the
 * ground, a second one "b" 3 m beside it, a 0.2 m box "small" and the static ground. The helper
 * joint(fields) fills the required keys of a weld of "a" to the ground.
 */
class JointLevers : public WorldFixture
{
protected:
	JointLevers()
	{
		recordCallbacks();
		createGround();
		run("world.createBox('a', '', 0, -60, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"world.createBox('b', '', 3, -60, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"world.createBox('small', '', -3, -60, 0.2, 0.2, 1, 0.5, 0, true, false, 1)\n"
			"function joint(fields)\n"
			"  local t = {type = 2, name = 'far', end1 = 'a', end2 = 'ground', x1 = 0, y1 = 0, x2 = 0, y2 = 0}\n"
			"  for k, v in pairs(fields or {}) do t[k] = v end\n"
			"  return t\n"
			"end\n"
			"joints = function() return world.objects.joints or {} end\n"
			"function reset()\n"
			"  world.destroyJoint('far')\n"
			"  for name, x in pairs({a = 0, b = 3, small = -3}) do\n"
			"    world.setPosition(name, x, -60) world.setRotation(name, 0) world.setVelocity(name, 0, 0) world.setAngularVelocity(name, 0) world.setSleeping(name, false)\n"
			"  end\n"
			"end");
	}

	// Steps count frames; true when every body stays at a finite place within the world without
	// the frame having to put one back.
	bool staysInTheWorld(int count)
	{
		bool inTheWorld = true;
		const std::string log = capture([&] {
			for (int i = 0; i < count && inTheWorld; ++i)
			{
				frames(1);
				inTheWorld = allBodiesInTheWorld(*world);
			}
		}).debug;
		EXPECT_EQ("", netLines(log));
		return inTheWorld && netLines(log).empty();
	}
};

// Each of these made Box2D throw its bodies out of the world or turn them to no number within
// 150 frames: a weld or slider whose anchor lies many times the end's size away, and any joint
// but a distance joint whose anchor lies tens of metres from a moving end.
TEST_F(JointLevers, AnchorsTooFarFromAMovingEndAreRefused)
{
	const char* const refused[] = {
		"joint({x1 = -50})",
		"joint({x1 = -26})",
		"joint({end1 = 'small', end2 = 'b', x1 = 3})",
		"joint({end2 = 'b', x1 = 20, x2 = 17})",
		"joint({type = 3, x1 = 30})",
		"joint({type = 3, end2 = 'b', x1 = 0, y1 = 25})",
		"joint({type = 4, x1 = 12, worldAxisX = 1})",
		"joint({type = 4, end1 = 'small', x1 = 0, worldAxisY = 1})",
		"joint({type = 4, worldAxisX = 1, upperLimit = 30})",
		"joint({type = 4, end2 = 'b', worldAxisX = 1, lowerLimit = -1e30, upperLimit = 1e30})",
	};
	for (const char* description : refused)
	{
		run("reset()");
		const std::string log = capture([&] { run(std::string("world.createJoint(") + description + ")"); }).debug;
		EXPECT_NE(std::string::npos, log.find("Joint far refused: its anchor lies too far from a moving end")) << description;
		EXPECT_FALSE(boolean("joints().far ~= nil")) << description;
		EXPECT_EQ(0, GameLuaTestAccess::physicsWorld(*world).GetJointCount()) << description;
		EXPECT_TRUE(staysInTheWorld(150)) << description;
	}
}

// Joints short of the bounds hold their bodies, and a distance joint, which Box2D corrects a
// step at a time, holds at any reach within the world.
TEST_F(JointLevers, LongLeversThePhysicsHoldsAreKept)
{
	const char* const accepted[] = {
		"joint({x1 = -8, x2 = -8, y2 = -61})",
		"joint({end1 = 'small', x1 = 1.8, x2 = -1.2, y2 = -61})",
		"joint({type = 3, x1 = 15})",
		"joint({type = 3, end2 = 'b', x1 = 1.5, y1 = 15})",
		"joint({type = 4, x1 = 4, worldAxisX = 1})",
		"joint({type = 1, coordType = 2, x1 = 500})",
		"joint({type = 1, end2 = 'b', coordType = 1, x1 = -5000, y1 = -60, x2 = 3, y2 = -60})",
		"joint({type = 1, end2 = 'b', coordType = 2, x1 = 900, y1 = 900, frequency = 0})",
	};
	for (const char* description : accepted)
	{
		run("reset() world.createJoint(" + std::string(description) + ")");
		ASSERT_TRUE(boolean("joints().far ~= nil")) << description;
		EXPECT_TRUE(staysInTheWorld(150)) << description;
	}
}

// The case as a level or a script makes it, and as a script makes it from inside a step, for
// a box made in the same callback, whose body waits for the step to end.
TEST_F(JointLevers, AWeldToTheGroundFromAFarAnchorIsRefusedInsideAStepToo)
{
	run("made = false\n"
		"function world.blockCollision()\n"
		"  if made then return end\n"
		"  made = true\n"
		"  world.createBox('c', '', 10, -60, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"  world.createJoint(joint({end1 = 'c', x1 = -50}))\n"
		"  world.createJoint(joint({name = 'near', end1 = 'c', x1 = 0.5, x2 = 10.5, y2 = -61}))\n"
		"end\n"
		"world.createBox('d', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.d.material = 'wood'");
	const std::string log = capture([&] { frames(10); }).debug;
	ASSERT_TRUE(boolean("made"));
	EXPECT_NE(std::string::npos, log.find("Joint far refused: its anchor lies too far from a moving end")) << log;
	EXPECT_TRUE(boolean("joints().far == nil and joints().near ~= nil"));
	EXPECT_EQ(1, GameLuaTestAccess::physicsWorld(*world).GetJointCount());
	EXPECT_TRUE(staysInTheWorld(150));
}

// A slider's limit bounds how far its second end carries the anchor from the first.
TEST_F(JointLevers, ALimitThatWouldCarryASliderTooFarIsRefused)
{
	run("world.createJoint(joint({type = 4, end2 = 'b', worldAxisX = 1}))");
	ASSERT_TRUE(boolean("joints().far ~= nil"));
	const std::string log = capture([&] { run("world.setJointParameters({name = 'far', upperLimit = 30, motorSpeed = 2})"); }).debug;
	EXPECT_NE(std::string::npos, log.find("Joint far change refused: its anchor lies too far from a moving end")) << log;
	EXPECT_EQ(5.0f, number("joints().far.upperLimit"));
	EXPECT_EQ(2.0f, number("joints().far.motorSpeed"));
	run("world.setJointParameters({name = 'far', limit = false, upperLimit = 30})");
	EXPECT_EQ(30.0f, number("joints().far.upperLimit"));
	EXPECT_TRUE(staysInTheWorld(150));
}

// Box2D turns both ends of a joint to no number once one is at 1e20 m: such a move is refused,
// and so is a move within the world that would carry the joint's anchor beyond it.
TEST_F(JointLevers, AJointsEndIsNotMovedBeyondTheWorld)
{
	const struct { const char* x; const char* reason; } moves[] = {
		{"1e20", "Object a refused: its place (1e+20, -60) is not finite or beyond the world's extent"},
		{"9800", "Object a refused: its joint far would reach beyond the world's extent"},
	};
	for (const char* frequency : {"4", "0"})
	{
		run(std::string("world.destroyJoint('far') world.setPosition('a', 0, -60)\n"
			"world.createJoint(joint({type = 1, end2 = 'b', coordType = 2, x1 = 500, frequency = ") + frequency + "}))");
		ASSERT_TRUE(boolean("joints().far ~= nil")) << frequency;
		for (const auto& move : moves)
		{
			const std::string log = capture([&] { run(std::string("world.setPosition('a', ") + move.x + ", -60)"); }).debug;
			EXPECT_NE(std::string::npos, log.find(move.reason)) << log;
			EXPECT_EQ(0.0f, number("world.objects.world.a.x"));
		}
		EXPECT_TRUE(staysInTheWorld(150)) << frequency;
	}
	run("world.setPosition('a', 5000, -60)");
	EXPECT_EQ(5000.0f, number("world.objects.world.a.x"));
	EXPECT_TRUE(staysInTheWorld(150));
}

// A static end is no moving end for the lever checks, so a joint far from it is made; setting
// the end free would have the physics throw it, and all it touches, out of the world. A change of
// the body's type judges its joints as new joints are judged, and is refused when one could not
// be held: the joint, its table and a saved level keep what the scripts made.
TEST_F(JointLevers, AJointsStaticEndIsSetFreeOnlyWhenTheJointCanHoldIt)
{
	run("for _, name in ipairs({'a', 'b', 'small'}) do world.removeObject(name) end");
	const struct
	{
		const char* joint;
		const char* refusal;
	} cases[] = {
		{"{type = 2, name = 'far', end1 = 's', end2 = 'ground', x1 = -50, y1 = 0, x2 = 0, y2 = 0}",
			"Object s: the change to a dynamic body is refused for its joint far: its anchor lies too far from a moving end for the physics to hold\n"},
		{"{type = 2, name = 'far', end1 = 'ground', end2 = 's', x1 = -12, y1 = -61, x2 = -12, y2 = 0}",
			"Object s: the change to a dynamic body is refused for its joint far: its anchor lies too far from a moving end for the end's size\n"},
		{"{type = 4, name = 'far', end1 = 's', end2 = 'ground', x1 = 0, y1 = 0, x2 = 0, y2 = 0, worldAxisX = 1, upperLimit = 30}",
			"Object s: the change to a dynamic body is refused for its joint far: its anchor lies too far from a moving end for the physics to hold\n"},
		{"{type = 3, name = 'far', end1 = 's', end2 = 'ground', x1 = 1, y1 = 0, x2 = 0, y2 = 0}", nullptr},
		{"{type = 1, name = 'far', end1 = 's', end2 = 'ground', coordType = 2, x1 = -50, y1 = 0, x2 = 0, y2 = 0, frequency = 0}", nullptr},
	};
	for (const auto& c : cases)
	{
		run(std::string("world.createBox('s', '', 0, -60, 1, 1, 100, 0.5, 0, true, false, 1)\n"
			"world.createJoint(") + c.joint + ")");
		ASSERT_TRUE(boolean("joints().far ~= nil")) << c.joint;
		const std::string log = capture([&] { run("world.setObjectParameter('s', 2, 1)"); }).debug;
		EXPECT_EQ(c.refusal ? c.refusal : "", log) << c.joint;
		EXPECT_EQ(c.refusal ? b2_staticBody : b2_dynamicBody, world->getBody("s")->GetType()) << c.joint;
		EXPECT_TRUE(boolean("joints().far ~= nil")) << c.joint;
		EXPECT_TRUE(staysInTheWorld(300)) << c.joint;
		// Fixing an end again is always taken.
		EXPECT_EQ("", capture([&] { run("world.setObjectParameter('s', 2, 0)"); }).debug) << c.joint;
		EXPECT_EQ(b2_staticBody, world->getBody("s")->GetType()) << c.joint;
		run("world.removeObject('s')");
	}
}

// A move or a turn is judged where it carries the points the object's own joints hold it at:
// the end of a hinge anchored on its other end, and a rod given world anchors (anchor mode 1),
// which the rod then holds on the bodies. Each would reach far beyond the world's extent.
TEST_F(JointLevers, AMoveIsJudgedWhereItCarriesTheObjectsOwnAnchors)
{
	const struct
	{
		const char* joint;
		const char* moves;
		const char* refusal;
		const char* after;
	} cases[] = {
		{"joint({type = 3, end2 = 'b', x1 = 11})", "world.setPosition('b', 9999, -60)",
			"Object b refused: its joint far would reach beyond the world's extent from (9999, -60)\n", "world.objects.world.b.x == 3"},
		{"joint({type = 1, end2 = 'b', coordType = 1, x1 = -5000, y1 = -60, x2 = 3, y2 = -60, frequency = 0})", "world.setPosition('a', -9000, -60)",
			"Object a refused: its joint far would reach beyond the world's extent from (-9000, -60)\n", "world.objects.world.a.x == 0"},
		{"joint({type = 1, end2 = 'b', coordType = 1, x1 = -5000, y1 = -60, x2 = 3, y2 = -60, frequency = 0})",
			"world.setPosition('a', 6000, -60) world.setRotation('a', math.pi)",
			"Object a refused: its joint far would reach beyond the world's extent from (6000, -60)\n",
			"world.objects.world.a.x == 6000 and world.getAngle('a') == 0"},
	};
	for (const auto& c : cases)
	{
		run("reset() world.createJoint(" + std::string(c.joint) + ")");
		ASSERT_TRUE(boolean("joints().far ~= nil")) << c.joint;
		EXPECT_EQ(c.refusal, capture([&] { run(c.moves); }).debug) << c.moves;
		EXPECT_TRUE(boolean(c.after)) << c.moves;
		EXPECT_TRUE(staysInTheWorld(30)) << c.moves;
	}
}

/**
 * The shipped block, projectile and target definitions, read from the game's data sources into
 * the script table "definitions" by name, and make(name, definition, x, y), which builds one as
 * the game does. The ground is static, 400 m wide, its top at y = 0.
 */
class ShippedJoints : public WorldFixture
{
protected:
	ShippedJoints()
	{
		recordCallbacks();
		run("world.createBox('ground', '', 0, 1, 400, 2, 0, 0.5, 0, true, false, 0)\n"
			"definitions = {}\n"
			"for _, file in ipairs({'blocks_wood', 'blocks_stone', 'blocks_glass', 'blocks_static', 'blocks_staticfragile',\n"
			"    'blocks_hazard', 'blocks_misc', 'blocks_decorations', 'projectiles', 'targets', 'scoreobjects'}) do\n"
			"  local groups = {}\n"
			"  setfenv(assert(loadfile('" SHIPPED_DATA_DIR "/scripts/' .. file .. '.lua')), groups)()\n"
			"  for _, list in pairs(groups) do for _, d in ipairs(list) do definitions[d.definition] = d end end\n"
			"end\n"
			"function make(name, definition, x, y)\n"
			"  local d = definitions[definition]\n"
			"  if d.type == 'circle' then\n"
			"    world.createCircle(name, '', x, y, d.radius, d.density, d.friction, d.restitution, true, false, d.z)\n"
			"  else\n"
			"    world.createBox(name, '', x, y, d.width, d.height, d.density, d.friction, d.restitution, true, false, d.z)\n"
			"  end\n"
			"end\n"
			"function size(definition)\n"
			"  local d = definitions[definition]\n"
			"  if d.type == 'circle' then return 2 * d.radius, 2 * d.radius end\n"
			"  return d.width, d.height\n"
			"end\n"
			"function count(t) local n = 0 for _ in pairs(t or {}) do n = n + 1 end return n end");
	}
};

// Each level's pieces and joints are made as the level gives them, none refused, and hold in
// the world while they settle. The shipped levels have no joints, so for them this checks their
// pieces alone; the joined level, a fixture of the tests, joins shipped pieces by every kind of joint.
TEST_F(ShippedJoints, LevelsMakeAllTheirJointsAndHold)
{
	std::vector<std::string> levels;
	for (int level = 1; level <= 6; ++level)
		levels.push_back(SHIPPED_DATA_DIR "/levels/level_" + std::to_string(level) + ".lua");
	levels.push_back(TEST_LEVELS_DIR "/joined.lua");
	for (const std::string& path : levels)
	{
		const std::string log = capture([&] {
			run("level = {}\n"
				"setfenv(assert(loadfile('" + path + "')), level)()\n"
				"for name in pairs(world.objects.world) do if name ~= 'ground' then world.removeObject(name) end end\n"
				"for name, entry in pairs(level.world) do\n"
				"  make(name, entry.definition, entry.x, entry.y)\n"
				"  world.setRotation(name, entry.angle or 0)\n"
				"end\n"
				"world.createJoints(level.joints or {})");
		}).debug;
		EXPECT_EQ(std::string::npos, log.find("refused")) << path << ": " << log;
		EXPECT_EQ(number("count(level.joints)"), number("count(world.objects.joints)")) << path;
		const std::string stepped = capture([&] { frames(150); }).debug;
		EXPECT_EQ("", netLines(stepped)) << path;
		EXPECT_TRUE(allBodiesInTheWorld(*world)) << path;
	}
	EXPECT_EQ(10.0f, number("count(level.joints)"));
}

// Every shipped piece joined to a small orb, a long plank and a fixed ledge beside it, by every
// kind of joint, anchored at both centres, at the point where they touch or at their far ends:
// all are made, and all hold their pieces in the world while they settle. One partner at a time,
// on floors of 40 pairs each.
TEST_F(ShippedJoints, JointsBetweenNeighbouringPiecesAreMadeAndHold)
{
	for (const char* partner : {"orb_split", "wood_plank", "static_ledge"})
	{
		const std::string log = capture([&] {
			run(std::string("for name in pairs(world.objects.world) do if name ~= 'ground' then world.removeObject(name) end end\n"
				"made, slot, second = 0, 0, '") + partner + "'\n"
				"for first in pairs(definitions) do\n"
				"  for kind = 1, 4 do\n"
				"    for anchors = 1, 3 do\n"
				"      local x, y = (slot % 40) * 40 - 800, -math.floor(slot / 40) * 30 - 30\n"
				"      if slot % 40 == 0 then world.createBox('floor' .. slot, '', 0, y + 1, 1620, 2, 0, 0.5, 0, true, false, 0) end\n"
				"      slot = slot + 1\n"
				"      local w1, h1 = size(first)\n"
				"      local w2, h2 = size(second)\n"
				"      make('p' .. slot, first, x, y - h1 / 2)\n"
				"      make('q' .. slot, second, x + (w1 + w2) / 2, y - h2 / 2)\n"
				"      local side = ({0, 1, -1})[anchors]\n"
				"      world.createJoint({type = kind, name = 'j' .. slot, end1 = 'p' .. slot, end2 = 'q' .. slot, coordType = 2, worldAxisX = 1,\n"
				"        x1 = side * w1 / 2, y1 = 0, x2 = -side * w2 / 2, y2 = 0})\n"
				"      made = made + 1\n"
				"    end\n"
				"  end\n"
				"end");
		}).debug;
		EXPECT_EQ(std::string::npos, log.find("refused")) << partner << ": " << log;
		EXPECT_EQ(number("made"), number("count(world.objects.joints)")) << partner;
		const std::string stepped = capture([&] { frames(150); }).debug;
		EXPECT_EQ("", netLines(stepped)) << partner;
		EXPECT_TRUE(allBodiesInTheWorld(*world)) << partner;
	}
}

} // namespace
