#include <world/JointChange.h>

#include <lua/LuaTable.h>
#include <world/JointDescription.h>

namespace {

std::optional<float> number(const lua::LuaTable& table, const char* key)
{
	return table.isNumber(key) ? std::optional<float>(table.getNumber(key)) : std::nullopt;
}

std::optional<bool> boolean(const lua::LuaTable& table, const char* key)
{
	return table.isBoolean(key) ? std::optional<bool>(table.getBoolean(key)) : std::nullopt;
}

template <class T>
void change(T& value, const std::optional<T>& changed)
{
	if (changed)
		value = *changed;
}

} // namespace

JointChange::JointChange(const lua::LuaTable& table) :
	motor(boolean(table, "motor")),
	motorSpeed(number(table, "motorSpeed")),
	maxTorque(number(table, "maxTorque")),
	limit(boolean(table, "limit")),
	lowerLimit(number(table, "lowerLimit")),
	upperLimit(number(table, "upperLimit")),
	frequency(number(table, "frequency")),
	dampingRatio(number(table, "dampingRatio"))
{
}

std::array<JointChange, 3> JointChange::parts() const
{
	std::array<JointChange, 3> parts;
	parts[0].motor = motor;
	parts[0].motorSpeed = motorSpeed;
	parts[0].maxTorque = maxTorque;
	parts[1].limit = limit;
	parts[1].lowerLimit = lowerLimit;
	parts[1].upperLimit = upperLimit;
	parts[2].frequency = frequency;
	parts[2].dampingRatio = dampingRatio;
	return parts;
}

void JointChange::applyTo(JointDescription& joint) const
{
	if (joint.type == JointDescription::DISTANCE)
	{
		change(joint.frequency, frequency);
		change(joint.dampingRatio, dampingRatio);
	}
	else if (joint.hasMotor())
	{
		change(joint.motor, motor);
		change(joint.motorSpeed, motorSpeed);
		change(joint.maxTorque, maxTorque);
		change(joint.limit, limit);
		change(joint.lowerLimit, lowerLimit);
		change(joint.upperLimit, upperLimit);
	}
}

void JointChange::writeTo(lua::LuaTable& table, const JointDescription& joint) const
{
	if (joint.type == JointDescription::DISTANCE)
	{
		if (frequency)
			table.setNumber("frequency", joint.frequency);
		if (dampingRatio)
			table.setNumber("dampingRatio", joint.dampingRatio);
		return;
	}
	if (!joint.hasMotor())
		return;
	if (motor)
		table.setBoolean("motor", joint.motor);
	if (motorSpeed)
		table.setNumber("motorSpeed", joint.motorSpeed);
	if (maxTorque)
		table.setNumber("maxTorque", joint.maxTorque);
	if (limit)
		table.setBoolean("limit", joint.limit);
	if (changesLimits())
	{
		table.setNumber("lowerLimit", joint.lowerLimit);
		table.setNumber("upperLimit", joint.upperLimit);
	}
}
