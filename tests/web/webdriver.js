// WebKitGTK's MiniBrowser, driven through Debian's WebKitWebDriver over plain
// W3C WebDriver, behind the part of Playwright's browser and page that
// tst_page.js uses: its checks and its scenario runner then run here as they
// are. Real input throughout: pointer and key actions.
//
// Every page is the session's one window: on a display with no window
// manager, X gives the keyboard focus to the first window alone, and a page
// without it shows no focus. A page opened while another is open takes the
// window; the one before counts as closed. The window keeps the size it
// opens with (1024 x 730 inside): resized, it loses the keyboard focus too.
//
// What WebKitWebDriver does not give is missing here, and the checks that
// need it say so: no wheel (its wheel actions arrive as differences between
// requests), no touch, no clock, no network interception. Script errors,
// console errors and breaches of the page's policy are recorded by listeners
// put in once the page has loaded; the program's own script is added after
// the first paint, so a refusal of it is still seen.
"use strict";

const { spawn } = require("node:child_process");
const fs = require("node:fs");
const net = require("node:net");
const os = require("node:os");
const path = require("node:path");

// W3C WebDriver's codes of the keys that tst_page.js presses.
const keyCodes = {
    Tab: "\uE004", Enter: "\uE007", Shift: "\uE008", Control: "\uE009", Space: "\uE00D", PageUp: "\uE00E",
    PageDown: "\uE00F", End: "\uE010", Home: "\uE011", ArrowLeft: "\uE012", ArrowUp: "\uE013",
    ArrowRight: "\uE014", ArrowDown: "\uE015",
    // The numeric keypad's arrows, as with NumLock off.
    KeypadUp: "\uE059", KeypadDown: "\uE05B",
};

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const moveTo = (x, y) => ({ type: "pointerMove", x: Math.round(x), y: Math.round(y), origin: "viewport" });

// Run in the page: every breach of its policy, as the page itself is told
// of it. Playwright's pages run it before the page's own scripts.
function recordPolicyViolations() {
    window.policyViolations = [];
    document.addEventListener("securitypolicyviolation", (event) => {
        window.policyViolations.push({ directive: event.violatedDirective, blocked: event.blockedURI, sample: event.sample });
    });
}
const functionCall = (body) => (typeof body === "string" ? body : `return (${body}).apply(null, arguments);`);

function freePort() {
    return new Promise((resolve, reject) => {
        const server = net.createServer().listen(0, "127.0.0.1", () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
        server.on("error", reject);
    });
}

class WebDriverBrowser {
    // A home of its own, for the caches MiniBrowser keeps.
    static async launch() {
        const port = await freePort();
        const home = fs.mkdtempSync(path.join(os.tmpdir(), "planini-webkit-"));
        const homes = Object.fromEntries(["CACHE", "CONFIG", "DATA"].map((kind) => [`XDG_${kind}_HOME`, path.join(home, kind)]));
        const driver = spawn("WebKitWebDriver", [`--port=${port}`], {
            env: { ...process.env, HOME: home, ...homes }, stdio: ["ignore", "ignore", "inherit"],
        });
        const browser = new WebDriverBrowser(driver, `http://127.0.0.1:${port}`);
        browser.home = home;
        for (let attempt = 0; ; ++attempt) {
            try {
                await browser.request("GET", "/status");
                break;
            } catch (error) {
                if (attempt === 100)
                    throw error;
                await sleep(50);
            }
        }
        const { sessionId, capabilities } = await browser.request("POST", "/session", {
            capabilities: { alwaysMatch: { "webkitgtk:browserOptions": { args: ["--automation"] } } },
        });
        browser.session = `/session/${sessionId}`;
        browser.name = `${capabilities.browserName} (WebKitGTK) ${capabilities.browserVersion}`;
        return browser;
    }

    constructor(driver, address) {
        this.driver = driver;
        this.address = address;
        this.page = null; // the page in the window
    }

    async request(method, path, body) {
        const response = await fetch(this.address + path, {
            method, headers: { "Content-Type": "application/json" },
            body: method === "POST" ? JSON.stringify(body || {}) : undefined,
        });
        const { value } = await response.json();
        if (value && value.error)
            throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
        return value;
    }

    newPage() {
        this.page = new WebDriverPage(this);
        return this.page;
    }

    version() {
        return this.name;
    }

    contexts() {
        return this.page ? [this.page.context()] : [];
    }

    async close() {
        await this.request("DELETE", this.session).catch(() => {});
        this.driver.kill();
        fs.rmSync(this.home, { recursive: true, force: true });
    }
}

class WebDriverPage {
    constructor(browser) {
        this.browser = browser;
        this.outside = []; // unseen: the page's policy refuses every other address
        this.mouse = {
            move: (x, y) => this.pointer([moveTo(x, y)]),
            down: () => this.pointer([{ type: "pointerDown", button: 0 }]),
            up: () => this.pointer([{ type: "pointerUp", button: 0 }]),
            click: (x, y) => this.pointer([moveTo(x, y), { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }]),
        };
        this.keyboard = {
            // "Shift+Tab", "Control+End", "ArrowDown", "KeypadUp"
            press: (combination) => {
                const keys = combination.split("+").map((name) => keyCodes[name] || name);
                return this.keys([...keys.map((value) => ({ type: "keyDown", value })),
                    ...keys.reverse().map((value) => ({ type: "keyUp", value }))]);
            },
            type: (text) => this.keys([...text].flatMap((value) => [{ type: "keyDown", value }, { type: "keyUp", value }])),
        };
    }

    isClosed() {
        return this.browser.page !== this;
    }

    call(method, path, body) {
        if (this.isClosed())
            throw new Error("the page is closed: a later page took its window");
        return this.browser.request(method, this.browser.session + path, body);
    }

    pointer(actions) {
        return this.call("POST", "/actions",
            { actions: [{ type: "pointer", id: "mouse", parameters: { pointerType: "mouse" }, actions }] });
    }

    keys(actions) {
        return this.call("POST", "/actions", { actions: [{ type: "key", id: "keyboard", actions }] });
    }

    evaluate(body, argument) {
        return this.call("POST", "/execute/sync", { script: functionCall(body), args: argument === undefined ? [] : [argument] });
    }

    goto(url) {
        return this.navigate("/url", { url });
    }

    reload() {
        return this.navigate("/refresh");
    }

    goBack() {
        return this.navigate("/back");
    }

    // Then what Playwright's page events and init script record.
    async navigate(path, body) {
        await this.call("POST", path, body);
        await this.evaluate(recordPolicyViolations);
        await this.evaluate(() => {
            window.pageErrors = [];
            window.consoleErrors = [];
            window.addEventListener("error", (event) => window.pageErrors.push(String(event.error || event.message)));
            const error = console.error;
            console.error = (...parts) => {
                window.consoleErrors.push(parts.join(" "));
                error.apply(console, parts);
            };
        });
    }

    get failures() {
        return this.evaluate(() => window.pageErrors);
    }

    get consoleErrors() {
        return this.evaluate(() => window.consoleErrors);
    }

    title() {
        return this.call("GET", "/title");
    }

    // Of the page as drawn after the last input: WebKit would otherwise give
    // the frame it has at hand, which may be older.
    async screenshot() {
        await this.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
        return Buffer.from(await this.call("GET", "/screenshot"), "base64");
    }

    async waitForFunction(body, argument) {
        for (let look = 0; look < 300; ++look) {
            if (await this.evaluate(body, argument))
                return;
            await sleep(50);
        }
        throw new Error(`waited 15 s in vain for ${body}`);
    }

    waitForTimeout(ms) {
        return sleep(ms);
    }

    // Forced colours and print cannot be asked for over WebDriver.
    emulateMedia() {
    }

    context() {
        return {
            close: async () => {
                if (this.isClosed())
                    return;
                await this.call("POST", "/url", { url: "about:blank" });
                this.browser.page = null;
            },
        };
    }

    locator(selector) {
        const inElement = (body, argument) =>
            this.call("POST", "/execute/sync", {
                script: `const element = document.querySelector(arguments[0]);
                    if (!element) throw new Error("no element " + arguments[0]);
                    return (${body})(element, arguments[1]);`,
                args: [selector, argument === undefined ? null : argument],
            });
        return {
            page: () => this,
            evaluate: (body, argument) => inElement(body, argument),
            evaluateAll: (body) => this.evaluate(`return (${body})(Array.from(document.querySelectorAll(arguments[0])));`, selector),
            count: () => this.evaluate((wanted) => document.querySelectorAll(wanted).length, selector),
            boundingBox: () => inElement((e) => {
                const box = e.getBoundingClientRect();
                return { x: box.x, y: box.y, width: box.width, height: box.height };
            }),
            textContent: () => inElement((e) => e.textContent),
            getAttribute: (name) => inElement((e, attribute) => e.getAttribute(attribute), name),
            isDisabled: () => inElement((e) => e.disabled),
            isVisible: () => inElement((e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== "hidden"),
            isHidden: async () => !(await this.locator(selector).isVisible()),
            focus: () => inElement((e) => e.focus()),
            click: async () => {
                const box = await this.locator(selector).boundingBox();
                await this.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
            },
        };
    }

    // What WebKit's accessibility tree names each control and each list's rows.
    async accessibleNames() {
        // An element that the tree leaves out (hidden, or of no role) has no
        // label to give: nothing is heard of it.
        const label = async (id) => {
            const reference = await this.call("POST", "/element", { using: "css selector", value: `[id="${id}"]` });
            return this.call("GET", `/element/${Object.values(reference)[0]}/computedlabel`).catch(() => "");
        };
        const ids = await this.evaluate(() => Array.from(document.querySelectorAll("[id]"), (e) => e.id));
        const names = { lists: [], controls: {} };
        for (const id of ids)
            names.controls[id] = await label(id);
        for (let list = 0; list < 3; ++list) {
            const rows = ids.filter((id) => id.startsWith(`List1(${list})-`));
            names.lists[list] = { name: names.controls[`List1(${list})`], rows: rows.map((id) => names.controls[id]) };
        }
        return names;
    }
}

module.exports = { WebDriverBrowser, recordPolicyViolations };
