#ifndef TESTS_AGENT_ADTESTSUPPORT_H
#define TESTS_AGENT_ADTESTSUPPORT_H

#include "AdAnswerWriter.h"
#include "AgentTestSupport.h"
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSession.h>
#include <agent/AnalyticsSessionUploader.h>
#include <agent/ads/AnalyticsAdAssignment.h>
#include <agent/ads/AnalyticsAdCanvasViewController.h>
#include <agent/ads/AnalyticsAdImpression.h>
#include <agent/ads/AnalyticsAdParser.h>
#include <agent/ads/AnalyticsAdProperties.h>
#include <agent/ads/AnalyticsAdView.h>
#include <agent/ads/AnalyticsFileCache.h>
#include <agent/ads/AnalyticsImageCache.h>
#include <platform/Directories.h>
#include <vector>

// Keeps the tasks it is given without running them.
class HeldTaskRunner : public platform::TaskRunner
{
public:
	void run(std::function<void()> task) override { tasks.push_back(std::move(task)); }
	std::vector<std::function<void()>> tasks;
};

// A fresh agent with fresh ad state, a session that started 5 s ago on a manual clock, and
// platform hooks that record alerts and referrals and say the views are on screen while onScreen
// is set.
class AdTest : public AgentSessionTest
{
protected:
	void SetUp() override
	{
		AgentSessionTest::SetUp();
		AnalyticsAdProperties::reset();
		session = AnalyticsSession::createActiveAnalyticsSession("KEY");
		clock.advance(5);
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
		AgentSessionTest::TearDown();
	}

	static void publish(const AdAnswerWriter& answer)
	{
		ASSERT_TRUE(AnalyticsAdParser::publishAnswer(true, answer.bytes()));
	}

	static constexpr double START = 1700000000.0;

	ManualClock clock{START};
	std::shared_ptr<AnalyticsSession> session;
	HeldTaskRunner referrals;
	std::vector<std::string> alerts;
	std::function<void(int)> answerAlert;
	bool onScreen = true;
};

#endif
