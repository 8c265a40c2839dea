#ifndef AUDIO_AUDIOOUTPUT_H
#define AUDIO_AUDIOOUTPUT_H

#include <audio/AudioConfiguration.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

namespace audio {

class AudioClip;
class AudioOutputImpl;
class OpenALDeviceFactory;

// The application's sound output: a software mixer of 8 tracks played through the platform's
// device by a refill thread. A handle owning its implementation; held by lang::Ptr. All calls
// come from the application thread.
class AudioOutput : public lang::Object
{
public:
	// Throws lang::Exception for a configuration outside 1-2 channels, 8 or 16 bits and the
	// usual sample rates. Plays on the system's default device.
	explicit AudioOutput(const AudioConfiguration& config);
	AudioOutput(const AudioConfiguration& config, OpenALDeviceFactory& devices);
	~AudioOutput() override;

	// Starts playing; true when sound reaches a device, false when the output runs silent
	// (no device), mixing in real time all the same.
	bool startOutput();
	// Stops playing; the clips keep their places and resume at the next start.
	void stopOutput();
	bool isRunning() const;

	// Returns the id of the new instance, or -1 when stopped or the track is at its limit.
	int playClip(AudioClip* clip, float volume, bool loop, int track);
	void stopClip(AudioClip* clip);
	void stopClips();
	bool isClipPlaying(int id);
	bool isClipPlaying(AudioClip* clip);
	void setClipVolume(int id, float volume);
	float getTrackVolume(int track) const;
	void setTrackVolume(float volume, int track);
	void setClipCountLimit(int track, int limit);

	// -1 until the first start, then the device's maximum gain unless set.
	float getMasterVolume() const;
	void setMasterVolume(float volume);

private:
	lang::Ptr<AudioOutputImpl> m_impl;
};

} // audio

#endif
