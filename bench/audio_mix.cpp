// Audio costs: mixing 8 voices, and decoding MP3, against the length of the sound produced.
#include <audio/AudioClip.h>
#include <audio/AudioMixer.h>
#include <audio/openal/AudioOutputImpl.h>
#include <audio/AudioReader.h>
#include <io/ByteArrayInputStream.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int RATE = 44100;
constexpr int VOICES = 8;

// Wall-clock seconds per benchmark iteration since start.
double secondsPerIteration(std::chrono::steady_clock::time_point start, const benchmark::State& state)
{
	const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
	return elapsed.count() / static_cast<double>(state.iterations());
}

std::vector<uint8_t> stereoTone(int frames, double frequency)
{
	std::vector<uint8_t> pcm;
	pcm.reserve(static_cast<size_t>(frames) * 4);
	for (int i = 0; i < frames; ++i)
	{
		const int16_t s = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * frequency * i / RATE));
		for (int c = 0; c < 2; ++c)
		{
			pcm.push_back(static_cast<uint8_t>(s));
			pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
		}
	}
	return pcm;
}

// One second of sound from 8 looping voices, in the output's blocks.
void BM_Mix8VoicesOneSecond(benchmark::State& state)
{
	const audio::AudioConfiguration config{2, 16, RATE};
	audio::AudioMixer mixer;
	mixer.start();
	std::vector<lang::Ptr<audio::AudioClip>> clips;
	for (int v = 0; v < VOICES; ++v)
	{
		const std::vector<uint8_t> pcm = stereoTone(RATE, 220.0 + 55.0 * v);
		clips.push_back(new audio::AudioClip(nullptr, pcm.data(), static_cast<int>(pcm.size()), config));
		mixer.playClip(clips.back(), 0.7f, true, v);
	}
	const int blockBytes = audio::AudioOutputImpl::bufferBytesFor(config);
	const int bytesPerSecond = RATE * 4;
	std::vector<uint8_t> block(static_cast<size_t>(blockBytes));
	const auto start = std::chrono::steady_clock::now();
	for (auto _ : state)
	{
		for (int mixed = 0; mixed < bytesPerSecond; mixed += blockBytes)
			mixer.mixUnlimited16(config, block.data(), blockBytes);
		benchmark::DoNotOptimize(block.data());
	}
	state.counters["percent_of_realtime"] = 100.0 * secondsPerIteration(start, state);
}
BENCHMARK(BM_Mix8VoicesOneSecond)->Unit(benchmark::kMicrosecond);

// seconds of a stereo tone encoded at 128 kbit/s; empty when lame is not installed.
std::vector<uint8_t> mp3Tone(int seconds)
{
	const std::string base = "/tmp/audio_bench_" + std::to_string(getpid());
	const std::vector<uint8_t> pcm = stereoTone(RATE * seconds, 440.0);
	{
		std::ofstream wav(base + ".wav", std::ios::binary);
		const uint32_t dataBytes = static_cast<uint32_t>(pcm.size());
		const uint32_t header[] = {0x46464952u, 36 + dataBytes, 0x45564157u, 0x20746d66u, 16, 0x00020001u, RATE, RATE * 4, 0x00100004u, 0x61746164u, dataBytes};
		wav.write(reinterpret_cast<const char*>(header), sizeof(header));
		wav.write(reinterpret_cast<const char*>(pcm.data()), static_cast<std::streamsize>(pcm.size()));
	}
	const std::string command = "lame --quiet -b 128 " + base + ".wav " + base + ".mp3";
	const bool encoded = std::system(command.c_str()) == 0;
	std::ifstream in(base + ".mp3", std::ios::binary);
	std::vector<uint8_t> mp3((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
	std::remove((base + ".wav").c_str());
	std::remove((base + ".mp3").c_str());
	return encoded ? mp3 : std::vector<uint8_t>();
}

// Ten seconds of a stereo tone encoded at 128 kbit/s, decoded whole.
void BM_DecodeMp3(benchmark::State& state)
{
	constexpr int SECONDS = 10;
	const std::vector<uint8_t> mp3 = mp3Tone(SECONDS);
	if (mp3.empty())
	{
		state.SkipWithError("lame is not installed");
		return;
	}
	std::vector<uint8_t> out(8192);
	const auto start = std::chrono::steady_clock::now();
	for (auto _ : state)
	{
		io::ByteArrayInputStream stream(mp3.data(), static_cast<int>(mp3.size()));
		audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
		int offset = 0;
		while (int n = reader.readData(out.data(), offset, static_cast<int>(out.size())))
			offset += n;
		benchmark::DoNotOptimize(offset);
	}
	state.counters["ms_per_second_of_sound"] = 1000.0 * secondsPerIteration(start, state) / SECONDS;
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

// Two instances of one MP3 clip, one output block apart, playing one second from the given
// second of the sound: every read of the later one jumps back and decodes from the start.
void BM_Mp3TwoInstancesOneSecond(benchmark::State& state)
{
	constexpr int SECONDS = 30;
	const std::vector<uint8_t> mp3 = mp3Tone(SECONDS);
	if (mp3.empty())
	{
		state.SkipWithError("lame is not installed");
		return;
	}
	const audio::AudioConfiguration config{2, 16, RATE};
	const int blockBytes = audio::AudioOutputImpl::bufferBytesFor(config);
	const int bytesPerSecond = RATE * 4;
	std::vector<uint8_t> block(static_cast<size_t>(blockBytes));
	io::ByteArrayInputStream stream(mp3.data(), static_cast<int>(mp3.size()));
	audio::AudioReader reader(&stream, io::FILEFORMAT_MP3);
	const int from = static_cast<int>(state.range(0)) * bytesPerSecond;
	const auto start = std::chrono::steady_clock::now();
	for (auto _ : state)
	{
		for (int played = 0; played < bytesPerSecond; played += blockBytes)
		{
			benchmark::DoNotOptimize(reader.readData(block.data(), from + played + blockBytes, blockBytes));
			benchmark::DoNotOptimize(reader.readData(block.data(), from + played, blockBytes));
		}
	}
	state.counters["percent_of_realtime"] = 100.0 * secondsPerIteration(start, state);
}
BENCHMARK(BM_Mp3TwoInstancesOneSecond)->Arg(1)->Arg(10)->Arg(25)->Unit(benchmark::kMillisecond);

} // namespace
