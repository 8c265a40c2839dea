#include <pf/Launcher.h>
#include <pf/OrientationObserver.h>
#include <pf/WebView.h>
#include <pf/WebViewImpl.h>
#include <pf/WebViewObserver.h>
#include <platform/Application.h>
#include <platform/HeadlessApplication.h>
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

using pf::NMWebViewController;

namespace
{

struct Observer : pf::WebViewObserver
{
	bool openLinks = true;
	std::vector<std::string> events;
	void onUrlLoadCompleted(bool success, const lang::String& title, pf::WebView* view) override
	{
		events.push_back(std::string(success ? "loaded " : "failed ") + title.c_str() + (view == m_webView ? "" : " (wrong view)"));
	}
	bool onLinkClicked(const lang::String& url, pf::WebView*) override
	{
		events.push_back(std::string("link ") + url.c_str());
		return openLinks;
	}
};

// A headless application that records the URLs it is asked to open.
struct WebViewTest : testing::Test
{
	WebViewTest()
	{
		platform::LaunchOptions options;
		options.headless = true;
		application = std::make_unique<platform::HeadlessApplication>(options);
	}

	void waitFor(const Observer& observer)
	{
		for (int i = 0; i < 5000 && observer.events.empty(); ++i)
		{
			application->mainQueue().runPending();
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		}
	}

	std::unique_ptr<platform::HeadlessApplication> application;
};

void centreOf(const pf::AffineTransform& t, float x, float y, float& outX, float& outY)
{
	outX = t.a * x + t.c * y + t.tx;
	outY = t.b * x + t.d * y + t.ty;
}

} // namespace

TEST_F(WebViewTest, LinksFollowTheObserversDecision)
{
	lang::Ptr<pf::WebView> view(new pf::WebView(0, 0, 50, 100));
	NMWebViewController& controller = view->impl()->controller();
	const lang::String url("https://example.org/next");

	EXPECT_FALSE(controller.shouldStartLoad(url, NMWebViewController::NAVIGATION_LINK_CLICKED));
	EXPECT_TRUE(controller.shouldStartLoad(url, NMWebViewController::NAVIGATION_FORM_SUBMITTED));
	EXPECT_TRUE(controller.shouldStartLoad(url, NMWebViewController::NAVIGATION_OTHER));
	ASSERT_EQ(1u, application->openedURLs().size());

	Observer observer;
	observer.openLinks = false;
	view->setObserver(&observer);
	view->setObserver(nullptr);
	EXPECT_FALSE(controller.shouldStartLoad(url, NMWebViewController::NAVIGATION_LINK_CLICKED));
	EXPECT_EQ(1u, application->openedURLs().size());
	observer.openLinks = true;
	EXPECT_FALSE(controller.shouldStartLoad(url, NMWebViewController::NAVIGATION_LINK_CLICKED));
	EXPECT_EQ(2u, application->openedURLs().size());
	EXPECT_EQ((std::vector<std::string>{"link https://example.org/next", "link https://example.org/next"}), observer.events);
}

TEST_F(WebViewTest, LoadsReportTitleOrFailureOnTheMainThread)
{
	const std::string page = testing::TempDir() + "/news.html";
	std::ofstream(page) << "<html><title> Today's  news </title></html>";
	lang::Ptr<pf::WebView> view(new pf::WebView(0, 0, 50, 100));
	Observer observer;
	view->setObserver(&observer);
	EXPECT_FALSE(view->impl()->controller().visible());

	view->loadUrl(lang::String(("file://" + page).c_str()));
	waitFor(observer);
	EXPECT_EQ(std::vector<std::string>{"loaded Today's news"}, observer.events);
	view->show();
	EXPECT_TRUE(view->impl()->controller().visible());
	observer.events.clear();
	view->loadUrl(lang::String(("file://" + page + ".missing").c_str()));
	waitFor(observer);
	view->hide();
	EXPECT_FALSE(view->impl()->controller().visible());
	EXPECT_EQ(std::vector<std::string>{"failed "}, observer.events);
	std::remove(page.c_str());
}

TEST_F(WebViewTest, TurnsWithLandscapeOrientationsOnly)
{
	pf::WebViewImpl impl(0, 0, 100, 50);
	NMWebViewController& controller = impl.controller();
	// View transforms apply the step added last first: the centre (50, 25) moves by the last
	// translation, turns, then moves by the first.
	controller.orientationChanged(1);
	float x = 0, y = 0;
	centreOf(controller.transform(), 50, 25, x, y);
	EXPECT_NEAR(668, x, 1e-3);
	EXPECT_NEAR(75, y, 1e-3);
	const pf::AffineTransform turned = controller.transform();
	controller.orientationChanged(0);
	controller.orientationChanged(2);
	EXPECT_TRUE(turned == controller.transform());
	controller.orientationChanged(3);
	centreOf(controller.transform(), 50, 25, x, y);
	EXPECT_NEAR(0, x, 1e-3);
	EXPECT_NEAR(899, y, 1e-3);
}

TEST_F(WebViewTest, OnlyTheObservingOverlayClearsTheObserverSlot)
{
	lang::Ptr<pf::WebView> older(new pf::WebView(0, 0, 10, 10));
	lang::Ptr<pf::WebView> newer(new pf::WebView(0, 0, 10, 10));
	EXPECT_EQ(newer->impl(), gOrientationObserver);
	older = nullptr;
	EXPECT_EQ(newer->impl(), gOrientationObserver);
	newer = nullptr;
	EXPECT_EQ(nullptr, gOrientationObserver);
}
