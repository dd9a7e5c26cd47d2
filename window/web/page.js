// Routes the user's actions in the page to the program's handlings. The page
// is usable before the program has started: a choice made meanwhile is
// handled as soon as it has. Module.started tells that it has.
"use strict";
var Module = (function () {
    var program = { started: false };
    var waiting = null;

    var lists = [0, 1, 2].map(function (list) {
        return document.getElementById("List1(" + list + ")");
    });
    // Each list's current row: the one last selected, by the user or by the
    // program, at first the top one.
    var current = [0, 0, 0];
    function noteCurrentRows() {
        lists.forEach(function (listBox, list) {
            if (listBox.selectedIndex >= 0)
                current[list] = listBox.selectedIndex;
        });
    }

    function handle(handling) {
        if (program.started) {
            handling();
            noteCurrentRows();
        } else {
            waiting = handling;
        }
    }

    program.postRun = [function () {
        program.started = true;
        if (waiting)
            waiting();
        waiting = null;
        noteCurrentRows();
    }];

    lists.forEach(function (listBox, list) {
        var click = function () { handle(function () { program.List1_Click(list); }); };
        var changed = false;
        listBox.addEventListener("mousedown", function () { changed = false; });
        listBox.addEventListener("change", function () {
            changed = true;
            click();
        });
        // Selected again, the row brings its whole entry back into view.
        listBox.addEventListener("click", function () {
            if (!changed && listBox.selectedIndex >= 0)
                click();
        });
        // With nothing selected, the first arrow key selects the list's
        // current row.
        listBox.addEventListener("keydown", function (event) {
            var arrows = ["ArrowUp", "ArrowDown", "ArrowLeft", "ArrowRight"];
            if (listBox.selectedIndex >= 0 || arrows.indexOf(event.key) < 0 || event.altKey
                || event.ctrlKey || event.metaKey || event.shiftKey)
                return;
            event.preventDefault();
            listBox.selectedIndex = current[list];
            click();
        });
    });
    document.getElementById("Command1").addEventListener("click", function () {
        handle(function () { program.Command1_Click(); });
    });

    // The program starts after the window's first paint, which running it
    // first would hold back; until then the window shows, and waits.
    requestAnimationFrame(function () {
        setTimeout(function () {
            var start = document.createElement("script");
            start.textContent = document.getElementById("program").textContent;
            document.body.appendChild(start);
        }, 0);
    });
    return program;
})();
