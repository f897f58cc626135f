"""A person's first day: start, wrong names, a reading, Back, every link, the About box."""
import os

from harness import (MAIN_TITLE, SIGNS, E2ETestCase, MainWindow, children, desktop, do_action, find_all,
                     find_one, has_state, picture_distance, press_without_waiting, sign_picture, text_of, today,
                     wait_for)

MAIN = "http://www.karvelle.example"
HELP = "http://help.karvelle.example"


class ReadingDay(E2ETestCase):

    def test_first_start_writes_today_silently(self):
        self.assertIsNone(self.session.reminder_date())
        p, w = self.start_to_main_window()
        self.assertEqual(w.name, MAIN_TITLE)
        # Written once the first frame is out, so not necessarily by the time the window is found.
        wait_for(lambda: self.session.reminder_date() == today().isoformat(), "today's date in the settings")
        p.wait_placed(w)
        main = MainWindow(p, w)
        self.assertEqual(main.front_page(), "input")
        wait_for(lambda: main.focused("text", "Enter First Name"), "the name field to hold the focus")
        self.assertEqual(self.session.opened(), [])

    def test_refused_names_then_a_reading_then_back(self):
        self.refused_names_then_a_reading_then_back(scale=1)

    def test_refused_names_then_a_reading_then_back_on_a_high_density_screen(self):
        self.refused_names_then_a_reading_then_back(scale=2)

    def refused_names_then_a_reading_then_back(self, scale):
        env = dict(self.session.env, QT_SCALE_FACTOR=str(scale)) if scale > 1 else None
        p, w = self.start_to_main_window(env)
        main = MainWindow(p, w)

        # An empty name is refused and leaves the input page in front.
        self.session.click(find_one(w, "push button", "Get My Lyrandel Reading"))
        box = p.wait_message_box()
        self.assertEqual(box.name, "Zenor Lyrandel")
        self.assertEqual(p.dismiss_box("Return"), ["Please Enter Your First Name"])
        self.assertEqual(main.front_page(), "input")
        wait_for(lambda: main.focused("text", "Enter First Name"), "the focus back in the name field")

        # A digit is dropped with its message; the letters before it stay.
        main.type_name("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name typed")
        self.session.type("7")
        self.assertEqual(p.dismiss_box("Return"), ["Please Enter Character Only"])
        self.assertEqual(text_of(main.name_field()), "Ann")
        self.assertEqual(p.message_boxes(), [])

        # Alt chords and Ctrl chords that produce no character type nothing and say nothing; the letter
        # typed after them proves that they have all been handled.
        for chord in ("alt+1", "alt+minus", "alt+period", "alt+shift+1", "alt+eacute", "ctrl+1", "ctrl+period",
                      "ctrl+2"):
            self.session.key(chord)
        self.session.type("e")
        wait_for(lambda: text_of(main.name_field()) == "Anne", "the letter after the chords")
        self.assertEqual(p.message_boxes(), [])
        # Ctrl chords that produce a control code are refused like any other character.
        for chord in ("ctrl+minus", "ctrl+bracketleft", "ctrl+shift+2", "ctrl+shift+6", "ctrl+Return",
                      "ctrl+KP_Enter"):
            self.session.key(chord)
            self.assertEqual(p.dismiss_box("Return"), ["Please Enter Character Only"], chord)
            self.assertEqual(text_of(main.name_field()), "Anne")
        # AltGr is not Alt: the "@" it gives on a German layout is a character, and refused as one.
        self.session.keyboard_layout("de")
        self.session.key("ISO_Level3_Shift+q")
        self.assertEqual(p.dismiss_box("Return"), ["Please Enter Character Only"])
        self.session.keyboard_layout("us")
        self.assertEqual(text_of(main.name_field()), "Anne")

        # The question is free text; the reading ignores it.
        self.session.click(main.question_field())
        wait_for(lambda: main.focused("text", "Ask A Question"), "the question field to take the focus")
        self.session.type("Will it rain?")
        wait_for(lambda: text_of(main.question_field()) == "Will it rain?", "the question typed")
        self.session.key("alt+g")
        wait_for(lambda: main.front_page() == "result", "the result page")
        name, keyword, interpretation = main.reading()
        names = [s[0] for s in SIGNS]
        self.assertIn(name, names)
        sign = SIGNS[names.index(name)]
        self.assertEqual(keyword, sign[1])
        self.assertTrue(interpretation.startswith(sign[2]), interpretation)
        # What a screen reader announces for the picture.
        self.assertEqual(main.picture().name, name + " sign")
        self.assertTrue(284 <= len(interpretation) <= 388, len(interpretation))
        # The drawn sign's own picture is on screen, unscaled, and no other sign's fits as well: the 74 x 74
        # one, or on a dense screen its 148 x 148 drawing, pixel for pixel.
        screen = self.session.grey_pixels(main.picture())
        size = 74 * scale
        distance, where = picture_distance(screen, sign_picture(names.index(name), scale), size)
        # Qt and ImageMagick decode the file alike, so anything but a copy shows.
        self.assertLess(distance, 1, "the sign's picture is not shown pixel for pixel (mean grey difference %.2f "
                                     "at %r)" % (distance, where))
        others = [picture_distance(screen, sign_picture(i, scale), size, where)[0]
                  for i in range(24) if i != names.index(name)]
        self.assertLess(distance, min(others))
        self.assertTrue(main.focused("push button", "Back"))
        self.assertEqual(p.message_boxes(), [])

        # Back (Space on the focused button) empties both fields.
        self.session.key("space")
        wait_for(lambda: main.front_page() == "input", "the input page")
        self.assertEqual(text_of(main.name_field()), "")
        self.assertEqual(text_of(main.question_field()), "")
        wait_for(lambda: main.focused("text", "Enter First Name"), "the focus in the name field")
        self.assertEqual(self.session.opened(), [])

    def test_alt_o_opens_the_open_dialog_from_either_page(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        main.type_name("Ada")
        for page in ("input", "result"):
            self.assertEqual(main.front_page(), page)
            p.focus(w)
            self.session.key("alt+o")
            dialog = wait_for(main.find_open_dialog, "the Open dialog on the %s page" % page)
            p.focus(dialog)
            self.session.key("Escape")
            wait_for(lambda: main.find_open_dialog() is None, "the Open dialog to close")
            self.assertEqual(p.message_boxes(), [])
            if page == "input":
                p.focus(w)
                self.session.key("alt+g")
                wait_for(lambda: main.front_page() == "result", "the result page")
        # The switched-off "Make Money &Online" is not shown, so it claims no key.
        self.assertEqual(find_all(w, "menu item", "Make Money Online"), [])

    def test_every_menu_item_opens_its_page(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        expected = []
        for keys, address in ((("alt+h", "o"), MAIN + "/zenor-free-lyrandel/zenor-free-lyrandel-help.html"),
                              (("alt+h", "v"), MAIN),
                              (("alt+h", "c"), MAIN + "/zenor-free-lyrandel/download-zenor-free-lyrandel.html"),
                              (("alt+d",), HELP + "/donate.html")):
            main.menu(*keys)
            expected.append(address)
            self.session.wait_opened(len(expected))
            self.assertEqual(self.session.opened(), expected)
        # The switched-off command is hidden: no screen reader announces a command nobody can see.
        self.assertEqual(find_all(w, "menu item", "Make Money Online"), [])
        self.assertEqual(p.message_boxes(), [])
        self.assertTrue(p.alive())

    def test_every_link_label_opens_its_page(self):
        p, w = self.start_to_main_window()
        banner = find_one(w, "link", pred=lambda a: a.name.startswith("Join the free discussion board"))
        self.session.click(banner)
        self.assertEqual(self.session.wait_opened(1), [MAIN])

        # The two branding labels share one rectangle: the one in front takes the click, and only it is read.
        targets = {"Home Business Opportunity.": HELP + "/fully-branded.html",
                   "Co-brand this software for your site.": HELP + "/co-brand.html"}
        front = find_one(w, "link", pred=lambda a: any(a.name.startswith(t) for t in targets))
        self.session.click(front)
        self.assertEqual(self.session.wait_opened(2)[1:], [t for s, t in targets.items() if front.name.startswith(s)])
        do_action(front)  # as a screen reader presses it
        opened = self.session.wait_opened(3)
        self.assertEqual(opened[2], opened[1])
        self.assertEqual(p.message_boxes(), [])

    def test_about_box(self):
        p, w = self.start_to_main_window()
        main = MainWindow(p, w)
        # Off the middle, so that a box placed over its window is not centred by chance.
        main_wid = p.wait_x_window(w)
        self.session.move_window(main_wid, 0, 0)
        wait_for(lambda: max(p.frame_geometry(w)[:2]) <= 0, "the main window to move to the corner")
        main.menu("alt+h", "a")
        about = wait_for(lambda: (p.windows("dialog", MAIN_TITLE) or [None])[0], "the About box")
        labels = [a.name for a in find_all(about, "label")]
        self.assertIn("Zenor Lyrandel v1.15", labels)
        self.assertTrue(any(t.startswith(
            "Zenor Lyrandel generates a Greek alphabet based reading for your day-to-day problems. This will "
            "guide you to find solutions for your problems and help you attain your goals.") for t in labels))
        self.assertIn("Home Business Opportunity. Start your own Internet business and make money online. "
                      "Get this software fully branded for your website.", labels)
        wait_for(lambda: has_state(find_one(about, "push button", "OK"), "focused"), "OK to hold the focus")
        p.wait_placed(about)
        # A dialog of the main window to the window manager, which keeps it over that window.
        props = p.x_properties(about, "_NET_WM_WINDOW_TYPE", "WM_TRANSIENT_FOR")
        self.assertRegex(props, r"_NET_WM_WINDOW_TYPE\(ATOM\) = _NET_WM_WINDOW_TYPE_DIALOG\b")
        self.assertIn("WM_TRANSIENT_FOR(WINDOW): window id # %#x\n" % main_wid, props)
        # Tab reaches the links and draws the focus around the one Space will press; Space with Shift or
        # Ctrl presses nothing. The box stays open.
        p.focus(about)
        home = find_one(about, "link", "Click here to visit " + MAIN)
        unfocused = self.session.grey_pixels(home)
        self.session.key("Tab")
        wait_for(lambda: has_state(home, "focused"), "the home-page link to take the focus")
        width, height, _ = unfocused
        edge = lambda screen: screen[2][width:2 * width] + screen[2][(height - 2) * width:(height - 1) * width]
        wait_for(lambda: edge(self.session.grey_pixels(home)) != edge(unfocused), "the link's focus rectangle")
        self.session.key("shift+space")
        self.session.key("ctrl+space")
        self.session.key("space")
        self.assertEqual(self.session.wait_opened(1), [MAIN])
        self.assertIn(about, p.windows("dialog"))

        self.session.click(find_one(about, "link", "Click here for more details"))
        self.assertEqual(self.session.wait_opened(2), [MAIN, HELP + "/fully-branded.html"])
        self.session.click(home)
        self.assertEqual(self.session.wait_opened(3), [MAIN, HELP + "/fully-branded.html", MAIN])
        self.assertIn(about, p.windows("dialog"))
        # A screen reader can still press a link.
        do_action(home)
        self.assertEqual(len(self.session.wait_opened(4)), 4)

        p.focus(about)
        self.session.key("Escape")
        wait_for(lambda: not p.windows("dialog"), "the About box to close on Esc")

        # A second opening is a fresh box; Enter presses OK even while a link has the focus.
        main.menu("alt+h", "a")
        again = wait_for(lambda: (p.windows("dialog", MAIN_TITLE) or [None])[0], "the About box again")
        p.focus(again)
        self.session.key("Tab")
        wait_for(lambda: has_state(find_one(again, "link", "Click here to visit " + MAIN), "focused"),
                 "the home-page link to take the focus")
        self.session.key("Return")
        wait_for(lambda: not p.windows("dialog"), "the About box to close on Enter")
        self.assertTrue(p.alive())
        self.assertIsNotNone(p.main_window())
        self.assertEqual(len(self.session.opened()), 4)

    @desktop(wayland=True)
    def test_a_reading_the_about_box_and_exit_on_wayland(self):
        """On a Wayland compositor and no X server, as Qt chooses on a person's Wayland session. Keys cannot be
        sent to a headless compositor: the accessibility bus, which needs no display, presses the controls."""
        p, w = self.start_to_main_window()
        with open("/proc/%d/maps" % p.pid) as f:
            self.assertIn("/libqwayland-", f.read(), "Qt's Wayland platform plugin")
        main = MainWindow(p, w)
        main.name_field().queryEditableText().setTextContents("Ann")
        wait_for(lambda: text_of(main.name_field()) == "Ann", "the name entered")
        do_action(find_one(w, "push button", "Get My Lyrandel Reading"))
        wait_for(lambda: main.front_page() == "result", "the result page")
        name, keyword, interpretation = main.reading()
        sign = [s for s in SIGNS if s[0] == name][0]
        self.assertEqual((keyword, interpretation[:len(sign[2])]), sign[1:])

        press_without_waiting(find_one(w, "menu item", "About Software"))
        about = wait_for(lambda: (p.windows("dialog", MAIN_TITLE) or [None])[0], "the About box")
        self.assertIn("Zenor Lyrandel v1.15", [a.name for a in find_all(about, "label")])
        do_action(find_one(about, "push button", "OK"))
        wait_for(lambda: not p.windows("dialog"), "the About box to close")

        do_action(find_one(w, "menu item", "Exit"))
        promo = wait_for(p.promotion_window, "the promotion screen")
        wait_for(lambda: p.main_window() is None, "the main window to go")
        press_without_waiting(find_one(promo, "push button", "Exit"))
        self.assertEqual(p.wait_exit(), 0)
        # Not a word about windows it may not place or keep on top. Qt's accessibility bridge may say that this
        # test asked it for the About box after the box was gone.
        with open(os.path.join(self.session.root, "program.log")) as log:
            said = [line for line in log if not line.startswith("qt.accessibility.atspi: Could not find accessible")]
        self.assertEqual(said, [])
