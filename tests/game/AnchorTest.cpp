#include "support/RecordingContext.h"
#include <game/Anchor.h>
#include <game/SpriteSheet.h>
#include <lang/Exception.h>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

TEST(Anchor, KeywordsSetOnlyTheirOwnField)
{
	struct Case { const char* word; Anchor expected; };
	const Anchor start(Anchor::BASELINE, Anchor::HPIVOT);
	for (const Case c : {
		Case{"TOP", {Anchor::TOP, Anchor::HPIVOT}},
		Case{"VCENTER", {Anchor::VCENTER, Anchor::HPIVOT}},
		Case{"BOTTOM", {Anchor::BOTTOM, Anchor::HPIVOT}},
		Case{"BASELINE", {Anchor::BASELINE, Anchor::HPIVOT}},
		Case{"VPIVOT", {Anchor::VPIVOT, Anchor::HPIVOT}},
		Case{"LEFT", {Anchor::BASELINE, Anchor::LEFT}},
		Case{"HCENTER", {Anchor::BASELINE, Anchor::HCENTER}},
		Case{"RIGHT", {Anchor::BASELINE, Anchor::RIGHT}},
		Case{"HPIVOT", {Anchor::BASELINE, Anchor::HPIVOT}},
		Case{"", start},
		Case{nullptr, start}})
	{
		SCOPED_TRACE(c.word ? c.word : "null");
		Anchor a = start;
		a.fromString(c.word);
		EXPECT_EQ(c.expected, a);
	}
}

TEST(Anchor, KeywordsApplyInTurn)
{
	Anchor a;
	a.fromString("RIGHT");
	a.fromString("BOTTOM");
	EXPECT_EQ(Anchor(Anchor::BOTTOM, Anchor::RIGHT), a);
	a.fromString("LEFT");
	EXPECT_EQ(Anchor(Anchor::BOTTOM, Anchor::LEFT), a);
}

TEST(Anchor, UnknownKeywordIsRefusedAndChangesNothing)
{
	for (const char* word : {"top", "Top", "TOP ", "CENTER", "TOPLEFT"})
	{
		SCOPED_TRACE(word);
		Anchor a(Anchor::VCENTER, Anchor::RIGHT);
		try
		{
			a.fromString(word);
			ADD_FAILURE() << "accepted";
		}
		catch (const lang::Exception& e)
		{
			EXPECT_EQ(std::string("Invalid anchor: ") + word, e.getMessage().format().c_str());
		}
		EXPECT_EQ(Anchor(Anchor::VCENTER, Anchor::RIGHT), a);
	}
}

// Sprite 5 x 5 with pivot (1, 3), drawn at (100, 100): shifts are whole pixels (halves rounded
// down), always from the sprite's own size even when it is drawn stretched.
TEST(Anchor, SpriteShifts)
{
	RecordingContext context;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("sheet.png"));
	const game::Sprite* sprite = sheet->createSprite("s", 0, 0, 5, 5, 1, 3);
	struct Case { int vertical; int horizontal; float x; float y; };
	for (const Case c : {
		Case{Anchor::TOP, Anchor::LEFT, 100, 100},
		Case{Anchor::VCENTER, Anchor::HCENTER, 98, 98},
		Case{Anchor::BOTTOM, Anchor::RIGHT, 95, 95},
		Case{Anchor::BASELINE, Anchor::HPIVOT, 99, 97},
		Case{Anchor::VPIVOT, Anchor::HPIVOT, 99, 97},
		Case{7, 9, 100, 100}})
	{
		SCOPED_TRACE(testing::Message() << c.vertical << "/" << c.horizontal);
		for (const float scale : {1.f, 2.f})
		{
			context.imageDraws.clear();
			sprite->draw(&context, 100, 100, 5 * scale, 5 * scale, Anchor(c.vertical, c.horizontal));
			ASSERT_EQ(1u, context.imageDraws.size());
			EXPECT_EQ(c.x, context.imageDraws[0].x);
			EXPECT_EQ(c.y, context.imageDraws[0].y);
			EXPECT_EQ(5 * scale, context.imageDraws[0].w);
		}
	}
}

} // namespace
