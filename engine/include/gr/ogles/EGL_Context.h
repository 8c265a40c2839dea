#ifndef GR_EGL_CONTEXT_H
#define GR_EGL_CONTEXT_H

#include <gr/Context.h>
#include <gr/SortBuffer.h>
#include <gr/ogles/EGL_RenderBatcher.h>
#include <gr/ogles/GLFunctions.h>
#include <vector>

namespace img
{
class ImageReader;
}

/**
 * Name of the on-screen framebuffer, published by the GL view that owns it; the device binds it
 * when its render target is the screen.
 */
extern GLuint EAGLBackbufferFrameBuffer;

namespace gr
{

class EGL_Primitive;
class EGL_Shader;
class EGL_Texture;

/**
 * The rendering device on OpenGL ES 1.1 with the OES framebuffer extension. Created once by
 * EGL_createContext on the thread owning a current GL context, held through lang::Ptr by the
 * application shell; every GL state change goes through EGL_State. Owns its shader templates,
 * dynamic primitive pool and 2D batcher; textures and images belong to their holders and are
 * detached when the device goes first.
 */
class EGL_Context : public Context
{
public:
	/** width and height of the back buffer in pixels; present is called to show each frame (may be null). */
	EGL_Context(int width, int height, OrientationType orientation, void (*present)());
	~EGL_Context();

	Shader* createShader(const lang::String& name, int flags) override;
	Palette* createPalette(int entries) override;
	Texture* createTexture(const lang::String& name) override;
	Texture* createTexture(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette, int flags) override;
	CubeTexture* createCubeTexture(const lang::String& name) override;
	Image* createImage(const lang::String& name) override;
	Image* createImage(int width, int height, int mipLevels, const SurfaceFormat& format, Palette* palette) override;
	Primitive* createPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices, int usage) override;
	Primitive* getDynamicPrimitive(Primitive::PrimType type, const VertexFormat& format, int vertices, int indices) override;

	void begin2D() override								{}
	void end2D() override								{}
	void drawLine2D(unsigned colour, int x0, int y0, int x1, int y1, int width) override;
	void drawLine2D(unsigned colour, int* points, int count, int width) override	{}
	void drawCircle2D(unsigned colour, int x, int y, int radius, int width) override	{}
	void fillTriangle2D(unsigned colour, int x0, int y0, int x1, int y1, int x2, int y2) override	{}
	void fillRect2D(unsigned colour, int x, int y, int width, int height) override;
	void fillCircle2D(unsigned colour, int x, int y, int radius) override	{}
	void texturizeTriangle2D(Image* image, const math::float4& mapping, int x0, int y0, int x1, int y1, int x2, int y2) override	{}
	void texturizeRect2D(Image* image, const math::float4& mapping, int x, int y, int width, int height) override;
	void texturizeCircle2D(Image* image, const math::float4& mapping, int x, int y, int radius) override	{}

	RenderState2D& getRenderState2D() override			{ return m_state2D; }
	const Rect& viewport() const override				{ return m_viewport; }
	SurfaceFormat surfaceFormat() const override		{ return SurfaceFormat::R5G6B5; }
	int width() const override;
	int height() const override;
	int nativeWidth() const override					{ return m_nativeWidth; }
	int nativeHeight() const override					{ return m_nativeHeight; }
	float time() const override							{ return m_time; }
	const math::float3x4& customModelTransform() const override	{ return m_customModelTransform; }
	bool customModelTransformEnabled() const override	{ return m_customModelTransformEnabled; }
	const math::float4x4& projectionTransform() const override	{ return m_projection; }
	const math::float2& getFovScaleBias() const override	{ return m_fovScaleBias; }
	int platform() const override						{ return 1; }
	OrientationType orientation() const override		{ return m_orientation; }
	bool ready() const override							{ return true; }
	const lang::String& shaderPath() const override		{ return m_shaderPath; }

	void setRenderState2D(const RenderState2D& state) override	{ m_state2D = state; }
	void setViewport(const Rect& rect) override;
	void setRenderTarget(Texture* texture) override;
	void setWireframeEnabled(bool enabled) override		{}
	void setOrientation(OrientationType orientation) override;
	void setFovScaleBias(const math::float2& fovScaleBias) override	{ m_fovScaleBias = fovScaleBias; }
	void setCustomModelTransform(const math::float3x4& transform) override	{ m_customModelTransform = transform; }
	void setCustomModelTransformEnabled(bool enabled) override	{ m_customModelTransformEnabled = enabled; }
	void setPerspectiveProjection(float fov, float front, float back, float aspect) override;
	void setOrthographicProjection() override;
	void setProjection(const math::float4x4& projection) override;
	void setTime(float time) override					{ m_time = time; }
	void setShaderPath(const lang::String& path) override	{ m_shaderPath = path; }
	void reset(int width, int height) override;
	void setNativeSize(int width, int height) override	{ m_nativeWidth = width; m_nativeHeight = height; }

	void beginScene() override							{}
	void endScene() override							{}
	void reloadShaders() override						{}
	void present() override;
	void clear(unsigned colour, bool colourBuffer, bool depthBuffer, bool stencilBuffer) override;
	void capture(const lang::String& fileName) override	{}
	void flipWindingOrder() override;
	void hibernateContext() override;
	void resumeContext() override;

	EGL_RenderBatcher& getBatcher()						{ return m_batcher; }

	void setWorldMatrix(const math::float4x4& world);
	void setViewMatrix(const math::float4x4& view);
	const math::float4x4& worldMatrix() const			{ return m_world; }
	/** Loads the view matrix as GL's model-view (lights are then given in view space). */
	void applyViewMatrix();
	/** Loads view x world, scaled by scaleBias.x and offset by (y, z, w), as GL's model-view. */
	void applyModelViewMatrix(const math::float4& scaleBias);

	/** Scissor to a rectangle in screen coordinates (off when it covers the whole target); does not flush the batcher. */
	void setClipRect(const Rect& rect);

	/** A8R8G8B8 to red, green, blue, alpha in 0..1. */
	static void getColorF(unsigned colour, float* rgba);

	/** Appends a template; createShader clones the first one of the requested name. */
	void addShaderTemplate(EGL_Shader* shader);

	/** Camera position used by back-to-front and front-to-back sorting. */
	void setCameraPosition(const math::float3& position)	{ m_cameraPosition = position; }
	const math::float3& cameraPosition() const			{ return m_cameraPosition; }
	/** Bone matrices used when sorting skinned primitives; not owned. */
	void setBoneMatrices(const math::float4x4* bones, int count)	{ m_bones = bones; m_boneCount = count; }
	const math::float4x4* boneMatrices() const			{ return m_bones; }
	int boneCount() const								{ return m_boneCount; }
	SortBuffer& sortBuffer()							{ return m_sortBuffer; }

	/** The device's cached 2D shaders, made from their templates on first use. */
	Shader* plainShader(bool translucent);
	Shader* spriteShader(bool alpha);

	/** Called by a texture's destructor. */
	void removeTexture(Texture* texture);
	/** Called by a primitive's destructor. */
	void removePrimitive(EGL_Primitive* primitive);

	using Context::setTextureShadowingEnabled;

private:
	Shader* cachedShader(lang::Ptr<Shader>& slot, const char* name);
	/** Vertex colour of a plain 2D request, 0..255 with the state's fade folded into alpha; tells whether it is opaque. */
	math::float4 plainColour(unsigned colour, bool* opaque) const;
	/** Pixel and clip-space corners of a 2D rectangle under the current 2D state; false when it lies wholly off screen. */
	bool rect2DCorners(int x, int y, int width, int height, math::float2* pixels, math::float3* corners) const;
	/** Reads every surface of reader into target (a texture or image) in format, counting levels below 0 into memory. */
	template <class Target>
	void readSurfaces(img::ImageReader& reader, Target* target, const SurfaceFormat& format, int* memory);
	/** Rectangle in screen coordinates to GL window coordinates of the current target. */
	void toWindow(const Rect& rect, int* x, int* y, int* w, int* h) const;

	SortBuffer m_sortBuffer;
	std::vector<lang::Ptr<EGL_Shader>> m_shaderTemplates;
	std::vector<lang::Ptr<EGL_Primitive>> m_dynamicPrimitives;
	EGL_RenderBatcher m_batcher;
	RenderState2D m_state2D;
	math::float4x4 m_world;
	math::float4x4 m_view;
	math::float4x4 m_projection;
	math::float4x4 m_modelView;
	math::float3x4 m_customModelTransform;
	Rect m_viewport;
	int m_backBufferWidth;
	int m_backBufferHeight;
	int m_nativeWidth;
	int m_nativeHeight;
	GLenum m_frontFace;
	bool m_customModelTransformEnabled;
	bool m_matricesChanged;
	OrientationType m_orientation;
	Texture* m_renderTarget;
	float m_time;
	math::float2 m_fovScaleBias;
	lang::String m_shaderPath;
	lang::Ptr<Shader> m_plainShader;
	lang::Ptr<Shader> m_alphaPlainShader;
	lang::Ptr<Shader> m_spriteShader;
	lang::Ptr<Shader> m_spriteAlphaShader;
	std::vector<EGL_Texture*> m_textures;
	/** Every live primitive this device created, pooled ones included; not owned. */
	std::vector<EGL_Primitive*> m_primitives;
	math::float3 m_cameraPosition;
	const math::float4x4* m_bones;
	int m_boneCount;
	void (*m_present)();
};

/**
 * The picture's quarter turns: rotations about the z axis by -pi/2, pi and +pi/2 radians, which the
 * device multiplies onto the projection (on the left) for orientations 1, 2 and 3.
 */
extern const math::float4x4 rot90;
extern const math::float4x4 rot180;
extern const math::float4x4 rot270;

/** Creates the device and registers the twelve fixed-function shader templates with it. */
EGL_Context* EGL_createContext(int width, int height, Context::OrientationType orientation, void (*present)());

/** Registers the shader templates, in their fixed order. */
void createShaders(EGL_Context* context);

/** True when the current GL lists the extension as a whole token. */
bool hasGLExtension(const char* name);

/** The format a texture of format is stored in on this GL. */
SurfaceFormat convertToCompatibleSurfaceFormat(const SurfaceFormat& format);

} // gr

#endif
