#ifndef TESTS_AGENT_SESSIONREPORTREADER_H
#define TESTS_AGENT_SESSIONREPORTREADER_H

#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// Reads big-endian report fields from the front of a byte string; throws when the bytes run out.
class ReportReader
{
public:
	explicit ReportReader(const std::string& data) : m_data(data) {}

	std::uint64_t number(int bytes)
	{
		need(static_cast<size_t>(bytes));
		std::uint64_t value = 0;
		for (int i = 0; i < bytes; ++i)
			value = value << 8 | static_cast<unsigned char>(m_data[m_at++]);
		return value;
	}
	int byte() { return static_cast<int>(number(1)); }
	bool boolean() { return number(1) != 0; }
	int ushort() { return static_cast<int>(number(2)); }
	std::int32_t int32() { return static_cast<std::int32_t>(number(4)); }
	std::int64_t int64() { return static_cast<std::int64_t>(number(8)); }
	double real()
	{
		const std::uint64_t bits = number(8);
		double value;
		std::memcpy(&value, &bits, sizeof(value));
		return value;
	}
	float single()
	{
		const std::uint32_t bits = static_cast<std::uint32_t>(number(4));
		float value;
		std::memcpy(&value, &bits, sizeof(value));
		return value;
	}
	std::string bytes(size_t count)
	{
		need(count);
		const std::string taken = m_data.substr(m_at, count);
		m_at += count;
		return taken;
	}
	std::string string() { return bytes(static_cast<size_t>(ushort())); }
	bool atEnd() const { return m_at == m_data.size(); }

private:
	void need(size_t count) const
	{
		if (m_at + count > m_data.size())
			throw std::out_of_range("report ends early");
	}

	const std::string& m_data;
	size_t m_at = 0;
};

struct DecodedEvent
{
	std::string name;
	std::map<std::string, std::string> parameters;
	std::int64_t startOffset = 0;
	std::int64_t duration = 0;
};

struct DecodedError
{
	std::int64_t time = 0;
	std::string errorID, message, description;
};

struct DecodedSession
{
	std::string appVersion;
	std::int64_t start = 0;
	std::int64_t length = 0;
	std::int64_t paused = 0;
	std::string locale, timeZone;
	bool internet = false;
	std::string userID;
	double latitude = -1, longitude = -1;
	float accuracy = -1;
	int pageViews = 0;
	int gender = 0;
	bool hasBirthDate = false;
	std::int64_t birthDate = 0;
	std::map<std::string, int> counts;
	std::vector<DecodedEvent> events;
	bool complete = false;
	int totalErrors = 0;
	std::vector<DecodedError> errors;
	int impressions = 0;
};

struct DecodedReport
{
	int protocol = 0;
	bool ads = false;
	std::vector<std::int64_t> imageIds;
	int platform = 0;
	int agentVersion = 0;
	// When the report was written, in milliseconds since 1970.
	std::int64_t now = 0;
	std::string apiKey, appVersion;
	int idType = 0;
	std::string deviceID;
	std::int64_t initialTimestamp = 0;
	std::int64_t currentStart = 0;
	std::map<std::string, std::string> properties;
	std::vector<DecodedSession> sessions;
};

// One session block; ad impressions are counted but must be absent, their layout being the ads'.
inline DecodedSession readSession(ReportReader& in)
{
	DecodedSession s;
	if (in.ushort() != 1)
		throw std::runtime_error("session block version");
	s.appVersion = in.string();
	s.start = in.int64();
	s.length = in.int64();
	s.paused = in.int64();
	s.locale = in.string();
	s.timeZone = in.string();
	s.internet = in.boolean();
	s.userID = in.string();
	if (in.byte() != 1)
		throw std::runtime_error("the flag before the location is not 1");
	s.latitude = in.real();
	s.longitude = in.real();
	s.accuracy = in.single();
	s.pageViews = in.int32();
	in.byte();
	in.byte();
	s.gender = in.byte();
	s.hasBirthDate = in.boolean();
	if (s.hasBirthDate)
		s.birthDate = in.int64();
	for (int n = in.ushort(); n > 0; --n)
	{
		const std::string name = in.string();
		s.counts[name] = in.int32();
	}
	for (int n = in.ushort(); n > 0; --n)
	{
		DecodedEvent event;
		event.name = in.string();
		for (int p = in.ushort(); p > 0; --p)
		{
			const std::string key = in.string();
			event.parameters[key] = in.string();
		}
		event.startOffset = in.int64();
		event.duration = in.int64();
		s.events.push_back(event);
	}
	s.complete = in.boolean();
	s.totalErrors = in.int32();
	for (int n = in.ushort(); n > 0; --n)
	{
		DecodedError error;
		error.time = in.int64();
		error.errorID = in.string();
		error.message = in.string();
		error.description = in.string();
		s.errors.push_back(error);
	}
	s.impressions = in.ushort();
	if (s.impressions != 0)
		throw std::runtime_error("ad impressions are read by the ads' own tests");
	return s;
}

// A whole report; throws when its bytes are not exactly one report.
inline DecodedReport decodeReport(const std::string& data)
{
	ReportReader in(data);
	DecodedReport r;
	r.protocol = in.ushort();
	r.ads = in.ushort() != 0;
	in.int64();
	for (int n = in.ushort(); n > 0; --n)
	{
		in.byte();
		r.imageIds.push_back(in.int64());
	}
	r.platform = in.ushort();
	r.agentVersion = in.ushort();
	r.now = in.int64();
	r.apiKey = in.string();
	r.appVersion = in.string();
	r.idType = in.ushort();
	r.deviceID = r.idType == 0 ? in.string() : in.bytes(static_cast<size_t>(in.ushort()));
	r.initialTimestamp = in.int64();
	r.currentStart = in.int64();
	for (int n = in.ushort(); n > 0; --n)
	{
		const std::string name = in.string();
		r.properties[name] = in.string();
	}
	for (int n = in.ushort(); n > 0; --n)
		r.sessions.push_back(readSession(in));
	if (!in.atEnd())
		throw std::runtime_error("bytes after the report");
	return r;
}

#endif
