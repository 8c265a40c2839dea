#include <world/GameLua.h>

#include <game/CompoSprite.h>
#include <game/Resources.h>
#include <game/SpriteSheet.h>
#include <lang/Debug.h>
#include <lang/Math.h>
#include <lua/LuaState.h>
#include <world/RenderObjectData.h>
#include <algorithm>
#include <cmath>

namespace {

// A box of this density is static yet keeps the density on its fixture (kg/m^2).
const float STATIC_BOX_DENSITY = 100.0f;
// Angular damping of every body, and of projectile circles and polygons (1/s).
const float ANGULAR_DAMPING = 1.0f;
const float PROJECTILE_ANGULAR_DAMPING = 2.0f;
const float TWO_PI = 2.0f * lang::Math::PI;
// Box2D welds polygon points closer than half the linear slop (metres).
const float WELD_DISTANCE = 0.5f * b2_linearSlop;

float cross(const b2Vec2& o, const b2Vec2& a, const b2Vec2& b)
{
	return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Whether Box2D can build a polygon of these points: 3 to 8 points whose welded convex hull has
// at least three corners and an area (otherwise Box2D asserts).
bool isProperHull(const lang::Array<b2Vec2>& vertices)
{
	if (vertices.size() < 3 || vertices.size() > b2_maxPolygonVertices)
		return false;
	std::vector<b2Vec2> points;
	for (const b2Vec2& v : vertices)
	{
		const bool welded = std::any_of(points.begin(), points.end(),
			[&v](const b2Vec2& p) { return b2DistanceSquared(p, v) < WELD_DISTANCE * WELD_DISTANCE; });
		if (!welded)
			points.push_back(v);
	}
	if (points.size() < 3)
		return false;
	std::sort(points.begin(), points.end(), [](const b2Vec2& a, const b2Vec2& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
	std::vector<b2Vec2> hull(2 * points.size());
	size_t k = 0;
	for (size_t i = 0; i < points.size(); ++i)
	{
		while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0f)
			--k;
		hull[k++] = points[i];
	}
	for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;)
	{
		while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0f)
			--k;
		hull[k++] = points[i];
	}
	const size_t corners = k - 1;
	float area = 0.0f;
	for (size_t i = 1; i + 1 < corners; ++i)
		area += 0.5f * cross(hull[0], hull[i], hull[i + 1]);
	return corners >= 3 && area > b2_epsilon;
}

// Logs the refusal of a polygon Box2D cannot build.
bool isProperPolygon(const lang::String& name, const lang::Array<b2Vec2>& vertices)
{
	if (isProperHull(vertices))
		return true;
	lang::Debug::printf("Polygon %s refused: %d points, 3 to 8 spanning an area are needed\n", name.c_str(), vertices.size());
	return false;
}

// Logs the refusal of an object placed at an infinity or at no number, which Box2D cannot hold.
bool isFinitePlace(const lang::String& name, float x, float y)
{
	if (std::isfinite(x) && std::isfinite(y))
		return true;
	lang::Debug::printf("Object %s refused: its place (%g, %g) is not finite\n", name.c_str(), x, y);
	return false;
}

} // namespace

GameLua::RenderObjectData::RenderObjectData(const lang::String& objectName, const lua::LuaTable& scriptTable, b2Body* objectBody, float x, float y, float z) :
	name(objectName), table(scriptTable), body(objectBody), sprite(nullptr), compoSprite(nullptr), texture(nullptr),
	states{{x, y, 0.0f}, {x, y, 0.0f}}, radius(-1.0f), width(0.0f), height(0.0f), renderX(x), renderY(y), renderAngle(0.0f),
	scale{1.0f, 1.0f, 1.0f, 1.0f}, isCompoSprite(false), flag8(false), flag9(false), flag10(false), flag11(false), flag12(false),
	flag14(false), gettingUp(false), getUpTimer(0.0f), isProjectile(false), rolls(false), damageOverTime(false), flag13(false),
	material(0), hasPendingVelocity(false), pendingVelocity(0.0f, 0.0f), zOrder(z), wasAwake(true), hazardContacts(0),
	jointDestroyPending(false), jointDestroyTimer(0.0f), hazardTouches(0), hitMarked(false), hitThreshold(0.0f), hitAmount(0.0f),
	param7(0.0f), param6(0.0f), param4(0.0f), param3(0.0f), damageStateFlag(0), damageStateValues{},
	wobbling(false), wobbleTime(0.0f), wobbleValue(0.0f), wobbleAmplitude(0.0f), wobbleSpeedOffset(0.0f), wobbleFactor(0.0f)
{
}

GameLua::RenderObjectData* GameLua::findRecord(const lang::String& name) const
{
	RenderObjectData* const* record = m_objects.find(name);
	return record ? *record : nullptr;
}

GameLua::RenderObjectData* GameLua::recordOf(const lang::String& name) const
{
	RenderObjectData* record = findRecord(name);
	if (!record)
		lang::Debug::printf("Body name : %s", name.c_str());
	return record;
}

b2Body* GameLua::getBody(const lang::String& name)
{
	RenderObjectData* record = recordOf(name);
	return record ? record->body : nullptr;
}

lang::String GameLua::getBodyName(const b2Body* body) const
{
	for (const auto& pair : m_objects)
		if (pair.value->body == body)
			return pair.key;
	return lang::String("");
}

const std::vector<GameLua::RenderObjectData*>& GameLua::recordsInTableOrder()
{
	if (m_recordListVersion != m_objectsVersion)
	{
		m_recordList.clear();
		for (const auto& pair : m_objects)
			m_recordList.push_back(pair.value);
		m_recordListVersion = m_objectsVersion;
	}
	return m_recordList;
}

lua::LuaTable GameLua::worldTable()
{
	if (!m_objectsTable.isTable("world"))
		m_objectsTable.setTable("world", lua::LuaTable(state()));
	return m_objectsTable.getTable("world");
}

bool GameLua::deferWhileLocked(std::function<void()> change)
{
	if (!m_world->IsLocked())
		return false;
	m_deferredChanges.push_back(std::move(change));
	return true;
}

void GameLua::runDeferredChanges()
{
	std::vector<std::function<void()>> changes;
	changes.swap(m_deferredChanges);
	for (const auto& change : changes)
		change();
}

b2Body* GameLua::createBody(bool isStatic, float x, float y, const b2Shape& shape, float density, float friction, float restitution, FixtureUserData* userData)
{
	b2BodyDef bodyDef;
	bodyDef.type = isStatic ? b2_staticBody : b2_dynamicBody;
	bodyDef.position.Set(x, y);
	bodyDef.angularDamping = ANGULAR_DAMPING;
	b2Body* body = m_world->CreateBody(&bodyDef);

	b2FixtureDef fixtureDef;
	fixtureDef.shape = &shape;
	fixtureDef.density = density;
	fixtureDef.friction = friction;
	fixtureDef.restitution = restitution;
	fixtureDef.userData.pointer = reinterpret_cast<uintptr_t>(userData);
	body->CreateFixture(&fixtureDef);
	return body;
}

b2Body* GameLua::createBox(const lang::String& name, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled)
{
	b2PolygonShape shape;
	shape.SetAsBox(width * 0.5f, height * 0.5f);
	const bool isStatic = density == 0.0f || density == STATIC_BOX_DENSITY;
	return createBody(isStatic, x, y, shape, density, friction, restitution, new FixtureUserData{name, collisionEnabled, 0, false});
}

b2Body* GameLua::createCircle(const lang::String& name, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool triggersSensors)
{
	b2CircleShape shape;
	shape.m_radius = radius;
	return createBody(density == 0.0f, x, y, shape, density, friction, restitution, new FixtureUserData{name, collisionEnabled, 0, triggersSensors});
}

b2Body* GameLua::createPolygon(const lang::String& name, float x, float y, float density, float friction, float restitution, bool collisionEnabled)
{
	if (!isProperPolygon(name, m_vertices))
		return nullptr;
	b2PolygonShape shape;
	shape.Set(m_vertices.data(), m_vertices.size());
	return createBody(density == 0.0f, x, y, shape, density, friction, restitution, new FixtureUserData{name, collisionEnabled, 0, false});
}

void GameLua::putRecord(const lang::String& name, RenderObjectData* record)
{
	m_objects.put(name, record);
	++m_objectsVersion;
}

void GameLua::removeReusedName(const lang::String& name)
{
	if (!findRecord(name))
		return;
	lang::Debug::printf("Object %s already exists: the old one is removed\n", name.c_str());
	removeObject(name);
}

GameLua::RenderObjectData* GameLua::addObject(const lang::String& name, const lang::String& sprite, const char* type, b2Body* body, float x, float y, float density, float friction, float restitution, float zOrder)
{
	lua::LuaTable table(state());
	table.setString("name", name);
	table.setString("sprite", sprite);
	table.setString("type", type);
	table.setNumber("x", x);
	table.setNumber("y", y);
	table.setNumber("angle", 0.0f);
	table.setNumber("density", density);
	table.setNumber("friction", friction);
	table.setNumber("restitution", restitution);
	table.setNumber("mass", body->GetMass());
	table.setNumber("xVel", 0.0f);
	table.setNumber("yVel", 0.0f);
	table.setNumber("z_order", zOrder);
	table.setNumber("animTimer", 0.0f);
	table.setNumber("animFrame", 1.0f);
	table.setNumber("animThresholdTimer", 0.0f);
	worldTable().setTable(name, table);
	return new RenderObjectData(name, table, body, x, y, zOrder);
}

void GameLua::enterObject(RenderObjectData* record, const lang::String& sprite, bool fromSheet, bool isProjectile)
{
	assignSprite(*record, sprite, fromSheet);
	putRecord(record->name, record);
	record->isProjectile = isProjectile;
	if (record->name != "ground")
		m_zOrder[static_cast<int>(record->zOrder)].add(record->name);
}

void GameLua::setSize(RenderObjectData& record, float width, float height)
{
	record.table.setNumber("width", width);
	record.table.setNumber("height", height);
	record.width = width;
	record.height = height;
}

void GameLua::createBoxLua(const lang::String& name, const lang::String& sprite, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder)
{
	if (deferWhileLocked([=] { createBoxLua(name, sprite, x, y, width, height, density, friction, restitution, collisionEnabled, isProjectile, zOrder); }))
		return;
	if (!isFinitePlace(name, x, y))
		return;
	removeReusedName(name);
	b2Body* body = createBox(name, x, y, width, height, density, friction, restitution, collisionEnabled);
	RenderObjectData* record = addObject(name, sprite, "box", body, x, y, density, friction, restitution, zOrder);
	setSize(*record, width, height);
	enterObject(record, sprite, false, isProjectile);
}

void GameLua::createCircleLua(const lang::String& name, const lang::String& sprite, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder)
{
	if (deferWhileLocked([=] { createCircleLua(name, sprite, x, y, radius, density, friction, restitution, collisionEnabled, isProjectile, zOrder); }))
		return;
	if (!isFinitePlace(name, x, y))
		return;
	removeReusedName(name);
	b2Body* body = createCircle(name, x, y, radius, density, friction, restitution, collisionEnabled, isProjectile);
	RenderObjectData* record = addObject(name, sprite, "circle", body, x, y, density, friction, restitution, zOrder);
	record->table.setNumber("radius", radius);
	record->radius = radius;
	record->rolls = true;
	enterObject(record, sprite, false, isProjectile);
	if (isProjectile)
	{
		body->SetAngularDamping(PROJECTILE_ANGULAR_DAMPING);
		m_projectiles.put(name, record);
	}
}

void GameLua::createPolygonLua(const lang::String& name, const lang::String& sprite, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder)
{
	if (deferWhileLocked([=] { createPolygonLua(name, sprite, x, y, width, height, density, friction, restitution, collisionEnabled, isProjectile, zOrder); }))
		return;
	if (!isFinitePlace(name, x, y))
		return;
	if (!isProperPolygon(name, m_vertices))
		return;
	removeReusedName(name);
	b2Body* body = createPolygon(name, x, y, density, friction, restitution, collisionEnabled);
	RenderObjectData* record = addObject(name, sprite, "polygon", body, x, y, density, friction, restitution, zOrder);
	setSize(*record, width, height);
	enterObject(record, sprite, true, isProjectile);
	if (isProjectile)
		body->SetAngularDamping(PROJECTILE_ANGULAR_DAMPING);
}

void GameLua::assignSprite(RenderObjectData& record, const lang::String& sprite, bool fromSheet)
{
	record.spriteName = sprite;
	record.sprite = nullptr;
	record.compoSprite = m_resources->getCompoSprite(sprite);
	record.isCompoSprite = record.compoSprite != nullptr;
	if (record.isCompoSprite || sprite.length() == 0)
		return;
	if (!fromSheet)
	{
		record.sprite = m_resources->getSprite(sprite);
		return;
	}
	game::SpriteSheet* sheet = m_resources->getSpriteSheet(sprite);
	if (sheet)
		record.sprite = sheet->getSprite(sprite);
	else
		lang::Debug::printf("Sprite not found: %s\n", sprite.c_str());
}

void GameLua::clearVertices()
{
	m_vertices.resize(0, b2Vec2_zero);
}

void GameLua::addVertex(float x, float y)
{
	m_vertices.add(b2Vec2(x, y));
}

void GameLua::removeObject(const lang::String& name)
{
	if (deferWhileLocked([this, name] { removeObject(name); }))
		return;
	if (RenderObjectData* record = findRecord(name))
		destroyObject(record);
	dropJointsOf(name, false);
	rethrowContactFailure();
}

void GameLua::destroyBody(b2Body* body)
{
	// The body goes before the fixture user data: destroying it ends its touching contacts, and
	// the contact-end callback still reads the user data and the record.
	std::vector<FixtureUserData*> userData;
	for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext())
		userData.push_back(reinterpret_cast<FixtureUserData*>(fixture->GetUserData().pointer));
	m_world->DestroyBody(body);
	for (FixtureUserData* data : userData)
		delete data;
}

void GameLua::destroyObject(RenderObjectData* record)
{
	const lang::String name = record->name;
	m_projectiles.remove(name);
	m_damageOverTime.remove(name);
	destroyBody(record->body);
	m_objects.remove(name);
	++m_objectsVersion;
	lang::Array<lang::String>& layer = m_zOrder[static_cast<int>(record->zOrder)];
	for (int i = 0; i < layer.size(); ++i)
	{
		if (layer[i] == name)
		{
			layer.remove(i);
			break;
		}
	}
	delete record;
	releaseDestroyLinks(name);
}

void GameLua::clearWorld()
{
	if (deferWhileLocked([this] { clearWorld(); }))
		return;
	m_clearingWorld = true;
	// Every body goes, also those made without an object record.
	for (b2Body* body = m_world->GetBodyList(); body;)
	{
		b2Body* next = body->GetNext();
		destroyBody(body);
		body = next;
	}
	for (const auto& pair : m_objects)
		delete pair.value;
	m_clearingWorld = false;
	m_objects.clear();
	++m_objectsVersion;
	m_projectiles.clear();
	m_damageOverTime.clear();
	m_joints.clear();
	m_destroyLinks.clear();
	m_zOrder = lang::Hashtable<int, lang::Array<lang::String>>();
}

void GameLua::applyImpulse(const lang::String& name, float ix, float iy, float px, float py)
{
	b2Body* body = getBody(name);
	if (body && body->GetType() == b2_dynamicBody)
		body->ApplyLinearImpulse(b2Vec2(ix, iy), b2Vec2(px, py), true);
}

void GameLua::applyForce(const lang::String& name, float fx, float fy, float px, float py)
{
	b2Body* body = getBody(name);
	if (body && body->GetType() == b2_dynamicBody)
		body->ApplyForce(b2Vec2(fx, fy), b2Vec2(px, py), true);
}

void GameLua::setPosition(const lang::String& name, float x, float y)
{
	if (deferWhileLocked([=] { setPosition(name, x, y); }))
		return;
	RenderObjectData* record = recordOf(name);
	if (!record || !isFinitePlace(name, x, y))
		return;
	record->body->SetTransform(b2Vec2(x, y), record->body->GetAngle());
	record->table.setNumber("x", x);
	record->table.setNumber("y", y);
	record->renderX = x;
	record->renderY = y;
	for (RenderObjectData::State& state : record->states)
	{
		state.x = x;
		state.y = y;
	}
}

void GameLua::setRotation(const lang::String& name, float angle)
{
	if (deferWhileLocked([=] { setRotation(name, angle); }))
		return;
	RenderObjectData* record = recordOf(name);
	// A body turned to no finite angle would poison the physics world.
	if (!record || !std::isfinite(angle))
		return;
	float reduced = std::fmod(angle, TWO_PI);
	if (reduced < 0.0f)
		reduced += TWO_PI;
	record->body->SetTransform(record->body->GetPosition(), reduced);
	record->table.setNumber("angle", reduced);
	record->renderAngle = reduced;
	for (RenderObjectData::State& state : record->states)
		state.angle = reduced;
}

void GameLua::setVelocity(const lang::String& name, float vx, float vy)
{
	// Box2D ignores a static body and wakes the body for a non-zero velocity.
	if (b2Body* body = getBody(name))
		body->SetLinearVelocity(b2Vec2(vx, vy));
}

void GameLua::setAngularVelocity(const lang::String& name, float w)
{
	if (b2Body* body = getBody(name))
		body->SetAngularVelocity(w);
}

float GameLua::getAngularVelocity(const lang::String& name)
{
	b2Body* body = getBody(name);
	return body ? body->GetAngularVelocity() : 0.0f;
}

void GameLua::setSleeping(const lang::String& name, bool sleeping)
{
	// Putting a body to sleep also zeroes its sleep time, velocities, force and torque.
	if (b2Body* body = getBody(name))
		body->SetAwake(!sleeping);
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
	const int parameter = static_cast<int>(number);
	// Changing the body type is refused by a locked world.
	if (parameter == 2 && deferWhileLocked([=] { setObjectParameter(name, number, value); }))
		return;
	RenderObjectData* record = recordOf(name);
	if (!record)
		return;
	const bool flag = static_cast<int>(value) == 1;
	switch (parameter)
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
		record->body->SetType(value == 0.0f ? b2_staticBody : b2_dynamicBody);
		rethrowContactFailure();
		break;
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

void GameLua::setCollisionEnabled(const lang::String& name, bool enabled)
{
	if (deferWhileLocked([=] { setCollisionEnabled(name, enabled); }))
		return;
	b2Body* body = getBody(name);
	if (!body)
		return;
	// Disabling and enabling the body ends its contacts, so the filter decides anew.
	body->SetEnabled(false);
	body->SetEnabled(true);
	for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext())
		reinterpret_cast<FixtureUserData*>(fixture->GetUserData().pointer)->collisionEnabled = enabled;
	rethrowContactFailure();
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
	b2Body* body = getBody(name);
	if (!body)
		return 0;
	const b2Vec2 result = toWorld ? body->GetWorldPoint(point) : body->GetLocalPoint(point);
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
