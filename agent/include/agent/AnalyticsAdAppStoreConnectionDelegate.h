#ifndef AGENT_ANALYTICSADAPPSTORECONNECTIONDELEGATE_H
#define AGENT_ANALYTICSADAPPSTORECONNECTIONDELEGATE_H

#include <platform/TaskRunner.h>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

// Resolves an ad's referral address by following its HTTP redirects off the main thread, then
// opens the address that sent the last redirect (the address itself when none came). Shared by
// its caller, who may cancel it, and by the resolution in flight.
class AnalyticsAdAppStoreConnectionDelegate : public std::enable_shared_from_this<AnalyticsAdAppStoreConnectionDelegate>
{
public:
	// Result codes reported to the ad impression.
	static constexpr int RESULT_REFERRAL_OPENED = 6;
	static constexpr int RESULT_REDIRECTS_FOLLOWED = 8;
	static constexpr int MAX_REDIRECTS = 10;

	// Where the work runs and what it reaches; empty members use the shared application and the
	// shared background threads.
	struct Hooks
	{
		std::function<void(int result)> adImpression;
		// Told on the main thread whether a store link was opened; false when the referral failed.
		std::function<void(bool opened)> done;
		platform::TaskRunner* worker = nullptr;
		std::function<void(std::function<void()>)> toMainThread;
		std::function<bool(const std::string&)> openURL;
	};

	static std::shared_ptr<AnalyticsAdAppStoreConnectionDelegate> openReferralURL(const std::string& url, Hooks hooks);

	// Nothing more is opened or reported.
	void cancel() { m_cancelled = true; }
	// The address that sent the last redirect; empty before the first.
	std::string iTunesURL() const;

private:
	AnalyticsAdAppStoreConnectionDelegate(const std::string& url, Hooks hooks);
	// On the worker: follows the redirects; false when the chain failed.
	bool resolve();
	void finish(bool resolved);

	const std::string m_url;
	Hooks m_hooks;
	std::atomic<bool> m_cancelled{false};
	mutable std::mutex m_mutex;
	std::string m_iTunesURL;
};

#endif
