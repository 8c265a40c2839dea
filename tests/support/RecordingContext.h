#ifndef TESTS_SUPPORT_RECORDINGCONTEXT_H
#define TESTS_SUPPORT_RECORDINGCONTEXT_H

#include <gr/Context.h>
#include <gr/Image.h>
#include <gr/Texture.h>
#include <io/FileNotFoundException.h>
#include <lang/Ptr.h>
#include <set>
#include <string>
#include <vector>

class RecordingContext;

/** A texture that only knows its size and name. */
class RecordingTexture : public gr::Texture
{
public:
	RecordingTexture(const lang::String& name, int width, int height) : m_name(name), m_width(width), m_height(height) {}

	int width() const override								{ return m_width; }
	int height() const override								{ return m_height; }
	gr::SurfaceFormat format() const override				{ return gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8); }
	void blt(int, int, const void*, int, int, int, int, const gr::SurfaceFormat&, const void*, const gr::SurfaceFormat&) override {}
	void clear() override									{}
	gr::Rect rect() const override							{ return gr::Rect(m_width, m_height); }
	void getData(void**, int*) const override				{}
	const lang::String& getName() const override			{ return m_name; }
	void setName(const lang::String& name) override			{ m_name = name; }

private:
	lang::String m_name;
	int m_width;
	int m_height;
};

/** One draw of a RecordingImage: where, how large, and which part of the image. */
struct ImageDraw
{
	std::string image;
	float x;
	float y;
	float w;
	float h;
	/** True for the draw with texture coordinates, false for the source-rectangle draw. */
	bool withUV;
	math::float2 uv[4];
	int srcX;
	int srcY;
	int srcWidth;
	int srcHeight;
};

/** An image that appends its draws to the log of the context that made it (which must outlive it). */
class RecordingImage : public gr::Image
{
public:
	RecordingImage(std::vector<ImageDraw>* log, const lang::String& name, int width, int height, gr::Texture* texture) :
		m_log(log), m_name(name), m_width(width), m_height(height), m_texture(texture)
	{
	}

	void draw(gr::Context*, float x, float y, int srcX, int srcY, int srcWidth, int srcHeight, float width, float height) override
	{
		m_log->push_back(ImageDraw{m_name.c_str(), x, y, width, height, false, {}, srcX, srcY, srcWidth, srcHeight});
	}

	void draw(gr::Context*, float x, float y, float width, float height, const math::float2* uv) override
	{
		m_log->push_back(ImageDraw{m_name.c_str(), x, y, width, height, true, {uv[0], uv[1], uv[2], uv[3]}, 0, 0, 0, 0});
	}

	void blt(int, int, const void*, int, int, int, int, const gr::SurfaceFormat&, const void*, const gr::SurfaceFormat&) override {}
	void clear() override									{}
	int width() const override								{ return m_width; }
	int height() const override								{ return m_height; }
	gr::SurfaceFormat format() const override				{ return gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8); }
	void getData(void**, int*) const override				{}
	gr::Texture* getTexture() const override				{ return m_texture; }

	const lang::String& name() const						{ return m_name; }

private:
	std::vector<ImageDraw>* m_log;
	lang::String m_name;
	int m_width;
	int m_height;
	lang::Ptr<gr::Texture> m_texture;
};

/**
 * A rendering device that draws nothing and records what it is asked for: the names of the images
 * and textures it creates, the draws of its images and its 2D rectangles. Images from files get the
 * configured sizes; names in missingFiles fail as a missing file would. Create it before anything
 * that holds its images and destroy it after.
 */
class RecordingContext : public gr::Context
{
public:
	/** Size given to every image read from a file. */
	int imageWidth = 256;
	int imageHeight = 256;
	/** Size of the texture behind such an image; 0 for images without a texture. */
	int textureWidth = 256;
	int textureHeight = 256;
	std::set<std::string> missingFiles;

	std::vector<std::string> createdImages;
	std::vector<std::string> createdTextures;
	std::vector<ImageDraw> imageDraws;
	/** fillRect2D calls as (x, y, width, height). */
	std::vector<gr::Rect> filledRects;
	/** clear calls: the colour and which of the colour, depth and stencil buffers each asked for. */
	struct Clear
	{
		unsigned colour;
		bool colourBuffer;
		bool depthBuffer;
		bool stencilBuffer;
	};
	std::vector<Clear> clears;

	gr::Shader* createShader(const lang::String&, int) override		{ return nullptr; }
	gr::Palette* createPalette(int) override						{ return nullptr; }
	gr::Texture* createTexture(const lang::String& name) override
	{
		failIfMissing(name);
		createdTextures.push_back(name.c_str());
		return new RecordingTexture(name, textureWidth, textureHeight);
	}
	gr::Texture* createTexture(int width, int height, int, const gr::SurfaceFormat&, gr::Palette*, int) override
	{
		createdTextures.push_back("");
		return new RecordingTexture("", width, height);
	}
	gr::CubeTexture* createCubeTexture(const lang::String&) override	{ return nullptr; }
	gr::Image* createImage(const lang::String& name) override
	{
		failIfMissing(name);
		createdImages.push_back(name.c_str());
		gr::Texture* texture = textureWidth > 0 ? new RecordingTexture(name, textureWidth, textureHeight) : nullptr;
		return new RecordingImage(&imageDraws, name, imageWidth, imageHeight, texture);
	}
	gr::Image* createImage(int width, int height, int, const gr::SurfaceFormat&, gr::Palette*) override
	{
		createdImages.push_back("");
		return new RecordingImage(&imageDraws, "", width, height, new RecordingTexture("", width, height));
	}
	gr::Primitive* createPrimitive(gr::Primitive::PrimType, const gr::VertexFormat&, int, int, int) override	{ return nullptr; }
	gr::Primitive* getDynamicPrimitive(gr::Primitive::PrimType, const gr::VertexFormat&, int, int) override	{ return nullptr; }

	void begin2D() override									{}
	void end2D() override									{}
	void drawLine2D(unsigned, int, int, int, int, int) override	{}
	void drawLine2D(unsigned, int*, int, int) override		{}
	void drawCircle2D(unsigned, int, int, int, int) override	{}
	void fillTriangle2D(unsigned, int, int, int, int, int, int) override	{}
	void fillRect2D(unsigned, int x, int y, int width, int height) override	{ filledRects.push_back(gr::Rect(x, y, width, height)); }
	void fillCircle2D(unsigned, int, int, int) override		{}
	void texturizeTriangle2D(gr::Image*, const math::float4&, int, int, int, int, int, int) override	{}
	void texturizeRect2D(gr::Image*, const math::float4&, int, int, int, int) override	{}
	void texturizeCircle2D(gr::Image*, const math::float4&, int, int, int) override	{}

	gr::RenderState2D& getRenderState2D() override			{ return m_state; }
	const gr::Rect& viewport() const override				{ return m_viewport; }
	gr::SurfaceFormat surfaceFormat() const override		{ return gr::SurfaceFormat(gr::SurfaceFormat::R5G6B5); }
	int width() const override								{ return m_viewport.right; }
	int height() const override								{ return m_viewport.bottom; }
	int nativeWidth() const override						{ return m_viewport.right; }
	int nativeHeight() const override						{ return m_viewport.bottom; }
	float time() const override								{ return m_time; }
	const math::float3x4& customModelTransform() const override	{ return m_modelTransform; }
	bool customModelTransformEnabled() const override		{ return false; }
	const math::float4x4& projectionTransform() const override	{ return m_projection; }
	const math::float2& getFovScaleBias() const override	{ return m_fovScaleBias; }
	int platform() const override							{ return 0; }
	OrientationType orientation() const override			{ return ORIENTATION_0; }
	bool ready() const override								{ return true; }
	const lang::String& shaderPath() const override			{ return m_shaderPath; }

	void setRenderState2D(const gr::RenderState2D& state) override	{ m_state = state; }
	void setViewport(const gr::Rect& rect) override			{ m_viewport = rect; }
	void setRenderTarget(gr::Texture*) override				{}
	void setWireframeEnabled(bool) override					{}
	void setOrientation(OrientationType) override			{}
	void setFovScaleBias(const math::float2& fovScaleBias) override	{ m_fovScaleBias = fovScaleBias; }
	void setCustomModelTransform(const math::float3x4& transform) override	{ m_modelTransform = transform; }
	void setCustomModelTransformEnabled(bool) override		{}
	void setPerspectiveProjection(float, float, float, float) override	{}
	void setOrthographicProjection() override				{}
	void setProjection(const math::float4x4& projection) override	{ m_projection = projection; }
	void setTime(float time) override						{ m_time = time; }
	void setShaderPath(const lang::String& path) override	{ m_shaderPath = path; }
	void reset(int width, int height) override				{ m_viewport = gr::Rect(width, height); }
	void setNativeSize(int, int) override					{}

	void beginScene() override								{}
	void endScene() override								{}
	void reloadShaders() override							{}
	void present() override									{}
	void clear(unsigned colour, bool colourBuffer, bool depthBuffer, bool stencilBuffer) override
	{
		clears.push_back(Clear{colour, colourBuffer, depthBuffer, stencilBuffer});
	}
	void capture(const lang::String&) override				{}
	void flipWindingOrder() override						{}

private:
	gr::RenderState2D m_state;
	gr::Rect m_viewport = gr::Rect(1024, 768);
	float m_time = 0.f;
	math::float3x4 m_modelTransform = math::float3x4(1.f);
	math::float4x4 m_projection = math::float4x4(1.f);
	math::float2 m_fovScaleBias;
	lang::String m_shaderPath;

	void failIfMissing(const lang::String& name) const
	{
		if (missingFiles.count(name.c_str()))
			lang::throwError(io::FileNotFoundException(lang::Format("Failed to open {0}", name)));
	}
};

#endif
