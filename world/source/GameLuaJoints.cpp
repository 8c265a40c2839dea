#include <world/GameLua.h>

#include <lang/Debug.h>
#include <lang/Math.h>
#include <lua/LuaState.h>
#include <world/RenderObjectData.h>
#include <cfloat>
#include <cmath>

namespace {

enum JointType
{
	DISTANCE = 1,
	WELD = 2,
	REVOLUTE = 3,
	PRISMATIC = 4,
	DESTROY_LINK = 5
};

// Defaults of the optional joint keys: a prismatic joint slides up to 5 m driven by a motor; a
// revolute joint swings freely (pi rad upper limit when its limit is switched on).
const float PRISMATIC_UPPER_LIMIT = 5.0f;
const float REVOLUTE_UPPER_LIMIT = lang::Math::PI;
// Newton-metres, or newtons for a prismatic joint's motor.
const float MAX_MOTOR_TORQUE = 10000.0f;
const float SPRING_FREQUENCY = 4.0f;
const float SPRING_DAMPING_RATIO = 0.5f;
// Seconds the surviving end of a destroy link keeps its strength.
const float DESTROY_TIMER = 1.0f;

float numberOr(const lua::LuaTable& table, const char* key, float fallback)
{
	return table.isNumber(key) ? table.getNumber(key) : fallback;
}

// The number rounded toward zero, or fallback when no int holds it: an infinity, no number, or a
// number beyond the int range, any of which a level's joint table may hold.
int wholeNumberOr(float value, int fallback)
{
	const float whole = std::trunc(value);
	const float bound = 2147483648.0f;
	return whole >= -bound && whole < bound ? static_cast<int>(whole) : fallback;
}

bool booleanOr(const lua::LuaTable& table, const char* key, bool fallback)
{
	return table.isBoolean(key) ? table.getBoolean(key) : fallback;
}

// A distance joint of the frequency (Hz) and damping ratio: a spring free to stretch, or a rigid
// rod of its rest length (metres) for a frequency of 0.
struct Spring
{
	float stiffness = 0.0f;
	float damping = 0.0f;
	float minLength;
	float maxLength;

	Spring(float frequency, float dampingRatio, float length, const b2Body* bodyA, const b2Body* bodyB) :
		minLength(length),
		maxLength(length)
	{
		if (frequency <= 0.0f)
			return;
		b2LinearStiffness(stiffness, damping, frequency, dampingRatio, bodyA, bodyB);
		minLength = 0.0f;
		maxLength = FLT_MAX;
	}
};

// Motor and limit settings shared by revolute and prismatic joints; the limits are angles or
// translations.
struct MotorSettings
{
	bool motor;
	float motorSpeed;
	float maxTorque;
	bool limit;
	float lowerLimit;
	float upperLimit;
	bool backAndForth;

	MotorSettings(const lua::LuaTable& table, bool prismatic) :
		motor(booleanOr(table, "motor", prismatic)),
		motorSpeed(numberOr(table, "motorSpeed", 0.0f)),
		maxTorque(numberOr(table, "maxTorque", MAX_MOTOR_TORQUE)),
		limit(booleanOr(table, "limit", prismatic)),
		lowerLimit(numberOr(table, "lowerLimit", 0.0f)),
		upperLimit(numberOr(table, "upperLimit", prismatic ? PRISMATIC_UPPER_LIMIT : REVOLUTE_UPPER_LIMIT)),
		backAndForth(booleanOr(table, "backAndForth", prismatic))
	{
	}

	void writeTo(lua::LuaTable& table) const
	{
		table.setBoolean("motor", motor);
		table.setNumber("motorSpeed", motorSpeed);
		table.setNumber("maxTorque", maxTorque);
		table.setBoolean("limit", limit);
		table.setNumber("lowerLimit", lowerLimit);
		table.setNumber("upperLimit", upperLimit);
		table.setBoolean("backAndForth", backAndForth);
	}
};

// Applies the keys present in changes to the joint and writes them into its script table.
void applyJointParameters(b2Joint* joint, const lua::LuaTable& changes, lua::LuaTable& table)
{
	if (joint->GetType() == e_distanceJoint)
	{
		b2DistanceJoint* distance = static_cast<b2DistanceJoint*>(joint);
		const float frequency = numberOr(changes, "frequency", numberOr(table, "frequency", SPRING_FREQUENCY));
		const float dampingRatio = numberOr(changes, "dampingRatio", numberOr(table, "dampingRatio", SPRING_DAMPING_RATIO));
		if (!changes.isNumber("frequency") && !changes.isNumber("dampingRatio"))
			return;
		const Spring spring(frequency, dampingRatio, distance->GetLength(), joint->GetBodyA(), joint->GetBodyB());
		distance->SetStiffness(spring.stiffness);
		distance->SetDamping(spring.damping);
		// Minimum first: Box2D keeps the minimum at or below the maximum in force.
		distance->SetMinLength(spring.minLength);
		distance->SetMaxLength(spring.maxLength);
		table.setNumber("frequency", frequency);
		table.setNumber("dampingRatio", dampingRatio);
		return;
	}
	const bool revolute = joint->GetType() == e_revoluteJoint;
	if (!revolute && joint->GetType() != e_prismaticJoint)
		return;
	b2RevoluteJoint* hinge = revolute ? static_cast<b2RevoluteJoint*>(joint) : nullptr;
	b2PrismaticJoint* slider = revolute ? nullptr : static_cast<b2PrismaticJoint*>(joint);
	if (changes.isBoolean("motor"))
	{
		const bool on = changes.getBoolean("motor");
		revolute ? hinge->EnableMotor(on) : slider->EnableMotor(on);
		table.setBoolean("motor", on);
	}
	if (changes.isNumber("motorSpeed"))
	{
		const float speed = changes.getNumber("motorSpeed");
		revolute ? hinge->SetMotorSpeed(speed) : slider->SetMotorSpeed(speed);
		table.setNumber("motorSpeed", speed);
	}
	if (changes.isNumber("maxTorque"))
	{
		const float torque = changes.getNumber("maxTorque");
		revolute ? hinge->SetMaxMotorTorque(torque) : slider->SetMaxMotorForce(torque);
		table.setNumber("maxTorque", torque);
	}
	if (changes.isBoolean("limit"))
	{
		const bool on = changes.getBoolean("limit");
		revolute ? hinge->EnableLimit(on) : slider->EnableLimit(on);
		table.setBoolean("limit", on);
	}
	const float lower = numberOr(changes, "lowerLimit", revolute ? hinge->GetLowerLimit() : slider->GetLowerLimit());
	const float upper = numberOr(changes, "upperLimit", revolute ? hinge->GetUpperLimit() : slider->GetUpperLimit());
	if (!changes.isNumber("lowerLimit") && !changes.isNumber("upperLimit"))
		return;
	if (lower > upper)
	{
		lang::Debug::printf("Joint limits refused: lower limit %g above upper limit %g\n", lower, upper);
		return;
	}
	revolute ? hinge->SetLimits(lower, upper) : slider->SetLimits(lower, upper);
	table.setNumber("lowerLimit", lower);
	table.setNumber("upperLimit", upper);
}

float reversedSpeed(float speed, float position, float lower, float upper)
{
	// A motor that has reached the limit it drives toward turns round.
	if ((speed > 0.0f && position >= upper) || (speed < 0.0f && position <= lower))
		return -speed;
	return speed;
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

void GameLua::createJoint(const lua::LuaTable& description)
{
	if (deferWhileLocked([this, description] { createJoint(description); }))
		return;
	// A type no int holds is refused as the unknown type 0.
	const int type = wholeNumberOr(description.getNumber("type"), 0);
	const lang::String name = description.getString("name");
	const lang::String end1 = description.getString("end1");
	const lang::String end2 = description.getString("end2");
	// An anchor mode no int holds becomes -1, one of the modes that anchor at the body origins.
	const int coordType = description.isNumber("coordType") ? wholeNumberOr(std::floor(description.getNumber("coordType") + 0.5f), -1) : 0;
	const float x1 = description.getNumber("x1");
	const float y1 = description.getNumber("y1");
	const float x2 = description.getNumber("x2");
	const float y2 = description.getNumber("y2");

	if (type < DISTANCE || type > DESTROY_LINK)
	{
		lang::Debug::printf("Joint %s refused: unknown type %d\n", name.c_str(), type);
		return;
	}
	RenderObjectData* first = findRecord(end1);
	RenderObjectData* second = findRecord(end2);
	if (!first || !second)
	{
		lang::Debug::printf("Joint %s refused: no object named %s\n", name.c_str(), (first ? end2 : end1).c_str());
		return;
	}
	b2Body* bodyA = first->body;
	b2Body* bodyB = second->body;
	if (type != DESTROY_LINK && bodyA == bodyB)
	{
		lang::Debug::printf("Joint %s refused: both ends are %s\n", name.c_str(), end1.c_str());
		return;
	}
	const MotorSettings motor(description, type == PRISMATIC);
	if ((type == REVOLUTE || type == PRISMATIC) && motor.lowerLimit > motor.upperLimit)
	{
		lang::Debug::printf("Joint %s refused: lower limit %g above upper limit %g\n", name.c_str(), motor.lowerLimit, motor.upperLimit);
		return;
	}

	lua::LuaTable table(state());
	table.setString("name", name);
	table.setString("end1", end1);
	table.setString("end2", end2);
	table.setNumber("type", static_cast<float>(type));
	table.setNumber("coordType", static_cast<float>(coordType));
	table.setNumber("x1", x1);
	table.setNumber("x2", x2);
	table.setNumber("y1", y1);
	table.setNumber("y2", y2);

	jointData record;
	record.name = name;
	record.end1 = end1;
	record.end2 = end2;
	record.type = type;
	if (type == DESTROY_LINK)
	{
		table.setNumber("destroyTimer", numberOr(description, "destroyTimer", DESTROY_TIMER));
		m_destroyLinks.add(record);
		jointsTable().setTable(name, table);
		return;
	}

	const bool collideConnected = booleanOr(description, "collideConnected", false);
	const b2Vec2 localA(x1, y1);
	const b2Vec2 localB(x2, y2);
	switch (type)
	{
	case REVOLUTE:
	{
		b2RevoluteJointDef def;
		def.Initialize(bodyA, bodyB, bodyA->GetWorldPoint(localA));
		def.enableMotor = motor.motor;
		def.motorSpeed = motor.motorSpeed;
		def.maxMotorTorque = motor.maxTorque;
		def.enableLimit = motor.limit;
		def.lowerAngle = motor.lowerLimit;
		def.upperAngle = motor.upperLimit;
		def.collideConnected = collideConnected;
		record.joint = m_world->CreateJoint(&def);
		motor.writeTo(table);
		break;
	}
	case PRISMATIC:
	{
		const b2Vec2 axis(numberOr(description, "worldAxisX", 0.0f), numberOr(description, "worldAxisY", 0.0f));
		b2PrismaticJointDef def;
		def.Initialize(bodyA, bodyB, bodyA->GetWorldPoint(localA), axis);
		def.enableMotor = motor.motor;
		def.motorSpeed = motor.motorSpeed;
		def.maxMotorForce = motor.maxTorque;
		def.enableLimit = motor.limit;
		def.lowerTranslation = motor.lowerLimit;
		def.upperTranslation = motor.upperLimit;
		def.collideConnected = collideConnected;
		record.joint = m_world->CreateJoint(&def);
		motor.writeTo(table);
		table.setNumber("worldAxisX", axis.x);
		table.setNumber("worldAxisY", axis.y);
		break;
	}
	case WELD:
	{
		b2WeldJointDef def;
		def.Initialize(bodyA, bodyB, 0.5f * (bodyA->GetWorldPoint(localA) + bodyB->GetWorldPoint(localB)));
		def.collideConnected = collideConnected;
		record.joint = m_world->CreateJoint(&def);
		break;
	}
	default:
	{
		const float frequency = numberOr(description, "frequency", SPRING_FREQUENCY);
		const float dampingRatio = numberOr(description, "dampingRatio", SPRING_DAMPING_RATIO);
		b2DistanceJointDef def;
		def.bodyA = bodyA;
		def.bodyB = bodyB;
		def.collideConnected = collideConnected;
		def.localAnchorA.SetZero();
		def.localAnchorB.SetZero();
		def.length = 1.0f;
		if (coordType == 0)
		{
			def.length = b2Distance(bodyA->GetPosition(), bodyB->GetPosition());
		}
		else if (coordType == 1)
		{
			def.localAnchorA = localA - bodyA->GetPosition();
			def.localAnchorB = localB - bodyB->GetPosition();
			def.length = b2Distance(localA, localB);
		}
		else if (coordType == 2)
		{
			def.localAnchorA = localA;
			def.localAnchorB = localB;
			def.length = b2Distance(bodyA->GetWorldPoint(localA), bodyB->GetWorldPoint(localB));
		}
		const Spring spring(frequency, dampingRatio, def.length, bodyA, bodyB);
		def.stiffness = spring.stiffness;
		def.damping = spring.damping;
		def.minLength = spring.minLength;
		def.maxLength = spring.maxLength;
		record.joint = m_world->CreateJoint(&def);
		table.setNumber("frequency", frequency);
		table.setNumber("dampingRatio", dampingRatio);
		break;
	}
	}
	if (type == DISTANCE)
		table.setNumber("collideConnected", collideConnected ? 1.0f : 0.0f);
	else
		table.setBoolean("collideConnected", collideConnected);

	m_joints.add(record);
	if (!first->isProjectile && !second->isProjectile)
	{
		first->flag12 = true;
		second->flag12 = true;
	}
	jointsTable().setTable(name, table);
}

int GameLua::setJointParameters(lua::LuaState* lua)
{
	lua->checkType(-1, lua::LuaState::TABLE);
	const lua::LuaTable changes = lua->toTable(-1);
	const lang::String name = changes.getString("name");
	for (const jointData& record : m_joints)
	{
		if (record.name != name)
			continue;
		lua::LuaTable joints = jointsTable();
		lua::LuaTable table = joints.isTable(name) ? joints.getTable(name) : lua::LuaTable(state());
		applyJointParameters(record.joint, changes, table);
		break;
	}
	return 0;
}

void GameLua::destroyJointLua(const lang::String& name)
{
	if (deferWhileLocked([this, name] { destroyJointLua(name); }))
		return;
	for (lang::Array<jointData>* list : {&m_joints, &m_destroyLinks})
	{
		for (int i = 0; i < list->size(); ++i)
		{
			if ((*list)[i].name != name)
				continue;
			jointsTable().remove(name);
			if ((*list)[i].joint)
				m_world->DestroyJoint((*list)[i].joint);
			list->remove(i);
			return;
		}
	}
}

void GameLua::removeJointsFromObject(const lang::String& name)
{
	if (deferWhileLocked([this, name] { removeJointsFromObject(name); }))
		return;
	releaseDestroyLinks(name);
	dropJointsOf(name, true);
}

void GameLua::releaseDestroyLinks(const lang::String& name)
{
	lua::LuaTable joints = jointsTable();
	for (int i = m_destroyLinks.size() - 1; i >= 0; --i)
	{
		const jointData& link = m_destroyLinks[i];
		if (link.end1 != name && link.end2 != name)
			continue;
		if (RenderObjectData* survivor = findRecord(link.end1 == name ? link.end2 : link.end1))
		{
			survivor->jointDestroyPending = true;
			survivor->jointDestroyTimer = joints.isTable(link.name) ? numberOr(joints.getTable(link.name), "destroyTimer", DESTROY_TIMER) : DESTROY_TIMER;
		}
		joints.remove(link.name);
		m_destroyLinks.remove(i);
	}
}

void GameLua::dropJointsOf(const lang::String& name, bool destroyJoints)
{
	if (m_joints.isEmpty())
		return;
	lua::LuaTable joints = jointsTable();
	for (int i = m_joints.size() - 1; i >= 0; --i)
	{
		const jointData& record = m_joints[i];
		if (record.end1 != name && record.end2 != name)
			continue;
		if (destroyJoints)
			m_world->DestroyJoint(record.joint);
		joints.remove(record.name);
		m_joints.remove(i);
	}
}

bool GameLua::isJointEnd(const lang::String& name) const
{
	for (const jointData& record : m_joints)
		if (record.end1 == name || record.end2 == name)
			return true;
	return false;
}

void GameLua::checkJointLimits(const lang::String& name)
{
	for (const jointData& record : m_joints)
	{
		if (record.name != name)
			continue;
		b2Joint* joint = record.joint;
		if (joint->GetType() == e_revoluteJoint)
		{
			b2RevoluteJoint* hinge = static_cast<b2RevoluteJoint*>(joint);
			if (hinge->IsLimitEnabled() && hinge->IsMotorEnabled())
				hinge->SetMotorSpeed(reversedSpeed(hinge->GetMotorSpeed(), hinge->GetJointAngle(), hinge->GetLowerLimit(), hinge->GetUpperLimit()));
		}
		else if (joint->GetType() == e_prismaticJoint)
		{
			b2PrismaticJoint* slider = static_cast<b2PrismaticJoint*>(joint);
			if (slider->IsLimitEnabled() && slider->IsMotorEnabled())
				slider->SetMotorSpeed(reversedSpeed(slider->GetMotorSpeed(), slider->GetJointTranslation(), slider->GetLowerLimit(), slider->GetUpperLimit()));
		}
	}
}
