#include "support/LoopbackHttpServer.h"
#include <platform/HttpFetch.h>
#include <platform/MainQueue.h>
#include <gtest/gtest.h>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

using platform::HttpFetch;
using platform::HttpResult;

namespace
{

// Answers GET "/ok" with a page, POST "/echo" with its own body, anything else with 404.
LoopbackHttpServer::Answer pages(const LoopbackHttpServer::Request& request)
{
	LoopbackHttpServer::Answer answer;
	if (request.method == "POST" && request.path == "/echo")
		answer.body = request.body;
	else if (request.method == "GET" && request.path == "/ok")
		answer.body = "<title>Loopback</title>";
	else
	{
		answer.status = 404;
		answer.body = "missing";
	}
	return answer;
}

} // namespace

TEST(HttpFetch, ReportsStatusAndBody)
{
	LoopbackHttpServer server(pages);
	const HttpResult ok = HttpFetch::get(server.url("/ok"));
	EXPECT_TRUE(ok.ok) << ok.error;
	EXPECT_EQ(200, ok.status);
	EXPECT_EQ("<title>Loopback</title>", ok.body);
	EXPECT_EQ("close", ok.headers.at("Connection"));
	EXPECT_EQ("23", ok.headers.at("Content-Length"));
	// A failing status still brings its answer.
	const HttpResult missing = HttpFetch::get(server.url("/gone"));
	EXPECT_FALSE(missing.ok);
	EXPECT_EQ(404, missing.status);
	EXPECT_EQ("missing", missing.body);
	EXPECT_EQ("7", missing.headers.at("Content-Length"));
	EXPECT_TRUE(missing.answered);
	// A cap below the answer's size fails the transfer: no answer, no body.
	platform::HttpRequest capped;
	capped.url = server.url("/ok");
	capped.maxBody = 5;
	const HttpResult refused = HttpFetch::perform(capped);
	EXPECT_FALSE(refused.ok);
	EXPECT_FALSE(refused.answered);
	EXPECT_TRUE(refused.body.empty());
	EXPECT_EQ("Body too large", refused.error);
}

TEST(HttpFetch, PostsBodiesWithZeroBytes)
{
	LoopbackHttpServer server(pages);
	for (size_t size : {size_t(0), size_t(7), size_t(100000)})
	{
		platform::HttpRequest request;
		request.url = server.url("/echo");
		request.method = "POST";
		request.headers.push_back("Content-Type: application/octet-stream");
		for (size_t i = 0; i < size; ++i)
			request.body += static_cast<char>(i % 3 == 0 ? 0 : i);
		const HttpResult result = HttpFetch::perform(request);
		EXPECT_TRUE(result.ok) << size << " " << result.error;
		EXPECT_EQ(request.body, result.body) << size;
	}
	platform::HttpRequest other;
	other.url = server.url("/ok");
	other.method = "DELETE";
	EXPECT_FALSE(HttpFetch::perform(other).ok);
}

TEST(HttpFetch, GivesUpAfterTheRequestsTimeout)
{
	// Listens but never answers: connections wait in the backlog.
	int port = 0;
	const int silent = listenOnLoopback(port);
	platform::HttpRequest request;
	request.url = "http://127.0.0.1:" + std::to_string(port) + "/";
	request.timeout = 1;
	const HttpResult result = HttpFetch::perform(request);
	EXPECT_FALSE(result.ok);
	EXPECT_EQ(0, result.status);
	EXPECT_FALSE(result.error.empty());
	EXPECT_FALSE(result.answered);
	close(silent);
}

TEST(HttpFetch, ReadsFilesAndRefusesOtherSchemes)
{
	const std::string path = testing::TempDir() + "/fetch-page.html";
	std::ofstream(path) << "<title>File</title>";
	EXPECT_EQ("<title>File</title>", HttpFetch::get("file://" + path).body);
	EXPECT_FALSE(HttpFetch::get("file://" + path + ".missing").ok);
	EXPECT_FALSE(HttpFetch::get("gopher://127.0.0.1/").ok);
	std::remove(path.c_str());
}

TEST(HttpFetch, DeliversOnTheMainQueueAndNotAfterDestruction)
{
	LoopbackHttpServer server(pages);
	platform::MainQueue queue;
	int deliveries = 0;
	{
		HttpFetch fetch(queue, server.url("/ok"), [&](const HttpResult& r) {
			EXPECT_TRUE(r.ok);
			++deliveries;
		});
		while (queue.empty())
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		queue.runPending();
	}
	EXPECT_EQ(1, deliveries);
	{
		HttpFetch abandoned(queue, server.url("/ok"), [&](const HttpResult&) { ++deliveries; });
	}
	queue.runPending();
	EXPECT_EQ(1, deliveries);
}
