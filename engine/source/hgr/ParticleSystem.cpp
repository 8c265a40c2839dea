#include <hgr/ParticleSystem.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystemDescription.h>
#include <gr/Context.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <io/FileInputStream.h>
#include <io/PathName.h>
#include <lang/Float.h>
#include <math/RandomUtil.h>
#include <cmath>

namespace hgr
{

namespace
{

/** A uniformly drawn index in 0..count-1; count must be positive. */
int randomIndex(int count)
{
	const int index = static_cast<int>(math::RandomUtil::random() * static_cast<float>(count));
	return index < count ? index : count - 1;
}

/** Index of the particle or emission with the greatest age. */
template <class T>
int oldest(const lang::Array<T>& items)
{
	int index = 0;
	for (int i = 1; i < items.size(); ++i)
	{
		if (items[i].age > items[index].age)
			index = i;
	}
	return index;
}

/** Removes one element to make room under a limit, as the kill rule says; false when it may not. */
template <class T>
bool makeRoom(lang::Array<T>& items, ParticleSystem::KillType kill)
{
	switch (kill)
	{
	case ParticleSystem::KILL_OLDEST:
		items.remove(oldest(items));
		return true;
	case ParticleSystem::KILL_RANDOM:
		items.remove(randomIndex(items.size()));
		return true;
	default:
		return false;
	}
}

/** Whether a clock has passed a limit; a limit of 0 or less never ends. */
bool expired(float age, float limit)
{
	return limit > 0.f && age >= limit;
}

/** Items owed by a rate, at most the limit: more could not live at once anyway. */
float owed(float pending, int limit)
{
	return pending > static_cast<float>(limit) ? static_cast<float>(limit) : pending;
}

float lerp(float a, float b, float t)
{
	return a + (b - a) * t;
}

/** The directory given, or the directory of the file name when none is given. */
lang::String directoryOf(const lang::String& given, const lang::String& fileName)
{
	return given.isEmpty() ? io::PathName(fileName).parent().toString() : given;
}

} // namespace

ParticleSystem::ParticleSystem(gr::Context* context, const lang::String& name, ResourceManager* resourceManager,
	const lang::String& texturePath, const lang::String& shaderPath)
{
	setClassId(NODE_PARTICLESYSTEM);
	load(context, name, resourceManager, texturePath, shaderPath);
}

ParticleSystem::ParticleSystem(const ParticleSystem& other) :
	Visual(other),
	m_description(other.m_description)
{
	// A copy starts afresh: its own storage, clocks and times drawn anew.
	refreshCachedValues();
	restart();
}

ParticleSystem::~ParticleSystem() = default;

Node* ParticleSystem::clone() const
{
	return new ParticleSystem(*this);
}

void ParticleSystem::load(gr::Context* context, const lang::String& name, ResourceManager* resourceManager,
	const lang::String& texturePath, const lang::String& shaderPath)
{
	setName(name);
	const lang::String textureDirectory = directoryOf(texturePath, name);
	const lang::String shaderDirectory = directoryOf(shaderPath, name);

	lang::Ptr<Description> description = new Description;
	{
		io::FileInputStream in(name);
		description->read(&in);
	}
	description->check(name);

	if (!resourceManager)
		resourceManager = DefaultResourceManager::get(context);
	description->texture = resourceManager->getTexture(io::PathName(textureDirectory, description->textureName).toString());
	description->shader = resourceManager->getShader(io::PathName(shaderDirectory, description->shaderName).toString(), 0);
	if (description->shader)
		description->shader->setTexture("BASEMAP", description->texture);

	m_description = description;
	refreshCachedValues();
	restart();
}

void ParticleSystem::refreshCachedValues()
{
	// Storage for the common case is taken now and kept when emissions come and go; larger systems
	// grow on demand rather than reserving their maximum (up to 10922 x 10922 particles).
	const Description& d = *m_description;
	const int emissions = d.systemMaxEmissions > 0 ? d.systemMaxEmissions : 0;
	const int budget = emissions > 0 ? RESERVED_PARTICLES / emissions : 0;
	const int particles = d.emissionMaxParticles < budget ? d.emissionMaxParticles : budget;
	m_emissions.resize(emissions);
	for (Emission& emission : m_emissions)
	{
		emission.particles.resize(particles > 0 ? particles : 0);
		emission.particles.resize(0);
	}
	m_emissions.resize(0);
	m_description->computeTextureFrames();
}

void ParticleSystem::restart()
{
	const Description& d = *m_description;
	m_time = 0.f;
	m_timeSinceRender = -lang::Float::MAX_VALUE;
	m_pendingEmissions = 0.f;
	m_systemStopTime = d.systemStopTime.getRandomFloat();
	m_systemLifeTime = d.systemLifeTime.getRandomFloat();
	m_userNormalBasis.generateOrthonormalBasisFromZ(d.particleUserNormal);
	m_emissions.resize(0);
}

void ParticleSystem::getShaders(lang::Array<gr::Shader*>& shaders)
{
	shaders.add(m_description->shader);
}

void ParticleSystem::computeBound()
{
}

int ParticleSystem::particleCount() const
{
	int count = 0;
	for (const Emission& emission : m_emissions)
		count += emission.particles.size();
	return count;
}

void ParticleSystem::update(float dt)
{
	const Description& d = *m_description;
	m_timeSinceRender += dt;
	if (!d.particleUpdateAlways && m_timeSinceRender > OFFSCREEN_PAUSE)
		return;

	m_time += dt;
	if (expired(m_time, m_systemLifeTime))
	{
		restart();
		return;
	}
	if (!expired(m_time, m_systemStopTime))
	{
		m_pendingEmissions = owed(m_pendingEmissions + d.systemRate.getRandomFloat() * dt, d.systemMaxEmissions);
		for (; m_pendingEmissions >= 1.f; m_pendingEmissions -= 1.f)
			startEmission();
	}

	for (int i = 0; i < m_emissions.size();)
	{
		Emission& emission = m_emissions[i];
		updateEmission(emission, dt);
		const bool finished = expired(emission.age, emission.lifeTime)
			|| (expired(emission.age, emission.stopTime) && emission.particles.isEmpty());
		if (finished)
			m_emissions.remove(i);
		else
			++i;
	}
}

void ParticleSystem::startEmission()
{
	const Description& d = *m_description;
	if (m_emissions.size() >= d.systemMaxEmissions && !makeRoom(m_emissions, d.systemLimitKill))
		return;
	Emission emission;
	worldTransform().transform(d.emissionPosition.getRandomFloat3(), &emission.position);
	emission.stopTime = d.emissionStopTime.getRandomFloat();
	emission.lifeTime = d.emissionLifeTime.getRandomFloat();
	m_emissions.add(emission);
}

void ParticleSystem::updateEmission(Emission& emission, float dt)
{
	const Description& d = *m_description;
	emission.age += dt;
	lang::Array<Particle>& particles = emission.particles;
	for (int i = 0; i < particles.size();)
	{
		Particle& particle = particles[i];
		particle.age += dt;
		if (particle.age >= particle.lifeTime)
		{
			// Order does not matter for drawing, so the last particle fills the gap.
			particle = particles.last();
			particles.resize(particles.size() - 1);
			continue;
		}
		updateParticle(particle, dt);
		++i;
	}
	if (!expired(emission.age, emission.stopTime))
	{
		emission.pendingParticles = owed(emission.pendingParticles + d.emissionRate.getRandomFloat() * dt, d.emissionMaxParticles);
		for (; emission.pendingParticles >= 1.f; emission.pendingParticles -= 1.f)
			emitParticle(emission);
	}
}

void ParticleSystem::emitParticle(Emission& emission)
{
	const Description& d = *m_description;
	if (emission.particles.size() >= d.emissionMaxParticles && !makeRoom(emission.particles, d.emissionLimitKill))
		return;
	Particle p;
	p.lifeTime = d.particleLifeTime.getRandomFloat();
	p.position = emission.position + d.particleStartPosition.getRandomFloat3();
	p.velocity = d.particleStartVelocity.getRandomFloat3();
	p.startSize = d.particleStartSize.getRandomFloat();
	p.endSize = d.particleEndSize.getRandomFloat();
	p.startAlpha = d.particleStartAlpha.getRandomFloat();
	p.endAlpha = d.particleEndAlpha.getRandomFloat();
	p.startColour = d.particleStartColor.getRandomFloat3();
	p.endColour = d.particleEndColor.getRandomFloat3();
	p.elasticity = d.particleSpriteElasticity.getRandomFloat();
	p.rotation = d.particleSpriteRotation.getRandomFloat();
	p.startRotationSpeed = d.particleSpriteStartRotationSpeed.getRandomFloat();
	p.endRotationSpeed = d.particleSpriteEndRotationSpeed.getRandomFloat();
	p.orientation = m_userNormalBasis;
	if (d.textureAnimation == ANIMATION_RANDOM && d.textureFrames > 0)
		p.frame = randomIndex(d.textureFrames);
	updateParticle(p, 0.f);
	emission.particles.add(p);
}

void ParticleSystem::updateParticle(Particle& p, float dt) const
{
	const Description& d = *m_description;
	float t = p.lifeTime > 0.f ? p.age / p.lifeTime : 0.f;
	t = t < 0.f ? 0.f : (t > 1.f ? 1.f : t);

	p.size = lerp(p.startSize, p.endSize, t);
	p.alpha = lerp(p.startAlpha, p.endAlpha, t);
	p.colour = p.startColour + (p.endColour - p.startColour) * t;
	p.rotation += lerp(p.startRotationSpeed, p.endRotationSpeed, t) * dt;
	p.velocity += (math::float3(0.f, -d.gravity, 0.f) + d.wind) * dt;
	p.position += p.velocity * dt;

	const int frames = d.textureFrames;
	if (frames <= 1)
		return;
	switch (d.textureAnimation)
	{
	case ANIMATION_LOOP:
		p.frame = static_cast<int>(std::fmod(p.age * d.textureFrameRate, static_cast<float>(frames)));
		break;
	case ANIMATION_LIFE:
		p.frame = t < 1.f ? static_cast<int>(t * static_cast<float>(frames)) : frames - 1;
		break;
	case ANIMATION_RANDOM:
		p.frameTime += dt;
		if (d.textureFrameRate > 0.f && p.frameTime * d.textureFrameRate >= 1.f)
		{
			p.frameTime = 0.f;
			p.frame = randomIndex(frames);
		}
		break;
	default:
		break;
	}
}

} // hgr
