#include <support/RecordingDevice.h>
#include <gr/GraphicsException.h>
#include <gr/Shader.h>
#include <gr/ogles/EGL_Image.h>
#include <gr/ogles/EGL_Palette.h>
#include <gr/ogles/EGL_State.h>
#include <gr/ogles/EGL_Texture.h>
#include <gtest/gtest.h>

namespace
{

std::vector<GLCall> callsNamed(const RecordingGL& gl, const char* name)
{
	std::vector<GLCall> result;
	for (const GLCall& call : gl.calls)
		if (call.name == name)
			result.push_back(call);
	return result;
}

} // namespace

TEST(Texture, MipLevelsAndFilter)
{
	struct Case { int width, height, mipLevels; size_t levels; GLenum minFilter; };
	const Case cases[] = {
		{256, 256, 8, 9, GL_LINEAR_MIPMAP_NEAREST},
		{256, 256, 7, 8, GL_LINEAR},
		{256, 256, 0, 1, GL_LINEAR},
		{256, 64, 8, 9, GL_LINEAR_MIPMAP_NEAREST},
	};
	for (const Case& c : cases)
	{
		RecordingDevice recorded;
		lang::Ptr<gr::Texture> t = recorded.device->createTexture(c.width, c.height, c.mipLevels, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
		const std::vector<GLCall> images = callsNamed(recorded.gl, "glTexImage2D");
		ASSERT_EQ(c.levels, images.size()) << c.width << "x" << c.height << " mips " << c.mipLevels;
		EXPECT_EQ(1, recorded.gl.count("glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, (double)c.minFilter}));
		if (c.height == 64)
		{
			EXPECT_EQ((std::vector<double>{2, 1}), std::vector<double>(images[7].args.begin() + 3, images[7].args.begin() + 5));
			EXPECT_EQ((std::vector<double>{1, 1}), std::vector<double>(images[8].args.begin() + 3, images[8].args.begin() + 5));
		}
	}
}

TEST(Texture, TooLargeNamesTheMaximum)
{
	RecordingDevice recorded;
	try
	{
		recorded.device->createTexture(2049, 16, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
		FAIL();
	}
	catch (const gr::GraphicsException& e)
	{
		EXPECT_STREQ("Texture is too large: 2049x16, maximum supported size: 2048x2048", e.getMessage().format().c_str());
	}
	EXPECT_EQ(0, recorded.gl.count("glGenTextures"));
}

TEST(Texture, FormatWithoutGLMappingIsRefused)
{
	RecordingDevice recorded;
	EXPECT_THROW(recorded.device->createTexture(8, 8, 0, gr::SurfaceFormat::A8, nullptr, 0), gr::GraphicsException);
	EXPECT_THROW(recorded.device->createTexture(8, 8, 0, gr::SurfaceFormat::D24S8, nullptr, 0), gr::GraphicsException);
	EXPECT_EQ(0, recorded.gl.count("glTexImage2D"));
	EXPECT_EQ(0, recorded.device->statistics.allocatedTextures);
}

TEST(Texture, RenderTargetRestoresTheBoundFramebuffer)
{
	RecordingDevice recorded;
	recorded.gl.framebufferBinding = 7;
	lang::Ptr<gr::Texture> target = recorded.device->createTexture(64, 32, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, gr::Context::USAGE_RENDERTARGET);
	EXPECT_EQ(1, recorded.gl.count("glRenderbufferStorageOES", {GL_RENDERBUFFER_OES, GL_DEPTH_COMPONENT16_OES, 64, 32}));
	EXPECT_EQ(7, recorded.gl.last("glBindFramebufferOES").args[1]);
	EXPECT_FALSE(gr::EGL_State::sm_current.depthMaskEnabled());
	EXPECT_EQ(math::float4(1.f, 0.f, 1.f, 1.f), gr::EGL_State::sm_current.currentClearColor());
}

TEST(Texture, IncompleteRenderTargetThrowsAndCleansUp)
{
	RecordingDevice recorded;
	recorded.gl.framebufferBinding = 3;
	recorded.gl.framebufferStatus = GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_OES;
	EXPECT_THROW(recorded.device->createTexture(64, 32, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, gr::Context::USAGE_RENDERTARGET), gr::GraphicsException);
	EXPECT_EQ(3, recorded.gl.last("glBindFramebufferOES").args[1]);
	EXPECT_EQ(1, recorded.gl.count("glDeleteTextures"));
	EXPECT_EQ(1, recorded.gl.count("glDeleteFramebuffersOES"));
	EXPECT_EQ(1, recorded.gl.count("glDeleteRenderbuffersOES"));
}

TEST(Texture, CompressedUploadPassesItsByteCount)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Texture> t = recorded.device->createTexture(8, 8, 0, gr::SurfaceFormat::ETC1_RGB_4BPP, nullptr, 0);
	EXPECT_EQ(0, recorded.gl.count("glTexImage2D"));
	const unsigned char blocks[32] = {};
	t->blt(4, 4, blocks, 0, 0, 8, 8, gr::SurfaceFormat::ETC1_RGB_4BPP, nullptr, gr::SurfaceFormat());
	EXPECT_EQ(1, recorded.gl.count("glCompressedTexImage2D", {GL_TEXTURE_2D, 0, GL_ETC1_RGB8_OES, 8, 8, 0, 32}));
}

TEST(Texture, ShadowRecordsReplayAfterHibernation)
{
	RecordingDevice recorded;
	recorded.device->setTextureShadowingEnabled(true);
	lang::Ptr<gr::EGL_Texture> t = static_cast<gr::EGL_Texture*>(recorded.device->createTexture(2, 2, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0));
	const unsigned pixels[4] = {1, 2, 3, 4};
	t->blt(0, 0, pixels, 8, 0, 2, 2, gr::SurfaceFormat::A8B8G8R8, nullptr, gr::SurfaceFormat());
	EXPECT_EQ(1, t->shadowRecords());
	recorded.device->hibernateContext();
	EXPECT_EQ(0u, t->glTexture());
	recorded.gl.clear();
	recorded.device->resumeContext();
	EXPECT_NE(0u, t->glTexture());
	EXPECT_EQ(1, recorded.gl.count("glTexSubImage2D", {GL_TEXTURE_2D, 0, 0, 0, 2, 2, GL_RGBA, GL_UNSIGNED_BYTE}));
	EXPECT_EQ(1, t->shadowRecords());
}

TEST(Texture, DeletingATextureClearsItsBindingOnEveryUnit)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Texture> texture = recorded.device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	lang::Ptr<gr::Shader> shader = recorded.device->createShader("unlit-tex", 0);
	shader->setTexture("BASEMAP1", texture);
	shader->setTexture("BASEMAP", texture);
	shader->begin();
	shader->beginPass(0);
	shader->end();
	const GLuint name = static_cast<gr::EGL_Texture*>(texture.ptr())->glTexture();
	EXPECT_EQ(name, gr::EGL_State::sm_current.boundTexture(1));
	shader = nullptr;
	texture = nullptr;
	EXPECT_EQ(0u, gr::EGL_State::sm_current.boundTexture(0));
	EXPECT_EQ(0u, gr::EGL_State::sm_current.boundTexture(1));
}

TEST(Texture, ResourcesMayOutliveTheDevice)
{
	RecordingGL gl;
	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(64, 64, gr::Context::ORIENTATION_0, nullptr);
	lang::Ptr<gr::Texture> texture = device->createTexture(4, 4, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, 0);
	lang::Ptr<gr::Image> image = device->createImage(4, 4, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);
	lang::Ptr<gr::Shader> shader = device->createShader("diff-tex", 0);
	gr::VertexFormat format;
	format.addPosition();
	lang::Ptr<gr::Primitive> primitive = device->createPrimitive(gr::Primitive::PRIM_TRI, format, 3, 3, gr::Context::USAGE_STATIC);
	image->draw(device, 0.f, 0.f, 0, 0, 4, 4, 4.f, 4.f);
	device = nullptr;
	gl.clear();
	image->draw(nullptr, 0.f, 0.f, 0, 0, 4, 4, 4.f, 4.f);
	EXPECT_EQ(nullptr, image->getShader());
	shader->setMatrix(gr::Shader::PARAM_WORLDTM, math::float4x4(1.f));
	shader->begin();
	shader->beginPass(0);
	primitive->render();
	shader->end();
	EXPECT_TRUE(gl.calls.empty());
	primitive = nullptr;
	shader = nullptr;
	texture = nullptr;
	image = nullptr;
	EXPECT_EQ(2, gl.count("glDeleteTextures"));
}

TEST(Image, TextureSidesArePowersOfTwo)
{
	RecordingDevice recorded;
	lang::Ptr<gr::Image> image = recorded.device->createImage(100, 60, 0, gr::SurfaceFormat::R8G8B8, nullptr);
	EXPECT_EQ(100, image->width());
	EXPECT_EQ(128, image->getTexture()->width());
	EXPECT_EQ(64, image->getTexture()->height());
	EXPECT_EQ(gr::SurfaceFormat::B8G8R8, image->format().type());
	EXPECT_EQ(0, gr::EGL_Image::nextPowerOfTwo(0));
	EXPECT_EQ(1, gr::EGL_Image::nextPowerOfTwo(1));
	EXPECT_EQ(64, gr::EGL_Image::nextPowerOfTwo(64));
	EXPECT_EQ(1, recorded.device->statistics.allocatedImages);
	EXPECT_EQ(100 * 60 * 3, recorded.device->statistics.allocatedImageMemory);
}

TEST(Palette, EntriesAreReadFromTheirOwnPositionAndStayInBounds)
{
	gr::EGL_Palette palette(4);
	const unsigned colours[4] = {0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u};
	palette.setEntries(0, colours, gr::SurfaceFormat::A8R8G8B8, 4);
	unsigned out[3] = {0, 0, 0xDEADu};
	palette.getEntries(2, out, gr::SurfaceFormat::A8R8G8B8, 2);
	EXPECT_EQ(0xFF000003u, out[0]);
	EXPECT_EQ(0xFF000004u, out[1]);
	EXPECT_EQ(0xDEADu, out[2]);
	// Past the end: only the entries that exist are copied.
	unsigned tail[3] = {0, 0, 0};
	palette.getEntries(3, tail, gr::SurfaceFormat::A8R8G8B8, 3);
	EXPECT_EQ(0xFF000004u, tail[0]);
	EXPECT_EQ(0u, tail[1]);
	palette.setEntries(3, colours, gr::SurfaceFormat::A8R8G8B8, 4);
	palette.getEntries(3, tail, gr::SurfaceFormat::A8R8G8B8, 1);
	EXPECT_EQ(0xFF000001u, tail[0]);
	palette.getEntries(-1, tail, gr::SurfaceFormat::A8R8G8B8, 2);
	EXPECT_EQ(0xFF000001u, tail[1]);
}
