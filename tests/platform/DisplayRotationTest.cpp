#include <platform/DisplayRotation.h>
#include <gtest/gtest.h>

using platform::DisplayRotation;

TEST(DisplayRotation, ScreenPointsLandOnTheViewPointsUnderThem)
{
	// Portrait view 768 x 1024; status bar orientations 1 portrait, 2 upside down, 3 and 4 landscape.
	struct Case
	{
		int statusBar;
		float sx, sy;
		float vx, vy;
		int width, height;
	};
	const Case cases[] = {
		{1, 10, 20, 10, 20, 768, 1024},
		{2, 10, 20, 758, 1004, 768, 1024},
		{3, 10, 20, 748, 10, 1024, 768},
		{4, 10, 20, 20, 1014, 1024, 768},
		{9, 10, 20, 10, 20, 768, 1024},
	};
	for (const Case& c : cases)
	{
		const DisplayRotation r = DisplayRotation::fromStatusBar(c.statusBar, 768, 1024);
		float vx = 0, vy = 0;
		r.toView(c.sx, c.sy, vx, vy);
		EXPECT_EQ(c.vx, vx) << c.statusBar;
		EXPECT_EQ(c.vy, vy) << c.statusBar;
		EXPECT_EQ(c.width, r.screenWidth());
		EXPECT_EQ(c.height, r.screenHeight());
	}
}

TEST(DisplayRotation, ScreenPictureTurnsGLRowsUpright)
{
	// A 2 x 3 view; GL rows bottom to top, each pixel's red is its index.
	std::vector<uint8_t> view(2 * 3 * 4, 0);
	for (int i = 0; i < 6; ++i)
		view[i * 4] = static_cast<uint8_t>(i);
	const auto redRow = [](const std::vector<uint8_t>& p, int width, int row) {
		std::vector<int> reds;
		for (int x = 0; x < width; ++x)
			reds.push_back(p[(row * width + x) * 4]);
		return reds;
	};
	const std::vector<uint8_t> upright = DisplayRotation(0, 2, 3).screenPicture(view);
	EXPECT_EQ(std::vector<int>({4, 5}), redRow(upright, 2, 0));
	const std::vector<uint8_t> turned = DisplayRotation(1, 2, 3).screenPicture(view);
	EXPECT_EQ(std::vector<int>({5, 3, 1}), redRow(turned, 3, 0));
	EXPECT_EQ(255, turned[3]);
}
