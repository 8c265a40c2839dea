#ifndef TESTS_AUDIO_AUDIOTESTDATA_H
#define TESTS_AUDIO_AUDIOTESTDATA_H

// Sound data built in memory for the audio tests.

#include <audio/AudioClip.h>
#include <lang/Ptr.h>
#include <lang/Throwable.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace audiotest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& out, unsigned int value)
{
	out.push_back(static_cast<uint8_t>(value));
	out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void put32(Bytes& out, unsigned int value)
{
	put16(out, value & 0xffff);
	put16(out, value >> 16);
}

// A RIFF chunk; a body of odd size is followed by a zero pad byte.
inline void putChunk(Bytes& out, const char* id, const Bytes& body)
{
	out.insert(out.end(), id, id + 4);
	put32(out, static_cast<unsigned int>(body.size()));
	out.insert(out.end(), body.begin(), body.end());
	if (body.size() % 2 == 1)
		out.push_back(0);
}

inline Bytes fmtBody(unsigned int tag, unsigned int channels, unsigned int rate, unsigned int bits)
{
	Bytes body;
	put16(body, tag);
	put16(body, channels);
	put32(body, rate);
	put32(body, rate * channels * bits / 8);
	put16(body, channels * bits / 8);
	put16(body, bits);
	return body;
}

// The fmt body of the extensible format: the plain fields with the format tag 0xFFFE, then the
// extension whose sub-format starts with the tag of the actual encoding (1 for integer PCM).
inline Bytes extensibleFmtBody(unsigned int subFormatTag, unsigned int channels, unsigned int rate, unsigned int bits)
{
	Bytes body = fmtBody(0xFFFE, channels, rate, bits);
	put16(body, 22);
	put16(body, bits);
	put32(body, channels == 1 ? 0x4 : 0x3);
	put16(body, subFormatTag);
	const uint8_t guidRest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
	body.insert(body.end(), guidRest, guidRest + sizeof(guidRest));
	return body;
}

// A RIFF/WAVE file of the given chunks (each an id and a body), in order.
inline Bytes wavFile(const std::vector<std::pair<const char*, Bytes>>& chunks)
{
	Bytes body{'W', 'A', 'V', 'E'};
	for (const auto& chunk : chunks)
		putChunk(body, chunk.first, chunk.second);
	Bytes file{'R', 'I', 'F', 'F'};
	put32(file, static_cast<unsigned int>(body.size()));
	file.insert(file.end(), body.begin(), body.end());
	return file;
}

// frames of a sine of the given frequency and peak, as signed 16-bit little-endian PCM with the
// same sample in every channel.
inline Bytes sine16(int frames, int channels, int rate, double frequency, double peak)
{
	Bytes pcm;
	for (int i = 0; i < frames; ++i)
	{
		const int sample = static_cast<int>(std::lround(peak * std::sin(2.0 * M_PI * frequency * i / rate)));
		for (int c = 0; c < channels; ++c)
			put16(pcm, static_cast<unsigned int>(sample) & 0xffff);
	}
	return pcm;
}

// n signed 16-bit samples of one value.
inline Bytes constant16(int n, int16_t value)
{
	Bytes pcm;
	for (int i = 0; i < n; ++i)
		put16(pcm, static_cast<uint16_t>(value));
	return pcm;
}

inline lang::Ptr<audio::AudioClip> memoryClip(const Bytes& pcm, int channels, int bits, int rate = 44100)
{
	return new audio::AudioClip(nullptr, pcm.data(), static_cast<int>(pcm.size()), audio::AudioConfiguration{channels, bits, rate});
}

// The formatted message of a caught exception.
inline std::string messageOf(const lang::Throwable& e)
{
	return e.getMessage().format().c_str();
}

inline int16_t sampleAt(const Bytes& pcm, int index)
{
	int16_t sample;
	std::memcpy(&sample, pcm.data() + 2 * index, sizeof(sample));
	return sample;
}

} // audiotest

#endif
