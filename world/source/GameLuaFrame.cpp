#include <world/GameLua.h>

#include <audio/AudioOutput.h>
#include <framework/App.h>
#include <game/Resources.h>
#include <gr/Context.h>
#include <lang/Debug.h>
#include <lang/Math.h>
#include <world/GameApp.h>
#include <world/Particles.h>
#include <world/RenderObjectData.h>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The backlog above which states are not stored (seconds): the float nearest to 1/15.
const float TWO_STEPS = 1.0f / 15.0f;
// Turns the carried-over time into the blend factor: the largest float below 30 (1/s).
const float INTERPOLATION_FACTOR = 29.999998f;
const int VELOCITY_ITERATIONS = 10;
const int POSITION_ITERATIONS = 10;
const float PI = lang::Math::PI;
const float TWO_PI = 2.0f * lang::Math::PI;
const float DEGREES_PER_RADIAN = 57.29578f;
// Strength lost per second for each hazard an object touches.
const float HAZARD_DAMAGE_RATE = 50.0f;
// A dynamic object below this line (metres; y grows downward) is frozen.
const float FROZEN_DEPTH = 20.0f;
// Squared speed (m^2/s^2) and angular speed (rad/s) above which an object counts as moving.
const float MOVING_SPEED_SQUARED = 9.0f;
const float MOVING_ANGULAR_SPEED = 0.1f;
// Horizontal speed (m/s) above which a moving target faces its direction.
const float FACING_SPEED = 3.0f;
// Rolling volume per metre, kilogram and radian per second, at most 1.
const float ROLLING_VOLUME_FACTOR = 0.0025f;
const int ROLLING_SOUND_TRACK = 2;
const char* const ROLLING_SOUNDS[3] = {"wood_rolling", "rock_rolling", "light_rolling"};
// A toppled target rights itself within this many seconds at this angular speed (rad/s).
const float GET_UP_TIME = 3.0f;
const float GET_UP_ANGULAR_SPEED = 2.0f;
const float GET_UP_MAX_SPEED_SQUARED = 4.0f;
// Angles (radians) within which a target counts as upright.
const float UPRIGHT_LOW = 0.1f;
const float UPRIGHT_HIGH = 6.183f;
const float WOBBLE_MAX = 4.0f;
const float WOBBLE_MAX_RATE = 400.0f;
const float WOBBLE_RATE_FACTOR = 100.0f;
const float WOBBLE_END = 0.01f;
const float WOBBLE_SPEED_FACTOR = 5.0f;

float normalizedAngle(const b2Body* body)
{
	float angle = std::fmod(body->GetAngle(), TWO_PI);
	return angle < 0.0f ? angle + TWO_PI : angle;
}

void stopGettingUp(GameLua::RenderObjectData& record)
{
	record.gettingUp = false;
	record.getUpTimer = 0.0f;
	if (record.body->GetType() != b2_staticBody)
		record.body->SetAngularVelocity(0.0f);
}

void advanceWobble(GameLua::RenderObjectData& record, int visit, int projectileCount, float dt)
{
	record.wobbleTime += dt;
	record.wobbleValue = (1.0f - record.wobbleTime) * record.wobbleAmplitude * record.wobbleFactor;
	float rate;
	if (record.wobbleValue > WOBBLE_MAX)
	{
		record.wobbleValue = WOBBLE_MAX;
		rate = WOBBLE_MAX_RATE;
	}
	else if (record.wobbleValue > WOBBLE_END)
	{
		rate = record.wobbleValue * WOBBLE_RATE_FACTOR;
	}
	else
	{
		record.wobbling = false;
		record.wobbleValue = 0.0f;
		record.wobbleAmplitude = 0.0f;
		record.wobbleTime = 0.0f;
		return;
	}
	const float phase = (PI / 2.0f) * static_cast<float>(visit / std::max(projectileCount, 1)) + (rate + WOBBLE_SPEED_FACTOR * record.wobbleSpeedOffset) * record.wobbleTime;
	record.scale[0] = record.scale[2] + record.wobbleValue * std::sin(phase);
	record.scale[1] = record.scale[3] + record.wobbleValue * std::sin(phase + PI);
}

bool isAnimated(const GameLua::RenderObjectData& record)
{
	return record.gettingUp || record.flag13 || (record.damageOverTime && record.flag14);
}

// Whether advancing or publishing may change a record whose body is asleep and which touches no
// hazard.
bool hasFrameWork(const GameLua::RenderObjectData& record)
{
	return record.wasAwake || record.wobbling || record.jointDestroyPending || isAnimated(record);
}

void interpolate(GameLua::RenderObjectData& record, int slot, float alpha)
{
	const GameLua::RenderObjectData::State& current = record.states[slot];
	const GameLua::RenderObjectData::State& previous = record.states[slot ^ 1];
	record.renderX = (1.0f - alpha) * previous.x + alpha * current.x;
	record.renderY = (1.0f - alpha) * previous.y + alpha * current.y;
	float wrap = 0.0f;
	// Blend across the +-pi seam the short way round.
	if (std::fabs(current.angle - previous.angle) >= PI)
		wrap = current.angle > previous.angle ? TWO_PI : -TWO_PI;
	record.renderAngle = (1.0f - alpha) * (previous.angle + wrap) + alpha * current.angle;
}

} // namespace

GameLua::FrameKeys::FrameKeys(lua::LuaState* lua) :
	x(lua, "x"),
	y(lua, "y"),
	frozen(lua, "frozen"),
	xVel(lua, "xVel"),
	yVel(lua, "yVel"),
	angle(lua, "angle"),
	hasMovingObjects(lua, "hasMovingObjects"),
	hasAwakeObjects(lua, "hasAwakeObjects"),
	hasMovingObjectsZeroTolerance(lua, "hasMovingObjectsZeroTolerance"),
	screenWidth(lua, "screenWidth"),
	screenHeight(lua, "screenHeight"),
	touchcount(lua, "touchcount")
{
}

void GameLua::update(float dt)
{
	GameApp* app = gameApp();
	if (app)
		keepAudioAlive(*app);
	setNumber(m_frameKeys.screenWidth, static_cast<float>(m_context->width()));
	setNumber(m_frameKeys.screenHeight, static_cast<float>(m_context->height()));
	if (app && app->worldScale() != app->previousScale())
	{
		const double level = isNumber("zoomLevel") ? getNumber("zoomLevel") : 0.0;
		setNumber("zoomLevel", static_cast<float>(level + (static_cast<double>(app->worldScale()) - app->previousScale()) * 0.5));
	}
	publishTouches();
	float volumes[3] = {0.0f, 0.0f, 0.0f};
	bool published = false;
	if (m_physicsEnabled)
	{
		const bool stepped = stepPhysics(dt);
		FrameCosts::Timer timer(m_frameCosts, &FrameCosts::publishing);
		// Advancing calls a script only for a record that touches a hazard; without one (and with
		// physics still on after the steps' scripts) it is folded into the publishing walk.
		if (!m_hazardTouched && m_physicsEnabled)
		{
			publishStates(dt, volumes, stepped ? Advancing::BUSY_RECORDS : Advancing::ALL);
			updateJointAnchors();
			published = true;
		}
		else
		{
			advanceRecords(dt);
		}
	}
	// A script called above may have switched physics off; then every rolling sound stops.
	if (!published && m_physicsEnabled)
	{
		FrameCosts::Timer timer(m_frameCosts, &FrameCosts::publishing);
		publishStates(dt, volumes, Advancing::NONE);
		updateJointAnchors();
	}
	updateRollingSounds(volumes);
	callScript("update", dt, dt);
	if (m_physicsEnabled)
		m_particles->update(dt, true, m_context);
}

void GameLua::publishTouches()
{
	lua::LuaTable touches(state());
	for (const framework::TouchEvent& touch : m_app->touches())
	{
		char key[16];
		std::snprintf(key, sizeof(key), "%d", touch.id);
		lua::LuaTable point(state());
		point.setNumber("x", static_cast<float>(touch.x));
		point.setNumber("y", static_cast<float>(touch.y));
		touches.setTable(key, point);
	}
	setTable("touches", touches);
	setNumber(m_frameKeys.touchcount, static_cast<float>(m_app->touches().size()));
}

bool GameLua::stepPhysics(float dt)
{
	bool stepped = false;
	m_accumulator += dt;
	while (m_accumulator >= PHYSICS_STEP)
	{
		stepped = true;
		// Nonzero when a record touches a hazard after this step.
		int hazardContacts = 0;
		{
			FrameCosts::Timer timer(m_frameCosts, &FrameCosts::step);
			m_world->Step(PHYSICS_STEP, VELOCITY_ITERATIONS, POSITION_ITERATIONS);
		}
		// Unknown until the walk below has counted the touches the step started.
		m_hazardTouched = true;
		m_accumulator -= PHYSICS_STEP;
		m_world->SetWarmStarting(true);
		runWaitingChanges();
		rethrowContactFailure();
		callScript("removeBlocks");
		FrameCosts::Timer timer(m_frameCosts, &FrameCosts::publishing);
		// A backlog is worked off without storing the states of its early steps.
		const bool storeStates = m_accumulator <= TWO_STEPS;
		const int lastSlot = m_stateSlot;
		if (storeStates)
			m_stateSlot ^= 1;
		m_busyRecords.clear();
		// No script runs in this walk, so the list stays as it is.
		const std::vector<RenderObjectData*>& list = recordsInTableOrder();
		RenderObjectData* const* records = list.data();
		const int count = static_cast<int>(list.size());
		for (int i = 0; i < count; ++i)
		{
			RenderObjectData* record = records[i];
			b2Body* body = record->body;
			hazardContacts |= record->hazardContacts;
			if (record->hasPendingVelocity && body->GetType() != b2_staticBody)
				body->SetLinearVelocity(record->pendingVelocity);
			record->hasPendingVelocity = false;
			const bool awake = body->IsAwake();
			if (awake || hasFrameWork(*record))
				m_busyRecords.push_back(i);
			// Only the bodies awake after the step can have been moved by it, and the static ones
			// that touch them, which the solver moves by their zero inverse mass: by no number
			// times zero. A sleeping body is checked after the step that wakes it. So every state
			// stored lies within the world's extent, as every place a call gives a body does.
			if ((awake || body->GetType() == b2_staticBody) && !isHeldInTheWorld(*body))
				putBackAtRest(*record, lastSlot);
			if (!storeStates || !awake)
				continue;
			const b2Transform& transform = body->GetTransform();
			record->states[m_stateSlot] = {transform.p.x, transform.p.y, std::atan2(transform.q.s, transform.q.c)};
			if (record->isProjectile && body->GetMass() != 0.0f)
				body->SetBullet(true);
		}
		m_hazardTouched = hazardContacts != 0;
	}
	m_world->ClearForces();
	return stepped;
}

bool GameLua::isHeldInTheWorld(const b2Body& body)
{
	return isWithinExtent(body.GetPosition()) && hasFiniteMotion(body);
}

bool GameLua::hasFiniteMotion(const b2Body& body)
{
	const b2Vec2& place = body.GetPosition();
	const b2Vec2& velocity = body.GetLinearVelocity();
	return std::isfinite(place.x) && std::isfinite(place.y) && std::isfinite(body.GetAngle())
		&& std::isfinite(velocity.x) && std::isfinite(velocity.y) && std::isfinite(body.GetAngularVelocity());
}

void GameLua::putBackAtRest(RenderObjectData& record, int slot)
{
	const RenderObjectData::State& last = record.states[slot];
	b2Body* body = record.body;
	const bool turnedToNoNumber = !hasFiniteMotion(*body);
	const char* const what = turnedToNoNumber ? "turned to no number" : "went beyond the world's extent";
	body->SetTransform(b2Vec2(last.x, last.y), last.angle);
	if (body->GetType() == b2_staticBody)
	{
		// Box2D sets no velocity on a static body, yet its solver leaves one on a static body that
		// a joint or contact ties to a body of no number, and hands it on at every later step.
		// Only a change of type sets a static body's velocities to rest; it also ends its contacts,
		// which the next step begins afresh.
		body->SetType(b2_kinematicBody);
		body->SetType(b2_staticBody);
	}
	else
	{
		body->SetLinearVelocity(b2Vec2_zero);
		body->SetAngularVelocity(0.0f);
	}
	// Its contacts and joints keep impulses of no number, which warm starting would hand on to
	// every body they touch; one step without it sets them all afresh.
	m_world->SetWarmStarting(false);
	if (turnedToNoNumber)
		++m_noNumberCatches;
	if (!record.putBackByTheNet)
		lang::Debug::printf("Object %s %s in a physics step: put back at rest at (%g, %g)\n", record.name.c_str(), what, last.x, last.y);
	record.putBackByTheNet = true;
}

void GameLua::snapshotRecords()
{
	m_frameRecords = recordsInTableOrder();
	m_frameRecordsVersion = m_objectsVersion;
	m_frameWalkChanged = false;
}

GameLua::RenderObjectData* GameLua::liveRecord(int index)
{
	RenderObjectData* record = m_frameRecords[index];
	if (m_frameRecordsVersion == m_objectsVersion && !m_frameWalkChanged)
		return record;
	return checkedRecord(record);
}

GameLua::RenderObjectData* GameLua::checkedRecord(RenderObjectData* record)
{
	if (m_frameRecordsVersion != m_objectsVersion)
	{
		// A script callback added or removed objects: from now on only snapshot entries that are
		// still records of the object table are visited.
		m_liveRecords = recordsInTableOrder();
		std::sort(m_liveRecords.begin(), m_liveRecords.end());
		m_frameRecordsVersion = m_objectsVersion;
		m_frameWalkChanged = true;
	}
	return std::binary_search(m_liveRecords.begin(), m_liveRecords.end(), record) ? record : nullptr;
}

void GameLua::advanceRecords(float dt)
{
	const float alpha = m_accumulator * INTERPOLATION_FACTOR;
	snapshotRecords();
	for (int i = 0; i < static_cast<int>(m_frameRecords.size()); ++i)
	{
		RenderObjectData* record = liveRecord(i);
		if (record && record->hazardContacts != 0)
		{
			if (record->table.isNumber("strength"))
				record->table.setNumber("strength", record->table.getNumber("strength") - static_cast<float>(record->hazardContacts) * HAZARD_DAMAGE_RATE * dt);
			callScript("blockCollision", record->name, "", 0.0f, true, true);
			record = liveRecord(i);
		}
		if (record)
			advanceRecord(*record, alpha, dt);
	}
}

void GameLua::advanceRecord(RenderObjectData& record, float alpha, float dt)
{
	if (record.body->IsAwake())
		interpolate(record, m_stateSlot, alpha);
	if (record.jointDestroyPending)
	{
		record.jointDestroyTimer -= dt;
		if (record.jointDestroyTimer <= 0.0f)
			record.table.setNumber("strength", 0.0f);
	}
}

void GameLua::publishStates(float dt, float volumes[3], Advancing advancing)
{
	bool hasMoving = false;
	bool hasAwake = false;
	bool zeroTolerance = false;
	int visit = 0;
	snapshotRecords();
	const int count = static_cast<int>(m_frameRecords.size());
	const float alpha = m_accumulator * INTERPOLATION_FACTOR;
	// The snapshot entries below this one are advanced or need no advancing. No script is called
	// before all are advanced, so until then every entry is live, and an entry the busy walk
	// passes over is left as it is by advancing and publishing alike.
	int advanced = advancing == Advancing::NONE ? count : 0;
	bool busyOnly = advancing == Advancing::BUSY_RECORDS;
	size_t busyIndex = 0;
	for (int i = 0; i < count; ++i)
	{
		if (busyOnly)
		{
			if (busyIndex == m_busyRecords.size())
				break;
			i = m_busyRecords[busyIndex++];
			visit = i;
		}
		RenderObjectData* record = liveRecord(i);
		if (!record)
			continue;
		if (i >= advanced)
		{
			advanceRecord(*record, alpha, dt);
			advanced = i + 1;
		}
		++visit;
		b2Body* body = record->body;
		const bool awake = body->IsAwake();
		const bool animated = isAnimated(*record);
		// Asleep now and at the previous frame, neither animated nor wobbling: nothing to do, and
		// the body's velocities are not read.
		if (!awake && !record->wasAwake && !animated && !record->wobbling)
			continue;
		// A sleeping body has no velocity.
		const b2Vec2 velocity = awake ? body->GetLinearVelocity() : b2Vec2_zero;
		const float angularSpeed = awake ? std::fabs(body->GetAngularVelocity()) : 0.0f;
		const float speedSquared = velocity.x * velocity.x + velocity.y * velocity.y;
		if (awake || record->wasAwake)
		{
			lua::LuaTable& table = record->table;
			table.setNumber(m_frameKeys.x, record->renderX);
			table.setNumber(m_frameKeys.y, record->renderY);
			const float mass = body->GetMass();
			if (mass > 0.0f && (record->renderY > FROZEN_DEPTH || record->renderX < static_cast<float>(m_levelLimitLeft) || record->renderX > static_cast<float>(m_levelLimitRight)))
				table.setBoolean(m_frameKeys.frozen, true);
			if (speedSquared > 0.0f && !record->isProjectile && !record->flag12)
				zeroTolerance = true;
			if (speedSquared > MOVING_SPEED_SQUARED || angularSpeed > MOVING_ANGULAR_SPEED)
			{
				hasMoving = hasMoving || !record->flag12;
				if (record->damageOverTime && record->flag9 && std::fabs(velocity.x) > FACING_SPEED)
					record->flag8 = velocity.x > 0.0f;
			}
			if (record->isProjectile || record->material == 4)
			{
				table.setNumber(m_frameKeys.xVel, velocity.x);
				table.setNumber(m_frameKeys.yVel, velocity.y);
				table.setNumber(m_frameKeys.angle, record->renderAngle);
			}
			if (record->rolls && record->material >= 1 && record->material <= 3)
			{
				const float volume = std::min(record->radius * mass * ROLLING_VOLUME_FACTOR * angularSpeed, 1.0f);
				volumes[record->material - 1] = std::max(volumes[record->material - 1], volume);
			}
			hasAwake = true;
		}
		if (animated)
		{
			// The animation calls scripts, which find every record advanced, as without the folding.
			for (; advanced < count; ++advanced)
				advanceRecord(*m_frameRecords[advanced], alpha, dt);
			// The script may wake or change any record: the rest of the walk visits them all.
			busyOnly = false;
			record = advanceAnimation(i, speedSquared, velocity, dt);
			if (!record)
				continue;
			record->wasAwake = record->body->IsAwake();
		}
		else
		{
			record->wasAwake = awake;
		}
		if (record->wobbling)
			advanceWobble(*record, visit, m_projectiles.size(), dt);
	}
	setBoolean(m_frameKeys.hasMovingObjects, hasMoving);
	setBoolean(m_frameKeys.hasAwakeObjects, hasAwake);
	setBoolean(m_frameKeys.hasMovingObjectsZeroTolerance, zeroTolerance);
}

GameLua::RenderObjectData* GameLua::advanceAnimation(int index, float speedSquared, const b2Vec2& velocity, float dt)
{
	RenderObjectData* record = m_frameRecords[index];
	b2Body* body = record->body;
	const float angularSpeed = std::fabs(body->GetAngularVelocity());
	if (record->damageOverTime && record->flag14 && !record->gettingUp && record->getUpTimer <= 0.0f
		&& speedSquared < GET_UP_MAX_SPEED_SQUARED && angularSpeed < MOVING_ANGULAR_SPEED && !isJointEnd(record->name))
	{
		const float angle = normalizedAngle(body);
		if (angle > PI / 4.0f && angle < 7.0f * PI / 4.0f)
		{
			record->gettingUp = true;
			record->getUpTimer = GET_UP_TIME;
			callScript("setAnimationByName", record->name, "getting_up");
			record = liveRecord(index);
			if (!record)
				return nullptr;
			body = record->body;
		}
	}
	if (record->gettingUp)
	{
		record->getUpTimer -= dt;
		const float angle = normalizedAngle(body);
		const float spin = std::fabs(body->GetAngularVelocity());
		if (record->getUpTimer > 0.0f)
		{
			if (angle < UPRIGHT_LOW || angle > UPRIGHT_HIGH)
			{
				stopGettingUp(*record);
			}
			else if (spin < GET_UP_ANGULAR_SPEED)
			{
				body->SetAwake(true);
				body->SetAngularVelocity(angle <= PI ? -GET_UP_ANGULAR_SPEED : GET_UP_ANGULAR_SPEED);
			}
		}
		else if (spin > MOVING_ANGULAR_SPEED)
		{
			stopGettingUp(*record);
		}
	}
	if (record->flag13 && !record->gettingUp)
	{
		const float direction = std::atan2(velocity.y, velocity.x) * DEGREES_PER_RADIAN;
		callScript("selectObjectAnimation", record->name, std::sqrt(speedSquared), direction, dt);
		record = liveRecord(index);
	}
	return record;
}

void GameLua::keepAudioAlive(const GameApp& app)
{
	if (!app.isAudioActive() || !isTable("settings") || !m_resources->getAudioOutput())
		return;
	const lua::LuaTable settings = getTable("settings");
	if (settings.isBoolean("audioEnabled") && settings.getBoolean("audioEnabled"))
		m_resources->startAudioOutput();
}

void GameLua::updateJointAnchors()
{
	if (m_joints.empty())
		return;
	lua::LuaTable joints = jointsTable();
	for (const JointRecord& record : m_joints)
	{
		const b2Joint* joint = record->joint;
		if (joint->GetType() == e_prismaticJoint || !joints.isTable(record->description.name))
			continue;
		lua::LuaTable entry = joints.getTable(record->description.name);
		const b2Vec2 anchorA = joint->GetAnchorA();
		const b2Vec2 anchorB = joint->GetAnchorB();
		entry.setNumber("x1", anchorA.x);
		entry.setNumber("y1", anchorA.y);
		entry.setNumber("x2", anchorB.x);
		entry.setNumber("y2", anchorB.y);
	}
}

void GameLua::updateRollingSounds(const float volumes[3])
{
	// Without an audio output there is nothing to play or stop.
	audio::AudioOutput* output = m_resources->getAudioOutput();
	if (!output)
		return;
	for (int i = 0; i < 3; ++i)
	{
		if (volumes[i] <= 0.0f)
			m_resources->stopAudio(ROLLING_SOUNDS[i]);
		else if (m_resources->isAudioPlaying(ROLLING_SOUNDS[i]))
			output->setClipVolume(m_rollingClips[i], volumes[i]);
		else
			m_rollingClips[i] = m_resources->playAudio(ROLLING_SOUNDS[i], volumes[i], true, ROLLING_SOUND_TRACK);
	}
}
