// Routes the user's actions in the page to the program's handlings. The page
// is usable before the program has started: a choice made meanwhile is
// handled as soon as it has. Module.started tells that it has.
"use strict";
var Module = (function () {
    var program = { started: false };
    var waiting = null;

    function handle(handling) {
        if (program.started)
            handling();
        else
            waiting = handling;
    }

    program.postRun = [function () {
        program.started = true;
        if (waiting)
            waiting();
        waiting = null;
    }];

    [0, 1, 2].forEach(function (list) {
        document.getElementById("List1(" + list + ")").addEventListener("change", function () {
            handle(function () { program.List1_Click(list); });
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
