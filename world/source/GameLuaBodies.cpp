#include <world/GameLua.h>

#include <game/Resources.h>
#include <game/SpriteSheet.h>
#include <lang/Debug.h>
#include <lang/Float.h>
#include <lang/Math.h>
#include <lang/Truncate.h>
#include <lua/LuaState.h>
#include <world/RenderObjectData.h>
#include <algorithm>
#include <cmath>

namespace {

const float TWO_PI = 2.0f * lang::Math::PI;
// The most an impulse, a force over one step or a set velocity gives a body, in metres and
// radians a second: far above what the solver lets a body keep after a step (2 m and pi/2 a
// step, 60 m/s and 47 rad/s), far below where momenta and the solver's products overflow.
const double MAX_SPEED = 1.0e6;
const double MAX_ANGULAR_SPEED = 1.0e6;

// The share, 0 to 1, of an impulse (N s) at a world point (metres) that keeps the change it makes
// to the body's velocity within MAX_SPEED and to its turning within MAX_ANGULAR_SPEED; worked in
// double precision, where the unbounded change cannot overflow.
double boundedShare(const b2Body& body, const b2Vec2& impulse, const b2Vec2& point)
{
	const double mass = body.GetMass();
	const b2Vec2 centre = body.GetLocalCenter();
	// Box2D reports the inertia about the body's origin.
	const double inertia = body.GetInertia() - mass * (static_cast<double>(centre.x) * centre.x + static_cast<double>(centre.y) * centre.y);
	const double armX = static_cast<double>(point.x) - body.GetWorldCenter().x;
	const double armY = static_cast<double>(point.y) - body.GetWorldCenter().y;
	const double speed = mass > 0.0 ? std::hypot(static_cast<double>(impulse.x), static_cast<double>(impulse.y)) / mass : 0.0;
	const double turning = inertia > 0.0 ? std::fabs(armX * impulse.y - armY * impulse.x) / inertia : 0.0;
	double share = 1.0;
	if (speed > MAX_SPEED)
		share = MAX_SPEED / speed;
	if (turning * share > MAX_ANGULAR_SPEED)
		share = MAX_ANGULAR_SPEED / turning;
	return share;
}

void logBounded(const lang::String& name, const char* what)
{
	lang::Debug::printf("Object %s: its %s is more than the physics can hold and is bounded\n", name.c_str(), what);
}

} // namespace

void GameLua::changeBody(const lang::String& name, std::function<void(b2Body&)> change)
{
	if (RenderObjectData* record = recordOf(name))
		changePhysics([record, change] { change(*record->body); });
}

b2Transform GameLua::poseOf(const RenderObjectData& record) const
{
	return record.poseWaiting ? record.waitingPose : record.body->GetTransform();
}

void GameLua::pushOnBody(const lang::String& name, const b2Vec2& amount, const b2Vec2& point, bool isForce)
{
	if (!lang::Float::allFinite({amount.x, amount.y}))
		return;
	// Box2D's turning term multiplies the lever arm by the impulse in single precision.
	if (!isWithinExtent(point))
	{
		lang::Debug::printf("Object %s: a push at (%g, %g) is refused: the point is not finite or beyond the world's extent\n", name.c_str(), point.x, point.y);
		return;
	}
	// Checked against the body as the change meets it, also when it waits for a step to end.
	changeBody(name, [name, amount, point, isForce](b2Body& body) {
		if (body.GetType() != b2_dynamicBody)
			return;
		// A force acts over one step before the frame clears it.
		const double share = boundedShare(body, isForce ? PHYSICS_STEP * amount : amount, point);
		b2Vec2 bounded = amount;
		if (share < 1.0)
		{
			logBounded(name, isForce ? "force" : "impulse");
			bounded.Set(static_cast<float>(amount.x * share), static_cast<float>(amount.y * share));
		}
		if (isForce)
			body.ApplyForce(bounded, point, true);
		else
			body.ApplyLinearImpulse(bounded, point, true);
	});
}

void GameLua::applyImpulse(const lang::String& name, float ix, float iy, float px, float py)
{
	pushOnBody(name, b2Vec2(ix, iy), b2Vec2(px, py), false);
}

void GameLua::applyForce(const lang::String& name, float fx, float fy, float px, float py)
{
	pushOnBody(name, b2Vec2(fx, fy), b2Vec2(px, py), true);
}

void GameLua::setPosition(const lang::String& name, float x, float y)
{
	RenderObjectData* record = recordOf(name);
	if (!record || !isHoldablePlace(name, x, y) || !keepsJointsWithinExtent(*record, b2Transform(b2Vec2(x, y), poseOf(*record).q)))
		return;
	record->table.setNumber("x", x);
	record->table.setNumber("y", y);
	record->renderX = x;
	record->renderY = y;
	for (RenderObjectData::State& state : record->states)
	{
		state.x = x;
		state.y = y;
	}
	changePose(record, b2Transform(b2Vec2(x, y), poseOf(*record).q), [record, x, y] {
		record->body->SetTransform(b2Vec2(x, y), record->body->GetAngle());
	});
}

void GameLua::setRotation(const lang::String& name, float angle)
{
	RenderObjectData* record = recordOf(name);
	// A body turned to no finite angle would poison the physics world.
	if (!record || !std::isfinite(angle))
		return;
	float reduced = std::fmod(angle, TWO_PI);
	if (reduced < 0.0f)
		reduced += TWO_PI;
	if (!keepsJointsWithinExtent(*record, b2Transform(poseOf(*record).p, b2Rot(reduced))))
		return;
	record->table.setNumber("angle", reduced);
	record->renderAngle = reduced;
	for (RenderObjectData::State& state : record->states)
		state.angle = reduced;
	changePose(record, b2Transform(poseOf(*record).p, b2Rot(reduced)), [record, reduced] {
		record->body->SetTransform(record->body->GetPosition(), reduced);
	});
}

void GameLua::setVelocity(const lang::String& name, float vx, float vy)
{
	// Box2D ignores a static body and wakes the body for a non-zero velocity.
	if (!lang::Float::allFinite({vx, vy}))
		return;
	b2Vec2 velocity(vx, vy);
	const double speed = std::hypot(static_cast<double>(vx), static_cast<double>(vy));
	if (speed > MAX_SPEED)
	{
		logBounded(name, "velocity");
		velocity.Set(static_cast<float>(vx * (MAX_SPEED / speed)), static_cast<float>(vy * (MAX_SPEED / speed)));
	}
	changeBody(name, [velocity](b2Body& body) { body.SetLinearVelocity(velocity); });
}

void GameLua::setAngularVelocity(const lang::String& name, float w)
{
	if (!std::isfinite(w))
		return;
	if (std::fabs(w) > MAX_ANGULAR_SPEED)
	{
		logBounded(name, "angular velocity");
		w = std::copysign(static_cast<float>(MAX_ANGULAR_SPEED), w);
	}
	changeBody(name, [w](b2Body& body) { body.SetAngularVelocity(w); });
}

float GameLua::getAngularVelocity(const lang::String& name)
{
	// A body still to be made has not started turning.
	b2Body* body = getBody(name);
	return body ? body->GetAngularVelocity() : 0.0f;
}

void GameLua::setSleeping(const lang::String& name, bool sleeping)
{
	// Putting a body to sleep also zeroes its sleep time, velocities, force and torque.
	changeBody(name, [=](b2Body& body) { body.SetAwake(!sleeping); });
}

void GameLua::setSprite(const lang::String& name, const lang::String& sprite)
{
	if (RenderObjectData* record = recordOf(name))
		assignSprite(*record, sprite, false);
}

void GameLua::setMaterial(const lang::String& name, const lang::String& material)
{
	static const char* const MATERIALS[] = {"wood", "rock", "light", "propeller", "immovable"};
	RenderObjectData* record = recordOf(name);
	if (!record)
		return;
	for (int i = 0; i < 5; ++i)
		if (material == MATERIALS[i])
			record->material = i + 1;
}

void GameLua::setTexture(const lang::String& name, const lang::String& sheetName)
{
	RenderObjectData* record = recordOf(name);
	if (!record)
		return;
	game::SpriteSheet* sheet = m_resources->getSpriteSheet(sheetName);
	record->texture = sheet ? sheet->getImage() : nullptr;
}

void GameLua::setObjectParameter(const lang::String& name, float number, float value)
{
	RenderObjectData* record = recordOf(name);
	if (!record)
		return;
	const bool flag = lang::truncateTo<int>(value) == 1;
	switch (lang::truncateTo<int>(number))
	{
	case 1:
		record->damageOverTime = flag;
		if (flag)
		{
			record->damageStateFlag = 1;
			record->damageStateValues[1] = 0.0f;
			record->damageStateValues[2] = 0.0f;
			record->damageStateValues[3] = lang::Math::random() * 3.0f;
			record->damageStateValues[4] = 0.0f;
			record->hitThreshold = 0.0f;
			record->hitAmount = 0.0f;
			m_damageOverTime.put(name, record);
		}
		break;
	case 2:
	{
		// A joint held with one end fixed may be one the physics cannot hold with that end free.
		const bool isStatic = value == 0.0f;
		if (isStatic != record->staticBody && !keepsJointsHeld(*record, isStatic))
			break;
		record->staticBody = isStatic;
		changePhysics([record, isStatic] { takeBodyType(*record, isStatic); });
		break;
	}
	case 3: record->param3 = value; break;
	case 4: record->param4 = value; break;
	case 5: std::fill(std::begin(record->scale), std::end(record->scale), value); break;
	case 6: record->param6 = value; break;
	case 7: record->param7 = value; break;
	case 8: record->flag8 = flag; break;
	case 9: record->flag9 = flag; break;
	case 10: record->flag10 = flag; break;
	case 11: record->flag11 = flag; break;
	case 12: record->flag12 = flag; break;
	case 13: record->flag13 = flag; break;
	case 14: record->flag14 = flag; break;
	default: break;
	}
}

void GameLua::takeBodyType(RenderObjectData& record, bool isStatic)
{
	b2Body& body = *record.body;
	body.SetType(isStatic ? b2_staticBody : b2_dynamicBody);
	// Box2D leaves a dynamic body of density 0 without mass, taking no gravity and no contact.
	if (!isStatic && body.GetMass() == 0.0f)
	{
		const b2MassData mass{record.dynamicMass, record.massCentre, 0.0f};
		body.SetMassData(&mass);
	}
}

void GameLua::setCollisionEnabled(const lang::String& name, bool enabled)
{
	changeBody(name, [enabled](b2Body& body) {
		// Disabling and enabling the body ends its contacts, so the filter decides anew.
		body.SetEnabled(false);
		body.SetEnabled(true);
		for (b2Fixture* fixture = body.GetFixtureList(); fixture; fixture = fixture->GetNext())
			reinterpret_cast<FixtureUserData*>(fixture->GetUserData().pointer)->collisionEnabled = enabled;
	});
}

float GameLua::getAngle(const lang::String& name)
{
	RenderObjectData* record = recordOf(name);
	return record ? record->renderAngle : 0.0f;
}

int GameLua::transformPoint(lua::LuaState* lua, bool toWorld)
{
	const lang::String name(lua->toString(-3));
	const b2Vec2 point(lua->toNumber(-2), lua->toNumber(-1));
	const RenderObjectData* record = recordOf(name);
	if (!record)
		return 0;
	const b2Transform pose = poseOf(*record);
	const b2Vec2 result = toWorld ? b2Mul(pose, point) : b2MulT(pose, point);
	lua->pushNumber(result.x);
	lua->pushNumber(result.y);
	return 2;
}

int GameLua::getWorldPoint(lua::LuaState* lua)
{
	return transformPoint(lua, true);
}

int GameLua::getLocalPoint(lua::LuaState* lua)
{
	return transformPoint(lua, false);
}
