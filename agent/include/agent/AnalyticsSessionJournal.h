#ifndef AGENT_ANALYTICSSESSIONJOURNAL_H
#define AGENT_ANALYTICSSESSIONJOURNAL_H

#include <platform/ArchiveValue.h>
#include <cstdint>
#include <string>
#include <vector>

// The journal of the current session record: the changes made since the record was last archived,
// one entry each, appended to a file beside the archive, so that a change costs the same however
// long the session has run. Stateless; the session store orders its use.
// Layout, integers little-endian: the magic "KJNL" and a 16-bit format version, then per entry a
// 32-bit length of the change's keyed-archive encoding, a 64-bit sequence number, the encoding,
// and a 32-bit FNV-1a check over the sequence number and the encoding.
class AnalyticsSessionJournal
{
public:
	static constexpr std::uint16_t VERSION = 1;

	struct Entry
	{
		std::uint64_t sequence = 0;
		platform::ArchiveValue change;
	};

	// What a file holds.
	struct Contents
	{
		// In file order, up to the first entry that is cut short, fails its check or does not
		// decode.
		std::vector<Entry> entries;
		// Bytes were left over after the last entry read: a damaged or cut journal.
		bool damaged = false;
	};

	AnalyticsSessionJournal() = delete;

	// The bytes a new file starts with.
	static std::string header();
	static std::string encodeEntry(std::uint64_t sequence, const platform::ArchiveValue& change);
	// Bytes that do not start with the header hold no entry and are damaged (unless empty).
	static Contents decode(const std::string& data);

	// Appends one entry with one write, starting a missing or empty file with the header. Throws
	// platform::ArchiveError when the file cannot be opened or written.
	static void append(const std::string& path, std::uint64_t sequence, const platform::ArchiveValue& change);
};

#endif
