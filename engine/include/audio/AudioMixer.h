#ifndef AUDIO_AUDIOMIXER_H
#define AUDIO_AUDIOMIXER_H

#include <audio/AudioClipInstance.h>
#include <audio/AudioConfiguration.h>
#include <lang/Array.h>
#include <lang/Mutex.h>
#include <lang/Object.h>

#include <atomic>
#include <cstdint>

namespace audio {

class AudioBufferPump;
class AudioClip;

// Software mixer of an audio output: 8 tracks with a volume and a limit on playing clips each.
// Plays, stops and settings come from the application thread; the mix calls come from the
// output's refill thread. The lock guards the instance lists; the mixing thread alone changes
// the playing list's length, so it fetches and decodes outside the lock. Embedded in its output.
class AudioMixer : public lang::Object
{
public:
	static constexpr int TRACK_COUNT = 8;

	AudioMixer();
	~AudioMixer() override;

	void start();
	void stop();

	// Queues a new instance; returns its id, or -1 when not running or the track is at its limit.
	int playClip(AudioClip* clip, float volume, bool loop, int track);
	// Instances of the track that are not ended, paused ones included.
	int getPlayingClipCount(int track);
	void stopClip(AudioClip* clip);
	void stopClips();
	bool isClipPlaying(int id);
	bool isClipPlaying(AudioClip* clip);
	void setClipVolume(int id, float volume);

	float getTrackVolume(int track) const;
	// Stores volume limited to 0..1; NaN stores 1.
	void setTrackVolume(float volume, int track);
	// Most instances the track may hold; negative means no limit.
	void setClipCountLimit(int track, int limit);

	// Starts and stops with the mixer when set; not owned.
	void setBufferPump(AudioBufferPump* pump);

	// Moves queued instances to the playing list and drops ended ones; run at each mix.
	void flushQueueAndRemoveEndedClips();
	// Mix one block of bytes of unsigned 8-bit or signed 16-bit PCM into out.
	void mixUnlimited8(const AudioConfiguration& config, void* out, int bytes);
	void mixUnlimited16(const AudioConfiguration& config, void* out, int bytes);

private:
	AudioBufferPump* m_bufferPump;
	mutable lang::Mutex m_lock;
	std::atomic<float> m_trackVolumes[TRACK_COUNT];
	std::atomic<int> m_clipCountLimits[TRACK_COUNT];
	lang::Array<uint8_t> m_fetchBuffer;
	lang::Array<int32_t> m_accumulator;
	lang::Array<AudioClipInstance> m_playing;
	lang::Array<AudioClipInstance> m_queued;
	std::atomic<int> m_nextId;
	std::atomic<bool> m_running;

	void checkTrack(int track) const;
	// Sizes the scratch arrays for one block of bytes with samples accumulator entries cleared.
	void prepareBlock(int bytes, int samples);
	// Fetches the instance's next bytes into the fetch buffer; a read error ends the instance.
	int fetch(AudioClipInstance& instance, int bytes);

	AudioMixer(const AudioMixer&) = delete;
	AudioMixer& operator=(const AudioMixer&) = delete;
};

} // audio

#endif
