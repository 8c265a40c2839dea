#ifndef HGR_PARTICLESYSTEM_H
#define HGR_PARTICLESYSTEM_H

#include <hgr/Visual.h>
#include <lang/Array.h>
#include <lang/Float.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/float3.h>
#include <math/float3x3.h>

namespace gr
{
class Primitive;
}

namespace hgr
{

class ResourceManager;

/**
 * A visual that emits, simulates and draws camera-facing textured particles as described by a
 * property file. Reference counted. Copies share the read-only Description (and through it the
 * texture and shader) but have their own particles and render buffer.
 */
class ParticleSystem : public Visual
{
public:
	class Description;

	/** What happens to a new emission or particle when its limit is reached. */
	enum KillType
	{
		KILL_NONE = 0,
		KILL_OLDEST,
		KILL_RANDOM,
		KILL_INVALID
	};

	/** Which way is up for the sprites: the camera's up axis or the world's. */
	enum ViewType
	{
		VIEW_CAMERAUP = 0,
		VIEW_WORLDUP,
		VIEW_INVALID
	};

	/** How a particle steps through the texture frames. */
	enum AnimationType
	{
		ANIMATION_LOOP = 0,
		ANIMATION_LIFE,
		ANIMATION_RANDOM,
		ANIMATION_INVALID
	};

	/** Device platform values with a particle renderer; any other device prints a notice instead. */
	enum RenderPlatform
	{
		PLATFORM_PRETRANSFORMED = 0,
		PLATFORM_CAMERASPACE_FIXED = 4,
		PLATFORM_PROJECTED = 5
	};

	/**
	 * Upper limit of emissions per system and of particles per emission; also the most particles
	 * drawn in one frame, so that their 6 vertices each stay within 16-bit vertex numbers.
	 */
	static constexpr int MAX_LIMIT = 10922;

	/** One live particle: the fields the renderer reads, then the simulation's own state. */
	struct Particle
	{
		/** Sprite angle in radians, clockwise as seen from the camera; 0 draws an unrotated sprite. */
		float rotation = 0.f;
		/** Stretch factor along the velocity; 0 draws a square sprite. */
		float elasticity = 0.f;
		/** Full edge length in world units. */
		float size = 0.f;
		/** Red, green, blue in 0..1. */
		math::float3 colour;
		float alpha = 0.f;
		/** Index into the description's texture frame offsets. */
		int frame = 0;
		/** World units per second. */
		math::float3 velocity;
		/** Centre in world space. */
		math::float3 position;
		/** The particle's own axes, used when particles are aligned to the user normal. */
		math::float3x3 orientation = math::float3x3(1.f);

		/** Seconds since birth and at death. */
		float age = 0.f;
		float lifeTime = 0.f;
		float startSize = 0.f;
		float endSize = 0.f;
		float startAlpha = 0.f;
		float endAlpha = 0.f;
		math::float3 startColour;
		math::float3 endColour;
		/** Radians per second. */
		float startRotationSpeed = 0.f;
		float endRotationSpeed = 0.f;
		/** Seconds spent on the current texture frame. */
		float frameTime = 0.f;
	};

	/** One burst source of particles with its own clock and position. */
	struct Emission
	{
		Emission() = default;
		Emission(const Emission&) = default;
		/**
		 * Copy only, also from a temporary: an emission slot the array drops or overwrites keeps
		 * its particle storage, which refreshCachedValues reserves ahead.
		 */
		Emission& operator=(const Emission&) = default;

		/** Seconds since the emission started. */
		float age = 0.f;
		/** Seconds after which it emits no more particles. */
		float stopTime = 0.f;
		/** Seconds after which it is removed with its particles. */
		float lifeTime = 0.f;
		/** Fraction of a particle owed by the emission rate. */
		float pendingParticles = 0.f;
		/** World-space origin of new particles. */
		math::float3 position;
		lang::Array<Particle> particles;
	};

	/**
	 * Loads the description from the property file name and validates it; the texture and shader
	 * come through the resource manager (the installed one when null) from texturePath and
	 * shaderPath, or from the file's directory when those are empty. Throws io::IOException.
	 */
	ParticleSystem(gr::Context* context, const lang::String& name, ResourceManager* resourceManager,
		const lang::String& texturePath, const lang::String& shaderPath);
	/** Shares the description, copies the particles, restarts; the render buffer is not shared. */
	ParticleSystem(const ParticleSystem& other);
	~ParticleSystem() override;

	Node* clone() const override;
	void render(gr::Context* context, Camera* camera, int priority) override;
	void getShaders(lang::Array<gr::Shader*>& shaders) override;
	/** Keeps the unbounded box: particles may fly anywhere. */
	void computeBound() override;

	/** Reads, validates and resolves the description as the loading constructor does. */
	void load(gr::Context* context, const lang::String& name, ResourceManager* resourceManager,
		const lang::String& texturePath, const lang::String& shaderPath);

	/** Resets the clocks, draws new stop and life times and drops every emission. */
	void restart();
	/** Recomputes what is derived from the description (reserved storage, texture frames); drops every emission. */
	void refreshCachedValues();

	/** Seconds a system may go undrawn before its simulation pauses. */
	static constexpr float OFFSCREEN_PAUSE = 1.f;

	/**
	 * Advances the simulation by dt seconds: starts emissions (at the system rate, until the system
	 * stop time) and particles (at each emission's rate, until its stop time), ages, moves and
	 * retires them, and restarts the system after its life time. A stop or life time of 0 or less
	 * never ends. Unless the description asks to update always, a system that has been drawn
	 * before but not for OFFSCREEN_PAUSE seconds stands still.
	 */
	void update(float dt);

	const Description* description() const				{ return m_description; }
	/** Live emissions; writable so custom emitters can place particles themselves. */
	lang::Array<Emission>& emissions()					{ return m_emissions; }
	const lang::Array<Emission>& emissions() const		{ return m_emissions; }
	int particleCount() const;

	/** Seconds the system has run since restart. */
	float time() const									{ return m_time; }
	/** Seconds since the last draw; -lang::Float::MAX_VALUE before the first one. */
	float timeSinceRender() const						{ return m_timeSinceRender; }
	float systemStopTime() const						{ return m_systemStopTime; }
	float systemLifeTime() const						{ return m_systemLifeTime; }
	/** Orthonormal basis whose Z axis is the description's user normal. */
	const math::float3x3& userNormalBasis() const		{ return m_userNormalBasis; }

private:
	/** Most particles whose storage is reserved at load, spread over the emissions; more grow on demand. */
	static constexpr int RESERVED_PARTICLES = 4096;

	lang::Ptr<Description> m_description;
	lang::Array<Emission> m_emissions;
	float m_time = 0.f;
	float m_timeSinceRender = -lang::Float::MAX_VALUE;
	/** Fraction of an emission owed by the system rate. */
	float m_pendingEmissions = 0.f;
	float m_systemStopTime = 0.f;
	float m_systemLifeTime = 0.f;
	math::float3x3 m_userNormalBasis = math::float3x3(1.f);
	lang::Ptr<gr::Primitive> m_renderBuffer;
	/** Particles the render buffer has room for. */
	int m_renderBufferParticles = 0;

	void startEmission();
	void emitParticle(Emission& emission);
	void updateEmission(Emission& emission, float dt);
	void updateParticle(Particle& particle, float dt) const;

	/** Camera-facing quads projected on the CPU into normalised device units (PLATFORM_PROJECTED). */
	void renderGLES2(gr::Context* context, Camera* camera);
	/** Camera-facing quads projected on the CPU into viewport pixels (PLATFORM_PRETRANSFORMED). */
	void renderDX(gr::Context* context, Camera* camera);
	/** The quads of renderGLES2 and renderDX, written in the layout of the platform given. */
	void renderScreenQuads(gr::Context* context, Camera* camera, int platform);
	/** Builds the quads in camera space in 16-bit fixed point, with indices; the shader projects. */
	void renderN3D(gr::Context* context, Camera* camera);
	/** A primitive with room for the particles: the device's pooled one, or this system's own. */
	gr::Primitive* prepareRenderBuffer(gr::Context* context, int platform, int particles);
	/** Gives the primitive the description's shader and draws it once per pass. */
	void drawPasses(gr::Primitive* primitive, int platform);

	ParticleSystem& operator=(const ParticleSystem&) = delete;
};

} // hgr

#endif
