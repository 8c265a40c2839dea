#include <agent/AnalyticsSessionStore.h>
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsClock.h>
#include <agent/AnalyticsSessionJournal.h>
#include <platform/Directories.h>
#include <platform/FileSaver.h>
#include <platform/KeyedArchive.h>
#include <lang/Debug.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <sys/stat.h>

using platform::ArchiveDamaged;
using platform::ArchiveError;
using platform::ArchiveUnreadable;
using platform::ArchiveValue;
using platform::KeyedArchive;

namespace {

// Orders every read-modify-write of the files, across the main thread and the upload threads.
std::recursive_mutex s_mutex;
std::string s_apiKey;
int s_maxSessions = AnalyticsAPI::MAX_SESSIONS;
// The number of the last change appended to the journal.
std::uint64_t s_journalSequence = 0;

const char ARCHIVE_EXTENSION[] = ".archive";
const char JOURNAL_EXTENSION[] = ".journal";

bool exists(const std::string& path)
{
	struct stat status;
	return ::stat(path.c_str(), &status) == 0;
}

// The file under its older name while that exists, else under the current one.
std::string filePath(const char* name)
{
	const std::string directory = platform::Directories::library();
	const std::string file = name + AnalyticsSessionStore::keyHash(AnalyticsSessionStore::apiKey()) + ARCHIVE_EXTENSION;
	const std::string older = directory + "/" + file;
	if (exists(older))
		return older;
	return directory + "/." + file;
}

// The archive in the file; none when the file is missing; a corrupt file is set aside. A file
// that cannot be read throws ArchiveUnreadable and stays.
std::optional<ArchiveValue> readArchive(const std::string& path)
{
	try
	{
		return KeyedArchive::readFile(path);
	}
	catch (const ArchiveUnreadable& unreadable)
	{
		if (unreadable.missing())
			return std::nullopt;
		throw;
	}
	catch (const ArchiveDamaged& damage)
	{
		AnalyticsSessionStore::setAside(path, damage.reason());
		return std::nullopt;
	}
}

// What the stored-sessions file holds: the blocks, oldest first, and the identity of the last
// session stored (a text element of the array, which readers of blocks pass over).
struct StoredSessions
{
	std::vector<std::string> blocks;
	std::string lastIdentity;
};

StoredSessions storedOf(const ArchiveValue& value)
{
	if (value.kind() != ArchiveValue::Kind::Array)
		throw ArchiveError("Stored sessions are no array");
	StoredSessions stored;
	for (const ArchiveValue& item : value.items())
	{
		if (item.kind() == ArchiveValue::Kind::Bytes)
			stored.blocks.push_back(item.asBytes());
		else if (item.kind() == ArchiveValue::Kind::String)
			stored.lastIdentity = item.asString();
	}
	return stored;
}

ArchiveValue archiveOf(const StoredSessions& stored)
{
	ArchiveValue array = ArchiveValue::array();
	for (const std::string& block : stored.blocks)
		array.append(ArchiveValue::bytes(block));
	if (!stored.lastIdentity.empty())
		array.append(ArchiveValue::string(stored.lastIdentity));
	return array;
}

StoredSessions readSessions()
{
	const std::string path = AnalyticsSessionStore::sessionsFilePath();
	std::optional<ArchiveValue> archived = readArchive(path);
	if (!archived)
		return {};
	try
	{
		return storedOf(*archived);
	}
	catch (const ArchiveError& damage)
	{
		AnalyticsSessionStore::setAside(path, damage.what());
		return {};
	}
}

void writeSessions(const StoredSessions& stored)
{
	KeyedArchive::writeFile(AnalyticsSessionStore::sessionsFilePath(), archiveOf(stored));
}

} // namespace

void AnalyticsSessionStore::setApiKey(const std::string& apiKey)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	s_apiKey = apiKey;
}

std::string AnalyticsSessionStore::apiKey()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	return s_apiKey;
}

std::string AnalyticsSessionStore::keyHash(const std::string& apiKey)
{
	std::uint32_t hash = 0;
	for (unsigned char c : apiKey)
		hash = hash * 31 + c;
	return std::to_string(static_cast<std::int32_t>(hash));
}

std::string AnalyticsSessionStore::sessionsFilePath()
{
	return filePath("analyticsStored");
}

std::string AnalyticsSessionStore::currentSessionFilePath()
{
	return filePath("analyticsCurrent");
}

std::string AnalyticsSessionStore::currentSessionJournalPath()
{
	const std::string archive = currentSessionFilePath();
	return archive.substr(0, archive.size() - (sizeof(ARCHIVE_EXTENSION) - 1)) + JOURNAL_EXTENSION;
}

std::string AnalyticsSessionStore::sessionSentFilePath()
{
	return filePath("analyticsSent");
}

std::string AnalyticsSessionStore::initialTimestampFilePath()
{
	return filePath("initialTimestamp");
}

void AnalyticsSessionStore::setMaxSessions(int maxSessions)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	s_maxSessions = maxSessions;
}

int AnalyticsSessionStore::maxSessions()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	return s_maxSessions;
}

std::vector<std::string> AnalyticsSessionStore::savedSessions()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	return readSessions().blocks;
}

bool AnalyticsSessionStore::addToSavedSessions(const std::string& block, const std::string& identity)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	StoredSessions stored = readSessions();
	if (!identity.empty() && identity == stored.lastIdentity)
		return false;
	stored.blocks.push_back(block);
	removeOldSessionsIfNecessary(stored.blocks, s_maxSessions);
	stored.lastIdentity = identity;
	writeSessions(stored);
	return true;
}

void AnalyticsSessionStore::removeSentSessions(const std::vector<std::string>& sent)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	StoredSessions stored = readSessions();
	for (const std::string& block : sent)
	{
		const auto found = std::find(stored.blocks.begin(), stored.blocks.end(), block);
		if (found != stored.blocks.end())
			stored.blocks.erase(found);
	}
	writeSessions(stored);
}

void AnalyticsSessionStore::removeOldSessionsIfNecessary(std::vector<std::string>& blocks, int maxSessions)
{
	const size_t keep = static_cast<size_t>(std::max(maxSessions, 0));
	if (blocks.size() > keep)
		blocks.erase(blocks.begin(), blocks.end() - static_cast<std::ptrdiff_t>(keep));
}

bool AnalyticsSessionStore::sentSession()
{
	return exists(sessionSentFilePath());
}

void AnalyticsSessionStore::setSentSession()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	const std::string path = sessionSentFilePath();
	if (!exists(path))
		platform::FileSaver::save(path, "");
}

double AnalyticsSessionStore::initialTimestamp(std::optional<double> currentStart)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	const std::string path = initialTimestampFilePath();
	const std::optional<ArchiveValue> stored = readArchive(path);
	if (stored && stored->kind() == ArchiveValue::Kind::Date)
		return stored->asDate();
	if (stored)
		setAside(path, "it holds no date");
	const double first = currentStart ? *currentStart : AnalyticsClock::now();
	KeyedArchive::writeFile(path, ArchiveValue::date(first));
	return first;
}

std::optional<AnalyticsSessionStore::CurrentSession> AnalyticsSessionStore::readCurrentSession()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	std::optional<ArchiveValue> record = readArchive(currentSessionFilePath());
	if (!record)
		return std::nullopt;
	std::uint64_t archived = 0;
	if (record->kind() == ArchiveValue::Kind::Record && record->has(JOURNAL_SEQUENCE_KEY)
		&& record->get(JOURNAL_SEQUENCE_KEY).kind() == ArchiveValue::Kind::Int)
		archived = static_cast<std::uint64_t>(record->get(JOURNAL_SEQUENCE_KEY).asInt());
	const std::string journalPath = currentSessionJournalPath();
	std::string journal;
	try
	{
		journal = KeyedArchive::readBytes(journalPath);
	}
	catch (const ArchiveUnreadable& unreadable)
	{
		if (!unreadable.missing())
			throw;
	}
	AnalyticsSessionJournal::Contents contents = AnalyticsSessionJournal::decode(journal);
	if (contents.damaged)
		lang::Debug::printf("Analytics: %s is damaged (not a journal, or an entry cut short, failing its check or not decoding); "
			"the %zu entries before the damage are read\n", journalPath.c_str(), contents.entries.size());
	CurrentSession current{std::move(*record), {}};
	// Entries the archive already holds are there when it was written and the journal not yet removed.
	for (AnalyticsSessionJournal::Entry& entry : contents.entries)
		if (entry.sequence > archived)
			current.changes.push_back(std::move(entry.change));
	return current;
}

void AnalyticsSessionStore::writeCurrentSession(ArchiveValue record)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	record.set(JOURNAL_SEQUENCE_KEY, ArchiveValue::integer(static_cast<std::int64_t>(s_journalSequence)));
	KeyedArchive::writeFile(currentSessionFilePath(), record);
	const std::string journal = currentSessionJournalPath();
	if (std::remove(journal.c_str()) != 0 && errno != ENOENT)
		throw ArchiveError("Cannot remove " + journal + ": " + std::strerror(errno));
}

void AnalyticsSessionStore::appendToCurrentSession(const ArchiveValue& change)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	AnalyticsSessionJournal::append(currentSessionJournalPath(), ++s_journalSequence, change);
}

void AnalyticsSessionStore::removeCurrentSession()
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	std::remove(currentSessionFilePath().c_str());
	std::remove(currentSessionJournalPath().c_str());
}

void AnalyticsSessionStore::setAsideCurrentSession(const std::string& reason)
{
	std::lock_guard<std::recursive_mutex> lock(s_mutex);
	setAside(currentSessionFilePath(), reason);
}

void AnalyticsSessionStore::setAside(const std::string& path, const std::string& reason)
{
	const std::string base = path + CORRUPT_SUFFIX;
	int number = 1;
	while (number < MAX_CORRUPT_COPIES && exists(base + std::to_string(number)))
		++number;
	const std::string copy = base + std::to_string(number);
	if (std::rename(path.c_str(), copy.c_str()) == 0)
		lang::Debug::printf("Analytics: %s is damaged (%s); set aside as %s\n", path.c_str(), reason.c_str(), copy.c_str());
	else
		lang::Debug::printf("Analytics: %s is damaged (%s) and cannot be set aside: %s\n", path.c_str(), reason.c_str(), std::strerror(errno));
}

std::string AnalyticsSessionStore::encodeSessions(const std::vector<std::string>& blocks)
{
	return KeyedArchive::encode(archiveOf({blocks, std::string()}));
}

std::vector<std::string> AnalyticsSessionStore::decodeSessions(const std::string& data)
{
	return storedOf(KeyedArchive::decode(data)).blocks;
}
