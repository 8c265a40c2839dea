#ifndef AGENT_ANALYTICSSESSIONUPLOADER_H
#define AGENT_ANALYTICSSESSIONUPLOADER_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Joins the stored sessions (and, when asked, the current one) into one session report, posts it
// to the facade's server address and removes what the server accepted. Class operations only;
// each upload runs synchronously on the calling thread, usually one of its own. With no server
// address nothing is posted and the sessions stay stored.
class AnalyticsSessionUploader
{
public:
	static constexpr int PROTOCOL_VERSION = 15;
	static constexpr int PLATFORM = 8;
	// Type of a cached ad image in the report header.
	static constexpr int IMAGE_ITEM_TYPE = 1;
	// Device identifier types.
	static constexpr int PHONE_ID = 0;
	static constexpr int HASHED_ID = 1;
	// Seconds.
	static constexpr int SHORT_TIMEOUT = 5;
	static constexpr int LONG_TIMEOUT = 20;

	// The ad image cache as the report header describes it.
	struct AdImageCache
	{
		std::int64_t updateTimestamp = 0;
		std::vector<std::int64_t> storedIds;
	};

	// Where the ad part meets the upload; empty members mean no ad part: an empty image cache and
	// answers that go nowhere.
	struct AdHooks
	{
		std::function<AdImageCache()> imageCache;
		// Called on the upload's thread after each upload that asked for ads: whether the server
		// answered with success, and the answer's bytes (empty on failure), untrusted.
		std::function<void(bool success, const std::string& answer)> answer;
	};

	AnalyticsSessionUploader() = delete;

	static void setAdHooks(AdHooks hooks);

	// The whole report: the header, then the given session blocks in order.
	static std::string dataForSessions(const std::vector<std::string>& blocks, bool requestAds);

	// At session start: the stored sessions, ads as the facade says, the long time-out.
	static void sendSessionsToServerForAdNetwork();
	// At a pause and at the end of a session: stored and current sessions, the short time-out; the
	// answer is not looked at.
	static void sendSessionsToServerForSessionPause();
	static void sendSessionsToServerForEndOfSession();
	// One upload. Without time-out a success removes exactly the stored sessions that were sent and
	// sets the sent marker; either way the current record learns whether the internet answered.
	// Failures stay inside; the stored sessions then stay as they were.
	static void sendSessionsToServer(bool withTimeout, bool requestAds, bool sendCurrentSession);
};

#endif
