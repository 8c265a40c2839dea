// The game's whole frame, as the game program runs it headless: the shell's frame, the game
// world's update (physics steps, bookkeeping, script callbacks), the script's draw through the 2D
// batcher, and the present. The scene: a pyramid of 20 rows (210 boxes) or 40 rows (820 boxes) of
// 1 x 1 m drawn as 20 x 20 pixel sprites on the 1024 x 768 screen (the top of the larger one lies
// above it), a floor and two walls, and a ball launched at physics step 30, run for 600 physics
// steps at the shell's 60 frames a second, from a data folder with scripts enciphered under the
// data key as the data tool does. Frame by frame, interleaved, a bare reference does the same work
// on a thread and GL context of its own: the same bodies stepped with bare physics steps of the
// library as it ships (no scratch memory kept between steps) and the same quads drawn with raw
// GL ES, cleared and presented (flushed) as the headless view does.
// Nothing waits for the driver: what a frame leaves queued is paid where the driver executes it.
// The counters, per frame: milliseconds of each ("game_ms", "bare_ms") and their "ratio"; the
// game's physics steps, publishing of poses, drawing and present ("step_ms", "publish_ms",
// "draw_ms", "present_ms"); a game frame without a physics step ("nostep_ms"); and the minor page
// faults of the game's thread and of the reference's after the first second ("faults",
// "bare_faults").
#include "PyramidScene.h"
#include "TemporaryDocuments.h"
#include <framework/App.h>
#include <framework/AppController.h>
#include <game/GameTestFiles.h>
#include <gr/ogles/GLFunctions.h>
#include <platform/Application.h>
#include <platform/DisplayLink.h>
#include <platform/HeadlessGLContext.h>
#include <support/PngEncoder.h>
#include <world/FileKeys.h>
#include <world/GameApp.h>
#include <world/GameLua.h>
#include <world/encrypt.h>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <sys/resource.h>
#include <string>
#include <thread>
#include <vector>

namespace
{

// The screen as shown (landscape) and the drawable, portrait as the tablet's screen, in pixels.
const int SCREEN_WIDTH = 1024;
const int SCREEN_HEIGHT = 768;
const int DRAWABLE_WIDTH = platform::Application::SCREEN_WIDTH;
const int DRAWABLE_HEIGHT = platform::Application::SCREEN_HEIGHT;
// The view's colour format, which the reference draws into too: the game keeps the
// configuration's default colour bits, and only 32 of them select 8-bit RGBA over RGB565.
const bool VIEW_RGBA8 = framework::App::Configuration().bits == 32;

// The game world's fixed physics step (s) and its solver iterations.
const float STEP = 1.0f / 30.0f;
const int VELOCITY_ITERATIONS = 10;
const int POSITION_ITERATIONS = 10;
const int PHYSICS_STEPS = 600;
// A bound on the run, in frames: 600 steps take about 1200.
const int FRAME_LIMIT = 1500;

// Boxes standing on the floor's top, the line y = 0 (y grows downward), each resting on the row
// below, since the physics keeps bodies apart by their 10 cm skins: 20 rows (210 boxes) 5 cm
// apart, or 40 rows (820 boxes) 2 cm apart, the widest that stands clear of the walls.
const PyramidScene SMALL_PYRAMID{20, 1, -0.7f, 1.2f, 1.25f};
const PyramidScene LARGE_PYRAMID{40, 1, -0.7f, 1.2f, 1.22f};
// Frames of the first second, whose page faults are not counted.
const int FIRST_SECOND_FRAMES = 60;
const float PIXELS_PER_METRE = 20.0f;
// Camera: world pixels at the screen's top-left corner, so that the floor's top lies 40 pixels
// above the bottom and the pyramid stands in the middle.
const float CAMERA_X = -512.0f;
const float CAMERA_Y = -728.0f;
// A static box of the scene: its object name, centre and size (m).
struct StaticBox
{
	const char* name;
	float x, y, width, height;
};
// The floor, and the two walls just inside the screen's edges.
const StaticBox STATIC_BOXES[] = {{"ground", 0.0f, 1.0f, 60.0f, 2.0f}, {"leftWall", -25.0f, -20.0f, 1.0f, 40.0f},
	{"rightWall", 25.0f, -20.0f, 1.0f, 40.0f}};
// The ball: launched after this physics step from the left, towards the pyramid's lower half.
const int LAUNCH_STEP = 30;
const float BALL_X = -20.0f;
const float BALL_Y = -5.0f;
const float BALL_RADIUS = 0.5f;
const float BALL_DENSITY = 10.0f;
const float BALL_VX = 40.0f;
const float BALL_VY = -2.0f;
// Background colour, 0xRRGGBB.
const unsigned BACKGROUND = 0x5A8CC8u;

// The sprite atlas: a box at (0, 0) and a ball at (32, 0), each 20 x 20 pixels with its pivot at
// the centre, in a 64 x 32 RGBA image with premultiplied alpha.
const int ATLAS_WIDTH = 64;
const int ATLAS_HEIGHT = 32;
const int SPRITE = 20;
const int BALL_ATLAS_X = 32;

std::vector<uint8_t> atlasPixels()
{
	std::vector<uint8_t> rgba(ATLAS_WIDTH * ATLAS_HEIGHT * 4, 0);
	for (int y = 0; y < SPRITE; ++y)
		for (int x = 0; x < SPRITE; ++x)
		{
			const bool edge = x < 2 || y < 2 || x >= SPRITE - 2 || y >= SPRITE - 2;
			uint8_t* box = &rgba[(y * ATLAS_WIDTH + x) * 4];
			box[0] = edge ? 90 : 190;
			box[1] = edge ? 50 : 130;
			box[2] = edge ? 20 : 60;
			box[3] = 255;
			const float dx = static_cast<float>(x) + 0.5f - SPRITE / 2.0f;
			const float dy = static_cast<float>(y) + 0.5f - SPRITE / 2.0f;
			if (dx * dx + dy * dy > SPRITE * SPRITE / 4.0f)
				continue;
			uint8_t* ball = &rgba[(y * ATLAS_WIDTH + BALL_ATLAS_X + x) * 4];
			ball[0] = 70;
			ball[1] = 70;
			ball[2] = 80;
			ball[3] = 255;
		}
	return rgba;
}

// The game's scripts: the scene is built at start-up, a counter of physics steps launches the ball
// and tells the benchmark how far the run is, and the frame draws the world's objects alone.
std::string gameLogic(const PyramidScene& pyramid)
{
	std::string script = PyramidScene::BUILD_PYRAMID;
	script +=
		"physicsSteps = 0\n"
		"scoreTable = {blocks = {score = 0}}\n"
		"function updateValues() end\n"
		"function update(dt) end\n"
		"function draw() drawGameNative() end\n"
		"function blockCollision() end\n"
		"function projectileCollision() end\n"
		"function gamePaused() end\n"
		"function gameResumed() end\n"
		"function enableGameCenter() end\n"
		"function disableGameCenter() end\n"
		"function hideLoadingInitGameCenter() end\n";
	char line[256];
	// The level's limits at the walls, as a level sets them: objects inside are not frozen.
	std::snprintf(line, sizeof(line), "function createStartUpAssets()\n"
		"  res.createSpriteSheet(imagePath .. '/scene.dat')\n"
		"  setBGColor(%u, %u, %u)\n"
		"  setTopLeft(%g, %g)\n"
		"  setLevelLimits(%g, 0, %g, 0)\n", BACKGROUND >> 16, (BACKGROUND >> 8) & 0xFF, BACKGROUND & 0xFF, CAMERA_X, CAMERA_Y,
		STATIC_BOXES[1].x, STATIC_BOXES[2].x);
	script += line;
	for (const StaticBox& box : STATIC_BOXES)
	{
		std::snprintf(line, sizeof(line), "  createBox('%s', '', %g, %g, %g, %g, 0, 0.5, 0, true, false, 0)\n"
			"  objects.world.%s.material = 'rock'\n", box.name, box.x, box.y, box.width, box.height, box.name);
		script += line;
	}
	script += "  " + pyramid.scriptCall("_G.getfenv(1)", "box") + "\n  setPhysicsEnabled(true)\nend\n";
	std::snprintf(line, sizeof(line), "function removeBlocks()\n"
		"  physicsSteps = physicsSteps + 1\n"
		"  if physicsSteps == %d then\n"
		"    createCircle('ball', 'ball', %g, %g, %g, %g, 0.5, 0, true, false, 1)\n"
		"    objects.world.ball.material = 'rock'\n"
		"    setVelocity('ball', %g, %g)\n"
		"  end\n"
		"end\n", LAUNCH_STEP, BALL_X, BALL_Y, BALL_RADIUS, BALL_DENSITY, BALL_VX, BALL_VY);
	return script + line;
}

/** The game's data folder, documents and the other user folders, in a temporary directory that goes with it. */
class GameFolders
{
public:
	explicit GameFolders(const PyramidScene& pyramid)
	{
		for (const char* folder : {"data/data_ipad/scripts/gamecenter/ipad", "data/data_ipad/images", "library", "caches"})
			std::filesystem::create_directories(m_dir.file(folder));
		ship("starLimits.lua", "");
		ship("gamecenter/ipad/leaderboards.lua", "");
		ship("gamecenter/ipad/achievements.lua", "");
		ship("loadlist.lua", "levelList = {}");
		ship("gamelogic.lua", gameLogic(pyramid));
		testsupport::PngImage png;
		png.width = ATLAS_WIDTH;
		png.height = ATLAS_HEIGHT;
		png.pixels = atlasPixels();
		const std::vector<uint8_t> bytes = testsupport::encodePng(png);
		ChunkWriter image;
		m_dir.write("data/data_ipad/images/scene.png", image.raw(std::string(bytes.begin(), bytes.end())));
		m_dir.write("data/data_ipad/images/scene.dat", singleChunkFile("SPRT", sheetBody("scene.png",
			{{"box", 0, 0, SPRITE, SPRITE, SPRITE / 2, SPRITE / 2}, {"ball", BALL_ATLAS_X, 0, SPRITE, SPRITE, SPRITE / 2, SPRITE / 2}})));
	}

	std::string path(const char* folder) const			{ return m_dir.file(folder); }

private:
	/** A script enciphered under the data key, as the game's data is built. */
	void ship(const std::string& name, const std::string& text) const
	{
		lang::Array<unsigned char> plain;
		plain.resize(static_cast<int>(text.size()));
		std::copy(text.begin(), text.end(), plain.begin());
		lang::Array<unsigned char> enciphered;
		encrypt(FileKeys::dataKey(), plain, enciphered);
		ChunkWriter file;
		m_dir.write("data/data_ipad/scripts/" + name, file.raw(std::string(enciphered.begin(), enciphered.end())));
	}

	TempDir m_dir;
};

/**
 * The reference frame: the scene's bodies in a bare physics world and their quads drawn with raw
 * GL ES on its own headless context, into a colour texture of the drawable's size and format as
 * the view makes one. Owns its context, current on the thread that makes it, which alone may use it.
 */
class BareFrame
{
public:
	explicit BareFrame(const PyramidScene& pyramid) :
		m_world(PyramidScene::bareWorld())
	{
		m_world->SetStackGrowth(false);
		// The table's entry points dispatch to the calling thread's context, so the shell, which
		// finds the table installed, calls through the same one.
		gr::GLFunctions::install(gr::GLFunctions::system(&platform::HeadlessGLContext::getProcAddress));
		for (const StaticBox& box : STATIC_BOXES)
			PyramidScene::addBox(*m_world, box.x, box.y, box.width, box.height, 0.0f);
		pyramid.addBoxes(*m_world, [this](b2Body* body) { m_boxes.push_back(body); });

		const gr::GLFunctions& gl = gr::gl();
		gl.glGenFramebuffersOES(1, &m_framebuffer);
		gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, m_framebuffer);
		gl.glGenTextures(1, &m_colour);
		gl.glBindTexture(GL_TEXTURE_2D, m_colour);
		if (VIEW_RGBA8)
			gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, DRAWABLE_WIDTH, DRAWABLE_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
		else
			gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, DRAWABLE_WIDTH, DRAWABLE_HEIGHT, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, nullptr);
		gl.glFramebufferTexture2DOES(GL_FRAMEBUFFER_OES, GL_COLOR_ATTACHMENT0_OES, GL_TEXTURE_2D, m_colour, 0);
		gl.glViewport(0, 0, DRAWABLE_WIDTH, DRAWABLE_HEIGHT);

		const std::vector<uint8_t> atlas = atlasPixels();
		gl.glGenTextures(1, &m_atlas);
		gl.glBindTexture(GL_TEXTURE_2D, m_atlas);
		gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
		gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
		gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
		gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
		gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, ATLAS_WIDTH, ATLAS_HEIGHT, 0, GL_RGBA, GL_UNSIGNED_BYTE, atlas.data());
		gl.glEnable(GL_TEXTURE_2D);
		gl.glEnable(GL_BLEND);
		gl.glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
		gl.glDisable(GL_DITHER);
		gl.glClearColor(static_cast<float>(BACKGROUND >> 16) / 255.0f, static_cast<float>((BACKGROUND >> 8) & 0xFF) / 255.0f,
			static_cast<float>(BACKGROUND & 0xFF) / 255.0f, 1.0f);

		// Quads as two triangles over four corners, the index list fixed for the run.
		std::vector<GLushort> indices;
		for (int quad = 0; quad < pyramid.boxes() + 1; ++quad)
			for (int corner : {0, 1, 2, 2, 1, 3})
				indices.push_back(static_cast<GLushort>(quad * 4 + corner));
		gl.glGenBuffers(1, &m_indices);
		gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indices);
		gl.glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLushort)), indices.data(), GL_STATIC_DRAW);
		gl.glGenBuffers(1, &m_vertexBuffer);
		gl.glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
		gl.glEnableClientState(GL_VERTEX_ARRAY);
		gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
		gl.glVertexPointer(2, GL_FLOAT, sizeof(Vertex), nullptr);
		gl.glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), reinterpret_cast<const void*>(2 * sizeof(float)));
	}

	~BareFrame()
	{
		const gr::GLFunctions& gl = gr::gl();
		gl.glBindFramebufferOES(GL_FRAMEBUFFER_OES, 0);
		gl.glDeleteFramebuffersOES(1, &m_framebuffer);
		const GLuint textures[] = {m_colour, m_atlas};
		gl.glDeleteTextures(2, textures);
		const GLuint buffers[] = {m_indices, m_vertexBuffer};
		gl.glDeleteBuffers(2, buffers);
	}

	/** Physics steps up to the count given, launching the ball as the game's script does. */
	void stepTo(int steps)
	{
		for (; m_steps < steps; ++m_steps)
		{
			m_world->Step(STEP, VELOCITY_ITERATIONS, POSITION_ITERATIONS);
			if (m_steps + 1 == LAUNCH_STEP)
				launch();
		}
		m_world->ClearForces();
	}

	/** Clears, draws a quad per box and for the ball, and presents as the headless view does. */
	void draw()
	{
		m_vertices.clear();
		for (b2Body* body : m_boxes)
			addQuad(*body, 0.0f);
		if (m_ball)
			addQuad(*m_ball, static_cast<float>(BALL_ATLAS_X));
		const gr::GLFunctions& gl = gr::gl();
		gl.glClear(GL_COLOR_BUFFER_BIT);
		// Streamed through one buffer object whose store each frame replaces: on Mesa a little
		// faster than client arrays, with or without indices, which cost the same.
		gl.glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_vertices.size() * sizeof(Vertex)), m_vertices.data(), GL_DYNAMIC_DRAW);
		gl.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_vertices.size() / 4 * 6), GL_UNSIGNED_SHORT, nullptr);
		glFlush();
	}

private:
	struct Vertex
	{
		float x, y, u, v;
	};

	void launch()
	{
		b2BodyDef def;
		def.type = b2_dynamicBody;
		def.position.Set(BALL_X, BALL_Y);
		def.angularDamping = PyramidScene::ANGULAR_DAMPING;
		b2CircleShape shape;
		shape.m_radius = BALL_RADIUS;
		b2FixtureDef fixture;
		fixture.shape = &shape;
		fixture.density = BALL_DENSITY;
		fixture.friction = PyramidScene::FRICTION;
		m_ball = m_world->CreateBody(&def);
		m_ball->CreateFixture(&fixture);
		m_ball->SetLinearVelocity(b2Vec2(BALL_VX, BALL_VY));
	}

	/** The body's sprite quad, corners in the batcher's order, straight into the drawable's clip space. */
	void addQuad(const b2Body& body, float atlasX)
	{
		const b2Vec2 p = body.GetPosition();
		const float c = std::cos(body.GetAngle());
		const float s = std::sin(body.GetAngle());
		const float x = p.x * PIXELS_PER_METRE - CAMERA_X;
		const float y = p.y * PIXELS_PER_METRE - CAMERA_Y;
		const float half = SPRITE / 2.0f;
		for (int corner = 0; corner < 4; ++corner)
		{
			const float dx = corner & 1 ? half : -half;
			const float dy = corner & 2 ? half : -half;
			const float sx = x + c * dx - s * dy;
			const float sy = y + s * dx + c * dy;
			// The landscape screen turned onto the portrait drawable.
			m_vertices.push_back(Vertex{1.0f - sy * (2.0f / SCREEN_HEIGHT), 1.0f - sx * (2.0f / SCREEN_WIDTH),
				(atlasX + (corner & 1 ? SPRITE : 0)) / ATLAS_WIDTH, static_cast<float>(corner & 2 ? SPRITE : 0) / ATLAS_HEIGHT});
		}
	}

	platform::HeadlessGLContext m_context;
	std::unique_ptr<b2World> m_world;
	std::vector<b2Body*> m_boxes;
	b2Body* m_ball = nullptr;
	int m_steps = 0;
	std::vector<Vertex> m_vertices;
	GLuint m_framebuffer = 0;
	GLuint m_colour = 0;
	GLuint m_atlas = 0;
	GLuint m_indices = 0;
	GLuint m_vertexBuffer = 0;
};

using Clock = std::chrono::steady_clock;

/** Minor page faults of the calling thread so far. */
long threadMinorFaults()
{
	rusage usage{};
	getrusage(RUSAGE_THREAD, &usage);
	return usage.ru_minflt;
}

/**
 * The reference frame on a thread of its own, so that neither GL context is ever switched (a
 * switch would flush the other's queued work outside its frame): frame() runs one frame there
 * and returns its seconds. Owns the thread and the reference, which live as long as it.
 */
class ReferenceThread
{
public:
	explicit ReferenceThread(const PyramidScene& pyramid) :
		m_pyramid(pyramid),
		m_thread([this] { run(); })
	{
		std::unique_lock<std::mutex> lock(m_mutex);
		m_changed.wait(lock, [this] { return m_state != STARTING; });
	}

	~ReferenceThread()
	{
		{
			std::lock_guard<std::mutex> lock(m_mutex);
			m_state = STOPPING;
		}
		m_changed.notify_all();
		m_thread.join();
	}

	bool failed() const									{ return m_state == FAILED; }

	/**
	 * Steps the reference to the physics step count given and draws it; the frame's seconds.
	 * countFaults: the frame's minor page faults are added to faults().
	 */
	double frame(int steps, bool countFaults)
	{
		std::unique_lock<std::mutex> lock(m_mutex);
		m_steps = steps;
		m_countFaults = countFaults;
		m_state = FRAME;
		m_changed.notify_all();
		m_changed.wait(lock, [this] { return m_state != FRAME; });
		return m_seconds;
	}

	long faults() const									{ return m_faults; }

private:
	enum State
	{
		STARTING,
		IDLE,
		FRAME,
		STOPPING,
		FAILED
	};

	void run()
	{
		std::unique_ptr<BareFrame> bare;
		try
		{
			bare = std::make_unique<BareFrame>(m_pyramid);
		}
		catch (...)
		{
		}
		std::unique_lock<std::mutex> lock(m_mutex);
		m_state = bare ? IDLE : FAILED;
		m_changed.notify_all();
		while (bare)
		{
			m_changed.wait(lock, [this] { return m_state == FRAME || m_state == STOPPING; });
			if (m_state == STOPPING)
				break;
			const long faults = threadMinorFaults();
			const Clock::time_point start = Clock::now();
			bare->stepTo(m_steps);
			bare->draw();
			m_seconds = std::chrono::duration<double>(Clock::now() - start).count();
			if (m_countFaults)
				m_faults += threadMinorFaults() - faults;
			m_state = IDLE;
			m_changed.notify_all();
		}
	}

	std::mutex m_mutex;
	std::condition_variable m_changed;
	State m_state = STARTING;
	const PyramidScene& m_pyramid;
	int m_steps = 0;
	bool m_countFaults = false;
	double m_seconds = 0.0;
	long m_faults = 0;
	// Last: it starts once everything above exists.
	std::thread m_thread;
};

/**
 * The shell's delegate with a display link of its own after the shell's: at every refresh, once
 * the game's frame is done, it times the frame, has the reference run its frame for the same
 * physics steps, and ends the run after the last step. Borrows the shell, the application and the
 * reference.
 */
class FrameTimer : public platform::ApplicationDelegate
{
public:
	FrameTimer(platform::Application& application, AppController& shell, ReferenceThread& reference) :
		m_application(application),
		m_shell(shell),
		m_reference(reference)
	{
	}

	void didFinishLaunching() override					{ m_shell.didFinishLaunching(); }
	void willResignActive() override					{ m_shell.willResignActive(); }
	void didReceiveLocalNotification(const platform::LocalNotification& n) override	{ m_shell.didReceiveLocalNotification(n); }

	void didBecomeActive() override
	{
		m_shell.didBecomeActive();
		if (!m_link)
			m_link = m_application.createDisplayLink([this] { refreshed(); });
	}

	void willTerminate() override
	{
		m_link.reset();
		m_shell.willTerminate();
	}

	int frames = 0;
	int steps = 0;
	double gameSeconds = 0.0;
	double bareSeconds = 0.0;
	// Of the timed frames: the game's phases, and the frames without a physics step.
	FrameCosts costs;
	int framesWithoutStep = 0;
	double secondsWithoutStep = 0.0;
	// Of the frames after the first second, on the game's thread.
	long faults = 0;

private:
	void refreshed()
	{
		const Clock::time_point gameEnd = Clock::now();
		const long faultsAtEnd = threadMinorFaults();
		GameApp* game = dynamic_cast<GameApp*>(m_shell.app());
		if (!game)
			return;
		const int previousSteps = steps;
		steps = static_cast<int>(game->gameLua()->getNumber("physicsSteps"));
		FrameCosts& gameCosts = game->gameLua()->frameCosts();
		gameCosts.measuring = true;
		const bool afterFirstSecond = frames >= FIRST_SECOND_FRAMES;
		const double bare = m_reference.frame(steps, afterFirstSecond);
		// The first frame, with no time passed, sets up what later frames reuse: it is not timed.
		if (m_timing)
		{
			++frames;
			const double seconds = std::chrono::duration<double>(gameEnd - m_frameStart).count();
			gameSeconds += seconds;
			bareSeconds += bare;
			costs.step += gameCosts.step - m_costsAtStart.step;
			costs.publishing += gameCosts.publishing - m_costsAtStart.publishing;
			costs.drawing += gameCosts.drawing - m_costsAtStart.drawing;
			costs.present += gameCosts.present - m_costsAtStart.present;
			if (steps == previousSteps)
			{
				++framesWithoutStep;
				secondsWithoutStep += seconds;
			}
			if (afterFirstSecond)
				faults += faultsAtEnd - m_faultsAtStart;
		}
		m_timing = true;
		if (steps >= PHYSICS_STEPS)
			m_application.terminate(0);
		m_costsAtStart = gameCosts;
		m_faultsAtStart = threadMinorFaults();
		m_frameStart = Clock::now();
	}

	platform::Application& m_application;
	AppController& m_shell;
	ReferenceThread& m_reference;
	std::unique_ptr<platform::DisplayLink> m_link;
	Clock::time_point m_frameStart;
	FrameCosts m_costsAtStart;
	long m_faultsAtStart = 0;
	bool m_timing = false;
};

void BM_GameFrame(benchmark::State& state)
{
	const PyramidScene& pyramid = state.range(0) == LARGE_PYRAMID.baseRow ? LARGE_PYRAMID : SMALL_PYRAMID;
	for (auto _ : state)
	{
		GameFolders folders(pyramid);
		// The shell points the application-data streams at the documents folder; this puts back
		// what they pointed at before.
		TemporaryDocuments documents;
		platform::LaunchOptions options;
		options.headless = true;
		options.frames = FRAME_LIMIT;
		options.dataDirectory = folders.path("data");
		options.documentsDirectory = documents.path();
		options.libraryDirectory = folders.path("library");
		options.cachesDirectory = folders.path("caches");
		ReferenceThread reference(pyramid);
		if (reference.failed())
		{
			state.SkipWithError("the reference has no GL context");
			return;
		}
		const std::unique_ptr<platform::Application> application = platform::Application::create(options);
		AppController shell(*application);
		FrameTimer timer(*application, shell, reference);
		// As the program's entry does: a game that fails is logged and ended.
		int exitCode;
		try
		{
			exitCode = application->run(timer);
		}
		catch (...)
		{
			exitCode = shell.terminateAfterException();
		}
		if (exitCode != 0 || timer.steps < PHYSICS_STEPS)
		{
			state.SkipWithError("the game did not run its 600 physics steps");
			return;
		}
		state.SetIterationTime(timer.gameSeconds);
		state.counters["frames"] = timer.frames;
		state.counters["game_ms"] = 1e3 * timer.gameSeconds / timer.frames;
		state.counters["bare_ms"] = 1e3 * timer.bareSeconds / timer.frames;
		state.counters["ratio"] = timer.gameSeconds / timer.bareSeconds;
		state.counters["boxes"] = pyramid.boxes();
		const double perFrame = 1e3 / timer.frames;
		state.counters["step_ms"] = perFrame * timer.costs.step;
		state.counters["publish_ms"] = perFrame * timer.costs.publishing;
		state.counters["draw_ms"] = perFrame * timer.costs.drawing;
		state.counters["present_ms"] = perFrame * timer.costs.present;
		state.counters["nostep_ms"] = 1e3 * timer.secondsWithoutStep / std::max(timer.framesWithoutStep, 1);
		const double countedFrames = std::max(timer.frames - FIRST_SECOND_FRAMES, 1);
		state.counters["faults"] = static_cast<double>(timer.faults) / countedFrames;
		state.counters["bare_faults"] = static_cast<double>(reference.faults()) / countedFrames;
	}
}

} // namespace

BENCHMARK(BM_GameFrame)->Arg(SMALL_PYRAMID.baseRow)->Arg(LARGE_PYRAMID.baseRow)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
