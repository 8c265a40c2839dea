#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsUtil.h>
#include <agent/ads/AnalyticsAd.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <atomic>

using platform::ArchiveValue;

namespace {

std::atomic<std::uint64_t> s_count{0};

// Milliseconds kept as a double in the archive; the report carries them as 64-bit integers.
std::int64_t unarchiveMillis(const ArchiveValue& value)
{
	const double millis = value.get("timeIntervalSinceSessionStart").asDouble();
	// 2^63: the first double beyond the 64-bit integers.
	constexpr double LIMIT = 9223372036854775808.0;
	if (!(millis >= -LIMIT && millis < LIMIT))
		throw platform::ArchiveError("Impression time out of the 64-bit range");
	return static_cast<std::int64_t>(millis);
}

} // namespace

int AnalyticsAdState::translateAdStateFromOldToNew(int oldState)
{
	static const int newStates[] = {1, 3, 4, 5, 8};
	return oldState >= 0 && oldState < 5 ? newStates[oldState] : 0;
}

std::int64_t AnalyticsAdImpression::currentSessionTime()
{
	std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession();
	return session ? AnalyticsProtocolData::timeIntervalFrom(session->startTime(), AnalyticsClock::now()) : 0;
}

std::int64_t AnalyticsAdImpression::nowMillis()
{
	return AnalyticsProtocolData::timeIntervalFrom(0.0, AnalyticsClock::now());
}

std::shared_ptr<AnalyticsAdImpression> AnalyticsAdImpression::create(const std::string& hook, int adFormat)
{
	std::shared_ptr<AnalyticsAdImpression> impression(new AnalyticsAdImpression);
	impression->m_identity = "impression" + std::to_string(++s_count);
	impression->m_timeIntervalSinceSessionStart = currentSessionTime();
	impression->m_hook = hook;
	impression->m_adFormat = adFormat;
	impression->m_adStates.push_back({impression->m_timeIntervalSinceSessionStart, STATE_CREATED});
	impression->record();
	return impression;
}

void AnalyticsAdImpression::updateWithAd(const AnalyticsAd& ad)
{
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		m_adId = ad.adId;
		m_canvasId = ad.canvasId;
		m_adCookie = ad.adCookie;
	}
	append(STATE_FILLED);
}

void AnalyticsAdImpression::updateWithResult(int result)
{
	append(result);
}

void AnalyticsAdImpression::append(int state)
{
	const std::int64_t now = currentSessionTime();
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		m_adStates.push_back({now, state});
	}
	record();
}

void AnalyticsAdImpression::record()
{
	if (std::shared_ptr<AnalyticsSession> session = AnalyticsSession::currentSession())
	{
		std::string identity;
		{
			std::lock_guard<std::mutex> lock(m_mutex);
			identity = m_identity;
		}
		// The record keeps the impression when its file cannot be written, and writes it with the
		// next change: the view that shows the ad goes on either way.
		AnalyticsUtil::catchAll([&] { session->recordAdImpression({identity, data()}); });
	}
}

std::string AnalyticsAdImpression::data() const
{
	using P = AnalyticsProtocolData;
	std::lock_guard<std::mutex> lock(m_mutex);
	std::string data;
	P::appendString(m_hook, data);
	P::appendByte(static_cast<int>(m_adFormat), data);
	P::appendLong(m_adId, data);
	P::appendLong(m_canvasId, data);
	P::appendTinyData(m_adCookie, data);
	P::appendUshort(static_cast<std::uint32_t>(m_adStates.size()), data);
	for (const AnalyticsAdState& state : m_adStates)
	{
		P::appendByte(state.state, data);
		P::appendLong(state.timeIntervalSinceSessionStart, data);
	}
	return data;
}

int AnalyticsAdImpression::currentState() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adStates.empty() ? 0 : m_adStates.back().state;
}

std::string AnalyticsAdImpression::hook() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_hook;
}

std::int64_t AnalyticsAdImpression::timeIntervalSinceSessionStart() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_timeIntervalSinceSessionStart;
}

std::int64_t AnalyticsAdImpression::adFormat() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adFormat;
}

std::int64_t AnalyticsAdImpression::adId() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adId;
}

std::int64_t AnalyticsAdImpression::canvasId() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_canvasId;
}

std::string AnalyticsAdImpression::adCookie() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adCookie;
}

std::vector<AnalyticsAdState> AnalyticsAdImpression::adStates() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adStates;
}

ArchiveValue AnalyticsAdImpression::archive() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	ArchiveValue value = ArchiveValue::record("AnalyticsAdImpression");
	value.set("timeIntervalSinceSessionStart", ArchiveValue::real(static_cast<double>(m_timeIntervalSinceSessionStart)));
	value.set("hook", ArchiveValue::string(m_hook));
	value.set("adId", ArchiveValue::integer(m_adId));
	value.set("canvasId", ArchiveValue::integer(m_canvasId));
	value.set("adCookie", ArchiveValue::bytes(m_adCookie));
	value.set("adResult", ArchiveValue::integer(m_adResult));
	value.set("adFormat", ArchiveValue::integer(m_adFormat));
	ArchiveValue states = ArchiveValue::array();
	for (const AnalyticsAdState& s : m_adStates)
	{
		ArchiveValue state = ArchiveValue::record("AnalyticsAdState");
		state.set("timeIntervalSinceSessionStart", ArchiveValue::real(static_cast<double>(s.timeIntervalSinceSessionStart)));
		state.set("state", ArchiveValue::integer(s.state));
		states.append(state);
	}
	value.set("adStates", states);
	return value;
}

std::shared_ptr<AnalyticsAdImpression> AnalyticsAdImpression::unarchive(const ArchiveValue& value)
{
	std::shared_ptr<AnalyticsAdImpression> impression(new AnalyticsAdImpression);
	AnalyticsAdImpression& i = *impression;
	i.m_identity = "impression" + std::to_string(++s_count);
	i.m_timeIntervalSinceSessionStart = unarchiveMillis(value);
	i.m_hook = value.get("hook").asString();
	i.m_adId = value.get("adId").asInt();
	i.m_canvasId = value.get("canvasId").asInt();
	i.m_adCookie = value.get("adCookie").asBytes();
	const bool hasResult = value.has("adResult");
	i.m_adResult = hasResult ? value.get("adResult").asInt() : 0;
	i.m_adFormat = value.has("adFormat") ? value.get("adFormat").asInt() : 0;
	if (value.has("adStates"))
		for (const ArchiveValue& state : value.get("adStates").items())
			i.m_adStates.push_back({unarchiveMillis(state), static_cast<std::int32_t>(state.get("state").asInt())});
	// Archives of the older layout carry a result instead of states.
	if (i.m_adStates.empty())
	{
		const std::int64_t at = i.m_timeIntervalSinceSessionStart;
		if (i.m_adResult > 0)
			i.m_adStates.push_back({at, AnalyticsAdState::translateAdStateFromOldToNew(0)});
		i.m_adStates.push_back({at, AnalyticsAdState::translateAdStateFromOldToNew(static_cast<int>(i.m_adResult))});
	}
	return impression;
}
