#include <support/RecordingDevice.h>
#include <gr/Image.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/ogles/EGL_RenderBatcher.h>
#include <gr/ogles/EGL_State.h>
#include <gtest/gtest.h>

namespace
{

/** A 1024 x 768 recording device with two images, for batching tests. */
struct Drawing : public ::testing::Test
{
	RecordingDevice recorded;
	lang::Ptr<gr::Image> a = recorded.device->createImage(32, 32, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);
	lang::Ptr<gr::Image> b = recorded.device->createImage(32, 32, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);
	gr::Context::Statistics& stats = recorded.device->statistics;

	void sprite(gr::Image* image, float x = 10.f, float y = 10.f)	{ image->draw(recorded.device, x, y, 0, 0, 32, 32, 32.f, 32.f); }
	int draws() const									{ return recorded.gl.count("glDrawArrays"); }

	/** Vertex data of the pooled primitive the last flush of that layout drew. */
	std::vector<math::float4> lastVertices(bool uv, bool colours, gr::VertexFormat::DataType type, int count)
	{
		gr::VertexFormat format;
		format.addPosition(gr::VertexFormat::DF_V3_32);
		if (uv)
			format.addTextureCoordinate(gr::VertexFormat::DF_V2_32);
		if (colours)
			format.addDiffuse(gr::VertexFormat::DF_V4_8);
		gr::Primitive* p = recorded.device->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, 1, 0);
		std::vector<math::float4> out((size_t)count);
		p->getVertexData(type, 0, out.data(), count);
		return out;
	}
};

} // namespace

TEST_F(Drawing, SpritesOfOneImageShareOneDraw)
{
	sprite(a);
	sprite(a, 100.f);
	recorded.device->present();
	EXPECT_EQ(1, recorded.gl.count("glDrawArrays", {GL_TRIANGLES, 0, 12}));
	EXPECT_EQ(1, stats.renderedImageFlushes);
	EXPECT_EQ(2, stats.renderedImages);
}

TEST_F(Drawing, AnotherImageBetweenSplitsTheBatch)
{
	sprite(a);
	sprite(b);
	sprite(a);
	recorded.device->present();
	EXPECT_EQ(3, draws());
	EXPECT_EQ(3, stats.renderedImageFlushes);
	recorded.device->present();
	EXPECT_EQ(3, stats.renderedImageFlushes);
}

TEST_F(Drawing, TransformChangesJoinButKeyChangesSplit)
{
	gr::RenderState2D& state = recorded.device->getRenderState2D();
	sprite(a);
	state.setRotation(0.3f);
	state.translation = math::float2(5.f, 5.f);
	state.scale = math::float2(2.f, 2.f);
	state.pivot = math::float2(1.f, 1.f);
	sprite(a);
	recorded.device->present();
	EXPECT_EQ(1, draws());

	struct Change { const char* name; void (*apply)(gr::RenderState2D&); };
	const Change changes[] = {
		{"alphaFactor", [](gr::RenderState2D& s) { s.alphaFactor = 0.5f; }},
		{"clipRect", [](gr::RenderState2D& s) { s.clipRect = gr::Rect(0, 0, 100, 100); }},
		{"batchValue1", [](gr::RenderState2D& s) { s.batchValue1 = 6; }},
		{"batchValue3", [](gr::RenderState2D& s) { s.batchValue3 = 0.25f; }},
	};
	for (const Change& change : changes)
	{
		state = gr::RenderState2D();
		recorded.gl.clear();
		sprite(a);
		change.apply(state);
		sprite(a);
		recorded.device->present();
		EXPECT_EQ(2, draws()) << change.name;
	}
}

TEST_F(Drawing, FirstBatchIsDrawnUnderItsOwnClip)
{
	gr::RenderState2D& state = recorded.device->getRenderState2D();
	state.clipRect = gr::Rect(0, 0, 100, 100);
	sprite(a);
	state.clipRect = gr::Rect(0, 0, 50, 50);
	sprite(a);
	EXPECT_EQ(1, recorded.gl.count("glScissor", {0, 668, 100, 100}));
	EXPECT_EQ(0, recorded.gl.count("glScissor", {0, 718, 50, 50}));
}

TEST_F(Drawing, LinesSplitOnWidthQuadsNever)
{
	gr::EGL_RenderBatcher& batcher = recorded.device->getBatcher();
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("sprite-plain", 0);
	const math::float3 p[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
	const math::float4 c[4] = {{255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}};
	batcher.render(gr::EGL_RenderBatcher::TYPE_LINES, shader, p, nullptr, c, nullptr, 1);
	batcher.render(gr::EGL_RenderBatcher::TYPE_LINES, shader, p, nullptr, c, nullptr, 2);
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, shader, p, nullptr, c, nullptr, 1);
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, shader, p, nullptr, c, nullptr, 3);
	batcher.flush();
	EXPECT_EQ(3, draws());
	EXPECT_EQ(1, recorded.gl.count("glLineWidth", {2}));
	EXPECT_EQ(0, stats.renderedImageFlushes);
}

TEST_F(Drawing, ShaderOrArrayChangesSplit)
{
	gr::EGL_RenderBatcher& batcher = recorded.device->getBatcher();
	lang::Ptr<gr::Shader> opaque = recorded.device->createShader("sprite-plain", 0);
	lang::Ptr<gr::Shader> translucent = recorded.device->createShader("sprite-alphaplain", 0);
	const math::float3 p[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
	const math::float4 c[4] = {{255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}};
	const math::float2 uv[4] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, opaque, p, nullptr, c, nullptr, 1);
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, translucent, p, nullptr, c, nullptr, 1);
	EXPECT_EQ(1, draws());
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, translucent, p, uv, c, nullptr, 1);
	batcher.render(gr::EGL_RenderBatcher::TYPE_QUADS, translucent, p, uv, nullptr, nullptr, 1);
	batcher.flush();
	EXPECT_EQ(4, draws());
	// The translucent quad was drawn blended.
	EXPECT_EQ(1, recorded.gl.count("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
}

TEST_F(Drawing, FlushWithNothingPendingDoesNothing)
{
	recorded.device->getBatcher().flush();
	recorded.device->present();
	EXPECT_EQ(0, draws());
	EXPECT_EQ(0, stats.renderedImageFlushes);
}

TEST_F(Drawing, FullScreenRectangleCornersAndShaders)
{
	recorded.device->fillRect2D(0xFF00FF00u, 0, 0, 1024, 768);
	recorded.device->present();
	const std::vector<math::float4> corners = lastVertices(false, true, gr::VertexFormat::DT_POSITION, 6);
	const math::float4 expected[6] = {{-1, 1, 0.001f, 0}, {1, 1, 0.001f, 0}, {-1, -1, 0.001f, 0}, {-1, -1, 0.001f, 0}, {1, 1, 0.001f, 0}, {1, -1, 0.001f, 0}};
	for (int i = 0; i < 6; ++i)
		EXPECT_EQ(expected[i], corners[i]) << i;
	EXPECT_EQ(0, recorded.gl.count("glEnable", {GL_BLEND}));

	recorded.device->getRenderState2D().alphaFactor = 0.5f;
	recorded.device->fillRect2D(0xFF00FF00u, 0, 0, 10, 10);
	recorded.device->present();
	EXPECT_EQ(1, recorded.gl.count("glEnable", {GL_BLEND}));
	// The fade goes into the vertex colour: half of 255.
	EXPECT_EQ(127.f, lastVertices(false, true, gr::VertexFormat::DT_DIFFUSE, 1)[0].w);
}

TEST_F(Drawing, RotationAppliesToFillsButNotToUnrotatedImages)
{
	gr::RenderState2D& state = recorded.device->getRenderState2D();
	state.rotation[0] = 0.f;
	state.rotation[1] = 1.f;
	state.rotation[2] = -1.f;
	state.rotation[3] = 0.f;
	sprite(a, 0.f, 0.f);
	recorded.device->present();
	EXPECT_EQ(-1.f, lastVertices(true, false, gr::VertexFormat::DT_POSITION, 1)[0].x);
	EXPECT_FLOAT_EQ(-1.f + 64.f / 1024.f, lastVertices(true, false, gr::VertexFormat::DT_POSITION, 2)[1].x);

	recorded.device->fillRect2D(0xFFFFFFFFu, 0, 0, 32, 32);
	recorded.device->present();
	// (32, 0) turned a quarter: lands at (0, 32).
	const math::float4 second = lastVertices(false, true, gr::VertexFormat::DT_POSITION, 2)[1];
	EXPECT_FLOAT_EQ(-1.f, second.x);
	EXPECT_FLOAT_EQ(1.f - 64.f / 768.f, second.y);
}

TEST_F(Drawing, CullingAtTheScreenEdges)
{
	struct Case { float x; bool drawn; };
	const Case cases[] = {{1024.f, false}, {1023.f, true}, {-32.f, true}, {-33.f, false}};
	for (const Case& c : cases)
	{
		recorded.gl.clear();
		sprite(a, c.x, 0.f);
		recorded.device->present();
		EXPECT_EQ(c.drawn ? 1 : 0, draws()) << c.x;
	}
	recorded.gl.clear();
	recorded.device->fillRect2D(0xFFFFFFFFu, 1024, 0, 10, 10);
	recorded.device->drawLine2D(0xFFFFFFFFu, 5, 5, 5, 5, 1);
	recorded.device->present();
	EXPECT_EQ(0, draws());
}

TEST_F(Drawing, SourceRectangleOfAnImageInItsTexture)
{
	lang::Ptr<gr::Image> odd = recorded.device->createImage(100, 60, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);
	odd->draw(recorded.device, 0.f, 0.f, 0, 0, 100, 60, 100.f, 60.f);
	recorded.device->present();
	const std::vector<math::float4> uv = lastVertices(true, false, gr::VertexFormat::DT_TEX0, 6);
	EXPECT_EQ(math::float4(0.f, 0.f, 0.f, 0.f), uv[0]);
	EXPECT_EQ(math::float4(100.f / 128.f, 60.f / 64.f, 0.f, 0.f), uv[5]);
}

TEST_F(Drawing, LineWidthFollowsScaleAcrossTheLine)
{
	struct Case { int x1, y1, width; float scaleX, scaleY; int expected; };
	const Case cases[] = {
		{100, 10, 2, 1.f, 3.f, 6},
		{10, 100, 2, 1.f, 3.f, 2},
		{100, 100, 1, 1.f, 1.f, 1},
		{100, 100, 4, 1.f, 1.f, 3},
		{100, 10, 1, 0.25f, 0.25f, 1},
	};
	for (const Case& c : cases)
	{
		recorded.gl.clear();
		gr::RenderState2D& state = recorded.device->getRenderState2D();
		state.scale = math::float2(c.scaleX, c.scaleY);
		recorded.device->drawLine2D(0xFFFFFFFFu, 10, 10, c.x1, c.y1, c.width);
		recorded.device->present();
		const float width = gr::EGL_State::sm_current.currentLineWidth();
		EXPECT_EQ((float)c.expected, width) << c.x1 << "," << c.y1;
		EXPECT_EQ(1, draws());
	}
}

TEST_F(Drawing, TexturizedRectangleRepeatsTheImage)
{
	recorded.device->texturizeRect2D(a, math::float4(16.f, 16.f, 8.f, 0.f), 0, 0, 64, 32);
	recorded.device->present();
	const std::vector<math::float4> uv = lastVertices(true, false, gr::VertexFormat::DT_TEX0, 6);
	EXPECT_EQ(math::float4(0.5f, 0.f, 0.f, 0.f), uv[0]);
	EXPECT_EQ(math::float4(4.5f, 2.f, 0.f, 0.f), uv[5]);
	EXPECT_EQ(1, stats.renderedImageFlushes);
}
