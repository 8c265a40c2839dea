#include "GameTestFiles.h"
#include "SquaresPng.h"
#include "audio/AudioTestData.h"
#include "lua/ScriptRunner.h"
#include <game/LuaResources.h>
#include <gtest/gtest.h>
#include <cstdlib>

namespace
{

TEST(ResScript, LoadsDrawsAndPlaysEverythingThroughTheScriptTable)
{
	setenv("ALSOFT_DRIVERS", "null", 0);
	HeadlessGL gl(64, 48);
	ASSERT_TRUE(gl.complete());
	TempDir dir;
	dir.write("atlas.png", squaresPng({RED, GREEN}));
	dir.write("sheet.chnk", singleChunkFile("SPRT", sheetBody("atlas.png", {{"red", 0, 0, 8, 8, 4, 4}})));
	dir.write("font.chnk", singleChunkFile("FONT", fontBody("atlas.png", 10, 2, {{'G', 8, 0, 8, 8, 8}})));
	ChunkWriter texts;
	texts.chunk("LDAT", stringList({"en_EN"})).chunk("LIDS", stringList({"greeting"})).chunk("TXGP", ::texts({"GG"}));
	ChunkWriter chunks;
	dir.write("texts.chnk", ChunkWriter::file(chunks.chunk("TEXT", versioned(texts))));
	const audiotest::Bytes wav = audiotest::wavFile({{"fmt ", audiotest::fmtBody(1, 1, 22050, 16)},
		{"data", audiotest::sine16(44100, 1, 22050, 440.0, 8000.0)}});
	std::ofstream(dir.file("tone.wav"), std::ios::binary).write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));

	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(gl.width(), gl.height(), gr::Context::ORIENTATION_0, nullptr);
	lang::Ptr<lua::LuaState> lua = new lua::LuaState;
	lang::Ptr<game::LuaResources> res = new game::LuaResources(lua, device);
	lua->globals().setString("dataPath", dir.file("").c_str());
	runScript(*lua, R"(
		res.setPath(dataPath)
		res.createSpriteSheet('sheet.chnk')
		res.createBitmapFont('font.chnk')
		res.useFont('font')
		res.createTextGroupSet('texts.chnk')
		res.loadLocale('texts', 'en_EN')
		res.drawSprite('red', 14, 14)
		res.drawString('texts', 'greeting', 20, 40, 'BASELINE', 'LEFT')
		res.createAudioOutput(1, 16, 22050)
		res.startAudioOutput()
		res.createAudio('tone.wav', 'tone', false)
		id = res.playAudio('tone')
		playing = res.isAudioPlaying(id)
	)");
	device->present();

	EXPECT_TRUE(lua->globals().getBoolean("playing"));
	EXPECT_EQ(RED, gl.at(10, 10));
	EXPECT_EQ(RED, gl.at(17, 17));
	EXPECT_EQ(BLACK, gl.at(18, 17));
	// Two glyphs standing on the baseline, two pixels apart.
	EXPECT_EQ(GREEN, gl.at(20, 32));
	EXPECT_EQ(GREEN, gl.at(27, 39));
	EXPECT_EQ(BLACK, gl.at(28, 36));
	EXPECT_EQ(GREEN, gl.at(30, 32));
	EXPECT_EQ(BLACK, gl.at(20, 40));

	res = nullptr;
	lua = nullptr;
	device = nullptr;
}

} // namespace
