"""Headless cases of the game program: each plays an input script with documents of its own (and,
where it breaks or writes data, its own copy of the data directory) and checks the log, the exit
code and the captured frames.
    game-cases.py CASE GAME DATA DATACIPHER OUTPUT [LEVEL]
GAME: the game program; DATA: its built data directory (data_ipad); DATACIPHER: the data tool;
OUTPUT: a directory of the case's own, emptied first; LEVEL: the level that won_level plays."""

import os
import re
import shutil
import subprocess
import sys

from PIL import Image, ImageStat

# The recorded input scripts that win the levels, one for each level of the load list, named by it.
WINNING_SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "level-wins")

# Screen centres of the buttons the cases press: the menu's Play, the level select's tiles by
# level number, the level's pause button and the pause screen's Resume.
PLAY = (512, 354)
TILES = {1: (302, 260), 2: (512, 260), 3: (722, 260)}
PAUSE_BUTTON = (974, 44)
RESUME = (512, 306)
# Where the pause screen's "Save and quit" stands, a place of no button in a level in play.
QUIT_PLACE = (512, 546)
# The menu's High scores, Save and quit and Leaderboards, a point of the Play button and of the
# Back button of the screens under the menu beside their text, and the middle of the end panel's
# button row above the buttons' text.
HIGH_SCORES = (512, 522)
MENU_QUIT = (512, 606)
LEADERBOARDS = (889, 721)
PLAY_BESIDE_TEXT = (370, 340)
BACK = (40, 721)
END_BUTTONS = (512, 505)
# The buttons' colour as captured.
BUTTON_ORANGE = (239, 142, 41)
# A point of the notice panel over the menus, beside its text, and the panel's colour there; a
# point of the menu's Save and quit that the notice covers.
NOTICE = (230, 650)
NOTICE_PANEL = (24, 36, 49)
NOTICE_OVER_QUIT = (512, 630)
# The middle of the menu's Sound button, and a point of level 1's tile on the level select beside
# its number and stars.
SOUND = (512, 438)
TILE_1_BESIDE_TEXT = (225, 310)
# A pull back from the launcher's launch point that lands the first orb on level 1's shelter.
FIRST_SHOT = [(240, 576), (200, 588), (160, 600)]


def tap(frame, point, finger=0, hold=4):
    """A finger down and lifted at the point hold frames later; 0: both within one frame."""
    x, y = point
    return f"{frame} touch began {finger} {x} {y}\n{frame + hold} touch ended {finger} {x} {y}\n"


def key(frame, name):
    return f"{frame} key down {name}\n{frame + 1} key up {name}\n"


def drag(frame, points, end="ended"):
    """A finger down at the first point and moved through the others, 4 frames apart; it ends (or
    is cancelled) 6 frames after the last move."""
    lines = [f"{frame + 4 * i} touch {'moved' if i else 'began'} 0 {x} {y}\n" for i, (x, y) in enumerate(points)]
    x, y = points[-1]
    return "".join(lines) + f"{frame + 4 * len(points) + 2} touch {end} 0 {x} {y}\n"


def into_level(level):
    """From the menu into a level: the level is loaded by frame 80."""
    return tap(40, PLAY) + tap(70, TILES[level])


# From the menu into level 1 and two shots that clear it; the level ends by frame 1400.
WIN_LEVEL_1 = (into_level(1) + drag(140, FIRST_SHOT) +
               "1000 touch began 0 240 576\n1006 touch moved 0 182 634\n1010 touch ended 0 182 634\n")


class Case:
    def __init__(self, game, data, datacipher, out):
        self.game, self.data, self.datacipher, self.out = game, data, datacipher, out
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)
        self.documents = self.path("documents")
        os.makedirs(self.documents)
        self.bundle = None

    def path(self, name):
        return os.path.join(self.out, name)

    def own_data(self):
        """A copy of the data directory that the case may break or write into; its path."""
        self.bundle = self.path("bundle")
        shutil.copytree(self.data, os.path.join(self.bundle, "data_ipad"))
        return os.path.join(self.bundle, "data_ipad")

    def cipher(self, command, key, source, target):
        subprocess.run([self.datacipher, command, "--key", key, source, target], check=True)

    def run(self, script, frames, log="1", output=None, data=None, window=False, prefix=()):
        """The game's exit code and its log (standard output and error, the debug log included).
        log: the value of GAME_LOG; output: the captures' folder (the case's own by default); data:
        the --data folder (the case's own copy, if it made one); window: played in a window on a
        virtual X server instead of headless; prefix: a command that runs the game."""
        script_file = self.path("input.script")
        with open(script_file, "w") as f:
            f.write(script)
        os.makedirs(self.path("library"), exist_ok=True)
        command = [self.game, "--frames", str(frames), "--script", script_file, "--output", output or self.out,
                   "--documents", self.documents, "--library", self.path("library"), "--caches", self.path("library")]
        command = (["xvfb-run", "-a", "-s", "-screen 0 1024x768x24"] + command) if window else command + ["--headless"]
        command = list(prefix) + command
        if data or self.bundle:
            command += ["--data", data or self.bundle]
        environment = dict(os.environ, GAME_LOG=log)
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=environment, timeout=500)
        log = done.stdout.decode("utf-8", "replace")
        with open(self.path("game.log"), "w") as f:
            f.write(log)
        return done.returncode, log

    def pixel(self, capture, point):
        return Image.open(self.path(capture)).convert("RGB").getpixel(point)

    def brightness(self, capture):
        return ImageStat.Stat(Image.open(self.path(capture)).convert("L")).mean[0]


def expect(condition, what, log=""):
    if not condition:
        raise AssertionError(what + ("\n--- log (last lines) ---\n" + "\n".join(log.splitlines()[-40:]) if log else ""))


def lines_in_order(log, wanted):
    """Whether the wanted lines appear in the log in this order (other lines between them)."""
    lines = iter(log.splitlines())
    return all(any(line.startswith(w) for line in lines) for w in wanted)


def save(case, name, text):
    """A save in the documents folder: the text enciphered under the save key; its path."""
    plain = case.path(name + ".txt")
    with open(plain, "w") as f:
        f.write(text)
    saved = os.path.join(case.documents, name + ".lua")
    case.cipher("encrypt", "save", plain, saved)
    return saved


def pause_and_resume(case):
    """Every way into the pause screen and out of it leaves the level as it was: its pause button
    works, no button of the pause screen is left behind, and the pause screen is drawn only
    while the level is paused."""
    script = (into_level(1) + "110 capture level.png\n"
              + key(120, "KEY_MENU") + "125 capture paused-by-key.png\n"
              + key(130, "KEY_MENU") + "135 capture resumed-by-key.png\n"
              + tap(140, QUIT_PLACE)
              + key(150, "KEY_MENU") + "155 capture paused-again.png\n"
              + key(160, "KEY_BACK") + "165 capture resumed-by-back.png\n"
              + tap(170, PAUSE_BUTTON) + "180 capture paused-by-button.png\n"
              + tap(190, RESUME) + "200 capture resumed-by-button.png\n"
              + "210 resign\n220 become\n230 capture paused-by-focus.png\n"
              + key(240, "KEY_MENU") + "245 capture resumed-after-focus.png\n"
              + tap(250, QUIT_PLACE) + "270 capture end.png\n")
    code, log = case.run(script, 280)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 loaded"] + ["Level paused", "Level resumed"] * 4), "the pauses and resumes", log)
    played = log[:log.index("applicationWillTerminate")]
    expect(played.count("Level paused") == 4 and played.count("Level resumed") == 4, "four pauses and four resumes", log)
    level = case.brightness("level.png")
    for capture in ["paused-by-key.png", "paused-again.png", "paused-by-button.png", "paused-by-focus.png"]:
        expect(case.brightness(capture) < 0.8 * level, f"{capture} shows no pause screen")
    for capture in ["resumed-by-key.png", "resumed-by-back.png", "resumed-by-button.png", "resumed-after-focus.png", "end.png"]:
        expect(case.brightness(capture) > 0.9 * level, f"{capture} still shows the pause screen")


def quick_clicks(case):
    """A press and its release within one frame are a click, on the menus' buttons, the level's
    pause button and the pause screen's. A release that comes in the frame of the next press ends
    its own press first, where it was let go; that next press, held and let go off its button,
    presses nothing."""
    sound_x, sound_y = SOUND
    tile_x, tile_y = TILES[1]
    pause_x, pause_y = PAUSE_BUTTON
    script = (f"40 touch began 0 {sound_x} {sound_y}\n46 touch ended 0 {sound_x} {sound_y}\n"
              + f"46 touch began 0 {sound_x} {sound_y}\n50 touch moved 0 512 200\n52 touch ended 0 512 200\n"
              + tap(60, PLAY, hold=0) + "70 capture levels.png\n"
              + f"80 touch began 0 {tile_x} {tile_y}\n90 touch ended 0 {tile_x} {tile_y}\n"
              + f"90 touch began 0 {pause_x} {pause_y}\n96 touch moved 0 512 400\n98 touch ended 0 512 400\n"
              + "110 capture level.png\n"
              + tap(120, PAUSE_BUTTON, hold=0) + "130 capture paused.png\n"
              + tap(140, RESUME, hold=0) + "160 capture resumed.png\n")
    code, log = case.run(script, 170)
    expect(code == 0, f"exit code {code}", log)
    expect(log.count("name=sound ") == 1, "the sound not switched once", log)
    expect(case.pixel("levels.png", TILE_1_BESIDE_TEXT) == BUTTON_ORANGE, "a quick click on Play left the menu up", log)
    expect(lines_in_order(log, ["Level level_1 loaded", "Level paused", "Level resumed"]), "the level, its pause and resume", log)
    level = case.brightness("level.png")
    expect(case.brightness("paused.png") < 0.8 * level, "the level paused before the quick click on its pause button")
    expect(case.brightness("resumed.png") > 0.9 * level, "a quick click on Resume left the pause screen up")


def notice_tap(case):
    """A tap on the notice over the menus, where it covers Save and quit, only takes the notice
    away: the game goes on, and the button, uncovered, quits on the next tap."""
    save(case, "highscores", "level_1 = = 1\n")
    script = ("40 capture notice.png\n" + tap(60, NOTICE_OVER_QUIT) + "120 capture after-tap.png\n"
              + tap(130, NOTICE_OVER_QUIT))
    code, log = case.run(script, 200)
    expect(code == 0, f"exit code {code}", log)
    expect(case.pixel("notice.png", NOTICE) == NOTICE_PANEL, "the menu shows no notice of the saves left unread", log)
    expect(case.pixel("after-tap.png", NOTICE_OVER_QUIT) == BUTTON_ORANGE, "the notice still covers Save and quit", log)
    expect(log.count("name=game_quit") == 1, "Save and quit did not quit once", log)


def broken_level(case):
    """A level file cut in half, and one of random bytes: each start goes back to the level select
    with a message, the game goes on to play a sound level, and the saved high scores stay."""
    data = case.own_data()
    level_1 = os.path.join(data, "levels", "level_1.lua")
    with open(level_1, "rb") as f:
        whole = f.read()
    with open(level_1, "wb") as f:
        f.write(whole[:len(whole) // 2])
    with open(os.path.join(data, "levels", "level_2.lua"), "wb") as f:
        f.write(bytes((i * 7919 + 13) % 256 for i in range(len(whole))))
    saved = save(case, "highscores", "level_3 = { score = 12345, stars = 1 }\n")
    with open(saved, "rb") as f:
        before = f.read()

    script = (tap(40, PLAY) + tap(70, TILES[1]) + "90 capture not-loaded.png\n"
              + tap(100, TILES[2]) + tap(130, TILES[3]) + "250 capture level_3.png\n")
    code, log = case.run(script, 260)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 did not load", "Level level_2 did not load", "Level level_3 loaded"]),
           "the broken levels go back to the level select and the next one plays", log)
    expect(log.count("Unable to load level.") == 2 and "Level file levels/level_1.lua: " in log, "the load failures logged", log)
    expect("High score level_3: 12345, 1 stars" in log, "the saved high score read", log)
    with open(saved, "rb") as f:
        expect(f.read() == before, "the saved high scores changed")


def unwritable_documents(case):
    """With a file where the documents folder should be, winning level 1 shows its end screen;
    the save failure is logged with the file and tried again at the next pause."""
    os.rmdir(case.documents)
    with open(case.documents, "w") as f:
        f.write("not a folder")
    script = WIN_LEVEL_1 + "1400 capture end.png\n1410 resign\n1420 become\n"
    code, log = case.run(script, 1430)
    expect(code == 0, f"exit code {code}", log)
    expect("Level complete: level_1" in log, "level 1 was not won", log)
    expect(lines_in_order(log, ["Level complete: level_1", "Unable to save highscores.lua: ", "Game paused",
                                "Unable to save highscores.lua: "]), "the save failure and its retry", log)


def cancelled_touch(case):
    """A drag from the launcher that the system cancels fires nothing; the next drag does. A pause
    and a resume between the two mark in the log where the first one ended."""
    script = (into_level(1) + drag(140, FIRST_SHOT, "cancelled") + key(170, "KEY_MENU") + key(180, "KEY_MENU")
              + drag(200, FIRST_SHOT))
    code, log = case.run(script, 230)
    expect(code == 0, f"exit code {code}", log)
    launches = [line for line in log.splitlines() if "name=shot " in line]
    expect(len(launches) == 1 and lines_in_order(log, ["Level level_1 loaded", "Level paused", "Level resumed", launches[0]]),
           "one orb launched, by the drag that ended", log)


def failing_update(case):
    """A game logic whose "update" fails on every frame after the tenth: the game still draws its
    frames and runs to its frame limit, the failure is logged once with the callback's name and
    the script line, and how often it came again is logged as the game ends."""
    data = case.own_data()
    logic = os.path.join(data, "scripts", "gamelogic.lua")
    plain = case.path("gamelogic.txt")
    case.cipher("decrypt", "data", logic, plain)
    with open(plain) as f:
        text = f.read()
    if not text.endswith("\n"):
        text += "\n"
    failing_line = text.count("\n") + 4
    text += ("local updates, playedUpdate = 0, update\n"
             "function update(dt, dt2)\n"
             "  updates = updates + 1\n"
             "  if updates > 10 then local broken = nil broken.field = 1 end\n"
             "  playedUpdate(dt, dt2)\n"
             "end\n")
    with open(plain, "w") as f:
        f.write(text)
    case.cipher("encrypt", "data", plain, logic)

    code, log = case.run("5 capture before.png\n200 capture after.png\n", 210)
    expect(code == 0, f"exit code {code}", log)
    expect("Exception from game" not in log, "the failure ended the game", log)
    # The interpreter names the file by its whole path.
    failure = f'[string "{logic}"]:{failing_line}: attempt to index local \'broken\' (a nil value)'
    first = [line for line in log.splitlines() if line.startswith('Script error in "update": ')]
    expect(len(first) == 1 and failure in first[0], "the failure logged once, with its script line", log)
    repeats = [line for line in log.splitlines() if line.startswith('Script error in "update" repeated ')]
    expect(len(repeats) == 1 and int(repeats[0].split()[5]) > 150, "the repeats counted once", log)
    expect(len([line for line in log.splitlines() if line.startswith("Script error")]) == 2, "other script errors", log)
    expect(abs(case.brightness("after.png") - case.brightness("before.png")) < 1, "the menu is no longer drawn")


def wrong_saves(case):
    """Saves that decipher under the save key but hold entries of the wrong kind, numbers saved as
    strings of digits among them: each such entry is dropped and logged, the rest is kept, and the
    game starts with no script error and draws its high scores."""
    save(case, "highscores", 'level_1 = { score = "lots", stars = 9 }\nlevel_3 = { score = 12345, stars = 3 }\n'
                             'level_2 = { score = "25000", stars = 2 }\nlevel_4 = { score = 100, stars = "2" }\n')
    save(case, "settings", 'audioEnabled = "yes"\nvolume = 0.5\n')
    code, log = case.run(tap(40, HIGH_SCORES) + "60 capture scores.png\n", 70)
    expect(code == 0, f"exit code {code}", log)
    expect("Script error" not in log, "a script error", log)
    for line in ["Damaged entry level_1 of save file highscores.lua dropped (its score is no number of zero or more)",
                 "Damaged entry level_2 of save file highscores.lua dropped (its score is no number of zero or more)",
                 "Damaged entry level_4 of save file highscores.lua dropped (its stars are no whole number from 0 to 3)",
                 "Damaged entry audioEnabled of save file settings.lua dropped (it is neither true nor false)",
                 "High score level_3: 12345, 3 stars"]:
        expect(line in log, line, log)
    # The high scores panel with its Back button: the button's orange where it stands.
    expect(case.pixel("scores.png", BACK) == BUTTON_ORANGE, "the high scores have no Back button", log)


def unusable_saves(case):
    """Saves the game cannot use cost neither the start nor what they held. Settings whose text
    never ends and high scores that do not compile: the game starts, logs each as damaged, sets it
    aside and tells the player on the menu. High scores the player may not open (mode 000; as root, run without the rights to
    override a file's mode): the game logs the system's reason, sets the file aside with its bytes,
    and the won level 1 saves a new file that its owner can read and write."""
    looping = save(case, "settings", "volume = 0.5\nwhile true do end\n")
    save(case, "highscores", "level_1 = { score = 10, stars = 1 }\nlevel_2 = = 1\n")
    with open(looping, "rb") as f:
        settings = f.read()
    code, log = case.run("20 capture menu.png\n", 30)
    expect(code == 0, f"exit code {code}", log)
    for line in ['Damaged save file highscores.lua left unread (it does not compile: [string "highscores.lua"]:2: ',
                 "Save file highscores.lua set aside as " + os.path.join(case.documents, "highscores.lua.damaged"),
                 "Damaged save file settings.lua left unread (it does not run: settings.lua ran past its budget of ",
                 "Save file settings.lua set aside as " + os.path.join(case.documents, "settings.lua.damaged")]:
        expect(line in log, line, log)
    with open(looping + ".damaged", "rb") as f:
        expect(f.read() == settings, "the damaged settings' bytes are not kept")
    expect(case.pixel("menu.png", NOTICE) == NOTICE_PANEL, "the menu shows no notice of the saves left unread", log)

    saved = save(case, "highscores", "level_2 = { score = 700, stars = 2 }\n")
    with open(saved, "rb") as f:
        held = f.read()
    os.chmod(saved, 0)
    prefix = ["setpriv", "--bounding-set", "-dac_override,-dac_read_search"] if os.geteuid() == 0 else []
    if subprocess.run(prefix + ["cat", saved], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
        print("unusable_saves: a file of mode 000 opens all the same here; the unreadable high scores are passed over")
        return
    code, log = case.run(WIN_LEVEL_1 + "1400 capture end.png\n", 1410, prefix=prefix)
    expect(code == 0, f"exit code {code}", log)
    aside = saved + ".unreadable"
    expect(lines_in_order(log, ["Save file highscores.lua cannot be read (Permission denied); its progress starts over",
                                "Save file highscores.lua set aside as " + aside, "Level complete: level_1"]),
           "the unreadable high scores logged with the reason and set aside, then level 1 won", log)
    expect("Unable to save" not in log, "the won level was not saved", log)
    os.chmod(aside, 0o600)
    with open(aside, "rb") as f:
        expect(f.read() == held, "the unreadable high scores' bytes are not kept")
    expect(os.stat(saved).st_mode & 0o600 == 0o600, f"the new high scores have mode {oct(os.stat(saved).st_mode)}")
    expect(subprocess.run(prefix + ["cat", saved], stdout=subprocess.DEVNULL).returncode == 0, "the new high scores cannot be read")
    saved_highscore(case, "level_1")


def messages(case):
    """Each failure says why on its own line: game logic that does not decipher, a data directory
    that is not there (a wrong command line, exit code 2), and saves into a documents path that is
    no folder."""
    data = case.own_data()
    with open(os.path.join(data, "scripts", "gamelogic.lua"), "wb") as f:
        f.write(bytes(range(64)))
    code, log = case.run("", 10)
    expect(code != 0, "the game started without its logic", log)
    logic = os.path.join(data, "scripts", "gamelogic.lua")
    expect(f"The game logic {logic} could not be loaded: it does not decipher under the data key" in log, "the reason", log)
    expect(all(line.strip() != "EXCEPTION:" for line in log.splitlines()), "a bare EXCEPTION line", log)

    absent = case.path("absent")
    code, log = case.run("", 10, data=absent)
    expect(code == 2, f"exit code {code} for a data directory that is not there", log)
    expect(f"The data directory {absent} is missing: No such file or directory" in log, "the missing data directory", log)

    shutil.rmtree(case.documents)
    with open(case.documents, "w") as f:
        f.write("not a folder")
    case.bundle = None
    code, log = case.run(tap(40, MENU_QUIT), 60)
    expect(code == 0, f"exit code {code}", log)
    for name, line in [("highscores.lua", "Unable to save highscores.lua: "), ("settings.lua", "Unable to save lua file settings.lua: ")]:
        reason = f"{line}Failed to open {os.path.join(case.documents, name)} for writing: Not a directory"
        expect(any(l.startswith(reason) for l in log.splitlines()), reason, log)


def options(case):
    """The program's options do what they say: GAME_LOG=0 and an empty GAME_LOG are quiet, --output
    makes its folder, --data takes the data folder itself, and a capture that the run never reached
    because the player chose Save and quit fails the run."""
    for quiet in ["0", ""]:
        code, log = case.run("", 5, log=quiet)
        expect(code == 0 and "GameCenter support" not in log and "Loading" not in log, f"GAME_LOG={quiet!r} logs", log)
    made = case.path("made/for/captures")
    code, log = case.run("3 capture first.png\n", 5, output=made, data=case.data)
    expect(code == 0 and os.path.isfile(os.path.join(made, "first.png")), "the capture into a new folder", log)
    code, log = case.run(tap(40, MENU_QUIT) + "100 capture after-quit.png\n", 200, data=case.data)
    expect(code != 0, "a capture never reached passed", log)
    expect("Input script line 3 (100 capture after-quit.png) never ran" in log, "the capture not named", log)


def back_key_and_focus(case):
    """The Back key goes back in the menus and pauses a level; a level that lost the focus comes
    back paused, whatever keys arrived while it was away."""
    script = (tap(40, PLAY) + key(60, "KEY_BACK") + "70 capture menu-again.png\n"
              + tap(80, PLAY) + tap(110, TILES[1]) + "150 capture level.png\n"
              + "160 resign\n" + key(170, "KEY_MENU") + "180 become\n190 capture back.png\n")
    code, log = case.run(script, 200)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 loaded", "Level paused", "Game paused", "Game resumed"]), "the pause", log)
    expect("Level resumed" not in log, "the level ran on after the focus came back", log)
    expect(case.brightness("back.png") < 0.8 * case.brightness("level.png"), "no pause screen after the focus came back")
    expect(case.pixel("menu-again.png", PLAY_BESIDE_TEXT) == BUTTON_ORANGE, "Back did not return to the menu")


def escape_in_window(case):
    """In a window Escape is the Back key: it pauses a level and resumes it."""
    script = into_level(1) + key(120, "ESCAPE") + key(140, "ESCAPE") + "160 close\n"
    code, log = case.run(script, 200, window=True)
    expect(code == 0, f"exit code {code}", log)
    expect(lines_in_order(log, ["Level level_1 loaded", "Level paused", "Level resumed"]), "Escape did not pause and resume", log)


def screens(case):
    """The leaderboard screen names the levels as the game does, and the end screen of a lost level
    lays its two buttons out as a pair, centred."""
    script = (tap(40, LEADERBOARDS) + tap(70, PLAY) + tap(100, TILES[1])
              + "".join(drag(140 + 200 * i, [(240, 576), (240, 600), (240, 620)]) for i in range(3))
              + "900 capture lost.png\n")
    code, log = case.run(script, 910)
    expect(code == 0, f"exit code {code}", log)
    expect("Alert: Leaderboards\nLevel 1\n" in log and "\nlevel_1\n" not in log, "the leaderboard titles", log)
    expect("Level failed: level_1" in log, "level 1 was not lost", log)
    x, y = END_BUTTONS
    expect(case.pixel("lost.png", (x, y)) != BUTTON_ORANGE, "a button in the middle of the end panel")
    for side in [x - 98, x + 98]:
        expect(case.pixel("lost.png", (side, y)) == BUTTON_ORANGE, f"no button at {side}")


def saved_highscore(case, level):
    """The score and stars that the high scores saved in the documents folder hold for a level,
    deciphered under the save key as the game reads them."""
    plain = case.path("highscores.txt")
    case.cipher("decrypt", "save", os.path.join(case.documents, "highscores.lua"), plain)
    with open(plain) as f:
        text = f.read()
    entry = re.search(r"^" + re.escape(level) + r" = \{(.*?)^\}", text, re.M | re.S)
    expect(entry is not None, f"no entry for {level} in the saved high scores:\n{text}")
    values = dict(re.findall(r"^\s*(\w+) = ([-+.0-9eE]+),?$", entry.group(1), re.M))
    expect("score" in values and "stars" in values, f"the saved entry of {level} lacks its score or stars:\n{text}")
    return float(values["score"]), float(values["stars"])


def won_level(case, level):
    """A level played from the menu to its end screen by its recorded input script, which ends with
    a capture of that screen: the level is won on the way, with no script error, and the saved high
    scores hold the score and stars the end screen shows."""
    with open(os.path.join(WINNING_SCRIPTS, level + ".script")) as f:
        script = f.read()
    frames = [int(line.split()[0]) for line in script.splitlines() if line.split() and not line.lstrip().startswith("#")]
    code, log = case.run(script, frames[-1] + 1)
    expect(code == 0, f"exit code {code}", log)
    won = re.findall(r"^Level complete: " + re.escape(level) + r" score (\d+), (\d) stars$", log, re.M)
    expect(len(won) == 1, f"{level} was not won", log)
    for failure in ["Level failed", "Script error", "EXCEPTION", "Unable to"]:
        expect(failure not in log, f"\"{failure}\" in the log", log)
    score, stars = (int(value) for value in won[0])
    expect(saved_highscore(case, level) == (score, stars), f"the saved high score of {level} is not the {score} with {stars} stars shown")


CASES = {f.__name__: f for f in [pause_and_resume, quick_clicks, notice_tap, broken_level, unwritable_documents, cancelled_touch, failing_update,
                                 wrong_saves, unusable_saves, messages, options, back_key_and_focus, escape_in_window, screens,
                                 won_level]}


def main(argv):
    """Cases that take more (won_level: the level's name) find it after OUTPUT."""
    name, game, data, datacipher, out = argv[1:6]
    CASES[name](Case(game, data, datacipher, out), *argv[6:])
    print(f"{name}: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
