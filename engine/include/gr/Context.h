#ifndef GR_CONTEXT_H
#define GR_CONTEXT_H

#include <gr/Primitive.h>
#include <gr/Rect.h>
#include <gr/RenderState2D.h>
#include <gr/SurfaceFormat.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/float2.h>
#include <math/float3x4.h>
#include <math/float4.h>
#include <math/float4x4.h>

namespace gr
{

class CubeTexture;
class Image;
class Palette;
class Shader;
class Texture;

/**
 * The rendering device: factory of textures, images, shaders, palettes and primitives, 2D drawing,
 * orientation, projection and present. One per process, created by the application shell and held
 * through lang::Ptr; every operation runs on the thread that owns the GL context.
 */
class Context : public lang::Object
{
public:
	/** Quarter turns of the picture against the back buffer; any other value acts as 0. */
	enum OrientationType : int
	{
		ORIENTATION_0 = 0,
		ORIENTATION_90 = 1,
		ORIENTATION_180 = 2,
		ORIENTATION_270 = 3
	};

	/** Bits given to createPrimitive and, as flags, to createTexture. */
	enum UsageFlags
	{
		USAGE_STATIC = 0,
		USAGE_FILE = 2,
		/** Drawn straight from client memory, no buffer objects (pooled dynamic primitives). */
		USAGE_DYNAMIC = 4,
		USAGE_RENDERTARGET = 8
	};

	/** Public counters; nothing decrements them, the game resets them every frame. */
	struct Statistics
	{
		int renderedFrames;
		int renderedLines;
		int renderedPoints;
		int renderedTriangles;
		int renderedPrimitives;
		/** Textured-quad requests handed to the 2D batcher. */
		int renderedImages;
		/** Batcher flushes that drew textured quads. */
		int renderedImageFlushes;
		/** Bytes. */
		int allocatedTextureMemory;
		int allocatedTextures;
		/** Bytes. */
		int allocatedImageMemory;
		int allocatedImages;

		Statistics()										{ reset(); }
		void reset();
	};

	/** Scoped scene: keeps a counted reference to the device, beginScene at construction, endScene at destruction. */
	class RenderScene
	{
	public:
		explicit RenderScene(Context* context);
		~RenderScene();

		RenderScene(const RenderScene&) = delete;
		RenderScene& operator=(const RenderScene&) = delete;

	private:
		lang::Ptr<Context> m_context;
	};

	Statistics statistics;

	Context() : m_textureShadowing(false) {}

	virtual Shader* createShader(const lang::String& name, int flags) = 0;
	virtual Palette* createPalette(int entries) = 0;
	/** A texture read from an image file, all its mip levels. */
	virtual Texture* createTexture(const lang::String& name) = 0;
	virtual Texture* createTexture(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette, int flags) = 0;
	virtual CubeTexture* createCubeTexture(const lang::String& name) = 0;
	virtual Image* createImage(const lang::String& name) = 0;
	virtual Image* createImage(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette) = 0;
	virtual Primitive* createPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices, int usage) = 0;
	/** A pooled primitive at least that large; owned by the device, callers never release it. */
	virtual Primitive* getDynamicPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices) = 0;

	virtual void begin2D() = 0;
	virtual void end2D() = 0;
	/** Colours are A8R8G8B8 (alpha in the top byte); positions and sizes in screen pixels. */
	virtual void drawLine2D(unsigned colour, int x0, int y0, int x1, int y1, int width) = 0;
	virtual void drawLine2D(unsigned colour, int* points, int count, int width) = 0;
	virtual void drawCircle2D(unsigned colour, int x, int y, int radius, int width) = 0;
	virtual void fillTriangle2D(unsigned colour, int x0, int y0, int x1, int y1, int x2, int y2) = 0;
	virtual void fillRect2D(unsigned colour, int x, int y, int width, int height) = 0;
	virtual void fillCircle2D(unsigned colour, int x, int y, int radius) = 0;
	virtual void texturizeTriangle2D(Image* image, const math::float4& mapping, int x0, int y0, int x1, int y1, int x2, int y2) = 0;
	/** Fills the rectangle with the image repeated every mapping.x by mapping.y pixels, shifted by (mapping.z, mapping.w). */
	virtual void texturizeRect2D(Image* image, const math::float4& mapping, int x, int y, int width, int height) = 0;
	virtual void texturizeCircle2D(Image* image, const math::float4& mapping, int x, int y, int radius) = 0;

	/** The current 2D state, writable in place. */
	virtual RenderState2D& getRenderState2D() = 0;
	virtual const Rect& viewport() const = 0;
	virtual SurfaceFormat surfaceFormat() const = 0;
	/** Logical screen size, orientation applied. */
	virtual int width() const = 0;
	virtual int height() const = 0;
	virtual int nativeWidth() const = 0;
	virtual int nativeHeight() const = 0;
	virtual float time() const = 0;
	virtual const math::float3x4& customModelTransform() const = 0;
	virtual bool customModelTransformEnabled() const = 0;
	/** The projection as loaded, orientation rotation included. */
	virtual const math::float4x4& projectionTransform() const = 0;
	virtual const math::float2& getFovScaleBias() const = 0;
	virtual int platform() const = 0;
	virtual OrientationType orientation() const = 0;
	virtual bool ready() const = 0;
	/** Directory prefix of shader names. */
	virtual const lang::String& shaderPath() const = 0;

	virtual void setRenderState2D(const RenderState2D& state) = 0;
	/** Rectangle in screen coordinates of the current orientation. */
	virtual void setViewport(const Rect& rect) = 0;
	/** Null draws to the screen. */
	virtual void setRenderTarget(Texture* texture) = 0;
	virtual void setWireframeEnabled(bool enabled) = 0;
	virtual void setOrientation(OrientationType orientation) = 0;
	virtual void setFovScaleBias(const math::float2& fovScaleBias) = 0;
	virtual void setCustomModelTransform(const math::float3x4& transform) = 0;
	virtual void setCustomModelTransformEnabled(bool enabled) = 0;
	/** fov in radians. */
	virtual void setPerspectiveProjection(float fov, float front, float back, float aspect) = 0;
	virtual void setOrthographicProjection() = 0;
	virtual void setProjection(const math::float4x4& projection) = 0;
	virtual void setTime(float time) = 0;
	virtual void setShaderPath(const lang::String& path) = 0;
	/** New back-buffer size in pixels. */
	virtual void reset(int width, int height) = 0;
	virtual void setNativeSize(int width, int height) = 0;

	virtual void beginScene() = 0;
	virtual void endScene() = 0;
	virtual void reloadShaders() = 0;
	/** Draws what is queued and shows the frame. */
	virtual void present() = 0;
	virtual void clear(unsigned colour, bool colourBuffer, bool depthBuffer, bool stencilBuffer) = 0;
	virtual void capture(const lang::String& fileName) = 0;
	virtual void flipWindingOrder() = 0;
	/** Releases GL objects before the GL context goes away. */
	virtual void hibernateContext()						{}
	/** Rebuilds them in a new GL context. */
	virtual void resumeContext()						{}

	/** Maps a back-buffer point (as the touch screen reports it) to screen coordinates, in place. */
	void transformPointToScreen(int& x, int& y) const;

	bool isTextureShadowingEnabled() const				{ return m_textureShadowing; }

protected:
	/** Keeps a copy of every texture upload so textures can be rebuilt after a context loss. */
	void setTextureShadowingEnabled(bool enabled)		{ m_textureShadowing = enabled; }

private:
	bool m_textureShadowing;
};

} // gr

#endif
