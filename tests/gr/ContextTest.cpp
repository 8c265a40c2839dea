#include <support/RecordingDevice.h>
#include <gr/CubeTexture.h>
#include <gr/GraphicsException.h>
#include <gr/Image.h>
#include <gr/Palette.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/ogles/EGL_Shader_Default.h>
#include <support/CountedObject.h>
#include <gtest/gtest.h>

using gr::Context;

TEST(Context, ShaderParameterNames)
{
	EXPECT_STREQ("NONE", gr::Shader::toString(gr::Shader::PARAM_NONE));
	EXPECT_STREQ("BONEWORLDTM", gr::Shader::toString(gr::Shader::PARAM_BONEWORLDTM));
	EXPECT_STREQ("LIGHTP0", gr::Shader::toString(gr::Shader::PARAM_LIGHTP0));
	EXPECT_STREQ("LIGHTC7", gr::Shader::toString(gr::Shader::PARAM_LIGHTC7));
}

TEST(Context, RectEqualityComparesAllFourSides)
{
	EXPECT_TRUE(gr::Rect(3, 4) == gr::Rect(0, 0, 3, 4));
	EXPECT_FALSE(gr::Rect(0, 0, 3, 4) == gr::Rect(0, 0, 3, 5));
	EXPECT_TRUE(gr::Rect() == gr::Rect(0, 0, 0, 0));
}

namespace
{

class TrackedObject : public gr::ContextObject
{
public:
	TrackedObject(int* live, std::vector<std::string>* log) : ContextObject(CLASSID_SHADER), m_live(live), m_log(log)	{ ++*m_live; }
	~TrackedObject() override							{ --*m_live; m_log->push_back("destroyed"); }
	void lock(int type) override						{ m_log->push_back("lock " + std::to_string(type)); }
	void unlock() override								{ m_log->push_back("unlock"); }

private:
	int* m_live;
	std::vector<std::string>* m_log;
};

} // namespace

TEST(Context, LockKeepsItsObjectAliveUntilUnlocked)
{
	int live = 0;
	std::vector<std::string> log;
	lang::Ptr<TrackedObject> object = new TrackedObject(&live, &log);
	EXPECT_EQ(gr::ContextObject::LOCK_READWRITE, object->locked());
	{
		gr::ContextObject::Lock lock(object, gr::ContextObject::LOCK_WRITE);
		object = nullptr;
		EXPECT_EQ(1, live);
	}
	EXPECT_EQ(0, live);
	EXPECT_EQ((std::vector<std::string>{"lock 2", "unlock", "destroyed"}), log);
}

TEST(Context, EveryDeviceResourceReportsReadAndWrite)
{
	RecordingDevice recorded;
	gr::VertexFormat format;
	format.addPosition();
	lang::Ptr<gr::Primitive> primitive = recorded.device->createPrimitive(gr::Primitive::PRIM_TRI, format, 3, 3, Context::USAGE_STATIC);
	const lang::Ptr<gr::ContextObject> resources[] = {
		primitive,
		recorded.device->createShader("sprite", 0),
		recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0),
		recorded.device->createImage(4, 4, 0, gr::SurfaceFormat::A8R8G8B8, nullptr),
		recorded.device->createPalette(4),
	};
	for (const lang::Ptr<gr::ContextObject>& resource : resources)
		EXPECT_EQ(gr::ContextObject::LOCK_READWRITE, resource->locked()) << "class id " << resource->classId();
	gr::ContextObject::Lock lock(primitive, gr::ContextObject::LOCK_WRITE);
	EXPECT_EQ(gr::ContextObject::LOCK_READWRITE, primitive->locked());
}

TEST(Context, TransformPointToScreenForEachOrientation)
{
	// A 768 x 1024 back buffer, as the tablet's touch screen reports points.
	struct Case { Context::OrientationType orientation; int x, y; int expectedX, expectedY; };
	const Case cases[] = {
		{Context::ORIENTATION_0, 10, 20, 10, 20},
		{Context::ORIENTATION_90, 10, 20, 20, 758},
		{Context::ORIENTATION_180, 0, 0, 768, 1024},
		{Context::ORIENTATION_180, 768, 1024, 0, 0},
		{Context::ORIENTATION_270, 10, 20, 1004, 10},
		{(Context::OrientationType)7, 10, 20, 10, 20},
	};
	for (const Case& c : cases)
	{
		RecordingDevice recorded(768, 1024, c.orientation);
		int x = c.x;
		int y = c.y;
		recorded.device->transformPointToScreen(x, y);
		EXPECT_EQ(c.expectedX, x) << "orientation " << c.orientation;
		EXPECT_EQ(c.expectedY, y) << "orientation " << c.orientation;
	}
}

TEST(Context, LogicalSizeFollowsOrientation)
{
	RecordingDevice recorded(768, 1024, Context::ORIENTATION_90);
	EXPECT_EQ(1024, recorded.device->width());
	EXPECT_EQ(768, recorded.device->height());
	recorded.device->setOrientation(Context::ORIENTATION_180);
	EXPECT_EQ(768, recorded.device->width());
	EXPECT_EQ(1024, recorded.device->height());
}

TEST(Context, RenderSceneKeepsTheDeviceAlive)
{
	RecordingGL gl;
	Context* device = gr::EGL_createContext(64, 64, Context::ORIENTATION_0, nullptr);
	lang::Ptr<Context> holder = device;
	{
		Context::RenderScene scene(device);
		holder = nullptr;
		EXPECT_EQ(1, device->references());
	}
}

TEST(Context, StatisticsResetClearsEveryCounter)
{
	RecordingDevice recorded;
	Context::Statistics& s = recorded.device->statistics;
	lang::Ptr<gr::Texture> texture = recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	EXPECT_EQ(1, s.allocatedTextures);
	EXPECT_EQ(64, s.allocatedTextureMemory);
	s.renderedFrames = 5;
	s.reset();
	const int* counters = &s.renderedFrames;
	for (int i = 0; i < 11; ++i)
		EXPECT_EQ(0, counters[i]) << i;
}

TEST(Context, CreateShaderByBaseNameOfAPath)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("some/dir/sprite-alpha.fx", 0);
	EXPECT_STREQ("sprite-alpha", shader->name().c_str());
	try
	{
		recorded.device->createShader("shaders/nothing.fx", 0);
		FAIL();
	}
	catch (const gr::GraphicsException& e)
	{
		EXPECT_STREQ("Shader template shaders/nothing.fx not found", e.getMessage().format().c_str());
	}
	EXPECT_THROW(recorded.device->createCubeTexture("sky"), gr::GraphicsException);
}

TEST(Context, TwelveTemplatesWithTheirStateBits)
{
	RecordingDevice recorded;
	struct Case { const char* name; int flags; };
	const Case cases[] = {
		{"unlit-plain", 0x1000}, {"unlit-tex", 0x4000}, {"unlit-tex-alpha", 0xC000}, {"diff-plain", 0x3000},
		{"diff-tex", 0x6000}, {"diff-tex-alpha", 0xB000}, {"sprite", 0x1C000}, {"sprite-alpha", 0x1C000},
		{"sprite-straightalpha", 0x1C000}, {"sprite-plain", 0x19000}, {"sprite-alphaplain", 0x19000}, {"lines-debug", 0x9000},
	};
	for (const Case& c : cases)
	{
		lang::Ptr<gr::Shader> shader = recorded.device->createShader(c.name, 0);
		EXPECT_EQ(c.flags, static_cast<gr::EGL_Shader_Default*>(shader.ptr())->flags()) << c.name;
	}
}

TEST(Context, SortModeIsSharedByTemplateAndClones)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> a = recorded.device->createShader("unlit-tex", 0);
	lang::Ptr<gr::Shader> b = recorded.device->createShader("unlit-tex", 0);
	a->setSort(gr::Shader::SORT_BACKTOFRONT);
	EXPECT_EQ(gr::Shader::SORT_BACKTOFRONT, b->sort());
	EXPECT_EQ(gr::Shader::SORT_BACKTOFRONT, lang::Ptr<gr::Shader>(b->clone())->sort());
	EXPECT_EQ(gr::Shader::SORT_NONE, lang::Ptr<gr::Shader>(recorded.device->createShader("unlit-plain", 0))->sort());
}

TEST(Context, CameraPositionIsTakenOnlyBySortingShaders)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("diff-tex", 0);
	shader->setVector(gr::Shader::PARAM_CAMERAP, math::float4(1.f, 2.f, 3.f, 1.f));
	EXPECT_EQ(0.f, recorded.device->cameraPosition().x);
	shader->setSort(gr::Shader::SORT_FRONTTOBACK);
	shader->setVector(gr::Shader::PARAM_CAMERAP, math::float4(1.f, 2.f, 3.f, 1.f));
	EXPECT_EQ(3.f, recorded.device->cameraPosition().z);
}

TEST(Context, DynamicPrimitivesArePooledInSteps)
{
	RecordingDevice recorded;
	gr::VertexFormat format;
	format.addPosition();
	gr::Primitive* first = recorded.device->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, 33, 0);
	EXPECT_EQ(64, first->vertices());
	EXPECT_EQ(first, recorded.device->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, 60, 0));
	EXPECT_NE(first, recorded.device->getDynamicPrimitive(gr::Primitive::PRIM_LINE, format, 60, 0));
	EXPECT_NE(first, recorded.device->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, 65, 0));
	EXPECT_EQ(0, recorded.gl.count("glGenBuffers"));
}

TEST(Context, EtcFallsBackWithoutItsWholeExtensionToken)
{
	struct Case { const char* extensions; gr::SurfaceFormat::SurfaceFormatType expected; };
	const Case cases[] = {
		{"GL_OES_compressed_ETC1_RGB8_texture", gr::SurfaceFormat::ETC1_RGB_4BPP},
		{"GL_A GL_OES_compressed_ETC1_RGB8_texture GL_B", gr::SurfaceFormat::ETC1_RGB_4BPP},
		{"GL_OES_compressed_ETC1_RGB8_texture_x GL_OES_compressed_ETC1_RGB8_texture", gr::SurfaceFormat::ETC1_RGB_4BPP},
		{"GL_OES_compressed_ETC1_RGB8_texture_x", gr::SurfaceFormat::R5G6B5},
		{"", gr::SurfaceFormat::R5G6B5},
	};
	RecordingGL gl;
	for (const Case& c : cases)
	{
		gl.extensions = c.extensions;
		EXPECT_EQ(c.expected, gr::convertToCompatibleSurfaceFormat(gr::SurfaceFormat::ETC1_RGB_4BPP).type()) << c.extensions;
	}
	EXPECT_EQ(gr::SurfaceFormat::A8B8G8R8, gr::convertToCompatibleSurfaceFormat(gr::SurfaceFormat::A8R8G8B8).type());
	EXPECT_EQ(gr::SurfaceFormat::B8G8R8, gr::convertToCompatibleSurfaceFormat(gr::SurfaceFormat::R8G8B8).type());
	EXPECT_EQ(gr::SurfaceFormat::A8B8G8R8, gr::convertToCompatibleSurfaceFormat(gr::SurfaceFormat::P8).type());
	EXPECT_EQ(gr::SurfaceFormat::L8, gr::convertToCompatibleSurfaceFormat(gr::SurfaceFormat::L8).type());
}

TEST(Context, PvrtcIsRefusedWhereTheGLLacksIt)
{
	RecordingDevice recorded;
	EXPECT_THROW(recorded.device->createTexture(8, 8, 0, gr::SurfaceFormat::RGBA_PVRTC_GL_4BPP, nullptr, 0), gr::GraphicsException);
	const std::string file = std::string(__FILE__).substr(0, std::string(__FILE__).rfind('/')) + "/data/pvrtc4.pvr";
	try
	{
		recorded.device->createImage(file.c_str());
		FAIL();
	}
	catch (const gr::GraphicsException& e)
	{
		EXPECT_NE(std::string::npos, std::string(e.getMessage().format().c_str()).find(file));
	}
	recorded.gl.extensions += " GL_IMG_texture_compression_pvrtc";
	EXPECT_EQ(8, lang::Ptr<gr::Texture>(recorded.device->createTexture(file.c_str()))->width());
	lang::Ptr<gr::Texture> texture = recorded.device->createTexture(8, 8, 0, gr::SurfaceFormat::RGBA_PVRTC_GL_4BPP, nullptr, 0);
	EXPECT_EQ(gr::SurfaceFormat::RGBA_PVRTC_GL_4BPP, texture->format().type());
}

TEST(Context, TwoDShadersAreFoundUnderAnyShaderPath)
{
	RecordingDevice recorded;
	recorded.device->setShaderPath("data/shaders.v2");
	EXPECT_STREQ("sprite-plain", recorded.device->plainShader(false)->name().c_str());
	EXPECT_STREQ("sprite-alpha", recorded.device->spriteShader(true)->name().c_str());
}
