#include "GameTestFiles.h"
#include "support/RecordingContext.h"
#include <game/CompoSpriteSet.h>
#include <game/SpriteProvider.h>
#include <game/SpriteSheet.h>
#include <lang/Exception.h>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

class CompoSprite : public ::testing::Test, public game::SpriteProvider
{
protected:
	RecordingContext context;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("parts.png"));
	/** A: 20 x 20, pivot (0, 0); B: 10 x 40, pivot (5, 40); C: 40 x 30, pivot (10, 25). */
	game::Sprite* a = sheet->createSprite("A", 0, 0, 20, 20, 0, 0);
	game::Sprite* b = sheet->createSprite("B", 0, 0, 10, 40, 5, 40);
	game::Sprite* c = sheet->createSprite("C", 0, 0, 40, 30, 10, 25);

	game::Sprite* getSprite(const lang::String& name) override	{ return sheet->getSprite(name); }

	static std::vector<int> bounds(const game::CompoSprite& compo)
	{
		return {compo.getWidth(), compo.getHeight(), compo.getPivotX(), compo.getPivotY()};
	}
};

TEST_F(CompoSprite, BoundsCoverEveryPartAroundThePivot)
{
	lang::Ptr<game::CompoSprite> one = new game::CompoSprite;
	EXPECT_EQ(std::vector<int>({0, 0, 0, 0}), bounds(*one));
	one->addSprite(0, "C", 0, 0, c);
	EXPECT_EQ(std::vector<int>({40, 30, 10, 25}), bounds(*one));

	lang::Ptr<game::CompoSprite> two = new game::CompoSprite;
	two->addSprite(0, "A", -10, -5, a);
	two->addSprite(1, "B", 15, 0, b);
	EXPECT_EQ(std::vector<int>({30, 55, 10, 40}), bounds(*two));
}

TEST_F(CompoSprite, PositionsCountTruncatedInTheBoundsButDrawExactly)
{
	lang::Ptr<game::CompoSprite> compo = new game::CompoSprite;
	compo->addSprite(0, "A", -2.7f, 0, a);
	EXPECT_EQ(2, compo->getPivotX());
	compo->draw(&context, 100, 100, Anchor(Anchor::VPIVOT, Anchor::HPIVOT));
	ASSERT_EQ(1u, context.imageDraws.size());
	EXPECT_FLOAT_EQ(97.3f, context.imageDraws[0].x);
}

TEST_F(CompoSprite, DrawingPutsTheAnchorPointAtThePosition)
{
	lang::Ptr<game::CompoSprite> compo = new game::CompoSprite;
	compo->addSprite(0, "A", -10, -5, a);
	compo->addSprite(1, "B", 15, 0, b);
	// Box 30 x 55, pivot (10, 40); A's top-left corner lies at (-10, -5) from the pivot.
	struct Case { int vertical; int horizontal; float pivotX; float pivotY; };
	for (const Case k : {
		Case{Anchor::TOP, Anchor::LEFT, 110, 140},
		Case{Anchor::VCENTER, Anchor::HCENTER, 110 - 15, 140 - 27},
		Case{Anchor::BOTTOM, Anchor::RIGHT, 110 - 30, 140 - 55},
		Case{Anchor::BASELINE, Anchor::HPIVOT, 100, 100},
		Case{Anchor::VPIVOT, Anchor::HPIVOT, 100, 100}})
	{
		SCOPED_TRACE(testing::Message() << k.vertical << "/" << k.horizontal);
		context.imageDraws.clear();
		compo->draw(&context, 100, 100, Anchor(k.vertical, k.horizontal));
		ASSERT_EQ(2u, context.imageDraws.size());
		EXPECT_EQ(k.pivotX - 10, context.imageDraws[0].x);
		EXPECT_EQ(k.pivotY - 5, context.imageDraws[0].y);
		EXPECT_EQ(k.pivotX + 15 - 5, context.imageDraws[1].x);
		EXPECT_EQ(k.pivotY - 40, context.imageDraws[1].y);
	}
}

TEST_F(CompoSprite, InsertingMovesLaterPartsUp)
{
	lang::Ptr<game::CompoSprite> compo = new game::CompoSprite;
	compo->addSprite(0, "A", 0, 0, a);
	compo->addSprite(1, "B", 0, 0, b);
	compo->addSprite(1, "C", 0, 0, c);
	EXPECT_STREQ("A", compo->getSpriteEntry(0).spriteName.c_str());
	EXPECT_STREQ("C", compo->getSpriteEntry(1).spriteName.c_str());
	EXPECT_EQ(b, compo->getSpriteEntry(2).sprite);
}

ChunkWriter compoBody(const std::string& name, const std::vector<std::pair<std::string, std::pair<int, int>>>& parts)
{
	ChunkWriter out;
	out.utf(name).int16(static_cast<int>(parts.size()));
	for (const auto& p : parts)
		out.utf(p.first).int16(p.second.first).int16(p.second.second);
	return out;
}

TEST_F(CompoSprite, SetReadsNamedCompositesFromTheFile)
{
	TempDir dir;
	ChunkWriter body;
	body.int16(3).raw(compoBody("hero", {{"A", {-10, -5}}, {"B", {15, 0}}})).raw(compoBody("none", {})).raw(compoBody("hero", {{"C", {0, 0}}}));
	lang::Ptr<game::CompoSpriteSet> set = new game::CompoSpriteSet(dir.write("c.chnk", singleChunkFile("COMP", body)).c_str(), this);
	EXPECT_EQ(2, set->getCompoSprites().size());
	EXPECT_EQ(std::vector<int>({40, 30, 10, 25}), bounds(*set->getCompoSprite("hero")));
	const game::CompoSprite* none = set->getCompoSprite("none");
	ASSERT_NE(nullptr, none);
	EXPECT_EQ(0, none->getSpriteCount());
	none->draw(&context, 0, 0, Anchor());
	EXPECT_TRUE(context.imageDraws.empty());
	EXPECT_EQ(nullptr, set->getCompoSprite("villain"));
}

TEST_F(CompoSprite, UnknownPartSpriteFailsTheWholeSet)
{
	TempDir dir;
	ChunkWriter body;
	body.int16(1).raw(compoBody("hero", {{"A", {0, 0}}, {"Z", {0, 0}}}));
	const std::string path = dir.write("c.chnk", singleChunkFile("COMP", body));
	try
	{
		game::CompoSpriteSet set(path.c_str(), this);
		FAIL() << "accepted";
	}
	catch (const lang::Exception& e)
	{
		EXPECT_EQ("Sprite \"Z\" not loaded while loading " + path, e.getMessage().format().c_str());
	}
}

} // namespace
