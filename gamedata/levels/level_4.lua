-- Level 4: A target on a fixed tower, a big one in a stone shelter with a gem on its roof, one behind fixed glass.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_4.lua"
theme = "frost"
physicsToWorld = 20
-- The orbs the launcher fires, in order. The big target under the stone slab and the one behind the
-- fixed glass each fall surely only to a heavy orb dropped on them: a light orb reaches the one
-- behind the glass only down a lob a pixel or two wide, so there are two heavy orbs.
shots = { "orb_heavy", "orb_split", "orb_heavy", "orb_boost" }
counts = { projectiles = 4 }
castleCameraData = { x = -160, y = -733, scale = 0.9 }
projectileCameraData = { x = -160, y = -733, scale = 0.9 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	coals = { name = "coals", definition = "hazard_coals", x = 24.0, y = -0.4, angle = 0 },
	tower = { name = "tower", definition = "static_tower", x = 30.0, y = -3.0, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 30.0, y = -7.0, angle = 0, startNumber = 1 },
	column_left = { name = "column_left", definition = "stone_column", x = 34.0, y = -1.5, angle = 0 },
	column_right = { name = "column_right", definition = "stone_column", x = 38.0, y = -1.5, angle = 0 },
	slab = { name = "slab", definition = "stone_slab", x = 36.0, y = -3.4, angle = 0 },
	gem = { name = "gem", definition = "bonus_gem", x = 36.0, y = -4.3, angle = 0 },
	target_2 = { name = "target_2", definition = "target_big", x = 36.0, y = -1.4, angle = 0, startNumber = 2 },
	fixed_glass = { name = "fixed_glass", definition = "static_glass", x = 42.0, y = -1.5, angle = 0 },
	target_3 = { name = "target_3", definition = "target", x = 44.0, y = -1.0, angle = 0, startNumber = 3 },
}
joints = {}
