// The program's start and end in the page. Scripts read window.program: its
// exit status once it has ended (null before), the frames shown, the time of the
// first one (ms after the page's start) and `ended`, a promise of the status.
// The page shows the end with its status.
(function() {
  var ended;
  var program = window['program'] = {
    'status': null,
    'frames': 0,
    'firstFrameMs': null,
    'ended': new Promise(function(resolve) { ended = resolve; }),
  };
  var end = function(status) {
    if (program['status'] !== null) return;
    program['status'] = status;
    var shown = document.getElementById('ended');
    shown.textContent = 'The program ended with status ' + status + '.';
    shown.hidden = false;
    ended(status);
  };
  // exit(), _exit() and ExitProcess all end here, however deep the program was.
  // The start-up's own call (as main first yields to the browser, or returns
  // at once) only notes a status, which counts if main ran to its end.
  var starting = false, startStatus = 0;
  Module['quit'] = function(status, toThrow) {
    if (starting) startStatus = status; else end(status);
    throw toThrow;
  };
  Module['preRun'] = [function() { starting = true; }];
  // A main that yielded returns to no caller: its status comes when the whole
  // run of main is done, unless it ends the process first.
  Module['postRun'] = [function() {
    starting = false;
    if (typeof Asyncify !== 'undefined' && Asyncify.currData) Asyncify.whenDone().then(end);
    else end(startStatus);
  }];
})();
