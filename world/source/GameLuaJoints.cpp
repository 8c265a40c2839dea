#include <world/GameLua.h>

#include <lang/Debug.h>
#include <lua/LuaState.h>
#include <world/JointChange.h>
#include <world/RenderObjectData.h>
#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// A distance joint of the frequency (Hz) and damping ratio between bodies of these masses (kg):
// a spring free to stretch, or a rigid rod of its rest length (metres) for a frequency of 0.
// The stiffness and damping are Box2D's, computed from the masses, which are known before the
// bodies exist.
struct Spring
{
	float stiffness = 0.0f;
	float damping = 0.0f;
	float minLength;
	float maxLength;

	Spring(float frequency, float dampingRatio, float length, float massA, float massB) :
		minLength(length),
		maxLength(length)
	{
		if (frequency <= 0.0f)
			return;
		const float mass = massA > 0.0f && massB > 0.0f ? massA * massB / (massA + massB) : (massA > 0.0f ? massA : massB);
		const float omega = 2.0f * b2_pi * frequency;
		stiffness = mass * omega * omega;
		damping = 2.0f * mass * dampingRatio * omega;
		minLength = 0.0f;
		maxLength = FLT_MAX;
	}

	bool isFinite() const									{ return std::isfinite(stiffness) && std::isfinite(damping); }
};

// Where a distance joint holds its ends for these poses of them: the local anchors, the world
// points they are at and the rest length, by anchor mode.
struct DistanceAnchors
{
	b2Vec2 localA = b2Vec2_zero;
	b2Vec2 localB = b2Vec2_zero;
	b2Vec2 worldA;
	b2Vec2 worldB;
	float length;

	DistanceAnchors(const JointDescription& joint, const b2Transform& poseA, const b2Transform& poseB) :
		worldA(poseA.p),
		worldB(poseB.p),
		length(b2Distance(poseA.p, poseB.p))
	{
		if (joint.coordType == 1)
		{
			// World points, made local by the body positions alone.
			localA = joint.anchor1 - poseA.p;
			localB = joint.anchor2 - poseB.p;
			worldA = joint.anchor1;
			worldB = joint.anchor2;
		}
		else if (joint.coordType == 2)
		{
			localA = joint.anchor1;
			localB = joint.anchor2;
			worldA = b2Mul(poseA, joint.anchor1);
			worldB = b2Mul(poseB, joint.anchor2);
		}
		else if (joint.coordType != 0)
		{
			length = 1.0f;
			return;
		}
		length = b2Distance(worldA, worldB);
	}
};

// The point a revolute, prismatic or weld joint holds its ends at, in world coordinates.
b2Vec2 jointAnchor(const JointDescription& joint, const b2Transform& poseA, const b2Transform& poseB)
{
	const b2Vec2 onA = b2Mul(poseA, joint.anchor1);
	return joint.type == JointDescription::WELD ? 0.5f * (onA + b2Mul(poseB, joint.anchor2)) : onA;
}

// Where a joint made with its ends at these poses holds each of them, in the end's own frame
// (metres).
void heldAnchors(const JointDescription& joint, const b2Transform& poseA, const b2Transform& poseB, b2Vec2& onA, b2Vec2& onB)
{
	if (joint.type == JointDescription::DISTANCE)
	{
		const DistanceAnchors anchors(joint, poseA, poseB);
		onA = anchors.localA;
		onB = anchors.localB;
		return;
	}
	const b2Vec2 anchor = jointAnchor(joint, poseA, poseB);
	onA = b2MulT(poseA, anchor);
	onB = b2MulT(poseB, anchor);
}

// One end of a joint as the joint checks judge it: the end's record, its pose (metres,
// radians), the point the joint holds it at in its own frame (metres) and its mass (kg, 0 for
// a static end).
struct JointEnd
{
	const GameLua::RenderObjectData& record;
	b2Transform pose;
	b2Vec2 held;
	float mass;
};

// How far, in metres, a weld, revolute or prismatic joint may hold its anchor from the centre of
// mass of a moving end. Box2D moves a body at most b2_maxTranslation (2 m) a step, 60 m/s at
// the game's 30 steps a second, and corrects these joints' positions without bound: once an
// assembly turns fast enough that its far end would need more, the joint breaks every step and
// the correction throws the bodies out of the world. A point swinging under the game's gravity
// (20 m/s^2) through twice its lever reaches 60 m/s at a 45 m lever; measured, a pair of 0.1 m
// circles on a prismatic joint 47 m from each left the world within 150 steps, welded pairs
// from 130 m, a 0.1 m circle on a revolute joint from 205 m.
const float MAX_LEVER = 20.0f;
// How far, in radii of gyration of a moving end, a weld or prismatic joint may hold its anchor
// from the end's centre of mass. Both solve the end's turning together with its movement at the
// anchor in single precision, and the determinant of that system is the small difference of
// terms that grow with the fourth power of lever over radius of gyration: near 80 radii it is
// lost to rounding. Measured against a static end, a weld turned its body and everything it
// touches to no number from 80 radii (a 1 x 1 box, radius of gyration 0.41 m, from 33 m), a
// prismatic joint threw its body out of the world from 57 radii, and from 43 radii against a
// body 1200 times heavier.
const float MAX_LEVER_RATIO = 25.0f;

// Why Box2D could not hold the joint between these ends, or null: a weld, revolute or prismatic
// joint that holds a moving end too far from its centre of mass. A prismatic joint carries the
// second end's anchor away from the first end along its axis, as far as its limit lets it.
const char* leverFault(const JointDescription& joint, const JointEnd& first, const JointEnd& second)
{
	if (joint.type == JointDescription::DISTANCE)
		return nullptr;
	const float slide = joint.type == JointDescription::PRISMATIC && joint.limit ? std::max(std::fabs(joint.lowerLimit), std::fabs(joint.upperLimit)) : 0.0f;
	struct Lever
	{
		const JointEnd& end;
		float slide;
	};
	for (const Lever& lever : {Lever{first, slide}, Lever{second, 0.0f}})
	{
		const JointEnd& end = lever.end;
		if (end.mass <= 0.0f)
			continue;
		// Both points are fixed in the end's own frame, so no move or turn of the end changes this.
		const float length = b2Distance(end.held, end.record.massCentre) + lever.slide;
		if (!(length <= MAX_LEVER))
			return "its anchor lies too far from a moving end for the physics to hold";
		if (joint.type == JointDescription::REVOLUTE || end.record.centralInertia <= 0.0f)
			continue;
		if (!(length <= MAX_LEVER_RATIO * std::sqrt(end.record.centralInertia / end.mass)))
			return "its anchor lies too far from a moving end for the end's size";
	}
	return nullptr;
}

// Why a distance joint's spring between these ends would have no finite stiffness or damping, or null.
const char* springFault(const JointDescription& joint, const JointEnd& first, const JointEnd& second)
{
	if (joint.type != JointDescription::DISTANCE)
		return nullptr;
	const Spring spring(joint.frequency, joint.dampingRatio, 0.0f, first.mass, second.mass);
	return spring.isFinite() ? nullptr : "its spring's stiffness or damping is not finite";
}

// Why the joint reaches beyond the world's extent, or null: an end, or the point the joint
// holds it at, lies beyond.
const char* extentFault(const JointDescription&, const JointEnd& first, const JointEnd& second)
{
	for (const JointEnd* end : {&first, &second})
		if (!GameLua::isWithinExtent(end->pose.p) || !GameLua::isWithinExtent(b2Mul(end->pose, end->held)))
			return "it reaches beyond the world's extent";
	return nullptr;
}

// Why Box2D could not hold the joint between these ends, or null.
const char* holdFault(const JointDescription& joint, const JointEnd& first, const JointEnd& second)
{
	if (const char* fault = extentFault(joint, first, second))
		return fault;
	if (const char* fault = leverFault(joint, first, second))
		return fault;
	return springFault(joint, first, second);
}

// The motor and limit of a revolute or prismatic joint's definition, whose bounds are angles or
// translations and whose motor limit a torque or a force; then the joint made of it.
template <class Def>
b2Joint* makeMotorJoint(b2World& world, Def& def, const JointDescription& joint, float Def::*maxMotor, float Def::*lower, float Def::*upper)
{
	def.enableMotor = joint.motor;
	def.motorSpeed = joint.motorSpeed;
	def.*maxMotor = joint.maxTorque;
	def.enableLimit = joint.limit;
	def.*lower = joint.lowerLimit;
	def.*upper = joint.upperLimit;
	def.collideConnected = joint.collideConnected;
	return world.CreateJoint(&def);
}

b2Joint* makeJoint(b2World& world, const JointDescription& joint, b2Body* bodyA, b2Body* bodyB)
{
	switch (joint.type)
	{
	case JointDescription::REVOLUTE:
	{
		b2RevoluteJointDef def;
		def.Initialize(bodyA, bodyB, jointAnchor(joint, bodyA->GetTransform(), bodyB->GetTransform()));
		return makeMotorJoint(world, def, joint, &b2RevoluteJointDef::maxMotorTorque, &b2RevoluteJointDef::lowerAngle, &b2RevoluteJointDef::upperAngle);
	}
	case JointDescription::PRISMATIC:
	{
		b2PrismaticJointDef def;
		def.Initialize(bodyA, bodyB, jointAnchor(joint, bodyA->GetTransform(), bodyB->GetTransform()), joint.axis);
		return makeMotorJoint(world, def, joint, &b2PrismaticJointDef::maxMotorForce, &b2PrismaticJointDef::lowerTranslation, &b2PrismaticJointDef::upperTranslation);
	}
	case JointDescription::WELD:
	{
		b2WeldJointDef def;
		def.Initialize(bodyA, bodyB, jointAnchor(joint, bodyA->GetTransform(), bodyB->GetTransform()));
		def.collideConnected = joint.collideConnected;
		return world.CreateJoint(&def);
	}
	default:
	{
		const DistanceAnchors anchors(joint, bodyA->GetTransform(), bodyB->GetTransform());
		const Spring spring(joint.frequency, joint.dampingRatio, anchors.length, bodyA->GetMass(), bodyB->GetMass());
		b2DistanceJointDef def;
		def.bodyA = bodyA;
		def.bodyB = bodyB;
		def.collideConnected = joint.collideConnected;
		def.localAnchorA = anchors.localA;
		def.localAnchorB = anchors.localB;
		def.length = anchors.length;
		def.stiffness = spring.stiffness;
		def.damping = spring.damping;
		def.minLength = spring.minLength;
		def.maxLength = spring.maxLength;
		return world.CreateJoint(&def);
	}
	}
}

// Gives a revolute or prismatic joint the motor and limit changes asked of it; inForce is its
// description with them made. setMaxMotor sets its motor's torque or force.
template <class Joint>
void applyMotorChange(Joint& joint, const JointChange& change, const JointDescription& inForce, void (Joint::*setMaxMotor)(float))
{
	if (change.motor)
		joint.EnableMotor(*change.motor);
	if (change.motorSpeed)
		joint.SetMotorSpeed(*change.motorSpeed);
	if (change.maxTorque)
		(joint.*setMaxMotor)(*change.maxTorque);
	if (change.limit)
		joint.EnableLimit(*change.limit);
	// Box2D takes no reversed bounds, which a revolute joint keeps only while its limit is off:
	// its bounds in force reach Box2D once they are in order again.
	if (change.changesLimits() && inForce.lowerLimit <= inForce.upperLimit)
		joint.SetLimits(inForce.lowerLimit, inForce.upperLimit);
}

// Gives a joint the changes asked of it; inForce is its description with them made.
void applyChange(b2Joint& joint, const JointChange& change, const JointDescription& inForce)
{
	switch (joint.GetType())
	{
	case e_distanceJoint:
	{
		if (!change.changesSpring())
			return;
		b2DistanceJoint& distance = static_cast<b2DistanceJoint&>(joint);
		const Spring spring(inForce.frequency, inForce.dampingRatio, distance.GetLength(), joint.GetBodyA()->GetMass(), joint.GetBodyB()->GetMass());
		distance.SetStiffness(spring.stiffness);
		distance.SetDamping(spring.damping);
		// Minimum first: Box2D keeps the minimum at or below the maximum in force.
		distance.SetMinLength(spring.minLength);
		distance.SetMaxLength(spring.maxLength);
		return;
	}
	case e_revoluteJoint:
		applyMotorChange(static_cast<b2RevoluteJoint&>(joint), change, inForce, &b2RevoluteJoint::SetMaxMotorTorque);
		return;
	case e_prismaticJoint:
		applyMotorChange(static_cast<b2PrismaticJoint&>(joint), change, inForce, &b2PrismaticJoint::SetMaxMotorForce);
		return;
	default:
		return;
	}
}

// A revolute or prismatic joint whose motor has reached the limit it drives toward turns round;
// position reads its angle or translation.
template <class Joint>
void turnAtLimit(Joint& joint, float (Joint::*position)() const)
{
	if (!joint.IsLimitEnabled() || !joint.IsMotorEnabled())
		return;
	const float speed = joint.GetMotorSpeed();
	const float at = (joint.*position)();
	if ((speed > 0.0f && at >= joint.GetUpperLimit()) || (speed < 0.0f && at <= joint.GetLowerLimit()))
		joint.SetMotorSpeed(-speed);
}

void checkLimits(b2Joint& joint)
{
	if (joint.GetType() == e_revoluteJoint)
		turnAtLimit(static_cast<b2RevoluteJoint&>(joint), &b2RevoluteJoint::GetJointAngle);
	else if (joint.GetType() == e_prismaticJoint)
		turnAtLimit(static_cast<b2PrismaticJoint&>(joint), &b2PrismaticJoint::GetJointTranslation);
}

} // namespace

lua::LuaTable GameLua::jointsTable()
{
	if (!m_objectsTable.isTable("joints"))
		m_objectsTable.setTable("joints", lua::LuaTable(state()));
	return m_objectsTable.getTable("joints");
}

int GameLua::createJointLua(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	createJoint(lua->toTable(-1));
	return 0;
}

int GameLua::createJoints(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	const int table = lua->top();
	lua->pushNil();
	while (lua->next(table))
	{
		lua->checkType(-1, lua::LuaState::TABLE);
		const lua::LuaTable description = lua->toTable(-1);
		lua->pop(1);
		createJoint(description);
	}
	return 0;
}

void GameLua::createJoint(const lua::LuaTable& table)
{
	const JointRecord record = std::make_shared<jointData>(jointData{JointDescription(table), b2Vec2_zero, b2Vec2_zero, nullptr});
	const JointDescription& joint = record->description;
	RenderObjectData* first = findRecord(joint.end1);
	RenderObjectData* second = findRecord(joint.end2);
	if (const char* fault = jointFault(*record, first, second))
	{
		lang::Debug::printf("Joint %s refused: %s\n", joint.name.c_str(), fault);
		return;
	}
	jointsTable().setTable(joint.name, joint.scriptTable(state()));
	if (joint.type == JointDescription::DESTROY_LINK)
	{
		m_destroyLinks.push_back(record);
		return;
	}
	m_joints.push_back(record);
	if (!first->isProjectile && !second->isProjectile)
	{
		first->flag12 = true;
		second->flag12 = true;
	}
	changePhysics([this, record, first, second] { record->joint = makeJoint(*m_world, record->description, first->body, second->body); });
}

const char* GameLua::jointFault(jointData& joint, const RenderObjectData* first, const RenderObjectData* second) const
{
	const JointDescription& description = joint.description;
	if (description.type < JointDescription::DISTANCE || description.type > JointDescription::DESTROY_LINK)
		return "its type is unknown";
	if (!first || !second)
		return "an end names no object";
	if (description.type != JointDescription::DESTROY_LINK && first == second)
		return "both ends are one object";
	if (const char* fault = description.numberFault())
		return fault;
	if (description.type == JointDescription::DESTROY_LINK)
		return nullptr;
	const b2Transform poseA = poseOf(*first);
	const b2Transform poseB = poseOf(*second);
	heldAnchors(description, poseA, poseB, joint.heldOnFirst, joint.heldOnSecond);
	return holdFault(description, JointEnd{*first, poseA, joint.heldOnFirst, first->mass()}, JointEnd{*second, poseB, joint.heldOnSecond, second->mass()});
}

template <class Judge>
const char* GameLua::jointsFault(const RenderObjectData& record, const b2Transform& pose, bool isStatic, Judge judge, lang::String& jointName) const
{
	for (const JointRecord& joint : m_joints)
	{
		const JointDescription& description = joint->description;
		if (description.end1 != record.name && description.end2 != record.name)
			continue;
		// The ends of a listed joint are objects: removing one drops the joint.
		const auto end = [&](const lang::String& name, const b2Vec2& held) {
			const RenderObjectData& other = *findRecord(name);
			if (&other != &record)
				return JointEnd{other, poseOf(other), held, other.mass()};
			return JointEnd{record, pose, held, isStatic ? 0.0f : record.dynamicMass};
		};
		if (const char* fault = judge(description, end(description.end1, joint->heldOnFirst), end(description.end2, joint->heldOnSecond)))
		{
			jointName = description.name;
			return fault;
		}
	}
	return nullptr;
}

bool GameLua::keepsJointsWithinExtent(const RenderObjectData& record, const b2Transform& pose) const
{
	lang::String joint;
	if (!jointsFault(record, pose, record.staticBody, extentFault, joint))
		return true;
	lang::Debug::printf("Object %s refused: its joint %s would reach beyond the world's extent from (%g, %g)\n",
		record.name.c_str(), joint.c_str(), pose.p.x, pose.p.y);
	return false;
}

bool GameLua::keepsJointsHeld(const RenderObjectData& record, bool isStatic) const
{
	lang::String joint;
	const char* fault = jointsFault(record, poseOf(record), isStatic, holdFault, joint);
	if (!fault)
		return true;
	lang::Debug::printf("Object %s: the change to a %s body is refused for its joint %s: %s\n",
		record.name.c_str(), isStatic ? "static" : "dynamic", joint.c_str(), fault);
	return false;
}

int GameLua::setJointParameters(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	const lua::LuaTable table = lua->toTable(-1);
	const lang::String name = table.getString("name");
	const JointChange change(table);
	for (const JointRecord& record : m_joints)
	{
		if (record->description.name == name)
		{
			changeJoint(record, change);
			break;
		}
	}
	return 0;
}

void GameLua::changeJoint(const JointRecord& record, const JointChange& change)
{
	lua::LuaTable joints = jointsTable();
	const lang::String& name = record->description.name;
	lua::LuaTable table = joints.isTable(name) ? joints.getTable(name) : lua::LuaTable(state());
	// The ends of a listed joint are objects: removing one drops the joint.
	const RenderObjectData& first = *findRecord(record->description.end1);
	const RenderObjectData& second = *findRecord(record->description.end2);
	const JointEnd endA{first, poseOf(first), record->heldOnFirst, first.mass()};
	const JointEnd endB{second, poseOf(second), record->heldOnSecond, second.mass()};
	for (const JointChange& part : change.parts())
	{
		if (part.isEmpty())
			continue;
		JointDescription changed = record->description;
		part.applyTo(changed);
		const char* fault = changed.numberFault();
		if (!fault)
			fault = holdFault(changed, endA, endB);
		if (fault)
		{
			lang::Debug::printf("Joint %s change refused: %s\n", name.c_str(), fault);
			continue;
		}
		record->description = changed;
		part.writeTo(table, changed);
		changePhysics([record, part, changed] { applyChange(*record->joint, part, changed); });
	}
}

void GameLua::destroyJointLua(const lang::String& name)
{
	for (std::vector<JointRecord>* list : {&m_joints, &m_destroyLinks})
	{
		for (auto it = list->begin(); it != list->end(); ++it)
		{
			if ((*it)->description.name != name)
				continue;
			const JointRecord record = *it;
			jointsTable().remove(name);
			list->erase(it);
			if (record->description.type != JointDescription::DESTROY_LINK)
				changePhysics([this, record] { m_world->DestroyJoint(record->joint); });
			return;
		}
	}
}

void GameLua::removeJointsFromObject(const lang::String& name)
{
	releaseDestroyLinks(name);
	dropJointsOf(name, true);
}

void GameLua::releaseDestroyLinks(const lang::String& name)
{
	lua::LuaTable joints = jointsTable();
	for (int i = static_cast<int>(m_destroyLinks.size()) - 1; i >= 0; --i)
	{
		const JointDescription& link = m_destroyLinks[i]->description;
		if (link.end1 != name && link.end2 != name)
			continue;
		if (RenderObjectData* survivor = findRecord(link.end1 == name ? link.end2 : link.end1))
		{
			// The scripts may have changed the timer in the link's table; a timer of no finite
			// number would never run out.
			const lua::LuaTable table = joints.isTable(link.name) ? joints.getTable(link.name) : lua::LuaTable(state());
			const float timer = table.isNumber("destroyTimer") ? table.getNumber("destroyTimer") : JointDescription::DESTROY_TIMER;
			survivor->jointDestroyPending = true;
			survivor->jointDestroyTimer = std::isfinite(timer) ? timer : JointDescription::DESTROY_TIMER;
		}
		joints.remove(link.name);
		m_destroyLinks.erase(m_destroyLinks.begin() + i);
	}
}

void GameLua::dropJointsOf(const lang::String& name, bool destroyJoints)
{
	if (m_joints.empty())
		return;
	lua::LuaTable joints = jointsTable();
	for (int i = static_cast<int>(m_joints.size()) - 1; i >= 0; --i)
	{
		const JointRecord record = m_joints[i];
		if (record->description.end1 != name && record->description.end2 != name)
			continue;
		joints.remove(record->description.name);
		m_joints.erase(m_joints.begin() + i);
		if (destroyJoints)
			changePhysics([this, record] { m_world->DestroyJoint(record->joint); });
	}
}

bool GameLua::isJointEnd(const lang::String& name) const
{
	for (const JointRecord& record : m_joints)
		if (record->description.end1 == name || record->description.end2 == name)
			return true;
	return false;
}

void GameLua::checkJointLimits(const lang::String& name)
{
	for (const JointRecord& record : m_joints)
		if (record->description.name == name)
			changePhysics([record] { checkLimits(*record->joint); });
}
