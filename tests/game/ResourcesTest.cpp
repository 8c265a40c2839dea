#include "ScriptedResources.h"
#include <game/BitmapFont.h>
#include <lua/LuaException.h>

namespace
{

using Rects = std::vector<std::vector<float>>;

/** "ship": 40 x 30 with its pivot at (10, 25); "fleet": ship alone; "pair": ship twice. */
class Sprites : public ScriptedResources
{
protected:
	Sprites()
	{
		writeSheet("ui.chnk", "ui.png", {{"ship", 0, 0, 40, 30, 10, 25}, {"dot", 50, 0, 4, 4, 2, 2}});
		writeComposites("fleets.chnk", {{"fleet", {{"ship", 0, 0}}}, {"pair", {{"ship", 0, 0}, {"dot", 50, -5}}}});
		run("res.createSpriteSheet('ui.chnk') res.createCompoSpriteSet('fleets.chnk')");
	}
};

TEST_F(Sprites, DrawFormsPlaceTheAnchorPointAndSize)
{
	const struct
	{
		const char* script;
		Rects draws;
	} cases[] = {
		{"res.drawSprite('ship', 100, 200)", {{90, 175, 40, 30}}},
		{"res:drawSprite('ship', 100, 200, 'TOP', 'LEFT')", {{100, 200, 40, 30}}},
		{"res.drawSprite('ship', 100, 200, 'TOP', 'LEFT', 64, 32)", {{100, 200, 64, 32}}},
		{"res.drawSprite('ship', 100, 200, 'TOP', 'LEFT', 64)", {{100, 200, 40, 30}}},
		{"res.drawSprite('ship', 100, 200, 'BOTTOM')", {{90, 170, 40, 30}}},
		{"res:drawCompoSprite('fleet', 100, 200)", {{90, 175, 40, 30}}},
		// A composite keeps its own size.
		{"res.drawSprite('fleet', 100, 200, 'TOP', 'LEFT', 64, 32)", {{100, 200, 40, 30}}},
		{"res.drawSprite('nothing', 100, 200)", {}},
	};
	for (const auto& c : cases)
	{
		context.imageDraws.clear();
		run(c.script);
		EXPECT_EQ(c.draws, drawsOf("ui.png")) << c.script;
	}
	EXPECT_EQ("Invalid anchor: MIDDLE", error("res.drawSprite('ship', 1, 2, 'MIDDLE')"));
}

TEST_F(Sprites, MetricsInBothCallForms)
{
	const struct
	{
		const char* expressions;
		std::vector<float> values;
	} cases[] = {
		{"res.getSpriteBounds('ship')", {40, 30}},
		{"res:getSpriteBounds('ship')", {40, 30}},
		{"res:getSpritePivot('ship')", {10, 25}},
		{"res.getCompoSpriteBounds('fleet')", {-10, -25, 30, 5}},
		{"res.getSpriteBounds('fleet')", {40, 30}},
		{"res.getSpriteBounds('nothing')", {0, 0}},
		{"res:getCompoSpriteBounds('nothing')", {0, 0, 0, 0}},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.values, numbers(c.expressions)) << c.expressions;

	EXPECT_THROW(run("res:getCompoSpriteData('pair')"), lua::LuaException);
	run("data = res.getCompoSpriteData('pair') none = res.getCompoSpriteData('ship')");
	EXPECT_EQ("dot", text("data[2][1]"));
	EXPECT_EQ(std::vector<float>({2, 0, 0, 50, -5}), numbers("#data, data[1][2], data[1][3], data[2][2], data[2][3]"));
	EXPECT_EQ(std::vector<float>({0}), numbers("#none"));
}

TEST_F(Sprites, OverlappingSheetsKeepTheNameOfTheSheetLoadedLast)
{
	writeSheet("a.chnk", "a.png", {{"star", 0, 0, 8, 8, 0, 0}});
	writeSheet("b.chnk", "b.png", {{"star", 0, 0, 16, 16, 0, 0}});
	run("res.createSpriteSheet('a.chnk') res.createSpriteSheet('b.chnk')");
	EXPECT_EQ(registry.getSpriteSheet("b"), registry.findSpriteSheet("star"));

	// Releasing the sheet that lost the name leaves the winner's sprite in place.
	run("res.releaseSpriteSheet('a.chnk')");
	EXPECT_EQ(std::vector<float>({16, 16}), numbers("res.getSpriteBounds('star')"));

	run("res.createSpriteSheet('a.chnk', true)");
	EXPECT_EQ(registry.getSpriteSheet("a"), registry.findSpriteSheet("star"));
	run("res.releaseSpriteSheet('b')");
	EXPECT_EQ(std::vector<float>({8, 8}), numbers("res.getSpriteBounds('star')"));

	run("res.releaseSpriteSheet('dir/a.chnk')");
	EXPECT_EQ(nullptr, registry.getSprite("star"));
	EXPECT_EQ(nullptr, registry.findSpriteSheet("star"));
}

TEST_F(Sprites, LoadsAreKeyedByBaseName)
{
	game::SpriteSheet* sheet = registry.getSpriteSheet("ui");
	ASSERT_NE(nullptr, sheet);
	// Nothing is read for a key already held: there is no such file.
	EXPECT_EQ(sheet, registry.createSpriteSheet("elsewhere/ui.dat", false));
	EXPECT_EQ(nullptr, registry.getSpriteSheet("ui.chnk"));

	// A flag that is not a boolean does not reload.
	writeSheet("ui.chnk", "ui.png", {{"ship", 0, 0, 1, 1, 0, 0}});
	run("res.createSpriteSheet('ui.chnk', 'yes')");
	EXPECT_EQ(std::vector<float>({40, 30}), numbers("res.getSpriteBounds('ship')"));
	run("res.createSpriteSheet('ui.chnk', true)");
	EXPECT_EQ(std::vector<float>({1, 1}), numbers("res.getSpriteBounds('ship')"));
}

TEST_F(Sprites, CompositeAndSpriteSharingANameBelongToTheOneLoadedLast)
{
	writeComposites("shapes.chnk", {{"ship", {{"dot", 0, 0}}}});
	run("res.createCompoSpriteSet('shapes.chnk')");
	EXPECT_EQ(nullptr, registry.getSprite("ship"));
	EXPECT_NE(nullptr, registry.getCompoSprite("ship"));
	EXPECT_NE(nullptr, registry.findCompoSpriteSet("ship"));
	EXPECT_EQ(nullptr, registry.findSpriteSheet("ship"));
	EXPECT_EQ(std::vector<float>({4, 4}), numbers("res.getSpriteBounds('ship')"));

	run("res.createSpriteSheet('ui.chnk', true)");
	EXPECT_NE(nullptr, registry.getSprite("ship"));
	EXPECT_EQ(nullptr, registry.getCompoSprite("ship"));
	// The set that lost the name takes nothing with it.
	run("res.releaseCompoSpriteSet('shapes')");
	EXPECT_NE(nullptr, registry.getSprite("ship"));
}

TEST_F(Sprites, SheetUnderACompositeLivesUntilTheCompositeGoes)
{
	writeSheet("ui.chnk", "ui2.png", {{"dot", 0, 0, 4, 4, 2, 2}});
	run("res.createSpriteSheet('ui.chnk', true)");
	run("res.drawSprite('pair', 0, 0)");
	EXPECT_EQ(2u, drawsOf("ui.png").size());
	EXPECT_TRUE(drawsOf("ui2.png").empty());

	run("res.releaseSpriteSheet('ui')");
	EXPECT_EQ(nullptr, registry.getSprite("dot"));
	context.imageDraws.clear();
	run("res.drawCompoSprite('pair', 0, 0)");
	EXPECT_EQ(2u, drawsOf("ui.png").size());

	// Parts resolve only against loaded sheets.
	EXPECT_EQ("Sprite \"ship\" not loaded while loading " + dir.file("fleets.chnk"), error("res.createCompoSpriteSet('fleets.chnk', true)"));
	EXPECT_NE(nullptr, registry.getCompoSprite("pair"));
	run("res.releaseCompoSpriteSet('fleets')");
	EXPECT_EQ(std::vector<float>({0, 0}), numbers("res.getSpriteBounds('pair')"));
}

/** Font "f": glyphs for "key" and "Hi", 6 pixels wide, ascending 12 and descending 3. */
class Texts : public ScriptedResources
{
protected:
	Texts()
	{
		writeFont("f.chnk", "f.png");
		ChunkWriter sub;
		sub.chunk("LDAT", stringList({"en_EN", "fi_FI", "sv_SE"}))
			.chunk("LIDS", stringList({"title"}))
			.chunk("TXGP", texts({"Hi"}))
			.chunk("TXGP", texts({"Hei"}));
		ChunkWriter chunks;
		dir.write("texts.chnk", ChunkWriter::file(chunks.chunk("TEXT", versioned(sub))));
		run("res.createBitmapFont('f.chnk') res.useFont('f') res.createTextGroupSet('texts.chnk')");
	}

	void writeFont(const std::string& name, const std::string& image)
	{
		std::vector<GlyphRecord> glyphs;
		for (char c : std::string("keyHi"))
			glyphs.push_back({c, 0, 0, 6, 15, 12});
		dir.write(name, singleChunkFile("FONT", fontBody(image, 2, 1, glyphs)));
	}
};

TEST_F(Texts, MetricsOfTheCurrentFont)
{
	EXPECT_EQ(std::vector<float>({15, 12, 3, 2, 1, 20}),
		numbers("res.getFontHeight(), res.getFontMaxAscending(), res.getFontMaxDescending(), res.getFontLeading(), "
			"res.getFontTracking(), res.getStringWidth('key')"));
	EXPECT_THROW(run("res:getStringWidth('key')"), lua::LuaException);
	run("res.useFont('nothing') res.createSystemFont('sys')");
	EXPECT_EQ(std::vector<float>({15}), numbers("res.getFontHeight()"));
	EXPECT_EQ(nullptr, registry.getBitmapFont("sys"));
}

TEST_F(Texts, StringWidthMeasuresCountUnitsFromBegin)
{
	struct Case { int begin, count, width; };
	for (const Case c : {Case{0, 5, 34}, Case{2, 2, 13}, Case{1, 2, 13}, Case{3, 1, 6}, Case{4, 0, 0}})
	{
		SCOPED_TRACE(testing::Message() << c.begin << ", " << c.count);
		EXPECT_EQ(c.width, registry.getStringWidth("keyHi", c.begin, c.count));
	}
}

TEST_F(Texts, TextOfAnUnloadedSetShowsItsKey)
{
	EXPECT_EQ("key", text("res.getString('nothing', 'key')"));
	run("res.drawString('nothing', 'key', 10, 20)");
	// Top-left anchoring: the first glyph's top edge lies at y, glyphs 6 + 1 apart.
	EXPECT_EQ(Rects({{10, 20, 6, 15}, {17, 20, 6, 15}, {24, 20, 6, 15}}), drawsOf("f.png"));
	context.imageDraws.clear();
	run("res.drawString('nothing', 'Hi', 10, 20, 'BASELINE', 'RIGHT')");
	EXPECT_EQ(Rects({{-3, 8, 6, 15}, {4, 8, 6, 15}}), drawsOf("f.png"));
	EXPECT_THROW(run("res:drawString('nothing', 'key', 10, 20)"), lua::LuaException);
}

TEST_F(Texts, FailedLocaleLoadKeepsTheLoadedTexts)
{
	EXPECT_EQ("Trying to get TextGroup for language which is not loaded. Language: \"en_EN\"", error("res.getString('texts', 'title')"));
	run("res.loadLocale('texts', 'en_EN')");
	EXPECT_EQ("Hi", text("res.getString('texts', 'title')"));
	EXPECT_EQ("Trying to load TextGroup for language not present in data file. Language: \"de_DE\"",
		error("res.loadLocale('texts', 'de_DE')"));
	// Listed but without texts in the file.
	run("res.loadLocale('texts', 'sv_SE') res.loadLocale('nothing', 'fi_FI')");
	EXPECT_EQ("Hi", text("res.getString('texts', 'title')"));
	EXPECT_EQ("untranslated", text("res.getString('texts', 'untranslated')"));

	run("res.loadLocale('texts', 'fi_FI')");
	EXPECT_EQ("en_EN", text("res.getLocale()"));
	EXPECT_NE("no exception", error("res.getString('texts', 'title')"));
	run("res.useLocale('fi_FI')");
	EXPECT_EQ("Hei", text("res.getString('texts', 'title')"));
}

TEST_F(Texts, TextOutlivesLaterLookupsAndItsSet)
{
	run("res.loadLocale('texts', 'en_EN')");
	const lang::String& title = registry.getString("texts", "title");
	const lang::String& untranslated = registry.getString("texts", "untranslated");
	// Each untranslated key grows the group's table.
	for (int i = 0; i < 100; ++i)
		registry.getString("texts", lang::String("key") + lang::String(std::to_string(i).c_str()));
	run("res.releaseTextGroupSet('texts')");
	EXPECT_EQ(lang::String("Hi"), title);
	EXPECT_EQ(lang::String("untranslated"), untranslated);
}

TEST_F(Texts, ReleasedFontIsNoLongerCurrent)
{
	writeFont("f.chnk", "g.png");
	run("res.createBitmapFont('f.chnk', true) res.drawString('nothing', 'k', 0, 0)");
	EXPECT_EQ(1u, drawsOf("g.png").size());
	EXPECT_TRUE(drawsOf("f.png").empty());

	run("res.releaseFont('f')");
	EXPECT_EQ(nullptr, registry.getFont());
	const struct
	{
		const char* script;
		const char* message;
	} cases[] = {
		{"res.drawString('nothing', 'k', 0, 0)", "No font is set while trying to draw string"},
		{"res.getFontHeight()", "No font is set while trying to get font height!"},
		{"res.getFontMaxAscending()", "No font is set while trying to get font max ascending"},
		{"res.getFontMaxDescending()", "No font is set while trying to get font max descending"},
		{"res.getFontLeading()", "No font is set while trying to get font leading"},
		{"res.getFontTracking()", "No font is set while trying to get font tracking"},
		{"res.getStringWidth('k')", "No font is set while trying to get string width"},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.message, error(c.script));
}

TEST_F(ScriptedResources, TableHoldsExactlyTheFortyFourFunctions)
{
	run(R"(
		names = {'setPath', 'createSpriteSheet', 'createCompoSpriteSet', 'createBitmapFont', 'createSystemFont',
			'createTextGroupSet', 'createAudioOutput', 'createAudioInput', 'createAudio', 'releaseSpriteSheet',
			'releaseCompoSpriteSet', 'releaseFont', 'releaseTextGroupSet', 'loadLocale', 'useLocale', 'useFont',
			'drawSprite', 'drawCompoSprite', 'drawString', 'setClipRect', 'getString', 'playAudio', 'stopAudio',
			'stopAllAudio', 'isAudioPlaying', 'getSpriteBounds', 'getSpritePivot', 'getCompoSpriteBounds',
			'getCompoSpriteData', 'getStringWidth', 'getFontMaxAscending', 'getFontMaxDescending', 'getFontLeading',
			'getFontTracking', 'getFontHeight', 'getLocale', 'startAudioOutput', 'stopAudioOutput', 'startAudioInput',
			'stopAudioInput', 'setMasterVolume', 'setTrackVolume', 'getTrackVolume', 'openURL'}
		missing = ''
		for _, name in ipairs(names) do
			if type(res[name]) ~= 'function' then missing = missing .. name .. ' ' end
		end
		functions = 0
		for _, value in pairs(res) do
			if type(value) == 'function' then functions = functions + 1 end
		end
	)");
	EXPECT_EQ("", text("missing"));
	EXPECT_EQ(std::vector<float>({44, 44}), numbers("#names, functions"));
}

TEST_F(ScriptedResources, ClipRectReachesTheDevice)
{
	run("res.setClipRect(10.7, 20, 30.6, 40)");
	EXPECT_EQ(gr::Rect(10, 20, 41, 60), context.getRenderState2D().clipRect);
	EXPECT_EQ(gr::Rect(10, 20, 41, 60), registry.getClipRect());
}

} // namespace
