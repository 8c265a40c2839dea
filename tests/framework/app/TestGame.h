#ifndef TESTS_FRAMEWORK_TESTGAME_H
#define TESTS_FRAMEWORK_TESTGAME_H

#include <framework/App.h>
#include <string>
#include <vector>

/**
 * A small application for the shell's tests: it logs every call the shell makes, paints the
 * screen its background colour with a white square under the mouse, and acts on keys: ESCAPE
 * quits, T throws from the next update, K throws at once, S stops the frame loop, R re-enters the
 * frame loop's update.
 * Created by framework::init, destroyed by the shell.
 */
class TestGame : public framework::App
{
public:
	/** Colours, A8R8G8B8. */
	static const unsigned BACKGROUND = 0xff204080;
	static const unsigned MARKER = 0xffffffff;
	/** Side of the marker square in pixels. */
	static const int MARKER_SIZE = 40;

	explicit TestGame(framework::OSInterface* os);
	~TestGame();

	void update(float dt, gr::Context* context, int flags) override;
	void keyDown(KeyType key) override;
	void keyUp(KeyType key) override;
	void mouseMove(int x, int y) override;
	void mouseWheel(int delta) override;
	void orientationChanged() override;
	void touchBegan(const framework::TouchEvent& touch) override;
	void touchEnded(const framework::TouchEvent& touch) override;
	void touchCancelled(const framework::TouchEvent& touch) override;
	void activate(bool active) override;
	bool activateAudio(bool active) override;

	/** Everything the shell told any TestGame, one entry per call, with the launch hooks' entries. */
	static std::vector<std::string>& log();
	/** The frame times passed to update, in order. */
	static std::vector<float>& frameTimes();

private:
	static void fail();

	int m_mouseX;
	int m_mouseY;
	bool m_throw;
	bool m_reenter;
	int m_frames;
};

#endif
