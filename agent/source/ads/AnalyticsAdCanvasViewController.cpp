#include <agent/AnalyticsAPI.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdCanvasView.h>
#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdDelegate.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdNavigationDelegate.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdProperties.h>
#include <atomic>
#include <cstdio>

namespace {

// The screen the canvas window covers, in points.
constexpr AnalyticsRect SCREEN_BOUNDS{0, 0, 320, 480};

std::atomic<int> s_count{0};
std::shared_ptr<AnalyticsAdCanvasViewController> s_openCanvasController;

} // namespace

std::shared_ptr<AnalyticsAdCanvasViewController> AnalyticsAdCanvasViewController::create()
{
	return std::shared_ptr<AnalyticsAdCanvasViewController>(new AnalyticsAdCanvasViewController);
}

AnalyticsAdCanvasViewController::AnalyticsAdCanvasViewController() :
	m_description("AnalyticsAdCanvasViewController:" + std::to_string(++s_count))
{
}

AnalyticsAdCanvasViewController::~AnalyticsAdCanvasViewController()
{
	if (m_appStoreConnection)
		m_appStoreConnection->cancel();
	if (std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::instance())
		assignment->removeAdsOnParentName(m_description);
}

void AnalyticsAdCanvasViewController::setOpenCanvasController(std::shared_ptr<AnalyticsAdCanvasViewController> controller)
{
	std::shared_ptr<AnalyticsAdCanvasViewController> previous = std::move(s_openCanvasController);
	s_openCanvasController = std::move(controller);
}

std::shared_ptr<AnalyticsAdCanvasViewController> AnalyticsAdCanvasViewController::getOpenCanvasController()
{
	return s_openCanvasController;
}

void AnalyticsAdCanvasViewController::freeOpenCanvasController()
{
	setOpenCanvasController(nullptr);
}

bool AnalyticsAdCanvasViewController::landscape() const
{
	return AnalyticsUtil::canvasInLandscape(m_canvasOrientation);
}

float AnalyticsAdCanvasViewController::navigationBarHeight() const
{
	return landscape() ? NAV_BAR_HEIGHT_LANDSCAPE : NAV_BAR_HEIGHT_PORTRAIT;
}

AnalyticsRect AnalyticsAdCanvasViewController::adjustForStatusBar(AnalyticsRect frame) const
{
	frame.y += navigationBarHeight() + STATUS_BAR_HEIGHT;
	return frame;
}

void AnalyticsAdCanvasViewController::createCanvasWindow()
{
	if (m_adDelegate && m_adImpression)
		m_adDelegate->canvasWillDisplay(m_adImpression->hook());
	m_ownNavigation = std::make_shared<AnalyticsAdNavigationDelegate>();
	m_navigation = m_ownNavigation.get();
	loadView();
	viewDidLoad();
	const AnalyticsRect screen = SCREEN_BOUNDS;
	if (AnalyticsUtil::canvasInLandscapeRight(m_canvasOrientation))
		m_windowHiddenFrame = {-screen.width, 0, screen.width, screen.height};
	else if (AnalyticsUtil::canvasInLandscapeLeft(m_canvasOrientation))
		m_windowHiddenFrame = {screen.width, 0, screen.width, screen.height};
	else
		m_windowHiddenFrame = {0, screen.height, screen.width, screen.height};
	m_windowFrame = screen;
	m_windowOpen = true;
	setOpenCanvasController(shared_from_this());
}

void AnalyticsAdCanvasViewController::showIn(AnalyticsAdNavigationDelegate& navigation)
{
	m_navigation = &navigation;
	loadView();
	viewDidLoad();
	navigation.push(shared_from_this());
}

void AnalyticsAdCanvasViewController::loadView()
{
	const AnalyticsRect bounds = AnalyticsUtil::screenBounds(m_canvasOrientation);
	const float bar = navigationBarHeight();
	m_navigationBarFrame = {bounds.x, bounds.y, bounds.width, bar};
	if (!m_loaded && m_navigation)
		m_navigation->appendItem(TITLE);
	m_loadingViewFrame = adjustForStatusBar({bounds.width / 2 - LOADING_SIZE / 2, bounds.height / 2 - LOADING_SIZE / 2, LOADING_SIZE, LOADING_SIZE});
	m_webView.frame = adjustForStatusBar({bounds.x, bounds.y - STATUS_BAR_HEIGHT, bounds.width,
		(bounds.height + STATUS_BAR_HEIGHT) - (bar + PAGE_BOTTOM_RESERVE)});
	m_webView.alpha = 0;
}

void AnalyticsAdCanvasViewController::viewDidLoad()
{
	m_webView.requestedUrl = m_webUrl;
	m_loaded = true;
}

bool AnalyticsAdCanvasViewController::shouldStartLoadWithRequest(const std::string& url)
{
	const std::string store = AnalyticsAPI::appStoreURL();
	if (store.empty() || url.compare(0, store.size(), store) != 0)
		return true;
	AnalyticsUtil::catchAll([&] { followStoreLink(url); });
	return false;
}

void AnalyticsAdCanvasViewController::followStoreLink(const std::string& url)
{
	m_loadingViewShown = true;
	setDimmed(true);
	AnalyticsAdAppStoreConnectionDelegate::Hooks referral = AnalyticsAdView::hooks().referral;
	std::shared_ptr<AnalyticsAdImpression> impression = m_adImpression;
	referral.adImpression = [impression](int result) {
		if (impression)
			impression->updateWithResult(result);
	};
	std::weak_ptr<AnalyticsAdCanvasViewController> self = shared_from_this();
	// A referral that opens nothing gives the canvas back to the user.
	referral.done = [self](bool opened) {
		std::shared_ptr<AnalyticsAdCanvasViewController> controller = self.lock();
		if (!controller || opened)
			return;
		controller->m_appStoreConnection.reset();
		controller->m_loadingViewShown = false;
		controller->setDimmed(false);
	};
	m_appStoreConnection = AnalyticsAdAppStoreConnectionDelegate::openReferralURL(url, std::move(referral));
}

void AnalyticsAdCanvasViewController::setDimmed(bool dimmed)
{
	const float alpha = dimmed ? DIMMED_ALPHA : 1.0f;
	m_webView.alpha = alpha;
	m_webView.userInteractionEnabled = !dimmed;
	if (m_adListView && !m_adListView->hidden())
	{
		m_adListView->setAlpha(alpha);
		m_adListView->setUserInteractionEnabled(!dimmed);
	}
}

void AnalyticsAdCanvasViewController::webViewDidStartLoad()
{
	m_loadingViewShown = true;
}

void AnalyticsAdCanvasViewController::webViewDidFinishLoad()
{
	AnalyticsUtil::catchAll([this] { showPage(); });
}

void AnalyticsAdCanvasViewController::showPage()
{
	if (m_adImpression)
		m_adImpression->updateWithResult(RESULT_PAGE_LOADED);
	const bool wide = landscape();
	const char* layout = wide ? "landscape" : "portrait";
	// The properties keep the count within the list's rows whatever the server sent.
	const int rows = wide ? AnalyticsAdProperties::getLandscapeAdsMaxShown() : AnalyticsAdProperties::getPortraitAdsMaxShown();
	m_webView.alpha = 1;
	m_loadingViewShown = false;

	const AnalyticsRect bounds = AnalyticsUtil::screenBounds(m_canvasOrientation);
	const float pitch = AnalyticsAdListView::ROW_PITCH, header = AnalyticsAdListView::HEADER_HEIGHT;
	m_adListView.reset(new AnalyticsAdListView(adjustForStatusBar({0, static_cast<float>(static_cast<int>(m_webView.frame.height - LIST_OFFSET)),
		bounds.width, pitch * rows + header})));
	AnalyticsAdListView& list = *m_adListView;
	const int lower = static_cast<int>(bounds.height - header);
	list.setLimits(lower - static_cast<int>(pitch) * rows, lower);
	list.setWebView(&m_webView);

	std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::createInstance();
	assignment->assignAd(m_ad, m_description);
	list.setHeaderImage(AnalyticsAdParser::fastImageWithCode(HEADER_IMAGE_CODE));

	int found = 0;
	for (int i = 1; i <= rows; ++i)
	{
		char hook[64];
		std::snprintf(hook, sizeof(hook), LIST_HOOK_FORMAT, i);
		std::shared_ptr<AnalyticsAd> ad = AnalyticsAdParser::fastAdWithHook(hook, m_description);
		if (!ad)
			break;
		AnalyticsAdPlacement placement;
		placement.hook = hook;
		placement.x = 0;
		placement.y = static_cast<int>(pitch) * (i - 1) + static_cast<int>(header);
		// The rows' parent is the navigation, whose visible canvas is this one: they share its name.
		placement.parent = {m_description, m_navigation};
		placement.attachToView = false;
		placement.orientation = layout;
		placement.canvasOrientation = m_canvasOrientation;
		placement.autoRefresh = false;
		std::shared_ptr<AnalyticsAdCanvasView> entry = AnalyticsAdCanvasView::create(std::move(ad), placement);
		entry->setAdDelegate(m_adDelegate);
		entry->setCanvasAnimated(m_canvasAnimated);
		list.addEntry(std::move(entry));
		++found;
	}

	if (found == 0 || list.headerImage().empty())
	{
		list.setHidden(true);
		list.dragByYDisplacement(500);
		list.setUserInteractionEnabled(false);
		return;
	}
	list.setLimits(list.upperLocationLimit() + static_cast<int>(pitch) * (rows - found), lower);
	const float atStart = wide ? AnalyticsAdProperties::getLandscapeAdsShownAtStart() : AnalyticsAdProperties::getPortraitAdsShownAtStart();
	if (found > atStart)
		list.dragToYPosition(lower - pitch * atStart);
	else
		list.dragToYPosition(static_cast<float>(list.upperLocationLimit()));
}

void AnalyticsAdCanvasViewController::webViewDidFailLoad()
{
	m_loadingViewShown = false;
	m_unavailablePanelShown = true;
}

void AnalyticsAdCanvasViewController::cancel()
{
	std::shared_ptr<AnalyticsAdCanvasViewController> self = shared_from_this();
	if (m_appStoreConnection)
	{
		m_appStoreConnection->cancel();
		m_appStoreConnection.reset();
	}
	closeWindow();
}

void AnalyticsAdCanvasViewController::closeWindow()
{
	// A canvas pushed over another closes the window they share.
	std::shared_ptr<AnalyticsAdCanvasViewController> open = getOpenCanvasController();
	if (!open)
		return;
	open->m_windowOpen = false;
	open->m_windowFrame = open->m_windowHiddenFrame;
	if (m_adDelegate)
		m_adDelegate->canvasWillClose();
	freeOpenCanvasController();
}
