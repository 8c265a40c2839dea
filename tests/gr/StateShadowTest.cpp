#include <support/RecordingDevice.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/ogles/EGL_State.h>
#include <gtest/gtest.h>

using gr::EGL_State;

TEST(StateShadow, RepeatedStateIssuesNoCall)
{
	RecordingGL gl;
	EGL_State& state = EGL_State::sm_current;
	state.reset();
	const math::float4x4 m(2.f);
	// Each change reaches GL once, however often it is repeated.
	for (int repeat = 0; repeat < 3; ++repeat)
	{
		state.enable(GL_BLEND);
		state.blendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
		state.lineWidth(3.f);
		state.clearColor(math::float4(1.f, 0.f, 0.f, 1.f));
		state.depthMask(false);
		state.frontFace(GL_CW);
		state.activeTexture(GL_TEXTURE1);
		state.bindTexture(5);
		state.bindArrayBuffer(2);
		state.depthFunc(GL_LESS);
		state.matrixMode(GL_PROJECTION);
		state.loadMatrix(m);
		state.viewport(0, 0, 10, 10);
		state.scissor(1, 1, 5, 5);
	}
	const char* once[] = {"glEnable", "glBlendFunc", "glLineWidth", "glClearColor", "glDepthMask", "glFrontFace", "glActiveTexture",
		"glBindTexture", "glBindBuffer", "glDepthFunc", "glMatrixMode", "glLoadMatrixf", "glViewport", "glScissor"};
	for (const char* name : once)
		EXPECT_EQ(1, gl.count(name)) << name;
	EXPECT_EQ(14u, gl.calls.size());
	state.reset();
}

TEST(StateShadow, UnchangedDefaultsIssueNothing)
{
	RecordingGL gl;
	EGL_State& state = EGL_State::sm_current;
	state.reset();
	state.disable(GL_BLEND);
	state.blendFunc(GL_ONE, GL_ZERO);
	state.enable(GL_MULTISAMPLE);
	state.frontFace(GL_CCW);
	state.loadMatrix(math::float4x4(1.f));
	// Dithering is recorded as off: turning it off reaches GL only once something turned it on.
	state.disable(GL_DITHER);
	EXPECT_TRUE(gl.calls.empty());
	state.enable(GL_DITHER);
	state.disable(GL_DITHER);
	EXPECT_EQ(1, gl.count("glDisable", {GL_DITHER}));
}

TEST(StateShadow, Texture2DIsKeptPerUnit)
{
	RecordingGL gl;
	EGL_State& state = EGL_State::sm_current;
	state.reset();
	state.enable(GL_TEXTURE_2D);
	state.activeTexture(GL_TEXTURE1);
	state.enable(GL_TEXTURE_2D);
	state.activeTexture(GL_TEXTURE0);
	state.enable(GL_TEXTURE_2D);
	EXPECT_EQ(2, gl.count("glEnable", {GL_TEXTURE_2D}));
	EXPECT_TRUE(state.isEnabled(GL_TEXTURE_2D));
}

TEST(StateShadow, MatricesAreLoadedTransposedIntoTheWantedMode)
{
	RecordingGL gl;
	EGL_State& state = EGL_State::sm_current;
	state.reset();
	math::float4x4 translation(1.f);
	translation(0, 3) = 7.f;
	state.matrixMode(GL_MODELVIEW);
	state.loadMatrix(translation);
	EXPECT_EQ(0, gl.count("glMatrixMode"));
	state.matrixMode(GL_PROJECTION);
	state.loadMatrix(translation);
	EXPECT_EQ((std::vector<std::string>{"glLoadMatrixf", "glMatrixMode", "glLoadMatrixf"}), gl.names());
	EXPECT_EQ(1, gl.count("glMatrixMode", {GL_PROJECTION}));
	state.reset();
}

namespace
{

/** Calls of one shader pass, begun after the device's own set-up. */
std::vector<std::string> passCalls(RecordingDevice& recorded, gr::Shader* shader)
{
	recorded.gl.clear();
	shader->begin();
	shader->beginPass(0);
	shader->endPass();
	shader->end();
	return recorded.gl.names();
}

} // namespace

TEST(ShaderPass, BlendStateChangesOnlyWhatDiffers)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> sprite = recorded.device->createShader("sprite", 0);
	lang::Ptr<gr::Shader> alpha = recorded.device->createShader("sprite-alpha", 0);
	lang::Ptr<gr::Shader> straight = recorded.device->createShader("sprite-straightalpha", 0);

	passCalls(recorded, alpha);
	passCalls(recorded, sprite);
	EXPECT_EQ(0, recorded.gl.count("glBlendFunc"));
	EXPECT_EQ(1, recorded.gl.count("glDisable", {GL_BLEND}));

	passCalls(recorded, straight);
	passCalls(recorded, alpha);
	EXPECT_EQ(1, recorded.gl.count("glBlendFunc", {GL_ONE, GL_ONE_MINUS_SRC_ALPHA}));
	EXPECT_EQ(0, recorded.gl.count("glEnable", {GL_BLEND}));
}

TEST(ShaderPass, SecondPassOfTheSameShaderOnlySetsTheColour)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("unlit-plain", 0);
	passCalls(recorded, shader);
	EXPECT_EQ((std::vector<std::string>{"glColor4f"}), passCalls(recorded, shader));
	// The material colours start defined: white, opaque.
	EXPECT_EQ(1, recorded.gl.count("glColor4f", {1.0, 1.0, 1.0, 1.0}));
}

TEST(ShaderPass, SecondMapRepeatsItsCombinerSetup)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Texture> a = recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	lang::Ptr<gr::Texture> b = recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("unlit-tex", 0);
	shader->setTexture("BASEMAP", a);
	shader->setTexture("BASEMAP1", b);
	passCalls(recorded, shader);
	const std::vector<std::string> second = passCalls(recorded, shader);
	EXPECT_EQ((std::vector<std::string>{"glColor4f", "glTexEnvi", "glTexEnvi", "glTexEnvi", "glTexEnvi"}), second);
}

TEST(ShaderPass, SpriteWithoutBaseMapDrawsUntextured)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Texture> texture = recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	lang::Ptr<gr::Shader> textured = recorded.device->createShader("sprite", 0);
	textured->setTexture("BASEMAP", texture);
	passCalls(recorded, textured);
	lang::Ptr<gr::Shader> bare = recorded.device->createShader("sprite", 0);
	bare->setTexture(gr::Shader::PARAM_NONE, texture);
	passCalls(recorded, bare);
	EGL_State& state = EGL_State::sm_current;
	state.activeTexture(GL_TEXTURE0);
	EXPECT_FALSE(state.isEnabled(GL_TEXTURE_2D));
	EXPECT_EQ(0u, state.boundTexture(0));
	state.activeTexture(GL_TEXTURE1);
	EXPECT_FALSE(state.isEnabled(GL_TEXTURE_2D));
}

TEST(ShaderPass, LitShaderLoadsTheLightEveryPass)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("diff-tex", 0);
	passCalls(recorded, shader);
	passCalls(recorded, shader);
	EXPECT_EQ(4, recorded.gl.count("glLightfv"));
	EXPECT_EQ(1, recorded.gl.count("glMaterialfv"));
	EXPECT_EQ(0, recorded.gl.count("glEnable", {GL_LIGHTING}));
}

namespace
{

gr::VertexFormat texturedFormat()
{
	gr::VertexFormat format;
	format.addPosition().addTextureCoordinate().addTextureCoordinate();
	return format;
}

} // namespace

TEST(PrimitiveRender, ArraysAreEnabledAndDisabledAroundEachDraw)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Primitive> p = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, texturedFormat(), 3, 0, gr::Context::USAGE_DYNAMIC);
	p->render();
	p->render();
	EXPECT_EQ(6, recorded.gl.count("glEnableClientState"));
	EXPECT_EQ(6, recorded.gl.count("glDisableClientState"));
	// Both texture-coordinate sets end disabled, each on its own client unit.
	EXPECT_EQ(4, recorded.gl.count("glDisableClientState", {GL_TEXTURE_COORD_ARRAY}));
	EXPECT_EQ(GL_TEXTURE1, recorded.gl.last("glClientActiveTexture").args[0]);
}

TEST(PrimitiveRender, IndexRangeGivesCountAndByteOffset)
{
	RecordingDevice recorded;
	gr::VertexFormat format;
	format.addPosition();
	lang::Ptr<gr::Primitive> p = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 4, 12, gr::Context::USAGE_STATIC);
	p->setIndexRangeBegin(6);
	p->setIndexRangeEnd(12);
	p->render();
	EXPECT_EQ(1, recorded.gl.count("glDrawElements", {GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, 12}));
	EXPECT_EQ(2, recorded.device->statistics.renderedTriangles);
}

TEST(PrimitiveRender, TriangleCountFollowsThePrimitiveType)
{
	struct Case { gr::Primitive::PrimType type; int vertices; int triangles; };
	const Case cases[] = {
		{gr::Primitive::PRIM_TRI, 6, 2}, {gr::Primitive::PRIM_TRISTRIP, 6, 4}, {gr::Primitive::PRIM_TRIFAN, 5, 3},
		{gr::Primitive::PRIM_LINE, 6, 0}, {gr::Primitive::PRIM_LINESTRIP, 2, 0}, {gr::Primitive::PRIM_POINT, 1, 0},
		{gr::Primitive::PRIM_TRISTRIP, 1, 0},
	};
	gr::VertexFormat format;
	format.addPosition();
	for (const Case& c : cases)
	{
		RecordingDevice recorded;
		lang::Ptr<gr::Primitive> p = recorded.device->createPrimitive(c.type, format, c.vertices, 0, gr::Context::USAGE_DYNAMIC);
		p->render();
		EXPECT_EQ(c.triangles, recorded.device->statistics.renderedTriangles) << "type " << c.type;
		EXPECT_EQ(c.vertices, recorded.device->statistics.renderedPoints);
	}
}

TEST(PrimitiveRender, TextureScaleBiasLoadsTheTextureMatrixOnlyOnChange)
{
	RecordingDevice recorded;
	gr::VertexFormat format;
	format.addPosition().addTextureCoordinate();
	lang::Ptr<gr::Primitive> plain = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 3, 0, gr::Context::USAGE_DYNAMIC);
	lang::Ptr<gr::Primitive> scaled = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 3, 0, gr::Context::USAGE_DYNAMIC);
	scaled->setVertexTextureCoordinateScaleBias(math::float4(2.f, 0.5f, 0.f, 0.f));
	plain->render();
	EXPECT_EQ(0, recorded.gl.count("glLoadMatrixf"));
	scaled->render();
	plain->render();
	EXPECT_EQ(2, recorded.gl.count("glLoadMatrixf"));
	EXPECT_EQ(1, recorded.gl.count("glMatrixMode", {GL_TEXTURE}));
}

TEST(PrimitiveRender, SortingNeedsAWholeTriangleList)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("unlit-plain", 0);
	shader->setSort(gr::Shader::SORT_OUTSIDEIN);
	gr::VertexFormat format;
	format.addPosition();
	lang::Ptr<gr::Primitive> twoIndices = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 3, 2, gr::Context::USAGE_STATIC);
	lang::Ptr<gr::Primitive> strip = recorded.device->createPrimitive(gr::Primitive::PRIM_TRISTRIP, format, 4, 6, gr::Context::USAGE_STATIC);
	lang::Ptr<gr::Primitive> list = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 4, 6, gr::Context::USAGE_STATIC);
	for (gr::Primitive* p : {twoIndices.ptr(), strip.ptr(), list.ptr()})
		p->setShader(shader);
	twoIndices->render();
	strip->render();
	EXPECT_EQ(0, recorded.gl.count("glBufferData"));
	// Sorting rewrites the indices, and the buffer copies are uploaded again.
	list->render();
	EXPECT_EQ(2, recorded.gl.count("glBufferData"));
}

TEST(DeviceViewport, OrientationTurnsTheRectangleIntoTheBackBuffer)
{
	RecordingDevice portrait(768, 1024, gr::Context::ORIENTATION_90);
	portrait.device->setViewport(gr::Rect(0, 0, 10, 10));
	portrait.device->setViewport(gr::Rect(0, 0, 1024, 768));
	EXPECT_EQ(1, portrait.gl.count("glViewport", {0, 0, 768, 1024}));

	RecordingDevice upsideDown(1024, 768, gr::Context::ORIENTATION_180);
	upsideDown.device->setViewport(gr::Rect(0, 0, 100, 50));
	EXPECT_EQ(1, upsideDown.gl.count("glViewport", {924, 0, 100, 50}));

	RecordingDevice quarter(1024, 768, gr::Context::ORIENTATION_270);
	quarter.device->setViewport(gr::Rect(0, 0, 100, 50));
	EXPECT_EQ(1, quarter.gl.count("glViewport", {0, 0, 50, 100}));
}

TEST(DeviceViewport, ResetTouchesTheViewportOnlyOnANewSize)
{
	RecordingDevice recorded(1024, 768);
	recorded.device->reset(1024, 768);
	EXPECT_EQ(0, recorded.gl.count("glViewport"));
	recorded.device->reset(800, 600);
	EXPECT_EQ(1, recorded.gl.count("glViewport", {0, 0, 800, 600}));
	EXPECT_EQ(gr::Rect(800, 600), recorded.device->viewport());
}

TEST(DeviceViewport, ClipWithRightBeforeLeftHasNoWidth)
{
	RecordingDevice recorded(1024, 768);
	recorded.device->setClipRect(gr::Rect(100, 0, 50, 10));
	EXPECT_EQ(1, recorded.gl.count("glScissor", {100, 758, 0, 10}));
	EXPECT_EQ(1, recorded.gl.count("glEnable", {GL_SCISSOR_TEST}));
}

TEST(DeviceViewport, WindingClearAndProjection)
{
	RecordingDevice recorded(1024, 768);
	recorded.device->flipWindingOrder();
	recorded.device->flipWindingOrder();
	EXPECT_EQ((std::vector<std::string>{"glFrontFace", "glFrontFace"}), recorded.gl.names());
	EXPECT_EQ(GL_CW, recorded.gl.last("glFrontFace").args[0]);

	recorded.gl.clear();
	recorded.device->clear(0xFF000000u, false, false, false);
	EXPECT_EQ(0, recorded.gl.count("glClear"));
	recorded.device->clear(0xFFFF0000u, true, true, false);
	EXPECT_EQ(1, recorded.gl.count("glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}));
	EXPECT_EQ(1, recorded.gl.count("glClearColor", {1.0, 0.0, 0.0, 1.0}));
	EXPECT_FALSE(EGL_State::sm_current.depthMaskEnabled());

	recorded.gl.clear();
	recorded.device->setOrthographicProjection();
	EXPECT_EQ(0, recorded.gl.count("glLoadMatrixf"));
}
