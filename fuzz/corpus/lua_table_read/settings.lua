volume = 0.5
audioEnabled = true
musicEnabled = false
language = "en_EN"
