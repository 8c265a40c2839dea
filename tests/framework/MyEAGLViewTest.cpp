#include <framework/MyEAGLView.h>
#include <platform/Application.h>
#include <gtest/gtest.h>

TEST(MyEAGLView, ColourDepthPicksTheDrawableFormat)
{
	EXPECT_TRUE(MyEAGLView::rgba8For(32));
	for (int bits : {16, 24, 0})
		EXPECT_FALSE(MyEAGLView::rgba8For(bits)) << bits;
}

TEST(MyEAGLView, FramebufferIsCompleteForEveryColourAndDepthChoice)
{
	platform::LaunchOptions options;
	options.headless = true;
	auto application = platform::Application::create(options);
	for (int bits : {16, 32})
		for (bool depth : {false, true})
		{
			auto view = MyEAGLView::initWithFrameAndParameters(*application, 768, 1024, bits, depth);
			ASSERT_TRUE(view);
			view->destroyFramebuffer();
			EXPECT_TRUE(view->createFramebuffer()) << bits << " " << depth;
			EXPECT_EQ(768, view->backingWidth());
			EXPECT_EQ(1024, view->backingHeight());
			EXPECT_EQ(view->framebuffer(), EAGLBackbufferFrameBuffer);
		}
}
