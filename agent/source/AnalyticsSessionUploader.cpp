#include <agent/AnalyticsSessionUploader.h>
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsHTTPEater.h>
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/AnalyticsUtil.h>
#include <mutex>

namespace {

std::mutex s_mutex;
AnalyticsSessionUploader::AdHooks s_adHooks;

AnalyticsSessionUploader::AdHooks adHooks()
{
	std::lock_guard<std::mutex> lock(s_mutex);
	return s_adHooks;
}

} // namespace

void AnalyticsSessionUploader::setAdHooks(AdHooks hooks)
{
	std::lock_guard<std::mutex> lock(s_mutex);
	s_adHooks = std::move(hooks);
}

std::string AnalyticsSessionUploader::dataForSessions(const std::vector<std::string>& blocks, bool requestAds)
{
	using P = AnalyticsProtocolData;
	const AdHooks hooks = adHooks();
	const AdImageCache cache = hooks.imageCache ? hooks.imageCache() : AdImageCache();
	const std::shared_ptr<AnalyticsSession> current = AnalyticsSession::currentSession();
	const std::optional<double> currentStart = current ? std::optional<double>(current->startTime()) : std::nullopt;

	std::string data;
	P::appendUshort(PROTOCOL_VERSION, data);
	P::appendUshort(requestAds ? 1 : 0, data);
	P::appendLong(cache.updateTimestamp, data);
	P::appendUshort(static_cast<std::uint32_t>(cache.storedIds.size()), data);
	for (std::int64_t id : cache.storedIds)
	{
		P::appendByte(IMAGE_ITEM_TYPE, data);
		P::appendLong(id, data);
	}
	P::appendUshort(PLATFORM, data);
	P::appendUshort(AnalyticsAPI::AGENT_VERSION, data);
	P::appendTimestamp(AnalyticsClock::now(), data);
	P::appendString(current ? current->apiKey() : "", data);
	P::appendString(current ? current->appVersion() : "", data);
	if (AnalyticsAPI::udidEnabled())
	{
		P::appendUshort(PHONE_ID, data);
		P::appendString(AnalyticsSession::phoneID(), data);
	}
	else
	{
		P::appendUshort(HASHED_ID, data);
		P::appendShortData(AnalyticsSession::analyticsID(), data);
	}
	P::appendTimestamp(AnalyticsSessionStore::initialTimestamp(currentStart), data);
	P::appendTimestamp(currentStart, data);
	P::appendUshort(1, data);
	P::appendString("device.model.1", data);
	P::appendString("iOS4Device", data);
	P::appendUshort(static_cast<std::uint32_t>(blocks.size()), data);
	for (const std::string& block : blocks)
		data += block;
	return data;
}

void AnalyticsSessionUploader::sendSessionsToServerForAdNetwork()
{
	sendSessionsToServer(false, AnalyticsAPI::adNetworkEnabled(), false);
}

void AnalyticsSessionUploader::sendSessionsToServerForSessionPause()
{
	sendSessionsToServer(true, false, true);
}

void AnalyticsSessionUploader::sendSessionsToServerForEndOfSession()
{
	sendSessionsToServer(true, false, true);
}

void AnalyticsSessionUploader::sendSessionsToServer(bool withTimeout, bool requestAds, bool sendCurrentSession)
{
	try
	{
		const AnalyticsSettings settings = AnalyticsAPI::settings();
		const std::vector<std::string> stored = AnalyticsSessionStore::savedSessions();
		std::vector<std::string> blocks = stored;
		const std::shared_ptr<AnalyticsSession> current = AnalyticsSession::currentSession();
		if (sendCurrentSession && current)
			blocks.push_back(current->data());

		AnalyticsHTTPResponse response;
		bool posted = false;
		if (!settings.savedResponseURL.empty())
			response = AnalyticsHTTPResponse::readFromURL(settings.savedResponseURL);
		else if (!settings.serverURL.empty())
		{
			response = AnalyticsHTTPEater::sendMethod("POST", settings.serverURL, dataForSessions(blocks, requestAds),
				{{"Content-Type", "application/octet-stream"}}, withTimeout ? SHORT_TIMEOUT : LONG_TIMEOUT);
			posted = true;
		}
		else
			return;
		if (withTimeout)
			return;

		const bool success = response.isSuccess();
		if (current)
			current->setInternetAvailable(success);
		if (success && posted)
		{
			AnalyticsSessionStore::removeSentSessions(stored);
			AnalyticsSessionStore::setSentSession();
		}
		const AdHooks hooks = adHooks();
		if (requestAds && hooks.answer)
			hooks.answer(success, success ? response.body() : std::string());
	}
	catch (...)
	{
		AnalyticsUtil::handleException(std::current_exception());
	}
}
