#include <agent/AnalyticsProtocolData.h>
#include <lang/Truncate.h>
#include <algorithm>
#include <cstring>

namespace {

void appendBigEndian(std::uint64_t value, int bytes, std::string& data)
{
	for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
		data.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// The bytes of the UTF-8 sequence that starts with this byte; 1 for a byte that starts none.
size_t sequenceLength(unsigned char lead)
{
	if (lead >= 0xF0 && lead < 0xF8)
		return 4;
	if (lead >= 0xE0)
		return lead < 0xF0 ? 3 : 1;
	if (lead >= 0xC0)
		return 2;
	return 1;
}

// Saturates: dates read from files may hold any double.
std::int64_t millisFromSeconds(double seconds)
{
	return lang::truncateTo<std::int64_t>(seconds * 1000.0);
}

} // namespace

void AnalyticsProtocolData::appendBoolean(bool value, std::string& data)
{
	data.push_back(value ? 1 : 0);
}

void AnalyticsProtocolData::appendByte(int value, std::string& data)
{
	appendBigEndian(static_cast<std::uint32_t>(value), 1, data);
}

void AnalyticsProtocolData::appendUshort(std::uint32_t value, std::string& data)
{
	appendBigEndian(value, 2, data);
}

void AnalyticsProtocolData::appendInt(std::int32_t value, std::string& data)
{
	appendBigEndian(static_cast<std::uint32_t>(value), 4, data);
}

void AnalyticsProtocolData::appendLong(std::int64_t value, std::string& data)
{
	appendBigEndian(static_cast<std::uint64_t>(value), 8, data);
}

void AnalyticsProtocolData::appendFloat(float value, std::string& data)
{
	std::uint32_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	appendBigEndian(bits, 4, data);
}

void AnalyticsProtocolData::appendDouble(double value, std::string& data)
{
	std::uint64_t bits;
	std::memcpy(&bits, &value, sizeof(bits));
	appendBigEndian(bits, 8, data);
}

void AnalyticsProtocolData::appendTimestamp(std::optional<double> seconds, std::string& data)
{
	appendLong(seconds ? millisFromSeconds(*seconds) : 0, data);
}

void AnalyticsProtocolData::appendString(const std::string& text, std::string& data)
{
	const std::string limited = limitStringLength(text);
	appendUshort(static_cast<std::uint32_t>(limited.size()), data);
	data += limited;
}

void AnalyticsProtocolData::appendTinyData(const std::string& bytes, std::string& data)
{
	const size_t count = bytes.size() % 256;
	appendByte(static_cast<int>(count), data);
	data.append(bytes, 0, count);
}

void AnalyticsProtocolData::appendShortData(const std::string& bytes, std::string& data)
{
	appendUshort(static_cast<std::uint32_t>(bytes.size()), data);
	data += bytes;
}

std::string AnalyticsProtocolData::limitStringLength(const std::string& text)
{
	size_t at = 0;
	int units = 0;
	while (at < text.size())
	{
		const size_t length = sequenceLength(static_cast<unsigned char>(text[at]));
		// Four-byte sequences are the characters beyond the basic plane: a surrogate pair.
		const int needed = length == 4 ? 2 : 1;
		if (units + needed > MAX_STRING_UNITS)
			break;
		units += needed;
		at += std::min(length, text.size() - at);
	}
	return text.substr(0, at);
}

std::int64_t AnalyticsProtocolData::timeIntervalFrom(std::optional<double> from, std::optional<double> to)
{
	if (!from || !to)
		return 0;
	return millisFromSeconds(*to - *from);
}
