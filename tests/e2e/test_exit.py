"""Leaving the program: the promotion screen, refer-a-friend, Exit; and a saved reading opened."""
import os
import urllib.parse

from harness import (BOX_TITLE, MAIN_TITLE, SIGNS, E2ETestCase, MainWindow, desktop, find_all, find_one, has_state,
                     text_of, today, wait_for)

DOMAIN = "karvelle.example"
APPEALS = [
    "Karvelle Softwares, such as this can be created and maintained only with your support. The best way to "
    "support Karvelle is to visit %s regularly and take part in the discussions and other activities on the "
    "board." % DOMAIN,
    "Visit {0} regularly. Support {0} by taking part in the discussions and other activities. These softwares "
    "cannot be supported and maintained, without you regularly visiting {0}".format(DOMAIN),
    "{0} is a FREE online discussion forum for all things mystic. To help {0} develop and maintain this software "
    "visit Karvelle regularly.".format(DOMAIN),
    "{0} needs your help. All you need to do is visit {0} regularly and take part in the various discussions and "
    "activites to help us maintain and develop more Karvelle Softwares.".format(DOMAIN),
]


def scramble(text):
    return bytes(ord(c) + 85 for c in text)


class ExitFlow(E2ETestCase):

    def close_to_promotion(self, how):
        p, w = self.start_to_main_window()
        wid = p.wait_x_window(w)
        if how == "close box":
            self.session.close_window(wid)
        elif how == "alt+F4":
            p.focus(w)
            self.session.key("alt+F4")
        else:
            MainWindow(p, w).menu("alt+f", "x")
        promo = wait_for(p.promotion_window, "the promotion screen")
        wait_for(lambda: p.main_window() is None, "the main window to go")
        wait_for(lambda: len(p.x_windows(".*")) == 1, "the promotion screen to be the only window")
        self.assertTrue(p.alive())
        self.assertEqual(p.message_boxes(), [])
        self.assertEqual(self.session.opened(), [])
        return p, promo

    def test_close_box_shows_the_promotion_screen(self):
        self.session.write_reminder_date(today())
        with open(self.session.settings_file, "rb") as f:
            setting = f.read()
        stamp = os.stat(self.session.settings_file).st_mtime_ns
        p, promo = self.close_to_promotion("close box")
        self.assertEqual(promo.name, MAIN_TITLE)
        p.wait_placed(promo)
        labels = [a.name for a in find_all(promo, "label")]
        self.assertIn("Zenor Lyrandel v1.15", labels)
        self.assertEqual(len([t for t in labels if t in APPEALS]), 1, labels)
        find_one(promo, "link", "Click Here To Visit www.karvelle.example Now")
        find_one(promo, "link", "Click Here To Visit Karvelle Softwares")
        exit_button = find_one(promo, "push button", "Exit")
        p.focus(promo)
        wait_for(lambda: has_state(exit_button, "focused"), "the Exit button to hold the focus")
        self.session.click(exit_button)
        self.assertEqual(p.wait_exit(), 0)
        self.assertEqual(os.listdir(self.session.runtime), [], "the instance lock is left behind")
        # Leaving writes nothing: the reminder's date is written at start-up only.
        with open(self.session.settings_file, "rb") as f:
            self.assertEqual(f.read(), setting)
        self.assertEqual(os.stat(self.session.settings_file).st_mtime_ns, stamp)
        self.assertEqual(os.listdir(self.session.config), ["zenor-lyrandel.conf"])

    def test_alt_f4_then_enter_presses_exit(self):
        p, promo = self.close_to_promotion("alt+F4")
        p.focus(promo)
        self.session.key("Return")
        self.assertEqual(p.wait_exit(), 0)

    def test_file_exit_then_the_links_then_the_close_box(self):
        p, promo = self.close_to_promotion("File Exit")
        self.session.click(find_one(promo, "link", "Click Here To Visit www.karvelle.example Now"))
        self.session.wait_opened(1)
        self.session.click(find_one(promo, "link", "Click Here To Visit Karvelle Softwares"))
        self.assertEqual(self.session.wait_opened(2),
                         ["http://www.karvelle.example", "http://www.karvelle.example/karvellesoftwares"])
        self.assertTrue(p.alive())
        self.session.close_window(p.wait_x_window(promo))
        self.assertEqual(p.wait_exit(), 0)

    @desktop(screen="1024x600")
    def test_every_window_within_reach_on_a_small_screen_at_one_and_a_half_times(self):
        promo = self.every_window_within_reach(scale=1.5)
        self.assertGreater(promo[2], 1024, "the promotion screen should overhang this screen")

    @desktop(screen="800x600")
    def test_every_window_within_reach_on_an_800_by_600_screen(self):
        self.every_window_within_reach(scale=1)

    def every_window_within_reach(self, scale):
        """Main window, About box, promotion screen: each frame whole on the screen where it fits, and at the
        edge it overhangs where it does not, title bar and close box on the screen. Returns the last frame."""
        p, w = self.start_to_main_window(dict(self.session.env, QT_SCALE_FACTOR=str(scale)))
        p.wait_placed(w)
        main = MainWindow(p, w)
        main.menu("alt+h", "a")
        about = wait_for(lambda: (p.windows("dialog", MAIN_TITLE) or [None])[0], "the About box")
        p.wait_placed(about)
        p.focus(about)
        self.session.key("Escape")
        wait_for(lambda: not p.windows("dialog"), "the About box to close")
        main.menu("alt+f", "x")
        promo = wait_for(p.promotion_window, "the promotion screen")
        frame = p.wait_placed(promo)
        p.focus(promo)
        self.session.key("Return")
        self.assertEqual(p.wait_exit(), 0)
        return frame

    def test_refer_a_friend_sends_what_was_typed(self):
        p, promo = self.close_to_promotion("close box")
        entries = [("Your Name", "Ann & Bob = #1? 100% +"),
                   ("Your Email Address", "ann+tag@mail.example"),
                   ("Friend's Name", "Zoe O'Hara"),
                   ("Friend's Email Address", "bob@friends.example")]
        for field_name, value in entries:
            field = find_one(promo, "text", field_name)
            self.session.click(field)
            wait_for(lambda: text_of(field) == "", "%r to clear its placeholder" % field_name)
            self.session.type(value)
            wait_for(lambda: text_of(field) == value, "%r typed" % field_name)
        self.session.click(find_one(promo, "push button", "Refer A Friend Now"))
        address = self.session.wait_opened(1)[0]
        self.assertEqual(p.message_boxes(), [])

        base, _, query = address.partition("?")
        self.assertEqual(base, "http://www.karvelle.example/zenorms-refer-a-friend.php")
        pairs = [pair.split("=", 1) for pair in query.split("&")]
        self.assertEqual([k for k, _ in pairs], ["taf1", "taf2", "taf3", "taf4", "taf5", "taf6"])
        values = [urllib.parse.unquote(v, errors="strict") for _, v in pairs]
        self.assertEqual(values, [entries[0][1], entries[1][1], "Your Message\r\n", entries[2][1], entries[3][1],
                                  "http://www.karvelle.example/zenor-free-lyrandel/"])
        # Nothing on the screen changes; a second press sends again.
        self.assertEqual(text_of(find_one(promo, "text", "Your Name")), entries[0][1])
        self.session.click(find_one(promo, "push button", "Refer A Friend Now"))
        self.assertEqual(self.session.wait_opened(2), [address, address])
        self.assertTrue(p.alive())


class SavedReading(E2ETestCase):

    def test_open_a_saved_reading(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        main.type_name("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name typed")
        path = os.path.join(self.session.home, "reading.num")
        with open(path, "wb") as f:
            f.write(b"Zenor\r\nAnn\r\n\r\n" + scramble("7") + b"\r" + scramble("12") + b"\r\n" + scramble("1991"))
        main.open_saved(path)
        wait_for(lambda: not p.windows("dialog"), "the dialog to close")
        wait_for(lambda: main.front_page() == "result", "the result page")
        self.assertIn(main.reading()[0], [s[0] for s in SIGNS])
        self.assertEqual(p.message_boxes(), [])
        # The promotion screen now exists but stays hidden until the main window closes.
        self.assertEqual(len(p.x_windows(".*")), 1)
        self.assertIsNone(p.promotion_window())
        self.session.close_window(p.wait_x_window(w))
        wait_for(p.promotion_window, "the promotion screen")
        wait_for(lambda: p.main_window() is None, "the main window to go")
        self.assertTrue(p.alive())

    def test_typed_names_with_and_without_the_suffix(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        main.type_name("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name typed")
        folder = os.path.join(self.session.home, "saved")
        os.makedirs(folder)
        for name in ("datanum", "reading.num"):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"1\r\n2\r\n3\r\n")
        # An existing file without a dot is taken as typed; a name that does not exist gets "num".
        for typed in ("datanum", "reading"):
            main.open_saved(os.path.join(folder, typed))
            wait_for(lambda: not main.find_open_dialog(), "the dialog to close")
            wait_for(lambda: main.front_page() == "result", "the result page")
            self.assertIn(main.reading()[0], [s[0] for s in SIGNS])
            self.assertEqual(p.message_boxes(), [])
            main.acc = p.wait_main_window()
            p.focus(main.acc)
            self.session.key("alt+b")
            wait_for(lambda: main.front_page() == "input", "the input page")
            main.type_name("Ann")
        # The dialog's history and last folder are not left in the settings folder.
        self.assertEqual(os.listdir(self.session.config), ["zenor-lyrandel.conf"])

    def test_wrong_extension_is_refused(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        path = os.path.join(self.session.home, "READING.NUM")
        with open(path, "wb") as f:
            f.write(b"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n")
        # The title as the window manager draws it where there is room, and a window to take the focus from both.
        windows = []
        for title, at in ((BOX_TITLE, "+0+800"), ("holder", "+640+800")):
            self.session.spawn_helper(["xmessage", "-title", title, "-geometry", "600x60" + at, title])
            search = ("search", "--onlyvisible", "--name", "^%s$" % title)
            windows.append(int(wait_for(lambda: self.session.xdo(*search), title)))
        ref, holder = windows
        main.open_saved(path)
        box = p.wait_x_window(p.wait_message_box())
        self.session.xdo("windowactivate", str(holder))

        def title_whole():
            # The title over the wide window: the columns of its middle half unlike the bar beside them...
            w, h, bar = p.title_bar(ref)
            ink = [x for x in range(w // 4, w * 3 // 4)
                   if any(abs(bar[r * w + x] - bar[r * w + w // 4]) > 60 for r in range(h))]
            title = [bar[r * w + ink[0] - 2:r * w + ink[-1] + 3] for r in range(h)]
            # ... found pixel for pixel in the box's title bar.
            bw, bh, box_bar = p.title_bar(box)
            return bh == h and any(all(box_bar[r * bw + x:r * bw + x + len(title[r])] == title[r] for r in range(h))
                                   for x in range(bw - len(title[0]) + 1))
        wait_for(title_whole, "the box's title drawn whole", timeout=5)
        self.assertEqual(p.dismiss_box("Return"), ["Please Check The File."])
        self.assertEqual(main.front_page(), "input")
