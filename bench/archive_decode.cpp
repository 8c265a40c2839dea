// Decoding a keyed archive takes time in proportion to its size, and little memory per value.
// BM_DecodeDictionary decodes a dictionary of 10,000 keys and one of 80,000 in each iteration;
// counters: keys10000_ms and keys80000_ms (medians over the iterations) and growth, their ratio
// (8 when decoding is linear). The time column is both decodings.
// BM_DecodeBooleans decodes an array of 2,000,000 booleans (4 MB) in a child process; counters:
// peak_mb, the child's peak resident memory above that of a child that decodes nothing, and
// bytes_per_value, that peak over the number of booleans. Its time column is the two children's.
#include "Median.h"
#include <platform/KeyedArchive.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string>
#include <vector>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const int FEW_KEYS = 10000;
const int MANY_KEYS = 80000;
const int BOOLEANS = 2000000;

std::string encodedDictionary(int keys)
{
	platform::ArchiveValue dictionary = platform::ArchiveValue::dictionary();
	for (int i = 0; i < keys; ++i)
		dictionary.set("k" + std::to_string(i), platform::ArchiveValue::boolean(i % 2 == 0));
	return platform::KeyedArchive::encode(dictionary);
}

// Milliseconds to decode the bytes.
double decodingMs(const std::string& encoded)
{
	const auto start = std::chrono::steady_clock::now();
	benchmark::DoNotOptimize(platform::KeyedArchive::decode(encoded));
	return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_DecodeDictionary(benchmark::State& state)
{
	const std::string few = encodedDictionary(FEW_KEYS);
	const std::string many = encodedDictionary(MANY_KEYS);
	std::vector<double> fewMs, manyMs;
	for (auto _ : state)
	{
		fewMs.push_back(decodingMs(few));
		manyMs.push_back(decodingMs(many));
		state.SetIterationTime((fewMs.back() + manyMs.back()) / 1000);
	}
	state.counters["keys10000_ms"] = median(fewMs);
	state.counters["keys80000_ms"] = median(manyMs);
	state.counters["growth"] = median(manyMs) / median(fewMs);
}
BENCHMARK(BM_DecodeDictionary)->UseManualTime()->Unit(benchmark::kMillisecond);

// The peak resident kilobytes of a child process that decodes the bytes, or only exits when they
// are empty; -1 when the child cannot start or fails.
long childPeakKilobytes(const std::string& encoded)
{
	const pid_t child = ::fork();
	if (child == 0)
	{
		try
		{
			if (!encoded.empty())
				benchmark::DoNotOptimize(platform::KeyedArchive::decode(encoded));
		}
		catch (...)
		{
			::_exit(1);
		}
		::_exit(0);
	}
	if (child < 0)
		return -1;
	int status = 0;
	rusage usage{};
	if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
		return -1;
	return usage.ru_maxrss;
}

void BM_DecodeBooleans(benchmark::State& state)
{
	platform::ArchiveValue array = platform::ArchiveValue::array();
	for (int i = 0; i < BOOLEANS; ++i)
		array.append(platform::ArchiveValue::boolean(i % 3 == 0));
	const std::string encoded = platform::KeyedArchive::encode(array);
	array = platform::ArchiveValue();
	std::vector<double> peaks;
	for (auto _ : state)
	{
		const long idle = childPeakKilobytes(std::string());
		const long decoding = childPeakKilobytes(encoded);
		if (idle < 0 || decoding < 0)
		{
			state.SkipWithError("the child process failed");
			return;
		}
		peaks.push_back(static_cast<double>(decoding - idle) * 1024);
	}
	state.counters["peak_mb"] = median(peaks) / (1024 * 1024);
	state.counters["bytes_per_value"] = median(peaks) / BOOLEANS;
}
BENCHMARK(BM_DecodeBooleans)->Unit(benchmark::kMillisecond);

} // namespace
