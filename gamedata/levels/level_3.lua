-- Level 3: A target on a plank over glowing coals, held up by two stone blocks; a stone house on a fixed ledge and a target behind glass.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_3.lua"
theme = "dusk"
physicsToWorld = 20
-- The orbs the launcher fires, in order.
shots = { "orb_split", "orb_heavy", "orb_boost" }
counts = { projectiles = 3 }
castleCameraData = { x = -160, y = -660, scale = 1.0 }
projectileCameraData = { x = -160, y = -660, scale = 1.0 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	coals = { name = "coals", definition = "hazard_coals", x = 27.0, y = -0.4, angle = 0 },
	block_left = { name = "block_left", definition = "stone_block", x = 24.5, y = -0.75, angle = 0 },
	block_right = { name = "block_right", definition = "stone_block", x = 29.5, y = -0.75, angle = 0 },
	plank = { name = "plank", definition = "wood_plank", x = 27.0, y = -1.8, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 27.0, y = -3.1, angle = 0, startNumber = 1 },
	ledge = { name = "ledge", definition = "static_ledge", x = 34.0, y = -0.5, angle = 0 },
	column_left = { name = "column_left", definition = "stone_column", x = 32.4, y = -2.5, angle = 0 },
	column_right = { name = "column_right", definition = "stone_column", x = 35.6, y = -2.5, angle = 0 },
	slab = { name = "slab", definition = "stone_slab", x = 34.0, y = -4.4, angle = 0 },
	sheet = { name = "sheet", definition = "glass_sheet", x = 34.0, y = -5.05, angle = 0 },
	target_2 = { name = "target_2", definition = "target", x = 34.0, y = -2.0, angle = 0, startNumber = 2 },
	pane = { name = "pane", definition = "glass_pane", x = 39.5, y = -1.5, angle = 0 },
	target_3 = { name = "target_3", definition = "target", x = 41.5, y = -1.0, angle = 0, startNumber = 3 },
}
joints = {}
