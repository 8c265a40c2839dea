#include <audio/AudioOutput.h>

#include <audio/openal/AudioOutputImpl.h>
#include <audio/openal/OpenALDeviceFactory.h>

namespace audio {

AudioOutput::AudioOutput(const AudioConfiguration& config) : AudioOutput(config, OpenALDeviceFactory::systemDefault())
{
}

AudioOutput::AudioOutput(const AudioConfiguration& config, OpenALDeviceFactory& devices)
	: m_impl(new AudioOutputImpl(config, devices))
{
}

AudioOutput::~AudioOutput() = default;

bool AudioOutput::startOutput() { return m_impl->startOutput(); }
void AudioOutput::stopOutput() { m_impl->stopOutput(); }
bool AudioOutput::isRunning() const { return m_impl->isRunning(); }

int AudioOutput::playClip(AudioClip* clip, float volume, bool loop, int track) { return m_impl->mixer().playClip(clip, volume, loop, track); }
void AudioOutput::stopClip(AudioClip* clip) { m_impl->mixer().stopClip(clip); }
void AudioOutput::stopClips() { m_impl->mixer().stopClips(); }
bool AudioOutput::isClipPlaying(int id) { return m_impl->mixer().isClipPlaying(id); }
bool AudioOutput::isClipPlaying(AudioClip* clip) { return m_impl->mixer().isClipPlaying(clip); }
void AudioOutput::setClipVolume(int id, float volume) { m_impl->mixer().setClipVolume(id, volume); }
float AudioOutput::getTrackVolume(int track) const { return m_impl->mixer().getTrackVolume(track); }
void AudioOutput::setTrackVolume(float volume, int track) { m_impl->mixer().setTrackVolume(volume, track); }
void AudioOutput::setClipCountLimit(int track, int limit) { m_impl->mixer().setClipCountLimit(track, limit); }

float AudioOutput::getMasterVolume() const { return m_impl->getMasterVolume(); }
void AudioOutput::setMasterVolume(float volume) { m_impl->setMasterVolume(volume); }

} // audio
