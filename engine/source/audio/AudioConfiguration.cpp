#include <audio/AudioConfiguration.h>

#include <lang/Exception.h>

#include <algorithm>
#include <iterator>

namespace audio {

namespace {

constexpr int SAMPLE_RATES[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000, 88200, 96000};

[[noreturn]] void refuse(const char* what, const char* creator)
{
	lang::throwError(lang::Exception(lang::Format("{0} while creating {1}", what, creator)));
}

} // namespace

void checkConfiguration(const AudioConfiguration& config, const char* creator)
{
	if (config.channels != 1 && config.channels != 2)
		refuse("Unsupported count of channels", creator);
	if (config.bitsPerSample != 8 && config.bitsPerSample != 16)
		refuse("Unsupported bits per sample", creator);
	if (std::find(std::begin(SAMPLE_RATES), std::end(SAMPLE_RATES), config.samplesPerSecond) == std::end(SAMPLE_RATES))
		refuse("Unsupported samples per second", creator);
}

} // audio
