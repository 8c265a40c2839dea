#include "GameTestFiles.h"
#include "SquaresPng.h"
#include "support/HeadlessGL.h"
#include <game/BitmapFont.h>
#include <game/SpriteSheet.h>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

TEST(Pixels, SpriteAndTextLandWhereExpected)
{
	HeadlessGL gl(64, 48);
	ASSERT_TRUE(gl.complete());
	TempDir dir;
	dir.write("atlas.png", squaresPng({RED, GREEN, BLUE}));
	const std::string sheetFile = dir.write("sheet.chnk", singleChunkFile("SPRT", sheetBody("atlas.png", {{"red", 0, 0, 8, 8, 4, 4}})));
	// Glyphs stand on the baseline: "A" green, "B" blue, two pixels apart.
	const std::string fontFile = dir.write("font.chnk", singleChunkFile("FONT",
		fontBody("atlas.png", 10, 2, {{'A', 8, 0, 8, 8, 8}, {'B', 16, 0, 8, 8, 8}})));

	lang::Ptr<gr::EGL_Context> device = gr::EGL_createContext(gl.width(), gl.height(), gr::Context::ORIENTATION_0, nullptr);
	{
		lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(device, sheetFile.c_str());
		lang::Ptr<game::BitmapFont> font = new game::BitmapFont(device, fontFile.c_str());
		device->clear(0xFF000000u, true, false, false);
		sheet->getSprite("red")->draw(device, 14, 14, Anchor(Anchor::VPIVOT, Anchor::HPIVOT));
		font->drawString(device, "AB", 20, 40, Anchor(Anchor::BASELINE, Anchor::LEFT));
		device->present();
	}

	EXPECT_EQ(RED, gl.at(10, 10));
	EXPECT_EQ(RED, gl.at(17, 17));
	EXPECT_EQ(BLACK, gl.at(9, 10));
	EXPECT_EQ(BLACK, gl.at(18, 17));

	EXPECT_EQ(GREEN, gl.at(20, 32));
	EXPECT_EQ(GREEN, gl.at(27, 39));
	EXPECT_EQ(BLACK, gl.at(28, 36));
	EXPECT_EQ(BLACK, gl.at(29, 36));
	EXPECT_EQ(BLUE, gl.at(30, 32));
	EXPECT_EQ(BLUE, gl.at(37, 39));
	EXPECT_EQ(BLACK, gl.at(20, 40));
	EXPECT_EQ(BLACK, gl.at(20, 31));
	device = nullptr;
}

} // namespace
