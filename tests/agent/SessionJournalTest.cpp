#include "AgentTestSupport.h"
#include "SessionReportReader.h"
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <lang/Debug.h>
#include <platform/KeyedArchive.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>

namespace
{

std::string fileBytes(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeBytes(const std::string& path, const std::string& bytes)
{
	std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The names of the events in the current-session files, as the next start reads them.
std::vector<std::string> eventsOnDisk()
{
	std::vector<std::string> names;
	if (const std::optional<AnalyticsSessionStore::CurrentSession> files = AnalyticsSessionStore::readCurrentSession())
		for (const AnalyticsEvent& event : AnalyticsSession::unarchive(files->record, files->changes)->eventLog())
			names.push_back(event.name());
	return names;
}

class SessionJournalTest : public AgentSessionTest
{
protected:
	ManualClock m_clock;
};

} // namespace

TEST_F(SessionJournalTest, WhatWasLoggedBeforeTheProcessWasKilledIsStoredAtTheNextStart)
{
	const pid_t child = fork();
	ASSERT_NE(-1, child);
	if (child == 0)
	{
		// Killed without a chance to write anything more: no destructor, no handler runs.
		try
		{
			const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
			AnalyticsAPI::logEvent("levelStart", {{"level", "1-1"}});
			AnalyticsAPI::logEvent("shot");
			m_clock.advance(2);
			session->pauseSession();
			m_clock.advance(3);
			session->resumeSession();
			AnalyticsAPI::logEvent("shot");
			AnalyticsAPI::logError("E1", "saving", std::runtime_error("disk full"));
			AnalyticsAPI::logEvent("levelDone", {{"stars", "3"}});
		}
		catch (...)
		{
			_exit(3);
		}
		raise(SIGKILL);
		_exit(4);
	}
	int status = 0;
	ASSERT_EQ(child, waitpid(child, &status, 0));
	ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

	AnalyticsSession::createActiveAnalyticsSession("KEY");
	const std::vector<std::string> stored = AnalyticsSessionStore::savedSessions();
	ASSERT_EQ(1u, stored.size());
	const DecodedSession crashed = decodeReport(AnalyticsSessionUploader::dataForSessions(stored, false)).sessions.at(0);
	std::vector<std::string> names;
	for (const DecodedEvent& event : crashed.events)
		names.push_back(event.name);
	EXPECT_EQ((std::vector<std::string>{"levelStart", "shot", "shot", "levelDone"}), names);
	EXPECT_EQ("3", crashed.events.back().parameters.at("stars"));
	EXPECT_EQ(5000, crashed.events.back().startOffset);
	EXPECT_EQ((std::map<std::string, int>{{"levelDone", 1}, {"levelStart", 1}, {"shot", 2}}), crashed.counts);
	ASSERT_EQ(1u, crashed.errors.size());
	EXPECT_EQ("std::runtime_error: disk full", crashed.errors[0].description);
	EXPECT_EQ(3000, crashed.paused);
	EXPECT_EQ(-1, crashed.length);
	EXPECT_TRUE(eventsOnDisk().empty());
}

TEST_F(SessionJournalTest, ADamagedJournalGivesUpOnlyWhatFollowsTheDamage)
{
	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
	session->recordEvent("archived 1", {}, false);
	session->recordEvent("archived 2", {}, false);
	session->pauseSession();
	session->recordEvent("journalled 1", {}, false);
	session->recordEvent("journalled 2", {}, false);
	const std::string path = AnalyticsSessionStore::currentSessionJournalPath();
	const std::string journal = fileBytes(path);
	const std::vector<std::string> archived{"archived 1", "archived 2"};
	const std::vector<std::string> first{"archived 1", "archived 2", "journalled 1"};
	const std::vector<std::string> all{"archived 1", "archived 2", "journalled 1", "journalled 2"};
	std::string flipped = journal;
	flipped[20] = static_cast<char>(flipped[20] ^ 0x40);
	const struct
	{
		const char* damage;
		std::string bytes;
		std::vector<std::string> events;
		bool logged;
	} cases[] = {
		{"none", journal, all, false},
		{"cut in the last entry", journal.substr(0, journal.size() - 3), first, true},
		{"a byte of the first entry changed", flipped, archived, true},
		{"no journal at all", "", archived, false},
		{"not a journal", "not a journal at all, just text", archived, true},
	};
	lang::Debug::setEnabled(true);
	for (const auto& c : cases)
	{
		writeBytes(path, c.bytes);
		testing::internal::CaptureStderr();
		EXPECT_EQ(c.events, eventsOnDisk()) << c.damage;
		const std::string log = testing::internal::GetCapturedStderr();
		EXPECT_EQ(c.logged, log.find("Analytics: " + path + " is damaged (") != std::string::npos) << c.damage << log;
	}
	lang::Debug::setEnabled(false);
}

TEST_F(SessionJournalTest, EntriesTheArchiveAlreadyHoldsAreNotAppliedTwice)
{
	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
	session->recordEvent("one", {}, false);
	session->recordEvent("two", {}, false);
	const std::string path = AnalyticsSessionStore::currentSessionJournalPath();
	const std::string journal = fileBytes(path);
	// Killed after the archive took the journal in and before the journal was removed.
	session->pauseSession();
	writeBytes(path, journal);
	EXPECT_EQ((std::vector<std::string>{"one", "two"}), eventsOnDisk());
	session->recordEvent("three", {}, false);
	EXPECT_EQ((std::vector<std::string>{"one", "two", "three"}), eventsOnDisk());
}

TEST_F(SessionJournalTest, AChangeThatCouldNotBeWrittenGoesToDiskWithTheNextOne)
{
	const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
	session->recordEvent("written", {}, false);
	const std::string path = AnalyticsSessionStore::currentSessionJournalPath();
	// A directory that cannot be removed where the journal goes: no append, no removal.
	std::remove(path.c_str());
	ASSERT_EQ(0, mkdir(path.c_str(), 0700));
	writeBytes(path + "/inside", "");
	EXPECT_THROW(session->recordEvent("not written at first", {}, false), platform::ArchiveError);
	EXPECT_THROW(session->recordError("E", "not written either", ""), platform::ArchiveError);
	std::remove((path + "/inside").c_str());
	std::remove(path.c_str());
	session->recordEvent("next", {}, false);
	EXPECT_EQ((std::vector<std::string>{"written", "not written at first", "next"}), eventsOnDisk());
	EXPECT_EQ(1u, AnalyticsSession::unarchive(AnalyticsSessionStore::readCurrentSession()->record)->errors().size());
}

TEST_F(SessionJournalTest, AChangeThatDoesNotReadOrPassesTheLimitsEndsTheReplay)
{
	AnalyticsSession session("KEY", "1");
	session.recordEvent("kept", {}, false);
	const platform::ArchiveValue record = session.archive();
	platform::ArchiveValue event = platform::ArchiveValue::array();
	event.append(AnalyticsSession("KEY", "1").archive());
	platform::ArchiveValue notAnEvent = platform::ArchiveValue::record(AnalyticsSession::CHANGE_CLASS_NAME);
	notAnEvent.set("eventLog", event);
	platform::ArchiveValue tooManyErrors = platform::ArchiveValue::record(AnalyticsSession::CHANGE_CLASS_NAME);
	platform::ArchiveValue errors = platform::ArchiveValue::array();
	for (int i = 0; i <= AnalyticsAPI::MAX_ERRORS; ++i)
	{
		platform::ArchiveValue error = platform::ArchiveValue::array();
		for (const char* item : {"", "E", "m", "d"})
			error.append(item[0] ? platform::ArchiveValue::string(item) : platform::ArchiveValue::date(0));
		errors.append(error);
	}
	tooManyErrors.set("errors", errors);
	const auto counted = [](int times) {
		platform::ArchiveValue change = platform::ArchiveValue::record(AnalyticsSession::CHANGE_CLASS_NAME);
		platform::ArchiveValue count = platform::ArchiveValue::dictionary();
		count.set("kept", platform::ArchiveValue::integer(times));
		change.set("eventCounts", count);
		return change;
	};
	for (const platform::ArchiveValue& broken : {notAnEvent, tooManyErrors, platform::ArchiveValue::integer(1)})
	{
		const std::shared_ptr<AnalyticsSession> read = AnalyticsSession::unarchive(record, {counted(5), broken, counted(9)});
		EXPECT_EQ(1u, read->eventLog().size());
		EXPECT_TRUE(read->errors().empty());
		EXPECT_EQ(5, read->eventCounts().at("kept"));
	}
}

namespace
{

// The names of the events of each stored session, in storing order.
std::vector<std::vector<std::string>> storedEventNames()
{
	std::vector<std::vector<std::string>> sessions;
	for (const std::string& block : AnalyticsSessionStore::savedSessions())
	{
		ReportReader in(block);
		std::vector<std::string> names;
		for (const DecodedEvent& event : readSession(in).events)
			names.push_back(event.name);
		sessions.push_back(names);
	}
	return sessions;
}

// How many stored sessions hold each event name.
std::map<std::string, int> timesStored()
{
	std::map<std::string, int> times;
	for (const std::vector<std::string>& names : storedEventNames())
		for (const std::string& name : names)
			++times[name];
	return times;
}

} // namespace

TEST_F(SessionJournalTest, ASessionStoredJustBeforeTheProcessDiedIsNotStoredAgain)
{
	// Killed after the ended session was stored and before its current-session file was removed.
	std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
	session->recordEvent("ended", {}, false);
	session->endSessionAndSend(false, false);
	ASSERT_TRUE(AnalyticsSessionStore::addToSavedSessions(session->data(), session->identity()));
	const std::string archive = fileBytes(AnalyticsSessionStore::currentSessionFilePath());
	session = AnalyticsSession::createActiveAnalyticsSession("KEY");
	EXPECT_EQ((std::vector<std::vector<std::string>>{{"ended"}}), storedEventNames());

	// Killed after the next start stored a crashed session and before it removed the file.
	session->recordEvent("crashed", {}, false);
	session->pauseSession();
	const std::string crashed = fileBytes(AnalyticsSessionStore::currentSessionFilePath());
	AnalyticsSession::createActiveAnalyticsSession("KEY");
	writeBytes(AnalyticsSessionStore::currentSessionFilePath(), crashed);
	AnalyticsSession::createActiveAnalyticsSession("KEY");
	EXPECT_EQ((std::vector<std::vector<std::string>>{{"ended"}, {"crashed"}}), storedEventNames());

	// A record from before identities is stored whenever it is found.
	platform::ArchiveValue record = platform::KeyedArchive::decode(archive);
	platform::ArchiveValue withoutIdentity = platform::ArchiveValue::record(AnalyticsSession::CLASS_NAME);
	for (size_t i = 0; i < record.keys().size(); ++i)
		if (record.keys()[i] != "identity")
			withoutIdentity.set(record.keys()[i], record.items()[i]);
	writeBytes(AnalyticsSessionStore::currentSessionFilePath(), platform::KeyedArchive::encode(withoutIdentity));
	AnalyticsSession::createActiveAnalyticsSession("KEY");
	EXPECT_EQ((std::vector<std::vector<std::string>>{{"ended"}, {"crashed"}, {"ended"}}), storedEventNames());
}

// A process that starts, logs and stores sessions over and over is killed at random; each next
// start finds every session stored once, whether the kill fell while it ran, while it was stored
// or between storing it and removing its file. That last window is the one a second storing
// would come from; about one kill in ten falls into it, so the kills go on past KILLS until one
// has, and the test fails only when none of MAX_KILLS did.
TEST_F(SessionJournalTest, ASessionIsStoredOnceHoweverTheProcessDies)
{
	constexpr int KILLS = 80;
	constexpr int MAX_KILLS = 400;
	constexpr int MAX_DELAY_MICROSECONDS = 100000;
	std::mt19937 random(20261211);
	int storedButNotRemoved = 0;
	int kill = 0;
	for (; kill < KILLS || (storedButNotRemoved == 0 && kill < MAX_KILLS); ++kill)
	{
		int ready[2];
		ASSERT_EQ(0, pipe(ready));
		const pid_t child = fork();
		ASSERT_NE(-1, child);
		if (child == 0)
		{
			close(ready[0]);
			try
			{
				for (int number = 0;; ++number)
				{
					const std::shared_ptr<AnalyticsSession> session = AnalyticsSession::createActiveAnalyticsSession("KEY");
					session->recordEvent(std::to_string(kill) + "/" + std::to_string(number), {}, false);
					session->endSessionAndSend(false, true);
					const char stored = 1;
					if (number == 0 && write(ready[1], &stored, 1) != 1)
						_exit(5);
				}
			}
			catch (...)
			{
				_exit(3);
			}
		}
		close(ready[1]);
		char stored = 0;
		const bool started = read(ready[0], &stored, 1) == 1;
		close(ready[0]);
		usleep(static_cast<useconds_t>(random() % MAX_DELAY_MICROSECONDS));
		::kill(child, SIGKILL);
		int status = 0;
		ASSERT_EQ(child, waitpid(child, &status, 0));
		ASSERT_TRUE(started && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "kill " << kill << ", status " << status;

		const std::vector<std::string> left = eventsOnDisk();
		storedButNotRemoved += !left.empty() && timesStored().count(left[0]) > 0;
		AnalyticsSession::createActiveAnalyticsSession("KEY");
		for (const auto& mark : timesStored())
			ASSERT_EQ(1, mark.second) << "session " << mark.first << " after kill " << kill;
		// The next child begins with an empty store and no current session.
		AnalyticsSessionStore::removeSentSessions(AnalyticsSessionStore::savedSessions());
		AnalyticsSessionStore::removeCurrentSession();
		AnalyticsAPI::setCurrentSession(nullptr);
	}
	EXPECT_LT(0, storedButNotRemoved) << "none of " << kill << " kills fell between storing a session and removing its file";
	std::printf("%d of %d kills fell between storing a session and removing its file\n", storedButNotRemoved, kill);
}
