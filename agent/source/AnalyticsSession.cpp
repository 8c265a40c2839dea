#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsProtocolData.h>
#include <agent/AnalyticsSessionStore.h>
#include <agent/AnalyticsSessionUploader.h>
#include <lang/Truncate.h>
#include <platform/BundleInfo.h>
#include <platform/Device.h>
#include <platform/Digest.h>
#include <platform/KeyedArchive.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sys/utsname.h>
#include <unistd.h>

using platform::ArchiveError;
using platform::ArchiveValue;

namespace {

// The time of the last counted page view, shared by all records; none before the first.
std::mutex s_pageViewMutex;
std::optional<double> s_lastPageView;

constexpr std::int64_t BYTES_PER_MEGABYTE = 1048576;
constexpr std::int64_t HERTZ_PER_KILOHERTZ = 1000;
constexpr double HERTZ_PER_MEGAHERTZ = 1e6;
constexpr double LOCATION_PRECISION = 1000.0; // steps per degree

// Two one-byte fields of the session block that carry nothing.
constexpr int RESERVED_BYTE = 0;

std::string localeIdentifier()
{
	std::string language = platform::Device::preferredLanguages().front();
	for (char& c : language)
		if (c == '-')
			c = '_';
	return language;
}

std::string timeZoneName()
{
	if (const char* tz = std::getenv("TZ"); tz && *tz)
		return tz[0] == ':' ? tz + 1 : tz;
	char target[PATH_MAX];
	const ssize_t length = readlink("/etc/localtime", target, sizeof(target) - 1);
	if (length > 0)
	{
		const std::string path(target, static_cast<size_t>(length));
		const size_t zone = path.find("zoneinfo/");
		if (zone != std::string::npos)
			return path.substr(zone + 9);
	}
	std::ifstream file("/etc/timezone");
	std::string name;
	if (std::getline(file, name) && !name.empty())
		return name;
	return "UTC";
}

// The start of the local year that lies so many years before now.
double startOfYearBefore(int years)
{
	const time_t now = static_cast<time_t>(AnalyticsClock::now());
	tm local{};
	localtime_r(&now, &local);
	tm start{};
	start.tm_year = local.tm_year - years;
	start.tm_mday = 1;
	start.tm_isdst = -1;
	return static_cast<double>(mktime(&start));
}

std::optional<double> optionalDate(const ArchiveValue& record, const char* key)
{
	if (!record.has(key))
		return std::nullopt;
	return record.get(key).asDate();
}

void setOptionalDate(ArchiveValue& record, const char* key, std::optional<double> date)
{
	if (date)
		record.set(key, ArchiveValue::date(*date));
}

std::string optionalString(const ArchiveValue& record, const char* key)
{
	return record.has(key) ? record.get(key).asString() : std::string();
}

void setOptionalString(ArchiveValue& record, const char* key, const std::string& text)
{
	if (!text.empty())
		record.set(key, ArchiveValue::string(text));
}

// Archive forms of the record's list elements, shared by the record and its journalled changes.
ArchiveValue archiveError(const AnalyticsSession::Error& error)
{
	ArchiveValue entry = ArchiveValue::array();
	entry.append(ArchiveValue::date(error.date));
	entry.append(ArchiveValue::string(error.errorID));
	entry.append(ArchiveValue::string(error.message));
	entry.append(ArchiveValue::string(error.description));
	return entry;
}

AnalyticsSession::Error unarchiveError(const ArchiveValue& entry)
{
	if (entry.kind() != ArchiveValue::Kind::Array || entry.items().size() != 4)
		throw ArchiveError("Error entry of the wrong shape");
	const std::vector<ArchiveValue>& items = entry.items();
	return {items[0].asDate(), items[1].asString(), items[2].asString(), items[3].asString()};
}

ArchiveValue archiveImpression(const AnalyticsSession::AdImpressionBlock& impression)
{
	ArchiveValue entry = ArchiveValue::dictionary();
	entry.set("identity", ArchiveValue::bytes(impression.identity));
	entry.set("block", ArchiveValue::bytes(impression.block));
	return entry;
}

AnalyticsSession::AdImpressionBlock unarchiveImpression(const ArchiveValue& entry)
{
	return {entry.get("identity").asBytes(), entry.get("block").asBytes()};
}

std::map<std::string, std::int64_t> unarchiveCounts(const ArchiveValue& counts)
{
	if (counts.kind() != ArchiveValue::Kind::Dictionary)
		throw ArchiveError("Event counts are no dictionary");
	std::map<std::string, std::int64_t> read;
	for (size_t i = 0; i < counts.keys().size(); ++i)
		read[counts.keys()[i]] = counts.items()[i].asInt();
	return read;
}

// Each element of an archived list, read.
template <class Read>
auto unarchiveList(const ArchiveValue& list, Read read)
{
	std::vector<decltype(read(list))> items;
	for (const ArchiveValue& item : list.items())
		items.push_back(read(item));
	return items;
}

// One element as an archived list of one.
ArchiveValue listOf(const ArchiveValue& item)
{
	ArchiveValue list = ArchiveValue::array();
	list.append(item);
	return list;
}

} // namespace

std::shared_ptr<AnalyticsSession> AnalyticsSession::createActiveAnalyticsSession(const std::string& apiKey)
{
	AnalyticsSessionStore::setApiKey(apiKey);
	bool crashedSessionStored = true;
	try
	{
		storeCrashedSession();
	}
	catch (const ArchiveError&)
	{
		// Damage is set aside while storing: what arrives here is a file that could not be read
		// or written, which the next write tries again.
		crashedSessionStored = false;
	}
	const std::string setVersion = AnalyticsAPI::appVersion();
	auto session = std::make_shared<AnalyticsSession>(apiKey, setVersion.empty() ? platform::BundleInfo::version() : setVersion);
	AnalyticsAPI::setCurrentSession(session);
	std::lock_guard<std::mutex> lock(session->m_mutex);
	session->m_writesCurrentFile = true;
	session->m_crashedSessionPending = !crashedSessionStored;
	try
	{
		session->saveLocked();
	}
	catch (const ArchiveError&)
	{
		// The record runs in memory and is written with its next change.
	}
	return session;
}

void AnalyticsSession::storeCrashedSession()
{
	const std::optional<AnalyticsSessionStore::CurrentSession> archived = AnalyticsSessionStore::readCurrentSession();
	if (archived)
	{
		std::shared_ptr<AnalyticsSession> crashed;
		try
		{
			crashed = unarchive(archived->record, archived->changes);
		}
		catch (const ArchiveError& damage)
		{
			AnalyticsSessionStore::setAsideCurrentSession(damage.what());
		}
		if (crashed)
		{
			crashed->setCrashed(true);
			AnalyticsSessionStore::addToSavedSessions(crashed->data(), crashed->identity());
		}
	}
	AnalyticsSessionStore::removeCurrentSession();
}

std::shared_ptr<AnalyticsSession> AnalyticsSession::currentSession()
{
	return std::dynamic_pointer_cast<AnalyticsSession>(AnalyticsAPI::currentSession());
}

std::string AnalyticsSession::phoneID()
{
	return "IPHONE" + platform::Device::uniqueIdentifier();
}

std::string AnalyticsSession::analyticsID()
{
	const std::string phone = phoneID();
	const std::vector<uint8_t> digest = platform::Digest::sha1(phone.data(), phone.size());
	return std::string(digest.begin(), digest.end());
}

std::string AnalyticsSession::getAgentVersion()
{
	return std::to_string(AnalyticsAPI::AGENT_VERSION);
}

std::string AnalyticsSession::devicePlatform()
{
	utsname names{};
	return uname(&names) == 0 ? names.machine : "";
}

std::int64_t AnalyticsSession::deviceMemory()
{
	const long pages = sysconf(_SC_PHYS_PAGES);
	const long pageSize = sysconf(_SC_PAGESIZE);
	if (pages <= 0 || pageSize <= 0)
		return 0;
	return static_cast<std::int64_t>(pages) * pageSize / BYTES_PER_MEGABYTE;
}

std::int64_t AnalyticsSession::deviceCPUFrequency()
{
	std::ifstream top("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
	std::int64_t kilohertz = 0;
	if (top >> kilohertz && kilohertz > 0)
		return kilohertz * HERTZ_PER_KILOHERTZ;
	std::ifstream cpuinfo("/proc/cpuinfo");
	std::string line;
	while (std::getline(cpuinfo, line))
	{
		if (line.rfind("cpu MHz", 0) != 0)
			continue;
		const size_t colon = line.find(':');
		if (colon == std::string::npos)
			return 0;
		return lang::truncateTo<std::int64_t>(std::atof(line.c_str() + colon + 1) * HERTZ_PER_MEGAHERTZ);
	}
	return 0;
}

double AnalyticsSession::reduceLocationPrecision(double coordinate)
{
	return std::trunc(coordinate * LOCATION_PRECISION) / LOCATION_PRECISION;
}

AnalyticsSession::AnalyticsSession(const std::string& apiKey, const std::string& appVersion) :
	m_identity(platform::Device::randomIdentifier()),
	m_startTime(AnalyticsClock::now()),
	m_apiKey(apiKey),
	m_appVersion(appVersion),
	m_locale(localeIdentifier()),
	m_timeZone(timeZoneName())
{
}

void AnalyticsSession::pauseSession()
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_pauseTime = AnalyticsClock::now();
	saveLocked();
}

void AnalyticsSession::resumeSession()
{
	std::lock_guard<std::mutex> lock(m_mutex);
	if (!m_pauseTime)
		return;
	m_totalPauseIntervalMillis += AnalyticsProtocolData::timeIntervalFrom(m_pauseTime, AnalyticsClock::now());
	m_pauseTime.reset();
	saveLocked();
}

void AnalyticsSession::endSession()
{
	endSessionAndSend(true, true);
}

void AnalyticsSession::endSessionAndSend(bool send, bool remove)
{
	bool sendNow;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		m_endTime = AnalyticsClock::now();
		endTimedEvents();
		saveLocked();
		sendNow = send && m_sessionReportsOnCloseEnabled;
	}
	if (sendNow)
		AnalyticsSessionUploader::sendSessionsToServerForEndOfSession();
	if (remove)
		saveSession();
}

void AnalyticsSession::saveSession()
{
	std::string block;
	std::string identity;
	{
		std::lock_guard<std::mutex> lock(m_mutex);
		if (m_crashedSessionPending)
		{
			storeCrashedSession();
			m_crashedSessionPending = false;
		}
		m_writesCurrentFile = false;
		block = dataLocked();
		identity = m_identity;
	}
	try
	{
		AnalyticsSessionStore::addToSavedSessions(block, identity);
	}
	catch (const ArchiveError&)
	{
		// Still current, and written whole with its next change: the next start finds it.
		std::lock_guard<std::mutex> lock(m_mutex);
		m_writesCurrentFile = true;
		m_needsArchive = true;
		throw;
	}
	AnalyticsSessionStore::removeCurrentSession();
	if (currentSession().get() == this)
		AnalyticsAPI::setCurrentSession(nullptr);
}

void AnalyticsSession::saveToDisk()
{
	std::lock_guard<std::mutex> lock(m_mutex);
	saveLocked();
}

void AnalyticsSession::saveLocked()
{
	if (!m_writesCurrentFile)
		return;
	m_needsArchive = true;
	if (m_crashedSessionPending)
	{
		storeCrashedSession();
		m_crashedSessionPending = false;
	}
	AnalyticsSessionStore::writeCurrentSession(archiveLocked());
	m_needsArchive = false;
}

void AnalyticsSession::journalLocked(const ArchiveValue& change)
{
	if (!m_writesCurrentFile)
		return;
	// A journal holds changes to the archive beside it: while that was not written, write it whole.
	if (m_needsArchive)
	{
		saveLocked();
		return;
	}
	try
	{
		AnalyticsSessionStore::appendToCurrentSession(change);
	}
	catch (const ArchiveError&)
	{
		m_needsArchive = true;
		throw;
	}
}

void AnalyticsSession::setSessionReportsOnCloseEnabled(bool enabled)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_sessionReportsOnCloseEnabled = enabled;
}

void AnalyticsSession::setSessionReportsOnPauseEnabled(bool enabled)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_sessionReportsOnPauseEnabled = enabled;
}

void AnalyticsSession::setEventLoggingEnabled(bool enabled)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_eventLoggingEnabled = enabled;
}

bool AnalyticsSession::sessionReportsOnCloseEnabled() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_sessionReportsOnCloseEnabled;
}

bool AnalyticsSession::sessionReportsOnPauseEnabled() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_sessionReportsOnPauseEnabled;
}

bool AnalyticsSession::eventLoggingEnabled() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_eventLoggingEnabled;
}

void AnalyticsSession::recordEvent(const std::string& name, const std::map<std::string, std::string>& parameters, bool timed)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	ArchiveValue change = ArchiveValue::record(CHANGE_CLASS_NAME);
	bool logged = false;
	if (!name.empty() && parameters.size() <= static_cast<size_t>(AnalyticsAPI::MAX_EVENT_PARAMETERS))
	{
		auto counted = m_eventCounts.find(name);
		if (counted != m_eventCounts.end() || m_eventCounts.size() < static_cast<size_t>(AnalyticsAPI::MAX_EVENT_COUNTS))
		{
			ArchiveValue count = ArchiveValue::dictionary();
			count.set(name, ArchiveValue::integer(++m_eventCounts[name]));
			change.set("eventCounts", count);
			if (m_eventLog.size() < static_cast<size_t>(AnalyticsAPI::MAX_EVENT_LOG_COUNT) && m_eventLoggingEnabled)
			{
				m_eventLog.emplace_back(name, timed, parameters);
				change.set("eventLog", listOf(m_eventLog.back().archive()));
				logged = true;
			}
		}
	}
	if (!logged)
		m_eventLogComplete = false;
	change.set("eventLogComplete", ArchiveValue::boolean(m_eventLogComplete));
	journalLocked(change);
}

void AnalyticsSession::endTimedEvent(const std::string& name, const std::map<std::string, std::string>& parameters)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	const double now = AnalyticsClock::now();
	for (AnalyticsEvent& event : m_eventLog)
		if (event.isUnterminated() && event.name() == name)
			event.end(now, parameters);
}

void AnalyticsSession::endTimedEvents()
{
	for (AnalyticsEvent& event : m_eventLog)
		if (event.isUnterminated() || event.automaticallyEnded())
			event.endAutomatically(*m_endTime);
}

void AnalyticsSession::recordError(const std::string& errorID, const std::string& message, const std::string& description)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	ArchiveValue change = ArchiveValue::record(CHANGE_CLASS_NAME);
	change.set("totalErrorCount", ArchiveValue::integer(++m_totalErrorCount));
	if (m_errors.size() < static_cast<size_t>(AnalyticsAPI::MAX_ERRORS))
	{
		m_errors.push_back({AnalyticsClock::now(), errorID, message, description});
		change.set("errors", listOf(archiveError(m_errors.back())));
	}
	journalLocked(change);
}

void AnalyticsSession::recordAdImpression(const AdImpressionBlock& impression)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	if (m_adLog.size() >= static_cast<size_t>(AnalyticsAPI::MAX_IMPRESSIONS))
		return;
	putImpressionLocked(impression);
	ArchiveValue change = ArchiveValue::record(CHANGE_CLASS_NAME);
	change.set("adLog", listOf(archiveImpression(impression)));
	journalLocked(change);
}

void AnalyticsSession::putImpressionLocked(const AdImpressionBlock& impression)
{
	auto same = std::find_if(m_adLog.begin(), m_adLog.end(),
		[&](const AdImpressionBlock& logged) { return logged.identity == impression.identity; });
	if (same != m_adLog.end())
		*same = impression;
	else
		m_adLog.push_back(impression);
}

void AnalyticsSession::maybeIncrementPageView()
{
	{
		std::lock_guard<std::mutex> lock(s_pageViewMutex);
		const double now = AnalyticsClock::now();
		// A clock set back counts and starts over rather than muting page views until it catches up.
		if (s_lastPageView && now >= *s_lastPageView && now - *s_lastPageView <= PAGE_VIEW_INTERVAL)
			return;
		s_lastPageView = now;
	}
	std::lock_guard<std::mutex> lock(m_mutex);
	++m_pageViewCount;
}

void AnalyticsSession::setUserID(const std::string& userID)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_userID = userID;
}

void AnalyticsSession::setGender(const std::string& gender)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_gender = gender == "m" ? GENDER_MALE : gender == "f" ? GENDER_FEMALE : GENDER_UNKNOWN;
}

void AnalyticsSession::setAge(int age)
{
	if (age < MIN_AGE || age > MAX_AGE)
		return;
	const double birth = startOfYearBefore(age);
	std::lock_guard<std::mutex> lock(m_mutex);
	m_birthDate = birth;
}

double AnalyticsSession::startTime() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_startTime;
}

std::optional<double> AnalyticsSession::endTime() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_endTime;
}

std::string AnalyticsSession::apiKey() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_apiKey;
}

std::string AnalyticsSession::appVersion() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_appVersion;
}

std::string AnalyticsSession::userID() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_userID;
}

int AnalyticsSession::gender() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_gender;
}

std::optional<double> AnalyticsSession::birthDate() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_birthDate;
}

int AnalyticsSession::pageViewCount() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_pageViewCount;
}

bool AnalyticsSession::internetAvailable() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_internetAvailable;
}

void AnalyticsSession::setInternetAvailable(bool available)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_internetAvailable = available;
}

std::string AnalyticsSession::identity() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_identity;
}

bool AnalyticsSession::crashed() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_crashed;
}

void AnalyticsSession::setCrashed(bool crashed)
{
	std::lock_guard<std::mutex> lock(m_mutex);
	m_crashed = crashed;
}

std::int64_t AnalyticsSession::totalPauseIntervalMillis() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_totalPauseIntervalMillis;
}

std::map<std::string, std::int64_t> AnalyticsSession::eventCounts() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_eventCounts;
}

std::vector<AnalyticsEvent> AnalyticsSession::eventLog() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_eventLog;
}

bool AnalyticsSession::eventLogComplete() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_eventLogComplete;
}

std::vector<AnalyticsSession::Error> AnalyticsSession::errors() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_errors;
}

int AnalyticsSession::totalErrorCount() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_totalErrorCount;
}

std::vector<AnalyticsSession::AdImpressionBlock> AnalyticsSession::adLog() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_adLog;
}

std::int64_t AnalyticsSession::timeIntervalSinceSessionStart(double date) const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return AnalyticsProtocolData::timeIntervalFrom(m_startTime, date);
}

std::int64_t AnalyticsSession::sessionLength() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return sessionLengthLocked();
}

std::int64_t AnalyticsSession::sessionLengthLocked() const
{
	return m_endTime ? AnalyticsProtocolData::timeIntervalFrom(m_startTime, m_endTime) : -1;
}

std::string AnalyticsSession::data() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return dataLocked();
}

std::string AnalyticsSession::dataLocked() const
{
	using P = AnalyticsProtocolData;
	std::string data;
	P::appendUshort(SERIALIZATION_VERSION, data);
	P::appendString(m_appVersion, data);
	P::appendTimestamp(m_startTime, data);
	P::appendLong(sessionLengthLocked(), data);
	P::appendLong(m_totalPauseIntervalMillis, data);
	P::appendString(m_locale, data);
	P::appendString(m_timeZone, data);
	P::appendBoolean(m_internetAvailable, data);
	P::appendString(m_userID, data);
	P::appendBoolean(true, data);
	P::appendDouble(m_latitude, data);
	P::appendDouble(m_longitude, data);
	P::appendFloat(m_accuracy, data);
	P::appendInt(m_pageViewCount, data);
	P::appendByte(RESERVED_BYTE, data);
	P::appendByte(RESERVED_BYTE, data);
	P::appendByte(m_gender, data);
	P::appendBoolean(m_birthDate.has_value(), data);
	if (m_birthDate)
		P::appendTimestamp(m_birthDate, data);
	P::appendUshort(static_cast<std::uint32_t>(m_eventCounts.size()), data);
	for (const auto& count : m_eventCounts)
	{
		P::appendString(count.first, data);
		P::appendInt(static_cast<std::int32_t>(count.second), data);
	}
	P::appendUshort(static_cast<std::uint32_t>(m_eventLog.size()), data);
	for (const AnalyticsEvent& event : m_eventLog)
		data += event.dataRelativeToSessionStart(m_startTime);
	P::appendBoolean(m_eventLogComplete, data);
	P::appendInt(m_totalErrorCount, data);
	P::appendUshort(static_cast<std::uint32_t>(m_errors.size()), data);
	for (const Error& error : m_errors)
	{
		P::appendTimestamp(error.date, data);
		P::appendString(error.errorID, data);
		P::appendString(error.message, data);
		P::appendString(error.description, data);
	}
	P::appendUshort(static_cast<std::uint32_t>(m_adLog.size()), data);
	for (const AdImpressionBlock& impression : m_adLog)
		data += impression.block;
	return data;
}

ArchiveValue AnalyticsSession::archive() const
{
	std::lock_guard<std::mutex> lock(m_mutex);
	return archiveLocked();
}

ArchiveValue AnalyticsSession::archiveLocked() const
{
	ArchiveValue record = ArchiveValue::record(CLASS_NAME);
	record.set("serializationVersion", ArchiveValue::integer(SERIALIZATION_VERSION));
	record.set("startTime", ArchiveValue::date(m_startTime));
	setOptionalDate(record, "endTime", m_endTime);
	setOptionalDate(record, "pauseTime", m_pauseTime);
	record.set("pauseIntervalMillis", ArchiveValue::integer(m_totalPauseIntervalMillis));
	ArchiveValue counts = ArchiveValue::dictionary();
	for (const auto& count : m_eventCounts)
		counts.set(count.first, ArchiveValue::integer(count.second));
	record.set("eventCounts", counts);
	ArchiveValue log = ArchiveValue::array();
	for (const AnalyticsEvent& event : m_eventLog)
		log.append(event.archive());
	record.set("eventLog", log);
	record.set("eventLogComplete", ArchiveValue::boolean(m_eventLogComplete));
	ArchiveValue errors = ArchiveValue::array();
	for (const Error& error : m_errors)
		errors.append(archiveError(error));
	record.set("errors", errors);
	record.set("totalErrorCount", ArchiveValue::integer(m_totalErrorCount));
	ArchiveValue impressions = ArchiveValue::array();
	for (const AdImpressionBlock& impression : m_adLog)
		impressions.append(archiveImpression(impression));
	record.set("adLog", impressions);
	record.set("latitude", ArchiveValue::real(m_latitude));
	record.set("longitude", ArchiveValue::real(m_longitude));
	record.set("accuracy", ArchiveValue::real(m_accuracy));
	record.set("crashed", ArchiveValue::boolean(m_crashed));
	record.set("apiKey", ArchiveValue::string(m_apiKey));
	record.set("appVersion", ArchiveValue::string(m_appVersion));
	setOptionalString(record, "userID", m_userID);
	record.set("pageViewCount", ArchiveValue::integer(m_pageViewCount));
	record.set("locale", ArchiveValue::string(m_locale));
	record.set("timeZone", ArchiveValue::string(m_timeZone));
	record.set("internetAvailable", ArchiveValue::boolean(m_internetAvailable));
	setOptionalDate(record, "age", m_birthDate);
	record.set("gender", ArchiveValue::integer(m_gender));
	record.set("identity", ArchiveValue::string(m_identity));
	return record;
}

std::shared_ptr<AnalyticsSession> AnalyticsSession::unarchive(const ArchiveValue& record)
{
	if (record.kind() != ArchiveValue::Kind::Record || record.className() != CLASS_NAME)
		throw ArchiveError("Not a session record");
	const std::int64_t version = record.has("serializationVersion") ? record.get("serializationVersion").asInt() : 0;
	if (version > 0 && version != SERIALIZATION_VERSION)
		throw ArchiveError("Session record of layout " + std::to_string(version));
	std::shared_ptr<AnalyticsSession> session(new AnalyticsSession());
	AnalyticsSession& s = *session;
	s.m_startTime = record.get("startTime").asDate();
	s.m_endTime = optionalDate(record, "endTime");
	s.m_pauseTime = optionalDate(record, "pauseTime");
	s.m_totalPauseIntervalMillis = record.get("pauseIntervalMillis").asInt();
	s.m_eventCounts = unarchiveCounts(record.get("eventCounts"));
	s.m_eventLog = unarchiveList(record.get("eventLog"), AnalyticsEvent::unarchive);
	s.m_eventLogComplete = record.get("eventLogComplete").asBool();
	s.m_errors = unarchiveList(record.get("errors"), unarchiveError);
	s.m_totalErrorCount = static_cast<int>(record.get("totalErrorCount").asInt());
	s.m_adLog = unarchiveList(record.get("adLog"), unarchiveImpression);
	s.m_latitude = record.get("latitude").asDouble();
	s.m_longitude = record.get("longitude").asDouble();
	const double accuracy = record.get("accuracy").asDouble();
	s.m_accuracy = std::fabs(accuracy) <= std::numeric_limits<float>::max() ? static_cast<float>(accuracy) : 0.0f;
	s.m_crashed = record.get("crashed").asBool();
	s.m_apiKey = record.get("apiKey").asString();
	s.m_appVersion = record.get("appVersion").asString();
	s.m_userID = optionalString(record, "userID");
	s.m_pageViewCount = static_cast<int>(record.get("pageViewCount").asInt());
	s.m_locale = record.get("locale").asString();
	s.m_timeZone = record.get("timeZone").asString();
	s.m_internetAvailable = record.get("internetAvailable").asBool();
	s.m_birthDate = optionalDate(record, "age");
	s.m_gender = static_cast<int>(record.get("gender").asInt());
	s.m_identity = optionalString(record, "identity");
	s.m_eventLoggingEnabled = false;
	s.m_sessionReportsOnCloseEnabled = false;
	s.m_sessionReportsOnPauseEnabled = false;
	return session;
}

std::shared_ptr<AnalyticsSession> AnalyticsSession::unarchive(const ArchiveValue& record, const std::vector<ArchiveValue>& changes)
{
	std::shared_ptr<AnalyticsSession> session = unarchive(record);
	for (const ArchiveValue& change : changes)
	{
		try
		{
			session->applyChange(change);
		}
		catch (const ArchiveError&)
		{
			// What follows a change that does not read may build on it: the record keeps what came before.
			break;
		}
	}
	return session;
}

void AnalyticsSession::applyChange(const ArchiveValue& change)
{
	if (change.kind() != ArchiveValue::Kind::Record || change.className() != CHANGE_CLASS_NAME)
		throw ArchiveError("Not a change of a session record");
	// Every part is read before any is applied, so that a change applies whole or not at all.
	const auto optional = [&](const char* key) { return change.has(key) ? &change.get(key) : nullptr; };
	const ArchiveValue* const counts = optional("eventCounts");
	const ArchiveValue* const events = optional("eventLog");
	const ArchiveValue* const complete = optional("eventLogComplete");
	const ArchiveValue* const errors = optional("errors");
	const ArchiveValue* const totalErrors = optional("totalErrorCount");
	const ArchiveValue* const impressions = optional("adLog");
	const std::map<std::string, std::int64_t> newCounts = counts ? unarchiveCounts(*counts) : std::map<std::string, std::int64_t>();
	const std::vector<AnalyticsEvent> newEvents = events ? unarchiveList(*events, AnalyticsEvent::unarchive) : std::vector<AnalyticsEvent>();
	const std::vector<Error> newErrors = errors ? unarchiveList(*errors, unarchiveError) : std::vector<Error>();
	const std::vector<AdImpressionBlock> newImpressions =
		impressions ? unarchiveList(*impressions, unarchiveImpression) : std::vector<AdImpressionBlock>();
	const bool logComplete = complete ? complete->asBool() : m_eventLogComplete;
	const int errorCount = totalErrors ? static_cast<int>(totalErrors->asInt()) : m_totalErrorCount;
	size_t names = m_eventCounts.size();
	for (const auto& count : newCounts)
		names += m_eventCounts.count(count.first) ? 0 : 1;
	if (names > static_cast<size_t>(AnalyticsAPI::MAX_EVENT_COUNTS)
		|| m_eventLog.size() + newEvents.size() > static_cast<size_t>(AnalyticsAPI::MAX_EVENT_LOG_COUNT)
		|| m_errors.size() + newErrors.size() > static_cast<size_t>(AnalyticsAPI::MAX_ERRORS)
		|| m_adLog.size() + newImpressions.size() > static_cast<size_t>(AnalyticsAPI::MAX_IMPRESSIONS))
		throw ArchiveError("A change takes the record past its limits");

	for (const auto& count : newCounts)
		m_eventCounts[count.first] = count.second;
	m_eventLog.insert(m_eventLog.end(), newEvents.begin(), newEvents.end());
	m_eventLogComplete = logComplete;
	m_errors.insert(m_errors.end(), newErrors.begin(), newErrors.end());
	m_totalErrorCount = errorCount;
	for (const AdImpressionBlock& impression : newImpressions)
		putImpressionLocked(impression);
}
