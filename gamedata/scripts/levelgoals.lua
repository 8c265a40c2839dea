-- What a level asks of the player.
goals = {
	{ definition = "goal_targets", type = "goal", description = "Destroy every target", targetGroup = "targets" },
}
