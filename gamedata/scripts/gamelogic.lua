-- The game: a start menu, a level select, the levels themselves and the level-end screen.
-- In a level the player drags back from the launcher and lets go to fire an orb; a second touch
-- while it flies sets off the orb's special action. Blocks break as they take damage, targets
-- fall, and the level is won once every target is gone.
-- Runs with the game world's table as its environment: the world's methods and values are
-- globals here, and the interpreter's own globals are reached through _G.

local pairs, ipairs, type, tostring, tonumber = _G.pairs, _G.ipairs, _G.type, _G.tostring, _G.tonumber
local pcall = _G.pcall
local math, string, table = _G.math, _G.string, _G.table

-- World pixels per metre, as the world draws its objects.
local PIXELS_PER_METRE = 20
-- Gravity of the physics world, metres per second squared (down is +y).
local GRAVITY = 20
-- The launch point sits this far above the launcher's centre, metres.
local LAUNCH_HEIGHT = 2.2
-- Launch speed in metres per second for each metre of pull, and the longest pull in metres.
local SPEED_PER_METRE = 6.5
local MAX_PULL = 5.0
-- A press this close to the launch point (metres, at scale 1) starts a drag.
local GRAB_RADIUS = 4.0
-- A shot ends once nothing has moved for this long, or after the longest flight (seconds).
local REST_TIME = 0.6
local LONGEST_SHOT = 10.0
-- Seconds a shot goes on after the last target has fallen.
local CLEARED_WAIT = 2.0
-- Points for every shot left when the last target falls.
local SHOT_BONUS = 10000
-- Zoom limits of the level view.
local MIN_SCALE, MAX_SCALE = 0.5, 1.6
-- Seconds between trail points of a flying orb.
local TRAIL_INTERVAL = 0.05
-- Seconds a face keeps its eyes shut when it blinks, and the least and most seconds between blinks.
local BLINK_TIME = 0.15
local BLINK_GAP_MIN, BLINK_GAP_MAX = 2, 5
-- Seconds the achievement banner and a notice stay on the screen.
local ACHIEVEMENT_TIME = 3.0
local NOTICE_TIME = 4.0
-- What a level that names none of its own gets: its orbs, camera and theme.
local DEFAULT_SHOTS = { "orb_boost", "orb_boost", "orb_boost" }
local DEFAULT_CAMERA = { x = -160, y = -660, scale = 1.0 }
local DEFAULT_THEME = "meadow"
local TEXTS = "TEXTS_BASIC"
local HIGHSCORES_FILE = "highscores.lua"
-- The ground: a static slab whose top is the line y = 0, metres.
local GROUND = { x = 40, y = 1, width = 300, height = 2, friction = 0.8, restitution = 0.1 }
local SOUNDS = { "launch", "special", "hit_wood", "hit_stone", "hit_glass", "break_wood", "break_stone",
	"break_glass", "target_pop", "click", "star", "win", "lose", "wood_rolling", "rock_rolling", "light_rolling" }
-- Particle templates by the material of a broken piece.
local BREAK_PARTICLES = { wood = "splinters", stone = "rubble", glass = "shards", target = "sparks", immovable = "rubble" }
-- Interface colours, red, green, blue, alpha from 0 to 1.
local PANEL = { 0.10, 0.12, 0.20, 0.78 }
local PANEL_SOLID = { 0.10, 0.12, 0.20, 0.94 }
local BUTTON = { 0.93, 0.55, 0.16, 1.0 }
local BUTTON_DOWN = { 0.75, 0.38, 0.08, 1.0 }

scoreTable = { blocks = { score = 0 }, targets = { score = 0 } }

game = {
	state = "start",
	level = nil,
	levelName = "",
	levelIndex = 1,
	shots = {},
	shotsLeft = 0,
	shotNumber = 0,
	targetsLeft = 0,
	dragging = false,
	pullX = 0, pullY = 0,
	flightTime = 0,
	restTime = 0,
	trailTime = 0,
	flying = {},
	spent = {},
	specialUsed = false,
	camera = { x = -160, y = -660, scale = 1.0 },
	zoomSeen = 0,
	buttons = {},
	pressed = nil,
	result = nil,
	menuTime = 0,
	settleReported = false,
	levelTime = 0,
	-- A short message over the menus: { key = text key, time = seconds left }.
	notice = nil,
	-- Set while the high scores hold more than their file: every later save point tries again.
	highscoresUnsaved = false,
}

local function totalScore()
	return math.floor(scoreTable.blocks.score + scoreTable.targets.score)
end

local function soundOn()
	return settings.audioEnabled ~= false
end

local function play(name, volume)
	if soundOn() then
		res.playAudio(name, volume or 1.0, false, 1)
	end
end

local function levelShortName(path)
	return string.match(path, "([^/]+)$")
end

-- Screen pixels to world metres under the current camera, and back.
local function toWorld(x, y)
	local c = game.camera
	return (x / c.scale + c.x) / PIXELS_PER_METRE, (y / c.scale + c.y) / PIXELS_PER_METRE
end

local function toScreen(x, y)
	local c = game.camera
	return (x * PIXELS_PER_METRE - c.x) * c.scale, (y * PIXELS_PER_METRE - c.y) * c.scale
end

local function applyCamera()
	setTopLeft(game.camera.x, game.camera.y)
	setWorldScale(game.camera.scale)
end

local function launchPoint()
	local launcher = game.level.world.launcher
	return launcher.x, launcher.y - LAUNCH_HEIGHT
end

----------------------------------------------------------------------------------------------
-- Pieces

-- Makes one object from its definition and gives its script table what contacts read.
local function createPiece(name, definition, x, y)
	local collides = definition.collision ~= false
	local projectile = definition.group == "projectiles"
	if definition.type == "circle" then
		createCircle(name, definition.sprite, x, y, definition.radius, definition.density, definition.friction, definition.restitution, collides, projectile, definition.z or 2)
	else
		createBox(name, definition.sprite, x, y, definition.width, definition.height, definition.density, definition.friction, definition.restitution, collides, false, definition.z or 2)
	end
	local piece = objects.world[name]
	piece.definition = definition.definition
	piece.material = definition.material
	piece.damageFactors = definition.damageFactors
	piece.strength = definition.strength
	piece.defence = definition.defence
	piece.score = definition.score
	piece.isTarget = definition.group == "targets"
	local material = blockTable.materials[definition.material]
	if material and material.rolling then
		setMaterial(name, material.rolling)
	end
	return piece
end

-- A target's face: eyes that follow the flying orb, and a mood for when it comes close.
local function giveFace(name, definition)
	local face = {
		leftEye = { sprite = "eye_white", maxOffsetX = 0, maxOffsetY = 0, blink = "eye_closed" },
		rightEye = { sprite = "eye_white", maxOffsetX = 0, maxOffsetY = 0, blink = "eye_closed" },
		leftPupil = { sprite = "pupil", maxOffsetX = 3, maxOffsetY = 3 },
		rightPupil = { sprite = "pupil", maxOffsetX = 3, maxOffsetY = 3 },
		nose = { sprite = "mouth_smile", maxOffsetX = 0, maxOffsetY = 0 },
	}
	local scared = {
		leftEye = face.leftEye, rightEye = face.rightEye,
		leftPupil = { sprite = "pupil", maxOffsetX = 4, maxOffsetY = 4 },
		rightPupil = { sprite = "pupil", maxOffsetX = 4, maxOffsetY = 4 },
		nose = { sprite = "mouth_o", maxOffsetX = 0, maxOffsetY = 0 },
	}
	setComboSprites({ objName = name, states = { normal = face, scared = scared } })
	objects.world[name].face = { normal = face, scared = scared, size = definition.radius or 1, blinkTime = math.random() * 3 }
end

----------------------------------------------------------------------------------------------
-- Buttons: rectangles in screen pixels that act when a press and its release both fall in them.

local function button(key, x, y, w, h, action)
	game.buttons[#game.buttons + 1] = { key = key, x = x, y = y, w = w, h = h, action = action }
end

local function contains(area, x, y)
	return x >= area.x and x <= area.x + area.w and y >= area.y and y <= area.y + area.h
end

local function buttonAt(x, y)
	for i = #game.buttons, 1, -1 do
		local b = game.buttons[i]
		if contains(b, x, y) then
			return b
		end
	end
	return nil
end

local function inMenus()
	return game.state == "menu" or game.state == "levels" or game.state == "scores"
end

-- Where the menus show the notice, in screen pixels; it stands over the buttons beneath it.
local function noticeArea()
	return { x = screenWidth / 2 - 300, y = screenHeight - 160, w = 600, h = 56 }
end

local function onNotice(x, y)
	return game.notice ~= nil and inMenus() and contains(noticeArea(), x, y)
end

local function releaseButton()
	local pressed = game.pressed
	game.pressed = nil
	-- A touch the system cancelled presses nothing.
	if not cursor.cancelled and buttonAt(cursor.releaseX or -1, cursor.releaseY or -1) == pressed then
		play("click")
		pressed.action()
	end
end

-- Handles presses on the buttons, and on the notice, which a press only takes away; true when the
-- press or release was one of theirs. One frame may bring a press together with a release (a
-- quick click, or a frame slower than the click): a release ends the press of an earlier frame
-- first, and ends the press of this frame too unless the button is still held. The cursor keeps
-- where the last press and the last release happened.
local function handleButtons()
	local handled = game.pressed ~= nil
	if keyReleased.LBUTTON and game.pressed then
		releaseButton()
	end
	if keyPressed.LBUTTON then
		local x, y = cursor.pressX or -1, cursor.pressY or -1
		if onNotice(x, y) then
			game.notice = nil
			return true
		end
		game.pressed = buttonAt(x, y)
		if game.pressed and keyReleased.LBUTTON and not keyHold.LBUTTON then
			handled = true
			releaseButton()
		end
	end
	return handled or game.pressed ~= nil
end

local function drawText(key, x, y, vertical, horizontal)
	res.drawString(TEXTS, key, x, y, vertical or "VCENTER", horizontal or "LEFT")
end

local function drawPanel(x, y, w, h, colour)
	colour = colour or PANEL
	drawRect(colour[1], colour[2], colour[3], colour[4], x, y, x + w, y + h, false)
end

local function drawButtons()
	for _, b in ipairs(game.buttons) do
		local colour = (game.pressed == b) and BUTTON_DOWN or BUTTON
		drawPanel(b.x + 4, b.y + 5, b.w, b.h, { 0, 0, 0, 0.35 })
		drawPanel(b.x, b.y, b.w, b.h, colour)
		drawPanel(b.x, b.y, b.w, 6, { 1, 1, 1, 0.25 })
		if b.draw then
			b.draw(b)
		else
			drawText(b.key, b.x + b.w / 2, b.y + b.h / 2, "VCENTER", "HCENTER")
		end
	end
end

-- Three stars centred on x, y: as many filled as earned.
local function drawStars(count, x, y, spacing)
	setRenderState(0, 0, 1, 1, 0, 0, 0)
	for i = 1, 3 do
		res.drawSprite(i <= count and "star_full" or "star_empty", x + (i - 2) * spacing, y)
	end
end

----------------------------------------------------------------------------------------------
-- High scores and results

local function starsFor(name, score)
	local limits = starTable[name]
	local stars = 0
	if type(limits) == "table" then
		for i = 1, 3 do
			if type(limits[i]) == "number" and score >= limits[i] then
				stars = i
			end
		end
	end
	return stars
end

local function bestOf(name)
	local entry = highscores[name]
	if type(entry) == "table" then
		return entry.score or 0, entry.stars or 0
	end
	return 0, 0
end

-- A save that fails leaves the old file whole and the scores in play; the next save point tries
-- again. True when the file holds the scores.
local function saveHighscores()
	local saved, failure = pcall(saveLuaFile, HIGHSCORES_FILE, "highscores", true)
	game.highscoresUnsaved = not saved
	if not saved then
		print(string.format("Unable to save %s: %s\n", HIGHSCORES_FILE, tostring(failure)))
	end
	return saved
end

local function retryHighscores()
	if game.highscoresUnsaved then
		saveHighscores()
	end
end

local function reportHighscores()
	for _, path in ipairs(levelList) do
		local name = levelShortName(path)
		local score, stars = bestOf(name)
		if score > 0 then
			print(string.format("High score %s: %d, %d stars\n", name, score, stars))
		end
	end
end

local function unlock(id)
	unlockAchievement(id, "")
end

local function allLevelsCleared()
	for _, path in ipairs(levelList) do
		if bestOf(levelShortName(path)) == 0 then
			return false
		end
	end
	return true
end

----------------------------------------------------------------------------------------------
-- Screens

local showMenu, showLevels, showScores, startLevel

local function clearScreen()
	game.buttons = {}
	game.levelButtons = nil
	game.pressed = nil
end

local function quitGame()
	saveHighscores()
	logAnalyticsEvent("game_quit")
	requestExit()
end

local function leaveLevel()
	setPhysicsEnabled(false)
	clearParticlesNative()
	res.stopAllAudio()
end

showMenu = function()
	leaveLevel()
	clearScreen()
	game.state = "menu"
	local w, h = 320, 64
	local x = (screenWidth - w) / 2
	local y = screenHeight * 0.42
	button("PLAY", x, y, w, h, function()
		logAnalyticsEvent("menu_play")
		showLevels()
	end)
	button(soundOn() and "SOUND_ON" or "SOUND_OFF", x, y + 84, w, h, function()
		settings.audioEnabled = not soundOn()
		if soundOn() then
			res.startAudioOutput()
		else
			res.stopAllAudio()
			res.stopAudioOutput()
		end
		logAnalyticsEventWithParam("sound", "on", tostring(soundOn()))
		showMenu()
	end)
	button("HIGH_SCORES", x, y + 168, w, h, function()
		showScores()
	end)
	button("QUIT", x, y + 252, w, h, quitGame)
	button("LEADERBOARDS", screenWidth - 250, screenHeight - 74, 230, 54, function()
		showLeaderboards()
	end)
	button("ACHIEVEMENTS", 20, screenHeight - 74, 230, 54, function()
		showAchievements()
	end)
end

showLevels = function()
	leaveLevel()
	clearScreen()
	game.state = "levels"
	local columns = 3
	local size, gap = 170, 40
	local left = (screenWidth - columns * size - (columns - 1) * gap) / 2
	for i, path in ipairs(levelList) do
		local column, row = (i - 1) % columns, math.floor((i - 1) / columns)
		local name = levelShortName(path)
		local b = {
			key = tostring(i),
			x = left + column * (size + gap), y = 190 + row * (size + gap), w = size, h = size - 30,
			action = function() startLevel(i) end,
		}
		b.draw = function(self)
			res.useFont("font_big")
			drawText(tostring(i), self.x + self.w / 2, self.y + 36, "VCENTER", "HCENTER")
			res.useFont("font_basic")
			local score, stars = bestOf(name)
			-- Stars 44 pixels wide, side by side with a gap, above the score.
			drawStars(stars, self.x + self.w / 2, self.y + 80, 48)
			if score > 0 then
				drawText(tostring(score), self.x + self.w / 2, self.y + self.h - 18, "VCENTER", "HCENTER")
			end
		end
		game.buttons[#game.buttons + 1] = b
	end
	button("BACK", 20, screenHeight - 74, 200, 54, showMenu)
end

showScores = function()
	clearScreen()
	game.state = "scores"
	button("BACK", 20, screenHeight - 74, 200, 54, showMenu)
end

----------------------------------------------------------------------------------------------
-- A level

local function themeScenery(theme)
	-- Clouds drift on the far layer; the sun turns slowly on it.
	createThemeSprite("sun", "sun", 820, -560, 1, 1, 0, 0, 0.2, false)
	local clouds = theme.clouds or 3
	for i = 1, clouds do
		createThemeSprite("cloud_" .. i, "cloud", 150 + i * 370, -480 + (i % 2) * 70, 0.8 + 0.2 * (i % 3), 0.8 + 0.2 * (i % 3), 0, 0, 0, i % 2 == 0)
	end
end

local function playing()
	return game.state == "aiming" or game.state == "flying"
end

-- The pause screen stands over a level in play with its own buttons; every way in (the pause
-- button, the Menu and Back keys, losing the focus) and every way back (Resume, the Menu and
-- Back keys) goes through these two, so the level's buttons always come back with the level.
local resumeLevel

local function pauseLevel()
	if not playing() then
		return
	end
	game.resumeState = game.state
	game.state = "paused"
	game.dragging = false
	setPhysicsEnabled(false)
	local levelButtons = game.buttons
	clearScreen()
	game.levelButtons = levelButtons
	local w, h = 300, 60
	local x = (screenWidth - w) / 2
	local y = screenHeight * 0.36
	button("RESUME", x, y, w, h, resumeLevel)
	button("RETRY", x, y + 80, w, h, function() startLevel(game.levelIndex) end)
	button("LEVELS", x, y + 160, w, h, showLevels)
	button("QUIT", x, y + 240, w, h, quitGame)
	print("Level paused\n")
end

resumeLevel = function()
	if game.state ~= "paused" then
		return
	end
	local levelButtons = game.levelButtons
	clearScreen()
	game.buttons = levelButtons
	game.state = game.resumeState
	setPhysicsEnabled(true)
	print("Level resumed\n")
end

local function pauseButton()
	button("PAUSE", screenWidth - 84, 16, 68, 56, pauseLevel)
end

-- The orbs a level fires: its own "shots", else the list that a level saved from the game keeps
-- in "counts"; names of no orb are left out, and a level left without any gets the default orbs.
local function levelShots(level)
	local list = level.shots
	if type(list) ~= "table" and type(level.counts) == "table" then
		list = level.counts.shots
	end
	local shots = {}
	for _, name in ipairs(type(list) == "table" and list or {}) do
		local definition = blockTable.blocks[name]
		if type(definition) == "table" and definition.group == "projectiles" then
			shots[#shots + 1] = name
		end
	end
	if #shots == 0 then
		for i, name in ipairs(DEFAULT_SHOTS) do
			shots[i] = name
		end
	end
	return shots
end

-- Why the loaded level cannot be played, or nil when it can.
local function levelProblem(level)
	if type(level) ~= "table" or level.filename ~= game.levelName .. ".lua" then
		return "the level file is missing or damaged"
	end
	if type(level.world) ~= "table" or type(level.world.launcher) ~= "table" then
		return "the level has no launcher"
	end
	for name, entry in pairs(level.world) do
		if type(entry) ~= "table" or type(blockTable.blocks[entry.definition]) ~= "table" then
			return string.format("the piece %s has no definition", tostring(name))
		end
	end
	return nil
end

-- Builds a level that levelProblem passed in the world. What saving a level writes is kept in
-- "objects", so a level saved from a game in play plays again.
local function buildLevel(level)
	local theme = blockTable.themes[level.theme] and level.theme or DEFAULT_THEME
	local camera = type(level.castleCameraData) == "table" and level.castleCameraData or DEFAULT_CAMERA
	game.level = level
	setTheme(theme)
	themeScenery(blockTable.themes[theme])
	createBox("ground", "", GROUND.x, GROUND.y, GROUND.width, GROUND.height, 0, GROUND.friction, GROUND.restitution, true, false, 0)
	objects.world.ground.material = blockTable.blocks.Ground.material
	objects.world.ground.definition = "Ground"
	game.targetsLeft = 0
	for name, entry in pairs(level.world) do
		local definition = blockTable.blocks[entry.definition]
		-- The ground and the orbs are the game's own, also where a saved level holds them.
		if entry.definition ~= "Ground" and definition.group ~= "projectiles" then
			local piece = createPiece(name, definition, entry.x, entry.y)
			piece.startNumber = entry.startNumber
			if (entry.angle or 0) ~= 0 then
				setRotation(name, entry.angle)
			end
			if definition.group == "targets" then
				game.targetsLeft = game.targetsLeft + 1
				giveFace(name, definition)
			end
		end
	end
	game.camera = { x = camera.x, y = camera.y, scale = camera.scale }
	game.shots = levelShots(level)
	objects.theme = theme
	objects.castleCameraData = { x = camera.x, y = camera.y, scale = camera.scale }
	objects.projectileCameraData = type(level.projectileCameraData) == "table" and level.projectileCameraData or objects.castleCameraData
	objects.physicsToWorld = PIXELS_PER_METRE
	objects.counts = { projectiles = #game.shots, shots = game.shots }
end

startLevel = function(index)
	leaveLevel()
	clearScreen()
	local path = levelList[index]
	game.levelIndex = index
	game.levelName = levelShortName(path)
	objects.world = {}
	objects.joints = {}
	-- A load that fails keeps the table of the level before.
	loadedObjects = nil
	loadLevel(path)
	local problem = levelProblem(loadedObjects)
	if not problem then
		local built, failure = pcall(buildLevel, loadedObjects)
		problem = not built and tostring(failure)
	end
	if problem then
		print(string.format("Level %s did not load: %s\n", game.levelName, problem))
		showLevels()
		game.notice = { key = "LEVEL_NOT_LOADED", time = NOTICE_TIME }
		return
	end
	game.zoomSeen = zoomLevel or 0
	applyCamera()
	setMaxWorldScale(MAX_SCALE)
	setLevelLimits(-20, 0, 120, 0)
	game.shotsLeft = #game.shots
	game.shotNumber = 0
	game.flying = {}
	game.spent = {}
	game.result = nil
	game.settleReported = false
	game.levelTime = 0
	scoreTable.blocks.score = 0
	scoreTable.targets.score = 0
	startNewTrajectory()
	startNewTrajectory()
	setPhysicsEnabled(true)
	setGameOn(true)
	pauseButton()
	game.state = "aiming"
	print(string.format("Level %s loaded: %d targets, %d shots\n", game.levelName, game.targetsLeft, game.shotsLeft))
	logAnalyticsEventWithParam("level_start", "level", game.levelName)
end

local function finishLevel()
	local won = game.targetsLeft == 0
	local bonus = won and game.shotsLeft * SHOT_BONUS or 0
	scoreTable.targets.score = scoreTable.targets.score + bonus
	local score = totalScore()
	-- A won level earns at least one star.
	local stars = won and math.max(1, starsFor(game.levelName, score)) or 0
	local best = bestOf(game.levelName)
	local record = won and score > best
	if record then
		highscores[game.levelName] = { score = score, stars = stars }
	end
	local saved = true
	if record or game.highscoresUnsaved then
		saved = saveHighscores()
	end
	game.result = { won = won, score = score, stars = stars, record = record, saved = saved, bonus = bonus, shown = 0 }
	game.state = "levelEnd"
	setGameOn(false)
	analyticsParams = { level = game.levelName, score = tostring(score), stars = tostring(stars), won = tostring(won) }
	logAnalyticsEventWithParams("level_end", "analyticsParams")
	if won then
		print(string.format("Level complete: %s score %d, %d stars\n", game.levelName, score, stars))
		play("win")
		if leaderboards[game.levelName] then
			postHighscore(leaderboards[game.levelName], score)
		end
		unlock("game2d.first_clear")
		if stars == 3 then
			unlock("game2d.three_stars")
		end
		if game.shotNumber == 1 then
			unlock("game2d.one_shot")
		end
		if allLevelsCleared() then
			unlock("game2d.all_levels")
		end
	else
		print(string.format("Level failed: %s score %d\n", game.levelName, score))
		play("lose")
	end
	clearScreen()
	-- Two or three buttons side by side, centred inside the end panel, which is 600 pixels wide.
	local next = won and game.levelIndex < #levelList
	local count = next and 3 or 2
	local w, h, gap = 176, 60, 20
	local x = (screenWidth - count * w - (count - 1) * gap) / 2
	local y = screenHeight * 0.64
	button("LEVELS", x, y, w, h, showLevels)
	button("RETRY", x + w + gap, y, w, h, function() startLevel(game.levelIndex) end)
	if next then
		button("NEXT", x + 2 * (w + gap), y, w, h, function() startLevel(game.levelIndex + 1) end)
	end
end

-- The orbs of the last shot stay where they came to rest, and with them its trail, until the
-- next launch clears them away.
local function clearSpentOrbs()
	for _, name in ipairs(game.spent) do
		if objects.world[name] then
			removeObject(name)
			objects.world[name] = nil
		end
	end
	game.spent = {}
end

local function launch(pullX, pullY)
	local length = math.sqrt(pullX * pullX + pullY * pullY)
	if length < 0.3 then
		return
	end
	clearSpentOrbs()
	game.shotNumber = game.shotNumber + 1
	game.shotsLeft = game.shotsLeft - 1
	local name = "orb_" .. game.shotNumber
	local definition = blockTable.blocks[game.shots[game.shotNumber]]
	local x, y = launchPoint()
	createPiece(name, definition, x, y)
	objects.world[name].special = definition.special
	setVelocity(name, pullX * SPEED_PER_METRE, pullY * SPEED_PER_METRE)
	play("launch")
	startNewTrajectory()
	game.flying = { name }
	game.specialUsed = false
	game.flightTime = 0
	game.restTime = 0
	game.trailTime = 0
	game.state = "flying"
	logAnalyticsEventWithParam("shot", "orb", definition.definition)
end

-- The orb's action on a second touch: boost, split into three or drop like a stone.
local function special()
	local name = game.flying[1]
	local orb = objects.world[name]
	if game.specialUsed or not orb then
		return
	end
	game.specialUsed = true
	local vx, vy = orb.xVel or 0, orb.yVel or 0
	addPuffToTrajectory(1, orb.x * PIXELS_PER_METRE, orb.y * PIXELS_PER_METRE)
	_G.particles.addParticles("puff", 8, orb.x * PIXELS_PER_METRE, orb.y * PIXELS_PER_METRE, 20, 20, 0)
	play("special")
	if orb.special == "boost" then
		setVelocity(name, vx * 1.8, vy * 1.8)
	elseif orb.special == "split" then
		local definition = blockTable.blocks[orb.definition]
		local speed = math.sqrt(vx * vx + vy * vy)
		local angle = math.atan2(vy, vx)
		for i, turn in ipairs({ -0.25, 0.25 }) do
			local part = name .. "_" .. i
			createPiece(part, definition, orb.x, orb.y + turn * 2)
			objects.world[part].special = "none"
			setVelocity(part, speed * math.cos(angle + turn), speed * math.sin(angle + turn))
			game.flying[#game.flying + 1] = part
		end
	elseif orb.special == "heavy" then
		setVelocity(name, vx * 0.2, math.max(vy, 0) + 30)
	end
end

local function endShot()
	game.spent = game.flying
	game.flying = {}
	print(string.format("Shot %d over: score %d, targets left %d\n", game.shotNumber, totalScore(), game.targetsLeft))
	if game.targetsLeft == 0 or game.shotsLeft <= 0 then
		finishLevel()
	else
		game.state = "aiming"
	end
end

local function pull()
	local x, y = toWorld(cursor.x or 0, cursor.y or 0)
	local lx, ly = launchPoint()
	local dx, dy = lx - x, ly - y
	local length = math.sqrt(dx * dx + dy * dy)
	if length > MAX_PULL then
		dx, dy = dx * MAX_PULL / length, dy * MAX_PULL / length
	end
	return dx, dy
end

local function aim()
	if (touchcount or 0) >= 2 then
		game.dragging = false
		return
	end
	if keyPressed.LBUTTON then
		local x, y = toWorld(cursor.x or 0, cursor.y or 0)
		local lx, ly = launchPoint()
		local dx, dy = x - lx, y - ly
		local radius = GRAB_RADIUS / math.min(game.camera.scale, 1)
		game.dragging = dx * dx + dy * dy <= radius * radius
	end
	if game.dragging then
		game.pullX, game.pullY = pull()
		if keyReleased.LBUTTON then
			game.dragging = false
			-- A touch the system cancelled cancels the aim.
			if not cursor.cancelled then
				launch(game.pullX, game.pullY)
			end
		end
	end
end

local function follow(dt)
	if keyPressed.LBUTTON then
		special()
	end
	game.flightTime = game.flightTime + dt
	game.trailTime = game.trailTime + dt
	if game.trailTime >= TRAIL_INTERVAL then
		game.trailTime = 0
		for i, name in ipairs(game.flying) do
			local orb = objects.world[name]
			if orb and orb.x and not orb.landed then
				addToTrajectory(i, orb.x * PIXELS_PER_METRE, orb.y * PIXELS_PER_METRE)
			end
		end
	end
	if hasMovingObjects then
		game.restTime = 0
	else
		game.restTime = game.restTime + dt
	end
	-- With the last target gone nothing that still rolls can change the result.
	local cleared = game.targetsLeft == 0 and game.flightTime > CLEARED_WAIT
	if (game.flightTime > 1.0 and game.restTime >= REST_TIME) or cleared or game.flightTime > LONGEST_SHOT then
		endShot()
	end
end

-- Wheel and pinch zoom reach the scripts as a running "zoomLevel"; its change since the last
-- frame scales the view about the bottom middle of the screen, so the ground stays in place.
local function zoom()
	local level = zoomLevel or 0
	local change = level - game.zoomSeen
	if change == 0 then
		return
	end
	game.zoomSeen = level
	local c = game.camera
	local scale = math.max(MIN_SCALE, math.min(MAX_SCALE, c.scale + change))
	local fx, fy = screenWidth / 2, screenHeight * 0.86
	local wx, wy = fx / c.scale + c.x, fy / c.scale + c.y
	c.scale = scale
	c.x, c.y = wx - fx / scale, wy - fy / scale
	applyCamera()
end

----------------------------------------------------------------------------------------------
-- Callbacks of the game world

-- Called once the scripts have run, and again whenever the values they derive from change.
function updateValues()
	game.levelCount = #levelList
	-- The game world lists the saves it could not read (and set aside beside them) in unreadSaves.
	if unreadSaves then
		game.notice = { key = "SAVES_UNREAD", time = NOTICE_TIME }
	end
end

function createStartUpAssets()
	res.createSpriteSheet(imagePath .. "/game.dat")
	res.createSpriteSheet(imagePath .. "/scenery.dat")
	res.createBitmapFont(fontPath .. "/font_big.dat")
	res.createBitmapFont(fontPath .. "/font_basic.dat")
	res.useFont("font_basic")
	res.createTextGroupSet(localizationPath .. "/TEXTS_BASIC.dat")
	res.createAudioOutput(2, 16, 22050)
	for _, name in ipairs(SOUNDS) do
		res.createAudio(audioPath .. "/" .. name .. ".wav", name, false)
	end
end

-- Hazards that something burns on give off embers.
local function spawnEmbers()
	for name, piece in pairs(objects.world) do
		if piece.spawnEmberParticles and math.random() < 0.3 then
			_G.particles.addParticles("embers", 1, piece.x * PIXELS_PER_METRE, piece.y * PIXELS_PER_METRE, 40, 10, 0)
		end
	end
end

local function spawnMenuParticles(dt)
	game.menuTime = game.menuTime + dt
	if game.menuTime > 0.4 then
		game.menuTime = 0
		_G.particles.addParticles("bubbles", 1, math.random() * screenWidth, screenHeight + 10, 0, 0, 0)
	end
	updateMenuParticlesNative(dt)
end

-- The messages that show for a while and then go, and the pieces there are before a level loads.
local TIMED_MESSAGES = { "achievement", "notice" }
local NO_PIECES = {}

-- Blinks, the achievement banner and the notice run on the frame time, whatever the display rate.
local function advanceTimers(dt)
	for _, piece in pairs(objects.world or NO_PIECES) do
		local face = piece.face
		if face then
			face.blinkTime = face.blinkTime - dt
			if face.blinkTime < -BLINK_TIME then
				face.blinkTime = BLINK_GAP_MIN + math.random() * (BLINK_GAP_MAX - BLINK_GAP_MIN)
			end
		end
	end
	for _, key in ipairs(TIMED_MESSAGES) do
		local shown = game[key]
		if shown then
			shown.time = shown.time - dt
			if shown.time <= 0 then
				game[key] = nil
			end
		end
	end
end

function update(dt)
	advanceTimers(dt)
	if game.state == "start" then
		reportHighscores()
		showMenu()
		return
	end
	if keyPressed.KEY_BACK or keyPressed.KEY_MENU then
		if playing() then
			pauseLevel()
			return
		elseif game.state == "paused" then
			resumeLevel()
			return
		end
	end
	-- In the menus the Back key goes one screen back, as their Back and Levels buttons do.
	if keyPressed.KEY_BACK then
		if game.state == "levels" or game.state == "scores" then
			showMenu()
			return
		elseif game.state == "levelEnd" then
			showLevels()
			return
		end
	end
	if inMenus() then
		spawnMenuParticles(dt)
		handleButtons()
		return
	end
	if game.state == "paused" then
		handleButtons()
		return
	end
	if game.state == "levelEnd" then
		game.result.shown = game.result.shown + dt
		handleButtons()
		return
	end
	game.levelTime = game.levelTime + dt
	rotateThemeSprites(dt)
	zoom()
	if handleButtons() then
		return
	end
	if game.state == "aiming" then
		aim()
		if not game.settleReported and game.levelTime > 1.0 and not hasMovingObjects then
			game.settleReported = true
			print(string.format("Level %s settled: %d targets\n", game.levelName, game.targetsLeft))
		end
	elseif game.state == "flying" then
		follow(dt)
	end
	spawnEmbers()
end

-- After every physics step: broken pieces leave the world and score.
function removeBlocks()
	local broken = {}
	for name, piece in pairs(objects.world) do
		if type(piece.strength) == "number" and piece.strength < 0 then
			broken[#broken + 1] = name
		elseif piece.frozen and piece.isTarget then
			piece.strength = -1
			broken[#broken + 1] = name
		end
	end
	for _, name in ipairs(broken) do
		local piece = objects.world[name]
		local x, y = (piece.x or 0) * PIXELS_PER_METRE, (piece.y or 0) * PIXELS_PER_METRE
		local definition = blockTable.blocks[piece.definition] or {}
		local size = (definition.width or (definition.radius or 1) * 2) * PIXELS_PER_METRE
		local height = (definition.height or (definition.radius or 1) * 2) * PIXELS_PER_METRE
		_G.particles.addParticles(BREAK_PARTICLES[piece.material] or "rubble", 10, x, y, size, height, getAngle(name))
		-- Once the level has ended its score is the one shown and saved: what falls later scores nothing.
		local points = game.result and 0 or (piece.score or 0)
		if piece.isTarget then
			game.targetsLeft = game.targetsLeft - 1
			scoreTable.targets.score = scoreTable.targets.score + points
			play("target_pop")
		else
			scoreTable.blocks.score = scoreTable.blocks.score + points
			local material = blockTable.materials[piece.material]
			play(material and material.breakSound or "break_wood", 0.8)
		end
		removeObject(name)
		objects.world[name] = nil
	end
end

function projectileCollision(projectile, other, impact, damage)
	local orb = objects.world[projectile]
	if orb then
		orb.landed = true
	end
	local piece = objects.world[other]
	local material = piece and blockTable.materials[piece.material]
	if material and impact > 1 then
		play(material.hitSound, math.min(1, impact / 30))
	end
end

function blockCollision(nameA, nameB, impact, hit, overTime)
	if overTime or impact < 8 then
		return
	end
	local piece = objects.world[nameA]
	local material = piece and blockTable.materials[piece.material]
	if material then
		play(material.hitSound, math.min(0.6, impact / 60))
	end
end

function setAnimationByName(name, animation)
end

function selectObjectAnimation(name, speed, direction, dt)
end

-- The game service's callbacks.
function enableGameCenter()
	game.gameCenter = true
end

function disableGameCenter()
	game.gameCenter = false
end

function hideLoadingInitGameCenter() end
function hideLoadingLeaderboards() end
function hideLoadingAchievements() end
function setIndicatorPositions() end

function showAchievementPopUp(id)
	game.achievement = { id = id, time = ACHIEVEMENT_TIME }
	play("star")
end

function gamePaused()
	game.dragging = false
	game.pressed = nil
	pauseLevel()
	retryHighscores()
	print("Game paused\n")
end

function gameResumed()
	-- The pause screen stays up until the player chooses to go on.
	print("Game resumed\n")
end

----------------------------------------------------------------------------------------------
-- Drawing

local function screenState()
	setRenderState(0, 0, 1, 1, 0, 0, 0)
end

local function drawMenuBackground()
	drawRect(0.42, 0.70, 0.93, 1.0, 0, 0, screenWidth, screenHeight, false)
	drawRect(0.55, 0.80, 0.97, 1.0, 0, screenHeight * 0.45, screenWidth, screenHeight, false)
	screenState()
	for i = 0, math.ceil(screenWidth / 512) do
		res.drawSprite("mountains", i * 512 - 90, screenHeight * 0.80, "BOTTOM", "LEFT")
	end
	for i = 0, math.ceil(screenWidth / 512) do
		res.drawSprite("hills", i * 512 - 40, screenHeight * 0.86, "BOTTOM", "LEFT")
	end
	drawRect(0.33, 0.58, 0.24, 1.0, 0, screenHeight * 0.86, screenWidth, screenHeight, false)
	screenState()
	drawMenuParticlesNative()
	screenState()
	res.drawSprite("launcher", 150, screenHeight * 0.86, "BOTTOM", "HCENTER")
	res.drawSprite("orb_boost", 150, screenHeight * 0.86 - 110, "VCENTER", "HCENTER")
	res.drawSprite("target_big", screenWidth - 160, screenHeight * 0.86, "BOTTOM", "HCENTER")
end

local function drawTitle()
	res.useFont("font_big")
	drawText("TITLE", screenWidth / 2, 120, "VCENTER", "HCENTER")
	res.useFont("font_basic")
end

local function drawScores()
	drawPanel(screenWidth / 2 - 330, 180, 660, 90 + 52 * #levelList)
	res.useFont("font_big")
	drawText("HIGH_SCORES", screenWidth / 2, 225, "VCENTER", "HCENTER")
	res.useFont("font_basic")
	for i, path in ipairs(levelList) do
		local name = levelShortName(path)
		local score, stars = bestOf(name)
		local y = 300 + (i - 1) * 52
		drawText("LEVEL", screenWidth / 2 - 290, y)
		drawText(tostring(i), screenWidth / 2 - 190, y)
		drawText(score > 0 and tostring(score) or "-", screenWidth / 2 + 40, y, "VCENTER", "RIGHT")
		-- Stars 44 pixels wide, side by side with a gap, as on the level select.
		drawStars(stars, screenWidth / 2 + 200, y, 48)
	end
end

-- The orbs waiting beside the launcher, the next one on it.
local function drawLauncherLoad()
	local lx, ly = launchPoint()
	local scale = game.camera.scale
	setRenderState(0, 0, scale, scale, 0, 0, 0)
	local nextShot = game.shots[game.shotNumber + 1]
	if game.state == "aiming" and nextShot then
		local definition = blockTable.blocks[nextShot]
		local x, y = lx, ly
		if game.dragging then
			x, y = lx - game.pullX, ly - game.pullY
		end
		local sx, sy = toScreen(x, y)
		local ax, ay = toScreen(lx, ly)
		if game.dragging then
			screenState()
			drawLine2D(ax, ay, sx, sy, 4 * scale, 60, 40, 30, 255)
			setRenderState(0, 0, scale, scale, 0, 0, 0)
		end
		res.drawSprite(definition.sprite, sx / scale, sy / scale)
	end
	for i = game.shotNumber + 2, #game.shots do
		local definition = blockTable.blocks[game.shots[i]]
		local sx, sy = toScreen(lx - 1.6 - (i - game.shotNumber - 2) * 1.4, -0.6)
		res.drawSprite(definition.sprite, sx / scale, sy / scale)
	end
end

-- The path the orb would fly if let go now: dots every few hundredths of a second.
local function drawAim()
	if not game.dragging then
		return
	end
	local lx, ly = launchPoint()
	local vx, vy = game.pullX * SPEED_PER_METRE, game.pullY * SPEED_PER_METRE
	screenState()
	for i = 1, 14 do
		local t = i * 0.07
		local sx, sy = toScreen(lx + vx * t, ly + vy * t + 0.5 * GRAVITY * t * t)
		res.drawSprite(i % 2 == 0 and "TRAIL_WHITE_1" or "TRAIL_WHITE_2", sx, sy)
	end
end

-- Faces drawn over the targets: eyes that follow the orb, blinking now and then.
local function drawFaces()
	local orb = game.flying[1] and objects.world[game.flying[1]]
	local scale = game.camera.scale
	for name, piece in pairs(objects.world) do
		if piece.face and piece.x then
			local face = piece.face
			local scared = orb and orb.x and math.abs(orb.x - piece.x) < 10
			local parts = scared and face.scared or face.normal
			local blinking = face.blinkTime < 0 and not scared
			local r = face.size * PIXELS_PER_METRE
			local sx, sy = toScreen(piece.x, piece.y)
			setRenderState(0, 0, scale, scale, 0, 0, 0)
			local cx, cy = sx / scale, sy / scale
			local lookX, lookY = 0, 0
			if orb and orb.x then
				local dx, dy = orb.x - piece.x, orb.y - piece.y
				local d = math.sqrt(dx * dx + dy * dy)
				if d > 0 then
					lookX, lookY = dx / d, dy / d
				end
			end
			for _, side in ipairs({ { "leftEye", "leftPupil", -0.38 }, { "rightEye", "rightPupil", 0.38 } }) do
				local eye, pupil = parts[side[1]], parts[side[2]]
				local ex, ey = cx + side[3] * r, cy - 0.2 * r
				res.drawSprite(blinking and eye.blink or eye.sprite, ex, ey)
				if not blinking then
					res.drawSprite(pupil.sprite, ex + lookX * pupil.maxOffsetX, ey + lookY * pupil.maxOffsetY)
				end
			end
			res.drawSprite(parts.nose.sprite, cx, cy + 0.4 * r)
		end
	end
end

local function drawHud()
	screenState()
	drawPanel(12, 12, 300, 70)
	drawText("SCORE", 28, 34)
	drawText(tostring(totalScore()), 290, 34, "VCENTER", "RIGHT")
	drawText("SHOTS_LEFT", 28, 62)
	drawText(tostring(game.shotsLeft), 290, 62, "VCENTER", "RIGHT")
	local best = bestOf(game.levelName)
	if best > 0 then
		drawPanel(330, 12, 240, 40)
		drawText("BEST", 346, 32)
		drawText(tostring(best), 556, 32, "VCENTER", "RIGHT")
	end
	if game.state == "aiming" and game.shotNumber == 0 then
		drawPanel(12, 96, 620, 70)
		drawText("DRAG_TO_LAUNCH", 28, 118)
		drawText("TOUCH_AGAIN", 28, 146)
	end
end

local function drawLevelEnd()
	local r = game.result
	screenState()
	drawRect(0, 0, 0, 0.35, 0, 0, screenWidth, screenHeight, false)
	drawPanel(screenWidth / 2 - 300, screenHeight * 0.16, 600, screenHeight * 0.62, PANEL_SOLID)
	res.useFont("font_big")
	drawText(r.won and "LEVEL_COMPLETE" or "LEVEL_FAILED", screenWidth / 2, screenHeight * 0.24, "VCENTER", "HCENTER")
	res.useFont("font_basic")
	local shownStars = math.min(r.stars, math.floor(r.shown / 0.4))
	drawStars(shownStars, screenWidth / 2, screenHeight * 0.37, 90)
	drawText("SCORE", screenWidth / 2 - 160, screenHeight * 0.48)
	drawText(tostring(r.score), screenWidth / 2 + 160, screenHeight * 0.48, "VCENTER", "RIGHT")
	if r.bonus > 0 then
		drawText("SHOT_BONUS", screenWidth / 2 - 160, screenHeight * 0.53)
		drawText(tostring(r.bonus), screenWidth / 2 + 160, screenHeight * 0.53, "VCENTER", "RIGHT")
	end
	if not r.saved then
		drawText("NOT_SAVED", screenWidth / 2, screenHeight * 0.59, "VCENTER", "HCENTER")
	elseif r.record then
		drawText("NEW_HIGH_SCORE", screenWidth / 2, screenHeight * 0.59, "VCENTER", "HCENTER")
	end
	drawButtons()
end

local function drawNotice()
	if game.notice then
		local area = noticeArea()
		screenState()
		drawPanel(area.x, area.y, area.w, area.h, PANEL_SOLID)
		drawText(game.notice.key, area.x + area.w / 2, area.y + area.h / 2, "VCENTER", "HCENTER")
	end
end

local function drawAchievement()
	local a = game.achievement
	if not a then
		return
	end
	screenState()
	drawPanel(screenWidth / 2 - 260, screenHeight - 80, 520, 56)
	drawText("ACHIEVEMENT", screenWidth / 2 - 240, screenHeight - 52)
	local entry = gameCenter and gameCenter.achievements and gameCenter.achievements[a.id]
	drawText(entry and entry.title or a.id, screenWidth / 2 + 240, screenHeight - 52, "VCENTER", "RIGHT")
end

function draw()
	if inMenus() or game.state == "start" then
		drawMenuBackground()
		screenState()
		if game.state == "menu" then
			drawTitle()
		elseif game.state == "levels" then
			drawTitle()
			drawText("CHOOSE_LEVEL", screenWidth / 2, 175, "VCENTER", "HCENTER")
		else
			drawScores()
		end
		drawButtons()
		drawNotice()
		drawAchievement()
		return
	end
	drawBackgroundNative()
	drawGameNative()
	drawFaces()
	drawForegroundNative()
	drawLauncherLoad()
	drawAim()
	drawHud()
	if game.state == "paused" then
		screenState()
		drawRect(0, 0, 0, 0.45, 0, 0, screenWidth, screenHeight, false)
		res.useFont("font_big")
		drawText("PAUSED", screenWidth / 2, screenHeight * 0.26, "VCENTER", "HCENTER")
		res.useFont("font_basic")
		drawButtons()
	elseif game.state == "levelEnd" then
		drawLevelEnd()
	else
		screenState()
		drawButtons()
	end
	drawAchievement()
end
