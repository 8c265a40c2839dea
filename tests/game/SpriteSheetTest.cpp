#include "GameTestFiles.h"
#include "support/RecordingContext.h"
#include <game/SpriteSheet.h>
#include <gtest/gtest.h>

namespace
{

using game::Anchor;

TEST(SpriteSheet, TextureCoordinatesComeFromTheTextureNotTheImage)
{
	RecordingContext context;
	context.imageWidth = 400;
	context.imageHeight = 200;
	context.textureWidth = 512;
	context.textureHeight = 256;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("sheet.png"));
	const game::Sprite* sprite = sheet->createSprite("s", 256, 128, 128, 64, 0, 0);
	const math::float2* uv = sprite->getUV();
	EXPECT_EQ(math::float2(0.5f, 0.5f), uv[0]);
	EXPECT_EQ(math::float2(0.75f, 0.5f), uv[1]);
	EXPECT_EQ(math::float2(0.5f, 0.75f), uv[2]);
	EXPECT_EQ(math::float2(0.75f, 0.75f), uv[3]);

	sprite->draw(&context, 10, 20, Anchor());
	ASSERT_EQ(1u, context.imageDraws.size());
	const ImageDraw& d = context.imageDraws[0];
	EXPECT_TRUE(d.withUV);
	EXPECT_EQ(math::float2(0.75f, 0.75f), d.uv[3]);
	EXPECT_EQ(128.f, d.w);
	EXPECT_EQ(64.f, d.h);
}

TEST(SpriteSheet, ImageWithoutTextureDrawsTheSourceRectangle)
{
	RecordingContext context;
	context.textureWidth = 0;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("sheet.png"));
	sheet->createSprite("s", 3, 4, 40, 30, 10, 25)->draw(&context, 100, 100, 80, 60, Anchor(Anchor::BOTTOM, Anchor::RIGHT));
	ASSERT_EQ(1u, context.imageDraws.size());
	const ImageDraw& d = context.imageDraws[0];
	EXPECT_FALSE(d.withUV);
	EXPECT_EQ(std::vector<float>({60, 70, 80, 60}), std::vector<float>({d.x, d.y, d.w, d.h}));
	EXPECT_EQ(std::vector<int>({3, 4, 40, 30}), std::vector<int>({d.srcX, d.srcY, d.srcWidth, d.srcHeight}));
}

TEST(SpriteSheet, PivotAnchorPutsThePivotAtThePosition)
{
	RecordingContext context;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("sheet.png"));
	sheet->createSprite("s", 0, 0, 40, 30, 10, 25)->draw(&context, 100, 100, Anchor(Anchor::VPIVOT, Anchor::HPIVOT));
	ASSERT_EQ(1u, context.imageDraws.size());
	EXPECT_EQ(90.f, context.imageDraws[0].x);
	EXPECT_EQ(75.f, context.imageDraws[0].y);
}

TEST(SpriteSheet, LaterRecordOfTheSameNameWinsAndFieldsAreSixteenBits)
{
	TempDir dir;
	RecordingContext context;
	const std::string path = dir.write("sheet.chnk", singleChunkFile("SPRT",
		sheetBody("img/s.png", {{"a", 1, 1, 1, 1, 0, 0}, {"a", 2, 2, 2, 2, 0, 0}, {"neg", -3, -4, 0, 0, -5, -6}})));
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(&context, path.c_str());
	EXPECT_EQ(2, sheet->getSprites().size());
	EXPECT_EQ(2, sheet->getSprite("a")->getWidth());
	const game::Sprite* neg = sheet->getSprite("neg");
	EXPECT_EQ(-3, neg->getPositionInSheetX());
	EXPECT_EQ(-6, neg->getPivotY());
	EXPECT_EQ(nullptr, sheet->getSprite("b"));
	EXPECT_EQ(std::vector<std::string>{dir.file("img/s.png")}, context.createdImages);

	EXPECT_EQ(-1, sheet->createSprite("wide", 0, 0, 65535, 1, 0, 0)->getWidth());
}

TEST(SpriteSheet, SheetWithoutImageDrawsNothing)
{
	RecordingContext context;
	lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(static_cast<gr::Image*>(nullptr));
	sheet->createSprite("s", 0, 0, 4, 4, 0, 0)->draw(&context, 0, 0, Anchor());
	EXPECT_TRUE(context.imageDraws.empty());
}

} // namespace
