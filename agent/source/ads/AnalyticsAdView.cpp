#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsHeartBeater.h>
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSession.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdProperties.h>
#include <agent/ads/AnalyticsAdView.h>
#include <platform/Application.h>
#include <platform/NotificationCenter.h>
#include <mutex>

namespace {

std::mutex s_mutex;
AnalyticsAdView::Hooks s_hooks;

AnalyticsRect rect(const AnalyticsAdLocation& origin, const AnalyticsAdDimension& size)
{
	return {static_cast<float>(origin.x), static_cast<float>(origin.y), static_cast<float>(size.width), static_cast<float>(size.height)};
}

AnalyticsRect textFrame(const AnalyticsAdTextStyle& style)
{
	return rect(style.location, style.dimension);
}

// Places a text element, if the view has it, where the style says and sets it in the style's font.
void applyTextStyle(AnalyticsAdElement* element, const AnalyticsAdTextStyle& style)
{
	if (!element)
		return;
	element->frame = textFrame(style);
	element->font = style.font;
	element->fontSize = style.fontSize;
}

bool defaultOnScreen(const AnalyticsAdView& view)
{
	const AnalyticsRect frame = view.frame();
	const float x = frame.x + frame.width / 2, y = frame.y + frame.height / 2;
	return view.attached() && !view.hidden() && x >= 0 && y >= 0 && x < platform::Application::SCREEN_WIDTH
		&& y < platform::Application::SCREEN_HEIGHT;
}

// The query that tells the server which session, impression and ad a page is for.
std::string query(const std::string& hook, const std::string& canvasId, const AnalyticsAd& ad, const AnalyticsAdImpression* impression)
{
	std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
	return "?apik=" + (session ? session->apiKey() : std::string()) + "&cid=" + canvasId + "&adid=" + std::to_string(ad.adId)
		+ "&pid=" + AnalyticsSession::phoneID()
		+ "&sid=" + std::to_string(session ? AnalyticsProtocolData::timeIntervalFrom(0.0, session->startTime()) : 0)
		+ "&its=" + std::to_string(impression ? impression->timeIntervalSinceSessionStart() : 0)
		+ "&hid=" + AnalyticsUtil::percentEscape(hook) + "&ac=" + ad.adCookieString()
		+ "&ats=" + std::to_string(AnalyticsAdImpression::nowMillis());
}

} // namespace

void AnalyticsAdView::setHooks(Hooks hooks)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_hooks = std::move(hooks);
}

AnalyticsAdView::Hooks AnalyticsAdView::hooks()
{
	Hooks hooks;
	{
		std::lock_guard<std::mutex> lock(s_mutex);
		hooks = s_hooks;
	}
	if (!hooks.showAlert)
		hooks.showAlert = [](const platform::Alert& alert, std::function<void(int)> done) {
			if (platform::Application* application = platform::Application::shared())
				application->showAlert(alert, std::move(done));
		};
	if (!hooks.onScreen)
		hooks.onScreen = defaultOnScreen;
	return hooks;
}

std::shared_ptr<AnalyticsAdView> AnalyticsAdView::create(std::shared_ptr<AnalyticsAd> ad, const AnalyticsAdPlacement& placement)
{
	std::shared_ptr<AnalyticsAdView> view(new AnalyticsAdView(placement));
	view->init(std::move(ad));
	return view;
}

AnalyticsAdView::AnalyticsAdView(const AnalyticsAdPlacement& placement) :
	m_placement(placement),
	m_frame{static_cast<float>(placement.x), static_cast<float>(placement.y), WIDTH, HEIGHT}
{
}

void AnalyticsAdView::init(std::shared_ptr<AnalyticsAd> ad)
{
	AnalyticsUtil::catchAll([&] {
		m_adImpression = AnalyticsAdImpression::create(m_placement.hook, AnalyticsAdImpression::FORMAT_BANNER);
		std::shared_ptr<AnalyticsAdHook> hook = AnalyticsAdParser::fastHookWithName(m_placement.hook);
		if (ad && hook)
			updateWithAd(std::move(ad), std::move(hook));
		std::weak_ptr<AnalyticsAdView> self = shared_from_this();
		m_heartbeatObserver = platform::NotificationCenter::defaultCenter().addObserver(
			AnalyticsHeartBeater::HEARTBEAT_NOTIFICATION, [self](const std::string&) {
				if (std::shared_ptr<AnalyticsAdView> view = self.lock())
					view->handleHeartBeat();
			});
	});
}

AnalyticsAdView::~AnalyticsAdView()
{
	AnalyticsUtil::catchAll([&] {
		platform::NotificationCenter::defaultCenter().removeObserver(m_heartbeatObserver);
		if (std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::instance())
			assignment->removeAd(m_ad.get(), m_placement.parent.name);
	});
}

void AnalyticsAdView::updateWithAd(std::shared_ptr<AnalyticsAd> ad, std::shared_ptr<AnalyticsAdHook> hook)
{
	const bool hadAd = m_ad && m_adHook;
	m_ad = std::move(ad);
	m_adHook = std::move(hook);
	if (m_ad && m_adHook)
	{
		m_theme = m_adHook->adTheme;
		if (!m_ad->adImage.empty())
			createViewElements();
		m_userInteractionEnabled = true;
		m_hidden = false;
		if (m_placement.autoRefresh && !m_refreshTimerPaused)
			scheduleRefresh();
		// A view whose first impression was never made gets one with its first ad.
		if (hadAd || !m_adImpression)
			m_adImpression = AnalyticsAdImpression::create(m_placement.hook, AnalyticsAdImpression::FORMAT_BANNER);
		m_adImpression->updateWithAd(*m_ad);
		updateToOrientation();
	}
	checkBannerLocation();
}

void AnalyticsAdView::scheduleRefresh()
{
	m_refreshDue = AnalyticsAdImpression::nowMillis() + std::int64_t(AnalyticsAdProperties::getBannerRefreshInSeconds()) * 1000;
	m_refreshTimerPaused = false;
}

void AnalyticsAdView::createViewElements()
{
	buildViewElements(false);
}

void AnalyticsAdView::buildViewElements(bool listEntry)
{
	const AnalyticsAdTheme theme = m_theme ? *m_theme : AnalyticsAdTheme();
	auto text = [](const char* name, AnalyticsRect frame, const std::string& content, const AnalyticsAdTextStyle& style) {
		AnalyticsAdElement element;
		element.name = name;
		element.frame = frame;
		element.text = content;
		element.font = style.font;
		element.fontSize = style.fontSize;
		element.textColor = style.fontColor;
		return element;
	};
	auto image = [](const char* name, AnalyticsRect frame, const std::string& bytes) {
		AnalyticsAdElement element;
		element.name = name;
		element.frame = frame;
		element.image = bytes;
		return element;
	};
	// A new ad replaces the elements of the one before.
	m_subviews.clear();
	m_subviews.push_back(image("icon", iconFrame(false), m_ad->adImage));
	m_subviews.push_back(image("landscapeBackground", AnalyticsRect{0, 0, 0, 0}, theme.landscapeAdImage));
	m_subviews.back().hidden = listEntry;
	m_subviews.push_back(image("portraitBackground", AnalyticsRect{0, 0, 0, 0}, theme.portraitAdImage));
	if (!listEntry)
	{
		m_subviews.push_back(text("sellMessage", textFrame(theme.portraitSellMessageTextStyle), theme.sellMessage, theme.portraitSellMessageTextStyle));
		m_subviews.back().adjustsFontSizeToFitWidth = true;
		m_subviews.back().numberOfLines = 2;
	}
	m_subviews.push_back(text("appName", textFrame(theme.portraitAppNameTextStyle), m_ad->adText, theme.portraitAppNameTextStyle));
	m_subviews.push_back(text("advertiser", textFrame(theme.portraitAdvertiserTextStyle), m_ad->advertiser, theme.portraitAdvertiserTextStyle));
	m_subviews.back().hidden = !listEntry;
}

void AnalyticsAdView::updateToOrientation()
{
	AnalyticsUtil::catchAll([&] { layOut(AnalyticsUtil::equalIgnoringCase(m_placement.orientation, "landscape")); });
}

void AnalyticsAdView::layOut(bool landscape)
{
	if (!m_theme)
		return;
	const AnalyticsAdTheme& theme = *m_theme;
	m_frame = viewFrame(landscape);
	const AnalyticsAdTextStyle& sellMessage = landscape ? theme.landscapeSellMessageTextStyle : theme.portraitSellMessageTextStyle;
	const AnalyticsAdTextStyle& appName = landscape ? theme.landscapeAppNameTextStyle : theme.portraitAppNameTextStyle;
	const AnalyticsAdTextStyle& advertiser = landscape ? theme.landscapeAdvertiserTextStyle : theme.portraitAdvertiserTextStyle;
	applyTextStyle(mutableElement("sellMessage"), sellMessage);
	if (AnalyticsAdElement* element = mutableElement("icon"))
		element->frame = iconFrame(landscape);
	applyTextStyle(mutableElement("appName"), appName);
	if (AnalyticsAdElement* element = mutableElement("advertiser"))
	{
		element->frame = textFrame(advertiser);
		element->hidden = !landscape;
	}
	if (AnalyticsAdElement* element = mutableElement("landscapeBackground"))
		element->hidden = !landscape;
	if (AnalyticsAdElement* element = mutableElement("portraitBackground"))
		element->hidden = landscape;
}

AnalyticsRect AnalyticsAdView::viewFrame(bool landscape) const
{
	const AnalyticsAdDimension size = !m_theme ? AnalyticsAdDimension() : landscape ? m_theme->landscapeAdDimension : m_theme->portraitAdDimension;
	return {m_frame.x, m_frame.y, static_cast<float>(size.width), static_cast<float>(size.height)};
}

AnalyticsRect AnalyticsAdView::iconFrame(bool landscape) const
{
	if (!m_theme)
		return {0, 0, 0, 0};
	return landscape ? rect(m_theme->landscapeAppImageLocation, m_theme->landscapeAppImageDimension)
					 : rect(m_theme->portraitAppImageLocation, m_theme->portraitAppImageDimension);
}

AnalyticsRect AnalyticsAdView::styleFrame(AnalyticsAdTextStyle AnalyticsAdTheme::*style) const
{
	return m_theme ? textFrame((*m_theme).*style) : AnalyticsRect{0, 0, 0, 0};
}

const AnalyticsAdElement* AnalyticsAdView::element(const std::string& name) const
{
	for (const AnalyticsAdElement& element : m_subviews)
		if (element.name == name)
			return &element;
	return nullptr;
}

AnalyticsAdElement* AnalyticsAdView::mutableElement(const std::string& name)
{
	return const_cast<AnalyticsAdElement*>(element(name));
}

void AnalyticsAdView::refreshWithAd()
{
	AnalyticsUtil::catchAll([&] {
		if (std::shared_ptr<AnalyticsAdAssignment> assignment = AnalyticsAdAssignment::instance())
			assignment->removeAd(m_ad.get(), m_placement.parent.name);
		std::shared_ptr<AnalyticsAdParser> parser = AnalyticsAdParser::instance();
		std::shared_ptr<AnalyticsAd> ad = parser->adWithHook(m_placement.hook, m_placement.parent.name);
		updateWithAd(std::move(ad), parser->hookWithName(m_placement.hook));
	});
}

void AnalyticsAdView::handleHeartBeat()
{
	if (!m_ad || !m_adHook)
		refreshWithAd();
	checkBannerLocation();
	if (m_refreshDue && AnalyticsAdImpression::nowMillis() >= *m_refreshDue)
	{
		m_refreshDue.reset();
		refreshWithAd();
	}
}

void AnalyticsAdView::checkBannerLocation()
{
	AnalyticsUtil::catchAll([&] {
		if (hooks().onScreen(*this))
		{
			if (m_ad && m_adImpression && m_adImpression->currentState() <= AnalyticsAdImpression::STATE_FILLED)
				m_adImpression->updateWithResult(RESULT_SEEN);
			if (m_placement.autoRefresh && m_refreshTimerPaused)
				scheduleRefresh();
		}
		else
		{
			m_refreshTimerPaused = true;
			m_refreshDue.reset();
		}
	});
}

void AnalyticsAdView::touchesEnded(int tapCount)
{
	AnalyticsUtil::catchAll([&] {
		// Without an ad there is nothing to link to.
		if (tapCount <= 0 || !m_ad)
			return;
		m_adImpression->updateWithResult(RESULT_TAPPED);
		int action = m_adHook ? static_cast<int>(m_adHook->clickAction) : 0;
		if (action == 0)
			action = AnalyticsAPI::DEFAULT_CLICK_ACTION;
		const bool canvas = m_ad->canvasId > 0 && action == CLICK_ACTION_CANVAS;
		m_webUrl = webUrlForCanvas(canvas, m_placement.hook, *m_ad, m_adImpression.get(), m_placement.canvasOrientation);
		if (canvas)
			openCanvas();
		else if (action == CLICK_ACTION_CONFIRM_STORE)
		{
			m_adImpression->updateWithResult(RESULT_STORE_ALERT);
			std::weak_ptr<AnalyticsAdView> self = shared_from_this();
			hooks().showAlert(platform::Alert{"", STORE_ALERT_MESSAGE, {"Don't Allow", "OK"}, 0}, [self](int button) {
				std::shared_ptr<AnalyticsAdView> view = self.lock();
				if (view && button != 0)
					view->showAppStore();
			});
		}
		else
			showAppStore();
	});
}

void AnalyticsAdView::openCanvas()
{
	std::shared_ptr<AnalyticsAdCanvasViewController> controller = AnalyticsAdCanvasViewController::create();
	controller->setWebUrl(m_webUrl);
	controller->setAdImpression(m_adImpression);
	controller->setAd(m_ad);
	controller->setAdDelegate(m_adDelegate);
	controller->setCanvasOrientation(m_placement.canvasOrientation);
	controller->setCanvasAnimated(m_canvasAnimated);
	if (m_placement.parent.navigation)
		controller->showIn(*m_placement.parent.navigation);
	else
		controller->createCanvasWindow();
}

void AnalyticsAdView::showAppStore()
{
	AnalyticsUtil::catchAll([&] {
		AnalyticsAdAppStoreConnectionDelegate::Hooks referral = hooks().referral;
		std::shared_ptr<AnalyticsAdImpression> impression = m_adImpression;
		referral.adImpression = [impression](int result) { impression->updateWithResult(result); };
		AnalyticsAdAppStoreConnectionDelegate::openReferralURL(m_webUrl, std::move(referral));
	});
}

std::string AnalyticsAdView::webUrlForCanvas(bool canvas, const std::string& hook, const AnalyticsAd& ad,
	const AnalyticsAdImpression* impression, const std::string& canvasOrientation)
{
	std::string base;
	if (!canvas)
		base = AnalyticsAPI::appStoreURL();
	else if (canvasOrientation.empty() || AnalyticsUtil::equalIgnoringCase(canvasOrientation, "portrait"))
		base = AnalyticsAPI::canvasURL();
	else
		base = AnalyticsAPI::landscapeCanvasURL();
	return base + query(hook, std::to_string(ad.canvasId), ad, impression);
}

std::string AnalyticsAdView::webUrlForOffer(const std::string& hook, const AnalyticsAd& ad, const AnalyticsAdImpression* impression)
{
	return AnalyticsAPI::appStoreURL() + query(hook, "0", ad, impression);
}
