#include "DrawingFixture.h"
#include "support/RecordingSceneContext.h"
#include <game/SpriteSheet.h>

namespace
{

class MaskedImages : public DrawingFixture
{
protected:
	MaskedImage& masked = GameLuaTestAccess::maskedImage(*world);
	lang::Ptr<gr::Image> wood = context.createImage("wood.png");
	lang::Ptr<gr::Image> stone = context.createImage("stone.png");

	MaskedImages()
	{
		loadSheet("blocks", {{"plank", 0, 0, 100, 50, 50, 25}});
		loadSheet("rocks", {{"boulder", 0, 0, 100, 50, 50, 25}});
	}
};

TEST_F(MaskedImages, CornersLandInClipSpaceWithMaskAndTextureCoordinates)
{
	masked.add(50.0f, 25.0f, wood, sprite("plank"));
	const lang::Array<math::float4>& p = masked.positions();
	ASSERT_EQ(6, p.size());
	const float right = 100.0f * 2.0f / 1024.0f - 1.0f;
	const float bottom = 1.0f - 50.0f * 2.0f / 768.0f;
	const math::float4 expected[6] = {{-1, 1, 0.001f, 1}, {right, 1, 0.001f, 1}, {-1, bottom, 0.001f, 1},
		{-1, bottom, 0.001f, 1}, {right, 1, 0.001f, 1}, {right, bottom, 0.001f, 1}};
	for (int i = 0; i < 6; ++i)
	{
		EXPECT_FLOAT_EQ(expected[i].x, p[i].x) << i;
		EXPECT_FLOAT_EQ(expected[i].y, p[i].y) << i;
		EXPECT_FLOAT_EQ(expected[i].z, p[i].z) << i;
		EXPECT_FLOAT_EQ(expected[i].w, p[i].w) << i;
	}
	// The plank is the first sprite of its 256-pixel sheet.
	EXPECT_FLOAT_EQ(100.0f / 256.0f, masked.maskCoordinates()[5].x);
	EXPECT_FLOAT_EQ(50.0f / 256.0f, masked.maskCoordinates()[5].y);
	EXPECT_EQ(res->getResources()->findSpriteSheet("plank")->getImage(), masked.maskImage());
	EXPECT_EQ(wood.ptr(), masked.textureImage());
}

TEST_F(MaskedImages, NeighboursOfOneMaterialContinueOnePattern)
{
	masked.add(150.0f, 100.0f, wood, sprite("plank"));
	masked.add(250.0f, 100.0f, wood, sprite("plank"));
	const lang::Array<math::float4>& uv = masked.textureCoordinates();
	ASSERT_EQ(12, uv.size());
	// The first plank's right edge is the second plank's left edge.
	EXPECT_FLOAT_EQ(uv[1].x, uv[6].x);
	EXPECT_FLOAT_EQ(uv[1].y, uv[6].y);
	EXPECT_FLOAT_EQ(uv[5].x, uv[9].x);
}

TEST_F(MaskedImages, SpritesWhollyOffScreenAreDroppedAndStraddlersKeptWhole)
{
	masked.add(1200.0f, 25.0f, stone, sprite("plank"));
	masked.add(50.0f, -30.0f, stone, sprite("plank"));
	EXPECT_EQ(0, masked.positions().size());
	EXPECT_EQ(nullptr, masked.textureImage());

	masked.add(1030.0f, 25.0f, stone, sprite("plank"));
	EXPECT_EQ(6, masked.positions().size());
	EXPECT_GT(masked.positions()[5].x, 1.0f);
}

TEST_F(MaskedImages, AnotherTextureOrSheetRendersThePendingBatchFirst)
{
	masked.add(50.0f, 25.0f, wood, sprite("plank"));
	masked.add(150.0f, 25.0f, wood, sprite("plank"));
	EXPECT_EQ(12, masked.positions().size());

	masked.add(250.0f, 25.0f, stone, sprite("plank"));
	EXPECT_EQ(6, masked.positions().size());
	EXPECT_EQ(stone.ptr(), masked.textureImage());

	masked.add(350.0f, 25.0f, stone, sprite("boulder"));
	EXPECT_EQ(6, masked.positions().size());
	EXPECT_EQ(res->getResources()->findSpriteSheet("boulder")->getImage(), masked.maskImage());

	masked.render();
	EXPECT_EQ(0, masked.positions().size());
	EXPECT_EQ(nullptr, masked.maskImage());
}

// A device of platform 5 has the two-texture shader: each batch is drawn in one primitive, with
// the material image and the sheet's mask, before a batch of other images starts and on render.
TEST_F(MaskedImages, BatchesAreDrawnWithTheirTwoImages)
{
	RecordingSceneContext device;
	device.platformValue = 5;
	lang::Ptr<MaskedImage> batch = new MaskedImage(&device);
	ASSERT_TRUE(batch->hasShader());
	ASSERT_EQ(1u, device.shaders.size());
	const RecordingShader& shader = *device.shaders[0];
	gr::BaseTexture* mask = res->getResources()->findSpriteSheet("plank")->getImage()->getTexture();

	batch->add(50.0f, 25.0f, wood, sprite("plank"));
	batch->add(150.0f, 25.0f, wood, sprite("plank"));
	EXPECT_TRUE(device.primitives.empty());
	batch->add(250.0f, 25.0f, stone, sprite("plank"));
	ASSERT_EQ(1u, device.primitives.size());
	EXPECT_EQ(12, device.primitives[0]->vertices());
	EXPECT_EQ(1, device.primitives[0]->renders);
	EXPECT_EQ(wood->getTexture(), shader.getTexture("BASEMAP"));
	EXPECT_EQ(mask, shader.getTexture("BASEMAP1"));

	batch->render();
	ASSERT_EQ(2u, device.primitives.size());
	EXPECT_EQ(6, device.primitives[1]->vertices());
	EXPECT_EQ(1, device.primitives[1]->renders);
	EXPECT_EQ(stone->getTexture(), shader.getTexture("BASEMAP"));
	EXPECT_EQ(2, shader.begins);
	EXPECT_EQ(2, shader.ends);
	math::float4 corner;
	device.primitives[1]->getVertexPositions(0, &corner, 1);
	EXPECT_FLOAT_EQ(250.0f * 2.0f / 1024.0f - 1.0f - 50.0f * 2.0f / 1024.0f, corner.x);
}

} // namespace
