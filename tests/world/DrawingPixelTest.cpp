#include "DrawingFixture.h"
#include "support/HeadlessGL.h"
#include "support/PngEncoder.h"
#include <game/LuaResources.h>

namespace
{

const RGB YELLOW{255, 255, 0};

/** 8 x 8 cells left to right: sky blue, block red, a mask opaque in its left half only, trail yellow. */
ChunkWriter sceneAtlas()
{
	testsupport::PngImage png;
	png.width = 32;
	png.height = 8;
	const RGB colours[4] = {BLUE, RED, BLACK, YELLOW};
	for (int y = 0; y < png.height; ++y)
		for (int x = 0; x < png.width; ++x)
		{
			const int cell = x / 8;
			const bool transparent = cell == 2 && x % 8 >= 4;
			const RGB& c = colours[cell];
			png.pixels.insert(png.pixels.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b),
				static_cast<uint8_t>(transparent ? 0 : 255)});
		}
	const std::vector<uint8_t> bytes = testsupport::encodePng(png);
	ChunkWriter out;
	return out.raw(std::string(bytes.begin(), bytes.end()));
}

ChunkWriter whitePng()
{
	testsupport::PngImage png;
	png.width = 8;
	png.height = 8;
	png.pixels.assign(8 * 8 * 4, 255);
	const std::vector<uint8_t> bytes = testsupport::encodePng(png);
	ChunkWriter out;
	return out.raw(std::string(bytes.begin(), bytes.end()));
}

/** A record at a screen point of the scene's camera (top-left (0, -24), scale 1). */
GameLua::RenderObjectData* placed(const char* name, game::Sprite* sprite, float z, float screenX, float screenY)
{
	GameLua::RenderObjectData* object = new GameLua::RenderObjectData;
	object->name = name;
	object->sprite = sprite;
	object->zOrder = z;
	object->renderX = screenX / 20.0f;
	object->renderY = (screenY - 24.0f) / 20.0f;
	return object;
}

TEST(DrawingPixels, SkyGroundBlocksMaskedBlockAndTrail)
{
	HeadlessGL gl(64, 48);
	ASSERT_TRUE(gl.complete());
	TempDir dir;
	dir.write("atlas.png", sceneAtlas());
	dir.write("white.png", whitePng());
	dir.write("scene.chnk", singleChunkFile("SPRT", sheetBody("atlas.png", {{"sky", 0, 0, 8, 8, 0, 8}, {"block", 8, 0, 8, 8, 4, 4},
		{"mask", 16, 0, 8, 8, 4, 4}, {"TRAIL_WHITE_1", 24, 0, 2, 2, 1, 1}})));
	dir.write("material.chnk", singleChunkFile("SPRT", sheetBody("white.png", {{"material", 0, 0, 8, 8, 0, 0}})));

	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(gl.width(), gl.height(), gr::Context::ORIENTATION_0, nullptr);
	{
		WorldTestOS os;
		WorldTestApp app(&os);
		// The world saves its settings when released.
		WorldFiles files(app);
		lang::Ptr<lua::LuaState> lua = new lua::LuaState;
		lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, device);
		game::Resources& resources = *res->getResources();
		resources.setPath(dir.file("").c_str());
		resources.createSpriteSheet("scene.chnk", false);
		resources.createSpriteSheet("material.chnk", false);
		lang::Ptr<GameLua> world = new GameLua(&app, &resources, lua, device);
		lua->globals().setTable("world", *world);
		runScript(*lua, "world.blockTable = {themes = {t = {skyColor = {r = 0, g = 0, b = 0}, groundColor = {r = 0, g = 255, b = 0},"
			" bgLayers = {{'sky', 'sky', 1, 3}}}}}; world.setTheme('t')");
		GameLuaTestAccess::setCamera(*world, 0.0f, -24.0f, 1.0f);

		// Low block (layer 2) under the masked block (layer 3) under the high block (layer 4).
		std::unique_ptr<GameLua::RenderObjectData> objects[] = {
			std::unique_ptr<GameLua::RenderObjectData>(placed("orb", nullptr, 1.0f, 0.0f, 0.0f)),
			std::unique_ptr<GameLua::RenderObjectData>(placed("low", resources.getSprite("block"), 2.0f, 20.0f, 12.0f)),
			std::unique_ptr<GameLua::RenderObjectData>(placed("masked", resources.getSprite("mask"), 3.0f, 24.0f, 12.0f)),
			std::unique_ptr<GameLua::RenderObjectData>(placed("high", resources.getSprite("block"), 4.0f, 20.0f, 18.0f)),
		};
		objects[0]->isProjectile = true;
		objects[2]->texture = resources.getSpriteSheet("material")->getImage();
		for (const auto& object : objects)
			GameLuaTestAccess::insert(*world, object.get());
		runScript(*lua, "world.addToTrajectory(1, 40, -20)");

		device->clear(0xFF000000u, true, false, false);
		runScript(*lua, "world.drawBackgroundNative(); world.drawGameNative(); world.drawForegroundNative()");
		device->present();
		GameLuaTestAccess::removeAll(*world);
	}

	EXPECT_EQ(BLUE, gl.at(5, 5));
	EXPECT_EQ(BLUE, gl.at(60, 20));
	EXPECT_EQ(GREEN, gl.at(5, 30));
	EXPECT_EQ(GREEN, gl.at(60, 47));
	EXPECT_EQ(RED, gl.at(17, 10));
	// The masked block: material white where its sprite is opaque, the sky through its clear half.
	EXPECT_EQ(WHITE, gl.at(21, 10));
	EXPECT_EQ(WHITE, gl.at(23, 13));
	EXPECT_EQ(BLUE, gl.at(25, 10));
	EXPECT_EQ(RED, gl.at(21, 15));
	EXPECT_EQ(YELLOW, gl.at(39, 3));
	EXPECT_EQ(YELLOW, gl.at(40, 4));
	EXPECT_EQ(BLUE, gl.at(42, 4));
	device = nullptr;
}

// Lines and rectangles reaching far beyond the screen, or to no number, come to the device as
// ints whose differences need not fit one; the shapes drawn after them come out as usual.
TEST(DrawingPixels, ShapesFarBeyondTheScreenOrOfNoNumberLeaveTheOthersDrawn)
{
	HeadlessGL gl(64, 48);
	ASSERT_TRUE(gl.complete());
	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(gl.width(), gl.height(), gr::Context::ORIENTATION_0, nullptr);
	{
		WorldTestOS os;
		WorldTestApp app(&os);
		// The world saves its settings when released.
		WorldFiles files(app);
		lang::Ptr<lua::LuaState> lua = new lua::LuaState;
		lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, device);
		lang::Ptr<GameLua> world = new GameLua(&app, res->getResources(), lua, device);
		lua->globals().setTable("world", *world);
		device->clear(0xFF000000u, true, false, false);
		runScript(*lua, "world.drawRect(1, 1, 1, 1, -1e30, 30, 1e30, 1e30, false)\n"
			"world.drawRect(1, 1, 1, 1, 0/0, 0/0, 0/0, 0/0, false)\n"
			"world.drawLine2D(-1e30, 10, 1e30, 10, 4, 255, 255, 255, 255)\n"
			"world.drawLine2D(0, 0, 0, 48, 1e30, 255, 255, 255, 255)\n"
			"world.drawLine2D(0, 10, 64, 10, 4, 255, 0, 0, 255)\n"
			"world.drawRect(0, 0, 1, 1, 0, 30, 64, 48, false)");
		device->present();
	}
	EXPECT_EQ(RED, gl.at(20, 10));
	EXPECT_EQ(BLUE, gl.at(20, 40));
	device = nullptr;
}

} // namespace
