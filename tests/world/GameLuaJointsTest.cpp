#include "WorldFixture.h"

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
	};
	for (const char* description : refused)
	{
		run(std::string("world.createJoint(") + description + ")");
		EXPECT_FALSE(boolean("joints().j ~= nil")) << description;
		EXPECT_EQ(nullptr, world->getBody("a")->GetJointList()) << description;
	}
	frames(3);
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
