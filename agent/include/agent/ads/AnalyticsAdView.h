#ifndef AGENT_ADS_ANALYTICSADVIEW_H
#define AGENT_ADS_ANALYTICSADVIEW_H

#include <agent/AnalyticsAdAppStoreConnectionDelegate.h>
#include <agent/AnalyticsUtil.h>
#include <agent/ads/AnalyticsAd.h>
#include <agent/ads/AnalyticsAdHook.h>
#include <platform/Alert.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AnalyticsAdDelegate;
class AnalyticsAdImpression;
class AnalyticsAdNavigationDelegate;

// One laid-out element of an ad view (icon, background or text); nothing draws it. A plain value.
struct AnalyticsAdElement
{
	std::string name;
	AnalyticsRect frame{0, 0, 0, 0};
	std::string text;
	// Encoded image bytes of an image element.
	std::string image;
	std::string font;
	std::int64_t fontSize = 0;
	AnalyticsAdColor textColor;
	bool hidden = false;
	bool adjustsFontSizeToFitWidth = false;
	int numberOfLines = 1;
};

// Where an ad view belongs: its parent's name, the key of the ad assignment, and the canvas
// navigation it lives in, if any (not owned).
struct AnalyticsAdParent
{
	std::string name;
	AnalyticsAdNavigationDelegate* navigation = nullptr;
};

// What an ad view is made with; a plain value.
struct AnalyticsAdPlacement
{
	std::string hook;
	int x = 0, y = 0;
	AnalyticsAdParent parent;
	bool attachToView = true;
	// "landscape" (any case) lays out landscape, anything else portrait.
	std::string orientation = "portrait";
	// "portrait" (any case, or empty) opens the portrait canvas page, anything else the landscape one.
	std::string canvasOrientation = "portrait";
	bool autoRefresh = false;
};

// The agent's banner: shows one ad of a hook laid out by the hook's theme, refreshes on the
// heartbeat while on screen, records its impression and turns a tap into the hook's click action.
// A model of the view: it computes frames, texts and visibility and draws nothing. Shared by the
// application and the ad assignment; main thread only.
class AnalyticsAdView : public std::enable_shared_from_this<AnalyticsAdView>
{
public:
	static constexpr float WIDTH = 320;
	static constexpr float HEIGHT = 48;
	static constexpr int CLICK_ACTION_CANVAS = 1;
	static constexpr int CLICK_ACTION_CONFIRM_STORE = 2;
	// Results reported to the impression.
	static constexpr int RESULT_SEEN = 3;
	static constexpr int RESULT_TAPPED = 4;
	static constexpr int RESULT_STORE_ALERT = 7;
	static constexpr const char* STORE_ALERT_MESSAGE = "You will now be taken to the App Store. There is no obligation to purchase.";

	// What the views reach of the platform; empty members use the shared application.
	struct Hooks
	{
		AnalyticsAdAppStoreConnectionDelegate::Hooks referral;
		std::function<void(const platform::Alert&, std::function<void(int button)>)> showAlert;
		// Whether the view's centre shows on the screen.
		std::function<bool(const AnalyticsAdView&)> onScreen;
	};
	static void setHooks(Hooks hooks);
	static Hooks hooks();

	// A hidden view that shows the ad once the hook has a theme, observing the heartbeat.
	static std::shared_ptr<AnalyticsAdView> create(std::shared_ptr<AnalyticsAd> ad, const AnalyticsAdPlacement& placement);
	virtual ~AnalyticsAdView();
	AnalyticsAdView(const AnalyticsAdView&) = delete;
	AnalyticsAdView& operator=(const AnalyticsAdView&) = delete;

	void updateWithAd(std::shared_ptr<AnalyticsAd> ad, std::shared_ptr<AnalyticsAdHook> hook);
	// Gives the ad back to the assignment and shows the next one of the hook.
	void refreshWithAd();
	void handleHeartBeat();
	void checkBannerLocation();
	virtual void updateToOrientation();
	// A tap while no ad is shown is ignored.
	void touchesEnded(int tapCount);
	void showAppStore();

	// The canvas or store page of an ad, with the query that identifies the session and ad.
	static std::string webUrlForCanvas(bool canvas, const std::string& hook, const AnalyticsAd& ad,
		const AnalyticsAdImpression* impression, const std::string& canvasOrientation);
	static std::string webUrlForOffer(const std::string& hook, const AnalyticsAd& ad, const AnalyticsAdImpression* impression);

	// The theme's frames of the view (at its present origin) and of its elements; empty before a
	// theme arrives.
	AnalyticsRect portraitFrame() const { return viewFrame(false); }
	AnalyticsRect landscapeFrame() const { return viewFrame(true); }
	AnalyticsRect portraitIconFrame() const { return iconFrame(false); }
	AnalyticsRect landscapeIconFrame() const { return iconFrame(true); }
	AnalyticsRect portraitSellMessageFrame() const { return styleFrame(&AnalyticsAdTheme::portraitSellMessageTextStyle); }
	AnalyticsRect landscapeSellMessageFrame() const { return styleFrame(&AnalyticsAdTheme::landscapeSellMessageTextStyle); }
	AnalyticsRect portraitAppNameFrame() const { return styleFrame(&AnalyticsAdTheme::portraitAppNameTextStyle); }
	AnalyticsRect landscapeAppNameFrame() const { return styleFrame(&AnalyticsAdTheme::landscapeAppNameTextStyle); }
	AnalyticsRect portraitAdvertiserFrame() const { return styleFrame(&AnalyticsAdTheme::portraitAdvertiserTextStyle); }
	AnalyticsRect landscapeAdvertiserFrame() const { return styleFrame(&AnalyticsAdTheme::landscapeAdvertiserTextStyle); }

	const std::shared_ptr<AnalyticsAd>& ad() const { return m_ad; }
	const std::string& hook() const { return m_placement.hook; }
	const std::shared_ptr<AnalyticsAdImpression>& adImpression() const { return m_adImpression; }
	const std::shared_ptr<AnalyticsAdHook>& adHook() const { return m_adHook; }
	const std::shared_ptr<AnalyticsAdTheme>& theme() const { return m_theme; }
	const std::string& parentName() const { return m_placement.parent.name; }
	const std::string& orientation() const { return m_placement.orientation; }
	const std::string& canvasOrientation() const { return m_placement.canvasOrientation; }
	const std::string& webUrl() const { return m_webUrl; }
	void setAdDelegate(AnalyticsAdDelegate* delegate) { m_adDelegate = delegate; }
	AnalyticsAdDelegate* adDelegate() const { return m_adDelegate; }
	void setCanvasAnimated(bool animated) { m_canvasAnimated = animated; }
	bool canvasAnimated() const { return m_canvasAnimated; }

	AnalyticsRect frame() const { return m_frame; }
	bool hidden() const { return m_hidden; }
	// True while the view is attached to its parent view.
	bool attached() const { return m_placement.attachToView; }
	// Detached, the view no longer counts as on screen.
	void removeFromSuperview() { m_placement.attachToView = false; }
	bool userInteractionEnabled() const { return m_userInteractionEnabled; }
	// The elements in the order they are stacked, bottom first.
	const std::vector<AnalyticsAdElement>& subviews() const { return m_subviews; }
	// Null when the view has no such element.
	const AnalyticsAdElement* element(const std::string& name) const;
	// When the next refresh falls due (milliseconds since 1970); none while no refresh is pending.
	std::optional<std::int64_t> refreshDue() const { return m_refreshDue; }

protected:
	explicit AnalyticsAdView(const AnalyticsAdPlacement& placement);
	void init(std::shared_ptr<AnalyticsAd> ad);
	virtual void createViewElements();
	// Lays out the icon, the two backgrounds, the sell message (unless a list entry), the app name
	// and the advertiser, replacing the elements of an earlier ad.
	void buildViewElements(bool listEntry);
	void layOut(bool landscape);

private:
	AnalyticsRect viewFrame(bool landscape) const;
	AnalyticsRect iconFrame(bool landscape) const;
	AnalyticsRect styleFrame(AnalyticsAdTextStyle AnalyticsAdTheme::*style) const;
	AnalyticsAdElement* mutableElement(const std::string& name);
	void scheduleRefresh();
	void openCanvas();

	AnalyticsAdPlacement m_placement;
	std::shared_ptr<AnalyticsAd> m_ad;
	std::shared_ptr<AnalyticsAdImpression> m_adImpression;
	std::shared_ptr<AnalyticsAdHook> m_adHook;
	std::shared_ptr<AnalyticsAdTheme> m_theme;
	AnalyticsAdDelegate* m_adDelegate = nullptr;
	std::string m_webUrl;
	bool m_canvasAnimated = false;
	bool m_refreshTimerPaused = false;
	std::optional<std::int64_t> m_refreshDue;
	AnalyticsRect m_frame;
	bool m_hidden = true;
	bool m_userInteractionEnabled = false;
	std::vector<AnalyticsAdElement> m_subviews;
	int m_heartbeatObserver = 0;
};

#endif
