#include <support/HeadlessGL.h>
#include <gr/Image.h>
#include <gr/Texture.h>
#include <lang/Math.h>
#include <gtest/gtest.h>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace
{

std::string dataPath(const char* name)
{
	const std::string file = __FILE__;
	return file.substr(0, file.rfind('/')) + "/data/" + name;
}

/** A 64 x 48 back buffer (not square, so a wrong turn shows) with a device at some orientation. */
class Pixels : public ::testing::TestWithParam<int>
{
protected:
	HeadlessGL gl{64, 48};
	lang::Ptr<gr::EGL_Context> device;

	void SetUp() override
	{
		ASSERT_TRUE(gl.complete());
		device = gr::EGL_createContext(gl.width(), gl.height(), (gr::Context::OrientationType)GetParam(), nullptr);
		device->clear(0xFF000000u, true, false, false);
	}

	void TearDown() override								{ device = nullptr; }

	/** The back-buffer pixel under the centre of screen pixel (x, y) of the device's orientation. */
	RGB screen(int x, int y)
	{
		const float sx = (float)x + 0.5f;
		const float sy = (float)y + 0.5f;
		const float w = (float)device->width();
		const float h = (float)device->height();
		float bx = sx;
		float by = sy;
		switch (device->orientation())
		{
		case gr::Context::ORIENTATION_90: bx = h - sy; by = sx; break;
		case gr::Context::ORIENTATION_180: bx = w - sx; by = h - sy; break;
		case gr::Context::ORIENTATION_270: bx = sy; by = w - sx; break;
		default: break;
		}
		return gl.at((int)std::floor(bx), (int)std::floor(by));
	}

	struct Probe
	{
		int x;
		int y;
		RGB colour;
	};

	/** Expects each probed screen pixel to hold its colour. */
	void expectScreen(std::initializer_list<Probe> probes)
	{
		for (const Probe& p : probes)
			EXPECT_EQ(p.colour, screen(p.x, p.y)) << "at " << p.x << "," << p.y;
	}

	/** A 32 x 32 image of four 16 x 16 quadrants: red, green over blue, white. */
	lang::Ptr<gr::Image> quadrantImage()
	{
		lang::Ptr<gr::Image> image = device->createImage(32, 32, 0, gr::SurfaceFormat::A8R8G8B8, nullptr);
		std::vector<unsigned char> rgba(32 * 32 * 4);
		for (int y = 0; y < 32; ++y)
			for (int x = 0; x < 32; ++x)
			{
				const RGB c = y < 16 ? (x < 16 ? RED : GREEN) : (x < 16 ? BLUE : WHITE);
				unsigned char* p = &rgba[(y * 32 + x) * 4];
				p[0] = (unsigned char)c.r;
				p[1] = (unsigned char)c.g;
				p[2] = (unsigned char)c.b;
				p[3] = 255;
			}
		image->blt(0, 0, rgba.data(), 32 * 4, 0, 32, 32, image->format(), nullptr, gr::SurfaceFormat());
		return image;
	}
};

} // namespace

TEST_P(Pixels, FilledRectangleLandsOnItsPixels)
{
	device->fillRect2D(0xFFFF0000u, 4, 6, 10, 8);
	device->present();
	expectScreen({{4, 6, RED}, {13, 13, RED}, {14, 13, BLACK}, {13, 14, BLACK}, {3, 6, BLACK}});
}

TEST_P(Pixels, TexturedSpriteKeepsItsCornersWhereTheyBelong)
{
	lang::Ptr<gr::Image> image = quadrantImage();
	image->draw(device, 8.f, 4.f, 0, 0, 32, 32, 32.f, 32.f);
	device->present();
	expectScreen({{8, 4, RED}, {39, 4, GREEN}, {8, 35, BLUE}, {39, 35, WHITE}, {7, 4, BLACK}, {40, 35, BLACK}});
}

TEST_P(Pixels, RotatedSpriteTurnsAboutItsPivot)
{
	lang::Ptr<gr::Image> image = quadrantImage();
	gr::RenderState2D& state = device->getRenderState2D();
	state.setRotation(lang::Math::PI);
	state.pivot = math::float2(16.f, 16.f);
	image->draw(device, 8.f, 4.f, 0, 0, 32, 32, 32.f, 32.f);
	device->present();
	// Half a turn: the red corner ends bottom right. Sines of pi are not exactly 0, so allow a little.
	const struct { int x, y; RGB colour; } corners[] = {{38, 34, RED}, {9, 34, GREEN}, {38, 5, BLUE}, {9, 5, WHITE}};
	for (const auto& c : corners)
	{
		const RGB seen = screen(c.x, c.y);
		EXPECT_NEAR(c.colour.r, seen.r, 8) << c.x << "," << c.y;
		EXPECT_NEAR(c.colour.g, seen.g, 8) << c.x << "," << c.y;
		EXPECT_NEAR(c.colour.b, seen.b, 8) << c.x << "," << c.y;
	}
}

TEST_P(Pixels, LineIsDrawnAlongItsLength)
{
	device->drawLine2D(0xFF00FF00u, 2, 20, 30, 20, 1);
	device->present();
	for (int x : {4, 16, 28})
	{
		const bool onLine = screen(x, 20) == GREEN || screen(x, 19) == GREEN;
		EXPECT_TRUE(onLine) << "x " << x;
	}
	EXPECT_EQ(BLACK, screen(16, 24));
	EXPECT_EQ(BLACK, screen(34, 20));
}

TEST_P(Pixels, ClipRectangleTurnsWithTheScreen)
{
	device->getRenderState2D().clipRect = gr::Rect(4, 6, 14, 10);
	device->fillRect2D(0xFFFF0000u, 0, 0, device->width(), device->height());
	device->present();
	expectScreen({{4, 6, RED}, {13, 9, RED}, {3, 6, BLACK}, {4, 5, BLACK}, {14, 9, BLACK}, {13, 10, BLACK}});
}

INSTANTIATE_TEST_SUITE_P(Orientation, Pixels, ::testing::Values(0, 1, 2, 3));

class PixelsUpright : public Pixels
{
};

TEST_P(PixelsUpright, TexturesFromImageFilesShowTheirColours)
{
	for (const char* name : {"quadrants.png", "quadrants.tga"})
	{
		SCOPED_TRACE(name);
		device->clear(0xFF000000u, true, false, false);
		lang::Ptr<gr::Image> image = device->createImage(dataPath(name).c_str());
		ASSERT_EQ(8, image->width()) << name;
		image->draw(device, 0.f, 0.f, 0, 0, 8, 8, 8.f, 8.f);
		device->present();
		expectScreen({{1, 1, RED}, {6, 1, GREEN}, {1, 6, BLUE}, {6, 6, WHITE}});
	}
	lang::Ptr<gr::Texture> texture = device->createTexture(dataPath("quadrants.png").c_str());
	EXPECT_EQ(8, texture->width());
	EXPECT_EQ(dataPath("quadrants.png"), texture->getName().c_str());
}

TEST_P(PixelsUpright, OneImageThriceIsOneFlushAndABAIsThree)
{
	lang::Ptr<gr::Image> a = quadrantImage();
	lang::Ptr<gr::Image> b = quadrantImage();
	for (int i = 0; i < 3; ++i)
		a->draw(device, (float)(i * 16), 0.f, 0, 0, 16, 16, 16.f, 16.f);
	device->present();
	EXPECT_EQ(1, device->statistics.renderedImageFlushes);
	EXPECT_EQ(RED, screen(40, 8));

	device->statistics.reset();
	a->draw(device, 0.f, 20.f, 16, 0, 16, 16, 16.f, 16.f);
	b->draw(device, 16.f, 20.f, 0, 16, 16, 16, 16.f, 16.f);
	a->draw(device, 32.f, 20.f, 16, 16, 16, 16, 16.f, 16.f);
	device->present();
	EXPECT_EQ(3, device->statistics.renderedImageFlushes);
	expectScreen({{8, 28, GREEN}, {24, 28, BLUE}, {40, 28, WHITE}});
}

TEST_P(PixelsUpright, TranslucentFillBlendsOverWhatIsThere)
{
	device->fillRect2D(0xFFFFFFFFu, 0, 0, 20, 20);
	device->fillRect2D(0x80FF0000u, 0, 0, 10, 10);
	device->present();
	const RGB blended = screen(5, 5);
	EXPECT_EQ(255, blended.r);
	EXPECT_NEAR(127, blended.g, 2);
	EXPECT_EQ(WHITE, screen(15, 15));
}

TEST_P(PixelsUpright, AlphaFactorFadesSprites)
{
	lang::Ptr<gr::Image> image = quadrantImage();
	device->getRenderState2D().alphaFactor = 0.5f;
	image->draw(device, 0.f, 0.f, 0, 0, 32, 32, 32.f, 32.f);
	device->present();
	const RGB faded = screen(4, 4);
	EXPECT_NEAR(128, faded.r, 2);
	EXPECT_EQ(0, faded.g);
}

TEST_P(PixelsUpright, RenderTargetReceivesDrawingAndTheScreenComesBack)
{
	lang::Ptr<gr::Texture> target = device->createTexture(32, 32, 0, gr::SurfaceFormat::A8B8G8R8, nullptr, gr::Context::USAGE_RENDERTARGET);
	device->setRenderTarget(target);
	device->fillRect2D(0xFF0000FFu, 0, 0, 16, 16);
	device->getBatcher().flush();
	// The target starts magenta; the fill covers its top-left corner, which GL counts from the bottom.
	unsigned char drawn[4] = {};
	unsigned char untouched[4] = {};
	gr::gl().glReadPixels(2, 29, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, drawn);
	gr::gl().glReadPixels(20, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, untouched);
	EXPECT_EQ((RGB{drawn[0], drawn[1], drawn[2]}), BLUE);
	EXPECT_EQ((RGB{untouched[0], untouched[1], untouched[2]}), (RGB{255, 0, 255}));
	device->setRenderTarget(nullptr);
	device->fillRect2D(0xFF00FF00u, 0, 0, 4, 4);
	device->present();
	EXPECT_EQ(GREEN, screen(1, 1));
	EXPECT_EQ(BLACK, screen(30, 30));
}

INSTANTIATE_TEST_SUITE_P(Orientation0, PixelsUpright, ::testing::Values(0));
