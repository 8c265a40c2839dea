#include "GameTestFiles.h"
#include "support/RecordingContext.h"
#include <game/BitmapFont.h>
#include <lang/Exception.h>
#include <climits>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

/** "A": 10 x 12, baseline 10 below its top; "g": 8 x 14, baseline 8 below its top; tracking 2. */
class BitmapFont : public ::testing::Test
{
protected:
	TempDir dir;
	RecordingContext context;
	const std::vector<GlyphRecord> glyphs = {{'A', 0, 0, 10, 12, 10}, {'g', 10, 0, 8, 14, 8}};
	lang::Ptr<game::BitmapFont> font = read(singleChunkFile("FONT", fontBody("f.png", 18, 2, glyphs)));

	lang::Ptr<game::BitmapFont> read(const ChunkWriter& bytes)
	{
		return new game::BitmapFont(&context, dir.write("font.chnk", bytes).c_str());
	}

	/** Top-left corners of the glyphs drawn. */
	std::vector<std::pair<float, float>> draw(const char* text, float x, float y, Anchor anchor)
	{
		context.imageDraws.clear();
		font->drawString(&context, text, x, y, anchor);
		std::vector<std::pair<float, float>> corners;
		for (const ImageDraw& d : context.imageDraws)
			corners.emplace_back(d.x, d.y);
		return corners;
	}
};

TEST_F(BitmapFont, MetricsComeFromTheGlyphs)
{
	EXPECT_EQ(10, font->getMaxAscending());
	EXPECT_EQ(6, font->getMaxDescending());
	EXPECT_EQ(18, font->getLeading());
	EXPECT_EQ(2, font->getTracking());
	const game::Sprite* g = font->getSheet()->getSprite("103");
	ASSERT_NE(nullptr, g);
	EXPECT_EQ(g, font->getGlyph('g'));
	EXPECT_EQ(0, g->getPivotX());
	EXPECT_EQ(8, g->getPivotY());
	EXPECT_EQ(std::vector<std::string>{dir.file("f.png")}, context.createdImages);
}

TEST_F(BitmapFont, GlyphsFollowTheBaselineWithTracking)
{
	using Corners = std::vector<std::pair<float, float>>;
	EXPECT_EQ(Corners({{80, 40}, {92, 42}}), draw("Ag", 100, 50, Anchor(Anchor::BASELINE, Anchor::RIGHT)));
	EXPECT_EQ(Corners({{90, 40}, {102, 42}}), draw("Ag", 100, 50, Anchor(Anchor::VPIVOT, Anchor::HCENTER)));
	EXPECT_EQ(Corners({{100, 50}, {112, 52}}), draw("Ag", 100, 50, Anchor(Anchor::TOP, Anchor::LEFT)));
	EXPECT_EQ(Corners({{100, 42}}), draw("A", 100, 50, Anchor(Anchor::VCENTER, Anchor::HPIVOT)));
	EXPECT_EQ(Corners({{100, 34}}), draw("A", 100, 50, Anchor(Anchor::BOTTOM, Anchor::LEFT)));
}

TEST_F(BitmapFont, MissingGlyphMeasuresZeroButIsRefusedWhenDrawn)
{
	EXPECT_EQ(12, font->getStringWidth("A?", 0, INT_MAX));
	EXPECT_STREQ("A", font->filter("A?").c_str());
	EXPECT_STREQ("gAg", font->filter("\ngA\xC3\xA4g").c_str());
	for (const char* text : {"A?", "A\n"})
	{
		context.imageDraws.clear();
		try
		{
			font->drawString(&context, text, 0, 0, Anchor());
			ADD_FAILURE() << "drawn";
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ("Trying to draw character not present in font: " + std::to_string(static_cast<unsigned char>(text[1])),
				e.getMessage().format().c_str());
		}
		EXPECT_EQ(1u, context.imageDraws.size());
	}
}

// Ranges count UTF-16 code units and are clipped to the text: a negative begin or a huge count
// must never reach outside it.
TEST_F(BitmapFont, RangesAreClippedToTheText)
{
	struct Case { int begin; int count; int width; size_t drawn; };
	for (const Case c : {
		Case{0, INT_MAX, 42, 4},
		Case{1, 100, 30, 3},
		Case{1, 1, 8, 1},
		Case{5, 3, 0, 0},
		Case{4, 1, 0, 0},
		Case{-3, 2, 20, 2},
		Case{INT_MIN, INT_MAX, 42, 4},
		Case{INT_MAX, INT_MAX, 0, 0},
		Case{2, -1, 0, 0},
		Case{2, INT_MIN, 0, 0}})
	{
		SCOPED_TRACE(testing::Message() << c.begin << ", " << c.count);
		EXPECT_EQ(c.width, font->getStringWidth("AgAg", c.begin, c.count));
		context.imageDraws.clear();
		font->drawString(&context, "AgAg", c.begin, c.count, 0, 0, Anchor());
		EXPECT_EQ(c.drawn, context.imageDraws.size());
	}
}

TEST_F(BitmapFont, EmptyTextDrawsNothingAndMeasuresZero)
{
	EXPECT_EQ(0, font->getStringWidth("", -1, 5));
	font->drawString(&context, "", 0, 0, Anchor(Anchor::VCENTER, Anchor::HCENTER));
	EXPECT_TRUE(context.imageDraws.empty());
	EXPECT_STREQ("", font->filter("").c_str());
}

TEST_F(BitmapFont, CharactersBeyondTheBasicPlaneAreTwoGlyphKeys)
{
	lang::Ptr<game::BitmapFont> wide = read(singleChunkFile("FONT", fontBody("f.png", 0, 1,
		{{0xD83D, 0, 0, 5, 5, 5}, {0xDE00, 0, 0, 6, 5, 5}})));
	EXPECT_EQ(12, wide->getStringWidth("\xF0\x9F\x98\x80", 0, INT_MAX));
	EXPECT_EQ(5, wide->getStringWidth("\xF0\x9F\x98\x80", 0, 1));
}

TEST_F(BitmapFont, HeaderlessFontAndLaterChunkReplacingTheFont)
{
	lang::Ptr<game::BitmapFont> plain = read(fontBody("p.png", 3, -1, glyphs));
	EXPECT_EQ(-1, plain->getTracking());
	EXPECT_EQ(17, plain->getStringWidth("Ag", 0, 2));

	ChunkWriter chunks;
	chunks.chunk("FONT", versioned(fontBody("one.png", 0, 0, glyphs)))
		.chunk("FONT", versioned(fontBody("two.png", 0, 0, {{'x', 0, 0, 4, 4, 2}})));
	lang::Ptr<game::BitmapFont> twice = read(ChunkWriter::file(chunks));
	EXPECT_EQ(nullptr, twice->getGlyph('A'));
	EXPECT_NE(nullptr, twice->getGlyph('x'));
	EXPECT_EQ(2, twice->getMaxAscending());
	EXPECT_EQ(2, twice->getMaxDescending());
}

TEST_F(BitmapFont, FileWithoutFontIsEmpty)
{
	lang::Ptr<game::BitmapFont> empty = read(ChunkWriter::file(ChunkWriter()));
	EXPECT_EQ(nullptr, empty->getSheet());
	EXPECT_EQ(0, empty->getStringWidth("A", 0, 1));
	EXPECT_EQ(0, empty->getTracking());
	EXPECT_THROW(empty->drawString(&context, "A", 0, 0, Anchor()), lang::Exception);
}

} // namespace
