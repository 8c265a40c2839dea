// Decodes arbitrary bytes as the agent's stored-sessions file and as its current-session file.
// What decodes must survive its own round trip: the stored blocks encode back to the same blocks,
// and a session record archives back to the same archive and the same report block.
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <platform/KeyedArchive.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string input(reinterpret_cast<const char*>(data), size);
	try
	{
		const std::vector<std::string> blocks = AnalyticsSessionStore::decodeSessions(input);
		if (AnalyticsSessionStore::decodeSessions(AnalyticsSessionStore::encodeSessions(blocks)) != blocks)
			std::abort();
	}
	catch (const platform::ArchiveError&)
	{
	}
	try
	{
		const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::unarchive(platform::KeyedArchive::decode(input));
		const std::shared_ptr<AnalyticsSession> again = AnalyticsSession::unarchive(session->archive());
		if (again->archive() != session->archive() || again->data() != session->data())
			std::abort();
	}
	catch (const platform::ArchiveError&)
	{
	}
	return 0;
}
