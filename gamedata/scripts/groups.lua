-- The editor's palette: the block groups offered together, in order.
palette = {
	{ title = "Wood", groups = { "wood" } },
	{ title = "Stone", groups = { "stone", "static" } },
	{ title = "Glass", groups = { "glass", "staticfragile" } },
	{ title = "Targets", groups = { "targets" } },
}
