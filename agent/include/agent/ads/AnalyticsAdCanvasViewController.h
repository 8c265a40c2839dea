#ifndef AGENT_ADS_ANALYTICSADCANVASVIEWCONTROLLER_H
#define AGENT_ADS_ANALYTICSADCANVASVIEWCONTROLLER_H

#include <agent/AnalyticsAdAppStoreConnectionDelegate.h>
#include <agent/AnalyticsUtil.h>
#include <agent/ads/AnalyticsAd.h>
#include <agent/ads/AnalyticsAdListView.h>
#include <memory>
#include <string>

class AnalyticsAdDelegate;
class AnalyticsAdImpression;
class AnalyticsAdNavigationDelegate;

// The full-screen canvas page of an ad: a page under a navigation bar with a list of further ads
// at its foot, in a window of its own or pushed over another canvas. A model: it computes the
// window's and elements' frames, the list and the dimming, and draws nothing; whoever loads the
// page reports its progress. The open window's first canvas is held process-wide until it
// closes; pushed canvases belong to its navigation. Main thread only.
class AnalyticsAdCanvasViewController : public std::enable_shared_from_this<AnalyticsAdCanvasViewController>
{
public:
	static constexpr const char* TITLE = "Info";
	static constexpr float NAV_BAR_HEIGHT_PORTRAIT = 44;
	static constexpr float NAV_BAR_HEIGHT_LANDSCAPE = 32;
	static constexpr float STATUS_BAR_HEIGHT = 20;
	static constexpr float PAGE_BOTTOM_RESERVE = 145;
	static constexpr float LIST_OFFSET = 40;
	static constexpr float LOADING_SIZE = 30;
	static constexpr float DIMMED_ALPHA = 0.25f;
	// Seconds.
	static constexpr double ANIMATION_DURATION = 0.3;
	static constexpr int RESULT_PAGE_LOADED = 5;
	static constexpr int HEADER_IMAGE_CODE = 1;
	static constexpr const char* LIST_HOOK_FORMAT = "Analytics_Canvas_Hook_%d";
	static constexpr const char* INTERNET_UNAVAILABLE = "Internet unavailable";

	static std::shared_ptr<AnalyticsAdCanvasViewController> create();
	~AnalyticsAdCanvasViewController();
	AnalyticsAdCanvasViewController(const AnalyticsAdCanvasViewController&) = delete;
	AnalyticsAdCanvasViewController& operator=(const AnalyticsAdCanvasViewController&) = delete;

	// Opens the canvas in a window of its own and makes it the open canvas.
	void createCanvasWindow();
	// Shows the canvas over the others of the navigation it is pushed on.
	void showIn(AnalyticsAdNavigationDelegate& navigation);
	// True when the page may load; a store link is followed outside the page instead.
	bool shouldStartLoadWithRequest(const std::string& url);
	void webViewDidStartLoad();
	void webViewDidFinishLoad();
	void webViewDidFailLoad();
	// Stops a store link in flight and closes the canvas window.
	void cancel();
	double canvasAnimationDuration() const { return m_canvasAnimated ? ANIMATION_DURATION : 0; }

	static void setOpenCanvasController(std::shared_ptr<AnalyticsAdCanvasViewController> controller);
	static std::shared_ptr<AnalyticsAdCanvasViewController> getOpenCanvasController();
	static void freeOpenCanvasController();

	void setWebUrl(const std::string& url) { m_webUrl = url; }
	const std::string& webUrl() const { return m_webUrl; }
	void setCanvasOrientation(const std::string& orientation) { m_canvasOrientation = orientation; }
	const std::string& canvasOrientation() const { return m_canvasOrientation; }
	void setAdImpression(std::shared_ptr<AnalyticsAdImpression> impression) { m_adImpression = std::move(impression); }
	const std::shared_ptr<AnalyticsAdImpression>& adImpression() const { return m_adImpression; }
	void setAd(std::shared_ptr<AnalyticsAd> ad) { m_ad = std::move(ad); }
	const std::shared_ptr<AnalyticsAd>& ad() const { return m_ad; }
	// Not owned.
	void setAdDelegate(AnalyticsAdDelegate* delegate) { m_adDelegate = delegate; }
	AnalyticsAdDelegate* adDelegate() const { return m_adDelegate; }
	void setCanvasAnimated(bool animated) { m_canvasAnimated = animated; }
	bool canvasAnimated() const { return m_canvasAnimated; }
	// The store link being resolved; null when none is.
	const std::shared_ptr<AnalyticsAdAppStoreConnectionDelegate>& appStoreConnection() const { return m_appStoreConnection; }

	// A name unique in the process: the parent name of the canvas's ads.
	const std::string& description() const { return m_description; }
	bool windowOpen() const { return m_windowOpen; }
	// Where the window slides in from (and out to) and where it rests.
	AnalyticsRect windowHiddenFrame() const { return m_windowHiddenFrame; }
	AnalyticsRect windowFrame() const { return m_windowFrame; }
	AnalyticsRect navigationBarFrame() const { return m_navigationBarFrame; }
	AnalyticsRect loadingViewFrame() const { return m_loadingViewFrame; }
	bool loadingViewShown() const { return m_loadingViewShown; }
	const AnalyticsAdWebView& webView() const { return m_webView; }
	// Null until the page has loaded.
	AnalyticsAdListView* adListView() const { return m_adListView.get(); }
	bool unavailablePanelShown() const { return m_unavailablePanelShown; }
	AnalyticsAdNavigationDelegate* navigation() const { return m_navigation; }

private:
	AnalyticsAdCanvasViewController();
	void loadView();
	void viewDidLoad();
	bool landscape() const;
	float navigationBarHeight() const;
	AnalyticsRect adjustForStatusBar(AnalyticsRect frame) const;
	void setDimmed(bool dimmed);
	void closeWindow();
	// Dims the canvas while the link resolves to the address the store opens.
	void followStoreLink(const std::string& url);
	// The loaded page with the list of ads below it.
	void showPage();

	std::string m_description;
	std::string m_webUrl;
	std::string m_canvasOrientation;
	std::shared_ptr<AnalyticsAdImpression> m_adImpression;
	std::shared_ptr<AnalyticsAd> m_ad;
	AnalyticsAdDelegate* m_adDelegate = nullptr;
	bool m_canvasAnimated = false;
	bool m_loaded = false;
	bool m_windowOpen = false;
	AnalyticsRect m_windowHiddenFrame{0, 0, 0, 0};
	AnalyticsRect m_windowFrame{0, 0, 0, 0};
	AnalyticsRect m_navigationBarFrame{0, 0, 0, 0};
	AnalyticsRect m_loadingViewFrame{0, 0, 0, 0};
	bool m_loadingViewShown = false;
	AnalyticsAdWebView m_webView;
	bool m_unavailablePanelShown = false;
	std::shared_ptr<AnalyticsAdAppStoreConnectionDelegate> m_appStoreConnection;
	// The window's navigation when this canvas opened the window; its pushed canvases go first.
	std::shared_ptr<AnalyticsAdNavigationDelegate> m_ownNavigation;
	AnalyticsAdNavigationDelegate* m_navigation = nullptr;
	// Its rows refer to the navigation: declared after it, so destroyed before it.
	std::unique_ptr<AnalyticsAdListView> m_adListView;
};

#endif
