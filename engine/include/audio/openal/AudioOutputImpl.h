#ifndef AUDIO_AUDIOOUTPUTIMPL_H
#define AUDIO_AUDIOOUTPUTIMPL_H

#include <audio/AudioConfiguration.h>
#include <audio/AudioMixer.h>
#include <lang/Array.h>
#include <lang/Mutex.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>
#include <chrono>
#include <cstdint>

namespace lang {
class Thread;
}

namespace audio {

class OpenALDeviceFactory;

// OpenAL side of an AudioOutput: one source fed from a ring of 6 buffers that the embedded mixer
// fills, topped up by a refill thread every 10 ms. Owns the device and context it was given.
// Without a device it runs silent: the refill thread mixes at the pace of real time and drops
// the blocks, so clips still advance and end. Owned by its AudioOutput handle.
class AudioOutputImpl : public lang::Object
{
public:
	// OpenAL buffers queued on the source.
	static constexpr int BUFFER_COUNT = 6;

	AudioOutputImpl(const AudioConfiguration& config, OpenALDeviceFactory& devices);
	~AudioOutputImpl() override;

	bool startOutput();
	void stopOutput();
	bool isRunning() const { return m_running; }

	float getMasterVolume() const { return m_masterVolume; }
	void setMasterVolume(float volume);

	AudioMixer& mixer() { return m_mixer; }
	const AudioMixer& mixer() const { return m_mixer; }

	// Bytes of one block: 25 ms of sound rounded up to whole frames, then to a power of two.
	static int bufferBytesFor(const AudioConfiguration& config);
	// The OpenAL buffer format of config.
	static ALenum alFormatFor(const AudioConfiguration& config);
	// Outputs started and not yet stopped, in the whole process.
	static int startedCount() { return s_outputStartedCount; }

private:
	// Pause of the refill thread between passes, in milliseconds.
	static constexpr unsigned int REFILL_INTERVAL_MS = 10;
	// Scheduling priority of the refill thread above its default.
	static constexpr int REFILL_PRIORITY_BOOST = 5;

	AudioConfiguration m_config;
	AudioMixer m_mixer;
	lang::Ptr<lang::Thread> m_thread;
	lang::Mutex m_outputLock;
	ALCdevice* m_device;
	ALCcontext* m_context;
	ALuint m_buffers[BUFFER_COUNT];
	ALuint m_source;
	// True while a source plays; false when running silent.
	bool m_sourceOpen;
	ALenum m_alFormat;
	float m_masterVolume;
	float m_maxGain;
	int m_bufferBytes;
	lang::Array<uint8_t> m_mixBuffer;
	std::atomic<bool> m_running;
	// Silent running: when it began and how many blocks were mixed since.
	std::chrono::steady_clock::time_point m_silentStart;
	int64_t m_silentBlocks;

	static std::atomic<int> s_outputStartedCount;

	void threadFunc();
	// Mixes the next block into the mix buffer.
	void mixBlock();
	// Creates, primes and plays the source; false (logged once) when there is no device.
	bool openSource();
	void closeSource();
	void refillSource();
	void startSilent();
	void refillSilent();
	void releaseStart();

	AudioOutputImpl(const AudioOutputImpl&) = delete;
	AudioOutputImpl& operator=(const AudioOutputImpl&) = delete;
};

} // audio

#endif
