#include "GameLuaTestAccess.h"
#include "WorldFixture.h"

#include <lang/Throwable.h>
#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace {

/**
 * Script calls made from a contact callback, while the physics world steps, against the same
 * calls made from "removeBlocks", right after that step: both must leave the same world. Each
 * run starts a new game world with a crate resting on the ground, whose first touch is the
 * callback, and three boxes high in the air, "a", "b" and "c", for joints.
 */
class StepChanges : public WorldFixture
{
protected:
	struct Run
	{
		std::string world;
		std::string debug;
	};

	Run runCalls(const std::string& calls, bool fromCallback)
	{
		world = new GameLua(&app, res->getResources(), lua, &context);
		lua->globals().setTable("world", *world);
		recordCallbacks();
		createGround();
		run("world.createBox('crate', '', 0, -0.6, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"for i, name in ipairs({'a', 'b', 'c'}) do\n"
			"  world.createBox(name, '', i * 3, -60, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"end\n"
			"for _, t in pairs(world.objects.world) do t.material = 'wood' end\n"
			"done, touched, fromCallback = false, false, " + std::string(fromCallback ? "true" : "false") + "\n"
			"function changes()\n" + calls + "\nend\n"
			"function world.blockCollision()\n"
			"  touched = true\n"
			"  if fromCallback and not done then done = true changes() end\n"
			"end\n"
			"function world.removeBlocks()\n"
			"  if touched and not done then done = true changes() end\n"
			"end");
		Run result;
		std::string failure;
		result.debug = capture([&] {
			try
			{
				frames(20);
			}
			catch (const lang::Throwable& e)
			{
				failure = e.getMessage().format().c_str();
			}
		}).debug;
		EXPECT_EQ("", failure) << (fromCallback ? "in the callback" : "outside");
		EXPECT_TRUE(boolean("done"));
		result.world = snapshot();
		return result;
	}

	// Every body and joint of the physics world and the scripts' tables "world" and "joints",
	// as text with every float in full.
	std::string snapshot()
	{
		std::vector<std::string> bodies;
		for (const b2Body* body = GameLuaTestAccess::physicsWorld(*world).GetBodyList(); body; body = body->GetNext())
		{
			std::ostringstream line;
			line.precision(9);
			const b2Fixture* fixture = body->GetFixtureList();
			line << world->getBodyName(body).c_str() << " type " << body->GetType() << " at " << body->GetPosition().x << ' ' << body->GetPosition().y
				<< ' ' << body->GetAngle() << " moving " << body->GetLinearVelocity().x << ' ' << body->GetLinearVelocity().y << ' '
				<< body->GetAngularVelocity() << " mass " << body->GetMass() << " shape " << fixture->GetType();
			if (fixture->GetType() == b2Shape::e_polygon)
				line << " corners " << static_cast<const b2PolygonShape*>(fixture->GetShape())->m_count;
			bodies.push_back(line.str());
		}
		std::vector<std::string> joints;
		for (b2Joint* joint = GameLuaTestAccess::physicsWorld(*world).GetJointList(); joint; joint = joint->GetNext())
		{
			std::ostringstream line;
			line.precision(9);
			line << world->getBodyName(joint->GetBodyA()).c_str() << '-' << world->getBodyName(joint->GetBodyB()).c_str() << " type " << joint->GetType()
				<< " anchors " << joint->GetAnchorA().x << ' ' << joint->GetAnchorA().y << ' ' << joint->GetAnchorB().x << ' ' << joint->GetAnchorB().y;
			if (joint->GetType() == e_revoluteJoint)
			{
				const b2RevoluteJoint* hinge = static_cast<const b2RevoluteJoint*>(joint);
				line << " motor " << hinge->IsMotorEnabled() << ' ' << hinge->GetMotorSpeed() << ' ' << hinge->GetMaxMotorTorque()
					<< " limit " << hinge->IsLimitEnabled() << ' ' << hinge->GetLowerLimit() << ' ' << hinge->GetUpperLimit();
			}
			joints.push_back(line.str());
		}
		std::sort(bodies.begin(), bodies.end());
		std::sort(joints.begin(), joints.end());
		std::string text;
		for (const std::string& line : bodies)
			text += line + "\n";
		for (const std::string& line : joints)
			text += line + "\n";
		run("local function dump(t, indent)\n"
			"  local keys, out = {}, ''\n"
			"  for k in pairs(t) do keys[#keys + 1] = tostring(k) end\n"
			"  table.sort(keys)\n"
			"  for _, k in ipairs(keys) do\n"
			"    local v = t[k] if v == nil then v = t[tonumber(k)] end\n"
			"    if type(v) == 'table' then out = out .. indent .. k .. ':\\n' .. dump(v, indent .. '  ')\n"
			"    elseif type(v) == 'number' then out = out .. indent .. k .. ' = ' .. string.format('%.9g', v) .. '\\n'\n"
			"    else out = out .. indent .. k .. ' = ' .. tostring(v) .. '\\n' end\n"
			"  end\n"
			"  return out\n"
			"end\n"
			"result = dump({world = world.objects.world, joints = world.objects.joints or {}, reads = reads or {}}, '')");
		return text + lua->globals().getString("result").c_str();
	}

	// The snapshot's line of the body of the named object; empty when there is none.
	static std::string bodyLine(const std::string& snapshot, const std::string& name)
	{
		std::istringstream lines(snapshot);
		for (std::string line; std::getline(lines, line);)
			if (line.rfind(name + " type ", 0) == 0)
				return line;
		return "";
	}

	// The world after the calls, made in the callback, once it has been checked to equal the
	// world after the same calls made outside the step, with the same lines logged.
	std::string sameEitherWay(const std::string& calls)
	{
		const Run outside = runCalls(calls, false);
		const Run inside = runCalls(calls, true);
		EXPECT_EQ(outside.world, inside.world) << calls;
		EXPECT_EQ(outside.debug, inside.debug) << calls;
		return inside.world;
	}
};

TEST_F(StepChanges, CallsOnAnObjectMadeEarlierInTheCallbackApplyToIt)
{
	const std::string world = sameEitherWay(
		"world.createCircle('spark', '', 5, -5, 0.25, 1, 0.5, 0, true, false, 1)\n"
		"local spark = world.objects.world.spark\n"
		"spark.material = 'wood'\n"
		"reads = {table = spark ~= nil, point = {world.getWorldPoint('spark', 1, 0)}, spin = world.getAngularVelocity('spark')}\n"
		"world.setVelocity('spark', 7, 0)\n"
		"world.setObjectParameter('spark', 6, 2)\n"
		"world.setSprite('spark', 'none')\n"
		"world.createBox('ember', '', -5, -5, 0.5, 0.5, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.ember.material = 'wood'\n"
		"world.applyImpulse('ember', 0, -3, -5, -5)\n"
		"world.setRotation('ember', 1)\n"
		"world.setObjectParameter('ember', 2, 0)\n"
		"world.setPosition('ember', -6, -4)\n"
		"world.setPosition('crate', 2, -3)\n"
		"reads.moved = {world.getWorldPoint('ember', 0, 0)}");
	EXPECT_EQ(0u, bodyLine(world, "spark").rfind("spark type 2 ", 0)) << world;
	EXPECT_EQ(0u, bodyLine(world, "ember").rfind("ember type 0 at -6 -4 1 moving 0 0 0 ", 0)) << world;
	EXPECT_EQ(0u, bodyLine(world, "crate").rfind("crate type 2 at 2 ", 0)) << world;
	EXPECT_FLOAT_EQ(6.0f, number("reads.point[1]"));
	EXPECT_FLOAT_EQ(-5.0f, number("reads.point[2]"));
	EXPECT_FLOAT_EQ(-6.0f, number("reads.moved[1]"));
	EXPECT_FLOAT_EQ(-4.0f, number("reads.moved[2]"));
	EXPECT_TRUE(boolean("reads.table and reads.spin == 0"));
	// Seven metres a second to the right, from the end of the first step of the 20.
	EXPECT_NEAR(5.0f + 7.0f * 19.0f / 30.0f, number("world.objects.world.spark.x"), 0.25f);
}

TEST_F(StepChanges, PolygonsTakeTheVertexListAsItIsAtTheCall)
{
	const std::string world = sameEitherWay(
		"world.clearVertices()\n"
		"for _, v in ipairs({{0, 0}, {1, 0}, {1, 1}, {0, 1}}) do world.addVertex(v[1], v[2]) end\n"
		"world.createPolygon('square', '', -5, -10, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.clearVertices()\n"
		"for _, v in ipairs({{0, 0}, {1, 0}, {0, 1}}) do world.addVertex(v[1], v[2]) end\n"
		"world.createPolygon('triangle', '', 5, -10, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"world.clearVertices()\n"
		"world.objects.world.square.material = 'wood'\n"
		"world.objects.world.triangle.material = 'wood'");
	const std::string square = bodyLine(world, "square");
	const std::string triangle = bodyLine(world, "triangle");
	EXPECT_EQ("corners 4", square.substr(square.size() - 9)) << world;
	EXPECT_EQ("corners 3", triangle.substr(triangle.size() - 9)) << world;
}

TEST_F(StepChanges, AJointTableReusedForTwoJointsMakesEachFromItsContentsAtTheCall)
{
	const std::string world = sameEitherWay(
		"local t = {type = 3, name = 'ab', end1 = 'a', end2 = 'b', x1 = 0.5, y1 = 0, x2 = 0, y2 = 0, motor = true, motorSpeed = 1}\n"
		"world.createJoint(t)\n"
		"t.name, t.end1, t.end2, t.x1, t.motorSpeed = 'bc', 'b', 'c', -0.5, 2\n"
		"world.createJoint(t)\n"
		"t.name = 'changed later'\n"
		"world.setJointParameters({name = 'bc', motorSpeed = 3, limit = true, lowerLimit = -1, upperLimit = 1})\n"
		"world.createJoint({type = 1, name = 'gone', end1 = 'a', end2 = 'c', x1 = 0, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.destroyJoint('gone')");
	EXPECT_NE(std::string::npos, world.find("a-b type 1")) << world;
	EXPECT_NE(std::string::npos, world.find("motor 1 1 10000 limit 0")) << world;
	EXPECT_NE(std::string::npos, world.find("b-c type 1")) << world;
	EXPECT_NE(std::string::npos, world.find("motor 1 3 10000 limit 1 -1 1")) << world;
	EXPECT_EQ(std::string::npos, world.find("a-c")) << world;
	EXPECT_TRUE(boolean("world.objects.joints.ab.x1 ~= world.objects.joints.bc.x1"));
}

TEST_F(StepChanges, RemovalsAndReusedNamesTakeEffectAtTheCall)
{
	const std::string world = sameEitherWay(
		"world.createJoint({type = 5, name = 'link', end1 = 'a', end2 = 'b', x1 = 0, y1 = 0, x2 = 0, y2 = 0, destroyTimer = 0.2})\n"
		"world.createJoint({type = 2, name = 'weld', end1 = 'b', end2 = 'c', x1 = 0, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.objects.world.b.strength = 5\n"
		"world.removeObject('a')\n"
		"world.removeObject('crate')\n"
		"reads = {crate = world.getWorldPoint('crate', 0, 0) == nil}\n"
		"world.createBox('c', '', 0, -30, 2, 2, 1, 0.5, 0, true, false, 1)\n"
		"world.objects.world.c.material = 'wood'\n"
		"world.setVelocity('c', 0, -1)");
	EXPECT_TRUE(boolean("reads.crate"));
	EXPECT_EQ("", bodyLine(world, "crate")) << world;
	EXPECT_EQ("", bodyLine(world, "a")) << world;
	EXPECT_EQ(0u, bodyLine(world, "c").rfind("c type 2 at 0 ", 0)) << world;
	EXPECT_EQ(std::string::npos, world.find("b-c")) << world;
	EXPECT_EQ(3, GameLuaTestAccess::physicsWorld(*this->world).GetBodyCount()) << world;
	// The destroy link handed its 0.2 s to "b" at the call.
	EXPECT_EQ(0.0f, number("world.objects.world.b.strength"));
}

// The checks that guard the physics judge what the change will meet: a joint to a body whose
// move still waits is judged from where the move puts it, by its lever and by its reach, a
// change of a body's type by the joints the callback gave it, and an impulse on a body made in
// the callback is bounded against that body.
TEST_F(StepChanges, ChecksJudgeTheWorldTheWaitingChangesLeave)
{
	const std::string calls =
		"world.setPosition('a', 40, -60)\n"
		"world.createJoint({type = 3, name = 'far', end1 = 'a', end2 = 'b', x1 = 0, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.setPosition('c', 9500, -60)\n"
		"world.createJoint({type = 3, name = 'beyond', end1 = 'c', end2 = 'b', x1 = 1000, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.createBox('s', '', -10, -30, 1, 1, 100, 0.5, 0, true, false, 1)\n"
		"world.objects.world.s.material = 'wood'\n"
		"world.createJoint({type = 2, name = 'held', end1 = 's', end2 = 'ground', x1 = -50, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.setObjectParameter('s', 2, 1)\n"
		"world.createBox('light', '', -5, -20, 0.2, 0.2, 0.01, 0.5, 0, true, false, 1)\n"
		"world.objects.world.light.material = 'wood'\n"
		"world.applyImpulse('light', 3e38, 0, -5, -20)";
	const std::string world = sameEitherWay(calls);
	EXPECT_EQ(std::string::npos, world.find("a-b")) << world;
	EXPECT_EQ(std::string::npos, world.find("c-b")) << world;
	EXPECT_NE(std::string::npos, world.find("s-ground type 8")) << world;
	EXPECT_EQ(0u, bodyLine(world, "a").rfind("a type 2 at 40 ", 0)) << world;
	EXPECT_EQ(0u, bodyLine(world, "c").rfind("c type 2 at 9500 ", 0)) << world;
	EXPECT_EQ(0u, bodyLine(world, "s").rfind("s type 0 at -10 -30 ", 0)) << world;
	EXPECT_EQ(std::string::npos, world.find("nan")) << world;
	const std::string debug = runCalls(calls, true).debug;
	for (const char* refusal : {"Joint far refused: its anchor lies too far from a moving end for the physics to hold\n",
			"Joint beyond refused: it reaches beyond the world's extent\n",
			"Object s: the change to a dynamic body is refused for its joint held: its anchor lies too far from a moving end for the physics to hold\n"})
		EXPECT_NE(std::string::npos, debug.find(refusal)) << debug;
}

// An existing body moved and turned in the callback is read where the calls put it, and joined
// there; queries leave out a body whose object the callback removed.
TEST_F(StepChanges, AnExistingBodyIsReadAndJoinedWhereTheCallbackMovedIt)
{
	const std::string world = sameEitherWay(
		"world.setPosition('b', 12, -56)\n"
		"world.setRotation('b', 1)\n"
		"reads = {point = {world.getWorldPoint('b', 1, 0)}, back = {world.getLocalPoint('b', 12, -57)}, angle = world.getAngle('b')}\n"
		"world.createJoint({type = 2, name = 'weld', end1 = 'b', end2 = 'c', x1 = 0, y1 = 0, x2 = 0, y2 = 0})\n"
		"world.removeObject('a')\n"
		"reads.found = world.getIntersectingObjects({x = 3, y = -60, left = -1, right = 1, down = -1, up = 1})\n"
		"reads.crossed = world.getRayCastedObjects({x1 = 0, y1 = -60, x2 = 4, y2 = -60})");
	EXPECT_NEAR(12.0f + std::cos(1.0f), number("reads.point[1]"), 1e-4f);
	EXPECT_NEAR(-56.0f + std::sin(1.0f), number("reads.point[2]"), 1e-4f);
	EXPECT_NEAR(-std::sin(1.0f), number("reads.back[1]"), 1e-4f);
	EXPECT_NEAR(-std::cos(1.0f), number("reads.back[2]"), 1e-4f);
	EXPECT_FLOAT_EQ(1.0f, number("reads.angle"));
	EXPECT_EQ(0.0f, number("#reads.found + #reads.crossed"));
	EXPECT_NE(std::string::npos, world.find("b-c type 8")) << world;
}

} // namespace
