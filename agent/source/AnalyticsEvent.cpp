#include <agent/AnalyticsEvent.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsProtocolData.h>

using platform::ArchiveError;
using platform::ArchiveValue;

namespace {

// The report keeps these millisecond counts as 32-bit values widened again to 64 bits.
std::int64_t lowThirtyTwoBits(std::int64_t millis)
{
	return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(millis)));
}

} // namespace

AnalyticsEvent::AnalyticsEvent(const std::string& name, bool timed, const Parameters& parameters) :
	m_name(name),
	m_started(AnalyticsClock::now()),
	m_timed(timed),
	m_parameters(parameters)
{
}

void AnalyticsEvent::end(double when, const Parameters& parameters)
{
	m_ended = when;
	if (!parameters.empty())
		m_parameters = parameters;
}

void AnalyticsEvent::endAutomatically(double when)
{
	m_ended = when;
	m_automaticallyEnded = true;
}

std::int64_t AnalyticsEvent::startOffsetFromSessionStart(double sessionStart) const
{
	return AnalyticsProtocolData::timeIntervalFrom(sessionStart, m_started);
}

std::int64_t AnalyticsEvent::duration() const
{
	return m_timed && m_ended ? AnalyticsProtocolData::timeIntervalFrom(m_started, m_ended) : 0;
}

std::string AnalyticsEvent::dataRelativeToSessionStart(double sessionStart) const
{
	std::string data;
	AnalyticsProtocolData::appendString(m_name, data);
	AnalyticsProtocolData::appendUshort(static_cast<std::uint32_t>(m_parameters.size()), data);
	for (const auto& parameter : m_parameters)
	{
		AnalyticsProtocolData::appendString(parameter.first, data);
		AnalyticsProtocolData::appendString(parameter.second, data);
	}
	AnalyticsProtocolData::appendLong(lowThirtyTwoBits(startOffsetFromSessionStart(sessionStart)), data);
	AnalyticsProtocolData::appendLong(lowThirtyTwoBits(duration()), data);
	return data;
}

ArchiveValue AnalyticsEvent::archive() const
{
	ArchiveValue value = ArchiveValue::record(CLASS_NAME);
	value.set("name", ArchiveValue::string(m_name));
	value.set("started", ArchiveValue::date(m_started));
	if (m_ended)
		value.set("ended", ArchiveValue::date(*m_ended));
	value.set("timed", ArchiveValue::boolean(m_timed));
	if (!m_parameters.empty())
	{
		ArchiveValue parameters = ArchiveValue::dictionary();
		for (const auto& parameter : m_parameters)
			parameters.set(parameter.first, ArchiveValue::string(parameter.second));
		value.set("parameters", parameters);
	}
	value.set("automaticallyEnded", ArchiveValue::boolean(m_automaticallyEnded));
	return value;
}

AnalyticsEvent AnalyticsEvent::unarchive(const ArchiveValue& value)
{
	if (value.kind() != ArchiveValue::Kind::Record || value.className() != CLASS_NAME)
		throw ArchiveError("Not an event");
	AnalyticsEvent event;
	event.m_name = value.get("name").asString();
	event.m_started = value.get("started").asDate();
	if (value.has("ended"))
		event.m_ended = value.get("ended").asDate();
	event.m_timed = value.get("timed").asBool();
	if (value.has("parameters"))
	{
		const ArchiveValue& parameters = value.get("parameters");
		if (parameters.kind() != ArchiveValue::Kind::Dictionary)
			throw ArchiveError("Event parameters are no dictionary");
		for (size_t i = 0; i < parameters.keys().size(); ++i)
			event.m_parameters[parameters.keys()[i]] = parameters.items()[i].asString();
	}
	event.m_automaticallyEnded = value.get("automaticallyEnded").asBool();
	return event;
}
