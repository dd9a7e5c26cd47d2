// Drives the web page in Debian's Chromium with real mouse and key input:
// start state, layout, colours, every row of every list, the keyboard path,
// the spoken entries, a failing handling and an accessibility audit. Each
// page is the one file opened over file://, with every other request refused.
//
// Usage: node tst_page.js PAGE FAILING-PAGE [chromium|firefox]
// Chromium is Debian's chromium; Firefox is Debian's firefox-esr, driven over
// WebDriver BiDi. What only Chromium's DevTools protocol can read (the
// accessibility tree, the fonts used) is checked in Chromium alone.
"use strict";

const assert = require("node:assert/strict");
const fs = require("node:fs");
const http = require("node:http");
const { pathToFileURL } = require("node:url");

let playwright;
let axeSource;
try {
    playwright = require("playwright-core");
    axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
} catch (error) {
    console.error("playwright-core and axe-core are missing; scripts/build-web --test installs them");
    process.exit(1);
}

const [pagePath, failingPagePath, browserName = "chromium"] = process.argv.slice(2);
const inChromium = browserName === "chromium";
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
const tabOrder = ["Text1(0)", "List1(0)", "List1(1)", "List1(2)", "Command1"];

const byId = (id) => `[id="${id}"]`;

let browser;
const checks = [];
// options.chromiumOnly: the check reads what only Chromium tells.
const check = (name, body, options = {}) => checks.push({ name, body, ...options });

// Opens the page from disk, or from `url` when given: then requests to its
// origin are let through as well, and recorded.
async function openPage(file, contextOptions = {}, { beforeStart, url } = {}) {
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
    const page = await context.newPage();
    page.outside = outside;
    page.requests = [];
    page.failures = [];
    page.consoleErrors = [];
    page.on("request", (request) => {
        page.requests.push(request.url());
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
    await page.waitForFunction(() => window.Module && window.Module.started);
    return page;
}

const selection = (page) =>
    page.evaluate(() => [0, 1, 2].map((k) => document.getElementById(`List1(${k})`).selectedIndex));

// Whether each list's selected row lies wholly inside the list's visible rows.
const selectedInView = (page) =>
    page.evaluate(() =>
        [0, 1, 2].map((k) => {
            const list = document.getElementById(`List1(${k})`);
            if (list.selectedIndex < 0)
                return true;
            const box = list.getBoundingClientRect();
            const top = box.top + list.clientTop;
            const row = list.options[list.selectedIndex].getBoundingClientRect();
            return row.top >= top - 0.5 && row.bottom <= top + list.clientHeight + 0.5;
        }));

async function expectEntry(page, rows, what) {
    assert.deepEqual(await selection(page), rows, what);
    assert.deepEqual(await selectedInView(page), [true, true, true], `${what}: selected rows in view`);
}

// Scrolls the list with the mouse wheel until the row shows, then clicks it.
async function clickRow(page, list, row) {
    const listBox = page.locator(byId(`List1(${list})`));
    for (let attempt = 0; attempt < 40; ++attempt) {
        const place = await listBox.evaluate((element, index) => {
            const box = element.getBoundingClientRect();
            const top = box.top + element.clientTop;
            const option = element.options[index].getBoundingClientRect();
            return {
                x: box.left + element.clientLeft + element.clientWidth / 2,
                y: (option.top + option.bottom) / 2,
                above: option.top < top - 0.5,
                below: option.bottom > top + element.clientHeight + 0.5,
            };
        }, row);
        if (!place.above && !place.below) {
            await page.mouse.click(place.x, place.y);
            return;
        }
        const box = await listBox.boundingBox();
        await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
        await page.mouse.wheel(0, place.below ? 20 : -20);
        await page.waitForTimeout(20);
    }
    throw new Error(`row ${row} of List1(${list}) never scrolled into view`);
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

// The accessible names of the selected rows, as a screen reader gets them.
async function spokenSelection(page) {
    const session = await page.context().newCDPSession(page);
    const { nodes } = await session.send("Accessibility.getFullAXTree");
    await session.detach();
    const selected = (node) =>
        (node.properties || []).some((p) => p.name === "selected" && p.value.value === true);
    return nodes
        .filter((node) => node.role && node.role.value === "option" && selected(node))
        .map((node) => node.name.value);
}

// The colours of points of the page, read from a screenshot of it.
async function screenshotColours(page, points) {
    const png = await page.screenshot();
    const reader = await page.context().newPage();
    const colours = await reader.evaluate(
        async ([source, wanted]) => {
            const image = new Image();
            image.src = source;
            await image.decode();
            const canvas = document.createElement("canvas");
            canvas.width = image.width;
            canvas.height = image.height;
            const context = canvas.getContext("2d");
            context.drawImage(image, 0, 0);
            return wanted.map(([x, y]) => Array.from(context.getImageData(x, y, 1, 1).data.slice(0, 3)));
        },
        [`data:image/png;base64,${png.toString("base64")}`, points]);
    await reader.close();
    return colours;
}

async function audit(page, what) {
    await page.addScriptTag({ content: axeSource });
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
        const rows = await page.locator(`${byId(`List1(${list})`)} option`).evaluateAll(
            (options) => options.map((o) => o.textContent));
        assert.deepEqual(rows, displayTexts[list], `List1(${list})`);
    }
    assert.deepEqual(await selection(page), noSelection);
    assert.equal(await focusedId(page), "Text1(0)");

    const text = await page.locator(byId("Text1(0)")).evaluate((e) => ({
        lines: e.value.split("\n"),
        readOnly: e.readOnly,
        scrollTop: e.scrollTop,
        scrolls: e.scrollHeight > e.clientHeight,
        overflowY: getComputedStyle(e).overflowY,
    }));
    assert.equal(text.lines.length, 9, "eight lines, each ended by a line break");
    assert.equal(text.lines[0], "Да се състави проект реализиращ междупредметна връзка География и Информатика");
    assert.equal(text.lines[7], "Прочете допълнително информация по География за планини, върхове в тях и техните височини.");
    assert.equal(text.lines[8], "");
    assert.deepEqual([text.readOnly, text.scrollTop, text.scrolls, text.overflowY], [true, 0, true, "scroll"]);

    // The window is its nine controls and the lists' rows: no key lists anywhere.
    const elements = await page.evaluate(() =>
        Array.from(document.querySelectorAll("body *:not(script):not(style)"), (e) => e.id || e.tagName));
    assert.deepEqual(elements.filter((e) => e !== "OPTION").sort(),
        ["MAIN", "MainForm", "failure", ...Object.keys(places)].sort());
    assert.equal(elements.filter((e) => e === "OPTION").length, 24);
    assert.equal(await page.locator("#failure").isHidden(), true);

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
});

check("mouse: every row of every list selects its whole entry, in view", async (page) => {
    for (let list = 0; list < 3; ++list) {
        for (let row = 0; row < 8; ++row) {
            await clickRow(page, list, row);
            await expectEntry(page, entryOf(list, row), `List1(${list}) row ${row}`);
        }
    }
    await page.locator(byId("Command1")).click();
    assert.deepEqual(await selection(page), noSelection, "Чисти");
    assert.deepEqual(page.failures, []);
});

check("mouse: the selected row clicked again brings its entry back into view", async (page) => {
    await clickRow(page, 0, 4); // Мусала, 2925, Рила
    const heights = await page.locator(byId("List1(1)")).boundingBox();
    await page.mouse.move(heights.x + heights.width / 2, heights.y + heights.height / 2);
    await page.mouse.wheel(0, -200);
    await page.waitForFunction(() => document.getElementById("List1(1)").scrollTop === 0);
    assert.deepEqual(await selectedInView(page), [true, false, true], "2925 scrolled away");
    await clickRow(page, 0, 4);
    await expectEntry(page, entryOf(0, 4), "Мусала again");
});

check("screen reader: each selected row is named by the whole entry", async (page) => {
    await clickRow(page, 1, 6); // 2914
    assert.deepEqual(await spokenSelection(page),
        ["Вихрен, 2914, Пирин", "2914, Вихрен, Пирин", "Пирин, Вихрен, 2914"]);
    await clickRow(page, 0, 5); // Радомир (Калабак), its trailing blank not spoken
    assert.deepEqual(await spokenSelection(page),
        ["Радомир (Калабак), 2029, Беласица", "2029, Радомир (Калабак), Беласица",
            "Беласица, Радомир (Калабак), 2029"]);
    // Rows no longer selected are named by their own text again.
    const named = await page.locator(`${byId("List1(0)")} option[aria-label]`).count();
    assert.equal(named, 1);
    await page.locator(byId("Command1")).click();
    assert.deepEqual(await spokenSelection(page), []);
    assert.equal(await page.locator("option[aria-label]").count(), 0);
}, { chromiumOnly: true });

check("keyboard: tab order, arrows, Home, End, type-ahead, Space and Enter", async (page) => {
    for (const id of tabOrder.slice(1)) {
        await page.keyboard.press("Tab");
        assert.equal(await focusedId(page), id, "Tab");
        assert.deepEqual(await selection(page), noSelection, `Tab into ${id} selects nothing`);
    }
    for (const id of tabOrder.slice(0, -1).reverse()) {
        await page.keyboard.press("Shift+Tab");
        assert.equal(await focusedId(page), id, "Shift+Tab");
    }
    await page.keyboard.press("Tab"); // List1(0)
    await page.keyboard.press("ArrowDown");
    await expectEntry(page, entryOf(0, 0), "ArrowDown from no selection");
    await page.keyboard.press("ArrowDown");
    await expectEntry(page, entryOf(0, 1), "ArrowDown");
    await page.keyboard.press("End");
    await expectEntry(page, entryOf(0, 7), "End");
    await page.keyboard.press("ArrowUp");
    await expectEntry(page, entryOf(0, 6), "ArrowUp");
    await page.keyboard.press("Home");
    await expectEntry(page, entryOf(0, 0), "Home");

    await page.keyboard.press("Tab"); // List1(1)
    await page.keyboard.press("End");
    await expectEntry(page, entryOf(1, 7), "End in the heights");
    await page.keyboard.press("Tab"); // List1(2)
    await page.keyboard.press("Home");
    await expectEntry(page, entryOf(2, 0), "Home in the mountains");
    if (inChromium) {
        await typeLetter(page, "Р");
        await expectEntry(page, entryOf(2, 4), "type-ahead Р: Рила");
        await typeLetter(page, "Р");
        await expectEntry(page, entryOf(2, 5), "type-ahead Р again: Родопи");
    }

    await page.keyboard.press("Tab");
    assert.equal(await focusedId(page), "Command1");
    await page.keyboard.press("Space");
    assert.deepEqual(await selection(page), noSelection, "Space on Чисти");
    await page.keyboard.press("Shift+Tab");
    await page.keyboard.press("ArrowDown");
    await page.keyboard.press("Tab");
    await page.keyboard.press("Enter");
    assert.deepEqual(await selection(page), noSelection, "Enter on Чисти");
});

check("a row clicked before the program has started is linked once it has", async () => {
    const page = await openPage(pagePath, {}, {
        beforeStart: async (loading) => {
            await clickRow(loading, 2, 3); // Пирин
            assert.deepEqual(await selection(loading), [-1, -1, 3], "nothing linked yet");
            assert.equal(await loading.evaluate(() => window.Module.started), false);
        },
    });
    await expectEntry(page, entryOf(2, 3), "linked at start");
    await page.context().close();
});

check("from a static web server: the one request is for the page itself", async () => {
    const server = http.createServer((request, response) => {
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
        assert.deepEqual(page.requests, [url]);
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
}, { chromiumOnly: true });

check("accessibility audit: start, with a selection, with a failure shown", async (page) => {
    await audit(page, "start");
    await clickRow(page, 2, 3);
    await audit(page, "selection");
    const failing = await openPage(failingPagePath);
    await clickRow(failing, 0, 4);
    await audit(failing, "failure");
    await failing.context().close();
});

check("failure: shown in the page with what failed, and the page keeps working", async () => {
    const page = await openPage(failingPagePath);
    await clickRow(page, 0, 0); // Ботев
    await expectEntry(page, entryOf(0, 0), "Ботев");
    await clickRow(page, 0, 4); // Мусала, whose key does not fit
    const message = "Overflow: key \"40000\" does not fit a 16-bit integer (-32768..32767)";
    const alert = page.getByRole("alert");
    assert.equal(await alert.isVisible(), true);
    assert.equal(await alert.textContent(), `Грешка при изпълнение: ${message}`);
    assert.deepEqual(page.consoleErrors, [`Run-time error: ${message}`]);
    // Only the user's own click moved; the other lists keep what they had.
    assert.deepEqual(await selection(page), [4, 5, 7]);

    await clickRow(page, 1, 0); // 2029 still links
    await expectEntry(page, entryOf(1, 0), "after the failure");
    assert.equal(await alert.isHidden(), true, "the message goes once a handling succeeds");
    assert.deepEqual(page.failures, []);
    await page.context().close();
});

async function main() {
    browser = inChromium ? await launchChromium() : await launchFirefox();
    let failed = 0;
    for (const { name, body, chromiumOnly } of checks) {
        if (chromiumOnly && !inChromium) {
            console.log(`SKIP  ${name} (Chromium only)`);
            continue;
        }
        const page = await openPage(pagePath);
        try {
            await body(page);
            assert.deepEqual(page.outside, [], "requests outside the file");
            console.log(`PASS  ${name}`);
        } catch (error) {
            ++failed;
            console.log(`FAIL  ${name}\n${error.stack}`);
        }
        await page.context().close();
    }
    await browser.close();
    console.log(`${browserName}: ${checks.length - failed} of ${checks.length} checks passed or skipped`);
    process.exit(failed ? 1 : 0);
}

const launchFirefox = () =>
    playwright.firefox.launch({ channel: "moz-firefox", executablePath: "/usr/bin/firefox-esr" });

const launchChromium = () =>
    playwright.chromium.launch({
        executablePath: "/usr/bin/chromium",
        // Scroll bars as a user sees them, and colours as the page gives them.
        ignoreDefaultArgs: ["--hide-scrollbars"],
        args: ["--no-sandbox", "--disable-gpu", "--force-color-profile=srgb", "--disable-quic",
            "--no-first-run", "--disable-background-networking", "--disable-component-update",
            "--disable-sync", "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1"],
    });

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
