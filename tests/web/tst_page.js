// Drives the web page in a browser with real mouse and key input: start
// state, layout, colours, every row of every list, the keyboard path, the
// spoken entries, a failing handling and an accessibility audit. Each page is
// the one file opened over file://, with every other request refused.
//
// Usage: node tst_page.js chromium|firefox|webkit PAGE FAILING-PAGE ABORTING-PAGE CRLF-PAGE
// Chromium is Debian's chromium; Firefox is Debian's firefox-esr, driven over
// WebDriver BiDi; both through Playwright. WebKit is Debian's WebKitGTK, the
// engine of Safari and of every browser on an iPad, driven through
// WebKitWebDriver (webdriver.js). What only Chromium's DevTools protocol can
// read (the fonts used) is checked in Chromium alone; the accessibility tree
// in Chromium and WebKit. Some checks run in the browser as a locked-down
// school sets it: no JIT in Chromium and WebKit, no WebAssembly in Firefox
// and WebKit.
"use strict";

const assert = require("node:assert/strict");
const fs = require("node:fs");
const http = require("node:http");
const path = require("node:path");
const { pathToFileURL } = require("node:url");

const { WebDriverBrowser, recordPolicyViolations } = require("./webdriver.js");

let playwright;
let axeSource;
let PNG;
try {
    playwright = require("playwright-core");
    axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
    ({ PNG } = require("pngjs"));
} catch (error) {
    console.error("playwright-core, axe-core and pngjs are missing; scripts/build-web --test installs them");
    process.exit(1);
}

const [browserName, pagePath, failingPagePath, abortingPagePath, crlfPagePath] = process.argv.slice(2);
const inChromium = browserName === "chromium";
const inWebKit = browserName === "webkit";
const viewport = { width: 477, height: 420 };

const displayTexts = [
    ["Ботев", "Вихрен", "Голям Перелик", "Гоцев връх", "Мусала", "Радомир (Калабак) ", "Руен",
        "Черни връх"],
    ["2029", "2191", "2212", "2251", "2290", "2376", "2914", "2925"],
    ["Беласица ", "Витоша ", "Осоговска планина ", "Пирин ", "Рила ", "Родопи ",
        "Славянка (Алиботуш)", "Стара планина "],
];

// The rows of each entry: peak, height, mountain.
const entries = [
    [4, 7, 4], [1, 6, 3], [0, 5, 7], [7, 4, 1], [6, 3, 2], [3, 2, 6], [2, 1, 5], [5, 0, 0],
];
const noSelection = [-1, -1, -1];
const entryOf = (list, row) => entries.find((entry) => entry[list] === row);

// Places in twips, 15 to a CSS pixel.
const places = {
    "Label1(0)": [960, 0, 4575, 375],
    "Label1(1)": [360, 600, 2055, 375],
    "Label1(2)": [2520, 600, 1095, 375],
    "Label1(3)": [3840, 600, 2775, 375],
    "List1(0)": [360, 960, 2055, 1200],
    "List1(1)": [2520, 960, 1095, 1200],
    "List1(2)": [3840, 960, 2775, 1200],
    "Command1": [2040, 2520, 2775, 615],
    "Text1(0)": [120, 3240, 6735, 1815],
};
const texts = {
    "Label1(0)": "Планини и върхове в България",
    "Label1(1)": "Връх",
    "Label1(2)": "Височина",
    "Label1(3)": "Планина",
    "Command1": "Чисти",
};
const assignment = [
    "Да се състави проект реализиращ междупредметна връзка География и Информатика",
    "Проектът да преставя планини и върхове в България. Всяка планина да е представена с един връх.",
    "Проектът да съдържа група от 3 списъчни полета с информация за:",
    "име на връх;",
    "височина;",
    "име на планина.",
    "Съдържанието на всяко листово поле да е подредено във възходящ ред.. Да няма значение кой ред от кое списъчно поле се посочва, проектът да показва семантично свързаниа информация - връх, височина, планина.",
    "Прочете допълнително информация по География за планини, върхове в тях и техните височини.",
    "",
].join("\n");

const byId = (id) => `[id="${id}"]`;

let browser;
const checks = [];
// options.only: the browsers the check runs in, and options.why: why not in
// the others (what only Chromium tells, what Playwright cannot do in
// Firefox, what WebKitWebDriver cannot do).
const check = (name, body, options = {}) => checks.push({ name, body, ...options });
const noClock = "WebDriver cannot hold the page's clock, nor act before the page has loaded";

// Opens the page from disk, or from `url` when given: then requests to its
// origin are let through as well, and recorded.
// With `started` false, it does not wait for the program to start.
async function openPage(file, contextOptions = {}, { beforeStart, url, started = true } = {}) {
    if (inWebKit) {
        assert.ok(!beforeStart, noClock);
        const page = browser.newPage();
        await page.goto(url || pathToFileURL(file).href);
        if (started)
            await page.waitForFunction(() => window.Module && window.Module.started);
        return page;
    }
    const own = (address) => /^(file|data):/.test(address) || (url && address.startsWith(new URL(url).origin + "/"));
    const context = await browser.newContext({ viewport, deviceScaleFactor: 1, ...contextOptions });
    const outside = [];
    await context.route("**/*", (route) => {
        const address = route.request().url();
        if (own(address))
            return route.continue();
        outside.push(address);
        return route.abort();
    });
    await context.addInitScript(recordPolicyViolations);
    const page = await context.newPage();
    page.outside = outside;
    page.failures = [];
    page.consoleErrors = [];
    page.on("request", (request) => {
        if (!own(request.url()))
            outside.push(request.url());
    });
    page.on("pageerror", (error) => page.failures.push(String(error)));
    page.on("console", (message) => {
        if (message.type() === "error")
            page.consoleErrors.push(message.text());
    });
    // The program starts from a timer after the first paint: with the
    // page's clock held, the window shows and waits for it.
    if (beforeStart) {
        const now = Date.now();
        await page.clock.install({ time: now });
        await page.clock.pauseAt(now + 1000);
    }
    await page.goto(url || pathToFileURL(file).href);
    if (beforeStart) {
        await beforeStart(page);
        await page.clock.runFor(1000);
    }
    if (started)
        await page.waitForFunction(() => window.Module && window.Module.started);
    return page;
}

// Each list's selected row, -1 for none; a list with more than one fails.
const selection = (page) =>
    page.evaluate(() =>
        [0, 1, 2].map((k) => {
            const rows = Array.from(document.getElementById(`List1(${k})`).querySelectorAll("[role=option]"));
            const selected = rows.flatMap((row, index) => (row.getAttribute("aria-selected") === "true" ? [index] : []));
            if (selected.length > 1)
                throw new Error(`List1(${k}) has rows ${selected} selected`);
            return selected.length ? selected[0] : -1;
        }));

// Where row `row` of list box `list` lies against the rows in view.
function rowPlace([list, row]) {
    const listBox = document.getElementById(`List1(${list})`);
    const box = listBox.getBoundingClientRect();
    const top = box.top + listBox.clientTop;
    const option = listBox.querySelectorAll("[role=option]")[row].getBoundingClientRect();
    return {
        x: box.left + listBox.clientLeft + listBox.clientWidth / 2,
        y: (option.top + option.bottom) / 2,
        above: option.top < top - 0.5,
        below: option.bottom > top + listBox.clientHeight + 0.5,
    };
}

// Whether each list's selected row lies wholly inside the list's visible rows.
async function inView(page, list, row) {
    const place = await page.evaluate(rowPlace, [list, row]);
    return !place.above && !place.below;
}

async function expectEntry(page, rows, what) {
    assert.deepEqual(await selection(page), rows, what);
    for (let list = 0; list < 3; ++list) {
        if (rows[list] >= 0)
            assert.ok(await inView(page, list, rows[list]), `${what}: the selected row of List1(${list}) in view`);
    }
}

// Scrolls the list with the mouse wheel until the row shows, then clicks it.
// WebKitWebDriver has no wheel: there a click on the scroll bar's track,
// near its end, scrolls by a page.
async function clickRow(page, list, row) {
    const listBox = page.locator(byId(`List1(${list})`));
    for (let attempt = 0; attempt < 40; ++attempt) {
        const place = await page.evaluate(rowPlace, [list, row]);
        if (!place.above && !place.below) {
            await page.mouse.click(place.x, place.y);
            return;
        }
        const box = await listBox.boundingBox();
        if (inWebKit) {
            await page.mouse.click(box.x + box.width - 4, place.below ? box.y + box.height - 6 : box.y + 6);
        } else {
            await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
            await page.mouse.wheel(0, place.below ? 20 : -20);
        }
        await scrollSettled(listBox);
    }
    throw new Error(`row ${row} of List1(${list}) never scrolled into view`);
}

// Waits until a list has stopped scrolling: Firefox scrolls smoothly after
// a turn of the wheel, and a click meanwhile lands on a row still moving.
async function scrollSettled(listBox) {
    let last = await listBox.evaluate((e) => e.scrollTop);
    for (let look = 0; look < 50; ++look) {
        await listBox.page().waitForTimeout(30);
        const now = await listBox.evaluate((e) => e.scrollTop);
        if (now === last)
            return;
        last = now;
    }
}

// A letter typed on a Bulgarian keyboard, which Playwright's US layout lacks;
// over WebDriver BiDi it sends such a letter as text, with no key event.
async function typeLetter(page, letter) {
    const session = await page.context().newCDPSession(page);
    await session.send("Input.dispatchKeyEvent", { type: "keyDown", key: letter, text: letter, unmodifiedText: letter });
    await session.send("Input.dispatchKeyEvent", { type: "keyUp", key: letter });
    await session.detach();
}

const focusedId = (page) => page.evaluate(() => document.activeElement && document.activeElement.id);

// The colours of points of the page, read from a screenshot of it.
async function screenshotColours(page, points) {
    return pngColours(await page.screenshot({ caret: "initial" }), points);
}

// The colours of points of a PNG image.
function pngColours(png, points) {
    const image = PNG.sync.read(png);
    return points.map(([x, y]) => Array.from(image.data.subarray(4 * (y * image.width + x), 4 * (y * image.width + x) + 3)));
}

// Breaches of the page's policy. Playwright's screenshots in Firefox add a
// style element "body {}" for a moment, which the policy refuses as it must:
// that one is the harness's, not the page's.
async function policyViolations(page) {
    const violations = await page.evaluate(() => window.policyViolations);
    return violations.filter((v) => !(v.directive === "style-src-elem" && v.sample === "body {}"));
}

async function audit(page, what) {
    // Evaluated by the browser's own protocol: a script tag would break the
    // page's policy.
    await page.evaluate(axeSource);
    const result = await page.evaluate(() => window.axe.run());
    const report = result.violations.map(
        (v) => `${v.id}: ${v.help} (${v.nodes.map((n) => n.target.join(" ")).join(", ")})`);
    assert.deepEqual(report, [], `${what}: accessibility violations`);
}

check("start: title, texts letter for letter, nothing selected, text box focused", async (page) => {
    assert.equal(await page.title(), "https://planini.example.org География - планини, върхове");
    for (const [id, text] of Object.entries(texts))
        assert.equal(await page.locator(byId(id)).evaluate((e) => e.textContent), text, id);
    for (let list = 0; list < 3; ++list) {
        const rows = await page.locator(`${byId(`List1(${list})`)} [role=option]`).evaluateAll(
            (options) => options.map((o) => o.textContent));
        assert.deepEqual(rows, displayTexts[list], `List1(${list})`);
    }
    assert.deepEqual(await selection(page), noSelection);
    assert.equal(await focusedId(page), "Text1(0)");
    assert.equal(await page.locator("meta[name=description]").getAttribute("content"),
        "Осем планини в България, всяка с един връх: три свързани списъка с върхове, височини и "
        + "планини за урок по география и информатика.");

    const text = await page.locator(byId("Text1(0)")).evaluate((e) => ({
        lines: e.value.split("\n"),
        readOnly: e.readOnly,
        scrollTop: e.scrollTop,
        scrolls: e.scrollHeight > e.clientHeight,
        overflowY: getComputedStyle(e).overflowY,
    }));
    assert.equal(text.lines.join("\n"), assignment, "eight lines, each ended by a line break");
    assert.deepEqual([text.readOnly, text.scrollTop, text.scrolls, text.overflowY], [true, 0, true, "scroll"]);

    // The window is its nine controls and the lists' rows (and the button's
    // caption): no key lists anywhere. The assignment is there a second
    // time for printing, hidden.
    const elements = await page.evaluate(() =>
        Array.from(document.querySelectorAll("body *:not(script):not(style)"), (e) => e.id || e.tagName));
    const isRow = (id) => /^List1\(\d\)-\d$/.test(id);
    assert.deepEqual(elements.filter((e) => !isRow(e)).sort(),
        ["MAIN", "NOSCRIPT", "MainForm", "SPAN", "failure", "printed", ...Object.keys(places)].sort());
    assert.equal(elements.filter(isRow).length, 24);
    assert.equal(await page.locator("#printed").isHidden(), true);
    assert.equal(await page.locator("#printed").textContent(), assignment);
    assert.equal(await page.locator("#failure").isHidden(), true);

    // The page's policy allows its own scripts and styles by their hashes,
    // and nothing else it does not need.
    const policy = await page.locator('meta[http-equiv="Content-Security-Policy"]').getAttribute("content");
    const directives = Object.fromEntries(policy.split(";").map((d) => d.trim().split(/\s+/)).map(([name, ...v]) => [name, v]));
    assert.deepEqual(Object.keys(directives).sort(),
        ["base-uri", "default-src", "form-action", "img-src", "script-src", "style-src"]);
    assert.deepEqual([directives["default-src"], directives["base-uri"], directives["form-action"], directives["img-src"]],
        [["'none'"], ["'none'"], ["'none'"], ["data:"]]);
    const hashes = (list) => list.filter((v) => /^'sha256-[A-Za-z0-9+/]{43}='$/.test(v)).length;
    assert.deepEqual([hashes(directives["script-src"]), hashes(directives["style-src"])], [2, 2]);
    assert.deepEqual(directives["script-src"].filter((v) => !v.startsWith("'sha256-")), ["'report-sample'"]);
    assert.deepEqual(directives["style-src"].filter((v) => !v.startsWith("'sha256-")), ["'report-sample'"]);
    assert.equal(await page.locator("[style]").count(), 0, "no style attributes");
    assert.equal(await page.locator('meta[name="referrer"]').getAttribute("content"), "no-referrer");

    // The icon is inside the page: one 32 x 32 image with 256 colours.
    const icon = await page.locator('link[rel="icon"]').getAttribute("href");
    const prefix = "data:image/x-icon;base64,";
    assert.ok(icon.startsWith(prefix), icon.slice(0, 40));
    const ico = Buffer.from(icon.slice(prefix.length), "base64");
    assert.deepEqual([ico.readUInt16LE(2), ico.readUInt16LE(4), ico[6], ico[7], ico.readUInt16LE(12)],
        [1, 1, 32, 32, 8]);
});

check("layout: every control at its place, in the window's font", async (page) => {
    const form = await page.locator("#MainForm").boundingBox();
    assert.deepEqual([form.width, form.height], [461, 345]);
    for (const [id, twips] of Object.entries(places)) {
        const box = await page.locator(byId(id)).boundingBox();
        assert.deepEqual([box.x - form.x, box.y - form.y, box.width, box.height], twips.map((t) => t / 15), id);
        const font = await page.locator(byId(id)).evaluate((e) => {
            const style = getComputedStyle(e);
            return [style.fontFamily.split(",")[0], style.fontSize, style.fontWeight, style.fontStyle];
        });
        assert.deepEqual(font, ['"Times New Roman"', "16px", "400", "normal"], id);
    }
    // A serif with Cyrillic letters draws the texts where Times New Roman is missing.
    if (!inChromium)
        return;
    const session = await page.context().newCDPSession(page);
    await session.send("DOM.enable");
    await session.send("CSS.enable");
    const { root } = await session.send("DOM.getDocument");
    const { nodeId } = await session.send("DOM.querySelector", { nodeId: root.nodeId, selector: byId("Label1(0)") });
    const { fonts } = await session.send("CSS.getPlatformFontsForNode", { nodeId });
    await session.detach();
    assert.ok(fonts.every((f) => /Times New Roman|Liberation Serif|Tinos/.test(f.familyName)), JSON.stringify(fonts));
});

check("colours: window, labels and button, from a screenshot", async (page) => {
    const form = await page.locator("#MainForm").boundingBox();
    const at = (id, dx, dy) => {
        const [left, top] = places[id];
        return [Math.round(form.x + left / 15 + dx), Math.round(form.y + top / 15 + dy)];
    };
    const colours = await screenshotColours(page, [
        [Math.round(form.x + 3), Math.round(form.y + 3)], // the window, left of the title line
        at("Label1(0)", 3, 3), at("Label1(3)", 3, 3),
        at("Command1", 8, 8),
    ]);
    assert.deepEqual(colours, [[192, 192, 255], [255, 192, 128], [255, 192, 128], [255, 0, 0]]);

    // Each heading's letters are dark on its own colour: a line through
    // the middle of the heading meets them.
    for (const id of ["Label1(1)", "Label1(2)", "Label1(3)"]) {
        const width = places[id][2] / 15;
        const line = Array.from({ length: width - 4 }, (_, x) => at(id, x + 2, 12.5));
        const darkest = Math.min(...(await screenshotColours(page, line)).map(([r, g, b]) => r + g + b));
        assert.ok(darkest < 150, `${id}: the darkest point of its middle line is ${darkest}`);
    }
});

// The middle of a row's blank end, between its last letter and its end,
// over which WebKit draws its scroll bar.
const rowEnd = ([list, row]) => {
    const option = document.getElementById(`List1(${list})`).querySelectorAll("[role=option]")[row];
    const text = document.createRange();
    text.selectNodeContents(option);
    const box = option.getBoundingClientRect();
    return [Math.round((text.getBoundingClientRect().right + box.right) / 2), Math.round((box.top + box.bottom) / 2)];
};

const luminance = (rgb) => {
    const [r, g, b] = rgb.map((c) => (c / 255 <= 0.04045 ? c / 255 / 12.92 : ((c / 255 + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
};
const contrast = (a, b) => {
    const [light, dark] = [luminance(a), luminance(b)].sort((x, y) => y - x);
    return (light + 0.05) / (dark + 0.05);
};

check("colours: the linked rows as plain as the clicked one, the focus in the list or elsewhere", async (page) => {
    await clickRow(page, 0, 0); // Ботев
    await expectEntry(page, entryOf(0, 0), "Ботев");
    const selectedRows = entryOf(0, 0).map((row, list) => [list, row]);
    const unselectedRows = selectedRows.map(([list, row]) => [list, row === 0 ? 1 : row - 1]);
    for (const focus of ["List1(0)", "Text1(0)"]) {
        await page.locator(byId(focus)).focus();
        const points = [];
        for (const place of [...selectedRows, ...unselectedRows])
            points.push(await page.evaluate(rowEnd, place));
        const colours = await screenshotColours(page, points);
        const selected = colours.slice(0, 3);
        const unselected = colours.slice(3);
        assert.deepEqual(selected, [[0, 102, 204], [0, 102, 204], [0, 102, 204]], `selected rows, focus in ${focus}`);
        assert.deepEqual(unselected, [[255, 255, 255], [255, 255, 255], [255, 255, 255]], `other rows, focus in ${focus}`);
        assert.ok(contrast(selected[0], unselected[0]) >= 3);
    }

    // With forced colours (Windows' high contrast), the system's own.
    await page.emulateMedia({ forcedColors: "active" });
    if (!(await page.evaluate(() => matchMedia("(forced-colors: active)").matches))) {
        assert.ok(!inChromium, "Chromium emulates forced colours");
        console.log("      forced colours left out: only Chromium's DevTools protocol emulates them");
        return;
    }
    const forced = await page.evaluate(() => {
        const probe = document.createElement("div");
        probe.style.backgroundColor = "Highlight";
        probe.style.color = "HighlightText";
        probe.style.forcedColorAdjust = "none";
        document.body.append(probe);
        const system = getComputedStyle(probe);
        const row = getComputedStyle(document.getElementById("List1(2)-7"));
        const result = [[row.backgroundColor, row.color], [system.backgroundColor, system.color]];
        probe.remove();
        return result;
    });
    assert.deepEqual(forced[0], forced[1], "the selected row in Highlight and HighlightText");
});

check("list boxes: four whole rows and a part of a fifth, a tooltip on the one row cut off, the focus frame in the focused list alone, the text box's focus; the button pressed", async (page) => {
    const lists = await page.evaluate(() =>
        [0, 1, 2].map((k) => {
            const list = document.getElementById(`List1(${k})`);
            const rows = Array.from(list.querySelectorAll("[role=option]"));
            const height = rows[0].getBoundingClientRect().height;
            return {
                whole: Math.floor(list.clientHeight / height),
                fifth: list.clientHeight - 4 * height,
                height,
                tooltips: rows.flatMap((row) => (row.title ? [[row.id, row.title]] : [])),
            };
        }));
    lists.forEach((list, k) => {
        assert.equal(list.whole, 4, `List1(${k}): whole rows in view`);
        assert.ok(list.fifth >= 3 && list.fifth < list.height - 3, `List1(${k}): ${list.fifth} px of the fifth row`);
    });
    assert.deepEqual(lists.flatMap((list) => list.tooltips), [["List1(0)-5", "Радомир (Калабак)"]]);

    // Tab brings the focus to the list, its frame on the top row, which is
    // the row a screen reader is told of.
    await page.keyboard.press("Tab");
    const frame = await page.evaluate(() => {
        const list = document.getElementById("List1(0)");
        const row = document.getElementById(list.getAttribute("aria-activedescendant"));
        const style = getComputedStyle(row);
        return [document.activeElement.id, row.id, style.outlineStyle, parseFloat(style.outlineWidth) >= 1];
    });
    assert.deepEqual(frame, ["List1(0)", "List1(0)-0", "dotted", true]);

    // Linked, each list has a current row; only the focused list frames it.
    await page.keyboard.press("ArrowDown");
    const frames = await page.evaluate(() =>
        [0, 1, 2].map((k) => getComputedStyle(document.querySelector(`#List1\\(${k}\\) .current`)).outlineStyle));
    assert.deepEqual(frames, ["dotted", "none", "none"], "frames in the three lists");

    // The text box marks its focus too, on its edges, at 3:1 at least
    // against what is there without it.
    const textBox = await page.locator(byId("Text1(0)")).boundingBox();
    const [left, top] = [Math.floor(textBox.x), Math.floor(textBox.y)];
    const [right, bottom] = [Math.ceil(textBox.x + textBox.width), Math.ceil(textBox.y + textBox.height)];
    const middle = [Math.round(textBox.x + textBox.width / 2), Math.round(textBox.y + textBox.height / 2)];
    const edges = [[middle[0], top - 1], [middle[0], bottom], [left - 1, middle[1]], [right, middle[1]]];
    const unfocused = await screenshotColours(page, edges);
    await page.locator(byId("Text1(0)")).focus();
    const focused = await screenshotColours(page, edges);
    edges.forEach((point, edge) =>
        assert.ok(contrast(focused[edge], unfocused[edge]) >= 3,
            `the text box's focus at ${point}: ${focused[edge]} against ${unfocused[edge]}`));

    // Held down, the button looks pressed in.
    const button = page.locator("#Command1");
    const border = () => button.evaluate((element) => getComputedStyle(element).borderTopStyle);
    const raised = await border();
    const box = await button.boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.down();
    assert.equal(await border(), "inset", "the button held down");
    await page.mouse.up();
    assert.notEqual(raised, "inset", "the button at rest");
});

check("type-ahead: letters typed together find a row by its beginning; one letter again moves on", async (page) => {
    await page.keyboard.press("Tab");
    await page.keyboard.press("Tab");
    await page.keyboard.type("23");
    await expectEntry(page, entryOf(1, 5), "23: 2376");
    await page.waitForTimeout(1100);
    await page.keyboard.type("2");
    await expectEntry(page, entryOf(1, 6), "2: the next height after 2376");
    await page.keyboard.type("2");
    await expectEntry(page, entryOf(1, 7), "2 again: the next one");
    await page.waitForTimeout(1100);
    await page.keyboard.type("9");
    assert.deepEqual(await selection(page), entryOf(1, 7), "no height starts with 9");
});

check("touch: a tap selects and links, a swipe scrolls without selecting", async () => {
    const page = await openPage(pagePath, { hasTouch: true });
    const place = await page.evaluate(rowPlace, [0, 1]);
    await page.touchscreen.tap(place.x, place.y);
    await expectEntry(page, entryOf(0, 1), "tapped Вихрен");

    // A finger drawn up over the mountains, a frame at a time.
    const list = await page.locator(byId("List1(2)")).boundingBox();
    const session = await page.context().newCDPSession(page);
    const x = Math.round(list.x + list.width / 2);
    const y = Math.round(list.y + list.height - 10);
    await session.send("Input.dispatchTouchEvent", { type: "touchStart", touchPoints: [{ x, y }] });
    for (let step = 1; step <= 10; ++step) {
        await session.send("Input.dispatchTouchEvent", { type: "touchMove", touchPoints: [{ x, y: y - 4 * step }] });
        await page.waitForTimeout(16);
    }
    await session.send("Input.dispatchTouchEvent", { type: "touchEnd", touchPoints: [] });
    await session.detach();
    await page.waitForTimeout(300);
    assert.ok((await page.locator(byId("List1(2)")).evaluate((e) => e.scrollTop)) > 0, "the list scrolled");
    assert.deepEqual(await selection(page), entryOf(0, 1), "nothing selected by the swipe");
    await page.context().close();
}, { only: ["chromium"], why: "Playwright over WebDriver BiDi sends Firefox no touch events; WebKitWebDriver's taps arrive as mouse input" });

check("each start is the start state: after a reload and after Back", async (page) => {
    const expectStart = async (what) => {
        await page.waitForFunction(() => window.Module && window.Module.started);
        assert.deepEqual(await selection(page), noSelection, what);
        assert.equal(await focusedId(page), "Text1(0)", what);
        const text = await page.locator(byId("Text1(0)")).evaluate((e) => [e.selectionStart, e.selectionEnd, e.scrollTop]);
        assert.deepEqual(text, [0, 0, 0], `${what}: the text box at its first line`);
        const scrolled = await page.evaluate(() => [0, 1, 2].map((k) => document.getElementById(`List1(${k})`).scrollTop));
        assert.deepEqual(scrolled, [0, 0, 0], `${what}: the lists at their tops`);
    };
    const leave = async () => {
        await clickRow(page, 0, 4); // Мусала, the heights and mountains scrolled
        await page.locator(byId("Text1(0)")).evaluate((e) => { e.scrollTop = 60; e.setSelectionRange(30, 40); });
    };
    await leave();
    await page.reload();
    await expectStart("reloaded");
    await leave();
    await page.goto(pathToFileURL(failingPagePath).href);
    await page.goBack();
    // Shown from the browser's cache, the page reloads: the start state
    // must come, whichever way the browser went back.
    await page.waitForFunction(() => {
        const rows = document.querySelectorAll("[aria-selected=true]");
        return window.Module && window.Module.started && rows.length === 0;
    });
    await expectStart("after Back");
});

check("without JavaScript the page says it needs it, and shows no window that does nothing", async () => {
    const context = await browser.newContext({ viewport, javaScriptEnabled: false });
    const page = await context.newPage();
    await page.goto(pathToFileURL(pagePath).href);
    const notice = page.locator("#noscript");
    assert.equal(await notice.isVisible(), true);
    assert.match(await notice.textContent(), /JavaScript/);
    assert.equal(await page.locator("#MainForm").isHidden(), true);
    await context.close();
}, { only: ["chromium"], why: "Playwright over WebDriver BiDi cannot turn Firefox's JavaScript off, nor WebDriver WebKit's" });

check("printed: the colours, the linked rows of all three lists and the whole assignment", async (page) => {
    await clickRow(page, 0, 4); // Мусала
    await page.emulateMedia({ media: "print" });
    const points = [];
    for (const place of entryOf(0, 4).map((row, list) => [list, row]))
        points.push(await page.evaluate(rowEnd, place));
    const button = await page.locator(byId("Command1")).boundingBox();
    points.push([Math.round(button.x + 8), Math.round(button.y + 8)]);
    const printedHeight = await page.evaluate(() => document.documentElement.scrollHeight);
    const pdf = await page.pdf({ width: `${viewport.width}px`, height: `${printedHeight + 20}px`, pageRanges: "1" });
    const folder = fs.mkdtempSync(path.join(require("node:os").tmpdir(), "planini-print-"));
    try {
        fs.writeFileSync(path.join(folder, "page.pdf"), pdf);
        const { execFileSync } = require("node:child_process");
        execFileSync("pdftoppm", ["-png", "-r", "96", "-singlefile", "page.pdf", "page"], { cwd: folder });
        const text = execFileSync("pdftotext", ["-layout", "page.pdf", "-"], { cwd: folder, encoding: "utf8" });
        for (const line of assignment.split("\n").filter(Boolean))
            assert.ok(text.replace(/\s+/g, " ").includes(line.split(" ").slice(-4).join(" ")), `printed: …${line.slice(-30)}`);
        const png = fs.readFileSync(path.join(folder, "page.png"));
        const colours = pngColours(png, points);
        assert.deepEqual(colours, [[0, 102, 204], [0, 102, 204], [0, 102, 204], [255, 0, 0]]);
    } finally {
        fs.rmSync(folder, { recursive: true, force: true });
    }
}, { only: ["chromium"], why: "only Chromium prints to PDF under Playwright" });

check("rows clicked before the program has started: the last one is linked once it has", async () => {
    const page = await openPage(pagePath, {}, {
        beforeStart: async (loading) => {
            await clickRow(loading, 2, 3); // Пирин
            assert.deepEqual(await selection(loading), [-1, -1, 3], "nothing linked yet");
            await clickRow(loading, 0, 0); // Ботев, of another mountain
            assert.deepEqual(await selection(loading), [0, -1, 3], "nothing linked yet");
            assert.equal(await loading.evaluate(() => window.Module.started), false);
        },
    });
    await expectEntry(page, entryOf(0, 0), "the last choice linked at start");
    await page.context().close();
}, { only: ["chromium", "firefox"], why: noClock });

check("a page script with CR LF line ends: the page starts and links, within its policy", async () => {
    const page = await openPage(crlfPagePath);
    await clickRow(page, 0, 1); // Вихрен
    await expectEntry(page, entryOf(0, 1), "from the CR LF script");
    assert.deepEqual(await policyViolations(page), []);
    await page.context().close();
});

// The program's text changed by a byte: the page's policy refuses to run it.
function pageWithRefusedProgram() {
    const file = path.join(path.dirname(abortingPagePath), "refusedpage.html");
    fs.writeFileSync(file, fs.readFileSync(pagePath, "utf8").replace('type="text/plain">', 'type="text/plain"> '));
    return file;
}
const cannotStart = "Програмата не можа да се стартира в този браузър. "
    + "Отворете страницата в друг браузър или се обърнете към ИТ специалиста на училището.";

const stopped = "Програмата спря поради грешка. Презаредете страницата, а ако грешката се повтори, "
    + "обърнете се към ИТ специалиста на училището.";

// The alert line's text once it shows, within a second of real time (the
// page's own clock held), or null.
async function alertSoon(page) {
    for (let tries = 0; tries < 20; ++tries) {
        const shown = await page.evaluate(() => {
            const alert = document.getElementById("failure");
            return alert.hidden ? null : alert.textContent;
        });
        if (shown !== null)
            return shown;
        await new Promise((resolve) => setTimeout(resolve, 50));
    }
    return null;
}

// What a page that can take no choices shows: the message, nothing selected
// and nothing selectable, the lists unavailable and grey, the button off.
// The page without choices is the same whichever way it came to it: it is
// audited once for each message (a few seconds less in each browser).
const auditedMessages = new Set();
async function expectNoChoices(page, message, what) {
    const alert = page.locator("#failure");
    assert.equal(await alert.isVisible(), true, "the failure shown");
    assert.equal(await alert.textContent(), message);
    assert.deepEqual(await selection(page), noSelection, "the waiting row unselected");
    await clickRow(page, 0, 1);
    await page.keyboard.press("ArrowDown");
    assert.deepEqual(await selection(page), noSelection, "nothing selected afterwards");
    assert.deepEqual(await page.evaluate(() => [0, 1, 2].map((k) => {
        const list = document.getElementById(`List1(${k})`);
        return [list.getAttribute("aria-disabled"), getComputedStyle(list.querySelector("[role=option]")).color];
    })), [0, 1, 2].map(() => ["true", "rgb(109, 109, 109)"]), "unavailable, in grey");
    assert.equal(await page.locator("#Command1").isDisabled(), true);
    if (!auditedMessages.has(message)) {
        auditedMessages.add(message);
        await audit(page, what);
    }
}

// Each way not to start: told at once, or (a report lost) once the page
// has waited long enough; a row clicked meanwhile is dropped. In WebKit,
// where the test cannot act before the start, the two ways told at once.
for (const [what, file, { swallowReport = false, failingStart = false } = {}] of [
    ["a program that aborts as it starts", () => abortingPagePath],
    ["a program the page's policy refuses", pageWithRefusedProgram],
    ["a program that fails with a script error as it starts", () => pagePath, { failingStart: true }],
    ["a refused program whose report is lost: a start that never comes", pageWithRefusedProgram,
        { swallowReport: true }],
]) {
    const beforeStart = !inWebKit || swallowReport || failingStart;
    check(`${what}: the page says it cannot start and takes no choices`, async () => {
        const page = await openPage(file(), {}, {
            started: false,
            beforeStart: beforeStart && (async (loading) => {
                if (swallowReport) {
                    await loading.evaluate(() => window.addEventListener("securitypolicyviolation",
                        (event) => event.stopPropagation(), true));
                }
                if (failingStart) {
                    await loading.evaluate(() => {
                        window.Module.preRun = [() => { throw new Error("a failing start"); }];
                    });
                }
                await clickRow(loading, 2, 3); // Пирин, waiting for the program
            }),
        });
        assert.equal(await alertSoon(page), swallowReport ? null : cannotStart, "told at once");
        if (beforeStart) {
            await page.clock.runFor(5000);
            await page.clock.resume(); // axe-core waits on timers
        }
        assert.equal(await page.evaluate(() => window.Module.started), false);
        await expectNoChoices(page, cannotStart, what);
        await page.context().close();
    }, beforeStart && inWebKit ? { only: ["chromium", "firefox"], why: noClock } : {});
}

// Each way to stop after the start: the lists could no longer be linked.
for (const [what, stop] of [
    ["an abort", () => window.Module.onAbort("stopped by the test")],
    ["an uncaught error", () => setTimeout(() => { throw new Error("stopped by the test"); }, 0)],
]) {
    check(`${what} after the start: the page says it stopped and takes no choices`, async () => {
        const page = await openPage(pagePath);
        await clickRow(page, 0, 1); // Вихрен
        await page.evaluate(stop);
        assert.equal(await alertSoon(page), stopped);
        await expectNoChoices(page, stopped, what);
        await page.context().close();
    });
}

check("a start later than the page waits for: the message goes and the page works", async () => {
    const page = await openPage(pagePath, {}, {
        started: false,
        // The program's script held back until the test lets it run.
        beforeStart: (loading) => loading.evaluate(() => {
            const append = Node.prototype.appendChild;
            Node.prototype.appendChild = function (node) {
                if (node.tagName !== "SCRIPT")
                    return append.call(this, node);
                window.startProgram = () => append.call(this, node);
                return node;
            };
        }),
    });
    await page.clock.runFor(5000);
    assert.equal(await page.locator("#failure").textContent(), cannotStart);
    await page.evaluate(() => window.startProgram());
    await page.waitForFunction(() => window.Module.started);
    assert.equal(await page.locator("#failure").isHidden(), true);
    assert.equal(await page.locator("#Command1").isDisabled(), false);
    assert.deepEqual(await page.evaluate(() => [0, 1, 2].map((k) =>
        document.getElementById(`List1(${k})`).getAttribute("aria-disabled"))), [null, null, null]);
    await clickRow(page, 0, 1); // Вихрен
    await expectEntry(page, entryOf(0, 1), "after the late start");
}, { only: ["chromium", "firefox"], why: noClock });

check("from a static web server: the one request is for the page itself", async () => {
    const requests = [];
    const server = http.createServer((request, response) => {
        requests.push(request.url);
        if (request.url !== "/planini.html") {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { "Content-Type": "text/html; charset=utf-8" });
        response.end(fs.readFileSync(pagePath));
    });
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    const url = `http://127.0.0.1:${server.address().port}/planini.html`;
    try {
        const page = await openPage(pagePath, {}, { url });
        await clickRow(page, 0, 1); // Вихрен
        await expectEntry(page, entryOf(0, 1), "over HTTP");
        assert.deepEqual(requests, ["/planini.html"]);
        assert.deepEqual(page.outside, []);
        await page.context().close();
    } finally {
        server.close();
    }
});

check("small screen: the whole window, scaled down, not reflowed", async () => {
    const page = await openPage(pagePath, { viewport: { width: 320, height: 480 }, isMobile: true, hasTouch: true });
    const layout = await page.evaluate(() => ({
        width: document.documentElement.clientWidth,
        scrollWidth: document.documentElement.scrollWidth,
        scale: window.visualViewport.scale,
    }));
    assert.equal(layout.width, 477);
    assert.equal(layout.scrollWidth, 477, "nothing wider than the window");
    assert.ok(Math.abs(layout.scale - 320 / 477) < 0.01, `scale ${layout.scale}`);
    const form = await page.locator("#MainForm").boundingBox();
    assert.deepEqual([form.width, form.height], [461, 345]);
    await page.context().close();
}, { only: ["chromium"], why: "only Chromium's DevTools protocol emulates a phone's screen" });

check("accessibility audit: start, with a selection, with a failure shown", async (page) => {
    await audit(page, "start");
    await clickRow(page, 2, 3);
    await audit(page, "selection");
    const failing = await openPage(failingPagePath);
    await clickRow(failing, 0, 4);
    await audit(failing, "failure");
    await failing.context().close();
});

// The table of user scenarios that every window's tests run, on the page.
const table = JSON.parse(fs.readFileSync(path.join(__dirname, "..", "scenarios.json"), "utf8"));
const unread = (table.unread[browserName] || { kinds: [] }).kinds;
const failingKey = [0, 4, "40000"]; // the failing page's key text
const actions = ["click", "press", "key", "type", "wheelToTop"];

const keyNames = {
    Tab: "Tab", "Shift+Tab": "Shift+Tab", Up: "ArrowUp", Down: "ArrowDown", Left: "ArrowLeft",
    Right: "ArrowRight", Home: "Home", End: "End", PageUp: "PageUp", PageDown: "PageDown",
    Space: "Space", Enter: "Enter", "Ctrl+Down": "Control+ArrowDown", "Ctrl+End": "Control+End",
    "Ctrl+Home": "Control+Home",
};
// The numeric keypad's arrows with NumLock off, sent through Chromium's DevTools protocol.
const keypadKeys = { KeypadUp: ["ArrowUp", "Numpad8", 38], KeypadDown: ["ArrowDown", "Numpad2", 40] };

async function pressKey(page, name) {
    if (keyNames[name] || inWebKit) {
        await page.keyboard.press(keyNames[name] || name);
        return;
    }
    const [key, code, keyCode] = keypadKeys[name];
    const session = await page.context().newCDPSession(page);
    for (const type of ["rawKeyDown", "keyUp"])
        await session.send("Input.dispatchKeyEvent", { type, key, code, windowsVirtualKeyCode: keyCode, location: 3 });
    await session.detach();
}

// What a screen reader hears, from Chromium's accessibility tree: each list's
// name and its rows' names, and the names of the other controls, by id.
// WebKit's tree is read through WebDriver's computed labels.
async function accessibleNames(page) {
    if (inWebKit)
        return page.accessibleNames();
    const session = await page.context().newCDPSession(page);
    const { nodes } = await session.send("Accessibility.getFullAXTree");
    const byNodeId = new Map(nodes.map((node) => [node.nodeId, node]));
    const names = { lists: [], controls: {} };
    for (const node of nodes) {
        if (node.backendDOMNodeId === undefined || !node.role)
            continue;
        const { node: element } = await session.send("DOM.describeNode", { backendNodeId: node.backendDOMNodeId });
        const attributes = element.attributes || [];
        const at = attributes.findIndex((value, index) => index % 2 === 0 && value === "id");
        if (at < 0)
            continue;
        const id = attributes[at + 1];
        names.controls[id] = node.name ? node.name.value : "";
        const list = /^List1\((\d)\)$/.exec(id);
        if (!list)
            continue;
        const rows = [];
        const collect = (childIds) => childIds.forEach((childId) => {
            const child = byNodeId.get(childId);
            if (child.role && child.role.value === "option")
                rows.push(child.name.value);
            else
                collect(child.childIds || []);
        });
        collect(node.childIds || []);
        names.lists[Number(list[1])] = { name: names.controls[id], rows };
    }
    await session.detach();
    return names;
}

async function wheelToTop(page, list) {
    const listBox = page.locator(byId(`List1(${list})`));
    const box = await listBox.boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    for (let turn = 0; turn < 20 && (await listBox.evaluate((e) => e.scrollTop)) > 0; ++turn) {
        await page.mouse.wheel(0, -40);
        await scrollSettled(listBox);
    }
}

async function perform(page, kind, value) {
    switch (kind) {
    case "click":
        return clickRow(page, value[0], value[1]);
    case "press":
        return page.locator(byId(value)).click();
    case "key":
        return pressKey(page, value);
    case "type":
        for (const letter of value) {
            if (/^[\x20-\x7e]$/.test(letter) || inWebKit)
                await page.keyboard.type(letter);
            else
                await typeLetter(page, letter);
        }
        return;
    case "wheelToTop":
        return wheelToTop(page, value);
    }
    throw new Error(`unknown action ${kind}`);
}

async function expectStep(page, kind, value) {
    const selected = await selection(page);
    switch (kind) {
    case "selected":
        return expectEntry(page, value, "selected");
    case "selectedRows":
        return assert.deepEqual(await selection(page), value, "selected rows, in view or not");
    case "oneEntry":
        assert.ok(selected[0] >= 0, "a row selected");
        return expectEntry(page, entryOf(0, selected[0]), "one entry");
    case "focus":
        return assert.equal(await focusedId(page), value);
    case "outOfView":
        return assert.equal(await inView(page, value[0], value[1]), false, "in view");
    case "spoken": {
        const { lists } = await accessibleNames(page);
        value.forEach((name, list) => {
            assert.equal(selected[list] >= 0, name !== "", `List1(${list}) has a selected row`);
            if (name !== "")
                assert.equal(lists[list].rows[selected[list]], name, `List1(${list})`);
        });
        return;
    }
    case "rowName":
        return assert.equal((await accessibleNames(page)).lists[value[0]].rows[value[1]], value[2]);
    case "listName":
        return assert.equal((await accessibleNames(page)).lists[value[0]].name, value[1]);
    case "name":
        return assert.equal((await accessibleNames(page)).controls[value[0]], value[1]);
    case "failure": {
        const alert = page.locator("#failure");
        if (value === null)
            return assert.equal(await alert.isHidden(), true, "no failure shown");
        assert.equal(await alert.getAttribute("role"), "alert");
        assert.equal(await alert.isVisible(), true, "the failure shown");
        assert.equal(await alert.textContent(), `Грешка при изпълнение: ${value}`);
        return assert.equal((await page.consoleErrors).at(-1), `Run-time error: ${value}`);
    }
    case "textBox": {
        const text = await page.locator(byId("Text1(0)")).evaluate((e) => ({
            value: e.value, selected: e.selectionEnd - e.selectionStart, scrollTop: e.scrollTop,
        }));
        assert.equal(text.value, assignment, "the assignment unchanged");
        return assert.deepEqual([text.selected, text.scrollTop], [0, 0], "nothing selected, at its first line");
    }
    }
    throw new Error(`unknown expectation ${kind}`);
}

async function runScenario(scenario, page) {
    let number = 0;
    for (const written of scenario.steps) {
        ++number;
        if (written.cannot && written.cannot[browserName]) {
            console.log(`      left out from step ${number} on: ${written.cannot[browserName]}`);
            return;
        }
        const step = written.differs && written.differs.web ? written.differs.web.instead : written;
        const [kind, value] = Object.entries(step).find(([name]) => !["differs", "cannot", "times"].includes(name));
        try {
            for (let time = 0; time < (step.times || 1); ++time) {
                if (actions.includes(kind))
                    await perform(page, kind, value);
                else if (!unread.includes(kind))
                    await expectStep(page, kind, value);
            }
        } catch (error) {
            console.log(`      at step ${number}: ${kind} ${JSON.stringify(value)}`);
            throw error;
        }
    }
    assert.deepEqual(await page.failures, [], "script errors");
    assert.deepEqual(await policyViolations(page), [], "breaches of the page's policy");
}

// In the locked-down browser as well: a click that links a whole entry,
// and a failing key.
const lockedDownScenarios = [
    "a click on Мусала selects 2925 and Рила, the last height brought into view",
    "a key of 40000 shows the overflow and keeps the selections; the window goes on",
];
assert.ok(lockedDownScenarios.every((name) => table.scenarios.some((s) => s.name === name)));

for (const scenario of table.scenarios) {
    const body = async (page) => {
        if (!scenario.key)
            return runScenario(scenario, page);
        assert.deepEqual(scenario.key, failingKey, "the failing page's key text");
        const failing = await openPage(failingPagePath);
        try {
            await runScenario(scenario, failing);
        } finally {
            await failing.context().close();
        }
    };
    check(`scenario: ${scenario.name}`, body);
    if (lockedDownScenarios.includes(scenario.name))
        check(`locked down, scenario: ${scenario.name}`, body, { lockedDown: true });
}

check("locked down: the browser runs no WebAssembly", async (page) => {
    const blank = await page.context().newPage();
    assert.equal(await blank.evaluate(() => typeof WebAssembly), "undefined");
}, { lockedDown: true });

// Checks whose name matches PLANINI_CHECKS, when it is set.
const chosen = new RegExp(process.env.PLANINI_CHECKS || "");

async function main() {
    const launch = {
        chromium: () => launchChromium(),
        firefox: () => launchFirefox(),
        webkit: () => WebDriverBrowser.launch(),
    };
    // As schools lock browsers down: Chromium without its JIT, which takes
    // WebAssembly with it; Firefox with WebAssembly turned off. WebKitGTK
    // has no such setting (it compiles WebAssembly even with JSC_useWasm=false).
    const lockDown = {
        chromium: () => launchChromium(["--js-flags=--jitless"]),
        firefox: () => launchFirefox({ "javascript.options.wasm": false }),
    };
    const browsers = { usual: await launch[browserName](), lockedDown: lockDown[browserName] && await lockDown[browserName]() };
    console.log(`${browserName}: ${browsers.usual.version()}`);
    let failed = 0;
    let run = 0;
    for (const { name, body, only, why, lockedDown } of checks) {
        if (!chosen.test(name))
            continue;
        if (only && !only.includes(browserName)) {
            console.log(`SKIP  ${name}: ${why}`);
            continue;
        }
        if (lockedDown && !browsers.lockedDown) {
            console.log(`SKIP  ${name}: WebKitGTK cannot be told to run no WebAssembly`);
            continue;
        }
        browser = lockedDown ? browsers.lockedDown : browsers.usual;
        ++run;
        let page;
        const began = Date.now();
        try {
            page = await openPage(pagePath);
            await body(page);
            assert.deepEqual(page.outside, [], "requests outside the file");
            if (!page.isClosed())
                assert.deepEqual(await policyViolations(page), [], "breaches of the page's policy");
            console.log(`PASS  ${name} [${((Date.now() - began) / 1000).toFixed(1)} s]`);
        } catch (error) {
            ++failed;
            console.log(`FAIL  ${name}\n${error.stack}`);
        }
        // A page that never started, or a check that failed, leaves no window behind.
        await Promise.all(browser.contexts().map((context) => context.close()));
    }
    await Promise.all(Object.values(browsers).filter(Boolean).map((b) => b.close()));
    console.log(`${browserName}: ${run - failed} of ${run} checks run passed`);
    process.exit(failed ? 1 : 0);
}

const launchFirefox = (firefoxUserPrefs = {}) =>
    playwright.firefox.launch({ channel: "moz-firefox", executablePath: "/usr/bin/firefox-esr", firefoxUserPrefs });

const launchChromium = (extraArgs = []) =>
    playwright.chromium.launch({
        executablePath: "/usr/bin/chromium",
        // Scroll bars as a user sees them, and colours as the page gives them.
        ignoreDefaultArgs: ["--hide-scrollbars"],
        args: ["--no-sandbox", "--disable-gpu", "--force-color-profile=srgb", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1", ...extraArgs],
    });

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
