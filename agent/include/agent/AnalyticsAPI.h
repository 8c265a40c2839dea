#ifndef AGENT_ANALYTICSAPI_H
#define AGENT_ANALYTICSAPI_H

#include <agent/AnalyticsSettings.h>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <system_error>

class AnalyticsAdDelegate;
class AnalyticsPageViewDelegate;
class AnalyticsPageViewTarget;
class AnalyticsSessionTarget;
class AnalyticsAdView;
struct AnalyticsAdParent;
struct AnalyticsAdPlacement;
struct AnalyticsOffer;

// The analytics agent's facade: class operations only, never instantiated. Every entry but the
// getters first asks sendUsageInfo and does nothing when usage reporting is off; failures inside
// an entry are swallowed so that none reaches the game. The settings are guarded by a lock and
// live for the process.
class AnalyticsAPI
{
public:
	// The user-defaults key whose false value switches usage reporting off.
	static constexpr const char* SEND_USAGE_INFO_KEY = "AnalyticsSendUsageInfo";
	static constexpr int AGENT_VERSION = 42;
	static constexpr const char* APP_VERSION_TOO_LATE = "AnalyticsAPI: Please call setAppVersion before startSession.";

	// Limits of one session record and of the stored sessions.
	static constexpr int MAX_EVENT_COUNTS = 100;
	static constexpr int MAX_EVENT_LOG_COUNT = 1000;
	static constexpr int MAX_EVENT_PARAMETERS = 10;
	static constexpr int MAX_ERRORS = 10;
	static constexpr int MAX_IMPRESSIONS = 1000;
	static constexpr int MAX_SESSIONS = 50;
	static constexpr int DEFAULT_CLICK_ACTION = 1;

	AnalyticsAPI() = delete;

	// Asked afresh on each call: false when the standard user defaults hold false under the key.
	static bool sendUsageInfo();

	// Keeps the application key for the run, switches ads off until switched on after it, starts
	// the heartbeat, makes the session record with an upload of the stored sessions, and follows
	// the application's lifecycle notifications from then on.
	static void startSession(const std::string& apiKey);
	static std::string apiKey();
	// A new current session record with the stored settings, and an upload thread.
	static void createAndSendSession();
	// On termination: the record ends and is stored.
	static void endSession();
	// On resigning active: the record is paused and archived with a provisional end; with reports
	// on pause an upload thread starts.
	static void pauseSession();
	// On becoming active: a pause longer than pauseSecondsBeforeStartingNewSession stores the
	// record and starts a new one; a shorter or equal one continues it.
	static void resumeSession();
	// Called when the pause upload ends; nothing to release on this platform.
	static void stopBackgroundTask();

	// Handed to the current session record, if any.
	static void logEvent(const std::string& name);
	static void logEvent(const std::string& name, const std::map<std::string, std::string>& parameters);
	static void logEvent(const std::string& name, bool timed);
	static void logEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed);
	static void endTimedEvent(const std::string& name, const std::map<std::string, std::string>& parameters);
	// Described as "type: what()".
	static void logError(const std::string& errorID, const std::string& message, const std::exception& exception);
	// Described as "message: category".
	static void logError(const std::string& errorID, const std::string& message, const std::error_code& error);
	static void countPageView();
	// Counts the screens the controller shows on the current record; null for a controller of
	// another kind. The caller owns the proxy, which must outlive its place as the delegate.
	static std::shared_ptr<AnalyticsPageViewDelegate> countPageViews(AnalyticsPageViewTarget& controller);

	static void setServerURL(const std::string& url);
	static void setCanvasURL(const std::string& url);
	static void setLandscapeCanvasURL(const std::string& url);
	static void setAppStoreURL(const std::string& url);
	static void setSavedResponseURL(const std::string& url);
	static void setPauseSecondsBeforeStartingNewSession(int seconds);
	static void setMaxSessionsSaved(int count);
	static void setAdNetworkEnabled(bool enabled);
	// Not owned: the application keeps it alive while it is set. Hears whether ad data came, and
	// about the canvases the ads open.
	static void setAdNetworkDelegate(AnalyticsAdDelegate* delegate);
	// These reach the current session record as well.
	static void setSessionReportsOnCloseEnabled(bool enabled);
	static void setSessionReportsOnPauseEnabled(bool enabled);
	static void setEventLoggingEnabled(bool enabled);
	static void setAge(int age);
	static void setUserID(const std::string& userID);
	static void setGender(const std::string& gender);
	// Only before the session starts; afterwards the version stays and an alert says why.
	static void setAppVersion(const std::string& version);
	static void setShowErrorInLogEnabled(bool enabled);

	static std::string serverURL();
	static std::string canvasURL();
	static std::string landscapeCanvasURL();
	static std::string appStoreURL();
	static std::string savedResponseURL();
	static std::string appVersion();
	static bool udidEnabled();
	static bool adNetworkEnabled();
	static std::string getAnalyticsAgentVersion();
	// A copy of every setting, taken under the lock, for other threads.
	static AnalyticsSettings settings();

	// The session record that settings made during a session reach; null when none runs.
	static void setCurrentSession(std::shared_ptr<AnalyticsSessionTarget> session);
	static std::shared_ptr<AnalyticsSessionTarget> currentSession();

	// The defaults of a fresh process, and no current session.
	static void resetSettings();

	// Runs work when usage reporting is on, swallowing whatever it throws; the frame of every entry.
	static void guarded(const std::function<void()>& work);
	// The same for entries with an answer: false when opted out or when the work failed.
	static bool guardedAnswer(const std::function<bool()>& work);

private:
	// Forgets the pause time and stops following the lifecycle notifications.
	static void resetSessionControl();
	// Keeps the key and switches ads off, under the settings' lock.
	static void keepApiKey(const std::string& apiKey);
	static void change(const std::function<void(AnalyticsSettings&)>& edit);
	static void changeAndHand(const std::function<void(AnalyticsSettings&)>& edit,
		const std::function<void(AnalyticsSessionTarget&)>& hand);

public:
	// Ads: banners, the catalogue and offers, and the ad state each session starts with.
	static constexpr const char* AD_NETWORK_DISABLED = "AnalyticsAPI: AdNetwork is disabled. Please enable AdNetwork from Analytics SDK before using AdNetwork banners.";

	// The file cache for the key, then a fresh ad assignment, image cache and both ad parsers, and
	// the upload's answers handed to the ad parser.
	static void prepareAdsForSession(const std::string& apiKey);
	// Closes an open canvas, as a pause does.
	static void closeAdCanvas();
	// A portrait banner attached to the parent that refreshes only on request.
	static std::shared_ptr<AnalyticsAdView> getHook(const std::string& hook, int x, int y, const AnalyticsAdParent& parent);
	// The banner the parent already has for the hook, else a new one; null while ads are off.
	static std::shared_ptr<AnalyticsAdView> getHook(const AnalyticsAdPlacement& placement, bool canvasAnimated);
	static void updateHook(AnalyticsAdView& banner);
	static void removeHook(const AnalyticsAdView& banner);
	static void openCatalog(const std::string& hook, const std::string& canvasOrientation, bool canvasAnimated);
	// True when the offer was filled in.
	static bool getOffer(const std::string& hook, AnalyticsOffer* offer);
	// Appends the cookies to the offer's referral address as "&c_<name>=<value>", escaped.
	static bool getOffer(const std::string& hook, AnalyticsOffer* offer, const std::map<std::string, std::string>& userCookies);
};

#endif
