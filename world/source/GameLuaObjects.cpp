#include <world/GameLua.h>

#include <game/CompoSprite.h>
#include <game/Resources.h>
#include <game/SpriteSheet.h>
#include <lang/Debug.h>
#include <lang/Truncate.h>
#include <world/PolygonHull.h>
#include <world/RenderObjectData.h>
#include <cmath>

namespace {

// A box of this density is static yet keeps the density on its fixture (kg/m^2).
const float STATIC_BOX_DENSITY = 100.0f;
// Angular damping of every body, and of projectile circles and polygons (1/s).
const float ANGULAR_DAMPING = 1.0f;
const float PROJECTILE_ANGULAR_DAMPING = 2.0f;
// Mass (kg) and turning inertia (kg m^2) beyond which no body is made: contact impulses of such
// a body overflow at the speeds of the game.
const float MAX_MASS = 1.0e20f;
// Mass (kg) and turning inertia about the centre of mass (kg m^2) below which no dynamic body is
// made: the solver works with their inverses. Measured over 150 steps, a body hinged, slid or
// welded at a lever of up to 1.5 m to a 1 kg body turned to no number at masses up to 1e-12 kg
// and inertias up to 1.7e-17 kg m^2 (a resting body only below the smallest normal float, where
// Box2D also asserts); the floors stay well above that. A 1 mm box of density 1 weighs 1e-6 kg
// and turns with 1.7e-13 kg m^2. Levers far longer than the body is wide are for the joint checks.
const float MIN_MASS = 1.0e-9f;
const float MIN_INERTIA = 1.0e-16f;
// The mass (kg) that object parameter 2 gives a body of density 0 when it makes it dynamic: Box2D
// leaves such a body without mass, so it would take no gravity and no contact. Centred where the
// shape's area is, with no turning inertia, so it does not turn, as the library's earlier
// versions made such a body.
const float UNMASSED_BODY_MASS = 1.0f;
// The largest friction and restitution a fixture takes. Box2D mixes two frictions as the root of
// their product and scales contact impulses by friction and restitution: measured, two touching
// boxes of friction 1e20 turned to no number, as did 1e19 kg boxes of restitution 1e18; a friction
// or restitution below 0 or of no number does so at once.
const float MAX_SURFACE_FACTOR = 1.0e6f;

// The polygon of the vertex list as it stands; false, with a log line, when Box2D cannot build it.
bool polygonShape(const lang::String& name, const lang::Array<b2Vec2>& vertices, b2PolygonShape& shape)
{
	const PolygonHull hull(vertices.data(), vertices.size());
	if (const char* reason = hull.reason())
	{
		lang::Debug::printf("Polygon %s refused: %d points, %s\n", name.c_str(), vertices.size(), reason);
		return false;
	}
	shape.Set(vertices.data(), vertices.size());
	return true;
}

b2PolygonShape boxShape(float width, float height)
{
	b2PolygonShape shape;
	shape.SetAsBox(width * 0.5f, height * 0.5f);
	return shape;
}

b2CircleShape circleShape(float radius)
{
	b2CircleShape shape;
	shape.m_radius = radius;
	return shape;
}

bool isStaticBox(float density)
{
	return density == 0.0f || density == STATIC_BOX_DENSITY;
}

float cross(const b2Vec2& o, const b2Vec2& a, const b2Vec2& b)
{
	return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Twice the area of the polygon (square metres), positive for Box2D's counter-clockwise order.
float doubleArea(const b2PolygonShape& shape)
{
	float area = 0.0f;
	for (int i = 1; i + 1 < shape.m_count; ++i)
		area += cross(shape.m_vertices[0], shape.m_vertices[i], shape.m_vertices[i + 1]);
	return area;
}

// A circle's mass is finite and positive for every radius of a finite extent.
float doubleArea(const b2CircleShape&)
{
	return 1.0f;
}

// The turning inertia about the centre of mass (kg m^2) of a body of this one fixture, formed
// operation by operation as Box2D forms it, so that its rounding is judged too: Box2D asserts
// when the result is not positive.
float centredInertia(const b2MassData& mass)
{
	b2Vec2 centre = mass.mass * mass.center;
	centre *= 1.0f / mass.mass;
	return mass.I - mass.mass * b2Dot(centre, centre);
}

} // namespace

/** How a body and its one fixture are made: metres, kilograms per square metre, 1/s. */
struct GameLua::BodySettings
{
	bool isStatic;
	float x;
	float y;
	float density;
	float friction;
	float restitution;
	float angularDamping;
	bool collisionEnabled;
	bool triggersSensors;
};

template <class Shape>
bool GameLua::isMakeableBody(const lang::String& name, const Shape& shape, const BodySettings& settings)
{
	if (!isHoldablePlace(name, settings.x, settings.y) || !isHoldableSurface(name, "friction", settings.friction)
		|| !isHoldableSurface(name, "restitution", settings.restitution))
		return false;
	b2AABB bounds;
	shape.ComputeAABB(&bounds, b2Transform(b2Vec2_zero, b2Rot(0.0f)), 0);
	// Box2D asserts on a polygon of no area before it computes a mass.
	if (isWithinExtent(bounds.lowerBound) && isWithinExtent(bounds.upperBound) && doubleArea(shape) > 2.0f * b2_epsilon)
	{
		b2MassData mass;
		shape.ComputeMass(&mass, settings.density);
		// Every density but 0 makes a dynamic body, or a static box that object parameter 2 can
		// make dynamic; at density 0 parameter 2 gives the body UNMASSED_BODY_MASS.
		const bool solvable = settings.density == 0.0f || (mass.mass >= MIN_MASS && centredInertia(mass) >= MIN_INERTIA);
		if (solvable && std::fabs(mass.mass) <= MAX_MASS && std::fabs(mass.I) <= MAX_MASS)
			return true;
	}
	lang::Debug::printf("Object %s refused: its size or density is not one the physics can hold\n", name.c_str());
	return false;
}

bool GameLua::isWithinExtent(const b2Vec2& point)
{
	return std::fabs(point.x) <= WORLD_EXTENT && std::fabs(point.y) <= WORLD_EXTENT;
}

bool GameLua::isHoldablePlace(const lang::String& name, float x, float y)
{
	if (isWithinExtent(b2Vec2(x, y)))
		return true;
	lang::Debug::printf("Object %s refused: its place (%g, %g) is not finite or beyond the world's extent\n", name.c_str(), x, y);
	return false;
}

bool GameLua::isHoldableSurface(const lang::String& name, const char* what, float value)
{
	if (value >= 0.0f && value <= MAX_SURFACE_FACTOR)
		return true;
	lang::Debug::printf("Object %s refused: its %s %g is not a number from 0 to %g\n", name.c_str(), what, value, MAX_SURFACE_FACTOR);
	return false;
}

GameLua::RenderObjectData::RenderObjectData(const lang::String& objectName, const lua::LuaTable& scriptTable, b2Body* objectBody, float x, float y, float z) :
	name(objectName), table(scriptTable), body(objectBody), sprite(nullptr), compoSprite(nullptr), texture(nullptr),
	states{{x, y, 0.0f}, {x, y, 0.0f}}, radius(-1.0f), width(0.0f), height(0.0f), renderX(x), renderY(y), renderAngle(0.0f),
	scale{1.0f, 1.0f, 1.0f, 1.0f}, isCompoSprite(false), flag8(false), flag9(false), flag10(false), flag11(false), flag12(false),
	flag14(false), gettingUp(false), getUpTimer(0.0f), isProjectile(false), rolls(false), damageOverTime(false), flag13(false),
	material(0), hasPendingVelocity(false), pendingVelocity(0.0f, 0.0f), zOrder(z), wasAwake(true), hazardContacts(0),
	jointDestroyPending(false), jointDestroyTimer(0.0f), hazardTouches(0), hitMarked(false), hitThreshold(0.0f), hitAmount(0.0f),
	param7(0.0f), param6(0.0f), param4(0.0f), param3(0.0f), damageStateFlag(0), damageStateValues{},
	wobbling(false), wobbleTime(0.0f), wobbleValue(0.0f), wobbleAmplitude(0.0f), wobbleSpeedOffset(0.0f), wobbleFactor(0.0f),
	staticBody(true), dynamicMass(0.0f), massCentre(0.0f, 0.0f), centralInertia(0.0f)
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
		lang::Debug::printf("Body name : %s\n", name.c_str());
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

void GameLua::changePhysics(std::function<void()> change)
{
	if (m_world->IsLocked())
	{
		m_waitingChanges.push_back(std::move(change));
		return;
	}
	change();
	rethrowContactFailure();
}

void GameLua::changePose(RenderObjectData* record, const b2Transform& pose, std::function<void()> change)
{
	record->poseWaiting = true;
	record->waitingPose = pose;
	changePhysics([record, change] {
		change();
		record->poseWaiting = false;
	});
}

void GameLua::runWaitingChanges()
{
	std::vector<std::function<void()>> changes;
	changes.swap(m_waitingChanges);
	for (const auto& change : changes)
		change();
}

b2Body* GameLua::createBody(const b2Shape& shape, const BodySettings& settings, FixtureUserData* userData)
{
	b2BodyDef bodyDef;
	bodyDef.type = settings.isStatic ? b2_staticBody : b2_dynamicBody;
	bodyDef.position.Set(settings.x, settings.y);
	bodyDef.angularDamping = settings.angularDamping;
	b2Body* body = m_world->CreateBody(&bodyDef);

	b2FixtureDef fixtureDef;
	fixtureDef.shape = &shape;
	fixtureDef.density = settings.density;
	fixtureDef.friction = settings.friction;
	fixtureDef.restitution = settings.restitution;
	fixtureDef.userData.pointer = reinterpret_cast<uintptr_t>(userData);
	body->CreateFixture(&fixtureDef);
	return body;
}

b2Body* GameLua::createBox(const lang::String& name, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled)
{
	const b2PolygonShape shape = boxShape(width, height);
	const BodySettings settings{isStaticBox(density), x, y, density, friction, restitution, ANGULAR_DAMPING, collisionEnabled, false};
	if (!isMakeableBody(name, shape, settings))
		return nullptr;
	return createBody(shape, settings, new FixtureUserData{name, collisionEnabled, 0, false});
}

b2Body* GameLua::createCircle(const lang::String& name, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool triggersSensors)
{
	const b2CircleShape shape = circleShape(radius);
	const BodySettings settings{density == 0.0f, x, y, density, friction, restitution, ANGULAR_DAMPING, collisionEnabled, triggersSensors};
	if (!isMakeableBody(name, shape, settings))
		return nullptr;
	return createBody(shape, settings, new FixtureUserData{name, collisionEnabled, 0, triggersSensors});
}

b2Body* GameLua::createPolygon(const lang::String& name, float x, float y, float density, float friction, float restitution, bool collisionEnabled)
{
	b2PolygonShape shape;
	const BodySettings settings{density == 0.0f, x, y, density, friction, restitution, ANGULAR_DAMPING, collisionEnabled, false};
	if (!polygonShape(name, m_vertices, shape) || !isMakeableBody(name, shape, settings))
		return nullptr;
	return createBody(shape, settings, new FixtureUserData{name, collisionEnabled, 0, false});
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

template <class Shape>
GameLua::RenderObjectData* GameLua::addObject(const lang::String& name, const lang::String& sprite, const char* type, const Shape& shape, const BodySettings& settings, float zOrder)
{
	removeReusedName(name);
	// The body's mass as Box2D will give it, known before the body exists.
	b2MassData mass;
	shape.ComputeMass(&mass, settings.density);

	lua::LuaTable table(state());
	table.setString("name", name);
	table.setString("sprite", sprite);
	table.setString("type", type);
	table.setNumber("x", settings.x);
	table.setNumber("y", settings.y);
	table.setNumber("angle", 0.0f);
	table.setNumber("density", settings.density);
	table.setNumber("friction", settings.friction);
	table.setNumber("restitution", settings.restitution);
	table.setNumber("mass", settings.isStatic ? 0.0f : mass.mass);
	table.setNumber("xVel", 0.0f);
	table.setNumber("yVel", 0.0f);
	table.setNumber("z_order", zOrder);
	table.setNumber("animTimer", 0.0f);
	table.setNumber("animFrame", 1.0f);
	table.setNumber("animThresholdTimer", 0.0f);
	worldTable().setTable(name, table);

	RenderObjectData* record = new RenderObjectData(name, table, nullptr, settings.x, settings.y, zOrder);
	record->staticBody = settings.isStatic;
	record->dynamicMass = settings.density == 0.0f ? UNMASSED_BODY_MASS : mass.mass;
	record->massCentre = mass.center;
	record->centralInertia = centredInertia(mass);
	// The shape is copied: a polygon's vertex list may change before a waiting change runs.
	changePose(record, b2Transform(b2Vec2(settings.x, settings.y), b2Rot(0.0f)), [this, record, shape, settings] {
		record->body = createBody(shape, settings, new FixtureUserData{record->name, settings.collisionEnabled, 0, settings.triggersSensors, record});
	});
	return record;
}

void GameLua::enterObject(RenderObjectData* record, const lang::String& sprite, bool fromSheet, bool isProjectile)
{
	assignSprite(*record, sprite, fromSheet);
	putRecord(record->name, record);
	record->isProjectile = isProjectile;
	if (record->name != "ground")
		m_zOrder[lang::truncateTo<int>(record->zOrder)].add(record->name);
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
	const b2PolygonShape shape = boxShape(width, height);
	const BodySettings settings{isStaticBox(density), x, y, density, friction, restitution, ANGULAR_DAMPING, collisionEnabled, false};
	if (!isMakeableBody(name, shape, settings))
		return;
	RenderObjectData* record = addObject(name, sprite, "box", shape, settings, zOrder);
	setSize(*record, width, height);
	enterObject(record, sprite, false, isProjectile);
}

void GameLua::createCircleLua(const lang::String& name, const lang::String& sprite, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder)
{
	const b2CircleShape shape = circleShape(radius);
	const float damping = isProjectile ? PROJECTILE_ANGULAR_DAMPING : ANGULAR_DAMPING;
	const BodySettings settings{density == 0.0f, x, y, density, friction, restitution, damping, collisionEnabled, isProjectile};
	if (!isMakeableBody(name, shape, settings))
		return;
	RenderObjectData* record = addObject(name, sprite, "circle", shape, settings, zOrder);
	record->table.setNumber("radius", radius);
	record->radius = radius;
	record->rolls = true;
	enterObject(record, sprite, false, isProjectile);
	if (isProjectile)
		m_projectiles.put(name, record);
}

void GameLua::createPolygonLua(const lang::String& name, const lang::String& sprite, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder)
{
	b2PolygonShape shape;
	const float damping = isProjectile ? PROJECTILE_ANGULAR_DAMPING : ANGULAR_DAMPING;
	const BodySettings settings{density == 0.0f, x, y, density, friction, restitution, damping, collisionEnabled, false};
	if (!polygonShape(name, m_vertices, shape) || !isMakeableBody(name, shape, settings))
		return;
	RenderObjectData* record = addObject(name, sprite, "polygon", shape, settings, zOrder);
	setSize(*record, width, height);
	enterObject(record, sprite, true, isProjectile);
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
	if (RenderObjectData* record = findRecord(name))
		destroyObject(record);
	dropJointsOf(name, false);
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
	m_objects.remove(name);
	++m_objectsVersion;
	lang::Array<lang::String>& layer = m_zOrder[lang::truncateTo<int>(record->zOrder)];
	for (int i = 0; i < layer.size(); ++i)
	{
		if (layer[i] == name)
		{
			layer.remove(i);
			break;
		}
	}
	releaseDestroyLinks(name);
	// The record outlives its place in the tables until its body has gone.
	changePhysics([this, record] {
		destroyBody(record->body);
		delete record;
	});
}

void GameLua::clearWorld()
{
	std::vector<RenderObjectData*> records;
	for (const auto& pair : m_objects)
		records.push_back(pair.value);
	m_objects.clear();
	++m_objectsVersion;
	m_projectiles.clear();
	m_damageOverTime.clear();
	m_joints.clear();
	m_destroyLinks.clear();
	m_zOrder = lang::Hashtable<int, lang::Array<lang::String>>();
	changePhysics([this, records] {
		m_clearingWorld = true;
		// Every body goes, also those made without an object record.
		for (b2Body* body = m_world->GetBodyList(); body;)
		{
			b2Body* next = body->GetNext();
			destroyBody(body);
			body = next;
		}
		m_clearingWorld = false;
		for (RenderObjectData* record : records)
			delete record;
	});
}
