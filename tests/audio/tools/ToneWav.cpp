// Writes a WAV file of a 16-bit tone for the build to encode into MP3 test files:
// ToneWav <file> <samples per second> <channels> <frames>

#include "../AudioTestData.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char** argv)
{
	if (argc != 5)
	{
		std::fprintf(stderr, "usage: %s <file> <rate> <channels> <frames>\n", argv[0]);
		return 2;
	}
	const int rate = std::atoi(argv[2]);
	const int channels = std::atoi(argv[3]);
	const int frames = std::atoi(argv[4]);
	// A pitch whose period is no whole number of samples at any rate, so a decoder that lands a
	// few samples off a requested position cannot produce the same bytes by chance.
	const double frequencyHz = 523.25;
	const double peak = 8000.0;
	using namespace audiotest;
	const Bytes wav = wavFile({{"fmt ", fmtBody(1, static_cast<unsigned int>(channels), static_cast<unsigned int>(rate), 16)},
		{"data", sine16(frames, channels, rate, frequencyHz, peak)}});
	std::ofstream out(argv[1], std::ios::binary);
	out.write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
	return out ? 0 : 1;
}
