#include <world/Particles.h>

#include <game/Resources.h>
#include <game/Sprite.h>
#include <gr/Context.h>
#include <lang/Math.h>
#include <lang/Truncate.h>
#include <lua/LuaState.h>
#include <world/GameLua.h>
#include <algorithm>
#include <cmath>

namespace {

// Template angles are given in degrees.
const float RADIANS_PER_DEGREE = 0.017453292f;

float numberOr(const lua::LuaTable& table, const char* key, float fallback)
{
	return table.isNumber(key) ? table.getNumber(key) : fallback;
}

// minimum + r (maximum - minimum) for a fresh random r.
float randomBetween(float minimum, float maximum)
{
	return minimum + lang::Math::random() * (maximum - minimum);
}

} // namespace

Particles::Particles(lua::LuaState* lua, GameLua* world, game::Resources* resources) :
	lua::LuaObject(lua),
	m_world(world),
	m_resources(resources),
	m_menuScale(1.0f)
{
	registerMethod("addParticles", this, &Particles::addParticles);
	lua->globals().setTable("particles", *this);
}

Particles::~Particles()
{
	for (auto& entry : m_templates)
		delete entry.value;
}

Particles::ParticleSystemData* Particles::findTemplate(const lang::String& name)
{
	ParticleSystemData* system = m_templates.get(name);
	if (system)
		return system;

	// A name the definitions do not hold gives a template of zeros with no sprites.
	lua::LuaTable definition(state());
	if (m_world->isTable("particleTable"))
	{
		const lua::LuaTable particleTable = m_world->getTable("particleTable");
		if (particleTable.isTable("particles") && particleTable.getTable("particles").isTable(name))
			definition = particleTable.getTable("particles").getTable(name);
	}

	system = new ParticleSystemData();
	system->name = name;
	if (definition.isTable("sprites"))
	{
		const lua::LuaTable sprites = definition.getTable("sprites");
		for (int i = 1; sprites.isString(i); ++i)
			system->sprites.add(sprites.getString(i));
	}
	system->animated = definition.isString("animation") && definition.getString("animation") == lang::String("lifeTime");
	system->minVel = numberOr(definition, "minVel", 0);
	system->maxVel = numberOr(definition, "maxVel", 0);
	system->minAngleVel = numberOr(definition, "minAngleVel", 0);
	system->maxAngleVel = numberOr(definition, "maxAngleVel", 0);
	system->minScaleBegin = numberOr(definition, "minScaleBegin", 0);
	system->maxScaleBegin = numberOr(definition, "maxScaleBegin", 0);
	system->minScaleEnd = numberOr(definition, "minScaleEnd", 0);
	system->maxScaleEnd = numberOr(definition, "maxScaleEnd", 0);
	system->lifeTime = numberOr(definition, "lifeTime", 0);
	system->gravityX = numberOr(definition, "gravityX", 0);
	system->gravityY = numberOr(definition, "gravityY", 0);
	system->minAngleEmitter = numberOr(definition, "minAngleEmitter", 0) * RADIANS_PER_DEGREE;
	system->maxAngleEmitter = numberOr(definition, "maxAngleEmitter", 0) * RADIANS_PER_DEGREE;
	system->minAngle = numberOr(definition, "minAngle", 0) * RADIANS_PER_DEGREE;
	system->maxAngle = numberOr(definition, "maxAngle", 0) * RADIANS_PER_DEGREE;
	system->ignoreLimits = definition.isBoolean("ignoreLimits") && definition.getBoolean("ignoreLimits");
	system->emitAreaScaleX = numberOr(definition, "emitAreaScaleX", 1.0f);
	system->emitAreaScaleY = numberOr(definition, "emitAreaScaleY", 1.0f);
	m_templates.put(name, system);
	return system;
}

void Particles::addParticles(lang::String name, float count, float x, float y, float areaWidth, float areaHeight, float angle)
{
	const float live = static_cast<float>(m_particles.size());
	if (count + live > HALVING_THRESHOLD)
		count *= 0.5f;
	if (count + live > MAX_PARTICLES)
		count = MAX_PARTICLES - live;

	ParticleSystemData* system = findTemplate(name);
	// With no sprites there is nothing to show.
	if (!(count > 0) || system->sprites.size() == 0)
		return;
	for (int i = 0; static_cast<float>(i) < count; ++i)
		spawn(system, x, y, areaWidth, areaHeight, angle);
}

void Particles::spawn(ParticleSystemData* system, float x, float y, float areaWidth, float areaHeight, float angle)
{
	ParticleData particle;
	const float offsetX = areaWidth * system->emitAreaScaleX * (lang::Math::random() - 0.5f);
	const float offsetY = areaHeight * system->emitAreaScaleY * (lang::Math::random() - 0.5f);
	particle.x = x + offsetX * std::cos(angle) - offsetY * std::sin(angle);
	particle.y = y + offsetX * std::sin(angle) + offsetY * std::cos(angle);

	const float direction = randomBetween(system->minAngleEmitter, system->maxAngleEmitter);
	const float speed = randomBetween(system->minVel, system->maxVel);
	particle.vx = speed * std::cos(direction);
	particle.vy = speed * std::sin(direction);

	particle.angle = randomBetween(system->minAngle, system->maxAngle);
	particle.angularVelocity = randomBetween(system->minAngleVel, system->maxAngleVel);
	particle.scaleBegin = randomBetween(system->minScaleBegin, system->maxScaleBegin);
	particle.scaleEnd = randomBetween(system->minScaleEnd, system->maxScaleEnd);
	particle.scale = particle.scaleBegin;
	particle.age = 0;
	particle.lifeTime = system->lifeTime;
	particle.frame = 1;
	particle.system = system;
	particle.animated = system->animated;
	particle.templateName = system->name;

	const int count = system->sprites.size();
	// The random source may return 1 itself, which would index past the last sprite.
	const int index = system->animated ? 0 : std::min(static_cast<int>(lang::Math::random() * static_cast<float>(count)), count - 1);
	particle.spriteName = system->sprites[index];
	particle.sprite = m_resources->getSprite(particle.spriteName);
	// A sprite the registry does not know would have nothing to draw.
	if (particle.sprite)
		m_particles.add(particle);
}

void Particles::update(float dt, bool inGame, gr::Context* context)
{
	const float speedFactor = inGame ? 1.0f : static_cast<float>(context->height()) / MENU_REFERENCE_HEIGHT;
	for (int i = 0; i < m_particles.size();)
	{
		ParticleData& particle = m_particles[i];
		particle.age += dt;
		// The ground is y = 0, the sky at negative y.
		if (particle.age > particle.lifeTime || (inGame && particle.y > 0))
		{
			m_particles.remove(i);
			continue;
		}
		const ParticleSystemData* system = particle.system;
		particle.vx += system->gravityX * dt;
		particle.vy += system->gravityY * dt;
		particle.x += speedFactor * particle.vx * dt;
		particle.y += speedFactor * particle.vy * dt;
		particle.angle += particle.angularVelocity * dt;
		const float progress = particle.lifeTime > 0 ? particle.age / particle.lifeTime : 1.0f;
		particle.scale = particle.scaleBegin + progress * (particle.scaleEnd - particle.scaleBegin);
		if (particle.animated)
		{
			const int count = system->sprites.size();
			const int frame = lang::truncateToRange(std::ceil(progress * static_cast<float>(count)), 1, count);
			if (frame != particle.frame)
			{
				particle.spriteName = system->sprites[frame - 1];
				particle.sprite = m_resources->getSprite(particle.spriteName);
				particle.frame = frame;
			}
		}
		++i;
	}
}

void Particles::draw(gr::Context* context, bool inGame)
{
	gr::RenderState2D& state = context->getRenderState2D();
	for (int i = 0; i < m_particles.size(); ++i)
	{
		const ParticleData& particle = m_particles[i];
		// Positions are divided by the scale: a particle shrunk to nothing has no place to be drawn.
		const float scale = inGame ? particle.scale : m_menuScale * particle.scale;
		if (!particle.sprite || scale == 0)
			continue;
		if (inGame)
		{
			const float worldScale = m_world->worldScale();
			state.translation = math::float2(-m_world->topLeftX() / scale, -m_world->topLeftY() / scale);
			state.scale = math::float2(worldScale * scale, worldScale * scale);
		}
		else
			state.scale = math::float2(scale, scale);
		state.setRotation(particle.angle);
		state.pivot = math::float2(static_cast<float>(particle.sprite->getPivotX()), static_cast<float>(particle.sprite->getPivotY()));
		particle.sprite->draw(context, particle.x / scale, particle.y / scale, game::Anchor(game::Anchor::VPIVOT, game::Anchor::HPIVOT));
	}
	state = gr::RenderState2D();
}

void Particles::clearAll()
{
	m_particles.clear();
}
