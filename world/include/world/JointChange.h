#ifndef WORLD_JOINTCHANGE_H
#define WORLD_JOINTCHANGE_H

#include <array>
#include <optional>

namespace lua { class LuaTable; }
struct JointDescription;

/**
 * What a "setJointParameters" table asks of a joint, read whole at the call so that the table
 * may change afterwards; a value. A key missing or of another type changes nothing. Units as in
 * JointDescription.
 */
struct JointChange
{
	JointChange() = default;
	explicit JointChange(const lua::LuaTable& table);

	// The change split into the parts a joint takes or refuses whole: the motor keys, the limit
	// keys (their order depends on each other) and the spring keys.
	std::array<JointChange, 3> parts() const;

	bool isEmpty() const									{ return !motor && !motorSpeed && !maxTorque && !limit && !changesLimits() && !changesSpring(); }
	bool changesLimits() const								{ return lowerLimit || upperLimit; }
	bool changesSpring() const								{ return frequency || dampingRatio; }
	// Makes the changes that apply to the joint's type: motor and limit keys to a revolute or
	// prismatic joint, spring keys to a distance joint.
	void applyTo(JointDescription& joint) const;
	// Writes the keys changed into the joint's script table, both limits in force when either
	// changed; joint is the description with the changes made.
	void writeTo(lua::LuaTable& table, const JointDescription& joint) const;

	std::optional<bool> motor;
	std::optional<float> motorSpeed;
	std::optional<float> maxTorque;
	std::optional<bool> limit;
	std::optional<float> lowerLimit;
	std::optional<float> upperLimit;
	std::optional<float> frequency;
	std::optional<float> dampingRatio;
};

#endif
