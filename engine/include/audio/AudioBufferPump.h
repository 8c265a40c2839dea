#ifndef AUDIO_AUDIOBUFFERPUMP_H
#define AUDIO_AUDIOBUFFERPUMP_H

#include <lang/Mutex.h>
#include <lang/Ptr.h>

#include <vector>

namespace lang {
class Thread;
}

namespace audio {

class AudioBuffer;

// A thread that tops up its registered audio buffers every 10 ms. The pump holds the buffers it
// lists; start and stop must come from one thread, which holds the run lock while the pump runs.
class AudioBufferPump
{
public:
	AudioBufferPump();
	~AudioBufferPump();

	void addBuffer(AudioBuffer* buffer);
	void removeBuffer(AudioBuffer* buffer);

	void start();
	void stop();
	bool isRunning() const { return m_thread != nullptr; }

private:
	// Pause between refills, in milliseconds.
	static constexpr unsigned int REFILL_INTERVAL_MS = 10;

	// Held by the starting thread while the pump runs: the thread ends when it can take it.
	lang::Mutex m_runLock;
	lang::Mutex m_listLock;
	lang::Ptr<lang::Thread> m_thread;
	std::vector<lang::Ptr<AudioBuffer>> m_buffers;

	void pumpThreadFunc();

	AudioBufferPump(const AudioBufferPump&) = delete;
	AudioBufferPump& operator=(const AudioBufferPump&) = delete;
};

} // audio

#endif
