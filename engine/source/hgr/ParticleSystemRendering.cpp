#include <hgr/ParticleSystem.h>
#include <hgr/Camera.h>
#include <hgr/ParticleSystemDescription.h>
#include <gr/Context.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/VertexFormat.h>
#include <lang/Debug.h>
#include <lang/Float.h>
#include <lang/Truncate.h>
#include <math/float4x4.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace hgr
{

namespace
{

/** Added to the camera's front plane distance to get the nearest depth drawn, in world units. */
const float NEAR_EPSILON = 0.00001f;
/** Smallest projected w drawn; nearer points are behind or at the eye. */
const float MIN_W = 0.000000001f;
/** Texture coordinate scale of the 16-bit fixed-point layout. */
const float FIXED_TEXCOORD_SCALE = 4096.f;
/** Usage flags of a system's own render buffer. */
const int RENDER_BUFFER_USAGE = 2;
/** Smallest own render buffer, in particles, so small systems do not regrow it every frame. */
const int MIN_RENDER_BUFFER_PARTICLES = 64;
/** Corners of a quad, in the order c - a + b, c + a + b, c + a - b, c - a - b. */
const int QUAD_CORNERS = 4;
/** The two triangles of a screen quad as corner numbers. */
const int SCREEN_QUAD_VERTICES[6] = {0, 1, 2, 0, 2, 3};
/** The two triangles of a camera-space quad as offsets from its first vertex. */
const unsigned short FIXED_QUAD_INDICES[6] = {0, 2, 1, 0, 3, 2};

/** What every particle of one frame is drawn with. */
struct FrameSetup
{
	/** Half the viewport in pixels, swapped for the quarter-turn orientations. */
	float halfWidth;
	float halfHeight;
	/** Viewport centre in pixels. */
	float centreX;
	float centreY;
	math::float4x4 projection;
	math::float3x4 view;
	float nearLimit;
	/** Radians added to every sprite's rotation to keep it upright in the world. */
	float viewAngle;
};

/** One particle's quad on the screen. */
struct ScreenQuad
{
	/** Centre in normalised device units. */
	float x;
	float y;
	float depth;
	float rhw;
	/** Corner offsets from the centre in pixels, y up. */
	math::float2 corners[QUAD_CORNERS];
};

/** Offsets of the texture frame's corners, in the quad's corner order. */
struct FrameCoordinates
{
	math::float2 uv[QUAD_CORNERS];
};

float viewAngle(const Camera* camera, ParticleSystem::ViewType view)
{
	if (view != ParticleSystem::VIEW_WORLDUP)
		return 0.f;
	const math::float3x4 world = camera->worldTransform();
	const math::float3 x = world.getColumn(0);
	const math::float3 y = world.getColumn(1);
	const math::float3 z = world.getColumn(2);
	math::float3 up = math::float3(0.f, 1.f, 0.f) - z * z.y;
	up = math::dot(up, up) > lang::Float::MIN_VALUE ? math::normalize0(up) : y;
	float cosine = math::dot(y, up);
	cosine = cosine < -1.f ? -1.f : (cosine > 1.f ? 1.f : cosine);
	const float angle = std::acos(cosine);
	return math::dot(x, up) < 0.f ? -angle : angle;
}

FrameSetup frameSetup(gr::Context* context, const Camera* camera, ParticleSystem::ViewType view)
{
	const gr::Rect& viewport = context->viewport();
	FrameSetup f;
	f.halfWidth = static_cast<float>((viewport.right - viewport.left) / 2);
	f.halfHeight = static_cast<float>((viewport.bottom - viewport.top) / 2);
	const int orientation = context->orientation();
	if (orientation == gr::Context::ORIENTATION_90 || orientation == gr::Context::ORIENTATION_270)
	{
		const float swap = f.halfWidth;
		f.halfWidth = f.halfHeight;
		f.halfHeight = swap;
	}
	f.centreX = static_cast<float>((viewport.left + viewport.right) / 2);
	f.centreY = static_cast<float>((viewport.top + viewport.bottom) / 2);
	f.projection = context->projectionTransform();
	f.view = camera->viewTransform();
	f.nearLimit = camera->front() + NEAR_EPSILON;
	f.viewAngle = viewAngle(camera, view);
	return f;
}

/**
 * v turned clockwise (x right, y up) by the angle of the cosine and sine: the sense in which the
 * view angle, measured from the camera's up axis towards its right axis, rights the sprites.
 */
math::float2 rotated(const math::float2& v, float cosine, float sine)
{
	return math::float2(v.x * cosine + v.y * sine, v.y * cosine - v.x * sine);
}

/** The four corners around c spanned by a and b, in quad order. */
template <class V>
void quadCorners(const V& c, const V& a, const V& b, V* corners)
{
	corners[0] = c - a + b;
	corners[1] = c + a + b;
	corners[2] = c + a - b;
	corners[3] = c - a - b;
}

/** The axes of a quad stretched along the camera-space velocity, half size wide. */
void stretchedAxes(const ParticleSystem::Particle& p, const math::float3x4& view, math::float3* a, math::float3* b)
{
	const math::float3 velocity = view.rotate(p.velocity);
	*a = velocity * p.elasticity;
	*b = math::normalize0(math::float3(-velocity.y, velocity.x, 0.f)) * (p.size * 0.5f);
}

/** Projects the particle's quad; false when it lies before the near limit or behind the eye. */
bool projectQuad(const ParticleSystem::Particle& p, const FrameSetup& f, ScreenQuad* quad)
{
	math::float3 c;
	f.view.transform(p.position, &c);
	if (c.z < f.nearLimit)
		return false;
	const math::float4 centre = f.projection * math::float4(c, 1.f);
	if (!(centre.w > MIN_W))
		return false;
	quad->x = centre.x / centre.w;
	quad->y = centre.y / centre.w;
	quad->depth = centre.z / centre.w;
	quad->rhw = 1.f / centre.w;

	const float halfSize = p.size * 0.5f;
	if (p.elasticity != 0.f)
	{
		math::float3 a, b, corners[QUAD_CORNERS];
		stretchedAxes(p, f.view, &a, &b);
		quadCorners(c, a, b, corners);
		for (int i = 0; i < QUAD_CORNERS; ++i)
		{
			const math::float4 q = f.projection * math::float4(corners[i], 1.f);
			if (!(q.w > MIN_W))
				return false;
			quad->corners[i] = math::float2((q.x / q.w - quad->x) * f.halfWidth, (q.y / q.w - quad->y) * f.halfHeight);
		}
		return true;
	}

	const float s = (f.projection(0, 0) + f.projection(0, 1)) * halfSize / centre.w * f.halfWidth;
	math::float2 a(s, 0.f);
	math::float2 b(0.f, s);
	const float angle = p.rotation + f.viewAngle;
	if (angle != 0.f)
	{
		const float cosine = std::cos(angle);
		const float sine = std::sin(angle);
		a = rotated(a, cosine, sine);
		b = rotated(b, cosine, sine);
	}
	quadCorners(math::float2(), a, b, quad->corners);
	return true;
}

/** The camera-space quad of the fixed-point layout, as the variant's first applicable rule says. */
void cameraSpaceQuad(const ParticleSystem::Particle& p, const math::float3& c, const FrameSetup& f, bool alignedToUserNormal, math::float3* corners)
{
	const float halfSize = p.size * 0.5f;
	math::float3 a(halfSize, 0.f, 0.f);
	math::float3 b(0.f, halfSize, 0.f);
	if (p.elasticity != 0.f)
	{
		stretchedAxes(p, f.view, &a, &b);
	}
	else if (alignedToUserNormal)
	{
		math::float3x3 axes = p.orientation;
		if (p.rotation != 0.f)
			axes = math::float3x3(axes.getColumn(2), p.rotation) * axes;
		a = f.view.rotate(axes.getColumn(0)) * halfSize;
		b = f.view.rotate(axes.getColumn(1)) * halfSize;
	}
	else
	{
		const float angle = p.rotation + f.viewAngle;
		if (angle != 0.f)
		{
			const float cosine = std::cos(angle);
			const float sine = std::sin(angle);
			const math::float2 right = rotated(math::float2(halfSize, 0.f), cosine, sine);
			const math::float2 up = rotated(math::float2(0.f, halfSize), cosine, sine);
			a = math::float3(right.x, right.y, 0.f);
			b = math::float3(up.x, up.y, 0.f);
		}
	}
	quadCorners(c, a, b, corners);
}

/** A 0..1 component as a byte, clamped. */
unsigned int colourByte(float value)
{
	return static_cast<unsigned int>(lang::truncateToRange(value * 255.f, 0, 255));
}

/** A8R8G8B8 word of the particle's colour and alpha. */
unsigned int packedColour(const ParticleSystem::Particle& p)
{
	return colourByte(p.colour.z) + (colourByte(p.colour.y) << 8) + (colourByte(p.colour.x) << 16) + (colourByte(p.alpha) << 24);
}

FrameCoordinates frameCoordinates(const ParticleSystem::Description& d, int frame)
{
	FrameCoordinates t;
	const int frames = d.textureFrameOffsets.size() / 2;
	math::float2 origin;
	if (frames > 0)
	{
		const int j = frame < 0 ? 0 : (frame >= frames ? frames - 1 : frame);
		origin = math::float2(d.textureFrameOffsets[2 * j], d.textureFrameOffsets[2 * j + 1]);
	}
	const float size = d.textureFrameSize;
	t.uv[0] = origin;
	t.uv[1] = origin + math::float2(size, 0.f);
	t.uv[2] = origin + math::float2(size, size);
	t.uv[3] = origin + math::float2(0.f, size);
	return t;
}

/** One vertex attribute's array in a locked primitive. */
class VertexStream
{
public:
	VertexStream(gr::Primitive* primitive, gr::VertexFormat::DataType type)	{ primitive->getVertexDataPtr(type, &m_data, &m_pitch); }

	/** False when the primitive lacks the attribute. */
	bool valid() const											{ return m_data != nullptr; }

	template <class T, int N>
	void put(int vertex, const T (&values)[N])					{ std::memcpy(m_data + vertex * m_pitch, values, sizeof(values)); }

private:
	unsigned char* m_data;
	int m_pitch;
};

gr::VertexFormat vertexFormat(int platform)
{
	gr::VertexFormat format;
	switch (platform)
	{
	case ParticleSystem::PLATFORM_PROJECTED:
		format.addPosition(gr::VertexFormat::DF_V4_32).addDiffuse(gr::VertexFormat::DF_V4_8).addTextureCoordinate(gr::VertexFormat::DF_V2_32);
		break;
	case ParticleSystem::PLATFORM_PRETRANSFORMED:
		format.addTransformedPosition(gr::VertexFormat::DF_V4_32).addDiffuse(gr::VertexFormat::DF_V4_8).addTextureCoordinate(gr::VertexFormat::DF_V2_32);
		break;
	default:
		format.addPosition(gr::VertexFormat::DF_V3_16).addTextureCoordinate(gr::VertexFormat::DF_V2_16);
		break;
	}
	return format;
}

} // namespace

void ParticleSystem::render(gr::Context* context, Camera* camera, int priority)
{
	gr::Shader* shader = m_description->shader;
	if (!shader || shader->priority() != priority)
		return;
	if (m_emissions.isEmpty())
		return;
	m_timeSinceRender = 0.f;

	const int platform = context->platform();
	switch (platform)
	{
	case PLATFORM_PRETRANSFORMED:
		renderDX(context, camera);
		break;
	case PLATFORM_CAMERASPACE_FIXED:
		renderN3D(context, camera);
		break;
	case PLATFORM_PROJECTED:
		renderGLES2(context, camera);
		break;
	default:
		lang::Debug::printf("Particle systems used but ParticleSystem::render() not implemented on this platform!\n");
		break;
	}
}

void ParticleSystem::renderGLES2(gr::Context* context, Camera* camera)
{
	renderScreenQuads(context, camera, PLATFORM_PROJECTED);
}

void ParticleSystem::renderDX(gr::Context* context, Camera* camera)
{
	renderScreenQuads(context, camera, PLATFORM_PRETRANSFORMED);
}

void ParticleSystem::renderScreenQuads(gr::Context* context, Camera* camera, int platform)
{
	const Description& d = *m_description;
	const FrameSetup f = frameSetup(context, camera, d.view);
	if (f.halfWidth <= 0.f || f.halfHeight <= 0.f)
		return;
	const int capacity = particleCount() < MAX_LIMIT ? particleCount() : MAX_LIMIT;
	gr::Primitive* primitive = capacity > 0 ? prepareRenderBuffer(context, platform, capacity) : nullptr;
	if (!primitive)
		return;

	const bool pixels = platform == PLATFORM_PRETRANSFORMED;
	int vertices = 0;
	{
		gr::ContextObject::Lock lock(primitive, gr::ContextObject::LOCK_WRITE);
		VertexStream positions(primitive, pixels ? gr::VertexFormat::DT_POSITIONT : gr::VertexFormat::DT_POSITION);
		VertexStream colours(primitive, gr::VertexFormat::DT_DIFFUSE);
		VertexStream texcoords(primitive, gr::VertexFormat::DT_TEX0);
		if (!positions.valid() || !colours.valid() || !texcoords.valid())
			return;
		for (const Emission& emission : m_emissions)
		{
			for (const Particle& p : emission.particles)
			{
				ScreenQuad quad;
				if (vertices >= 6 * capacity || !projectQuad(p, f, &quad))
					continue;
				const FrameCoordinates t = frameCoordinates(d, p.frame);
				const unsigned int colour[1] = {packedColour(p)};
				for (int corner : SCREEN_QUAD_VERTICES)
				{
					const math::float2& o = quad.corners[corner];
					const float position[4] = {
						pixels ? f.centreX + quad.x * f.halfWidth + o.x : quad.x + o.x / f.halfWidth,
						pixels ? f.centreY - (quad.y * f.halfHeight + o.y) : quad.y + o.y / f.halfHeight,
						quad.depth, quad.rhw};
					const float uv[2] = {t.uv[corner].x, t.uv[corner].y};
					positions.put(vertices, position);
					colours.put(vertices, colour);
					texcoords.put(vertices, uv);
					++vertices;
				}
			}
		}
		primitive->setVertexRangeBegin(0);
		primitive->setVertexRangeEnd(vertices);
	}
	drawPasses(primitive, platform);
}

void ParticleSystem::renderN3D(gr::Context* context, Camera* camera)
{
	const Description& d = *m_description;
	const FrameSetup f = frameSetup(context, camera, d.view);
	const int capacity = particleCount() < MAX_LIMIT ? particleCount() : MAX_LIMIT;
	gr::Primitive* primitive = capacity > 0 ? prepareRenderBuffer(context, PLATFORM_CAMERASPACE_FIXED, capacity) : nullptr;
	if (!primitive)
		return;

	int vertices = 0;
	int indices = 0;
	{
		gr::ContextObject::Lock lock(primitive, gr::ContextObject::LOCK_WRITE);
		VertexStream positions(primitive, gr::VertexFormat::DT_POSITION);
		VertexStream texcoords(primitive, gr::VertexFormat::DT_TEX0);
		unsigned short* indexData = nullptr;
		int indexPitch = 0;
		primitive->getIndexDataPtr(&indexData, &indexPitch);
		if (!positions.valid() || !texcoords.valid() || !indexData)
			return;
		for (const Emission& emission : m_emissions)
		{
			for (const Particle& p : emission.particles)
			{
				math::float3 c;
				f.view.transform(p.position, &c);
				if (vertices >= 4 * capacity || c.z < f.nearLimit)
					continue;
				math::float3 corners[QUAD_CORNERS];
				cameraSpaceQuad(p, c, f, d.particleAlignedToUserNormal, corners);
				const FrameCoordinates t = frameCoordinates(d, p.frame);
				for (int i = 0; i < QUAD_CORNERS; ++i)
				{
					const short position[3] = {lang::truncateTo<short>(corners[i].x), lang::truncateTo<short>(corners[i].y), lang::truncateTo<short>(corners[i].z)};
					const short uv[2] = {lang::truncateTo<short>(t.uv[i].x * FIXED_TEXCOORD_SCALE), lang::truncateTo<short>(t.uv[i].y * FIXED_TEXCOORD_SCALE)};
					positions.put(vertices + i, position);
					texcoords.put(vertices + i, uv);
				}
				for (unsigned short offset : FIXED_QUAD_INDICES)
					indexData[indices++] = static_cast<unsigned short>(vertices + offset);
				vertices += QUAD_CORNERS;
			}
		}
		primitive->setVertexRangeBegin(0);
		primitive->setVertexRangeEnd(vertices);
		primitive->setIndexRangeBegin(0);
		primitive->setIndexRangeEnd(indices);
	}
	drawPasses(primitive, PLATFORM_CAMERASPACE_FIXED);
}

gr::Primitive* ParticleSystem::prepareRenderBuffer(gr::Context* context, int platform, int particles)
{
	const gr::VertexFormat format = vertexFormat(platform);
	// The pooled primitive may serve other users between frames, so it is asked for every frame.
	if (platform == PLATFORM_PROJECTED)
		return context->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, 6 * particles, 0);

	if (!m_renderBuffer || m_renderBufferParticles < particles || m_renderBuffer->vertexFormat() != format)
	{
		const int room = std::min(std::max({m_renderBufferParticles * 2, particles, MIN_RENDER_BUFFER_PARTICLES}), MAX_LIMIT);
		const bool indexed = platform == PLATFORM_CAMERASPACE_FIXED;
		m_renderBuffer = context->createPrimitive(gr::Primitive::PRIM_TRI, format,
			(indexed ? QUAD_CORNERS : 6) * room, indexed ? 6 * room : 0, RENDER_BUFFER_USAGE);
		m_renderBufferParticles = m_renderBuffer ? room : 0;
	}
	return m_renderBuffer;
}

void ParticleSystem::drawPasses(gr::Primitive* primitive, int platform)
{
	if (primitive->vertexRangeEnd() <= primitive->vertexRangeBegin())
		return;
	gr::Shader* shader = m_description->shader;
	primitive->setShader(shader);
	const int passes = shader->begin();
	// Positions arrive projected, or in camera space for the fixed-point layout.
	const math::float4x4 identity(1.f);
	if (platform == PLATFORM_PROJECTED)
	{
		shader->setMatrix(gr::Shader::PARAM_TOTALTM, identity);
	}
	else if (platform == PLATFORM_CAMERASPACE_FIXED)
	{
		shader->setMatrix(gr::Shader::PARAM_VIEWTM, identity);
		shader->setMatrix(gr::Shader::PARAM_VIEWTMINV, identity);
	}
	for (int pass = 0; pass < passes; ++pass)
	{
		shader->beginPass(pass);
		primitive->render();
		shader->endPass();
	}
	shader->end();
}

} // hgr
