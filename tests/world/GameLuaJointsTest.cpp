#include "WorldFixture.h"

#include <cmath>

class GameLuaJoints : public WorldFixture
{
protected:
	GameLuaJoints()
	{
		recordCallbacks();
		run("world.createBox('a', '', 0, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"world.createBox('b', '', 3, -5, 1, 1, 1, 0.5, 0, true, false, 1)\n"
			"function joint(fields)\n"
			"  local t = {type = 4, name = 'j', end1 = 'a', end2 = 'b', x1 = 0, y1 = 0, x2 = 0, y2 = 0}\n"
			"  for k, v in pairs(fields or {}) do t[k] = v end\n"
			"  return t\n"
			"end\n"
			"joints = function() return world.objects.joints or {} end");
	}
};

TEST_F(GameLuaJoints, BarePrismaticJointHasLimitsAndARunningMotor)
{
	run("world.createJoint(joint())");
	EXPECT_TRUE(boolean("joints().j.limit and joints().j.motor and joints().j.backAndForth"));
	EXPECT_EQ(0.0f, number("joints().j.lowerLimit"));
	EXPECT_EQ(5.0f, number("joints().j.upperLimit"));
	EXPECT_EQ(0.0f, number("joints().j.motorSpeed"));
	EXPECT_EQ(10000.0f, number("joints().j.maxTorque"));
	const b2JointEdge* edge = world->getBody("a")->GetJointList();
	ASSERT_NE(nullptr, edge);
	const b2PrismaticJoint* slider = static_cast<const b2PrismaticJoint*>(edge->joint);
	EXPECT_TRUE(slider->IsMotorEnabled());
	EXPECT_EQ(10000.0f, slider->GetMaxMotorForce());
	EXPECT_EQ(5.0f, slider->GetUpperLimit());
}

// Box2D asserts on some of these and turns every body to no number after a step on the others.
TEST_F(GameLuaJoints, JointsBox2DCannotMakeAreRefused)
{
	const char* const refused[] = {
		"joint({type = 6})",
		"joint({type = 0/0})",
		"joint({type = 1e30})",
		"joint({type = -1/0})",
		"joint({end2 = 'nobody'})",
		"joint({end1 = 'nobody'})",
		"joint({end2 = 'a'})",
		"joint({type = 3, limit = true, lowerLimit = 1, upperLimit = 0})",
		"joint({lowerLimit = 6})",
		"joint({lowerLimit = 0/0})",
		"joint({type = 3, limit = true, upperLimit = 0/0})",
		"joint({lowerLimit = 1/0, upperLimit = 1/0})",
		"joint({lowerLimit = -1/0})",
		"joint({lowerLimit = -1e30, upperLimit = 1e30})",
		"joint({lowerLimit = 1e30, upperLimit = 1e30})",
		"joint({type = 3, motorSpeed = 0/0})",
		"joint({type = 3, maxTorque = 0/0})",
		"joint({type = 3, motor = true, motorSpeed = -3e38, maxTorque = 3e38})",
		"joint({motorSpeed = 2e30})",
		"joint({worldAxisX = 1/0, worldAxisY = 1})",
		"joint({worldAxisY = 0/0})",
		"joint({x1 = 1e30})",
		"joint({type = 3, y1 = 0/0})",
		"joint({type = 2, x2 = -1e30})",
		"joint({type = 2, y2 = 1/0})",
		"joint({type = 1, coordType = 1, x2 = 2e4})",
		"joint({type = 1, coordType = 2, y1 = -1/0})",
		"joint({type = 1, frequency = 1e30})",
		"joint({type = 1, frequency = 1/0})",
		"joint({type = 1, dampingRatio = 0/0})",
		"joint({type = 5, destroyTimer = 0/0})",
		"joint({type = 5, destroyTimer = 1/0})",
	};
	for (const char* description : refused)
	{
		const std::string log = capture([&] { run(std::string("world.createJoint(") + description + ")"); }).debug;
		EXPECT_NE(std::string::npos, log.find("Joint j refused: ")) << description;
		EXPECT_FALSE(boolean("joints().j ~= nil")) << description;
		EXPECT_EQ(nullptr, world->getBody("a")->GetJointList()) << description;
	}
	// Anchored where the ends are now: a hinge 2 km out from a body 9 km out.
	run("world.setPosition('a', 9000, -5)");
	EXPECT_NE(std::string::npos, capture([&] { run("world.createJoint(joint({type = 3, x1 = 2000}))"); }).debug.find("beyond the world's extent"));
	frames(3);
}

// The unused bounds of a revolute joint whose limit is off may be reversed; every joint here
// keeps its bodies at finite places when stepped, without the frame having to put one back.
TEST_F(GameLuaJoints, JointsAtTheEdgeOfTheNumbersStayFinite)
{
	const char* const accepted[] = {
		"joint({type = 3, lowerLimit = 4})",
		"joint({worldAxisX = 0, worldAxisY = 0})",
		"joint({worldAxisX = 1e30, worldAxisY = 1e30})",
		"joint({type = 3, motor = true, motorSpeed = 1e30, maxTorque = 1e30})",
		"joint({motorSpeed = -1e30, maxTorque = 1e30})",
		"joint({type = 1, dampingRatio = -5})",
		"joint({type = 1, frequency = 1e6})",
		"joint({type = 2, x1 = 9000, x2 = -9000})",
	};
	for (const char* description : accepted)
	{
		run("world.destroyJoint('j') world.setPosition('a', 0, -5) world.setPosition('b', 3, -5) world.setRotation('a', 0) world.setRotation('b', 0)\n"
			"world.setVelocity('a', 0, 0) world.setVelocity('b', 0, 0) world.setAngularVelocity('a', 0) world.setAngularVelocity('b', 0)\n"
			"world.createJoint(" + std::string(description) + ")");
		ASSERT_TRUE(boolean("joints().j ~= nil")) << description;
		const std::string log = capture([&] { frames(60); }).debug;
		EXPECT_EQ("", netLines(log)) << description;
		for (const char* name : {"a", "b"})
		{
			const b2Body* body = world->getBody(name);
			EXPECT_TRUE(std::isfinite(body->GetPosition().x) && std::isfinite(body->GetPosition().y) && std::isfinite(body->GetAngle()))
				<< description << ": " << name;
		}
	}
}

// A change is taken or refused in parts: the motor keys, the limit keys and the spring keys.
TEST_F(GameLuaJoints, ChangesOfNoFiniteNumberOrOfAnEnabledLimitReversedAreRefused)
{
	struct Case
	{
		const char* joint;
		const char* change;
		const char* after;
	};
	const Case cases[] = {
		{"joint({type = 3})", "lowerLimit = 0/0, maxTorque = 5", "t.lowerLimit == 0 and t.maxTorque == 5"},
		{"joint({type = 3})", "lowerLimit = 4", "t.lowerLimit == 4 and not t.limit"},
		{"joint({type = 3, lowerLimit = 4})", "limit = true", "not t.limit"},
		{"joint({type = 3, lowerLimit = 4})", "limit = true, upperLimit = 5", "t.limit and t.upperLimit == 5"},
		{"joint({type = 3})", "maxTorque = 0/0, motorSpeed = 1", "t.maxTorque == 10000 and t.motorSpeed == 0"},
		{"joint({type = 3})", "motor = true, motorSpeed = -3e38, maxTorque = 3e38", "not t.motor and t.maxTorque == 10000"},
		{"joint()", "upperLimit = -1/0", "t.upperLimit == 5"},
		{"joint()", "lowerLimit = 6", "t.lowerLimit == 0"},
		{"joint({type = 1})", "frequency = 1e30", "t.frequency == 4"},
		{"joint({type = 1})", "dampingRatio = 0/0, frequency = 2", "t.frequency == 4 and t.dampingRatio == 0.5"},
		{"joint({type = 1})", "frequency = 0", "t.frequency == 0"},
	};
	for (const Case& c : cases)
	{
		run(std::string("world.destroyJoint('j') world.createJoint(") + c.joint + ") world.setJointParameters({name = 'j', " + c.change + "})");
		EXPECT_TRUE(boolean(std::string("(function(t) return ") + c.after + " end)(joints().j)")) << c.joint << " " << c.change;
		const std::string log = capture([&] { frames(10); }).debug;
		EXPECT_EQ("", netLines(log)) << c.joint << " " << c.change;
		EXPECT_TRUE(std::isfinite(world->getBody("b")->GetPosition().y)) << c.joint << " " << c.change;
	}
}

TEST_F(GameLuaJoints, AnAnchorModeNoWholeNumberHoldsAnchorsAtTheBodyOrigins)
{
	for (const char* coordType : {"0/0", "1e30", "-1/0"})
	{
		run(std::string("world.createJoint(joint({type = 1, coordType = ") + coordType + ", x1 = 4, y1 = 4}))");
		const b2JointEdge* edge = world->getBody("a")->GetJointList();
		ASSERT_NE(nullptr, edge) << coordType;
		const b2DistanceJoint* rod = static_cast<const b2DistanceJoint*>(edge->joint);
		EXPECT_EQ(b2Vec2(0.0f, 0.0f), rod->GetLocalAnchorA()) << coordType;
		EXPECT_EQ(1.0f, rod->GetLength()) << coordType;
		run("world.destroyJoint('j')");
	}
}

TEST_F(GameLuaJoints, DestroyLinkHandsASecondToTheSurvivor)
{
	run("world.createJoint(joint({type = 5}))\n"
		"world.objects.world.b.strength = 50\n"
		"world.removeObject('a')");
	EXPECT_FALSE(boolean("joints().j ~= nil"));
	frames(27);
	EXPECT_EQ(50.0f, number("world.objects.world.b.strength"));
	frames(4);
	EXPECT_EQ(0.0f, number("world.objects.world.b.strength"));
}

TEST_F(GameLuaJoints, JointsGoByNameByObjectAndWithTheirBodies)
{
	run("world.createJoints({joint({type = 3, name = 'hinge'}), joint({type = 1, name = 'spring'}), joint({type = 2, name = 'weld'})})");
	EXPECT_TRUE(boolean("joints().spring.collideConnected == 0 and joints().weld.collideConnected == false"));
	EXPECT_EQ(3.1415927f, number("joints().hinge.upperLimit"));
	EXPECT_FALSE(boolean("joints().hinge.limit or joints().hinge.motor"));
	frames(2);
	EXPECT_TRUE(boolean("type(joints().hinge.x1) == 'number'"));

	run("world.destroyJoint('hinge')");
	EXPECT_FALSE(boolean("joints().hinge ~= nil"));
	run("world.removeJointsFromObject('b')");
	EXPECT_FALSE(boolean("joints().spring ~= nil or joints().weld ~= nil"));
	EXPECT_EQ(nullptr, world->getBody("a")->GetJointList());

	run("world.createJoint(joint({type = 3, name = 'again'})) world.removeObject('b')");
	EXPECT_FALSE(boolean("joints().again ~= nil"));
	EXPECT_EQ(nullptr, world->getBody("a")->GetJointList());
	frames(2);
}

TEST_F(GameLuaJoints, MotorsTurnRoundAtTheLimitTheyDriveToward)
{
	run("world.createJoint(joint({worldAxisX = 1, upperLimit = 0.5, motorSpeed = 3}))\n"
		"world.setJointParameters({name = 'j', maxTorque = 500, lowerLimit = 2})\n"
		"world.setJointParameters({name = 'j', lowerLimit = -0.5})");
	EXPECT_EQ(500.0f, number("joints().j.maxTorque"));
	EXPECT_EQ(-0.5f, number("joints().j.lowerLimit"));
	const b2PrismaticJoint* slider = static_cast<const b2PrismaticJoint*>(world->getBody("a")->GetJointList()->joint);
	EXPECT_EQ(-0.5f, slider->GetLowerLimit());
	for (int i = 0; i < 60 && slider->GetMotorSpeed() > 0.0f; ++i)
	{
		frames(1);
		run("world.checkJointLimits('j')");
	}
	EXPECT_EQ(-3.0f, slider->GetMotorSpeed());
	EXPECT_LE(0.5f, slider->GetJointTranslation());
}

TEST_F(GameLuaJoints, SpringFrequencyZeroMakesARigidRodAndBack)
{
	struct Case
	{
		float created;
		float changed;
		bool rigid;
	};
	const Case cases[] = {{4.0f, 0.0f, true}, {0.0f, 2.0f, false}};
	for (const Case& c : cases)
	{
		run("world.destroyJoint('j')\n"
			"world.createJoint(joint({type = 1, frequency = " + std::to_string(c.created) + "}))\n"
			"world.setJointParameters({name = 'j', frequency = " + std::to_string(c.changed) + "})");
		const b2DistanceJoint* rod = static_cast<const b2DistanceJoint*>(world->getBody("a")->GetJointList()->joint);
		EXPECT_EQ(c.rigid, rod->GetMinLength() == rod->GetMaxLength()) << c.created << " to " << c.changed;
		EXPECT_EQ(c.rigid, rod->GetMaxLength() == rod->GetLength()) << c.created << " to " << c.changed;
		EXPECT_EQ(c.changed, number("joints().j.frequency"));
	}
}
