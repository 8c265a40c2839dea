-- The editor's palette: the block groups offered together, in order.
palette = {
	{ title = "Wood", groups = { "wood" } },
	{ title = "Stone", groups = { "stone", "static" } },
	{ title = "Glass", groups = { "glass", "staticfragile" } },
	{ title = "Hazards", groups = { "hazard" } },
	{ title = "Targets", groups = { "targets", "scoreobjects" } },
	{ title = "Scenery", groups = { "misc", "decorations" } },
}
