#ifndef LANG_GLOBALS_H
#define LANG_GLOBALS_H

namespace lang {

// The core library's scratch arena, kept in GlobalStorage slot 1: created on first use of a
// ByteTempBuffer and alive until the process ends. Main thread only.
class lang_Globals
{
public:
	// Bytes in the arena.
	static constexpr int ARENA_SIZE = 65536;
	// Buffers that may be taken from the arena at once.
	static constexpr int SLOT_COUNT = 32;
	// Every buffer size is a multiple of this many bytes.
	static constexpr int GRANULE = 16;

	explicit lang_Globals(int size);
	~lang_Globals();
	lang_Globals(const lang_Globals&) = delete;
	lang_Globals& operator=(const lang_Globals&) = delete;

	// (Re)creates the arena in slot 1.
	static void init();
	// The arena in slot 1, created on first use.
	static lang_Globals& get();

	// Takes size bytes (a multiple of GRANULE) from the top of the arena; returns the slot index,
	// or -1 when the slots or the bytes are used up (then nothing is taken).
	int take(int size, char** data);
	// Marks the slot released and pops every released slot from the top.
	void release(int slot);

	int used() const { return m_used; }
	int slotsInUse() const { return m_slotCount; }

private:
	struct Slot
	{
		char* data = nullptr;
		int size = 0;
	};

	char* m_arena;
	int m_used;
	int m_size;
	Slot m_slots[SLOT_COUNT];
	int m_slotCount;
};

} // lang

#endif
