-- The game's rules for one level at a time: load it, let the player drag back from the launcher
-- and let go to fire, score the damage, and end the shot once everything has come to rest.
-- Runs with the game world's table as its environment: the world's methods and values are
-- globals here, and the interpreter's own globals are reached through _G.

local pairs, ipairs, type, tostring = _G.pairs, _G.ipairs, _G.type, _G.tostring
local math, string = _G.math, _G.string

-- World pixels per metre, as the world draws its objects.
local PIXELS_PER_METRE = 20
-- Where the projectile leaves the launcher, metres.
local LAUNCH_X, LAUNCH_Y = 4.0, -4.5
-- Launch speed in metres per second for each metre of pull, and the longest pull in metres.
local SPEED_PER_METRE = 5.0
local MAX_PULL = 5.0
-- A press this close to the launch point (metres) starts a drag.
local GRAB_RADIUS = 6.0
-- A shot ends once nothing has moved for this long, or after the longest flight (seconds).
local REST_TIME = 0.5
local LONGEST_SHOT = 15.0
local TEXTS = "TEXTS_BASIC"
-- The ground: a static slab whose top is the line y = 0, metres.
local GROUND = { sprite = "", x = 20, y = 1, width = 200, height = 2, friction = 0.8, restitution = 0.1 }
local SOUNDS = { "launch", "hit_wood", "hit_stone", "target_pop", "wood_rolling", "rock_rolling", "light_rolling" }

scoreTable = { blocks = { score = 0 }, targets = { score = 0 } }

game = {
	state = "start",
	level = nil,
	shotsLeft = 0,
	shotNumber = 0,
	targetsLeft = 0,
	dragging = false,
	dragStartX = 0, dragStartY = 0,
	flightTime = 0,
	restTime = 0,
	camera = { x = -160, y = -660, scale = 1.0 },
}

local function totalScore()
	return math.floor(scoreTable.blocks.score + scoreTable.targets.score)
end

-- Screen pixels to world metres under the current camera.
local function toWorld(x, y)
	local c = game.camera
	return (x / c.scale + c.x) / PIXELS_PER_METRE, (y / c.scale + c.y) / PIXELS_PER_METRE
end

local function toScreen(x, y)
	local c = game.camera
	return (x * PIXELS_PER_METRE - c.x) * c.scale, (y * PIXELS_PER_METRE - c.y) * c.scale
end

-- Makes one object from its definition and gives its script table what contacts read.
local function createPiece(name, definition, x, y)
	local collides = definition.collision ~= false
	if definition.type == "circle" then
		createCircle(name, definition.sprite, x, y, definition.radius, definition.density, definition.friction, definition.restitution, collides, definition.group == "projectiles", definition.z or 2)
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
	return piece
end

local function startLevel(path)
	objects.world = {}
	objects.joints = {}
	loadLevel(path)
	local level = loadedObjects
	game.level = level
	createBox("ground", GROUND.sprite, GROUND.x, GROUND.y, GROUND.width, GROUND.height, 0, GROUND.friction, GROUND.restitution, true, false, 0)
	objects.world.ground.material = blockTable.blocks.Ground.material
	objects.world.ground.definition = "Ground"
	game.targetsLeft = 0
	for name, entry in pairs(level.world) do
		local definition = blockTable.blocks[entry.definition]
		createPiece(name, definition, entry.x, entry.y)
		if entry.angle ~= 0 then
			setRotation(name, entry.angle)
		end
		if definition.group == "targets" then
			game.targetsLeft = game.targetsLeft + 1
		end
	end
	local camera = level.castleCameraData
	game.camera = { x = camera.x, y = camera.y, scale = camera.scale }
	setTopLeft(camera.x, camera.y)
	setWorldScale(camera.scale)
	setLevelLimits(-20, 0, 80, 0)
	game.shotsLeft = level.counts.projectiles
	game.shotNumber = 0
	scoreTable.blocks.score = 0
	scoreTable.targets.score = 0
	setPhysicsEnabled(true)
	game.state = "aiming"
end

local function launch(pullX, pullY)
	local length = math.sqrt(pullX * pullX + pullY * pullY)
	if length < 0.2 then
		return
	end
	if length > MAX_PULL then
		pullX, pullY = pullX * MAX_PULL / length, pullY * MAX_PULL / length
	end
	game.shotNumber = game.shotNumber + 1
	game.shotsLeft = game.shotsLeft - 1
	local name = "projectile_" .. game.shotNumber
	createPiece(name, blockTable.blocks.projectile, LAUNCH_X, LAUNCH_Y)
	setVelocity(name, pullX * SPEED_PER_METRE, pullY * SPEED_PER_METRE)
	res.playAudio("launch")
	game.projectile = name
	game.flightTime = 0
	game.restTime = 0
	game.state = "flying"
end

local function endShot()
	if game.projectile and objects.world[game.projectile] then
		removeObject(game.projectile)
		objects.world[game.projectile] = nil
	end
	game.projectile = nil
	print(string.format("Shot %d over: score %d, targets left %d\n", game.shotNumber, totalScore(), game.targetsLeft))
	if game.targetsLeft == 0 then
		game.state = "complete"
		print(string.format("Level complete: score %d\n", totalScore()))
	elseif game.shotsLeft <= 0 then
		game.state = "failed"
		print(string.format("Level failed: score %d\n", totalScore()))
	else
		game.state = "aiming"
	end
end

local function aim()
	if keyPressed.LBUTTON then
		local x, y = toWorld(cursor.x or 0, cursor.y or 0)
		local dx, dy = x - LAUNCH_X, y - LAUNCH_Y
		game.dragging = dx * dx + dy * dy <= GRAB_RADIUS * GRAB_RADIUS
		game.dragStartX, game.dragStartY = x, y
	end
	if game.dragging and keyReleased.LBUTTON then
		game.dragging = false
		local x, y = toWorld(cursor.x or 0, cursor.y or 0)
		launch(game.dragStartX - x, game.dragStartY - y)
	end
end

local function follow(dt)
	game.flightTime = game.flightTime + dt
	if hasMovingObjects then
		game.restTime = 0
	else
		game.restTime = game.restTime + dt
	end
	if (game.flightTime > 1.0 and game.restTime >= REST_TIME) or game.flightTime > LONGEST_SHOT then
		endShot()
	end
end

-- Called once the scripts have run, and again whenever the values they derive from change.
function updateValues()
	game.levelCount = #levelList
end

function createStartUpAssets()
	res.createSpriteSheet(imagePath .. "/game.dat")
	res.createBitmapFont(fontPath .. "/font_basic.dat")
	res.useFont("font_basic")
	res.createTextGroupSet(localizationPath .. "/TEXTS_BASIC.dat")
	res.createAudioOutput(2, 16, 22050)
	for _, name in ipairs(SOUNDS) do
		res.createAudio(audioPath .. "/" .. name .. ".wav", name, false)
	end
end

function update(dt)
	if game.state == "start" then
		startLevel(levelList[1])
	elseif game.state == "aiming" then
		aim()
	elseif game.state == "flying" then
		follow(dt)
	end
end

-- After every physics step: broken pieces leave the world and score.
function removeBlocks()
	local broken = {}
	for name, piece in pairs(objects.world) do
		if type(piece.strength) == "number" and piece.strength < 0 then
			broken[#broken + 1] = name
		end
	end
	for _, name in ipairs(broken) do
		local piece = objects.world[name]
		if piece.isTarget then
			game.targetsLeft = game.targetsLeft - 1
			scoreTable.targets.score = scoreTable.targets.score + (piece.score or 0)
			res.playAudio("target_pop")
		else
			scoreTable.blocks.score = scoreTable.blocks.score + (piece.score or 0)
		end
		removeObject(name)
		objects.world[name] = nil
	end
end

function projectileCollision(projectile, other, impact, damage)
	local piece = objects.world[other]
	local material = piece and blockTable.materials[piece.material]
	if material and impact > 1 then
		res.playAudio(material.hitSound)
	end
end

function blockCollision(nameA, nameB, impact, hit, overTime)
end

function setAnimationByName(name, animation)
end

function selectObjectAnimation(name, speed, direction, dt)
end

-- The game service's callbacks: this game keeps no menu for it, so they only note its state.
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
function showAchievementPopUp(id) end

function gamePaused()
	game.dragging = false
end

function gameResumed()
end

local function drawText(key, x, y)
	res.drawString(TEXTS, key, x, y, "BASELINE", "LEFT")
end

function draw()
	drawRect(0.53, 0.78, 0.95, 1.0, 0, 0, screenWidth, screenHeight, false)
	local _, groundY = toScreen(0, 0)
	drawRect(0.36, 0.60, 0.25, 1.0, 0, groundY, screenWidth, screenHeight, false)
	drawGameNative()
	-- The interface is drawn in screen pixels, whatever the camera left in the render state.
	setRenderState(0, 0, 1, 1, 0, 0, 0)
	if game.dragging then
		local x, y = toScreen(LAUNCH_X, LAUNCH_Y)
		drawLine2D(x, y, cursor.x or x, cursor.y or y, 3, 80, 40, 20, 255)
	end
	drawText("SCORE", 20, 40)
	drawText(tostring(totalScore()), 120, 40)
	drawText("SHOTS_LEFT", 20, 72)
	drawText(tostring(game.shotsLeft), 120, 72)
	if game.state == "aiming" and game.shotNumber == 0 then
		drawText("DRAG_TO_LAUNCH", 20, 104)
	elseif game.state == "complete" then
		drawText("LEVEL_COMPLETE", 400, 300)
	elseif game.state == "failed" then
		drawText("LEVEL_FAILED", 400, 300)
	end
end
