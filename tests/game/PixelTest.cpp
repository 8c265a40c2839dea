#include "GameTestFiles.h"
#include "support/HeadlessGL.h"
#include "support/PngEncoder.h"
#include <game/BitmapFont.h>
#include <game/SpriteSheet.h>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

const RGB BLACK{0, 0, 0};
const RGB RED{255, 0, 0};
const RGB GREEN{0, 255, 0};
const RGB BLUE{0, 0, 255};

/** A 24 x 8 image of three 8 x 8 squares: red, green, blue. */
ChunkWriter atlasPng()
{
	testsupport::PngImage png;
	png.width = 24;
	png.height = 8;
	for (int y = 0; y < 8; ++y)
		for (int x = 0; x < 24; ++x)
		{
			const RGB c = x < 8 ? RED : (x < 16 ? GREEN : BLUE);
			png.pixels.insert(png.pixels.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b), 255});
		}
	const std::vector<uint8_t> bytes = testsupport::encodePng(png);
	ChunkWriter out;
	return out.raw(std::string(bytes.begin(), bytes.end()));
}

TEST(Pixels, SpriteAndTextLandWhereExpected)
{
	HeadlessGL gl(64, 48);
	ASSERT_TRUE(gl.complete());
	TempDir dir;
	dir.write("atlas.png", atlasPng());
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
