#include <world/JointDescription.h>

#include <lang/Float.h>
#include <lang/Math.h>
#include <lang/Truncate.h>
#include <lua/LuaTable.h>
#include <cmath>

namespace {

// Defaults of the optional keys: a prismatic joint slides up to 5 m driven by a motor; a
// revolute joint swings freely (pi rad upper limit when its limit is switched on).
const float PRISMATIC_UPPER_LIMIT = 5.0f;
const float REVOLUTE_UPPER_LIMIT = lang::Math::PI;
const float MAX_MOTOR_TORQUE = 10000.0f;
const float SPRING_FREQUENCY = 4.0f;
const float SPRING_DAMPING_RATIO = 0.5f;
// Largest motor speed (rad/s or m/s) and torque or force (N m or N) taken: Box2D's motor solver
// overflows near the end of the float range (a speed and torque of 3e38 turned every body to no
// number on the first step).
const float MAX_MOTOR = 1.0e30f;

float numberOr(const lua::LuaTable& table, const char* key, float fallback)
{
	return table.isNumber(key) ? table.getNumber(key) : fallback;
}

bool booleanOr(const lua::LuaTable& table, const char* key, bool fallback)
{
	return table.isBoolean(key) ? table.getBoolean(key) : fallback;
}

// The anchor mode of a distance joint taken to the nearest whole number; no number is none of
// the modes, which anchor at the body origins.
int anchorMode(const lua::LuaTable& table)
{
	if (!table.isNumber("coordType"))
		return 0;
	const float mode = table.getNumber("coordType");
	return std::isnan(mode) ? -1 : lang::truncateTo<int>(std::floor(mode + 0.5f));
}

} // namespace

JointDescription::JointDescription(const lua::LuaTable& table) :
	type(lang::truncateTo<int>(table.getNumber("type"))),
	name(table.getString("name")),
	end1(table.getString("end1")),
	end2(table.getString("end2")),
	coordType(anchorMode(table)),
	anchor1(table.getNumber("x1"), table.getNumber("y1")),
	anchor2(table.getNumber("x2"), table.getNumber("y2")),
	axis(numberOr(table, "worldAxisX", 0.0f), numberOr(table, "worldAxisY", 0.0f)),
	motor(booleanOr(table, "motor", type == PRISMATIC)),
	motorSpeed(numberOr(table, "motorSpeed", 0.0f)),
	maxTorque(numberOr(table, "maxTorque", MAX_MOTOR_TORQUE)),
	limit(booleanOr(table, "limit", type == PRISMATIC)),
	lowerLimit(numberOr(table, "lowerLimit", 0.0f)),
	upperLimit(numberOr(table, "upperLimit", type == PRISMATIC ? PRISMATIC_UPPER_LIMIT : REVOLUTE_UPPER_LIMIT)),
	backAndForth(booleanOr(table, "backAndForth", type == PRISMATIC)),
	frequency(numberOr(table, "frequency", SPRING_FREQUENCY)),
	dampingRatio(numberOr(table, "dampingRatio", SPRING_DAMPING_RATIO)),
	collideConnected(booleanOr(table, "collideConnected", false)),
	destroyTimer(numberOr(table, "destroyTimer", DESTROY_TIMER))
{
}

const char* JointDescription::numberFault() const
{
	if (!lang::Float::allFinite({anchor1.x, anchor1.y, anchor2.x, anchor2.y}))
		return "an anchor is not finite";
	switch (type)
	{
	case DESTROY_LINK:
		return std::isfinite(destroyTimer) ? nullptr : "its destroy timer is not finite";
	case DISTANCE:
		return lang::Float::allFinite({frequency, dampingRatio}) ? nullptr : "its spring is not finite";
	case PRISMATIC:
	{
		// Box2D slides along the axis made one metre long.
		b2Vec2 direction = axis;
		direction.Normalize();
		if (!lang::Float::allFinite({axis.x, axis.y, direction.x, direction.y}))
			return "its axis is not finite";
		break;
	}
	case REVOLUTE:
		break;
	default:
		return nullptr;
	}
	if (!lang::Float::allFinite({motorSpeed, maxTorque, lowerLimit, upperLimit}))
		return "its motor or limit is not finite";
	if (std::fabs(motorSpeed) > MAX_MOTOR || std::fabs(maxTorque) > MAX_MOTOR)
		return "its motor is beyond what the physics can drive";
	if ((limit || type == PRISMATIC) && lowerLimit > upperLimit)
		return "its lower limit is above its upper limit";
	return nullptr;
}

lua::LuaTable JointDescription::scriptTable(lua::LuaState* lua) const
{
	lua::LuaTable table(lua);
	table.setString("name", name);
	table.setString("end1", end1);
	table.setString("end2", end2);
	table.setNumber("type", static_cast<float>(type));
	table.setNumber("coordType", static_cast<float>(coordType));
	table.setNumber("x1", anchor1.x);
	table.setNumber("x2", anchor2.x);
	table.setNumber("y1", anchor1.y);
	table.setNumber("y2", anchor2.y);
	if (type == DESTROY_LINK)
	{
		table.setNumber("destroyTimer", destroyTimer);
		return table;
	}
	if (hasMotor())
	{
		table.setBoolean("motor", motor);
		table.setNumber("motorSpeed", motorSpeed);
		table.setNumber("maxTorque", maxTorque);
		table.setBoolean("limit", limit);
		table.setNumber("lowerLimit", lowerLimit);
		table.setNumber("upperLimit", upperLimit);
		table.setBoolean("backAndForth", backAndForth);
	}
	if (type == PRISMATIC)
	{
		table.setNumber("worldAxisX", axis.x);
		table.setNumber("worldAxisY", axis.y);
	}
	if (type == DISTANCE)
	{
		table.setNumber("frequency", frequency);
		table.setNumber("dampingRatio", dampingRatio);
		table.setNumber("collideConnected", collideConnected ? 1.0f : 0.0f);
	}
	else
	{
		table.setBoolean("collideConnected", collideConnected);
	}
	return table;
}
