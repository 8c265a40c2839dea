// Reads arbitrary bytes as the journal beside the current-session archive and applies its changes
// to a record read from an archive, as the next start does after a crash. The record must never be
// lost to the journal: what the archive held stays, in front of what the journal added. What was
// read must archive and read back the same, and the entries read must encode back to themselves.
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionJournal.h>
#include <platform/KeyedArchive.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A record with some of each list, as its archive.
platform::ArchiveValue archivedRecord()
{
	AnalyticsSession session("KEY", "1");
	session.recordEvent("levelStart", {{"level", "1-1"}}, false);
	session.recordEvent("boss", {}, true);
	session.recordError("E1", "failed", "std::runtime_error: disk");
	session.recordAdImpression({"impression1", std::string("\0\6" "banner", 8)});
	return session.archive();
}

template <class Item>
bool startsWith(const std::vector<Item>& whole, const std::vector<Item>& front)
{
	if (whole.size() < front.size())
		return false;
	for (size_t i = 0; i < front.size(); ++i)
		if (whole[i].archive() != front[i].archive())
			return false;
	return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	static const platform::ArchiveValue record = archivedRecord();
	static const std::shared_ptr<AnalyticsSession> archived = AnalyticsSession::unarchive(record);
	const AnalyticsSessionJournal::Contents contents =
		AnalyticsSessionJournal::decode(std::string(reinterpret_cast<const char*>(data), size));

	std::string again = AnalyticsSessionJournal::header();
	std::vector<platform::ArchiveValue> changes;
	for (const AnalyticsSessionJournal::Entry& entry : contents.entries)
	{
		again += AnalyticsSessionJournal::encodeEntry(entry.sequence, entry.change);
		changes.push_back(entry.change);
	}
	const AnalyticsSessionJournal::Contents reread = AnalyticsSessionJournal::decode(again);
	if (reread.damaged || reread.entries.size() != contents.entries.size())
		std::abort();
	for (size_t i = 0; i < reread.entries.size(); ++i)
		if (reread.entries[i].sequence != contents.entries[i].sequence || reread.entries[i].change != contents.entries[i].change)
			std::abort();

	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::unarchive(record, changes);
	if (!startsWith(session->eventLog(), archived->eventLog()) || session->errors().size() < archived->errors().size()
		|| session->adLog().size() < archived->adLog().size() || session->startTime() != archived->startTime())
		std::abort();
	const std::shared_ptr<AnalyticsSession> back =
		AnalyticsSession::unarchive(platform::KeyedArchive::decode(platform::KeyedArchive::encode(session->archive())));
	if (back->archive() != session->archive() || back->data() != session->data())
		std::abort();
	return 0;
}
