#ifndef TESTS_AGENT_ADTESTSUPPORT_H
#define TESTS_AGENT_ADTESTSUPPORT_H

#include "AdAnswerWriter.h"
#include "AgentTestSupport.h"
#include <agent/AnalyticsAPI.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdProperties.h>
#include <agent/ads/AnalyticsAdSession.h>
#include <agent/ads/AnalyticsAdView.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <agent/ads/AnalyticsImageCache.h>
#include <platform/Directories.h>
#include <vector>

// A session record as far as the ads see it, with a fixed start.
class FakeAdSession : public AnalyticsAdSession
{
public:
	static constexpr std::int64_t START = 1700000000000;

	std::string apiKey() const override { return "KEY"; }
	std::int64_t startTimeMillis() const override { return START; }
	std::string phoneID() const override { return "PHONE"; }
	void recordAdImpression(const std::shared_ptr<AnalyticsAdImpression>&) override { ++recorded; }

	int recorded = 0;
};

// Keeps the tasks it is given without running them.
class HeldTaskRunner : public platform::TaskRunner
{
public:
	void run(std::function<void()> task) override { tasks.push_back(std::move(task)); }
	std::vector<std::function<void()>> tasks;
};

// Fresh ad state in a caches directory of its own, a fixed clock, and platform hooks that record
// alerts and referrals and say the views are on screen while onScreen is set.
class AdTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		standardDefaults();
		platform::Directories::setCaches(freshDirectory("caches"));
		AnalyticsAPI::resetSettings();
		AnalyticsAdProperties::reset();
		now = FakeAdSession::START + 5000;
		AnalyticsAdSession::setClock([this] { return now; });
		session = std::make_shared<FakeAdSession>();
		AnalyticsAdSession::setCurrent(session);
		AnalyticsAPI::prepareAdsForSession("test");
		AnalyticsAdView::Hooks hooks;
		hooks.referral.worker = &referrals;
		hooks.referral.toMainThread = [](std::function<void()> work) { work(); };
		hooks.showAlert = [this](const platform::Alert& alert, std::function<void(int)> done) {
			alerts.push_back(alert.message);
			answerAlert = std::move(done);
		};
		hooks.onScreen = [this](const AnalyticsAdView&) { return onScreen; };
		AnalyticsAdView::setHooks(hooks);
	}

	void TearDown() override
	{
		AnalyticsAdCanvasViewController::freeOpenCanvasController();
		AnalyticsAdAssignment::recreateInstance();
		AnalyticsAdParser::recreateInstance();
		AnalyticsAdView::setHooks({});
		AnalyticsAdSession::setCurrent(nullptr);
		AnalyticsAdSession::setClock({});
	}

	static void publish(const AdAnswerWriter& answer)
	{
		ASSERT_TRUE(AnalyticsAdParser::publishAnswer(true, answer.bytes()));
	}

	std::int64_t now = 0;
	std::shared_ptr<FakeAdSession> session;
	HeldTaskRunner referrals;
	std::vector<std::string> alerts;
	std::function<void(int)> answerAlert;
	bool onScreen = true;
};

#endif
