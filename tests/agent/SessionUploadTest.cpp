#include "AgentTestSupport.h"
#include "SessionReportReader.h"
#include "support/LoopbackHttpServer.h"
#include <agent/AnalyticsHTTPEater.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionStore.h>
#include <lang/Debug.h>
#include <platform/KeyedArchive.h>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace
{

bool fileExists(const std::string& path)
{
	struct stat status;
	return ::stat(path.c_str(), &status) == 0;
}

// A stored session that the server can tell from the others by its application version.
void storeSession(const std::string& version)
{
	AnalyticsSessionStore::addToSavedSessions(AnalyticsSession("KEY", version).data());
}

std::vector<std::string> storedVersions()
{
	std::vector<std::string> versions;
	for (const DecodedSession& session :
		decodeReport(AnalyticsSessionUploader::dataForSessions(AnalyticsSessionStore::savedSessions(), false)).sessions)
		versions.push_back(session.appVersion);
	return versions;
}

// Every file in the library directory by name, with its bytes.
std::map<std::string, std::string> libraryFiles()
{
	std::map<std::string, std::string> files;
	for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(platform::Directories::library()))
	{
		std::ifstream file(entry.path(), std::ios::binary);
		files[entry.path().filename()] = std::string(std::istreambuf_iterator<char>(file), {});
	}
	return files;
}

std::vector<std::string> sentVersions(const LoopbackHttpServer::Request& request)
{
	std::vector<std::string> versions;
	for (const DecodedSession& session : decodeReport(request.body).sessions)
		versions.push_back(session.appVersion);
	return versions;
}

// A server that answers every upload with the status the test sets.
class SessionUploadTest : public AgentSessionTest
{
protected:
	void SetUp() override
	{
		AgentSessionTest::SetUp();
		AnalyticsSessionStore::setApiKey("KEY");
		AnalyticsAPI::setServerURL(m_server.url("/aap.do"));
	}

	std::atomic<int> m_status{200};
	std::atomic<bool> m_drop{false};
	LoopbackHttpServer m_server{[this](const LoopbackHttpServer::Request&) {
		LoopbackHttpServer::Answer answer;
		answer.status = m_status;
		answer.drop = m_drop;
		answer.body = "ad message";
		return answer;
	}};
};

} // namespace

TEST_F(SessionUploadTest, AnAcceptedUploadEmptiesTheStoreAndLeavesTheMarker)
{
	storeSession("1");
	storeSession("2");
	EXPECT_FALSE(AnalyticsSessionStore::sentSession());
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);

	const std::vector<LoopbackHttpServer::Request> requests = m_server.requests();
	ASSERT_EQ(1u, requests.size());
	EXPECT_EQ("POST", requests[0].method);
	EXPECT_EQ("/aap.do", requests[0].path);
	EXPECT_NE(std::string::npos, requests[0].head.find("Content-Type: application/octet-stream"));
	EXPECT_EQ((std::vector<std::string>{"1", "2"}), sentVersions(requests[0]));
	EXPECT_TRUE(storedVersions().empty());
	EXPECT_TRUE(AnalyticsSessionStore::sentSession());
}

TEST_F(SessionUploadTest, ARefusedOrDroppedUploadKeepsEverything)
{
	storeSession("1");
	const std::shared_ptr<AnalyticsSession> current = AnalyticsSession::createActiveAnalyticsSession("KEY");
	m_status = 500;
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	EXPECT_EQ((std::vector<std::string>{"1"}), storedVersions());
	EXPECT_FALSE(current->internetAvailable());

	m_status = 200;
	m_drop = true;
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	EXPECT_EQ((std::vector<std::string>{"1"}), storedVersions());
	EXPECT_FALSE(AnalyticsSessionStore::sentSession());
	EXPECT_EQ(2u, m_server.requests().size());

	m_drop = false;
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	EXPECT_TRUE(current->internetAvailable());
	EXPECT_TRUE(storedVersions().empty());
}

TEST_F(SessionUploadTest, UploadsWithTheShortTimeOutSendTheCurrentSessionAndClearNothing)
{
	storeSession("1");
	AnalyticsAPI::setAppVersion("current");
	AnalyticsSession::createActiveAnalyticsSession("KEY");
	AnalyticsSessionUploader::sendSessionsToServerForSessionPause();
	ASSERT_EQ(1u, m_server.requests().size());
	EXPECT_EQ((std::vector<std::string>{"1", "current"}), sentVersions(m_server.requests()[0]));
	EXPECT_EQ((std::vector<std::string>{"1"}), storedVersions());
	EXPECT_FALSE(AnalyticsSessionStore::sentSession());
}

TEST_F(SessionUploadTest, WithoutAServerAddressNothingIsPostedAndSessionsStayStored)
{
	AnalyticsAPI::setServerURL("");
	storeSession("1");
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	EXPECT_TRUE(m_server.requests().empty());
	EXPECT_EQ((std::vector<std::string>{"1"}), storedVersions());
}

TEST_F(SessionUploadTest, TheStoreKeepsTheNewestSessionsUpToItsLimit)
{
	for (int i = 1; i <= 51; ++i)
		storeSession(std::to_string(i));
	std::vector<std::string> versions = storedVersions();
	ASSERT_EQ(50u, versions.size());
	EXPECT_EQ("2", versions.front());
	EXPECT_EQ("51", versions.back());

	AnalyticsAPI::setMaxSessionsSaved(2);
	EXPECT_EQ(2, AnalyticsSessionStore::maxSessions());
	storeSession("52");
	EXPECT_EQ((std::vector<std::string>{"51", "52"}), storedVersions());
}

TEST_F(SessionUploadTest, ASessionStoredDuringAnUploadSurvivesIt)
{
	std::mutex mutex;
	std::condition_variable changed;
	bool arrived = false, answer = false;
	LoopbackHttpServer slow([&](const LoopbackHttpServer::Request&) {
		std::unique_lock<std::mutex> lock(mutex);
		arrived = true;
		changed.notify_all();
		changed.wait(lock, [&] { return answer; });
		return LoopbackHttpServer::Answer{};
	});
	AnalyticsAPI::setServerURL(slow.url("/aap.do"));
	storeSession("sent");
	std::thread upload([] { AnalyticsSessionUploader::sendSessionsToServer(false, false, false); });
	{
		std::unique_lock<std::mutex> lock(mutex);
		changed.wait(lock, [&] { return arrived; });
	}
	storeSession("stored meanwhile");
	{
		std::lock_guard<std::mutex> lock(mutex);
		answer = true;
	}
	changed.notify_all();
	upload.join();
	EXPECT_EQ((std::vector<std::string>{"sent"}), sentVersions(slow.requests().at(0)));
	EXPECT_EQ((std::vector<std::string>{"stored meanwhile"}), storedVersions());
}

TEST_F(SessionUploadTest, ACorruptStoreIsSetAsideAndTheNextSessionIsStillStoredAndSent)
{
	const std::string path = AnalyticsSessionStore::sessionsFilePath();
	const std::string corrupt("KARC\x01\x00 not an archive", 22);
	std::ofstream(path, std::ios::binary) << corrupt;
	lang::Debug::setEnabled(true);
	testing::internal::CaptureStderr();
	storeSession("after");
	lang::Debug::setEnabled(false);
	const std::string log = testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string::npos, log.find("Analytics: " + path + " is damaged (Archive holds an unknown value kind); set aside as "
		+ path + AnalyticsSessionStore::CORRUPT_SUFFIX + "1\n")) << log;
	EXPECT_TRUE(fileExists(path + AnalyticsSessionStore::CORRUPT_SUFFIX + "1"));
	std::ifstream kept(path + AnalyticsSessionStore::CORRUPT_SUFFIX + "1", std::ios::binary);
	EXPECT_EQ(corrupt, std::string(std::istreambuf_iterator<char>(kept), {}));

	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	ASSERT_EQ(1u, m_server.requests().size());
	EXPECT_EQ((std::vector<std::string>{"after"}), sentVersions(m_server.requests()[0]));
	EXPECT_TRUE(storedVersions().empty());
}

TEST_F(SessionUploadTest, EachCorruptStoreIsKeptUpToFiveCopiesTheLatestLast)
{
	const std::string path = AnalyticsSessionStore::sessionsFilePath();
	for (int i = 1; i <= 7; ++i)
	{
		std::ofstream(path, std::ios::binary) << "corrupt " << i;
		AnalyticsSessionStore::savedSessions();
		EXPECT_FALSE(fileExists(path)) << i;
	}
	const std::string copies = path + AnalyticsSessionStore::CORRUPT_SUFFIX;
	for (const auto& [number, content] : std::vector<std::pair<int, std::string>>{{1, "corrupt 1"}, {4, "corrupt 4"}, {5, "corrupt 7"}})
	{
		std::ifstream kept(copies + std::to_string(number), std::ios::binary);
		EXPECT_EQ(content, std::string(std::istreambuf_iterator<char>(kept), {})) << number;
	}
	EXPECT_FALSE(fileExists(copies + "6"));
}

TEST_F(SessionUploadTest, FilesThatCannotBeOpenedForAMomentStayWholeAndTheOperationFails)
{
	storeSession("1");
	storeSession("2");
	AnalyticsSessionStore::initialTimestamp(1000.0);
	const std::shared_ptr<AnalyticsSession> current = AnalyticsSession::createActiveAnalyticsSession("KEY");
	current->recordEvent("logged", {}, false);
	const std::map<std::string, std::string> before = libraryFiles();

	const std::string block = AnalyticsSession("KEY", "3").data();
	const std::function<void()> operations[] = {
		[] { AnalyticsSessionStore::savedSessions(); },
		[&] { AnalyticsSessionStore::addToSavedSessions(block); },
		[] { AnalyticsSessionStore::removeSentSessions({}); },
		[] { AnalyticsSessionStore::initialTimestamp(2000.0); },
		[] { AnalyticsSessionStore::readCurrentSession(); },
		[&] { current->saveSession(); },
	};
	for (const std::function<void()>& operation : operations)
	{
		DescriptorsExhausted exhausted;
		EXPECT_THROW(operation(), platform::ArchiveUnreadable);
	}
	EXPECT_EQ(before, libraryFiles());
	EXPECT_EQ(current, AnalyticsSession::currentSession());

	EXPECT_EQ((std::vector<std::string>{"1", "2"}), storedVersions());
	EXPECT_EQ(1000.0, AnalyticsSessionStore::initialTimestamp(2000.0));
	current->saveSession();
	EXPECT_EQ(3u, AnalyticsSessionStore::savedSessions().size());
}

TEST_F(SessionUploadTest, ARecordLeftByACrashThatCannotBeReadAtTheStartIsStoredOnceItCan)
{
	AnalyticsAPI::setAppVersion("crashed");
	AnalyticsSession::createActiveAnalyticsSession("KEY")->recordEvent("before the crash", {}, false);
	AnalyticsAPI::resetSettings();
	AnalyticsAPI::setAppVersion("next");
	std::shared_ptr<AnalyticsSession> next;
	{
		DescriptorsExhausted exhausted;
		next = AnalyticsSession::createActiveAnalyticsSession("KEY");
		EXPECT_THROW(next->recordEvent("while no file opens", {}, false), platform::ArchiveUnreadable);
	}
	EXPECT_TRUE(storedVersions().empty());
	const std::optional<AnalyticsSessionStore::CurrentSession> left = AnalyticsSessionStore::readCurrentSession();
	ASSERT_TRUE(left.has_value());
	EXPECT_EQ("crashed", AnalyticsSession::unarchive(left->record, left->changes)->appVersion());

	next->recordEvent("later", {}, false);
	EXPECT_EQ((std::vector<std::string>{"crashed"}), storedVersions());
	const std::optional<AnalyticsSessionStore::CurrentSession> files = AnalyticsSessionStore::readCurrentSession();
	const std::shared_ptr<AnalyticsSession> written = AnalyticsSession::unarchive(files->record, files->changes);
	EXPECT_EQ("next", written->appVersion());
	EXPECT_EQ(2u, written->eventLog().size());
}

TEST_F(SessionUploadTest, AStoreUnderTheOlderNameIsUsedWhileItExists)
{
	const std::string dotted = AnalyticsSessionStore::sessionsFilePath();
	const std::string older = platform::Directories::library() + "/analyticsStored" + AnalyticsSessionStore::keyHash("KEY") + ".archive";
	EXPECT_EQ(platform::Directories::library() + "/.analyticsStored" + AnalyticsSessionStore::keyHash("KEY") + ".archive", dotted);
	std::ofstream(older, std::ios::binary) << AnalyticsSessionStore::encodeSessions({AnalyticsSession("KEY", "old").data()});
	EXPECT_EQ(older, AnalyticsSessionStore::sessionsFilePath());
	storeSession("new");
	EXPECT_EQ((std::vector<std::string>{"old", "new"}), storedVersions());
	EXPECT_FALSE(fileExists(dotted));
}

TEST_F(SessionUploadTest, TheAnswerGoesToTheAdPartWhenAdsWereAsked)
{
	std::vector<std::pair<bool, std::string>> answers;
	AnalyticsSessionUploader::setAdHooks({nullptr, [&](bool success, const std::string& answer) { answers.push_back({success, answer}); }});
	AnalyticsSessionUploader::sendSessionsToServer(false, false, false);
	EXPECT_TRUE(answers.empty());
	AnalyticsSessionUploader::sendSessionsToServer(false, true, false);
	m_status = 404;
	AnalyticsSessionUploader::sendSessionsToServer(false, true, false);
	EXPECT_EQ((std::vector<std::pair<bool, std::string>>{{true, "ad message"}, {false, ""}}), answers);
	EXPECT_TRUE(decodeReport(m_server.requests()[1].body).ads);
}

TEST_F(SessionUploadTest, ASavedAnswerIsReadInsteadOfPostingAndClearsNothing)
{
	ManualClock clock;
	const AnalyticsHTTPResponse saved("saved ad message", 200, {{"X-Kind", "saved"}}, "");
	const std::string path = saved.saveToDisk();
	EXPECT_EQ(AnalyticsHTTPResponse::filePath(1000000), path);
	const AnalyticsHTTPResponse read = AnalyticsHTTPResponse::readFromURL("file://" + path);
	EXPECT_EQ("saved ad message", read.body());
	EXPECT_EQ(200, read.statusCode());
	EXPECT_EQ("saved", read.headers().at("X-Kind"));
	EXPECT_EQ(0, AnalyticsHTTPResponse::readFromURL("file://" + path + ".missing").statusCode());

	storeSession("1");
	std::string answer;
	AnalyticsSessionUploader::setAdHooks({nullptr, [&](bool, const std::string& body) { answer = body; }});
	AnalyticsAPI::setSavedResponseURL("file://" + path);
	AnalyticsSessionUploader::sendSessionsToServer(false, true, false);
	EXPECT_TRUE(m_server.requests().empty());
	EXPECT_EQ("saved ad message", answer);
	EXPECT_EQ((std::vector<std::string>{"1"}), storedVersions());
}

TEST(AnalyticsHTTPEater, AddressesAndStatuses)
{
	EXPECT_EQ("http://host/p?a=1", AnalyticsHTTPEater::urlWithProtocol("", "host", 80, "p", AnalyticsHTTPEater::queryDictionaryToString({{"a", "1"}})));
	EXPECT_EQ("https://host:8080", AnalyticsHTTPEater::urlWithProtocol("https", "host", 8080, "", ""));
	EXPECT_EQ("http://host//p", AnalyticsHTTPEater::urlWithProtocol("", "host", 0, "/p", ""));
	EXPECT_EQ("a=x&y&b=c d", AnalyticsHTTPEater::queryDictionaryToString({{"a", "x&y"}, {"b", "c d"}}));
	EXPECT_EQ("", AnalyticsHTTPEater::queryDictionaryToString({}));
	for (int status : {200, 302, 399})
		EXPECT_TRUE(AnalyticsHTTPResponse("", status, {}, "").isSuccess()) << status;
	for (int status : {0, 199, 400, 500})
		EXPECT_TRUE(AnalyticsHTTPResponse("", status, {}, "").isError()) << status;
}

TEST(AnalyticsHTTPEater, AFailedConnectionHasNoStatusBodyOrHeadersButItsError)
{
	std::string url;
	{
		LoopbackHttpServer closed([](const LoopbackHttpServer::Request&) { return LoopbackHttpServer::Answer{}; });
		url = closed.url("/gone");
	}
	const AnalyticsHTTPResponse failed = AnalyticsHTTPEater::post(url, std::string("\0\1", 2));
	EXPECT_EQ(0, failed.statusCode());
	EXPECT_TRUE(failed.body().empty());
	EXPECT_TRUE(failed.headers().empty());
	EXPECT_FALSE(failed.error().empty());
}

TEST(AnalyticsHTTPEater, BinaryBodiesGoWholeAndOversizedAnswersAreRefused)
{
	const std::string body("\0\xFF\0binary", 9);
	LoopbackHttpServer server([](const LoopbackHttpServer::Request& request) {
		LoopbackHttpServer::Answer answer;
		answer.body = request.path == "/big" ? std::string(AnalyticsHTTPEater::MAX_ANSWER_BYTES + 1, 'x') : request.body;
		return answer;
	});
	const AnalyticsHTTPResponse echoed = AnalyticsHTTPEater::post(server.url("/echo"), body);
	EXPECT_EQ(body, echoed.body());
	EXPECT_EQ(200, echoed.statusCode());
	const AnalyticsHTTPResponse big = AnalyticsHTTPEater::get(server.url("/big"));
	EXPECT_TRUE(big.body().empty());
	EXPECT_FALSE(big.error().empty());
}
