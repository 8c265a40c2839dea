#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_Image.h>
#include <gr/ogles/EGL_Palette.h>
#include <gr/ogles/EGL_Primitive.h>
#include <gr/ogles/EGL_Shader_Default.h>
#include <gr/ogles/EGL_State.h>
#include <gr/ogles/EGL_Texture.h>
#include <gr/ogles/EGL_Transform2D.h>
#include <gr/CubeTexture.h>
#include <gr/GraphicsException.h>
#include <img/ImageReader.h>
#include <io/FileFormat.h>
#include <io/FileInputStream.h>
#include <io/PathName.h>
#include <lang/Debug.h>
#include <lang/Math.h>
#include <lang/Truncate.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

GLuint EAGLBackbufferFrameBuffer = 0;

namespace gr
{

namespace
{

const math::float3 Z_AXIS(0.f, 0.f, 1.f);
const math::float3 NO_TRANSLATION(0.f, 0.f, 0.f);

int roundUp32(int n)
{
	return (n + 31) & ~31;
}

bool isPVRTC(const SurfaceFormat& format)
{
	return format.type() >= SurfaceFormat::RGB_PVRTC_GL_2BPP && format.type() <= SurfaceFormat::RGBA_PVRTC_GL_4BPP;
}

const char PVRTC_EXTENSION[] = "GL_IMG_texture_compression_pvrtc";

} // namespace

const math::float4x4 rot90(math::float3x3(Z_AXIS, -lang::Math::PI / 2.f), NO_TRANSLATION);
const math::float4x4 rot180(math::float3x3(Z_AXIS, lang::Math::PI), NO_TRANSLATION);
const math::float4x4 rot270(math::float3x3(Z_AXIS, lang::Math::PI / 2.f), NO_TRANSLATION);

bool hasGLExtension(const char* name)
{
	const char* extensions = reinterpret_cast<const char*>(gl().glGetString(GL_EXTENSIONS));
	if (!extensions)
		return false;
	const size_t length = std::strlen(name);
	for (const char* p = std::strstr(extensions, name); p; p = std::strstr(p + 1, name))
	{
		const bool startsToken = p == extensions || p[-1] == ' ';
		const bool endsToken = p[length] == 0 || p[length] == ' ';
		if (startsToken && endsToken)
			return true;
	}
	return false;
}

SurfaceFormat convertToCompatibleSurfaceFormat(const SurfaceFormat& format)
{
	switch (format.type())
	{
	case SurfaceFormat::R8G8B8:
	case SurfaceFormat::X8R8G8B8:
	case SurfaceFormat::X8B8G8R8:
		return SurfaceFormat::B8G8R8;
	case SurfaceFormat::A8R8G8B8:
	case SurfaceFormat::P4:
	case SurfaceFormat::P8:
	case SurfaceFormat::A8R3G3B2:
	case SurfaceFormat::A8R3G2B3:
	case SurfaceFormat::DXT1:
	case SurfaceFormat::DXT3:
	case SurfaceFormat::DXT5:
		return SurfaceFormat::A8B8G8R8;
	case SurfaceFormat::R5G5B5:
	case SurfaceFormat::R3G3B2:
	case SurfaceFormat::R3G2B3:
		return SurfaceFormat::R5G6B5;
	case SurfaceFormat::A1R5G5B5:
	case SurfaceFormat::A1B5G5R5:
		return SurfaceFormat::R5G5B5A1;
	case SurfaceFormat::X4R4G4B4:
	case SurfaceFormat::A4R4G4B4:
	case SurfaceFormat::A4B4G4R4:
		return SurfaceFormat::R4G4B4A4;
	case SurfaceFormat::ETC1_RGB_4BPP:
		return hasGLExtension("GL_OES_compressed_ETC1_RGB8_texture") ? format : SurfaceFormat(SurfaceFormat::R5G6B5);
	default:
		return format;
	}
}

EGL_Context* EGL_createContext(int width, int height, Context::OrientationType orientation, void (*present)())
{
	EGL_Context* context = new EGL_Context(width, height, orientation, present);
	createShaders(context);
	return context;
}

void createShaders(EGL_Context* context)
{
	struct Template
	{
		const char* name;
		int flags;
		GLenum source;
		GLenum destination;
	};
	static const Template TEMPLATES[] = {
		{"unlit-plain", 0x1000, GL_ONE, GL_ZERO},
		{"unlit-tex", 0x4000, GL_ONE, GL_ZERO},
		{"unlit-tex-alpha", 0xC000, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
		{"diff-plain", 0x3000, GL_ONE, GL_ZERO},
		{"diff-tex", 0x6000, GL_ONE, GL_ZERO},
		{"diff-tex-alpha", 0xB000, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
		{"sprite", 0x1C000, GL_ONE, GL_ZERO},
		{"sprite-alpha", 0x1C000, GL_ONE, GL_ONE_MINUS_SRC_ALPHA},
		{"sprite-straightalpha", 0x1C000, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
		{"sprite-plain", 0x19000, GL_ONE, GL_ZERO},
		{"sprite-alphaplain", 0x19000, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
		{"lines-debug", 0x9000, GL_ONE, GL_ZERO},
	};
	for (const Template& t : TEMPLATES)
	{
		EGL_Shader_Default* shader = new EGL_Shader_Default(context, t.name, t.flags);
		shader->setBlend((int)t.source, (int)t.destination);
		context->addShaderTemplate(shader);
	}
}

EGL_Context::EGL_Context(int width, int height, OrientationType orientation, void (*present)()) :
	m_batcher(this),
	m_world(1.f),
	m_view(1.f),
	m_projection(1.f),
	m_modelView(1.f),
	m_customModelTransform(1.f),
	m_viewport(-32000, -32000, 32000, 32000),
	m_backBufferWidth(0),
	m_backBufferHeight(0),
	m_nativeWidth(width),
	m_nativeHeight(height),
	m_frontFace(GL_CW),
	m_customModelTransformEnabled(false),
	m_matricesChanged(false),
	m_orientation(ORIENTATION_0),
	m_renderTarget(nullptr),
	m_time(0.f),
	m_fovScaleBias(1.f, 0.f),
	m_bones(nullptr),
	m_boneCount(0),
	m_present(present)
{
	// A new GL context starts from GL's defaults, whatever the shadow remembers of an earlier one.
	EGL_State::sm_current.reset();
	EGL_State::sm_current.frontFace(GL_CW);
	EGL_State::sm_current.enable(GL_DEPTH_TEST);
	reset(width, height);
	setOrientation(orientation);
}

EGL_Context::~EGL_Context()
{
	m_batcher.reset();
	for (EGL_Texture* texture : m_textures)
		texture->detach();
	m_textures.clear();
	m_dynamicPrimitives.clear();
	for (EGL_Primitive* primitive : m_primitives)
		primitive->detach();
	m_primitives.clear();
	for (const lang::Ptr<EGL_Shader>& shader : m_shaderTemplates)
		shader->detach();
	m_shaderTemplates.clear();
	m_plainShader = nullptr;
	m_alphaPlainShader = nullptr;
	m_spriteShader = nullptr;
	m_spriteAlphaShader = nullptr;
	EGL_State::sm_current.reset();
}

int EGL_Context::width() const
{
	return m_orientation == ORIENTATION_90 || m_orientation == ORIENTATION_270 ? m_backBufferHeight : m_backBufferWidth;
}

int EGL_Context::height() const
{
	return m_orientation == ORIENTATION_90 || m_orientation == ORIENTATION_270 ? m_backBufferWidth : m_backBufferHeight;
}

void EGL_Context::reset(int width, int height)
{
	if (width == m_backBufferWidth && height == m_backBufferHeight)
		return;
	m_backBufferWidth = width;
	m_backBufferHeight = height;
	setViewport(Rect(0, 0, this->width(), this->height()));
}

void EGL_Context::setOrientation(OrientationType orientation)
{
	if (orientation == m_orientation)
		return;
	m_orientation = orientation;
	setViewport(Rect(0, 0, width(), height()));
}

void EGL_Context::toWindow(const Rect& r, int* x, int* y, int* w, int* h) const
{
	if (m_renderTarget)
	{
		*x = r.left;
		*y = m_renderTarget->height() - r.bottom;
		*w = r.right - r.left;
		*h = r.bottom - r.top;
		return;
	}
	const int W = width();
	const int H = height();
	Rect b;
	switch (m_orientation)
	{
	case ORIENTATION_90: b = Rect(H - r.bottom, r.left, H - r.top, r.right); break;
	case ORIENTATION_180: b = Rect(W - r.right, H - r.bottom, W - r.left, H - r.top); break;
	case ORIENTATION_270: b = Rect(r.top, W - r.right, r.bottom, W - r.left); break;
	default: b = r; break;
	}
	*x = b.left;
	*y = m_backBufferHeight - b.bottom;
	*w = b.right - b.left;
	*h = b.bottom - b.top;
}

void EGL_Context::setViewport(const Rect& rect)
{
	m_batcher.flush();
	m_viewport = rect;
	int x, y, w, h;
	toWindow(rect, &x, &y, &w, &h);
	EGL_State::sm_current.viewport(x, y, w, h);
}

void EGL_Context::setClipRect(const Rect& rect)
{
	EGL_State& state = EGL_State::sm_current;
	int x, y, w, h;
	toWindow(rect, &x, &y, &w, &h);
	const int targetWidth = m_renderTarget ? m_renderTarget->width() : m_backBufferWidth;
	const int targetHeight = m_renderTarget ? m_renderTarget->height() : m_backBufferHeight;
	// A clip that covers the whole target clips nothing; with the test off, clears and fills take GL's fast paths.
	if (x <= 0 && y <= 0 && (long long)x + w >= targetWidth && (long long)y + h >= targetHeight)
	{
		state.disable(GL_SCISSOR_TEST);
		return;
	}
	state.enable(GL_SCISSOR_TEST);
	state.scissor(x, y, std::max(w, 0), std::max(h, 0));
}

void EGL_Context::setRenderTarget(Texture* texture)
{
	m_batcher.flush();
	m_renderTarget = texture;
	GLuint framebuffer = EAGLBackbufferFrameBuffer;
	int w = width();
	int h = height();
	if (texture)
	{
		framebuffer = static_cast<EGL_Texture*>(texture)->glFramebuffer();
		w = texture->width();
		h = texture->height();
	}
	gl().glBindFramebufferOES(GL_FRAMEBUFFER_OES, framebuffer);
	setViewport(Rect(0, 0, w, h));
}

void EGL_Context::setProjection(const math::float4x4& projection)
{
	EGL_State& state = EGL_State::sm_current;
	state.matrixMode(GL_PROJECTION);
	if (m_renderTarget)
		m_projection = projection;
	else
	{
		switch (m_orientation)
		{
		case ORIENTATION_90: m_projection = rot90 * projection; break;
		case ORIENTATION_180: m_projection = rot180 * projection; break;
		case ORIENTATION_270: m_projection = rot270 * projection; break;
		default: m_projection = projection; break;
		}
	}
	state.loadMatrix(m_projection);
}

void EGL_Context::setOrthographicProjection()
{
	setProjection(math::float4x4(1.f));
}

void EGL_Context::setPerspectiveProjection(float fov, float front, float back, float aspect)
{
	math::float4x4 projection;
	projection.setPerspectiveProjection(fov, front, back, aspect);
	setProjection(projection);
}

void EGL_Context::setWorldMatrix(const math::float4x4& world)
{
	m_world = world;
	m_matricesChanged = true;
}

void EGL_Context::setViewMatrix(const math::float4x4& view)
{
	m_view = view;
	m_matricesChanged = true;
}

void EGL_Context::applyViewMatrix()
{
	EGL_State::sm_current.matrixMode(GL_MODELVIEW);
	EGL_State::sm_current.loadMatrix(m_view);
}

void EGL_Context::applyModelViewMatrix(const math::float4& scaleBias)
{
	if (m_matricesChanged)
	{
		m_modelView = m_view * m_world;
		m_matricesChanged = false;
	}
	math::float4x4 m = m_modelView;
	const float s = scaleBias.x;
	if (scaleBias.y != 0.f || scaleBias.z != 0.f || scaleBias.w != 0.f)
		m.setColumn(3, m_modelView.getColumn(3) + m_modelView.getColumn(0) * scaleBias.y
			+ m_modelView.getColumn(1) * scaleBias.z + m_modelView.getColumn(2) * scaleBias.w);
	if (s != 1.f)
		for (int c = 0; c < 3; ++c)
			m.setColumn(c, m_modelView.getColumn(c) * s);
	EGL_State::sm_current.matrixMode(GL_MODELVIEW);
	EGL_State::sm_current.loadMatrix(m);
}

void EGL_Context::getColorF(unsigned colour, float* rgba)
{
	rgba[0] = (float)((colour >> 16) & 0xFF) / 255.f;
	rgba[1] = (float)((colour >> 8) & 0xFF) / 255.f;
	rgba[2] = (float)(colour & 0xFF) / 255.f;
	rgba[3] = (float)(colour >> 24) / 255.f;
}

void EGL_Context::clear(unsigned colour, bool colourBuffer, bool depthBuffer, bool stencilBuffer)
{
	m_batcher.flush();
	setClipRect(m_state2D.clipRect);
	EGL_State& state = EGL_State::sm_current;
	GLbitfield mask = 0;
	if (colourBuffer)
	{
		float rgba[4];
		getColorF(colour, rgba);
		state.clearColor(math::float4(rgba[0], rgba[1], rgba[2], rgba[3]));
		mask |= GL_COLOR_BUFFER_BIT;
	}
	if (depthBuffer)
	{
		state.depthMask(true);
		mask |= GL_DEPTH_BUFFER_BIT;
	}
	if (stencilBuffer)
		mask |= GL_STENCIL_BUFFER_BIT;
	if (mask)
		gl().glClear(mask);
	if (depthBuffer)
		state.depthMask(false);
}

void EGL_Context::present()
{
	m_batcher.flush();
	if (m_present)
		m_present();
}

void EGL_Context::flipWindingOrder()
{
	m_batcher.flush();
	m_frontFace = m_frontFace == GL_CW ? GL_CCW : GL_CW;
	EGL_State::sm_current.frontFace(m_frontFace);
}

void EGL_Context::addShaderTemplate(EGL_Shader* shader)
{
	m_shaderTemplates.push_back(shader);
}

Shader* EGL_Context::createShader(const lang::String& name, int flags)
{
	const io::PathName path(name);
	const lang::String baseName(path.basename());
	for (const lang::Ptr<EGL_Shader>& shader : m_shaderTemplates)
		if (shader->name() == baseName)
			return shader->clone();
	lang::throwError(GraphicsException(lang::Format("Shader template {0} not found", name)));
}

Shader* EGL_Context::cachedShader(lang::Ptr<Shader>& slot, const char* name)
{
	if (!slot)
		slot = createShader(io::PathName(m_shaderPath, name).toString(), 0);
	return slot;
}

Shader* EGL_Context::plainShader(bool translucent)
{
	return translucent ? cachedShader(m_alphaPlainShader, "sprite-alphaplain") : cachedShader(m_plainShader, "sprite-plain");
}

Shader* EGL_Context::spriteShader(bool alpha)
{
	return alpha ? cachedShader(m_spriteAlphaShader, "sprite-alpha") : cachedShader(m_spriteShader, "sprite");
}

Palette* EGL_Context::createPalette(int entries)
{
	return new EGL_Palette(entries);
}

Primitive* EGL_Context::createPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices, int usage)
{
	EGL_Primitive* primitive = new EGL_Primitive(this, type, format, vertices, indices, usage);
	m_primitives.push_back(primitive);
	return primitive;
}

Primitive* EGL_Context::getDynamicPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices)
{
	for (const lang::Ptr<EGL_Primitive>& primitive : m_dynamicPrimitives)
		if (primitive->vertexFormat() == format && primitive->type() == type && primitive->vertices() >= vertices && primitive->indices() >= indices)
			return primitive;
	EGL_Primitive* primitive = new EGL_Primitive(this, type, format, roundUp32(vertices), roundUp32(indices), USAGE_DYNAMIC);
	m_primitives.push_back(primitive);
	m_dynamicPrimitives.push_back(primitive);
	return primitive;
}

Texture* EGL_Context::createTexture(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette, int flags)
{
	const SurfaceFormat textureFormat = convertToCompatibleSurfaceFormat(format);
	if (isPVRTC(textureFormat) && !hasGLExtension(PVRTC_EXTENSION))
		lang::throwError(GraphicsException(lang::Format("PVRTC textures need {0}, which this OpenGL ES lacks", PVRTC_EXTENSION)));
	EGL_Texture* texture = new EGL_Texture(this, width, height, mipLevels, textureFormat, static_cast<EGL_Palette*>(palette), flags);
	++statistics.allocatedTextures;
	statistics.allocatedTextureMemory += texture->format().getMemoryUsage(width, height);
	m_textures.push_back(texture);
	return texture;
}

Image* EGL_Context::createImage(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette)
{
	EGL_Image* image = new EGL_Image(this, width, height, mipLevels, convertToCompatibleSurfaceFormat(format), palette);
	++statistics.allocatedImages;
	statistics.allocatedImageMemory += image->format().getMemoryUsage(width, height);
	return image;
}

CubeTexture* EGL_Context::createCubeTexture(const lang::String& name)
{
	lang::throwError(GraphicsException(lang::Format("Cube textures not supported")));
}

template <class Target>
void EGL_Context::readSurfaces(img::ImageReader& reader, Target* target, const SurfaceFormat& format, int* memory)
{
	std::vector<unsigned char> buffer;
	for (int level = 0; level < reader.mipLevels(); ++level)
	{
		const int w = reader.surfaceWidth();
		const int h = reader.surfaceHeight();
		const int bytes = format.getMemoryUsage(w, h);
		buffer.assign((size_t)std::max(bytes, 32), 0);
		reader.readSurface(buffer.data(), format.getMemoryUsage(w, 1), w, h, format, nullptr, SurfaceFormat());
		target->blt(0, 0, buffer.data(), format.getMemoryUsage(w, 1), level, w, h, format, nullptr, SurfaceFormat());
		if (level > 0)
			*memory += bytes;
	}
}

namespace
{

/** An image file opened for reading: its stream, its reader (released first) and what its header says. */
struct ImageFile
{
	io::FileInputStream in;
	lang::Ptr<img::ImageReader> reader;
	SurfaceFormat format;
	int width;
	int height;
	/** Levels below the first. */
	int mips;

	explicit ImageFile(const lang::String& name) :
		in(name),
		reader(new img::ImageReader(&in, io::guessFileFormat(name))),
		format(reader->format()),
		width(reader->surfaceWidth()),
		height(reader->surfaceHeight()),
		mips(reader->mipLevels() - 1)
	{
		// The reader hands PVRTC data on as it is, which a GL without the extension would draw blank.
		if (isPVRTC(format) && !hasGLExtension(PVRTC_EXTENSION))
			lang::throwError(GraphicsException(lang::Format("Can't load {0}: PVRTC textures need {1}, which this OpenGL ES lacks", name, PVRTC_EXTENSION)));
	}
};

} // namespace

Texture* EGL_Context::createTexture(const lang::String& name)
{
	ImageFile file(name);
	std::unique_ptr<Texture> texture(createTexture(file.width, file.height, file.mips, file.format, nullptr, USAGE_FILE));
	texture->setName(name);
	lang::Debug::printf("Loading texture %s: %dx%d %s (as %s) mips: %d\n", name.c_str(), file.width, file.height,
		file.format.toString(), texture->format().toString(), file.mips);
	readSurfaces(*file.reader, texture.get(), texture->format(), &statistics.allocatedTextureMemory);
	return texture.release();
}

Image* EGL_Context::createImage(const lang::String& name)
{
	ImageFile file(name);
	std::unique_ptr<Image> image(createImage(file.width, file.height, file.mips, file.format, nullptr));
	Texture* texture = image->getTexture();
	texture->setName(name);
	lang::Debug::printf("Loading image %s: %dx%d %s (as %dx%d %s) mips: %d\n", name.c_str(), file.width, file.height,
		file.format.toString(), texture->width(), texture->height(), image->format().toString(), file.mips);
	readSurfaces(*file.reader, image.get(), image->format(), &statistics.allocatedImageMemory);
	return image.release();
}

void EGL_Context::removeTexture(Texture* texture)
{
	m_textures.erase(std::remove(m_textures.begin(), m_textures.end(), texture), m_textures.end());
}

void EGL_Context::removePrimitive(EGL_Primitive* primitive)
{
	m_primitives.erase(std::remove(m_primitives.begin(), m_primitives.end(), primitive), m_primitives.end());
}

void EGL_Context::hibernateContext()
{
	lang::Debug::printf("Before release:\n");
	if (isTextureShadowingEnabled())
	{
		EGL_State& state = EGL_State::sm_current;
		for (int unit = 0; unit < EGL_State::TEXTURE_UNITS; ++unit)
		{
			state.activeTexture(GL_TEXTURE0 + unit);
			state.bindTexture(0);
		}
		state.activeTexture(GL_TEXTURE0);
		for (EGL_Texture* texture : m_textures)
			texture->deallocate();
		gl().glFinish();
	}
	lang::Debug::printf("After release:\n");
}

void EGL_Context::resumeContext()
{
	lang::Debug::printf("resumeContext\n");
	if (isTextureShadowingEnabled())
	{
		for (EGL_Texture* texture : m_textures)
			texture->restore();
		gl().glFinish();
	}
}

math::float4 EGL_Context::plainColour(unsigned colour, bool* opaque) const
{
	float rgba[4];
	getColorF(colour, rgba);
	*opaque = rgba[3] == 1.f && m_state2D.alphaFactor == 1.f;
	// Vertex colours override the shader's colour, so the fade goes into them.
	return math::float4(rgba[0] * 255.f, rgba[1] * 255.f, rgba[2] * 255.f, rgba[3] * m_state2D.alphaFactor * 255.f);
}

bool EGL_Context::rect2DCorners(int x, int y, int width, int height, math::float2* pixels, math::float3* corners) const
{
	const EGL_Transform2D transform(m_state2D, this->width(), this->height());
	transform.quad((float)x, (float)y, (float)width, (float)height, false, pixels, corners);
	return !EGL_Transform2D::culled(corners, 4);
}

void EGL_Context::fillRect2D(unsigned colour, int x, int y, int width, int height)
{
	math::float2 pixels[4];
	math::float3 corners[4];
	if (!rect2DCorners(x, y, width, height, pixels, corners))
		return;
	bool opaque;
	const math::float4 c = plainColour(colour, &opaque);
	const math::float4 colours[4] = {c, c, c, c};
	m_batcher.render(EGL_RenderBatcher::TYPE_QUADS, plainShader(!opaque), corners, nullptr, colours, nullptr, 1);
}

void EGL_Context::drawLine2D(unsigned colour, int x0, int y0, int x1, int y1, int width)
{
	if (x0 == x1 && y0 == y1)
		return;
	const EGL_Transform2D transform(m_state2D, this->width(), this->height());
	// In floats: the ends may be any ints, and their difference may not fit one.
	const float dx = (float)x1 - (float)x0;
	const float dy = (float)y1 - (float)y0;
	const math::float3 ends[2] = {
		transform.toClip(transform.toPixels((float)x0, (float)y0, 0.f, 0.f)),
		transform.toClip(transform.toPixels((float)x0, (float)y0, dx, dy)),
	};
	if (EGL_Transform2D::culled(ends, 2))
		return;
	bool opaque;
	const math::float4 c = plainColour(colour, &opaque);
	const math::float4 colours[2] = {c, c};
	// Width across the line: a horizontal line is widened by the vertical scale and a vertical one by the horizontal.
	const float length = std::sqrt(dx * dx + dy * dy);
	const float ux = dx / length;
	const float uy = dy / length;
	const float across = std::trunc(ux * ux * m_state2D.scale.y * (float)width) + uy * uy * m_state2D.scale.x * (float)width;
	const int lineWidth = std::max(1, lang::truncateTo<int>(across));
	m_batcher.render(EGL_RenderBatcher::TYPE_LINES, plainShader(!opaque), ends, nullptr, colours, nullptr, lineWidth);
}

void EGL_Context::texturizeRect2D(Image* image, const math::float4& mapping, int x, int y, int width, int height)
{
	math::float2 pixels[4];
	math::float3 corners[4];
	if (!rect2DCorners(x, y, width, height, pixels, corners))
		return;
	const Texture* texture = image->getTexture();
	const float uScale = (float)texture->width() / ((float)image->width() * mapping.x);
	const float vScale = (float)texture->height() / ((float)image->height() * mapping.y);
	math::float2 uv[4];
	for (int i = 0; i < 4; ++i)
		uv[i] = math::float2((pixels[i].x + mapping.z) * uScale, (pixels[i].y + mapping.w) * vScale);
	m_batcher.render(EGL_RenderBatcher::TYPE_TEXTURED_QUADS, image->getShader(), corners, uv, nullptr, image, 1);
}

} // gr
