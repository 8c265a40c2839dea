#include <world/WorldZoom.h>
#include <gtest/gtest.h>

namespace {

TEST(WorldZoom, ASmoothWheelStepEasesOutToItsTargetInHalfASecond)
{
	WorldZoom zoom;
	zoom.wheel(+1, false, false);
	EXPECT_FLOAT_EQ(1.0f, zoom.scale());
	zoom.update(0.25f);
	EXPECT_FLOAT_EQ(1.175f, zoom.scale());
	zoom.update(0.25f);
	EXPECT_FLOAT_EQ(1.2f, zoom.scale());
	EXPECT_TRUE(zoom.smoothZoomRunning());
	zoom.update(0.01f);
	EXPECT_FLOAT_EQ(1.2f, zoom.scale());
	EXPECT_FALSE(zoom.smoothZoomRunning());
}

TEST(WorldZoom, WheelStepsWithSmoothZoomingOff)
{
	struct Case
	{
		float start;
		int delta;
		bool shift;
		bool control;
		float scale;
	};
	const Case cases[] = {
		{0.5f, +1, true, false, 0.505f},
		{0.5f, -1, false, false, 0.4f},
		{1.5f, +2, false, false, 1.9f},
		{2.0f, +1, false, true, 2.0f},
		{0.01f, -1, false, false, 0.01f},
		{99.9f, +1, false, false, 100.0f},
	};
	for (const Case& c : cases)
	{
		WorldZoom zoom;
		zoom.enableSmoothZooming(false);
		// A pinch brings the scale to the start and leaves the previous scale at 1.
		zoom.pinch(100.0f);
		zoom.pinch(100.0f * c.start);
		zoom.endPinch();
		zoom.wheel(c.delta, c.shift, c.control);
		EXPECT_FLOAT_EQ(c.scale, zoom.scale()) << c.start << " " << c.delta;
		// CONTROL holds even the previous scale still.
		EXPECT_FLOAT_EQ(c.control ? 1.0f : c.start, zoom.previousScale()) << c.start << " " << c.delta;
	}
}

TEST(WorldZoom, AWheelStepDuringAZoomRetargetsFromTheCurrentScale)
{
	WorldZoom zoom;
	zoom.setScale(1.0f);
	zoom.wheel(+1, false, false);
	zoom.update(0.25f);
	zoom.wheel(+1, false, false);
	// Target 1.2 + 0.5 * 0.2; the new zoom takes the rest of a one-second budget.
	zoom.update(0.75f);
	EXPECT_FLOAT_EQ(1.3f, zoom.scale());
	EXPECT_FLOAT_EQ(1.175f, zoom.previousScale());
}

TEST(WorldZoom, SmoothResultsAreClampedButAPinchIsNot)
{
	WorldZoom zoom;
	zoom.setScale(60.0f);
	zoom.pinch(100.0f);
	zoom.pinch(300.0f);
	EXPECT_FLOAT_EQ(180.0f, zoom.scale());
	zoom.endPinch();
	zoom.update(0.1f);
	EXPECT_FLOAT_EQ(180.0f, zoom.scale());
	zoom.wheel(+1, false, false);
	zoom.update(0.1f);
	EXPECT_FLOAT_EQ(WorldZoom::MAX_SCALE, zoom.scale());
}

TEST(WorldZoom, APinchFromZeroDistanceLeavesTheScale)
{
	WorldZoom zoom;
	zoom.pinch(0.0f);
	zoom.pinch(50.0f);
	EXPECT_FLOAT_EQ(1.0f, zoom.scale());
}

} // namespace
