// Logging an event through the analytics facade costs the same whether the session holds ten
// events or a thousand: 1000 events go into a fresh session (its files in a temporary library
// directory), and the calling thread's time for event 10 and for event 1000 is taken in each
// iteration. Counters: event10_us and event1000_us (medians over the iterations) and growth, their
// ratio. The time column is the whole 1000 events.
#include "Median.h"
#include <game/GameTestFiles.h>
#include <agent/AnalyticsAPI.h>
#include <agent/AnalyticsSession.h>
#include <platform/Directories.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace
{

const int EVENTS = 1000;
const int EARLY_EVENT = 10;
// Distinct event names: the session counts up to 100.
const int NAMES = 40;

void BM_LogEvent(benchmark::State& state)
{
	// The process's for the rest of the run, removed at exit.
	static const TempDir directory;
	platform::Directories::setDocuments(directory.file("documents"));
	platform::Directories::setLibrary(directory.file("library"));
	std::vector<std::string> names;
	for (int i = 0; i < NAMES; ++i)
		names.push_back("levelDone" + std::to_string(i));
	const std::map<std::string, std::string> parameters{{"level", "3-1"}, {"stars", "2"}};
	std::vector<double> early, late;
	for (auto _ : state)
	{
		AnalyticsSession::createActiveAnalyticsSession("BENCHMARK");
		std::chrono::duration<double> whole{0};
		for (int event = 1; event <= EVENTS; ++event)
		{
			const auto start = std::chrono::steady_clock::now();
			AnalyticsAPI::logEvent(names[event % NAMES], parameters);
			const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
			whole += took;
			if (event == EARLY_EVENT)
				early.push_back(took.count() * 1e6);
			else if (event == EVENTS)
				late.push_back(took.count() * 1e6);
		}
		state.SetIterationTime(whole.count());
		AnalyticsSession::currentSession()->saveSession();
	}
	AnalyticsAPI::resetSettings();
	state.counters["event10_us"] = median(early);
	state.counters["event1000_us"] = median(late);
	state.counters["growth"] = median(late) / median(early);
}
BENCHMARK(BM_LogEvent)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
