#ifndef AGENT_ANALYTICSSESSIONSTORE_H
#define AGENT_ANALYTICSSESSIONSTORE_H

#include <platform/ArchiveValue.h>
#include <optional>
#include <string>
#include <vector>

// The agent's archive files in the library directory, named after the application key: the
// stored sessions (an array of the report blocks waiting for upload, and the identity of the last
// session stored as one text element, which readers of blocks pass over), the current session
// record with the journal
// of its later changes, the marker of a successful upload and the time stamp of the first
// session. Class operations only; one lock orders every change of the files. Archives are replaced
// whole and atomically; the journal only grows, by appends, until the next archive of the current
// record removes it. A file under the older name without the leading dot is used for as long as it
// exists.
// A file that was read and did not decode is set aside and the store goes on without it; a file
// that cannot be opened or read (platform::ArchiveUnreadable) is left where it is and the operation
// fails, to be tried again later.
class AnalyticsSessionStore
{
public:
	// A file set aside becomes "<file>.corrupt.<n>" beside it, n from 1 to MAX_CORRUPT_COPIES in
	// the order they were set aside; once all exist, the latest replaces the last.
	static constexpr const char* CORRUPT_SUFFIX = ".corrupt.";
	static constexpr int MAX_CORRUPT_COPIES = 5;
	// The key under which the current-session archive holds the sequence number of the last
	// journalled change it takes in; later entries of the journal are applied on top of it.
	static constexpr const char* JOURNAL_SEQUENCE_KEY = "journalSequence";

	AnalyticsSessionStore() = delete;

	// The key that names the files; kept before any file is touched.
	static void setApiKey(const std::string& apiKey);
	static std::string apiKey();
	// The key's stable 32-bit text hash as signed decimal.
	static std::string keyHash(const std::string& apiKey);

	static std::string sessionsFilePath();
	static std::string currentSessionFilePath();
	// Beside the current-session file, ".journal" in place of ".archive".
	static std::string currentSessionJournalPath();
	static std::string sessionSentFilePath();
	static std::string initialTimestampFilePath();

	// The stored blocks, oldest first. A file that cannot be decoded is set aside and the store
	// starts empty.
	static std::vector<std::string> savedSessions();
	// How many stored blocks are kept; AnalyticsAPI::MAX_SESSIONS until changed.
	static void setMaxSessions(int maxSessions);
	static int maxSessions();
	// Appends the block of the session of that identity and drops the oldest beyond maxSessions;
	// the file keeps the identity of the last session stored. A session is stored once: its
	// identity the same as the last one stored (the process died after storing it and before
	// removing its current-session file), nothing is added and the result is false. A block without
	// identity is always added.
	static bool addToSavedSessions(const std::string& block, const std::string& identity = std::string());
	// Removes one stored block for each block given, so blocks stored since they were read stay.
	static void removeSentSessions(const std::vector<std::string>& sent);
	// Cuts the oldest blocks so that at most maxSessions remain.
	static void removeOldSessionsIfNecessary(std::vector<std::string>& blocks, int maxSessions);

	// Whether an upload has succeeded once; the marker is never removed.
	static bool sentSession();
	static void setSentSession();

	// The first session's start: read from its file, else the given start (now when none), which
	// is then written. A file that cannot be read is kept and the call fails.
	static double initialTimestamp(std::optional<double> currentStart);

	// The current record as its files hold it: the archive, and the journal's changes made after
	// the archive was written, in order.
	struct CurrentSession
	{
		platform::ArchiveValue record;
		std::vector<platform::ArchiveValue> changes;
	};
	// None when the archive is missing; a corrupt archive is set aside. The journal is read up to
	// its first damaged entry; damage is logged with the journal's name.
	static std::optional<CurrentSession> readCurrentSession();
	// Replaces the archive with the whole record, which holds every change journalled so far, and
	// removes the journal. Throws platform::ArchiveError when either fails.
	static void writeCurrentSession(platform::ArchiveValue record);
	// Appends one change to the journal beside the archive, numbered after all before it. Throws
	// platform::ArchiveError when it cannot be written.
	static void appendToCurrentSession(const platform::ArchiveValue& change);
	// Removes the archive and its journal.
	static void removeCurrentSession();
	// For a record that decoded as an archive but is no session record, for the reason given.
	static void setAsideCurrentSession(const std::string& reason);
	// Moves the file to the first free "<file>.corrupt.<n>" and logs the file, the reason it was
	// found damaged for and the copy, or why it could not be moved.
	static void setAside(const std::string& path, const std::string& reason);

	// The stored-sessions file's encoding of blocks and its decoding; elements that are no byte
	// blocks (the last stored identity) are skipped. Throws platform::ArchiveError for bytes that are no archive of an array.
	static std::string encodeSessions(const std::vector<std::string>& blocks);
	static std::vector<std::string> decodeSessions(const std::string& data);
};

#endif
