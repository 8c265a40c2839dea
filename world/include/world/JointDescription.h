#ifndef WORLD_JOINTDESCRIPTION_H
#define WORLD_JOINTDESCRIPTION_H

#include <box2d/b2_math.h>
#include <lang/String.h>

namespace lua { class LuaState; class LuaTable; }

/**
 * One joint as a script table describes it, read whole when the joint is asked for, so that the
 * table may change afterwards; a value. Lengths in metres, angles in radians, speeds per second,
 * torques in newton-metres (forces in newtons for a prismatic joint), frequencies in hertz.
 */
struct JointDescription
{
	enum Type
	{
		DISTANCE = 1,
		WELD = 2,
		REVOLUTE = 3,
		PRISMATIC = 4,
		DESTROY_LINK = 5
	};

	// Seconds a destroy link's surviving end keeps its strength when the link's table holds no
	// finite timer.
	static constexpr float DESTROY_TIMER = 1.0f;

	// Reads "type", "name", "end1", "end2", "x1", "y1", "x2" and "y2", which are required (a
	// lua::LuaException when one is missing or of another type), and the optional keys, which
	// take their defaults when missing or of another type.
	explicit JointDescription(const lua::LuaTable& table);

	bool hasMotor() const									{ return type == REVOLUTE || type == PRISMATIC; }
	// Null when every number the joint's type uses is finite and its limit, when enabled (a
	// prismatic joint's always counts as enabled), is not reversed; otherwise the reason.
	const char* numberFault() const;
	// The joint's script table: the values in force for its type.
	lua::LuaTable scriptTable(lua::LuaState* lua) const;

	// The type rounded toward zero; a type outside 1 to 5 makes no joint.
	int type;
	lang::String name;
	lang::String end1;
	lang::String end2;
	// Anchor mode of a distance joint, rounded to the nearest whole number.
	int coordType;
	// Local points of the ends, or world points for a distance joint of anchor mode 1.
	b2Vec2 anchor1;
	b2Vec2 anchor2;
	// Slide direction of a prismatic joint in world coordinates; any length.
	b2Vec2 axis;
	bool motor;
	float motorSpeed;
	float maxTorque;
	bool limit;
	float lowerLimit;
	float upperLimit;
	bool backAndForth;
	float frequency;
	float dampingRatio;
	bool collideConnected;
	// Seconds a destroy link's surviving end keeps its strength.
	float destroyTimer;
};

#endif
