#include "app/TestGame.h"
#include <framework/MyEAGLViewController.h>
#include <gtest/gtest.h>

using framework::App;
using platform::Touch;

namespace
{

struct ViewControllerTest : testing::Test
{
	ViewControllerTest() : game(nullptr), controller(nullptr, true)
	{
		TestGame::log().clear();
	}

	std::vector<std::string> take()
	{
		std::vector<std::string> entries;
		entries.swap(TestGame::log());
		return entries;
	}

	TestGame game;
	MyEAGLViewController controller;
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(ViewControllerTest, FirstFingerDrivesTheMouseAndTheButton)
{
	controller.touchesBegan({Touch{1, 10, 20}});
	controller.touchesBegan({Touch{2, 30, 40}});
	EXPECT_EQ((Log{"touchBegan", "mouseMove 10 20", "keyDown LBUTTON", "touchBegan"}), take());
	EXPECT_EQ(2, game.touches().size());

	controller.touchesMoved({Touch{2, 31, 41}, Touch{1, 11, 21}});
	EXPECT_EQ((Log{"mouseMove 11 21"}), take());
	EXPECT_EQ(31, game.touches()[1].x);

	controller.touchesEnded({Touch{1, 12, 22}});
	EXPECT_EQ((Log{"touchEnded", "mouseMove 12 22", "keyUp LBUTTON"}), take());
	EXPECT_FALSE(game.isKeyDown(App::LBUTTON));

	// The second finger does not take the mouse over until it lands again.
	controller.touchesMoved({Touch{2, 32, 42}});
	controller.touchesEnded({Touch{2, 32, 42}});
	EXPECT_EQ((Log{"touchEnded"}), take());
	controller.touchesBegan({Touch{2, 33, 43}});
	EXPECT_EQ((Log{"touchBegan", "mouseMove 33 43", "keyDown LBUTTON"}), take());
}

TEST_F(ViewControllerTest, ButtonAlreadyDownGetsNoSecondKeyDown)
{
	game.setKeyDown(App::LBUTTON, true);
	controller.touchesBegan({Touch{1, 5, 6}});
	EXPECT_EQ((Log{"touchBegan", "mouseMove 5 6"}), take());
}

TEST_F(ViewControllerTest, CancelledOwnerReleasesTheButton)
{
	controller.touchesBegan({Touch{1, 5, 6}});
	take();
	controller.touchesCancelled({Touch{1, 7, 8}});
	// The application hears of the cancel; the touch ends all the same.
	EXPECT_EQ((Log{"touchCancelled", "touchEnded", "mouseMove 7 8", "keyUp LBUTTON"}), take());
	EXPECT_TRUE(game.touches().isEmpty());
}

TEST_F(ViewControllerTest, ResetTouchesHandsTheMouseToTheNextFinger)
{
	controller.touchesBegan({Touch{1, 5, 6}});
	controller.resetTouches();
	game.activate(true);
	take();
	controller.touchesBegan({Touch{2, 7, 8}});
	EXPECT_EQ((Log{"touchBegan", "mouseMove 7 8", "keyDown LBUTTON"}), take());
	controller.touchesEnded({Touch{1, 5, 6}});
	EXPECT_EQ((Log{"touchEnded"}), take());
}

TEST_F(ViewControllerTest, KeysKeepTheirFlagsAndTheWheelPassesOn)
{
	controller.key("VOLUME_UP", true);
	EXPECT_TRUE(game.isKeyDown(App::VOLUME_UP));
	controller.key("VOLUME_UP", false);
	controller.key("NOT_A_KEY", true);
	controller.wheel(-3);
	EXPECT_EQ((Log{"keyDown VOLUME_UP", "keyUp VOLUME_UP", "mouseWheel -3"}), take());
	EXPECT_FALSE(game.isKeyDown(App::VOLUME_UP));
}
