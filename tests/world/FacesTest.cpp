#include "DrawingFixture.h"
#include <world/TargetFace.h>

namespace
{

class Faces : public DrawingFixture
{
protected:
	GameLua::RenderObjectData* target = nullptr;

	Faces()
	{
		loadSheet("faces", {{"eye", 0, 0, 8, 8, 4, 4}, {"blink", 0, 0, 8, 8, 4, 4}, {"nose", 0, 0, 8, 8, 4, 4}});
		target = &addObject("critter", "eye", 1.0f);
	}

	const TargetFacePart& part(int mood, int index)		{ return target->faces.get(mood).parts[index]; }
};

TEST_F(Faces, AMoodsPartsTakeTheirSpritesAndMaxima)
{
	run("world.setComboSprites({objName = 'critter', states = {scared = {leftEye = {sprite = 'eye', maxOffsetX = 2, maxOffsetY = 3, blink = 'blink'}}}})");
	ASSERT_TRUE(target->faces.containsKey(TARGET_FACE_SCARED));
	EXPECT_EQ(1, target->faces.size());
	const TargetFacePart& eye = part(TARGET_FACE_SCARED, GameLua::TargetFace::LEFT_EYE);
	EXPECT_TRUE(eye.present);
	EXPECT_EQ(sprite("eye"), eye.sprite);
	EXPECT_EQ(sprite("blink"), eye.blinkSprite);
	EXPECT_EQ(2.0f, eye.maxOffsetX);
	EXPECT_EQ(3.0f, eye.maxOffsetY);
	for (int i = GameLua::TargetFace::RIGHT_EYE; i < GameLua::TargetFace::PART_COUNT; ++i)
		EXPECT_FALSE(part(TARGET_FACE_SCARED, i).present) << i;
}

TEST_F(Faces, MoodNamesMatchExactlyAndALaterFaceReplacesAnEarlierOne)
{
	run("world.setComboSprites({objName = 'critter', states = {Scared = {nose = {sprite = 'nose', blink = 'blink'}}}})");
	EXPECT_EQ(sprite("nose"), part(TARGET_FACE_NORMAL, GameLua::TargetFace::NOSE).sprite);
	EXPECT_EQ(nullptr, part(TARGET_FACE_NORMAL, GameLua::TargetFace::NOSE).blinkSprite);

	run("world.setComboSprites({objName = 'critter', states = {sleepy = {rightPupil = {sprite = 'eye', blink = 'blink'}, leftPupil = {sprite = 'missing'},"
		" ear = {sprite = 'eye'}}}})");
	const TargetFacePart& pupil = part(TARGET_FACE_SLEEPY, GameLua::TargetFace::RIGHT_PUPIL);
	EXPECT_TRUE(pupil.present);
	EXPECT_EQ(nullptr, pupil.blinkSprite);
	EXPECT_FALSE(part(TARGET_FACE_SLEEPY, GameLua::TargetFace::LEFT_PUPIL).present);

	run("world.setComboSprites({objName = 'critter', states = {sleepy = {nose = {sprite = 'nose'}}}})");
	EXPECT_FALSE(part(TARGET_FACE_SLEEPY, GameLua::TargetFace::RIGHT_PUPIL).present);
	EXPECT_TRUE(part(TARGET_FACE_SLEEPY, GameLua::TargetFace::NOSE).present);
	EXPECT_EQ(2, target->faces.size());

	run("world.setComboSprites({objName = 'cow', states = {relieved = {nose = {sprite = 'nose'}}}})");
	run("world.setComboSprites({states = {relieved = {nose = {sprite = 'nose'}}}})");
	EXPECT_EQ(2, target->faces.size());
}

} // namespace
