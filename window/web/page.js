// The page's list boxes, and the user's actions routed to the program's
// handlings. The page is usable before the program has started: the last
// choice made meanwhile is handled as soon as it has. Module.started tells
// that it has; Module.listBoxes are the lists the program reads and sets.
// Where the program cannot start, or stops after it started, the page says
// so and takes no choices.
"use strict";
var Module = (function () {
    var program = { started: false, failed: false, stopped: false };
    var waiting = null;
    // Letters typed within this many milliseconds of each other search
    // together.
    var typingPause = 1000;
    // A program not started this long after it was begun is taken as one
    // that cannot start.
    var startTimeout = 5000;

    function handle(handling) {
        if (program.stopped)
            return;
        if (program.started)
            handling();
        else if (!program.failed)
            waiting = handling;
    }

    program.postRun = [function () {
        program.started = true;
        // A start slower than the timeout is a start all the same.
        if (program.failed)
            setUsable(true, "");
        program.failed = false;
        if (waiting)
            waiting();
        waiting = null;
    }];

    // A single-selection list box after the WAI-ARIA listbox pattern. The
    // focus stays on the list and aria-activedescendant names its current
    // row, the one with the focus frame: so Tab brings the focus to the
    // list, not to a row, and selects nothing, as in the desktop windows.
    function ListBox(element) {
        this.element = element;
        this.rows = Array.prototype.slice.call(element.querySelectorAll("[role=option]"));
        this.selected = -1;
        this.current = 0;
        this.typed = "";
        this.typedAt = -Infinity;
        this.setCurrent(0);
    }

    ListBox.prototype.select = function (row) {
        if (this.selected >= 0)
            this.rows[this.selected].setAttribute("aria-selected", "false");
        this.selected = row;
        if (row < 0)
            return;
        this.rows[row].setAttribute("aria-selected", "true");
        this.setCurrent(row);
        this.show(row);
    };

    ListBox.prototype.setCurrent = function (row) {
        this.rows[this.current].classList.remove("current");
        this.current = row;
        this.rows[row].classList.add("current");
        this.element.setAttribute("aria-activedescendant", this.rows[row].id);
    };

    // Scrolled as little as brings the whole row into view.
    ListBox.prototype.show = function (row) {
        var list = this.element;
        var top = list.getBoundingClientRect().top + list.clientTop;
        var box = this.rows[row].getBoundingClientRect();
        if (box.top < top)
            list.scrollTop -= Math.ceil(top - box.top);
        else if (box.bottom > top + list.clientHeight)
            list.scrollTop += Math.ceil(box.bottom - top - list.clientHeight);
    };

    // How far Page Up and Page Down move: the whole rows in view, less one.
    ListBox.prototype.pageStep = function () {
        var rowHeight = this.rows[0].getBoundingClientRect().height;
        return Math.max(1, Math.floor(this.element.clientHeight / rowHeight) - 1);
    };

    // The row that typed letters lead to: a repeated letter moves on to the
    // next row that starts with it; other letters typed together form a
    // prefix searched from the current row. Null when no row matches.
    ListBox.prototype.typeAhead = function (letter, time) {
        if (time - this.typedAt > typingPause)
            this.typed = "";
        this.typedAt = time;
        this.typed += letter.toLocaleLowerCase("bg");
        var first = this.typed[0];
        var repeated = this.typed.split("").every(function (c) { return c === first; });
        var prefix = repeated ? first : this.typed;
        var from = repeated ? this.current + 1 : this.current;
        for (var step = 0; step < this.rows.length; ++step) {
            var row = (from + step) % this.rows.length;
            if (this.rows[row].textContent.toLocaleLowerCase("bg").indexOf(prefix) === 0)
                return row;
        }
        return null;
    };

    // The row a key leads to, or null for a key the list leaves alone. With
    // nothing selected, an arrow selects the current row itself.
    ListBox.prototype.rowForKey = function (event) {
        var last = this.rows.length - 1;
        var from = this.current;
        var clamp = function (row) { return Math.min(last, Math.max(0, row)); };
        var unselected = this.selected < 0;
        switch (event.key) {
        case "ArrowUp":
        case "ArrowLeft":
            return unselected ? from : clamp(from - 1);
        case "ArrowDown":
        case "ArrowRight":
            return unselected ? from : clamp(from + 1);
        case "Home":
            return 0;
        case "End":
            return last;
        case "PageUp":
            return clamp(from - this.pageStep());
        case "PageDown":
            return clamp(from + this.pageStep());
        }
        if (event.key.length === 1 && event.key !== " ")
            return this.typeAhead(event.key, event.timeStamp);
        return null;
    };

    // Rows that the list cuts off show their whole text in a tooltip.
    ListBox.prototype.markCutRows = function () {
        this.rows.forEach(function (row) {
            if (row.scrollWidth > row.clientWidth)
                row.title = row.textContent.trim();
            else
                row.removeAttribute("title");
        });
    };

    var listBoxes = [0, 1, 2].map(function (list) {
        return new ListBox(document.getElementById("List1(" + list + ")"));
    });
    program.listBoxes = listBoxes;

    listBoxes.forEach(function (listBox, list) {
        var choose = function (row) {
            if (program.failed || program.stopped)
                return;
            listBox.select(row);
            handle(function () { program.List1_Click(list); });
        };
        // A click or a tap; a swipe scrolls and clicks nothing. A click on
        // the selected row, or a key that goes to it, runs the handling
        // again and so brings its whole entry back into view.
        listBox.element.addEventListener("click", function (event) {
            var row = listBox.rows.indexOf(event.target.closest("[role=option]"));
            if (row < 0)
                return;
            listBox.element.focus();
            choose(row);
        });
        listBox.element.addEventListener("keydown", function (event) {
            if (event.altKey || event.ctrlKey || event.metaKey || program.failed || program.stopped)
                return;
            var row = listBox.rowForKey(event);
            if (row === null)
                return;
            event.preventDefault();
            choose(row);
        });
    });
    var button = document.getElementById("Command1");
    button.addEventListener("click", function () {
        handle(function () { program.Command1_Click(); });
    });

    // Where the program cannot start, the lists and the button show as
    // unavailable, no row stays selected on its own, and the alert line says
    // what to do; a program that starts after all makes them usable again.
    var failure = document.getElementById("failure");
    // message: the failure's attribute that holds what the alert line says.
    function setUsable(usable, message) {
        listBoxes.forEach(function (listBox) {
            if (usable)
                listBox.element.removeAttribute("aria-disabled");
            else
                listBox.element.setAttribute("aria-disabled", "true");
        });
        button.disabled = !usable;
        failure.textContent = usable ? "" : failure.getAttribute(message);
        failure.hidden = usable;
    }
    function takeNoChoices(message) {
        waiting = null;
        listBoxes.forEach(function (listBox) { listBox.select(-1); });
        setUsable(false, message);
    }
    function cannotStart() {
        if (program.started || program.failed)
            return;
        program.failed = true;
        takeNoChoices("data-cannot-start");
    }
    // A program that stopped can no longer link the lists: a choice would
    // select one row alone.
    function stopped() {
        if (program.stopped)
            return;
        program.stopped = true;
        takeNoChoices("data-stopped");
    }
    function failed() {
        if (program.started)
            stopped();
        else
            cannotStart();
    }
    // An abort or an uncaught error, before the start or after it, or a
    // script the page's policy refused: the program will not start.
    program.onAbort = failed;
    window.addEventListener("error", failed);
    window.addEventListener("unhandledrejection", failed);
    document.addEventListener("securitypolicyviolation", function (event) {
        if (/^script-src/.test(event.violatedDirective))
            cannotStart();
    });

    // Every start is the start state. On a reload Firefox puts back where
    // the lists and the text box were scrolled and the text box's caret:
    // undone once the page has loaded, not before its first paint, which
    // that would hold back. Back or Forward shows the page from the
    // browser's cache as it was left: it starts afresh instead.
    var textBox = document.getElementById("Text1(0)");
    window.addEventListener("pageshow", function (event) {
        if (event.persisted) {
            location.reload();
            return;
        }
        listBoxes.forEach(function (listBox) {
            if (listBox.selected < 0)
                listBox.element.scrollTop = 0;
        });
        if (document.activeElement === textBox) {
            textBox.setSelectionRange(0, 0);
            textBox.scrollTop = 0;
        }
    });
    document.fonts.ready.then(function () {
        listBoxes.forEach(function (listBox) { listBox.markCutRows(); });
    });

    // The program is JavaScript alone; its loader still asks for a
    // WebAssembly file, which the page's policy refuses to fetch, unless it
    // is handed one: an empty one does, as nothing reads it.
    program.wasmBinary = new Uint8Array(0);

    // The program starts after the window's first paint, which running it
    // first would hold back; until then the window shows, and waits.
    requestAnimationFrame(function () {
        setTimeout(function () {
            var start = document.createElement("script");
            start.textContent = document.getElementById("program").textContent;
            setTimeout(cannotStart, startTimeout);
            document.body.appendChild(start);
        }, 0);
    });
    return program;
})();
