#include "AdTestSupport.h"
#include <agent/ads/AnalyticsAdCanvasView.h>
#include <agent/ads/AnalyticsAdDelegate.h>
#include <agent/ads/AnalyticsAdListView.h>
#include <agent/ads/AnalyticsAdNavigationDelegate.h>
#include <agent/ads/AnalyticsOffer.h>
#include <platform/KeyedArchive.h>
#include <fstream>

namespace {

using AdViewTest = AdTest;

std::shared_ptr<AnalyticsAdView> banner(const std::string& orientation = "portrait", bool autoRefresh = false)
{
	AnalyticsAdPlacement placement;
	placement.hook = "banner";
	placement.parent.name = "parent";
	placement.orientation = orientation;
	placement.autoRefresh = autoRefresh;
	return AnalyticsAdView::create(AnalyticsAdParser::fastAdWithHook("banner", "parent"), placement);
}

TEST_F(AdViewTest, PageAddressesCarryTheSessionAndTheAd)
{
	AnalyticsAd ad;
	ad.adId = 12;
	ad.canvasId = 34;
	ad.adCookie = "\x01\xAB";
	std::shared_ptr<AnalyticsAdImpression> impression = AnalyticsAdImpression::create("a hook", 1);
	clock.advance(2);
	const std::string pid = AnalyticsSession::phoneID();
	const std::string query = "?apik=KEY&cid=34&adid=12&pid=" + pid + "&sid=1700000000000&its=5000&hid=a%20hook&ac=01ab&ats=1700000007000";
	EXPECT_EQ(AnalyticsAdView::webUrlForCanvas(true, "a hook", ad, impression.get(), ""), AnalyticsAPI::canvasURL() + query);
	EXPECT_EQ(AnalyticsAdView::webUrlForCanvas(true, "a hook", ad, impression.get(), "PORTRAIT"), AnalyticsAPI::canvasURL() + query);
	EXPECT_EQ(AnalyticsAdView::webUrlForCanvas(true, "a hook", ad, impression.get(), "Landscape"), AnalyticsAPI::landscapeCanvasURL() + query);
	EXPECT_EQ(AnalyticsAdView::webUrlForCanvas(false, "a hook", ad, impression.get(), ""), AnalyticsAPI::appStoreURL() + query);
	EXPECT_EQ(AnalyticsAdView::webUrlForOffer("a hook", ad, impression.get()),
		AnalyticsAPI::appStoreURL() + "?apik=KEY&cid=0&adid=12&pid=" + pid + "&sid=1700000000000&its=5000&hid=a%20hook&ac=01ab&ats=1700000007000");
}

TEST_F(AdViewTest, ClickActions)
{
	struct Case
	{
		std::int64_t clickAction, canvasId;
		bool canvas, alert, store;
	};
	const Case cases[] = {
		{0, 5, true, false, false},
		{1, 5, true, false, false},
		{1, 0, false, false, true},
		{2, 5, false, true, false},
		{4, 5, false, false, true},
	};
	for (const Case& c : cases)
	{
		publish(AdAnswerWriter().banner({{1, 11, c.canvasId}}).clickAction("banner", c.clickAction));
		AnalyticsAdAssignment::recreateInstance();
		alerts.clear();
		referrals.tasks.clear();
		AnalyticsAdCanvasViewController::freeOpenCanvasController();
		std::shared_ptr<AnalyticsAdView> view = banner();
		view->touchesEnded(1);
		std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::getOpenCanvasController();
		EXPECT_EQ(canvas != nullptr, c.canvas) << c.clickAction;
		EXPECT_EQ(alerts.size(), c.alert ? 1u : 0u) << c.clickAction;
		EXPECT_EQ(referrals.tasks.size(), c.store ? 1u : 0u) << c.clickAction;
		const std::string base = c.canvas ? AnalyticsAPI::canvasURL() : AnalyticsAPI::appStoreURL();
		EXPECT_EQ(view->webUrl().rfind(base + "?", 0), 0u) << view->webUrl();
		if (canvas)
		{
			EXPECT_EQ(canvas->webView().requestedUrl, view->webUrl());
		}
	}
}

TEST_F(AdViewTest, DeclinedStoreAlertOpensNothingAndATapWithoutAnAdIsIgnored)
{
	publish(AdAnswerWriter().banner({{1, 11}}).clickAction("banner", 2));
	std::shared_ptr<AnalyticsAdView> view = banner();
	view->touchesEnded(1);
	ASSERT_EQ(alerts, std::vector<std::string>{AnalyticsAdView::STORE_ALERT_MESSAGE});
	answerAlert(0);
	EXPECT_TRUE(referrals.tasks.empty());
	std::vector<std::int32_t> states;
	for (const AnalyticsAdState& state : view->adImpression()->adStates())
		states.push_back(state.state);
	EXPECT_EQ(states, (std::vector<std::int32_t>{1, 2, 3, 4, 7}));

	AnalyticsAdParser::recreateInstance();
	AnalyticsAdParser::recreateOldInstance();
	std::shared_ptr<AnalyticsAdView> empty = banner();
	EXPECT_TRUE(empty->hidden());
	empty->touchesEnded(1);
	EXPECT_EQ(empty->adImpression()->currentState(), 1);
	EXPECT_EQ(empty->webUrl(), "");
}

TEST_F(AdViewTest, LayoutFollowsTheThemeAndRefreshReplacesTheElements)
{
	publish(AdAnswerWriter().banner({{1, 11}, {2, 12}}));
	std::shared_ptr<AnalyticsAdView> portrait = banner();
	EXPECT_FALSE(portrait->hidden());
	EXPECT_EQ(portrait->subviews().size(), 6u);
	EXPECT_EQ(portrait->element("appName")->text, "App");
	EXPECT_FLOAT_EQ(portrait->frame().width, 10);
	EXPECT_TRUE(portrait->element("advertiser")->hidden);
	portrait->refreshWithAd();
	EXPECT_EQ(portrait->subviews().size(), 6u);
	EXPECT_EQ(portrait->ad()->adId, 2);

	std::shared_ptr<AnalyticsAdView> landscape = banner("LANDSCAPE");
	EXPECT_FLOAT_EQ(landscape->frame().height, landscape->landscapeFrame().height);
	EXPECT_FLOAT_EQ(landscape->element("appName")->frame.x, landscape->landscapeAppNameFrame().x);
	EXPECT_FLOAT_EQ(portrait->element("icon")->frame.width, portrait->portraitIconFrame().width);
	EXPECT_FALSE(landscape->element("advertiser")->hidden);
	EXPECT_TRUE(landscape->element("portraitBackground")->hidden);
	EXPECT_EQ(landscape->element("appName")->font, "Arial");
}

TEST_F(AdViewTest, OrientationsAreComparedWholeAZeroByteIncluded)
{
	publish(AdAnswerWriter().banner({{1, 11}}));
	const std::string landscapeAndMore("landscape\0x", 11);
	EXPECT_FALSE(banner("Landscape")->element("advertiser")->hidden);
	EXPECT_TRUE(banner(landscapeAndMore)->element("advertiser")->hidden);

	AnalyticsAdPlacement placement;
	placement.hook = "banner";
	for (const auto& [orientation, landscape] : std::vector<std::pair<std::string, bool>>{{"landscape", true}, {landscapeAndMore, false}})
	{
		placement.orientation = orientation;
		std::shared_ptr<AnalyticsAdCanvasView> row = AnalyticsAdCanvasView::create(AnalyticsAdParser::fastAdWithHook("banner", "rows"), placement);
		EXPECT_EQ(row->frame().height == row->landscapeFrame().height, landscape) << orientation.size();
	}

	AnalyticsAd ad;
	EXPECT_EQ(AnalyticsAdView::webUrlForCanvas(true, "h", ad, nullptr, std::string("portrait\0x", 10)).rfind(AnalyticsAPI::landscapeCanvasURL(), 0), 0u);
}

TEST_F(AdViewTest, RefreshRunsOnTheHeartbeatWhileOnScreen)
{
	publish(AdAnswerWriter().banner({{1, 11}, {2, 12}}).properties(0, 5, 3, "2", "1"));
	std::shared_ptr<AnalyticsAdView> view = banner("portrait", true);
	ASSERT_TRUE(view->refreshDue());
	EXPECT_EQ(*view->refreshDue(), AnalyticsAdImpression::nowMillis() + 1000);
	EXPECT_EQ(view->ad()->adId, 1);
	clock.advance(1);
	view->handleHeartBeat();
	EXPECT_EQ(view->ad()->adId, 2);
	EXPECT_EQ(view->adImpression()->currentState(), AnalyticsAdView::RESULT_SEEN);

	onScreen = false;
	view->handleHeartBeat();
	EXPECT_FALSE(view->refreshDue());
	clock.advance(5);
	view->handleHeartBeat();
	EXPECT_EQ(view->ad()->adId, 2);
	onScreen = true;
	view->handleHeartBeat();
	EXPECT_EQ(*view->refreshDue(), AnalyticsAdImpression::nowMillis() + 1000);
}

TEST_F(AdViewTest, ABannerRemovedFromItsSuperviewIsOffScreenAndStopsRefreshing)
{
	AnalyticsAdView::Hooks hooks = AnalyticsAdView::hooks();
	hooks.onScreen = nullptr;
	AnalyticsAdView::setHooks(hooks);
	publish(AdAnswerWriter().banner({{1, 11}}));
	std::shared_ptr<AnalyticsAdView> view = banner("portrait", true);
	ASSERT_TRUE(view->attached());
	view->handleHeartBeat();
	ASSERT_TRUE(view->refreshDue());
	AnalyticsUtil::removeViewFromSuperview(view.get());
	AnalyticsUtil::removeViewFromSuperview(nullptr);
	EXPECT_FALSE(view->attached());
	view->handleHeartBeat();
	EXPECT_FALSE(view->refreshDue());
}

class CanvasTest : public AdTest
{
protected:
	// Rows "Analytics_Canvas_Hook_1" to rowsWithAds of distinct ads, the list header and a canvas ad.
	void answer(int rowsWithAds, int maxShown, const std::string& atStart, bool header = true)
	{
		AdAnswerWriter writer;
		std::vector<AdAnswerWriter::Ad> ads;
		std::vector<std::pair<std::string, std::pair<int, int>>> hooks = {{"banner", {1, 1}}};
		for (int i = 1; i <= rowsWithAds; ++i)
		{
			ads.push_back({100 + i, 11, 9});
			hooks.push_back({"Analytics_Canvas_Hook_" + std::to_string(i), {2, 1}});
		}
		writer.images({{11}}).theme(1, 0, 0).hooks(hooks).adBlock(1, {{1, 11, 9}}).adBlock(2, ads)
			.properties(20, maxShown, maxShown, atStart, atStart);
		if (header)
			writer.imageCode(11, AnalyticsAdCanvasViewController::HEADER_IMAGE_CODE);
		publish(writer);
	}

	std::shared_ptr<AnalyticsAdCanvasViewController> openCanvas()
	{
		std::shared_ptr<AnalyticsAdView> view = banner();
		view->touchesEnded(1);
		std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::getOpenCanvasController();
		EXPECT_TRUE(canvas);
		return canvas;
	}
};

TEST_F(CanvasTest, ListGeometryFollowsTheAdsFound)
{
	struct Case
	{
		int rowsWithAds, maxShown;
		std::string atStart;
		bool header;
		int upper, shownAt;
		bool hidden;
		std::size_t entries;
	};
	// Portrait: the lower limit is 480 - 29.
	const Case cases[] = {
		{3, 3, "2", true, 451 - 144, 451 - 96, false, 3},
		{2, 3, "2", true, 451 - 96, 451 - 96, false, 2},
		{0, 3, "2", true, 451 - 144, 451, true, 0},
		{3, 3, "2", false, 451 - 144, 451, true, 3},
		{12, 127, "1", true, 451 - 480, 451 - 48, false, 10},
	};
	for (const Case& c : cases)
	{
		answer(c.rowsWithAds, c.maxShown, c.atStart, c.header);
		std::shared_ptr<AnalyticsAdCanvasViewController> canvas = openCanvas();
		canvas->webViewDidFinishLoad();
		AnalyticsAdListView* list = canvas->adListView();
		ASSERT_TRUE(list);
		EXPECT_EQ(list->upperLocationLimit(), c.upper) << c.rowsWithAds;
		EXPECT_EQ(list->frame().y, c.shownAt) << c.rowsWithAds;
		EXPECT_EQ(list->hidden(), c.hidden);
		EXPECT_EQ(list->entries().size(), c.entries);
		canvas->cancel();
		EXPECT_FALSE(AnalyticsAdCanvasViewController::getOpenCanvasController());
	}
}

TEST_F(CanvasTest, TapsToggleTheListAndResizeThePage)
{
	answer(3, 3, "5");
	std::shared_ptr<AnalyticsAdCanvasViewController> canvas = openCanvas();
	canvas->webViewDidFinishLoad();
	AnalyticsAdListView& list = *canvas->adListView();
	ASSERT_EQ(list.frame().y, list.upperLocationLimit());
	const float openHeight = canvas->webView().frame.height;
	list.touchesBegan(10);
	list.touchesEnded(10);
	EXPECT_EQ(list.frame().y, list.lowerLocationLimit());
	EXPECT_FLOAT_EQ(canvas->webView().frame.height, openHeight + 144);
	list.touchesBegan(10);
	list.touchesMoved(-1000);
	list.touchesEnded(-1000);
	EXPECT_EQ(list.frame().y, list.upperLocationLimit());
	EXPECT_FLOAT_EQ(canvas->webView().frame.height, openHeight);
}

TEST_F(CanvasTest, StoreLinksLeaveThePageAndAFailedOneRestoresTheCanvas)
{
	answer(3, 3, "2");
	AnalyticsAPI::setAppStoreURL("http://127.0.0.1:1/store");
	std::shared_ptr<AnalyticsAdCanvasViewController> canvas = openCanvas();
	canvas->webViewDidFinishLoad();
	EXPECT_TRUE(canvas->shouldStartLoadWithRequest("http://127.0.0.1:1/page"));
	EXPECT_FALSE(canvas->shouldStartLoadWithRequest("http://127.0.0.1:1/store?x=1"));
	EXPECT_TRUE(canvas->appStoreConnection());
	EXPECT_FLOAT_EQ(canvas->webView().alpha, AnalyticsAdCanvasViewController::DIMMED_ALPHA);
	EXPECT_FALSE(canvas->adListView()->userInteractionEnabled());
	ASSERT_EQ(referrals.tasks.size(), 1u);
	referrals.tasks.front()();
	EXPECT_FLOAT_EQ(canvas->webView().alpha, 1);
	EXPECT_TRUE(canvas->webView().userInteractionEnabled);
	EXPECT_TRUE(canvas->adListView()->userInteractionEnabled());
	EXPECT_FALSE(canvas->loadingViewShown());
}

TEST_F(CanvasTest, WhileTheSessionCannotBeWrittenAdsWorkOnAndNoFailureReachesTheGame)
{
	answer(2, 3, "2");
	AnalyticsAPI::setAdNetworkEnabled(true);
	AnalyticsAPI::setAppStoreURL("http://127.0.0.1:1/store");
	// The session's directory lies under a plain file: every write of the record fails.
	const std::string file = freshDirectory("blocked") + "/file";
	std::ofstream(file) << "not a directory";
	platform::Directories::setLibrary(file + "/library");
	ASSERT_THROW(session->recordEvent("unwritten", {}, false), platform::ArchiveError);

	std::shared_ptr<AnalyticsAdView> view;
	ASSERT_NO_THROW(view = AnalyticsAPI::getHook("banner", 0, 0, AnalyticsAdParent{"view", nullptr}));
	ASSERT_TRUE(view && view->ad() && view->adImpression());
	EXPECT_NO_THROW(AnalyticsAPI::updateHook(*view));
	EXPECT_EQ(view->adImpression()->currentState(), AnalyticsAdView::RESULT_SEEN);
	AnalyticsOffer offer;
	EXPECT_TRUE(AnalyticsAPI::getOffer("banner", &offer, {{"c", "1"}}));
	EXPECT_EQ(offer.appName, "App");

	view->touchesEnded(1);
	std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::getOpenCanvasController();
	ASSERT_TRUE(canvas);
	EXPECT_NO_THROW(canvas->webViewDidFinishLoad());
	ASSERT_TRUE(canvas->adListView());
	EXPECT_EQ(canvas->adListView()->entries().size(), 2u);
	bool loads = true;
	EXPECT_NO_THROW(loads = canvas->shouldStartLoadWithRequest("http://127.0.0.1:1/store?x=1"));
	EXPECT_FALSE(loads);
	EXPECT_TRUE(canvas->appStoreConnection());
	EXPECT_FALSE(session->adLog().empty());
}

TEST_F(CanvasTest, ListRowsOpenFurtherCanvasesOnTheSameNavigation)
{
	answer(2, 3, "2");
	std::shared_ptr<AnalyticsAdCanvasViewController> canvas = openCanvas();
	canvas->webViewDidFinishLoad();
	std::shared_ptr<AnalyticsAdView> row = canvas->adListView()->entries().front();
	EXPECT_EQ(row->parentName(), canvas->description());
	EXPECT_EQ(row->element("sellMessage"), nullptr);
	EXPECT_FALSE(row->element("advertiser")->hidden);
	row->touchesEnded(1);
	AnalyticsAdNavigationDelegate& navigation = *canvas->navigation();
	ASSERT_EQ(navigation.pushed().size(), 1u);
	EXPECT_EQ(navigation.navItems().size(), 2u);
	EXPECT_TRUE(navigation.navigationBarShouldPopItem());
	EXPECT_TRUE(navigation.pushed().empty());
	AnalyticsAPI::closeAdCanvas();
	EXPECT_FALSE(canvas->windowOpen());
}

TEST_F(CanvasTest, APauseClosesTheCanvasWithOrWithoutASession)
{
	answer(1, 3, "2");
	openCanvas();
	AnalyticsAPI::pauseSession();
	EXPECT_FALSE(AnalyticsAdCanvasViewController::getOpenCanvasController());
	openCanvas();
	session->endSessionAndSend(false, true);
	ASSERT_FALSE(AnalyticsSession::currentSession());
	AnalyticsAPI::pauseSession();
	EXPECT_FALSE(AnalyticsAdCanvasViewController::getOpenCanvasController());
}

// Records what the application hears of the canvases.
class CanvasDelegate : public AnalyticsAdDelegate
{
public:
	void canvasWillDisplay(const std::string& hook) override { heard.push_back("display " + hook); }
	void canvasWillClose() override { heard.push_back("close"); }
	std::vector<std::string> heard;
};

TEST_F(CanvasTest, TheCatalogOpensAWindowCanvasAndTellsTheDelegate)
{
	answer(1, 3, "2");
	CanvasDelegate delegate;
	AnalyticsAPI::setAdNetworkDelegate(&delegate);
	AnalyticsAPI::openCatalog("missing", "portrait", true);
	EXPECT_FALSE(AnalyticsAdCanvasViewController::getOpenCanvasController());
	AnalyticsAPI::openCatalog("banner", "landscapeLeft", false);
	std::shared_ptr<AnalyticsAdCanvasViewController> canvas = AnalyticsAdCanvasViewController::getOpenCanvasController();
	ASSERT_TRUE(canvas);
	EXPECT_EQ(canvas->webUrl().rfind(AnalyticsAPI::landscapeCanvasURL() + "?", 0), 0u);
	EXPECT_EQ(canvas->adImpression()->adFormat(), AnalyticsAdImpression::FORMAT_CATALOG);
	EXPECT_EQ(canvas->adImpression()->currentState(), AnalyticsAdImpression::STATE_FILLED);
	EXPECT_EQ(canvas->ad()->adId, 1);
	EXPECT_EQ(canvas->adDelegate(), &delegate);
	EXPECT_EQ(canvas->canvasAnimationDuration(), 0);
	EXPECT_FLOAT_EQ(canvas->windowHiddenFrame().x, 320);
	EXPECT_FLOAT_EQ(canvas->navigationBarFrame().height, AnalyticsAdCanvasViewController::NAV_BAR_HEIGHT_LANDSCAPE);
	canvas->cancel();
	EXPECT_FALSE(canvas->windowOpen());
	EXPECT_EQ(delegate.heard, (std::vector<std::string>{"display banner", "close"}));
	AnalyticsAdParser::instance()->setAdDelegate(nullptr);
}

TEST_F(AdViewTest, FacadeHandsOutOneBannerPerHookAndParent)
{
	publish(AdAnswerWriter().banner({{1, 11}}));
	AnalyticsAdParent parent{"view", nullptr};
	EXPECT_FALSE(AnalyticsAPI::getHook("banner", 0, 0, parent));
	EXPECT_EQ(alerts, std::vector<std::string>{AnalyticsAPI::AD_NETWORK_DISABLED});
	AnalyticsAPI::setAdNetworkEnabled(true);
	std::shared_ptr<AnalyticsAdView> first = AnalyticsAPI::getHook("banner", 0, 0, parent);
	ASSERT_TRUE(first);
	EXPECT_EQ(AnalyticsAPI::getHook("banner", 0, 0, parent), first);
	AnalyticsAPI::removeHook(*first);
	EXPECT_NE(AnalyticsAPI::getHook("banner", 0, 0, parent), first);
}

} // namespace
