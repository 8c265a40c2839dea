// A level of 200 blocks under a three-layer parallax theme, drawn through the game world's script
// callback, against the same sprites drawn straight through the 2D batcher, into a 1024 x 768
// offscreen framebuffer.
#include "TemporaryDocuments.h"
#include <game/GameTestFiles.h>
#include <lua/ScriptRunner.h>
#include <support/HeadlessGL.h>
#include <support/PngEncoder.h>
#include <world/GameLuaTestAccess.h>
#include <world/WorldTestApp.h>
#include <game/LuaResources.h>
#include <game/Resources.h>
#include <game/Sprite.h>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace
{

const int SCREEN_WIDTH = 1024;
const int SCREEN_HEIGHT = 768;
const int BLOCKS = 200;
const int BLOCK_LAYERS = 6;
// Camera: world pixels at the top-left corner; the ground line y = 0 lies 600 pixels down.
const float CAMERA_X = 300.0f;
const float CAMERA_Y = -600.0f;
const float PIXELS_PER_METRE = 20.0f;
const game::Anchor AT_PIVOT(game::Anchor::VPIVOT, game::Anchor::HPIVOT);

/** A 256 x 256 atlas: three 128-pixel-wide scenery strips and two 32 x 32 blocks, half of them translucent. */
ChunkWriter atlasPng()
{
	testsupport::PngImage png;
	png.width = 256;
	png.height = 256;
	for (int y = 0; y < png.height; ++y)
		for (int x = 0; x < png.width; ++x)
			png.pixels.insert(png.pixels.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y),
				static_cast<uint8_t>((x + y) % 2 ? 255 : 128)});
	const std::vector<uint8_t> bytes = testsupport::encodePng(png);
	ChunkWriter out;
	return out.raw(std::string(bytes.begin(), bytes.end()));
}

struct Tile
{
	float scale;
	float translationX;
	float translationY;
	std::vector<float> xs;
	game::Sprite* sprite;
};

/** The level, its world and its device, shared by every benchmark of the run. */
struct Level
{
	HeadlessGL gl{SCREEN_WIDTH, SCREEN_HEIGHT};
	TempDir dir;
	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(SCREEN_WIDTH, SCREEN_HEIGHT, gr::Context::ORIENTATION_0, nullptr);
	WorldTestOS os;
	WorldTestApp app{&os};
	// Declared before the world, which saves its settings here when it goes.
	TemporaryDocuments documents;
	lang::Ptr<lua::LuaState> lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, device);
	game::Resources& resources = *res->getResources();
	lang::Ptr<GameLua> world;
	std::vector<std::unique_ptr<GameLua::RenderObjectData>> blocks;

	Level()
	{
		dir.write("atlas.png", atlasPng());
		dir.write("level.chnk", singleChunkFile("SPRT", sheetBody("atlas.png", {{"far", 0, 0, 128, 96, 0, 96},
			{"mid", 128, 0, 128, 96, 0, 96}, {"near", 0, 96, 128, 64, 0, 48}, {"wood", 128, 96, 32, 32, 16, 16},
			{"rock", 160, 96, 32, 32, 16, 16}})));
		resources.setPath(dir.file("").c_str());
		resources.createSpriteSheet("level.chnk", false);
		world = new GameLua(&app, &resources, lua, device);
		lua->globals().setTable("world", *world);
		runScript(*lua, "world.blockTable = {themes = {hills = {skyColor = {r = 90, g = 160, b = 255}, groundColor = {r = 60, g = 40, b = 20},"
			" bgLayers = {{'far', 'far', 0.25, 1.5}, {'mid', 'mid', 0.5, 1.25}}, fgLayers = {{'near', 'near', 1, 1}}}}};"
			" world.setTheme('hills');"
			" function world.draw() world.drawBackgroundNative(); world.drawGameNative(); world.drawForegroundNative() end");
		GameLuaTestAccess::setCamera(*world, CAMERA_X, CAMERA_Y, 1.0f);
		for (int i = 0; i < BLOCKS; ++i)
		{
			blocks.push_back(std::make_unique<GameLua::RenderObjectData>());
			GameLua::RenderObjectData& block = *blocks.back();
			block.name = ("block" + std::to_string(i)).c_str();
			block.sprite = resources.getSprite(i % 2 ? "wood" : "rock");
			block.zOrder = static_cast<float>(i % BLOCK_LAYERS);
			block.renderX = (CAMERA_X + 40.0f + static_cast<float>((i * 37) % 940)) / PIXELS_PER_METRE;
			block.renderY = (-40.0f - static_cast<float>((i * 53) % 520)) / PIXELS_PER_METRE;
			block.renderAngle = i % 3 ? 0.1f * static_cast<float>(i) : 0.0f;
			GameLuaTestAccess::insert(*world, &block);
		}
	}

	~Level()
	{
		GameLuaTestAccess::removeAll(*world);
		world = nullptr;
		res = nullptr;
		lua = nullptr;
		device = nullptr;
	}

	/** The scenery tiles as the theme places them with no layer offset. */
	Tile tiles(const char* name, float parallax, float scale)
	{
		game::Sprite* sprite = resources.getSprite(name);
		const float width = static_cast<float>(sprite->getWidth());
		const double phase = std::fmod(static_cast<double>(CAMERA_X) * parallax, static_cast<double>(width * scale));
		const float start = static_cast<float>(-(width * scale + phase) / scale);
		Tile tile{scale, start - std::trunc(start), -CAMERA_Y / scale, {}, sprite};
		for (float x = std::trunc(start); x < static_cast<float>(SCREEN_WIDTH) / scale; x += width)
			tile.xs.push_back(x);
		return tile;
	}

	static Level& get()
	{
		static Level level;
		return level;
	}
};

void BM_WorldDraw(benchmark::State& state)
{
	Level& level = Level::get();
	for (auto _ : state)
	{
		level.device->statistics.reset();
		level.device->clear(0xFF000000u, true, false, false);
		level.world->draw();
		level.device->present();
		gr::gl().glFinish();
	}
	state.counters["sprites"] = static_cast<double>(level.device->statistics.renderedImages);
}

void BM_BatcherDraw(benchmark::State& state)
{
	Level& level = Level::get();
	gr::Context& device = *level.device;
	const Tile layers[3] = {level.tiles("far", 0.25f, 1.5f), level.tiles("mid", 0.5f, 1.25f), level.tiles("near", 1.0f, 1.0f)};
	std::vector<GameLua::RenderObjectData*> order;
	for (int z = 0; z < BLOCK_LAYERS; ++z)
		for (const auto& block : level.blocks)
			if (static_cast<int>(block->zOrder) == z)
				order.push_back(block.get());

	for (auto _ : state)
	{
		device.statistics.reset();
		device.clear(0xFF000000u, true, false, false);
		gr::RenderState2D& rs = device.getRenderState2D();
		for (int i = 0; i < 2; ++i)
		{
			rs.scale = math::float2(layers[i].scale, layers[i].scale);
			rs.translation = math::float2(layers[i].translationX, layers[i].translationY);
			for (float x : layers[i].xs)
				layers[i].sprite->draw(&device, x, 0.0f, AT_PIVOT);
		}
		rs.scale = math::float2(1.0f, 1.0f);
		rs.translation = math::float2(-CAMERA_X, -CAMERA_Y);
		for (const GameLua::RenderObjectData* block : order)
		{
			rs.setRotation(block->renderAngle);
			rs.pivot = math::float2(16.0f, 16.0f);
			block->sprite->draw(&device, block->renderX * PIXELS_PER_METRE, block->renderY * PIXELS_PER_METRE, AT_PIVOT);
		}
		rs = gr::RenderState2D();
		// The ground line: 16 pixels of the near strip stand above its pivot.
		device.fillRect2D(0xFF3C2814u, 0, static_cast<int>(16.0f - CAMERA_Y), SCREEN_WIDTH, SCREEN_HEIGHT);
		rs.scale = math::float2(1.0f, 1.0f);
		rs.translation = math::float2(layers[2].translationX, layers[2].translationY);
		for (float x : layers[2].xs)
			layers[2].sprite->draw(&device, x, 0.0f, AT_PIVOT);
		device.present();
		gr::gl().glFinish();
	}
	state.counters["sprites"] = static_cast<double>(device.statistics.renderedImages);
}

} // namespace

BENCHMARK(BM_WorldDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatcherDraw)->Unit(benchmark::kMillisecond)->UseRealTime();
