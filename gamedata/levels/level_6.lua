-- Level 6: A castle on a fixed ledge, a stone hall, a fixed tower and glass: five targets.
-- Positions are the centres of the pieces in metres; y grows downward and the ground is y = 0.
filename = "level_6.lua"
theme = "frost"
physicsToWorld = 20
-- The orbs the launcher fires, in order. The big target under the stone slab and the one behind the
-- fixed glass each fall surely only to a heavy orb dropped on them: a light orb reaches the one
-- behind the glass only down a lob a degree or two wide, so there are two heavy orbs.
shots = { "orb_boost", "orb_split", "orb_heavy", "orb_heavy", "orb_split" }
counts = { projectiles = 5 }
castleCameraData = { x = -160, y = -825, scale = 0.8 }
projectileCameraData = { x = -160, y = -825, scale = 0.8 }
world = {
	launcher = { name = "launcher", definition = "launcher", x = 4.0, y = -2.0, angle = 0 },
	ledge = { name = "ledge", definition = "static_ledge", x = 33.0, y = -0.5, angle = 0 },
	p1 = { name = "p1", definition = "wood_pillar", x = 31.0, y = -3.0, angle = 0 },
	p2 = { name = "p2", definition = "wood_pillar", x = 35.0, y = -3.0, angle = 0 },
	floor = { name = "floor", definition = "wood_plank", x = 33.0, y = -5.3, angle = 0 },
	target_1 = { name = "target_1", definition = "target", x = 33.0, y = -2.0, angle = 0, startNumber = 1 },
	sheet = { name = "sheet", definition = "glass_sheet", x = 33.0, y = -5.85, angle = 0 },
	target_2 = { name = "target_2", definition = "target", x = 33.0, y = -7.1, angle = 0, startNumber = 2 },
	c1 = { name = "c1", definition = "stone_column", x = 39.0, y = -1.5, angle = 0 },
	c2 = { name = "c2", definition = "stone_column", x = 43.0, y = -1.5, angle = 0 },
	slab = { name = "slab", definition = "stone_slab", x = 41.0, y = -3.4, angle = 0 },
	crate = { name = "crate", definition = "wood_crate", x = 41.0, y = -4.55, angle = 0 },
	target_3 = { name = "target_3", definition = "target_big", x = 41.0, y = -1.4, angle = 0, startNumber = 3 },
	coals = { name = "coals", definition = "hazard_coals", x = 45.5, y = -0.4, angle = 0 },
	tower = { name = "tower", definition = "static_tower", x = 48.6, y = -3.0, angle = 0 },
	target_4 = { name = "target_4", definition = "target", x = 48.6, y = -7.0, angle = 0, startNumber = 4 },
	fixed_glass = { name = "fixed_glass", definition = "static_glass", x = 51.0, y = -1.5, angle = 0 },
	target_5 = { name = "target_5", definition = "target", x = 53.0, y = -1.0, angle = 0, startNumber = 5 },
}
joints = {}
