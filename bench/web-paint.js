// Times the web page's first paint in headless Chromium against a page with
// one line of text in the same font, opened the same way in the same run,
// and how long the page takes until its program has started: in Chromium as
// usual and in Chromium without its JIT.
//
// Usage: node web-paint.js PAGE [PAIRS]
"use strict";

const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { pathToFileURL } = require("node:url");
const { chromium } = require("playwright-core");

const [pagePath, pairsText] = process.argv.slice(2);
const pairs = Number(pairsText || 15);

const baselinePath = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "planini-bench-")), "baseline.html");
fs.writeFileSync(baselinePath, '<!DOCTYPE html>\n<html lang="bg"><meta charset="utf-8"><title>baseline</title>'
    + '<p style="font:12pt \'Times New Roman\', \'Liberation Serif\', serif">Планини и върхове в България</p>\n');

// Records, in the page's own clock, when the program reports it has started.
const recordStart = () => {
    const poll = () => {
        if (window.Module && window.Module.started)
            window.planiniStarted = performance.now();
        else
            requestAnimationFrame(poll);
    };
    requestAnimationFrame(poll);
};

async function measure(browser, file) {
    const context = await browser.newContext({ viewport: { width: 477, height: 420 } });
    await context.route("**/*", (route) => (/^(file|data):/.test(route.request().url()) ? route.continue() : route.abort()));
    const page = await context.newPage();
    await page.addInitScript(recordStart);
    await page.goto(pathToFileURL(file).href, { waitUntil: "load" });
    const times = await page.evaluate(async () => {
        const paint = await new Promise((resolve) => {
            new PerformanceObserver((list, observer) => {
                const entry = list.getEntries().find((e) => e.name === "first-contentful-paint");
                if (entry) {
                    observer.disconnect();
                    resolve(entry.startTime);
                }
            }).observe({ type: "paint", buffered: true });
        });
        // A page whose program has not started after 10 s never will.
        const started = await new Promise((resolve) => {
            const wait = () => (window.planiniStarted !== undefined || !document.getElementById("MainForm")
                || performance.now() > 10000 ? resolve(window.planiniStarted ?? NaN) : setTimeout(wait, 5));
            wait();
        });
        return { paint, started };
    });
    await context.close();
    return times;
}

const median = (values) => {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
};

// The browser as usual, and as a locked-down school sets it: no JIT, and
// with it no WebAssembly.
const settings = [["", []], [", no JIT", ["--js-flags=--jitless"]]];

async function main() {
    const rows = [];
    for (const [setting, extraArgs] of settings) {
        const browser = await chromium.launch({
            executablePath: process.env.PLANINI_CHROMIUM || "/usr/bin/chromium",
            args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", ...extraArgs],
        });
        const baseline = [];
        const program = [];
        await measure(browser, pagePath); // warms the browser's caches for both alike
        for (let pair = 0; pair < pairs; ++pair) {
            baseline.push(await measure(browser, baselinePath));
            program.push(await measure(browser, pagePath));
        }
        await browser.close();
        const basePaint = median(baseline.map((t) => t.paint));
        rows.push([`first paint, one line of text${setting}`, basePaint, basePaint]);
        rows.push([`first paint, the page${setting}`, median(program.map((t) => t.paint)), basePaint]);
        rows.push([`program started, the page${setting}`, median(program.map((t) => t.started)), basePaint]);
    }

    console.log(`web page in headless Chromium, median of ${pairs} pairs, ms from navigation start:`);
    console.log(`${"".padEnd(40)} ${"ms".padStart(8)} ${"ratio".padStart(8)}`);
    for (const [what, ms, base] of rows)
        console.log(Number.isNaN(ms) ? `${what.padEnd(40)} never`
            : `${what.padEnd(40)} ${ms.toFixed(1).padStart(8)} ${(ms / base).toFixed(2).padStart(8)}`);
    console.log(`page size: ${fs.statSync(pagePath).size} bytes`);
}

main().catch((error) => {
    console.error(error);
    process.exit(1);
});
