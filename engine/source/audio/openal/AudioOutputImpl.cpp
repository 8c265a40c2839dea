#include <audio/openal/AudioOutputImpl.h>

#include <audio/AudioSession.h>
#include <audio/openal/OpenALDeviceFactory.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/Thread.h>

#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace audio {

std::atomic<int> AudioOutputImpl::s_outputStartedCount(0);

namespace {

// Bytes of sound per block: the sample rate divided by this, i.e. 25 ms.
constexpr int BLOCKS_PER_SECOND = 40;
// Polls of the source state while it finishes stopping.
constexpr int STOP_POLLS = 100;

std::atomic<bool> s_silenceLogged(false);

// Said once per process, also while the debug log is silent: whoever runs the program learns
// why there is no sound without turning the log on.
void noticeNoDevice()
{
	if (s_silenceLogged.exchange(true))
		return;
	const char* const line = "No sound device: the game runs without sound\n";
	lang::Debug::printf("%s", line);
	if (!lang::Debug::isEnabled())
		std::fputs(line, stderr);
}

// Makes an output's context current on the calling thread only, so outputs on several contexts
// never send calls to each other's; the previous thread context comes back afterwards.
class ThreadContext
{
public:
	explicit ThreadContext(ALCcontext* context) : m_previous(alcGetThreadContext())
	{
		alcSetThreadContext(context);
	}
	~ThreadContext() { alcSetThreadContext(m_previous); }

private:
	ALCcontext* m_previous;

	ThreadContext(const ThreadContext&) = delete;
	ThreadContext& operator=(const ThreadContext&) = delete;
};

} // namespace

AudioOutputImpl::AudioOutputImpl(const AudioConfiguration& config, OpenALDeviceFactory& devices)
	: m_config(config), m_device(nullptr), m_context(nullptr), m_buffers(), m_source(0), m_sourceOpen(false),
	  m_alFormat(0), m_masterVolume(-1.0f), m_maxGain(1.0f), m_bufferBytes(0), m_running(false), m_silentBlocks(0)
{
	checkConfiguration(config, "AudioOutput");
	m_alFormat = alFormatFor(config);
	m_bufferBytes = bufferBytesFor(config);
	m_mixBuffer.resize(m_bufferBytes, 0);
	m_device = devices.openDevice(config);
	if (m_device)
		m_context = devices.createContext(m_device, config);
	if (!m_device || !m_context)
		noticeNoDevice();
}

AudioOutputImpl::~AudioOutputImpl()
{
	stopOutput();
	if (m_context)
		alcDestroyContext(m_context);
	if (m_device)
		alcCloseDevice(m_device);
}

int AudioOutputImpl::bufferBytesFor(const AudioConfiguration& config)
{
	const int frame = config.channels * (config.bitsPerSample / 8);
	int size = config.samplesPerSecond * frame / BLOCKS_PER_SECOND;
	if (size % frame != 0)
		size += frame - size % frame;
	int bytes = 1;
	while (bytes < size)
		bytes <<= 1;
	return bytes;
}

ALenum AudioOutputImpl::alFormatFor(const AudioConfiguration& config)
{
	if (config.channels == 1)
		return config.bitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
	return config.bitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

bool AudioOutputImpl::startOutput()
{
	std::lock_guard<lang::Mutex> guard(m_outputLock);
	if (m_running)
		return m_sourceOpen;
	m_running = true;
	++s_outputStartedCount;
	m_mixer.start();
	AudioSession::initialize(AudioSession::CATEGORY_AMBIENT);
	AudioSession::setActive(true);
	try
	{
		if (!openSource())
			startSilent();
		if (m_masterVolume == -1.0f)
			m_masterVolume = m_maxGain;
		m_thread = new lang::Thread(lang::Functor::bind(this, &AudioOutputImpl::threadFunc), true);
		m_thread->setPriority(m_thread->priority() + REFILL_PRIORITY_BOOST);
	}
	catch (...)
	{
		// Not running without a refill thread (or after a failed first mix): undo the start
		// before passing the failure on.
		m_running = false;
		m_thread = nullptr;
		releaseStart();
		throw;
	}
	return m_sourceOpen;
}

void AudioOutputImpl::stopOutput()
{
	std::lock_guard<lang::Mutex> guard(m_outputLock);
	if (!m_running)
		return;
	m_running = false;
	// Dropping the thread joins it; it sees running cleared after at most one more pass.
	m_thread = nullptr;
	releaseStart();
}

void AudioOutputImpl::releaseStart()
{
	--s_outputStartedCount;
	closeSource();
	m_mixer.stop();
	if (m_context)
		alcSuspendContext(m_context);
	if (s_outputStartedCount == 0)
		AudioSession::setActive(false);
}

void AudioOutputImpl::setMasterVolume(float volume)
{
	m_masterVolume = volume;
	if (m_running && m_sourceOpen)
	{
		ThreadContext current(m_context);
		alSourcef(m_source, AL_GAIN, volume);
	}
}

void AudioOutputImpl::mixBlock()
{
	if (m_config.bitsPerSample == 8)
		m_mixer.mixUnlimited8(m_config, m_mixBuffer.data(), m_bufferBytes);
	else
		m_mixer.mixUnlimited16(m_config, m_mixBuffer.data(), m_bufferBytes);
}

bool AudioOutputImpl::openSource()
{
	if (!m_device || !m_context)
		return false;
	ThreadContext current(m_context);
	alcProcessContext(m_context);
	alGetError();
	alGenBuffers(BUFFER_COUNT, m_buffers);
	if (alGetError() != AL_NO_ERROR)
	{
		lang::Debug::printf("Creating audio buffers failed: sound output runs silent\n");
		return false;
	}
	alGenSources(1, &m_source);
	if (alGetError() != AL_NO_ERROR)
	{
		alDeleteBuffers(BUFFER_COUNT, m_buffers);
		lang::Debug::printf("Creating an audio source failed: sound output runs silent\n");
		return false;
	}
	m_sourceOpen = true;

	ALfloat maxGain = m_maxGain;
	alGetSourcef(m_source, AL_MAX_GAIN, &maxGain);
	m_maxGain = maxGain;
	if (m_masterVolume == -1.0f)
		m_masterVolume = m_maxGain;

	// Unpositioned and unattenuated.
	alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
	alSource3f(m_source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
	alSource3f(m_source, AL_DIRECTION, 0.0f, 0.0f, 0.0f);
	alSourcef(m_source, AL_ROLLOFF_FACTOR, 0.0f);
	alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
	alSourcef(m_source, AL_GAIN, m_masterVolume);

	for (ALuint buffer : m_buffers)
	{
		mixBlock();
		alBufferData(buffer, m_alFormat, m_mixBuffer.data(), m_bufferBytes, m_config.samplesPerSecond);
	}
	alSourceQueueBuffers(m_source, BUFFER_COUNT, m_buffers);
	alSourcePlay(m_source);
	return true;
}

void AudioOutputImpl::closeSource()
{
	if (!m_sourceOpen)
		return;
	ThreadContext current(m_context);
	alSourceStop(m_source);
	ALint state = AL_STOPPED;
	for (int poll = 0; poll < STOP_POLLS; ++poll)
	{
		alGetSourcei(m_source, AL_SOURCE_STATE, &state);
		if (state != AL_PLAYING)
			break;
		lang::Thread::sleep(1);
	}
	alSourcei(m_source, AL_BUFFER, 0);
	alDeleteSources(1, &m_source);
	alDeleteBuffers(BUFFER_COUNT, m_buffers);
	m_sourceOpen = false;
}

void AudioOutputImpl::threadFunc()
{
	ThreadContext current(m_context);
	while (m_running)
	{
		lang::Thread::sleep(REFILL_INTERVAL_MS);
		if (m_sourceOpen)
			refillSource();
		else
			refillSilent();
	}
}

void AudioOutputImpl::refillSource()
{
	ALint processed = 0;
	alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
	processed = std::clamp<ALint>(processed, 0, BUFFER_COUNT);
	// Refilling waits until at least 2 buffers have played.
	if (processed < 2)
		return;
	ALuint names[BUFFER_COUNT] = {};
	alGetError();
	alSourceUnqueueBuffers(m_source, processed, names);
	if (alGetError() != AL_NO_ERROR)
		return;
	for (int i = 0; i < processed; ++i)
	{
		mixBlock();
		alBufferData(names[i], m_alFormat, m_mixBuffer.data(), m_bufferBytes, m_config.samplesPerSecond);
	}
	alSourceQueueBuffers(m_source, processed, names);
	// A source that ran dry while the thread was late stops; start it again.
	ALint state = AL_PLAYING;
	alGetSourcei(m_source, AL_SOURCE_STATE, &state);
	if (state == AL_STOPPED)
		alSourcePlay(m_source);
}

void AudioOutputImpl::startSilent()
{
	m_silentStart = std::chrono::steady_clock::now();
	m_silentBlocks = 0;
	for (int i = 0; i < BUFFER_COUNT; ++i)
		mixBlock();
}

void AudioOutputImpl::refillSilent()
{
	// Keeps BUFFER_COUNT blocks ahead of what a device would have played by now.
	const int64_t elapsedMicros = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_silentStart).count();
	const int64_t bytesPerSecond = static_cast<int64_t>(m_config.samplesPerSecond) * m_config.channels * (m_config.bitsPerSample / 8);
	const int64_t played = elapsedMicros * bytesPerSecond / 1000000 / m_bufferBytes;
	for (int i = 0; i < BUFFER_COUNT && m_silentBlocks < played; ++i)
	{
		mixBlock();
		++m_silentBlocks;
	}
	m_silentBlocks = std::max(m_silentBlocks, played);
}

} // audio
