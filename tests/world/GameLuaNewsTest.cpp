#include "WorldFixture.h"
#include <pf/OrientationObserver.h>
#include <pf/WebViewImpl.h>
#include <platform/HeadlessApplication.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

namespace {

/** The platform application that carries the page loads; made before the world and released after it. */
struct NewsPlatform
{
	std::unique_ptr<platform::HeadlessApplication> application;

	NewsPlatform()
	{
		platform::LaunchOptions options;
		options.headless = true;
		application = std::make_unique<platform::HeadlessApplication>(options);
	}
};

/** A game world whose news pages are local files: "news.html" is the news page, "other.html" is not. */
class GameLuaNewsTest : public NewsPlatform, public WorldFixture
{
protected:
	GameLuaNewsTest()
	{
		std::ofstream(files.dataFile("news.html")) << "<html><head><title>Nelma News [hjsdu]</title></head></html>";
		std::ofstream(files.dataFile("other.html")) << "<html><head><title>Nelma News</title></head></html>";
	}

	std::string url(const std::string& name)				{ return "file://" + files.dataFile(name); }

	pf::NMWebViewController& controller()					{ return world->m_webView->impl()->controller(); }

	/** Runs the main thread's work until the view's page load has ended. */
	void finishLoad()
	{
		for (int i = 0; i < 5000 && controller().loading(); ++i)
		{
			application->mainQueue().runPending();
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}
		application->mainQueue().runPending();
	}
};

TEST_F(GameLuaNewsTest, NothingHappensWithoutAView)
{
	run("world.showNelmaNews() world.hideNelmaNews() world.loadNelmaNewsContent('" + url("news.html") + "')"
		" world.reloadNelmaNewsContent() world.destroyNelmaNews()");
	EXPECT_TRUE(boolean("world.nelmaNewsIsShown == nil and world.nelmaNewsURLIsLoaded == nil"));

	run("world.createNelmaNews(0, 0, 50, 100) world.showNelmaNews()");
	EXPECT_TRUE(boolean("world.nelmaNewsIsShown"));
	EXPECT_TRUE(controller().visible());
	run("world.hideNelmaNews()");
	EXPECT_FALSE(boolean("world.nelmaNewsIsShown"));
	EXPECT_FALSE(controller().visible());
}

TEST_F(GameLuaNewsTest, OnlyTheNewsPageCountsAsLoaded)
{
	const struct
	{
		const char* page;
		bool loaded;
	} cases[] = {
		{"news.html", true},
		{"other.html", false},
		{"missing.html", false},
	};
	run("world.createNelmaNews(0, 0, 50, 100)");
	for (const auto& c : cases)
	{
		run("world.nelmaNewsURLIsLoaded = true world.loadNelmaNewsContent('" + url(c.page) + "')");
		// The report comes later, on the main thread.
		EXPECT_FALSE(boolean("world.nelmaNewsURLIsLoaded")) << c.page;
		finishLoad();
		EXPECT_EQ(c.loaded, boolean("world.nelmaNewsURLIsLoaded")) << c.page;
	}

	run("world.loadNelmaNewsContent('" + url("news.html") + "')");
	finishLoad();
	run("world.reloadNelmaNewsContent()");
	EXPECT_FALSE(boolean("world.nelmaNewsURLIsLoaded"));
	finishLoad();
	EXPECT_TRUE(boolean("world.nelmaNewsURLIsLoaded"));
}

TEST_F(GameLuaNewsTest, ANewViewTakesTheNewRectangle)
{
	// Turned views show where their frame is.
	const int orientation = gCurrentOrientation;
	gCurrentOrientation = 1;
	run("world.createNelmaNews(0, 0, 50, 100) world.createNelmaNews(10, 20, 60, 200)");
	const pf::AffineTransform first = controller().transform();
	run("world.destroyNelmaNews() world.createNelmaNews(10, 20, 60, 200)");
	const pf::AffineTransform second = controller().transform();
	gCurrentOrientation = orientation;

	// The web view's frame is origin x, origin y, width, height.
	pf::WebViewImpl original(0, 0, 100, 50);
	pf::WebViewImpl moved(10, 20, 200, 60);
	original.controller().orientationChanged(1);
	moved.controller().orientationChanged(1);
	for (const auto& [shown, expected] : {std::pair(first, original.controller().transform()), std::pair(second, moved.controller().transform())})
	{
		EXPECT_FLOAT_EQ(expected.tx, shown.tx);
		EXPECT_FLOAT_EQ(expected.ty, shown.ty);
	}
	EXPECT_NE(first.tx, second.tx);
}

} // namespace
