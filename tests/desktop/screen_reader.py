"""What a screen reader finds in the running program, asked through AT-SPI as a reader asks.

Run by screen_reader.sh with the program already up on a desktop whose accessibility bus is
on. Prints one line for each fault and exits 1 when there was any; drives the program as a
screen-reader user would (actions, values, keys) and leaves it closed.
"""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

faults = []


def fault(text):
    faults.append(text)
    print("FAIL: " + text, flush=True)


def check(ok, text):
    if not ok:
        fault(text)
    return ok


def wait_for(predicate, seconds=10.0):
    """Runs the event loop until predicate() holds; returns its last value."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while True:
        while context.pending():
            context.iteration(False)
        value = predicate()
        if value or time.monotonic() > end:
            return value
        time.sleep(0.05)


def settle(seconds=0.4):
    wait_for(lambda: False, seconds)


def application():
    def find():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "SC_CONVERTER":
                return app
        return None
    return wait_for(find, 15)


def has(obj, state):
    return obj.getState().contains(state)


def walk(obj, visible_only=True):
    """The object and its descendants; below an invisible object there is nothing to hear."""
    yield obj
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is None or (visible_only and not has(child, pyatspi.STATE_VISIBLE)):
            continue
        yield from walk(child, visible_only)


def find(root, role, name):
    for obj in walk(root):
        if obj.getRoleName() == role and obj.name == name:
            return obj
    return None


def press(obj):
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, f"{obj.getRoleName()} '{obj.name}' has no Press action: {names}")
    if "Press" in names:
        action.doAction(names.index("Press"))
    settle()


def label_of(obj):
    for relation in obj.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return relation.getTarget(0).name
    return None


def text_of(obj):
    return obj.queryText().getText(0, -1)


# The hints of the controls, exactly as they are shown.
HINTS = {
    ("push button", "登録"): " C:\\Program Files\\snapcycle 内のファイルを取得",
    ("push button", "ｸﾘｱ"): " 登録したファイルをクリア",
    ("push button", "ﾘｾｯﾄ"): " 各種設定のリセット",
    ("push button", "info."): " インフォメーションの表示",
    ("push button", "Readme.txt を開く"): " ユーザーズガイドの参照",
    ("push button", "最小化"): " 最小化",
    ("push button", "閉じる"): " 閉じる",
    ("push button", "日本語"): " 日本語化",
    ("push button", "English"): " 英語化",
    ("push button", "JPEG変換(日付ﾘﾈｰﾑ)"): " BMP→JPEG変換(日付リネーム)",
    ("push button", "HTML変換(ﾎｰﾑﾍﾟｰｼﾞ)"): " BMP,JPEG→HTML変換",
    ("push button", "ﾌﾟﾘﾝﾄ出力"): "BMP,JPEG→プリント出力",
    ("combo box", "保存先 ："): " 変換後のJPEGファイルの保存先",
    ("combo box", "日付ﾘﾈｰﾑ ："): " 変換後のファイルのリネーム",
    ("combo box", "画質 ："): " JPEGファイルの画質(圧縮率)",
    ("text", "任意文字"): " 日付の任意文字",
    ("spin button", "明るさ"): " 画像の明るさ",
    ("spin button", "ｺﾝﾄﾗｽﾄ"): " 画像のコントラスト",
    ("spin button", "色階調(R)"): " 画像の色階調(赤)",
    ("spin button", "色階調(G)"): " 画像の色階調(緑)",
    ("spin button", "色階調(B)"): " 画像の色階調(青)",
    ("spin button", "色相"): " 画像の色相",
    ("spin button", "彩度"): " 画像の彩度",
    ("spin button", "明度"): " 画像の明度",
    ("text", "ﾀｲﾄﾙ"): " タイトルの文字",
    ("combo box", "印刷ﾓｰﾄﾞ ："): " 印刷モード",
    ("text", "ﾍｯﾀﾞｰ"): " ヘッダー文字列",
    ("text", "ﾌｯﾀｰ"): " フッター文字列",
}

# (role, Japanese name, English name) of what each page holds beside the window's own
# controls; a choice list is known by its label, since its name is its chosen item.
FRAME = [
    ("status bar", "変換元の画像ファイル or フォルダをドロップしてください。",
     "Drop source files or a source folder here."),
    ("list", "対象ﾌｧｲﾙ", "Source Files"),
    ("push button", "登録", "Get Files"),
    ("push button", "ｸﾘｱ", "Clear"),
    ("push button", "JPEG変換(日付ﾘﾈｰﾑ)", "JPEG Transform"),
    ("push button", "HTML変換(ﾎｰﾑﾍﾟｰｼﾞ)", "HTML Transform"),
    ("push button", "ﾌﾟﾘﾝﾄ出力", "Print"),
    ("push button", "ﾘｾｯﾄ", "Default"),
    ("push button", "OK", "OK"),
    ("push button", "info.", "info."),
    ("push button", "Readme.txt を開く", "Open Readme.txt"),
    ("push button", "最小化", "Minimise"),
    ("push button", "閉じる", "Close"),
    ("push button", "日本語", "日本語"),
    ("push button", "English", "English"),
]
PAGES = {
    "jpeg": [
        ("combo box", "保存先 ：", "In Folder ："),
        ("text", "ﾊﾟｽ", "Path"),
        ("push button", "ﾊﾟｽ ...", "Path ..."),
        ("combo box", "日付ﾘﾈｰﾑ ：", "Edit Date ："),
        ("text", "任意文字", "String"),
        ("combo box", "画質 ：", "Quality ："),
        ("spin button", "明るさ", "Brightness"),
        ("spin button", "ｺﾝﾄﾗｽﾄ", "Contrast"),
        ("spin button", "色階調(R)", "Balance(R)"),
        ("spin button", "色階調(G)", "Balance(G)"),
        ("spin button", "色階調(B)", "Balance(B)"),
        ("spin button", "色相", "Hue"),
        ("spin button", "彩度", "Saturation"),
        ("spin button", "明度", "Lightness"),
        ("image", "変換前の画像", "Source picture"),
        ("image", "変換後の画像(JPEG)", "Converted picture (JPEG)"),
    ],
    "album": [
        ("combo box", "画質 ：", "Quality ："),
        ("text", "ﾀｲﾄﾙ", "Title"),
    ],
    "print": [
        ("combo box", "印刷ﾓｰﾄﾞ ：", "Format ："),
        ("text", "ﾍｯﾀﾞｰ", "Header"),
        ("text", "ﾌｯﾀｰ", "Footer"),
        ("image", "印刷プレビュー", "Print preview"),
    ],
}
MODE_BUTTON = {"jpeg": 4, "album": 5, "print": 6}  # rows of FRAME

# What holds controls, and what a control is; any other role in the tree is a fault.
CONTAINERS = {"filler", "panel", "frame", "layered pane", "window"}
CONTROLS = {"push button", "toggle button", "combo box", "list", "list item", "text",
            "spin button", "status bar", "image", "label"}

TUNING = {  # Japanese name: range
    "明るさ": (-100, 100), "ｺﾝﾄﾗｽﾄ": (-100, 100), "色階調(R)": (-100, 100),
    "色階調(G)": (-100, 100), "色階調(B)": (-100, 100), "色相": (-180, 180),
    "彩度": (-100, 100), "明度": (-100, 100),
}
QUALITY_ITEMS = ["1-低画質(高圧縮率)", "2-標準", "3-高画質", "4-最高画質(低圧縮率)"]


def control(window, role, name):
    """A control by role and name; a choice list by the label it is labelled by."""
    for obj in walk(window):
        if obj.getRoleName() != role:
            continue
        if role == "combo box" and label_of(obj) == name:
            return obj
        if role != "combo box" and obj.name == name:
            return obj
    return None


def check_every_control(window, where):
    for obj in walk(window):
        role = obj.getRoleName()
        if obj is window:
            continue
        if not check(role in CONTAINERS | CONTROLS,
                     f"{where}: '{obj.name}' has the role '{role}'"):
            continue
        if role in CONTROLS:
            check(obj.name.strip() != "", f"{where}: a {role} without a name "
                  f"(parent {obj.parent.getRoleName()} '{obj.parent.name}')")
        if role == "spin button":
            check(obj.childCount == 0,
                  f"{where}: spin button '{obj.name}' has {obj.childCount} parts of its own")


def check_page(window, page, japanese):
    where = f"{page} page, {'Japanese' if japanese else 'English'}"
    mode = FRAME[MODE_BUTTON[page]]
    button = control(window, mode[0], mode[1] if japanese else mode[2])
    if not check(button is not None, f"{where}: no mode button"):
        return
    if not has(button, pyatspi.STATE_CHECKED):
        press(button)
    check(has(button, pyatspi.STATE_CHECKED), f"{where}: the mode button is not checked")
    check_every_control(window, where)
    for role, ja, en in FRAME + PAGES[page]:
        name = ja if japanese else en
        obj = control(window, role, name)
        if not check(obj is not None, f"{where}: no {role} named '{name}'"):
            continue
        hint = HINTS.get((role, ja))
        if hint is not None:  # hints never change with the language
            check(obj.description == hint,
                  f"{where}: {role} '{name}' describes itself as '{obj.description}'")
        if role == "combo box":
            check(obj.name != "", f"{where}: choice list '{name}' does not say its item")


def check_tuning_boxes(window):
    for name, (low, high) in TUNING.items():
        box = control(window, "spin button", name)
        if not check(box is not None, f"no spin button '{name}'"):
            continue
        try:
            value = box.queryValue()
        except NotImplementedError:
            fault(f"spin button '{name}' has no value")
            continue
        read = (value.currentValue, value.minimumValue, value.maximumValue, value.minimumIncrement)
        check(read == (0, low, high, 5), f"'{name}' reads value, range and step {read}")
    box = control(window, "spin button", "明るさ")
    if box is None:
        return
    value = box.queryValue()
    value.currentValue = 25
    settle()
    check((value.currentValue, text_of(box)) == (25, "25"),
          f"brightness set to 25 reads {value.currentValue}, shows '{text_of(box)}'")
    value.currentValue = 250
    settle()
    check(value.currentValue == 100, f"brightness set to 250 reads {value.currentValue}")
    value.currentValue = 25
    settle()


class Events:
    def __init__(self, *kinds):
        self.seen = []
        self.kinds = kinds
        for kind in kinds:
            pyatspi.Registry.registerEventListener(self.seen.append, kind)

    def close(self):
        for kind in self.kinds:
            pyatspi.Registry.deregisterEventListener(self.seen.append, kind)


def focus_events(events, gained=True):
    return [e.source for e in events.seen
            if e.type.startswith("object:state-changed:focused") and (e.detail1 == 1) == gained]


def check_keys_on_tuning_box(window):
    """The focus lands on a tuning box itself, Shift+Tab from the next box too, Up is heard."""
    contrast = control(window, "spin button", "ｺﾝﾄﾗｽﾄ")
    box = control(window, "spin button", "明るさ")
    if contrast is None or box is None:
        return
    events = Events("object:state-changed:focused", "object:property-change:accessible-value")
    check(contrast.queryComponent().grabFocus(), "the contrast box takes no focus through AT-SPI")
    focused = wait_for(lambda: focus_events(events))
    check(focused and focused[-1] is contrast,
          f"focusing the contrast box focused {[(o.getRoleName(), o.name) for o in focused]}")
    events.seen.clear()
    subprocess.run(["xdotool", "key", "shift+Tab"], check=False)
    focused = wait_for(lambda: focus_events(events))
    check(focused and focused[-1] is box, "Shift+Tab from the contrast box focused " +
          str([(o.getRoleName(), o.name) for o in focused]))
    subprocess.run(["xdotool", "key", "Up"], check=False)
    heard = wait_for(lambda: [e for e in events.seen if e.source is box
                              and e.type.startswith("object:property-change:accessible-value")])
    check(bool(heard), "Up on the brightness box raised no value change")
    check(box.queryValue().currentValue == 30,
          f"Up on brightness 25 reads {box.queryValue().currentValue}")
    events.close()


def check_quality_choice(window):
    quality = control(window, "combo box", "画質 ：")
    if quality is None:
        return
    check(quality.name == "3-高画質", f"the quality list says '{quality.name}'")
    items = list(walk(quality.getChildAtIndex(0), visible_only=False))[1:] \
        if quality.childCount else []
    check([i.name for i in items] == QUALITY_ITEMS,
          f"the quality list offers {[i.name for i in items]}")
    if len(items) != 4:
        return
    check(has(items[2], pyatspi.STATE_SELECTED), "the chosen quality is not the selected item")
    action = items[3].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if check("Toggle" in names, f"a quality item offers {names}"):
        action.doAction(names.index("Toggle"))
    settle()
    check(quality.name == QUALITY_ITEMS[3], f"choosing the best quality left '{quality.name}'")
    check(has(items[3], pyatspi.STATE_SELECTED) and not has(items[2], pyatspi.STATE_SELECTED),
          "the chosen quality item is not the one selected")


def check_status_line_during_job(app, window):
    idle = "Drop source files or a source folder here."
    # Heard or not, whatever role it has (that fault is told already).
    status = control(window, "status bar", idle) or control(window, "label", idle)
    ok = control(window, "push button", "OK")
    if status is None or ok is None:
        return
    events = Events("object:text-changed:insert")
    x, y, w, h = ok.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                   check=False)

    def question():
        for i in range(app.childCount):
            top = app.getChildAtIndex(i)
            no = top and top is not window and find(top, "push button", "No")
            if no:
                return no
        return None
    no = wait_for(question, 30)
    if check(no is not None, "the JPEG job did not ask its end question"):
        press(no)
    back = wait_for(lambda: [e for e in events.seen if e.source is status and e.any_data == idle])
    said = [e.any_data for e in events.seen if e.source is status]
    check(any(re.fullmatch(r"\d+/3 枚目の変換処理中です。", s) for s in said),
          f"no progress of the job was heard from the status line: {said}")
    check(bool(back), f"the idle prompt was not heard after the job: {said}")
    print("heard from the status line during the job: " + " | ".join(said), flush=True)
    events.close()


def main():
    app = application()
    if app is None:
        fault("the program is not in the accessibility tree")
        return
    window = next(top for top in (app.getChildAtIndex(i) for i in range(app.childCount))
                  if top is not None and has(top, pyatspi.STATE_SHOWING))
    check(window.getRoleName() == "frame" and window.name == "SC_CONVERTER",
          f"the main window is a {window.getRoleName()} named '{window.name}'")
    # Before anything is pressed: the status line as it was made.
    check(control(window, "status bar", FRAME[0][1]) is not None,
          "the status line is not a status bar saying the idle prompt: " +
          str([(o.getRoleName(), o.name) for o in walk(window) if "ドロップ" in o.name]))
    for page in ("album", "print", "jpeg"):
        check_page(window, page, japanese=True)
    check_tuning_boxes(window)
    check_keys_on_tuning_box(window)
    check_quality_choice(window)
    press(control(window, "push button", "English"))
    for page in ("album", "print", "jpeg"):
        check_page(window, page, japanese=False)
    japanese, english = (control(window, "push button", n) for n in ("日本語", "English"))
    check(japanese and english and has(english, pyatspi.STATE_CHECKED)
          and not has(japanese, pyatspi.STATE_CHECKED),
          "the language buttons do not read English as the one down")
    quality = control(window, "combo box", "Quality ：")
    check(quality is not None and quality.name == "4-Best(LowCompression)",
          "the chosen quality did not follow the language: " + (quality.name if quality else ""))
    if quality is not None and quality.childCount:
        items = quality.getChildAtIndex(0)
        chosen = [items.getChildAtIndex(i).name for i in range(items.childCount)
                  if has(items.getChildAtIndex(i), pyatspi.STATE_SELECTED)]
        check(chosen == ["4-Best(LowCompression)"], f"after the language, {chosen} read as chosen")
    check_status_line_during_job(app, window)
    press(control(window, "push button", "Close"))


if __name__ == "__main__":
    main()
    sys.exit(1 if faults else 0)
