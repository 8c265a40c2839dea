#include <game/Resources.h>
#include <audio/AudioReader.h>
#include <io/FileFormat.h>
#include <io/FileInputStream.h>
#include <lang/Exception.h>
#include <vector>

namespace game
{

audio::AudioOutput* Resources::createAudioOutput(const audio::AudioConfiguration& config)
{
	// Only one device output at a time: the old one closes before the new one opens.
	m_audioOutput = nullptr;
	m_audioOutput = new audio::AudioOutput(config);
	return m_audioOutput;
}

audio::AudioInput* Resources::createAudioInput(const audio::AudioConfiguration& config)
{
	m_audioInput = nullptr;
	m_audioInput = new audio::AudioInput(config);
	return m_audioInput;
}

audio::AudioOutput* Resources::getAudioOutput() const
{
	return m_audioOutput;
}

audio::AudioInput* Resources::getAudioInput() const
{
	return m_audioInput;
}

audio::AudioOutput& Resources::requireOutput(const char* message) const
{
	if (!m_audioOutput)
		lang::throwError(lang::Exception(lang::Format(message)));
	return *m_audioOutput;
}

void Resources::startAudioOutput()
{
	requireOutput("Trying to start audio output but no audio output has been created").startOutput();
}

void Resources::stopAudioOutput()
{
	if (m_audioOutput)
		m_audioOutput->stopOutput();
}

void Resources::startAudioInput()
{
	if (!m_audioInput)
		lang::throwError(lang::Exception(lang::Format("Trying to start audio input but no audio input has been created")));
	m_audioInput->startInput();
}

void Resources::stopAudioInput()
{
	if (m_audioInput)
		m_audioInput->stopInput();
}

void Resources::setMasterVolume(float volume)
{
	if (m_audioOutput)
		m_audioOutput->setMasterVolume(volume);
}

float Resources::getMasterVolume() const
{
	return m_audioOutput ? m_audioOutput->getMasterVolume() : 0.f;
}

audio::AudioClip* Resources::createAudio(const lang::String& file, const lang::String& name, bool streamed)
{
	audio::AudioOutput& output = requireOutput("Trying to create audio but no audio output has been created");
	const lang::String full = fileOf(file);
	const io::FileFormat format = io::guessFileFormat(file);
	lang::Ptr<audio::AudioClip> clip;
	// An MP3's decoded length is unknown until it has played through, so it always streams.
	if (streamed || format == io::FILEFORMAT_MP3)
	{
		clip = new audio::AudioClip(&output, full);
	}
	else
	{
		io::FileInputStream in(full);
		audio::AudioReader reader(&in, format);
		std::vector<char> pcm(static_cast<size_t>(reader.dataSize() > 0 ? reader.dataSize() : 0));
		const int size = static_cast<int>(pcm.size());
		// A file shorter than its header says leaves the rest of the sound silent.
		for (int done = 0; done < size;)
		{
			const int n = reader.readData(pcm.data() + done, done, size - done);
			if (n <= 0)
				break;
			done += n;
		}
		const audio::AudioConfiguration config{reader.channels(), reader.bitsPerSample(), reader.sampleRate()};
		clip = new audio::AudioClip(&output, pcm.data(), size, config);
	}
	lang::Ptr<audio::AudioClip>& slot = m_audioClips[name];
	if (slot)
		output.stopClip(slot);
	slot = clip;
	return clip;
}

audio::AudioClip* Resources::getAudio(const lang::String& name) const
{
	const lang::Ptr<audio::AudioClip>* clip = m_audioClips.find(name);
	return clip ? clip->ptr() : nullptr;
}

int Resources::playAudio(const lang::String& name, float volume, bool loop, int track)
{
	audio::AudioOutput& output = requireOutput("Trying to play audio clip but no audio output has been created");
	audio::AudioClip* clip = getAudio(name);
	return clip ? output.playClip(clip, volume, loop, track) : -1;
}

bool Resources::isAudioPlaying(const lang::String& name) const
{
	audio::AudioClip* clip = getAudio(name);
	return m_audioOutput && clip && m_audioOutput->isClipPlaying(clip);
}

bool Resources::isAudioPlaying(int id) const
{
	return m_audioOutput && m_audioOutput->isClipPlaying(id);
}

void Resources::stopAudio(const lang::String& name)
{
	audio::AudioOutput& output = requireOutput("Trying to stop audio clip but no audio output has been created");
	if (audio::AudioClip* clip = getAudio(name))
		output.stopClip(clip);
}

void Resources::stopAllAudio()
{
	requireOutput("Trying to stop all audio clips but no audio output has been created").stopClips();
}

} // game
