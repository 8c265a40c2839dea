#ifndef AGENT_ANALYTICSPROTOCOLDATA_H
#define AGENT_ANALYTICSPROTOCOLDATA_H

#include <cstdint>
#include <optional>
#include <string>

// The field writers of the session report: each appends one big-endian field to a byte buffer
// that the caller owns. Stateless.
class AnalyticsProtocolData
{
public:
	// Strings longer than this many UTF-16 code units are cut.
	static constexpr int MAX_STRING_UNITS = 255;

	AnalyticsProtocolData() = delete;

	static void appendBoolean(bool value, std::string& data);
	// The low 8 bits.
	static void appendByte(int value, std::string& data);
	// The low 16 bits.
	static void appendUshort(std::uint32_t value, std::string& data);
	static void appendInt(std::int32_t value, std::string& data);
	static void appendLong(std::int64_t value, std::string& data);
	static void appendFloat(float value, std::string& data);
	static void appendDouble(double value, std::string& data);
	// Milliseconds since 1970, truncated toward zero; an absent date gives 0.
	static void appendTimestamp(std::optional<double> seconds, std::string& data);
	// A 16-bit count of UTF-8 bytes, then the bytes of the text cut by limitStringLength.
	static void appendString(const std::string& text, std::string& data);
	// An 8-bit count (the length modulo 256), then that many leading bytes.
	static void appendTinyData(const std::string& bytes, std::string& data);
	// A 16-bit count (the length modulo 65536), then all the bytes.
	static void appendShortData(const std::string& bytes, std::string& data);

	// The UTF-8 text cut to its first MAX_STRING_UNITS UTF-16 code units; a character that needs
	// two units is left out whole rather than split.
	static std::string limitStringLength(const std::string& text);
	// Milliseconds from one date to the other (seconds since 1970), truncated toward zero; 0 when
	// either is absent.
	static std::int64_t timeIntervalFrom(std::optional<double> from, std::optional<double> to);
};

#endif
