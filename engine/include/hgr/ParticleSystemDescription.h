#ifndef HGR_PARTICLESYSTEMDESCRIPTION_H
#define HGR_PARTICLESYSTEMDESCRIPTION_H

#include <hgr/ParticleSystem.h>
#include <gr/BaseTexture.h>
#include <gr/Shader.h>
#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Domain.h>
#include <math/float3.h>

namespace io
{
class InputStream;
class PropertyParser;
}

namespace hgr
{

/**
 * The read-only settings of a particle system, read from a property file and validated.
 * Reference counted and shared by a template and all its copies; it holds counted references to
 * the texture and shader, released with the last system that shares it. Times in seconds, rates
 * per second, sizes and positions in world units, colours and alphas in 0..1.
 */
class ParticleSystem::Description : public lang::Object
{
public:
	int systemMaxEmissions = 0;
	math::Domain systemRate;
	math::Domain systemStopTime;
	math::Domain systemLifeTime;
	int emissionMaxParticles = 0;
	math::Domain emissionRate;
	math::Domain emissionStopTime;
	math::Domain emissionLifeTime;
	math::Domain emissionPosition;
	math::Domain particleLifeTime;
	math::Domain particleStartVelocity;
	math::Domain particleStartPosition;
	math::Domain particleStartSize;
	math::Domain particleEndSize;
	math::Domain particleStartAlpha;
	math::Domain particleEndAlpha;
	math::Domain particleStartColor;
	math::Domain particleEndColor;
	math::Domain particleSpriteElasticity;
	math::Domain particleSpriteRotation;
	math::Domain particleSpriteStartRotationSpeed;
	math::Domain particleSpriteEndRotationSpeed;
	/** World units per second squared, pulling along -y. */
	float gravity = 0.f;
	/** World units per second squared. */
	math::float3 wind;
	/** Frames per second. */
	float textureFrameRate = 0.f;
	int textureFrames = 0;
	lang::String textureName;
	lang::String shaderName;
	lang::Ptr<gr::BaseTexture> texture;
	lang::Ptr<gr::Shader> shader;
	AnimationType textureAnimation = ANIMATION_INVALID;
	ViewType view = VIEW_INVALID;
	KillType emissionLimitKill = KILL_NONE;
	KillType systemLimitKill = KILL_INVALID;
	bool particleUpdateAlways = false;
	bool particleAlignedToUserNormal = false;
	math::float3 particleUserNormal = math::float3(0.f, 1.f, 0.f);
	/** Edge of one texture frame in texture coordinates. */
	float textureFrameSize = 0.f;
	/** (u, v) of the top-left corner of each frame, two floats per frame. */
	lang::Array<float> textureFrameOffsets;

	/**
	 * Reads every key from the whole of the stream. Throws io::IOException when the stream ends
	 * early, a required key is missing or a value does not parse.
	 */
	void read(io::InputStream* in);

	/** Throws io::IOException naming the file name when a setting is out of range or they clash. */
	void check(const lang::String& name) const;

	/** Derives the texture frame size and offsets from the frame count (a square grid). */
	void computeTextureFrames();

	/** A value domain: a type word (any case) and its parameter count of numbers. */
	static void read(io::PropertyParser& parser, math::Domain& domain, const char* key);
	/** Three numbers. */
	static void read(io::PropertyParser& parser, math::float3& v, const char* key);
	/** Three numbers, or def when the key is absent. */
	static void readOpt(io::PropertyParser& parser, math::float3& v, const char* key, const math::float3& def);
	/** An upper-case word of the enumeration; an unknown word stores the invalid value and throws. */
	static void read(io::PropertyParser& parser, KillType& value, const char* key);
	static void read(io::PropertyParser& parser, ViewType& value, const char* key);
	static void read(io::PropertyParser& parser, AnimationType& value, const char* key);
};

} // hgr

#endif
